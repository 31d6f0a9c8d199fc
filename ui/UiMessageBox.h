// The one blocking message window: a framed text with no button, an OK
// button, or OK and Cancel. Screens show it with a text and a button mode and
// poll its result each frame (ShowMessageBox and PollMessageBoxResult of the
// message box host); while shown it takes all the input.
#pragma once

#include <cstdint>
#include <string>

#include "engine/core/MessageBoxHost.h"
#include "ui/UiButton.h"
#include "ui/UiFramedWindow.h"

class CUiMessageBox : public CUiFramedWindow, public IMessageBoxHost {
public:
    enum Mode { MODE_NONE = 0, MODE_OK = 1, MODE_OK_CANCEL = 2 };
    enum Result { RESULT_NONE = -1, RESULT_CANCEL = 0, RESULT_OK = 1 };
    static constexpr float kButtonGap = 17.0f;
    static constexpr float kTextHeightTrim = 11.0f;

    CUiMessageBox();
    ~CUiMessageBox() override;

    // Binds the frame, the OK and Cancel buttons and the background; the box starts hidden.
    int OnLayoutLoaded() override;
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void OnLButtonClick(CUiObject* control) override;
    void OnEnter(CUiObject* control) override;

    // Lays the box out for the text and the mode, centred on the screen.
    void Show(const std::string& text, int mode);
    void SetScreenSize(float width, float height) { m_screen = {width, height}; }

    // The message box host: what the screens' shortcuts use.
    void ShowBox(const char* text, int buttonMode) override { Show(text ? text : "", buttonMode); }
    void ClearStyleBits(unsigned bits) override { ClearFlags(bits); }
    // Dims the screen behind the box when the UI manager holds it.
    void SetDimAlpha(float alpha) override;
    int Result() const override { return m_result; }
    void SetResult(int result) override { m_result = result; }
    void HideBox() override;

    bool Visible() const override { return !HasFlags(UI_HIDDEN); }
    int Mode() const override { return m_mode; }
    std::string Text() const override;
    CUiButton* OkButton() const { return m_ok; }
    CUiButton* CancelButton() const { return m_cancel; }
    CUiStatic* Background() const { return m_background; }

private:
    CUiButton* m_ok = nullptr;
    CUiButton* m_cancel = nullptr;
    CUiStatic* m_background = nullptr;
    int32_t m_result = RESULT_NONE;
    int m_enterMark = 0;
    int m_mode = MODE_NONE;
    float m_rowOffset = 0.0f;
    int32_t m_clicked = RESULT_NONE;
    UiPoint m_screen{1024, 768};
};
