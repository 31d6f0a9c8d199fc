// A message box for tests: it remembers the text, button mode and dim value
// it was shown with, and the test sets its result.
#pragma once

#include <string>

#include "engine/core/MessageBoxHost.h"

class CRecordingMessageBox : public IMessageBoxHost {
public:
    void ShowBox(const char* t, int buttonMode) override {
        text = t ? t : "";
        mode = buttonMode;
        visible = true;
        ++shown;
    }
    void ClearStyleBits(unsigned) override {}
    void SetDimAlpha(float alpha) override { dim = alpha; }
    int Result() const override { return result; }
    void SetResult(int r) override { result = r; }
    void HideBox() override { visible = false; }
    bool Visible() const override { return visible; }
    int Mode() const override { return mode; }
    std::string Text() const override { return text; }

    std::string text;
    int mode = 0, result = -1, shown = 0;
    float dim = 0;
    bool visible = false;
};
