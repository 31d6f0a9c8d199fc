#include "tools/SampleWeather.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/OggWriter.h"
#include "tools/PackageWriter.h"

using platform::Vec3;
using platform::Vec4;

namespace {

EffectFileLayer FallingLayer(const std::string& texture, float speed, float life, float size, float alpha) {
    EffectFileLayer layer = BillboardLayer(texture);
    EffectLayer& l = layer.values;
    l.spawnMin = Vec3(-20, 12, -20);
    l.spawnMax = Vec3(20, 18, 20);
    l.directionMin = l.directionMax = Vec3(0, -1, 0);
    l.gravity = Vec3();
    l.speedMin = speed;
    l.speedMax = speed * 1.25f;
    l.emissionDuration = 0;  // for as long as the weather lasts
    l.emissionInterval = 0.01f;
    l.particleLife = life;
    l.sizeMin = l.sizeMax = size;
    l.colours = {Vec4(1, 1, 1, alpha), Vec4(1, 1, 1, alpha), Vec4(1, 1, 1, alpha), Vec4(1, 1, 1, alpha)};
    l.peakAlpha = alpha;
    l.fadeInEnd = 0;
    l.fadeOutStart = life;
    l.destBlend = 6;  // inverse source alpha
    l.twoSided = 1;
    return layer;
}

std::vector<uint8_t> RainLoop() {
    constexpr uint32_t kRate = 22050;
    std::vector<uint8_t> pcm(kRate * 2);
    uint32_t noise = 12345;
    for (size_t i = 0; i < pcm.size() / 2; ++i) {
        noise = noise * 1103515245u + 12345u;
        const auto v = static_cast<int16_t>(static_cast<int32_t>((noise >> 16) & 0x1FFF) - 0x1000);
        pcm[2 * i] = static_cast<uint8_t>(v & 0xFF);
        pcm[2 * i + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
    }
    return EncodeOgg(pcm, 1, kRate);
}

}  // namespace

EffectFileLayer RainLayer(const std::string& texture) { return FallingLayer(texture, 20.0f, 0.8f, 0.4f, 0.8f); }

EffectFileLayer SnowLayer(const std::string& texture) { return FallingLayer(texture, 2.0f, 7.0f, 0.5f, 1.0f); }

int AddSampleWeather(CPackageWriter& package) {
    bool ok = package.Add("RAIN.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 8, 8, 0xFF80A0FFu)) != 0;
    ok = ok && package.Add("SNOW.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 8, 8, 0xFFFFFFFFu));
    ok = ok && package.Add(kSampleRainEffect, WriteEffectFile(MakeEffectFile({RainLayer("RAIN.DDS")})));
    ok = ok && package.Add(kSampleSnowEffect, WriteEffectFile(MakeEffectFile({SnowLayer("SNOW.DDS")})));
    ok = ok && package.Add(kSampleRainSound, RainLoop());
    return ok ? 1 : 0;
}
