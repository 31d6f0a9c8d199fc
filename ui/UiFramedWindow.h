// A window whose frame is made of decor statics (four corners and four edges)
// around a text static. As the tooltip it follows the element under the
// pointer that the UI manager gives it: once the pointer has rested on one
// element for 0.3 seconds and that element has a tooltip text, it shows the
// text framed beside the element (or by the cursor).
#pragma once

#include <string>

#include "ui/UiStatic.h"
#include "ui/UiWindow.h"

class CUiFramedWindow : public CUiWindow {
public:
    static constexpr float kTooltipDelay = 0.3f;
    // Space beside the text inside the frame.
    static constexpr float kTextPadding = 10.0f;

    CUiFramedWindow();
    ~CUiFramedWindow() override;

    // Binds the frame statics by name; a layout that lacks one fails.
    int OnLayoutLoaded() override;
    // The tooltip's step; it never takes the input.
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;

    CUiStatic* TextStatic() const { return m_text; }
    CUiObject* ShownElement() const { return m_shown; }
    float HoverTime() const { return m_hoverTime; }
    bool Drawn() const { return !HasFlags(UI_NOT_DRAWN); }

protected:
    enum Decor {
        CORNER_TL,
        CORNER_TR,
        CORNER_BL,
        CORNER_BR,
        EDGE_TOP,
        EDGE_BOTTOM,
        EDGE_LEFT,
        EDGE_RIGHT,
        DECOR_COUNT
    };
    // Lays the frame around a text area of width x height at the corner's
    // size; returns the window's size.
    UiPoint LayOutFrame(float width, float height);
    UiPoint CornerSize() const;

    CUiStatic* m_text = nullptr;
    CUiStatic* m_decor[DECOR_COUNT] = {};

private:
    void LayOutTooltip(CZEMDXInput& input);

    float m_hoverTime = 0.0f;
    CUiObject* m_shown = nullptr;
    UiPoint m_shownPosition;
    UiPoint m_anchorSize;
};
