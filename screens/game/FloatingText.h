// The short-lived overlays of a match: damage numbers and "miss" over units,
// centred notice lines that stack and fade, texts anchored to world points
// and the expanding rings of a map alert. Each item ages in Update, which
// answers 0 once it is finished (its alpha gone), and draws itself through a
// canvas, so the same items draw on the play screen and in tests.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Math.h"

namespace platform {
class CGfxTexture;
}
class CCamera;

// What an item draws with: screen sprites, texts of the UI fonts, the
// projection of world points and the fog of war.
class IFloatingTextCanvas {
public:
    virtual ~IFloatingTextCanvas() = default;
    // uv: u0, v0, u1, v1 of the texture (null: the whole texture).
    virtual void DrawSprite(platform::CGfxTexture* texture, const float* uv, float x, float y, float width,
                            float height, uint32_t argb) = 0;
    virtual void DrawText(uint32_t font, int32_t x, int32_t y, std::string_view text, uint32_t argb) = 0;
    // The screen point (x, y, depth) of a world point seen by the camera (null: the play camera).
    virtual platform::Vec3 Project(const CCamera* camera, const platform::Vec3& point) = 0;
    // True while the sight-grid cell under the point is dark for the local team.
    virtual bool FogHidden(const platform::Vec3& point) = 0;
};

enum FloatingTextType : uint32_t {
    FT_WORLD_TEXT = 0,
    FT_NOTICE = 1,
    FT_MAP_ALERT = 2,
    FT_DAMAGE = 3,
    FT_TYPE_COUNT = 4,
};

class CFloatingText {
public:
    explicit CFloatingText(uint32_t type) : type(type) {}
    virtual ~CFloatingText() = default;
    CFloatingText(const CFloatingText&) = delete;
    CFloatingText& operator=(const CFloatingText&) = delete;

    // 0 once the item is finished.
    virtual int Update(float dt) = 0;
    virtual void Draw(IFloatingTextCanvas& canvas) = 0;
    // 1 for items drawn before the HUD windows, 0 for those drawn over them.
    virtual int IsUnderWindows() const { return 1; }

    // One channel as a colour byte: 255 from 1.0 up, 0 at 0 and below, else rounded.
    static uint32_t ChannelByte(float value);
    static uint32_t ToArgb(const platform::ColorValue& colour);
    uint32_t Argb() const { return ToArgb(colour); }
    void SetColor(uint32_t argb);

    const uint32_t type;
    platform::ColorValue colour{1, 1, 1, 1};
};

// A text that hangs at a world point, rises and fades.
class CWorldText : public CFloatingText {
public:
    CWorldText() : CFloatingText(FT_WORLD_TEXT) {}
    int Update(float dt) override;
    void Draw(IFloatingTextCanvas& canvas) override;

    platform::Vec3 position;
    std::string text;
    float holdTime = 0;
    float riseSpeed = 0;
    float fadeRate = 0;
    float elapsed = 0;
    float offsetX = 0, offsetY = 0;
    uint32_t font = 0;
    const CCamera* camera = nullptr;
    uint32_t fogCheck = 0;
};

// A centred line of the notice stack.
class CNoticeText : public CFloatingText {
public:
    static constexpr int32_t kTop = 160;
    static constexpr int32_t kStep = -20;
    static constexpr float kLife = 5.0f;
    static constexpr int32_t kShifts = 3;
    static constexpr float kFadeRate = 0.2f;
    // The alpha a line loses when it is first pushed up.
    static constexpr float kPushFade = 0.2f;

    CNoticeText() : CFloatingText(FT_NOTICE) {}
    int Update(float dt) override;
    void Draw(IFloatingTextCanvas& canvas) override;
    // One step up the stack.
    void Shift();

    std::string text;
    int32_t x = 0, y = kTop;
    int32_t step = kStep;
    float life = kLife;
    int32_t shiftsLeft = kShifts;
    float fadeRate = kFadeRate;
    float elapsed = 0;
    uint32_t pushed = 0;
    uint32_t font = 0;
};

// Two rings that grow and fade where a map alert points (over the minimap).
class CMapAlertMarker : public CFloatingText {
public:
    static constexpr float kFadeRate = 0.5f;
    static constexpr float kGrowthA = 50.0f;
    static constexpr float kGrowthB = 60.0f;

    CMapAlertMarker() : CFloatingText(FT_MAP_ALERT) {}
    void Setup(platform::CGfxTexture* textureA, platform::CGfxTexture* textureB, uint32_t argb, float width,
               float height, float x, float y, int32_t value);
    int Update(float dt) override;
    void Draw(IFloatingTextCanvas& canvas) override;
    int IsUnderWindows() const override { return 0; }

    platform::CGfxTexture* textures[2] = {nullptr, nullptr};
    platform::ColorValue colours[2];
    float sizes[2][2] = {{0, 0}, {0, 0}};
    float x = 0, y = 0;
    int32_t value = 0;
};

// A damage number (digits of a ten-cell strip) or the "miss" picture over a unit.
class CDamageText : public CFloatingText {
public:
    static constexpr float kGlyphSize = 15.0f;
    static constexpr size_t kMaxDigits = 10;
    // The text stands this far above its projected point.
    static constexpr float kLift = 60.0f;

    CDamageText() : CFloatingText(FT_DAMAGE) {}
    // texture: the "miss" picture for the text "miss", else the digit strip.
    void Setup(const platform::Vec3& position, std::string_view text, uint32_t argb, float holdTime, float riseSpeed,
               float fadeRate, uint32_t bounce, const CCamera* camera, uint32_t prefix,
               platform::CGfxTexture* texture, uint32_t fogCheck);
    int Update(float dt) override;
    void Draw(IFloatingTextCanvas& canvas) override;

    platform::Vec3 position;
    float holdTime = 0;
    float riseSpeed = 0;
    float fadeRate = 0;
    float elapsed = 0;
    float halfWidth = 0;
    float offsetY = 0;
    float glyphWidth = kGlyphSize, glyphHeight = kGlyphSize;
    const CCamera* camera = nullptr;
    uint32_t fogCheck = 0;
    uint32_t digitMode = 0;
    uint32_t bounce = 0;
    int32_t digitCount = 0;
    platform::CGfxTexture* texture = nullptr;
    // The glyph drawn before the digits when the prefix flag is set.
    platform::CGfxTexture* prefixTexture = nullptr;
    uint32_t prefix = 0;
    std::array<uint32_t, kMaxDigits> digits{};

private:
    void UpdateExtents();
};
