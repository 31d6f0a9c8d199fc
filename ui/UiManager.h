// The one owner of the windows on screen. Windows sit in two layers (the upper
// one for popups, overlays, the tooltip and the message box; last = topmost);
// every frame the input goes to the upper layer first and, blocked when an
// upper window took it, to the lower layer, topmost window first. The manager
// keeps the keyboard focus, the font table, the cursors and the input-method
// state, draws every window with the 2D render states, and draws the message
// box (over a dimming quad) and the tooltip above everything.
//
// Ownership: a window belongs to the layout resource that loaded it, or else to
// whoever created it; DeleteWindow and DeleteAllWindows delete through one path
// that also tells the layout resource, so no window is deleted twice. While
// input is being dispatched (a hook may close its own window), deletions wait
// until the dispatch ends.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/input/ImeInput.h"
#include "ui/UiCursorHost.h"
#include "ui/UiFont.h"
#include "ui/UiTypes.h"

namespace platform {
class CGfxDevice;
class CGfxTexture;
}  // namespace platform
class CZEMDXInput;
class CUiObject;
class CUiWindow;

class CUiManager {
public:
    static constexpr int32_t kScreenWidth = 1024;
    static constexpr int32_t kScreenHeight = 768;
    static constexpr float kMessageBoxDim = 0.4f;

    CUiManager();
    ~CUiManager();
    CUiManager(const CUiManager&) = delete;
    CUiManager& operator=(const CUiManager&) = delete;

    void SetDevice(platform::CGfxDevice* device) { m_device = device; }
    platform::CGfxDevice* Device() const { return m_device; }

    // The element that took the frame's input, or null.
    CUiObject* DispatchInput(float dt, CZEMDXInput& input);
    void RenderWindows();

    void AddUpperWindow(CUiWindow* window);
    void AddLowerWindow(CUiWindow* window);
    // Takes the window out of both layers (it is not deleted).
    void RemoveWindow(CUiWindow* window);
    CUiWindow* FindWindow(uint32_t hash) const;
    void ShowWindow(CUiWindow* window, bool show);
    void BringToFront(CUiWindow* window);
    // A lower-layer window to the bottom of the lower layer; its hidden flag stays.
    void SendToBack(CUiWindow* window);
    // Takes the window out of the layers and deletes it (after the dispatch
    // when one is running).
    void DeleteWindow(CUiWindow* window);
    void DeleteAllWindows();
    bool IsInLayer(const CUiWindow* window) const;
    const std::vector<CUiWindow*>& UpperLayer() const { return m_upper; }
    const std::vector<CUiWindow*>& LowerLayer() const { return m_lower; }

    void SetFocus(CUiObject* control);
    CUiObject* Focus() const { return m_focus; }
    CImeInput& Ime() { return m_ime; }
    // Hands the input method's pending events (typed characters, compositions,
    // candidate lists, language changes) to the input-method state, which
    // writes the text into the focused edit box's buffer, within that box's
    // byte limit. Once a frame, before the dispatch.
    void HandleImeEvents();

    // The font table: an element's font index selects an entry (not owned).
    void AddFont(IUiFont* font) { m_fonts.push_back(font); }
    void ClearFonts() { m_fonts.clear(); }
    // Entry index, or null when the table has none such.
    IUiFont* GetFont(uint32_t index) const { return index < m_fonts.size() ? m_fonts[index] : nullptr; }
    size_t FontCount() const { return m_fonts.size(); }

    void SetCursorHost(IUiCursorHost* host) { m_cursorHost = host; }
    void LoadCursor(uint32_t resourceId);
    // Shows cursor n; a negative n, or one past the loaded cursors, hides the cursor.
    void SetCursor(int32_t n);
    int32_t CursorIndex() const { return m_cursorIndex; }
    size_t CursorCount() const { return m_cursors.size(); }

    // The tooltip and the message box live in the upper layer and are drawn last.
    void SetTooltip(CUiWindow* tooltip) { m_tooltip = tooltip; }
    CUiWindow* Tooltip() const { return m_tooltip; }
    void SetMessageBox(CUiWindow* messageBox) { m_messageBox = messageBox; }
    CUiWindow* MessageBox() const { return m_messageBox; }
    // Shows the message box over a black quad of the given alpha (0: no dimming).
    void ShowMessageBox(float dimAlpha = kMessageBoxDim);
    void HideMessageBox();
    float MessageBoxDim() const { return m_messageDim; }

    // The element under the pointer that the tooltip follows, and the tooltip's
    // show flag (1: placed by the cursor). An element that dies clears it.
    CUiObject* TooltipTarget() const { return m_tooltipTarget; }
    int TooltipShowFlag() const { return m_tooltipShowFlag; }
    void ClearTooltipTarget(const CUiObject* element);
    void SetTooltipsOn(int on) { m_tooltipsOn = on; }
    int TooltipsOn() const { return m_tooltipsOn; }

    // One quad with the 2D states already set: corners offset by half a pixel,
    // uv in corner order (null: the defaults), texture null clears stage 0.
    void DrawQuad(uint32_t argb, const float* uv, platform::CGfxTexture* texture, float x, float y, float width,
                  float height);
    void BeginDraw();
    void EndDraw();

    // An element that dies tells the manager, which forgets it as focus and target.
    void OnElementDestroyed(const CUiObject* element);
    bool IsDispatching() const { return m_dispatching > 0; }

private:
    CUiObject* DispatchLayer(std::vector<CUiWindow*>& layer, bool lower, bool blocked, float dt, CZEMDXInput& input);
    // The input method's candidate cells at the focused control.
    void DrawCandidates();
    void FlushDeletions();
    void ForgetWindow(CUiWindow* window);

    platform::CGfxDevice* m_device = nullptr;
    UiVertex m_quad[4];
    std::vector<CUiWindow*> m_upper;
    std::vector<CUiWindow*> m_lower;
    std::vector<IUiFont*> m_fonts;
    CUiObject* m_focus = nullptr;
    CImeInput m_ime;
    IUiCursorHost* m_cursorHost = nullptr;
    std::vector<uintptr_t> m_cursors;
    int32_t m_cursorIndex = 0;
    CUiWindow* m_tooltip = nullptr;
    CUiWindow* m_messageBox = nullptr;
    float m_messageDim = 0.0f;
    CUiObject* m_tooltipTarget = nullptr;
    int m_tooltipShowFlag = 0;
    int m_tooltipsOn = 1;
    int m_tooltipShow = 1;
    int m_dispatching = 0;
    std::vector<CUiWindow*> m_pendingDeletes;
};

extern CUiManager* g_pUiManager;

// A pulsing image of the HUD and the community screens: its alpha rises to 1
// and falls to 0 at one unit per second.
struct CUiBlinkImage {
    UiColor colour{1, 1, 1, 1};
    int falling = 0;
    platform::CGfxTexture* texture = nullptr;

    void Pulse(float dt);
    void Draw(float x, float y, float width, float height) const;
};
