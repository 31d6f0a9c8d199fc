#include "ui/UiWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/input/ZEMDXInput.h"
#include "ui/LayoutRecord.h"
#include "ui/LayoutResource.h"
#include "ui/LayoutStream.h"
#include "ui/UiControlFactory.h"
#include "ui/UiManager.h"

namespace {

constexpr int kLeft = 0, kRight = 1, kMiddle = 2;

std::string BaseName(const char* path) {
    std::string p(path ? path : "");
    size_t cut = p.find_last_of("/\\");
    return cut == std::string::npos ? p : p.substr(cut + 1);
}

}  // namespace

CUiWindow::CUiWindow() { m_typeId = UI_TYPE_WINDOW; }

CUiWindow::~CUiWindow() {
    if (m_layout) m_layout->ForgetWindow();
    if (g_pUiManager) g_pUiManager->RemoveWindow(this);
    // Pre-bound controls are members of the derived window and may already be
    // gone: they are recognised by address only and left alone.
    for (auto it = m_children.begin(); it != m_children.end();) {
        if (IsPreBound(*it)) {
            ++it;
            continue;
        }
        CUiObject* child = *it;
        it = m_children.erase(it);
        delete child;
    }
}

bool CUiWindow::IsPreBound(const CUiObject* control) const {
    return std::find(m_preBound.begin(), m_preBound.end(), control) != m_preBound.end();
}

CUiObject* CUiWindow::FindPreBound(uint32_t hash) const {
    for (CUiObject* control : m_preBound)
        if (control->NameHashValue() == hash) return control;
    return nullptr;
}

bool CUiWindow::HasEditBoxChild() const {
    for (const CUiObject* child : m_children)
        if (child->TypeId() == UI_TYPE_EDITBOX) return true;
    return false;
}

void CUiWindow::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN)) return;
    CUiObject::Render();
    for (CUiObject* child : m_children) child->Render();
}

void CUiWindow::SetEnabled(int enable) {
    for (CUiObject* child : m_children) child->SetEnabled(enable);
    ApplyDisabledColour(enable);
}

int CUiWindow::SerializeLayoutPart(CLayoutStream& stream) { return stream.Floats(m_dragArea, 4) ? 1 : 0; }

void CUiWindow::StartFade(float rate, int fadeIn) {
    if (rate == 0.0f) {
        m_fadeActive = 0;
        return;
    }
    m_fadeIn = fadeIn ? 1 : 0;
    m_fadeAlpha = m_fadeIn ? 0.0f : 1.0f;
    m_fadeRate = m_fadeIn ? rate : -rate;
    m_fadeElapsed = 0.0f;
    m_fadeActive = 1;
}

void CUiWindow::AdvanceFade(float dt) {
    if (!m_fadeActive) return;
    m_fadeElapsed += dt;
    m_fadeAlpha += m_fadeRate * dt;
    if (!m_fadeIn && m_fadeAlpha <= 0.0f) {
        m_fadeAlpha = 0.0f;
        m_fadeActive = 0;
    } else if (m_fadeIn && m_fadeAlpha >= 1.0f) {
        m_fadeAlpha = 1.0f;
        m_fadeActive = 0;
    }
    for (CUiObject* child : m_children) {
        child->SetAlpha(m_fadeAlpha, true);
        child->SetTextAlpha(m_fadeAlpha);
    }
}

void CUiWindow::SetChildrenAlpha(float alpha) { SetDescendantsAlpha(alpha); }

void CUiWindow::SetCapture(CUiObject* control) {
    m_captured = control ? 1 : 0;
    m_capturedHash = control ? control->NameHashValue() : 0;
}

void CUiWindow::RouteEvent(uint32_t code, CUiObject* control) {
    if (!control || control->HasFlags(UI_DISABLED | UI_HIT_DRAG_AREA)) return;
    switch (code) {
        case UI_EVENT_LCLICK:
            OnLButtonClick(control);
            break;
        case UI_EVENT_LPRESS:
            OnLButtonPress(control);
            break;
        case UI_EVENT_LHOLD:
            OnLButtonHold(control);
            break;
        case UI_EVENT_MCLICK:
            OnMButtonClick(control);
            break;
        case UI_EVENT_MPRESS:
            OnMButtonPress(control);
            break;
        case UI_EVENT_MHOLD:
            OnMButtonHold(control);
            break;
        case UI_EVENT_LMCLICK:
            OnLMButtonClick(control);
            break;
        case UI_EVENT_RCLICK:
            OnRButtonClick(control);
            break;
        case UI_EVENT_RPRESS:
            OnRButtonPress(control);
            break;
        case UI_EVENT_RHOLD:
            OnRButtonHold(control);
            break;
        case UI_EVENT_LDOUBLE:
            OnLButtonDoubleClick(control);
            break;
        case UI_EVENT_MDOUBLE:
            OnMButtonDoubleClick(control);
            break;
        case UI_EVENT_RDOUBLE:
            OnRButtonDoubleClick(control);
            break;
        case UI_EVENT_DRAG:
            OnDrag(control);
            break;
        case UI_EVENT_ENTER:
            OnEnter(control);
            break;
        case UI_EVENT_TAB:
            OnTab(control);
            break;
        default:
            break;
    }
}

uint32_t CUiWindow::ReadInputEvent(CZEMDXInput& input) {
    uint32_t a = 0, b = 0, c = 0;
    platform::CursorPoint cursor{};
    input.GetCursor(&cursor);
    const int dx = std::abs(cursor.x - m_pressPosition.x), dy = std::abs(cursor.y - m_pressPosition.y);
    const bool near = dx < 2 || dy < 2;

    if (input.MouseReleased(kLeft))
        a = UI_EVENT_LCLICK;
    else if (input.MouseDoubleClick(kLeft) && near)
        a = UI_EVENT_LDOUBLE;
    else if (input.MousePressed(kLeft))
        a = UI_EVENT_LPRESS;
    else if (input.MouseDown(kLeft))
        a = UI_EVENT_LHOLD;

    if (input.MouseReleased(kRight))
        c = UI_EVENT_RCLICK;
    else if (input.MouseDoubleClick(kRight) && near)
        c = UI_EVENT_RDOUBLE;
    else if (input.MousePressed(kRight))
        c = UI_EVENT_RPRESS;
    else if (input.MouseDown(kRight))
        a = UI_EVENT_RHOLD;

    if (input.MouseReleased(kMiddle))
        b = UI_EVENT_MCLICK;
    else if (input.MouseDoubleClick(kMiddle) && near)
        a = UI_EVENT_MDOUBLE;
    else if (input.MousePressed(kMiddle))
        b = UI_EVENT_MPRESS;
    else if (input.MouseDown(kMiddle))
        a = UI_EVENT_MHOLD;

    if (input.MousePressed(kLeft) || input.MousePressed(kRight) || input.MousePressed(kMiddle))
        m_pressPosition = cursor;

    if (!input.MousePressed(kLeft) && input.MouseDown(kLeft) &&
        (std::abs(cursor.x - m_pressPosition.x) > 5 || std::abs(cursor.y - m_pressPosition.y) > 5))
        a = UI_EVENT_DRAG;

    const bool alt = input.KeyDown(platform::DIK_RMENU) || input.KeyDown(platform::DIK_LMENU);
    if ((!alt && input.KeyPressed(platform::DIK_RETURN)) || input.KeyPressed(platform::DIK_NUMPADENTER))
        c = UI_EVENT_ENTER;
    if (input.KeyPressed(platform::DIK_TAB)) c = UI_EVENT_TAB;
    return a | b | c;
}

int CUiWindow::DragWindow(CZEMDXInput& input) {
    if (!HasFlags(UI_FOCUS) && HasFlags(UI_BLOCKED)) {
        m_dragging = 0;
        return 0;
    }
    platform::CursorPoint cursor{};
    input.GetCursor(&cursor);
    if (input.MousePressed(kLeft)) m_pressPosition = cursor;
    const float px = static_cast<float>(m_pressPosition.x), py = static_cast<float>(m_pressPosition.y);
    const bool inside = px > m_previousPosition.x + m_dragArea[0] && px < m_previousPosition.x + m_dragArea[2] &&
                        py > m_previousPosition.y + m_dragArea[1] && py < m_previousPosition.y + m_dragArea[3];
    if (inside && input.MouseDown(kLeft)) {
        SetPosition(m_previousPosition.x + static_cast<float>(cursor.x - m_pressPosition.x),
                    m_previousPosition.y + static_cast<float>(cursor.y - m_pressPosition.y));
        m_dragging = 1;
        return 1;
    }
    m_dragging = 0;
    return 0;
}

void CUiWindow::OfferImageStatics(float dt, CZEMDXInput& input) {
    for (CUiObject* child : m_children)
        if (child->TypeId() == UI_TYPE_STATIC && child->Image()) child->ProcessInput(dt, input);
}

CUiObject* CUiWindow::OfferChild(CUiObject* child, float dt, CZEMDXInput& input, uint32_t code, bool blocked,
                                 bool* taken, CUiObject** result) {
    if (HasFlags(UI_POINTER_OVER))
        child->AddFlags(UI_POINTER_OVER);
    else
        child->ClearFlags(UI_POINTER_OVER);
    if (blocked || *taken)
        child->AddFlags(UI_BLOCKED);
    else
        child->ClearFlags(UI_BLOCKED);
    CUiObject* took = child->ProcessInput(dt, input);
    if (took && !*taken && !blocked) {
        *taken = true;
        *result = took;
        RouteEvent(code, took);
        if (child->HasFlags(UI_PRESSED))
            AddFlags(UI_PRESSED);
        else
            ClearFlags(UI_PRESSED);
    } else if (!took && child->HasFlags(UI_PRESSED)) {
        OfferImageStatics(dt, input);
    }
    if (took) *taken = true;
    if (!m_captured && input.MouseDown(kLeft) && HasFlags(UI_PRESSED) && child->HasFlags(UI_PRESSED)) SetCapture(child);
    return took;
}

CUiObject* CUiWindow::ProcessInput(float dt, CZEMDXInput& input) {
    AdvanceFade(dt);
    if (HasFlags(UI_HIDDEN | UI_DISABLED | UI_HIT_DRAG_AREA | UI_TAKES_ALL)) {
        if (HasFlags(UI_TAKES_ALL)) {
            ClearFlags(UI_PRESSED);
            return this;
        }
        if (!HasFlags(UI_HIT_DRAG_AREA)) return nullptr;
    }
    const uint32_t code = ReadInputEvent(input);
    if (input.MouseReleased(kLeft)) SetCapture(nullptr);
    const bool blocked = HasFlags(UI_BLOCKED);

    bool taken = false;
    CUiObject* result = nullptr;
    if (m_captured) {
        if (CUiObject* holder = FindChild(m_capturedHash))
            OfferChild(holder, dt, input, code, blocked, &taken, &result);
    } else {
        // Topmost (last drawn) first. A copy, so that a hook that changes the
        // child list does not move the walk.
        std::vector<CUiObject*> order(m_children.rbegin(), m_children.rend());
        for (CUiObject* child : order) {
            if (m_dragging) break;
            OfferChild(child, dt, input, code, blocked, &taken, &result);
        }
    }
    if (result) {
        if (m_captured) OfferImageStatics(dt, input);
        return result;
    }

    if (DragWindow(input)) return this;

    if (HasFlags(UI_HIT_DRAG_AREA)) {
        const float px = static_cast<float>(m_pressPosition.x), py = static_cast<float>(m_pressPosition.y);
        m_pointerInside = (px > m_position.x + m_dragArea[0] && px < m_position.x + m_dragArea[2] &&
                           py > m_position.y + m_dragArea[1] && py < m_position.y + m_dragArea[3])
                              ? 1
                              : 0;
    } else {
        platform::CursorPoint cursor{};
        input.GetCursor(&cursor);
        HitTest({static_cast<float>(cursor.x), static_cast<float>(cursor.y)});
    }
    if (m_pointerInside || HasEditBoxChild()) RouteEvent(code, this);
    m_previousPosition = m_position;
    if (m_pointerInside && input.MouseReleased(kLeft) && HasFlags(UI_POINTER_OVER))
        AddFlags(UI_FOCUS);
    else
        ClearFlags(UI_FOCUS | UI_PRESSED);
    return m_pointerInside && !blocked ? this : nullptr;
}

int CUiWindow::SaveLayout(const char* path) {
    CFileStream file;
    if (!file.OpenWrite(path)) return 0;
    CLayoutStream s(file, kVersion109);
    float version = kVersion109;
    s.Field(version);
    if (!WriteLayoutRecord(*this, s)) return 0;
    uint32_t count = static_cast<uint32_t>(m_children.size());
    s.Field(count);
    for (CUiObject* child : m_children)
        if (!WriteLayoutRecord(*child, s)) return 0;
    file.Close();
    return s.Failed() ? 0 : 1;
}

int CUiWindow::ReadChildren(CLayoutStream& s) {
    uint32_t count = 0;
    if (!s.Field(count)) return 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t type = 0;
        std::string name;
        if (!s.Field(type) || !s.Field(name)) return 0;
        CUiObject* preBound = FindPreBound(NameHash(name));
        if (preBound && preBound->TypeId() != type)
            return s.FailData(FormatText("Layout control %s has type 0x%08X, its window expects 0x%08X", name, type,
                                         preBound->TypeId()));
        CUiObject* control = preBound ? preBound : CreateUiControl(type);
        if (!control) return s.FailData(FormatText("Layout control %s has the unknown type 0x%08X", name, type));
        control->CreateForLayout(this, name);
        if (type == UI_TYPE_GAUGE) m_lastGauge = control;
        if (!ReadLayoutRecord(*control, s, true)) {
            if (m_lastGauge == control) m_lastGauge = nullptr;
            if (!preBound) delete control;
            return 0;
        }
        AddChild(control);
    }
    return 1;
}

int CUiWindow::LoadLayout(const char* path, uint32_t offset, uint32_t size) {
    CFileStream file;
    if (!file.OpenRead(path)) return 0;
    uint32_t end = file.fileSize();
    if (size != 0 && offset <= end && end - offset >= size) end = offset + size;
    if (offset > end || !file.Seek(offset)) {
        ErrorReport().SetError(ERR_DATA, "Layout offset %u is past the end of %s", offset, BaseName(path));
        return 0;
    }
    // Read once, then parsed from memory: a layout is a few kilobytes.
    std::vector<uint8_t> bytes(end - offset);
    if (!bytes.empty() && !file.Read(bytes.data(), static_cast<uint32_t>(bytes.size()))) return 0;
    file.Close();
    CLayoutStream s(bytes.data(), bytes.size(), 0.0f, BaseName(path));
    float version = 0.0f;
    if (!s.Field(version)) return 0;
    m_layoutVersion = version;
    if (version != kVersion109 && version != kVersion107) {
        ErrorReport().SetError(ERR_FILE_VERSION, GetMessageText(MSG_ERROR_FILE_VERSION), BaseName(path));
        return 0;
    }
    s.SetVersion(version);
    uint32_t windowType = 0;
    if (!s.Field(windowType)) return 0;
    if (!ReadLayoutRecord(*this, s, false)) return 0;
    if (!ReadChildren(s)) {
        ErrorReport().Chain("%s", m_name);
        return 0;
    }
    return OnLayoutLoaded();
}

CUiObject* CUiWindow::Bind(const char* name, uint32_t type) {
    CUiObject* control = FindChild(NameHash(name));
    if (control && control->TypeId() == type) return control;
    ErrorReport().SetError(ERR_DATA, "Layout window %s has no control %s of type 0x%08X", m_name, name, type);
    ErrorReport().Chain("%s", m_name);
    return nullptr;
}
