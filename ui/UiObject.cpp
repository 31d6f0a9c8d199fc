#include "ui/UiObject.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/NameHash.h"
#include "engine/resource/ResourceManager.h"
#include "ui/UiImage.h"
#include "ui/UiManager.h"
#include "ui/UiWindow.h"

CUiObject::CUiObject() {
    ResetUv();
    m_font = g_pUiManager ? g_pUiManager->GetFont(0) : nullptr;
}

CUiObject::~CUiObject() {
    if (HasCommonImage()) ReleaseImage();
    if (g_pUiManager) g_pUiManager->OnElementDestroyed(this);
    // Windows delete their children; the list only forgets them here.
    m_children.clear();
}

void CUiObject::ReleaseImage() {
    if (m_image && g_pResourceManager) g_pResourceManager->ReleaseResource(m_image);
    m_image = nullptr;
    m_imageName.clear();
}

void CUiObject::SetImage(CResource* image, const std::string& name) {
    ReleaseImage();
    m_image = image;
    m_imageName = image ? name : std::string();
}

void CUiObject::Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                       uint32_t) {
    m_parent = parent;
    SetName(name);
    m_position = {x, y};
    m_size = {width, height};
}

CUiObject* CUiObject::ProcessInput(float, CZEMDXInput&) { return nullptr; }

void CUiObject::Render() { RenderQuad(m_uv); }

void CUiObject::RenderQuad(const float* uv) {
    if (!(m_colour.a > 0.0f) || !g_pUiManager) return;
    float x = m_position.x, y = m_position.y;
    if (m_parent) {
        UiPoint base = m_parent->GetAbsolutePos();
        x += base.x;
        y += base.y;
    }
    g_pUiManager->DrawQuad(PackColor(m_colour), uv, UiImageOf(m_image).texture, x, y, m_size.x, m_size.y);
}

void CUiObject::SetFont(uint32_t index) {
    if (!g_pUiManager || index >= g_pUiManager->FontCount()) index = 0;
    m_fontIndex = index;
    m_font = g_pUiManager ? g_pUiManager->GetFont(index) : nullptr;
}

void CUiObject::CreateForLayout(CUiWindow* window, const std::string& name) { Create(window, name, 0, 0, 0, 0, 0); }

int CUiObject::SerializeLayoutPart(CLayoutStream&) { return 1; }

void CUiObject::SetName(const std::string& name) {
    m_name = name;
    m_nameHash = NameHash(m_name);
}

void CUiObject::SetText(const std::string& text) {
    m_text = text;
    m_textSize = {0, 0};
    if (!m_font) return;
    int32_t w = 0, h = 0;
    m_font->Measure(m_text, &w, &h);
    m_textSize = {static_cast<float>(w), static_cast<float>(h + 5)};
}

CUiObject* CUiObject::FindChild(uint32_t hash) const {
    for (CUiObject* child : m_children)
        if (child->m_nameHash == hash) return child;
    return nullptr;
}

void CUiObject::RemoveChild(uint32_t hash) {
    auto it = std::find_if(m_children.begin(), m_children.end(),
                           [hash](const CUiObject* c) { return c->m_nameHash == hash; });
    if (it != m_children.end()) m_children.erase(it);
}

UiPoint CUiObject::GetAbsolutePos() {
    if (!m_parent) return m_position;
    UiPoint base = m_parent->GetAbsolutePos();
    m_absolutePosition = {base.x + m_position.x, base.y + m_position.y};
    return m_absolutePosition;
}

void CUiObject::HitTest(const UiPoint& point) {
    UiPoint a = GetAbsolutePos();
    m_pointerInside = (point.x > a.x && point.x < a.x + m_size.x && point.y > a.y && point.y < a.y + m_size.y) ? 1 : 0;
}

void CUiObject::HitTestRect(const UiPoint& topLeft, const UiPoint& bottomRight, const UiPoint& point) {
    UiPoint base = m_parent ? m_parent->GetAbsolutePos() : UiPoint{};
    m_pointerInside = (point.x > base.x + topLeft.x && point.x < base.x + bottomRight.x &&
                       point.y > base.y + topLeft.y && point.y < base.y + bottomRight.y)
                          ? 1
                          : 0;
}

void CUiObject::ResetUv() { std::memcpy(m_uv, kDefaultUv, sizeof(m_uv)); }

void CUiObject::SetDescendantsAlpha(float alpha) {
    for (CUiObject* child : m_children) {
        child->m_colour.a = alpha;
        child->SetDescendantsAlpha(alpha);
    }
}

void CUiObject::SetAlpha(float alpha, bool recursive) {
    m_colour.a = alpha;
    if (recursive) SetDescendantsAlpha(alpha);
}

void CUiObject::SetPosition(float x, float y) { m_position = {std::trunc(x), std::trunc(y)}; }

void CUiObject::SetColor(uint32_t argb) { m_colour = UnpackColor(argb); }

int CUiObject::ApplyDisabledColour(int enable, UiColor* textColour, UiColor* savedTextColour) {
    if (!enable && !HasFlags(UI_DISABLED)) {
        m_savedColour = m_colour;
        m_colour = DimmedColor(m_colour);
        if (textColour && savedTextColour) {
            *savedTextColour = *textColour;
            *textColour = DimmedColor(*textColour);
        }
        AddFlags(UI_DISABLED);
        return 1;
    }
    if (enable && HasFlags(UI_DISABLED)) {
        m_colour = m_savedColour;
        if (textColour && savedTextColour) *textColour = *savedTextColour;
        ClearFlags(UI_DISABLED);
        return 1;
    }
    return 0;
}

void SetShown(CUiObject* control, bool shown) {
    if (!control) return;
    if (shown)
        control->ClearFlags(UI_HIDDEN);
    else
        control->AddFlags(UI_HIDDEN);
}
