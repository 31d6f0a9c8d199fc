// Small message windows with a picture and an OK button. CImageBoxWindow
// ("IMAGE_BOX.DUI") carries one picture, a wrapped message, a caption and a
// bonus level; CImageBox2Window ("IMAGE_BOX_2.DUI") shows two pictures with
// their texts side by side, as the result screen's reward box. The owner shows,
// fills and hides them; a click on OK is latched until the owner takes it.
// Every control is optional: a layout without one simply leaves it out.
#pragma once

#include <cstdint>
#include <string>

#include "ui/UiWindow.h"

class CUiStatic;
class CUiButton;

// The message buffer of the box holds at most this many bytes of wrapped text.
constexpr size_t kImageBoxTextBytes = 259;

// The wrapped text of a message control: lines joined by line breaks, cut to
// the box's buffer without splitting a double-byte character.
std::string WrapForImageBox(const CUiStatic& control, const std::string& text, int32_t widthPx);

// What one picture of a box shows: the frame of the picture grid and its text.
struct ImageBoxContent {
    uint32_t imageFrame = 0;
    std::string text;
};

// The OK latch both boxes share.
class CImageBoxBase : public CUiWindow {
public:
    void OnLButtonClick(CUiObject* control) override;
    // 1 once after OK was clicked.
    int TakeOk();
    CUiButton* OkButton() const { return m_ok; }

protected:
    CUiButton* m_ok = nullptr;
    int m_okClicked = 0;
};

class CImageBoxWindow : public CImageBoxBase {
public:
    ~CImageBoxWindow() override;
    int OnLayoutLoaded() override;

    void SetContent(const std::string& message, uint32_t imageFrame, const std::string& caption, int32_t bonus);

    CUiStatic* image = nullptr;
    CUiStatic* message1 = nullptr;
    CUiStatic* message2 = nullptr;
    CUiStatic* message3 = nullptr;
    CUiStatic* level = nullptr;
};

class CImageBox2Window : public CImageBoxBase {
public:
    ~CImageBox2Window() override;
    int OnLayoutLoaded() override;

    // Slot 0 is the left picture, 1 the right one; other slots do nothing.
    void SetContent(int slot, const ImageBoxContent& content);

    CUiStatic* image[2] = {};
    CUiStatic* message1[2] = {};
    CUiStatic* message2[2] = {};
    CUiStatic* message3 = nullptr;
    CUiStatic* level[2] = {};
};
