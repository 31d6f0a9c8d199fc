// The base of every screen window, dialog and HUD panel. It owns the controls
// created from its layout, turns the frame's mouse and keyboard state into an
// event code and calls the hook for it with the control concerned, fades its
// children, can be dragged by its drag area, and lets one child hold the
// pointer capture while the left button is held.
//
// Event codes (ReadInputEvent): the OR of three parts. Left button: click 2,
// double click near the press 33, press 1, held 4. Right: click 24, double
// click 36, press 20, held 32. Middle: click 16, double click 34, press 8, held
// 17. Left held (not newly pressed) more than 5 pixels from the press position:
// drag 40. Enter without an Alt key, or keypad Enter: 48; Tab: 49. Codes that
// have no hook call nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Input.h"
#include "ui/UiObject.h"

class CLayoutResource;

enum UiEventCode : uint32_t {
    UI_EVENT_LPRESS = 1,
    UI_EVENT_LCLICK = 2,
    UI_EVENT_LHOLD = 4,
    UI_EVENT_MPRESS = 8,
    UI_EVENT_MCLICK = 16,
    UI_EVENT_MHOLD = 17,
    UI_EVENT_LMCLICK = 18,
    UI_EVENT_RPRESS = 20,
    UI_EVENT_RCLICK = 24,
    UI_EVENT_RHOLD = 32,
    UI_EVENT_LDOUBLE = 33,
    UI_EVENT_MDOUBLE = 34,
    UI_EVENT_RDOUBLE = 36,
    UI_EVENT_DRAG = 40,
    UI_EVENT_ENTER = 48,
    UI_EVENT_TAB = 49,
};

class CUiWindow : public CUiObject {
public:
    static constexpr float kVersion109 = 1.09f;
    static constexpr float kVersion107 = 1.07f;

    CUiWindow();
    ~CUiWindow() override;

    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    // Children first, then the window itself.
    void SetEnabled(int enable) override;
    int SerializeLayoutPart(CLayoutStream& stream) override;

    // Writes the window and its controls as a version 1.09 layout.
    virtual int SaveLayout(const char* path);
    // Reads a layout at a byte offset of the file; size bounds a package entry
    // (0: to the end of the file).
    virtual int LoadLayout(const char* path, uint32_t offset, uint32_t size = 0);

    // The event hooks, each with the control concerned.
    virtual void OnLButtonClick(CUiObject*) {}
    virtual void OnLButtonPress(CUiObject*) {}
    virtual void OnLButtonHold(CUiObject*) {}
    virtual void OnMButtonClick(CUiObject*) {}
    virtual void OnMButtonPress(CUiObject*) {}
    virtual void OnMButtonHold(CUiObject*) {}
    virtual void OnLMButtonClick(CUiObject*) {}
    virtual void OnRButtonClick(CUiObject*) {}
    virtual void OnRButtonPress(CUiObject*) {}
    virtual void OnRButtonHold(CUiObject*) {}
    virtual void OnLButtonDoubleClick(CUiObject*) {}
    virtual void OnMButtonDoubleClick(CUiObject*) {}
    virtual void OnRButtonDoubleClick(CUiObject*) {}
    virtual void OnDrag(CUiObject*) {}
    virtual void OnEnter(CUiObject*) {}
    virtual void OnTab(CUiObject*) {}
    // End of LoadLayout: derived windows bind their controls here. Non-zero for success.
    virtual int OnLayoutLoaded() { return 1; }

    // A rate of exactly 0 switches fading off.
    void StartFade(float rate, int fadeIn);
    void AdvanceFade(float dt);
    void SetCapture(CUiObject* control);
    void SetChildrenAlpha(float alpha);
    void RouteEvent(uint32_t code, CUiObject* control);
    uint32_t ReadInputEvent(CZEMDXInput& input);
    // 1 while the window is being dragged.
    int DragWindow(CZEMDXInput& input);

    // Controls the derived window owns as members: the layout reader fills them
    // instead of creating new ones, and the window does not delete them.
    void AddPreBound(CUiObject* control) { m_preBound.push_back(control); }
    void SetDragArea(float left, float top, float right, float bottom) {
        m_dragArea[0] = left, m_dragArea[1] = top, m_dragArea[2] = right, m_dragArea[3] = bottom;
    }
    const float* DragArea() const { return m_dragArea; }

    float FadeAlpha() const { return m_fadeAlpha; }
    int FadeActive() const { return m_fadeActive; }
    int Dragging() const { return m_dragging; }
    int Captured() const { return m_captured; }
    uint32_t CapturedHash() const { return m_capturedHash; }
    float LayoutVersion() const { return m_layoutVersion; }
    CUiObject* LastGauge() const { return m_lastGauge; }
    void SetLayoutResource(CLayoutResource* layout) { m_layout = layout; }
    CLayoutResource* LayoutResource() const { return m_layout; }

protected:
    // A control of the layout by name and type, or null with the error report
    // set naming the window and the control.
    CUiObject* Bind(const char* name, uint32_t type);

private:
    bool IsPreBound(const CUiObject* control) const;
    CUiObject* FindPreBound(uint32_t hash) const;
    bool HasEditBoxChild() const;
    // Runs one child's input step; returns what it took.
    CUiObject* OfferChild(CUiObject* child, float dt, CZEMDXInput& input, uint32_t code, bool blocked, bool* taken,
                          CUiObject** result);
    void OfferImageStatics(float dt, CZEMDXInput& input);
    int ReadChildren(CLayoutStream& stream);

    platform::CursorPoint m_pressPosition{};
    UiPoint m_previousPosition;
    float m_dragArea[4] = {};
    int m_dragging = 0;
    std::vector<CUiObject*> m_preBound;
    CUiObject* m_lastGauge = nullptr;
    float m_fadeAlpha = 0.0f;
    float m_fadeRate = 0.0f;
    float m_fadeElapsed = 0.0f;
    int m_fadeActive = 0;
    int m_fadeIn = 1;
    int m_captured = 0;
    uint32_t m_capturedHash = 0;
    float m_layoutVersion = 0.0f;
    CLayoutResource* m_layout = nullptr;
};
