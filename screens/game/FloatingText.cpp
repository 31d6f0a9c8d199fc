// The four kinds of floating overlay: how each ages and draws.
#include "screens/game/FloatingText.h"

#include "engine/render/DayNightAmbient.h"
#include "engine/render/Draw2D.h"
#include "platform/GfxTexture.h"

uint32_t CFloatingText::ChannelByte(float value) { return CDayNightAmbient::ChannelByte(value); }

uint32_t CFloatingText::ToArgb(const platform::ColorValue& c) {
    return ChannelByte(c.a) << 24 | ChannelByte(c.r) << 16 | ChannelByte(c.g) << 8 | ChannelByte(c.b);
}

void CFloatingText::SetColor(uint32_t argb) { colour = ArgbToColorValue(argb); }

namespace {
// A projected point outside the depth range lies behind the camera or past
// its far plane, where its screen position means nothing.
bool OnScreen(const platform::Vec3& s) { return s.z >= 0.0f && s.z <= 1.0f; }
}  // namespace

int CWorldText::Update(float dt) {
    if (colour.a <= 0.0f) return 0;
    elapsed += dt;
    offsetY -= dt * riseSpeed;
    if (elapsed > holdTime) colour.a -= dt * fadeRate;
    return 1;
}

void CWorldText::Draw(IFloatingTextCanvas& canvas) {
    if (fogCheck && canvas.FogHidden(position)) return;
    const platform::Vec3 s = canvas.Project(camera, position);
    if (!OnScreen(s)) return;
    canvas.DrawText(font, static_cast<int32_t>(s.x + offsetX), static_cast<int32_t>(s.y + offsetY), text, Argb());
}

void CNoticeText::Shift() {
    if (!pushed) {
        colour.a -= kPushFade;
        pushed = 1;
    }
    y += step;
    elapsed = 0;
    --shiftsLeft;
}

int CNoticeText::Update(float dt) {
    if (colour.a <= 0.0f) return 0;
    // A line with no life stands until something pushes it.
    if (life == 0.0f) return 1;
    elapsed += dt;
    if (elapsed >= life) Shift();
    if (shiftsLeft <= 0) colour.a -= dt * fadeRate;
    return 1;
}

void CNoticeText::Draw(IFloatingTextCanvas& canvas) { canvas.DrawText(font, x, y, text, Argb()); }

void CMapAlertMarker::Setup(platform::CGfxTexture* textureA, platform::CGfxTexture* textureB, uint32_t argb,
                            float width, float height, float atX, float atY, int32_t extra) {
    textures[0] = textureA;
    textures[1] = textureB;
    SetColor(argb);
    colours[0] = colours[1] = colour;
    for (auto& size : sizes) {
        size[0] = width;
        size[1] = height;
    }
    x = atX;
    y = atY;
    value = extra;
}

int CMapAlertMarker::Update(float dt) {
    if (colours[0].a <= 0.0f && colours[1].a <= 0.0f) return 0;
    const float growth[2] = {kGrowthA, kGrowthB};
    for (int i = 0; i < 2; ++i) {
        if (colours[i].a <= 0.0f) continue;
        colours[i].a -= kFadeRate * dt;
        sizes[i][0] += growth[i] * dt;
        sizes[i][1] += growth[i] * dt;
    }
    return 1;
}

void CMapAlertMarker::Draw(IFloatingTextCanvas& canvas) {
    for (int i = 0; i < 2; ++i)
        if (colours[i].a > 0.0f) canvas.DrawSprite(textures[i], nullptr, x, y, sizes[i][0], sizes[i][1], ToArgb(colours[i]));
}

void CDamageText::Setup(const platform::Vec3& at, std::string_view text, uint32_t argb, float hold, float rise,
                        float fade, uint32_t bounces, const CCamera* view, uint32_t prefixFlag,
                        platform::CGfxTexture* picture, uint32_t fog) {
    position = at;
    SetColor(argb);
    holdTime = hold;
    riseSpeed = rise;
    fadeRate = fade;
    bounce = bounces;
    camera = view;
    prefix = prefixFlag;
    texture = picture;
    fogCheck = fog;
    elapsed = 0;
    glyphWidth = glyphHeight = kGlyphSize;
    digitCount = 0;
    if (text == "miss") {
        digitMode = 0;
        halfWidth = texture ? static_cast<float>(texture->GetWidth()) * 0.5f : 0.0f;
        offsetY = texture ? static_cast<float>(texture->GetHeight()) * 0.5f : 0.0f;
        return;
    }
    digitMode = 1;
    // Only digits have cells in the strip: a sign or any other character is left out.
    for (char c : text)
        if (c >= '0' && c <= '9' && static_cast<size_t>(digitCount) < kMaxDigits)
            digits[static_cast<size_t>(digitCount++)] = static_cast<uint32_t>(c - '0');
    UpdateExtents();
}

void CDamageText::UpdateExtents() {
    if (!digitMode) return;
    halfWidth = static_cast<float>(digitCount) * glyphWidth * 0.5f;
    offsetY = glyphHeight * 0.5f;
}

int CDamageText::Update(float dt) {
    if (colour.a <= 0.0f) return 0;
    elapsed += dt;
    if (elapsed > holdTime) colour.a -= dt * fadeRate;
    if (!bounce) {
        if (elapsed > 0.4f) offsetY -= dt * riseSpeed;
        return 1;
    }
    if (elapsed < 0.2f) {
        glyphWidth *= 1.0f + 5.5f * dt;
        glyphHeight *= 1.0f + 5.5f * dt;
        UpdateExtents();
    } else if (elapsed < 0.5f) {
        glyphWidth *= 1.0f - 4.5f * dt;
        glyphHeight *= 1.0f - 4.5f * dt;
        UpdateExtents();
    } else {
        offsetY -= dt * riseSpeed;
    }
    if (glyphWidth < kGlyphSize) {
        glyphWidth = glyphHeight = kGlyphSize;
        UpdateExtents();
    }
    return 1;
}

void CDamageText::Draw(IFloatingTextCanvas& canvas) {
    if (fogCheck && canvas.FogHidden(position)) return;
    const platform::Vec3 s = canvas.Project(camera, position);
    if (!OnScreen(s)) return;
    const float left = s.x - halfWidth;
    const float top = s.y + offsetY - kLift;
    const uint32_t argb = Argb();
    if (!digitMode) {
        if (texture)
            canvas.DrawSprite(texture, nullptr, left, top, static_cast<float>(texture->GetWidth()),
                              static_cast<float>(texture->GetHeight()), argb);
        return;
    }
    int32_t slot = 0;
    if (prefix) {
        canvas.DrawSprite(prefixTexture, nullptr, left, top, glyphWidth, glyphHeight, argb);
        slot = 1;
    }
    for (int32_t i = 0; i < digitCount; ++i, ++slot) {
        const float u = static_cast<float>(digits[static_cast<size_t>(i)]) * 0.1f;
        const float uv[4] = {u, 0.0f, u + 0.1f, 1.0f};
        canvas.DrawSprite(texture, uv, left + static_cast<float>(slot) * glyphWidth, top, glyphWidth, glyphHeight,
                          argb);
    }
}
