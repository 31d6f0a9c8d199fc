#include "ui/UiManager.h"

#include <algorithm>

#include "engine/input/ZEMDXInput.h"
#include "engine/render/DeviceStates.h"
#include "platform/GfxDevice.h"
#include "ui/LayoutResource.h"
#include "ui/UiObject.h"
#include "ui/UiWindow.h"

CUiManager* g_pUiManager = nullptr;

namespace {

void Erase(std::vector<CUiWindow*>& layer, const CUiWindow* window) {
    layer.erase(std::remove(layer.begin(), layer.end(), window), layer.end());
}

bool IsDescendant(const CUiObject* ancestor, const CUiObject* element) {
    for (const CUiObject* p = element ? element->Parent() : nullptr; p; p = p->Parent())
        if (p == ancestor) return true;
    return false;
}

bool Contains(const std::vector<CUiWindow*>& layer, const CUiWindow* window) {
    return std::find(layer.begin(), layer.end(), window) != layer.end();
}

}  // namespace

CUiManager::CUiManager() {
    if (!g_pUiManager) g_pUiManager = this;
    for (UiVertex& v : m_quad) v = {0, 0, 0, 1, 0, 0, 0};
}

CUiManager::~CUiManager() {
    DeleteAllWindows();
    FlushDeletions();
    if (g_pUiManager == this) g_pUiManager = nullptr;
}

void CUiManager::AddUpperWindow(CUiWindow* window) {
    if (!window) return;
    Erase(m_lower, window);
    Erase(m_upper, window);
    m_upper.push_back(window);
}

void CUiManager::AddLowerWindow(CUiWindow* window) {
    if (!window) return;
    Erase(m_upper, window);
    Erase(m_lower, window);
    m_lower.push_back(window);
}

void CUiManager::RemoveWindow(CUiWindow* window) {
    Erase(m_upper, window);
    Erase(m_lower, window);
    if (m_tooltip == window) m_tooltip = nullptr;
    if (m_messageBox == window) m_messageBox = nullptr;
}

bool CUiManager::IsInLayer(const CUiWindow* window) const {
    return Contains(m_upper, window) || Contains(m_lower, window);
}

CUiWindow* CUiManager::FindWindow(uint32_t hash) const {
    for (CUiWindow* w : m_upper)
        if (w->NameHashValue() == hash) return w;
    for (CUiWindow* w : m_lower)
        if (w->NameHashValue() == hash) return w;
    return nullptr;
}

void CUiManager::ShowWindow(CUiWindow* window, bool show) {
    if (!window) return;
    if (show)
        window->ClearFlags(UI_HIDDEN);
    else
        window->AddFlags(UI_HIDDEN);
    if (!Contains(m_lower, window)) return;
    Erase(m_lower, window);
    if (show)
        m_lower.push_back(window);
    else
        m_lower.insert(m_lower.begin(), window);
}

void CUiManager::BringToFront(CUiWindow* window) {
    if (!Contains(m_lower, window)) return;
    Erase(m_lower, window);
    m_lower.push_back(window);
}

void CUiManager::SendToBack(CUiWindow* window) {
    if (!Contains(m_lower, window)) return;
    Erase(m_lower, window);
    m_lower.insert(m_lower.begin(), window);
}

void CUiManager::DeleteWindow(CUiWindow* window) {
    if (!window) return;
    RemoveWindow(window);
    // The window's layout resource must not delete it a second time.
    if (CLayoutResource* layout = window->LayoutResource()) {
        layout->ForgetWindow();
        window->SetLayoutResource(nullptr);
    }
    if (m_dispatching) {
        if (std::find(m_pendingDeletes.begin(), m_pendingDeletes.end(), window) == m_pendingDeletes.end())
            m_pendingDeletes.push_back(window);
        return;
    }
    delete window;
}

void CUiManager::DeleteAllWindows() {
    std::vector<CUiWindow*> lower = m_lower, upper = m_upper;
    for (CUiWindow* w : lower) DeleteWindow(w);
    for (CUiWindow* w : upper) DeleteWindow(w);
    m_lower.clear();
    m_upper.clear();
    m_tooltip = nullptr;
    m_tooltipTarget = nullptr;
    m_cursors.clear();
}

void CUiManager::FlushDeletions() {
    std::vector<CUiWindow*> pending;
    pending.swap(m_pendingDeletes);
    for (CUiWindow* w : pending) delete w;
}

void CUiManager::OnElementDestroyed(const CUiObject* element) {
    if (m_focus == element) m_focus = nullptr;
    ClearTooltipTarget(element);
}

void CUiManager::ClearTooltipTarget(const CUiObject* element) {
    if (element && m_tooltipTarget == element) {
        m_tooltipTarget = nullptr;
        m_tooltipShowFlag = 0;
    }
}

void CUiManager::HandleImeEvents() {
    m_ime.ProcessEvents(m_focus ? m_focus->TextByteLimit() : CImeInput::kMaxTextBytes);
}

void CUiManager::SetFocus(CUiObject* control) {
    if (m_focus) m_focus->ClearFlags(UI_FOCUS);
    // The input method writes only into the focused box: a box that lost the
    // focus may be deleted while the method still held its buffer.
    if (m_focus != control) m_ime.SetEditBuffer(nullptr, 0);
    m_focus = control;
    if (!control) return;
    control->AddFlags(UI_FOCUS);
    control->OnFocusGained();
    m_ime.EndComposition();
}

void CUiManager::LoadCursor(uint32_t resourceId) {
    if (!m_cursorHost) return;
    m_cursors.push_back(m_cursorHost->LoadCursor(resourceId));
}

void CUiManager::SetCursor(int32_t n) {
    if (n >= 0 && static_cast<size_t>(n) < m_cursors.size()) {
        m_cursorIndex = n;
        if (m_cursorHost) {
            m_cursorHost->SetCursor(m_cursors[static_cast<size_t>(n)]);
            m_cursorHost->ShowCursor(true);
        }
        return;
    }
    // Past the loaded cursors (or none loaded) there is nothing to show.
    if (m_cursorHost) m_cursorHost->ShowCursor(false);
}

void CUiManager::ShowMessageBox(float dimAlpha) {
    m_messageDim = dimAlpha;
    if (m_messageBox) m_messageBox->ClearFlags(UI_HIDDEN);
}

void CUiManager::HideMessageBox() {
    m_messageDim = 0.0f;
    if (m_messageBox) m_messageBox->AddFlags(UI_HIDDEN);
}

CUiObject* CUiManager::DispatchLayer(std::vector<CUiWindow*>& layer, bool lower, bool blocked, float dt,
                                     CZEMDXInput& input) {
    if (layer.empty()) return nullptr;
    platform::CursorPoint c{};
    input.GetCursor(&c);
    const UiPoint cursor{static_cast<float>(c.x), static_cast<float>(c.y)};
    CUiObject* result = nullptr;
    bool pointerTaken = false;
    // A copy: hooks may add, move or close windows while the walk runs.
    std::vector<CUiWindow*> order(layer.rbegin(), layer.rend());

    CUiWindow* top = order.front();
    if (!top->HasFlags(UI_HIDDEN)) {
        top->HitTest(cursor);
        if (top->PointerInside())
            top->AddFlags(UI_POINTER_OVER);
        else
            top->ClearFlags(UI_POINTER_OVER);
        if (blocked)
            top->AddFlags(UI_BLOCKED);
        else
            top->ClearFlags(UI_BLOCKED);
        if (CUiObject* took = top->ProcessInput(dt, input)) {
            if (took->TypeId() == UI_TYPE_EDITBOX) SetFocus(took);
            blocked = true;
            if (top->PointerInside() || top->HasFlags(UI_HIT_DRAG_AREA)) {
                result = took;
                pointerTaken = true;
            }
        }
    }
    for (size_t i = 1; i < order.size(); ++i) {
        CUiWindow* w = order[i];
        // Closed by a hook earlier in this walk.
        if (!Contains(layer, w) || w->HasFlags(UI_HIDDEN)) continue;
        if (blocked)
            w->AddFlags(UI_BLOCKED);
        else
            w->ClearFlags(UI_BLOCKED);
        w->HitTest(cursor);
        if (w->PointerInside() && !pointerTaken)
            w->AddFlags(UI_POINTER_OVER);
        else
            w->ClearFlags(UI_POINTER_OVER);
        CUiObject* took = w->ProcessInput(dt, input);
        if (w->PointerInside() && !blocked && !pointerTaken &&
            !(w->HasFlags(UI_HIT_DRAG_AREA) && w->HasFlags(UI_DISABLED))) {
            pointerTaken = true;
            if (lower && took && input.MousePressed(0) && !w->HasFlags(UI_STAY_BEHIND) && Contains(layer, w))
                BringToFront(w);
        }
        if (took && (w->PointerInside() || w->HasFlags(UI_HIT_DRAG_AREA))) {
            blocked = true;
            if (!result) result = took;
        }
    }
    return result;
}

CUiObject* CUiManager::DispatchInput(float dt, CZEMDXInput& input) {
    // Typed text arrives through the input method, into the focused box.
    HandleImeEvents();
    ++m_dispatching;
    CUiObject* r1 = DispatchLayer(m_upper, false, false, dt, input);
    CUiObject* r2 = DispatchLayer(m_lower, true, r1 != nullptr, dt, input);
    CUiObject* result = r1 ? r1 : r2;
    if (r2 && m_tooltip) {
        if (m_tooltipsOn) {
            m_tooltipTarget = result;
            m_tooltipShowFlag = m_tooltipShow;
        } else {
            m_tooltipTarget = nullptr;
            m_tooltipShowFlag = 0;
        }
    }
    --m_dispatching;
    if (!m_dispatching && !m_pendingDeletes.empty()) {
        // The result may be a control of a window that is going away.
        for (CUiWindow* w : m_pendingDeletes) {
            if (result && (result == w || IsDescendant(w, result))) result = nullptr;
        }
        FlushDeletions();
    }
    return result;
}

void CUiManager::BeginDraw() {
    if (!m_device) return;
    using namespace platform;
    CGfxDevice& device = *m_device;
    SetRenderStateCached(device, RS_LIGHTING, 0);
    SetRenderStateCached(device, RS_ZWRITEENABLE, 0);
    SetRenderStateCached(device, RS_ALPHABLENDENABLE, 1);
    SetRenderStateCached(device, RS_SRCBLEND, BLEND_SRCALPHA);
    SetRenderStateCached(device, RS_DESTBLEND, BLEND_INVSRCALPHA);
    SetStageStateCached(device, 0, TSS_COLOROP, TOP_MODULATE);
    SetStageStateCached(device, 0, TSS_COLORARG1, TA_TEXTURE);
    SetStageStateCached(device, 0, TSS_COLORARG2, TA_DIFFUSE);
    SetStageStateCached(device, 0, TSS_ALPHAOP, TOP_MODULATE);
    SetStageStateCached(device, 0, TSS_ALPHAARG1, TA_TEXTURE);
    SetStageStateCached(device, 0, TSS_ALPHAARG2, TA_DIFFUSE);
    SetFvfCached(device, kUiVertexFormat);
}

void CUiManager::EndDraw() {
    if (!m_device) return;
    using namespace platform;
    SetRenderStateCached(*m_device, RS_LIGHTING, 1);
    SetRenderStateCached(*m_device, RS_ZWRITEENABLE, 1);
    SetRenderStateCached(*m_device, RS_ALPHABLENDENABLE, 0);
}

void CUiManager::DrawQuad(uint32_t argb, const float* uv, platform::CGfxTexture* texture, float x, float y, float width,
                          float height) {
    if (!m_device) return;
    const float* t = uv ? uv : kDefaultUv;
    const float left = x - 0.5f, top = y - 0.5f;
    const float xs[4] = {left, left + width, left, left + width};
    const float ys[4] = {top, top, top + height, top + height};
    for (int i = 0; i < 4; ++i) m_quad[i] = {xs[i], ys[i], 0.0f, 1.0f, argb, t[i * 2], t[i * 2 + 1]};
    if (m_device->GetTexture(0) != texture) m_device->SetTexture(0, texture);
    m_device->DrawPrimitiveUP(platform::PT_TRIANGLESTRIP, 2, m_quad, sizeof(UiVertex));
}

void CUiManager::RenderWindows() {
    BeginDraw();
    {
        std::vector<CUiWindow*> lower = m_lower, upper = m_upper;
        for (CUiWindow* w : lower) w->Render();
        for (CUiWindow* w : upper)
            if (w != m_tooltip && w != m_messageBox) w->Render();
    }
    if (m_messageBox && !m_messageBox->HasFlags(UI_HIDDEN)) {
        if (m_messageDim > 0.0f)
            DrawQuad(PackColor({0, 0, 0, m_messageDim}), nullptr, nullptr, 0, 0, static_cast<float>(kScreenWidth),
                     static_cast<float>(kScreenHeight));
        m_messageBox->Render();
    }
    if (m_tooltip) m_tooltip->Render();
    if (m_focus) DrawCandidates();
    EndDraw();
}

void CUiManager::DrawCandidates() {
    const uint32_t count = m_ime.GetCandidateCount();
    const uint32_t limit = std::min(count, m_ime.GetCandidatePageStart() + m_ime.GetCandidatePageSize());
    if (limit == 0) return;
    const float cellWidth = static_cast<float>(m_ime.GetCandidateWidth());
    const float cellHeight = static_cast<float>(m_ime.GetCandidateHeight());
    const bool vertical = m_ime.IsVerticalCandidates();
    UiPoint origin = m_focus->GetAbsolutePos();
    // A vertical list is moved up first, so that it ends at the control.
    if (vertical) origin.y -= static_cast<float>(limit) * cellHeight;
    // A Korean layout marks no entry: its selection is compared with the count.
    const bool korean = (m_ime.GetLanguage() & 0x3FF) == 0x12;
    const uint32_t selected = korean ? count : m_ime.GetCandidateSelection();
    IUiFont* font = m_focus->Font() ? m_focus->Font() : GetFont(0);
    float x = origin.x, y = origin.y;
    for (uint32_t i = m_ime.GetCandidatePageStart(); i < limit; ++i) {
        DrawQuad(i == selected ? 0xFF3A5A96u : 0xE0202020u, nullptr, nullptr, x, y, cellWidth, cellHeight);
        char text[256];
        if (font && m_ime.GetCandidateText(i, text, sizeof(text)))
            font->Draw(PixelCoord(x) + 2, PixelCoord(y) + 2, text,
                       i == selected ? 0xFFFFFF00u : 0xFFFFFFFFu);
        if (vertical)
            y += cellHeight;
        else
            x += cellWidth;
    }
}

void CUiBlinkImage::Pulse(float dt) {
    if (!falling) {
        colour.a += dt;
        if (colour.a > 1.0f) {
            colour.a = 1.0f;
            falling = 1;
        }
    } else {
        colour.a -= dt;
        if (colour.a < 0.0f) {
            colour.a = 0.0f;
            falling = 0;
        }
    }
}

void CUiBlinkImage::Draw(float x, float y, float width, float height) const {
    if (g_pUiManager) g_pUiManager->DrawQuad(PackColor(colour), nullptr, texture, x, y, width, height);
}
