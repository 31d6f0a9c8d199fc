#include "ui/ScreenFade.h"

#include "engine/resource/ResourceManager.h"
#include "engine/core/TextFormat.h"
#include "platform/GfxDevice.h"
#include "ui/UiImage.h"
#include "ui/UiManager.h"

CScreenFade::CScreenFade() {
    const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < 4; ++i) m_vertices[i] = {0, 0, 0, 1, 0, uv[i][0], uv[i][1]};
}

CScreenFade::~CScreenFade() {
    if (m_texture && g_pResourceManager) g_pResourceManager->ReleaseResource(m_texture);
}

void CScreenFade::SetUp(float x, float y, float width, float height, CResource* texture) {
    if (m_texture && m_texture != texture && g_pResourceManager) g_pResourceManager->ReleaseResource(m_texture);
    m_texture = texture;
    m_rect[0] = x, m_rect[1] = y, m_rect[2] = width, m_rect[3] = height;
    const float l = x - 0.5f, t = y - 0.5f;
    const float xs[4] = {l, l + width, l, l + width}, ys[4] = {t, t, t + height, t + height};
    for (int i = 0; i < 4; ++i) {
        m_vertices[i].x = xs[i];
        m_vertices[i].y = ys[i];
    }
}

void CScreenFade::WriteColour() {
    const uint32_t argb = PackColor(m_colour);
    for (UiVertex& v : m_vertices) v.color = argb;
}

void CScreenFade::Start(const UiColor& colour, int fadeOut, float rate) {
    m_drawn = 1;
    m_colour = colour;
    m_fadeOut = fadeOut ? 1 : 0;
    if (rate == 0.0f) {
        m_done = 1;
        WriteColour();
        return;
    }
    m_done = 0;
    m_elapsed = 0.0f;
    m_colour.a = m_fadeOut ? 1.0f : 0.0f;
    m_rate = m_fadeOut ? -rate : rate;
    WriteColour();
}

void CScreenFade::Advance(float dt) {
    if (m_done) return;
    m_elapsed += dt;
    m_colour.a += m_rate * dt;
    if (m_rate > 0.0f && m_colour.a >= 1.0f) {
        m_colour.a = 1.0f;
        m_done = 1;
    } else if (m_rate < 0.0f && m_colour.a < 0.0f) {
        m_colour.a = 0.0f;
        m_drawn = 0;
        m_done = 1;
    }
    WriteColour();
}

void CScreenFade::Render() {
    platform::CGfxDevice* device = g_pUiManager ? g_pUiManager->Device() : nullptr;
    if (!m_drawn || !device) return;
    using namespace platform;
    // Only the states that differ are changed, and those are put back after the draw.
    const uint32_t states[4][2] = {
        {RS_ALPHABLENDENABLE, 1}, {RS_SRCBLEND, BLEND_SRCALPHA}, {RS_DESTBLEND, BLEND_INVSRCALPHA}, {RS_LIGHTING, 0}};
    uint32_t saved[4];
    for (int i = 0; i < 4; ++i) {
        device->GetRenderState(states[i][0], &saved[i]);
        if (saved[i] != states[i][1]) device->SetRenderState(states[i][0], states[i][1]);
    }
    uint32_t fvf = 0;
    device->GetFVF(&fvf);
    if (fvf != kUiVertexFormat) device->SetFVF(kUiVertexFormat);
    CGfxTexture* texture = UiImageOf(m_texture).texture;
    if (device->GetTexture(0) != texture) device->SetTexture(0, texture);
    device->DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, m_vertices, sizeof(UiVertex));
    for (int i = 3; i >= 0; --i)
        if (saved[i] != states[i][1]) device->SetRenderState(states[i][0], saved[i]);
}

UiColor ItemLevelTint(int level) {
    if (level >= 16) return {1, 1, 1, 1};
    if (level >= 13) return {1, 0, 0, 1};
    if (level >= 9) return {0, 1, 0, 1};
    if (level >= 5) return {1, 0, 0, 1};
    return {0, 0, 1, 1};
}

void DrawItemLevelFrame(int level, bool withText, uint32_t fontIndex, float x, float y, float width, float height,
                        CResource* frameTexture) {
    if (level <= 0 || !g_pUiManager) return;
    g_pUiManager->DrawQuad(PackColor(ItemLevelTint(level)), nullptr, UiImageOf(frameTexture).texture, x - 3, y - 3,
                           width + 6, height + 6);
    if (!withText) return;
    IUiFont* font = g_pUiManager->GetFont(fontIndex < g_pUiManager->FontCount() ? fontIndex : 0);
    if (!font) return;
    std::string text = FormatText("+%d", level);
    int32_t w = 0, h = 0;
    font->Measure(text, &w, &h);
    font->Draw(static_cast<int32_t>(x + width - static_cast<float>(w) - 3), static_cast<int32_t>(y), text, 0xFFFFFFFFu);
}
