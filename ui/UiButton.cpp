#include "ui/UiButton.h"

#include <cmath>
#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundEffect.h"
#include "engine/core/TextFormat.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/sound/ZEMSoundManager.h"
#include "ui/LayoutRecord.h"
#include "ui/LayoutStream.h"
#include "ui/UiImage.h"
#include "ui/UiManager.h"

namespace {

void Release(CResource*& resource) {
    if (resource && g_pResourceManager) g_pResourceManager->ReleaseResource(resource);
    resource = nullptr;
}

// A sound named by a layout; a sound that does not load leaves the button
// silent and the layout goes on.
CResource* LoadSound(const std::string& name) {
    if (name.empty() || !g_pResourceManager) return nullptr;
    if (g_pSoundManager && !g_pSoundManager->IsEnabled()) return nullptr;
    CResource* sound = g_pResourceManager->GetResource(name.c_str(), RES_SOUND_EFFECT, nullptr, 0);
    // Only the text changes: the layout goes on without the sound.
    if (!sound) ErrorReport().Set(ErrorReport().GetCode(), FormatText("Sound load fail %s\n", name));
    return sound;
}

}  // namespace

CUiButton::CUiButton() {
    m_typeId = UI_TYPE_BUTTON;
    for (auto& uv : m_stateUv) std::memcpy(uv, kDefaultUv, sizeof(uv));
}

CUiButton::~CUiButton() {
    // The state images are the button's; the root must not release the shown one again.
    m_image = nullptr;
    for (CResource*& image : m_stateImage) Release(image);
    Release(m_hoverSound);
    Release(m_clickSound);
}

void CUiButton::SetImage(int state, CResource* texture, bool resetColour, const std::string& name) {
    if (!ValidState(state)) {
        Release(texture);
        return;
    }
    if (m_shownState == state) m_image = texture;
    Release(m_stateImage[state]);
    m_stateImage[state] = texture;
    m_stateImageName[state] = texture ? name : std::string();
    if (resetColour) m_colour = {1, 1, 1, 1};
    UpdateFrameSize(texture);
}

void CUiButton::UpdateFrameSize(CResource* texture) {
    if (UiImageInfo info = UiImageOf(texture); info.texture) {
        m_frameSize = {static_cast<float>(info.width) / static_cast<float>(m_animation.SafeColumns()),
                       static_cast<float>(info.height) / static_cast<float>(m_animation.SafeRows())};
    }
}

void CUiButton::SetStateUv(int state, const float uv[8]) {
    if (ValidState(state)) std::memcpy(m_stateUv[state], uv, sizeof(m_stateUv[state]));
}

void CUiButton::SetSounds(CResource* hover, CResource* click) {
    Release(m_hoverSound);
    Release(m_clickSound);
    m_hoverSound = hover;
    m_clickSound = click;
}

void CUiButton::SetAnimation(uint32_t columns, uint32_t rows, float frameTime) {
    m_animation.SetGrid(columns, rows, frameTime);
}

void CUiButton::PlaySound(Sound which) {
    CResource* sound = which == SOUND_HOVER ? m_hoverSound : m_clickSound;
    if (sound) static_cast<CSoundEffect*>(sound)->Play(false);
}

void CUiButton::ShowState(int state, bool animate) {
    if (!m_stateImage[state]) {
        state = STATE_NORMAL;
        animate = false;
    }
    if (m_shownState != state) m_animation.Restart();
    m_shownState = state;
    m_image = m_stateImage[state];
    std::memcpy(m_uv, m_stateUv[state], sizeof(m_uv));
    m_animateState = animate ? 1 : 0;
}

void CUiButton::ShiftCaption(bool pressed) {
    if (HasFlags(kStyleStillCaption)) return;
    m_textOffset = pressed ? UiPoint{1, 1} : UiPoint{0, 0};
}

bool CUiButton::PointerIn(CZEMDXInput& input) {
    if (HasFlags(UI_BLOCKED)) {
        m_pointerInside = 0;
        return false;
    }
    platform::CursorPoint cursor{};
    input.GetCursor(&cursor);
    HitTest({static_cast<float>(cursor.x), static_cast<float>(cursor.y)});
    return m_pointerInside != 0;
}

CUiObject* CUiButton::ProcessInput(float dt, CZEMDXInput& input) {
    m_animation.AddTime(dt);
    if (HasFlags(UI_HIDDEN | UI_DISABLED | UI_HIT_DRAG_AREA | UI_TAKES_ALL)) {
        ClearFlags(UI_PRESSED);
        return nullptr;
    }
    if (PointerIn(input) && HasFlags(UI_POINTER_OVER)) {
        ShowState(STATE_HOVER, HasFlags(kStyleAnimateHover));
        ShiftCaption(false);
        if (!HasFlags(kFlagHoverPlayed)) {
            if (m_colour.a > 0.0f) PlaySound(SOUND_HOVER);
            AddFlags(kFlagHoverPlayed);
        }
        // A press that began outside and moved in is no press of this button.
        if (input.MouseDown(0) && (input.MousePressed(0) || HasFlags(UI_PRESSED))) {
            ShowState(STATE_PRESSED, HasFlags(kStyleAnimatePressed));
            ShiftCaption(true);
            AddFlags(UI_PRESSED);
            return this;
        }
        if (input.MouseReleased(0)) {
            if (!HasFlags(UI_PRESSED)) return nullptr;
            if (m_colour.a > 0.0f) PlaySound(SOUND_CLICK);
            ClearFlags(UI_PRESSED);
        }
        return this;
    }
    ClearFlags(kFlagHoverPlayed);
    if (HasFlags(UI_PRESSED)) {
        if (input.MouseReleased(0)) ClearFlags(UI_PRESSED);
        return nullptr;
    }
    ShowState(STATE_NORMAL, HasFlags(kStyleAnimateNormal));
    ShiftCaption(false);
    return nullptr;
}

void CUiButton::DrawCaption(float x, float y) {
    if (!(m_textColour.a > 0.0f) || m_caption.empty() || !m_font) return;
    m_font->Draw(PixelCoord(x), PixelCoord(y), m_caption, PackColor(m_textColour));
}

void CUiButton::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN | 0x02000000)) return;
    if (m_animateState && m_animation.Animated()) {
        m_animation.Advance(CUiFrameAnimation::END_LOOP);
        RenderQuad(m_animation.Uv());
    } else {
        CUiObject::Render();
    }
    if (!(m_textColour.a > 0.0f) || m_caption.empty() || !m_font) return;
    int32_t w = 0, h = 0;
    m_font->Measure(m_caption, &w, &h);
    const UiPoint a = GetAbsolutePos();
    DrawCaption(std::trunc(a.x + m_textOffset.x + (m_size.x - static_cast<float>(w)) * 0.5f),
                std::trunc(a.y + m_textOffset.y + (m_size.y - static_cast<float>(h)) * 0.5f));
}

void CUiButton::SetEnabled(int enable) {
    if (ApplyDisabledColour(enable, &m_textColour, &m_savedTextColour) && !enable) ShowState(STATE_NORMAL, false);
}

int CUiButton::SerializeCommonPart(CLayoutStream& s) {
    float uv[24];
    for (int i = 0; i < 3; ++i) std::memcpy(uv + 8 * i, m_stateUv[i], sizeof(m_stateUv[i]));
    if (!s.Floats(uv, 24)) return 0;
    for (int i = 0; i < 3; ++i) {
        if (s.Reading()) {
            std::memcpy(m_stateUv[i], uv + 8 * i, sizeof(m_stateUv[i]));
            int32_t index = -1;
            CResource* image = nullptr;
            std::string name;
            if (!ReadLayoutStateImage(s, &index, &image, &name)) return 0;
            if (index >= 0) SetImage(index, image, false, name);
        } else if (!WriteLayoutStateImage(s, i, m_stateImageName[i])) {
            return 0;
        }
    }
    if (s.Reading()) std::memcpy(m_uv, m_stateUv[0], sizeof(m_uv));
    // A disabled button keeps its own caption colour aside; that one is what the file holds.
    const UiColor& own = HasFlags(UI_DISABLED) ? m_savedTextColour : m_textColour;
    float colour[4] = {own.r, own.g, own.b, own.a};
    uint32_t font = FontIndex();
    uint32_t columns = m_animation.Columns(), rows = m_animation.Rows();
    float frameTime = m_animation.FrameTime();
    std::string hover = m_hoverSoundName, click = m_clickSoundName;
    if (!s.Field(m_caption) || !s.Floats(colour, 4) || !s.Field(hover) || !s.Field(click) || !s.Field(font) ||
        !s.Field(columns) || !s.Field(rows) || !s.Field(frameTime))
        return 0;
    if (!s.Reading()) return 1;
    m_textColour = {colour[0], colour[1], colour[2], colour[3]};
    m_savedTextColour = m_textColour;
    if (HasFlags(UI_DISABLED)) m_textColour = DimmedColor(m_textColour);
    SetFont(font);
    m_animation.SetGrid(columns, rows, frameTime);
    for (CResource* image : m_stateImage) UpdateFrameSize(image);
    m_hoverSoundName = hover;
    m_clickSoundName = click;
    SetSounds(LoadSound(hover), LoadSound(click));
    ShowState(STATE_NORMAL, HasFlags(kStyleAnimateNormal));
    return 1;
}

int CUiButton::SerializeLayoutPart(CLayoutStream& s) { return SerializeCommonPart(s); }
