// The application's shortcuts to the UI manager's one message box. The box
// itself lives in the UI toolkit; it is reached through this small interface
// so that the shortcuts' rules stand on their own and the UI manager only has
// to implement it.
#pragma once

#include <string>

class IMessageBoxHost {
public:
    virtual ~IMessageBoxHost() = default;

    // Shows the text with a button mode: 0 no button, 1 OK, 2 OK and Cancel.
    virtual void ShowBox(const char* text, int buttonMode) = 0;
    virtual void ClearStyleBits(unsigned bits) = 0;
    virtual void SetDimAlpha(float alpha) = 0;
    // -1 while nothing was pressed, 1 OK, 0 Cancel.
    virtual int Result() const = 0;
    virtual void SetResult(int result) = 0;
    virtual void HideBox() = 0;
    virtual bool Visible() const = 0;
    // The button mode the box was last shown with.
    virtual int Mode() const = 0;
    virtual std::string Text() const = 0;
};

// Style bits a shown box must not keep (hidden, disabled and the input bits).
constexpr unsigned kMessageBoxClearedStyle = 0x81E;
// Background dimming while a box is shown with dim set.
constexpr float kMessageBoxDimAlpha = 0.4f;

// Shows the box with no result yet; dim non-zero darkens the screen behind it.
void ShowMessageBox(IMessageBoxHost& box, const char* text, int buttonMode, int dim);
// -1 while the box has no result; else the result, after which the result is
// reset and the box hidden, so each press is reported once.
int PollMessageBoxResult(IMessageBoxHost& box);

// The box before one is loaded: it shows nothing and never has a result.
class CNoMessageBox : public IMessageBoxHost {
public:
    void ShowBox(const char*, int) override {}
    void ClearStyleBits(unsigned) override {}
    void SetDimAlpha(float) override {}
    int Result() const override { return -1; }
    void SetResult(int) override {}
    void HideBox() override {}
    bool Visible() const override { return false; }
    int Mode() const override { return 0; }
    std::string Text() const override { return std::string(); }
};
