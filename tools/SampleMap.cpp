#include "tools/SampleMap.h"

#include <cmath>
#include <cstdio>

#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/PackageWriter.h"
#include "tools/SampleGameData.h"

using platform::Vec3;

namespace {
constexpr const char* kGround = "VALLEY_GROUND.DDS";

float Hills(float x, float z) {
    // Two hills in the corners of the Light and the Darkness, a valley between.
    auto hill = [](float x, float z, float cx, float cz) {
        const float d2 = ((x - cx) * (x - cx) + (z - cz) * (z - cz)) / (90.0f * 90.0f);
        return 40.0f * std::exp(-d2);
    };
    return hill(x, z, 40, 280) + hill(x, z, 280, 40);
}
}  // namespace

MapDescription SampleMapDescription() {
    MapDescription d;
    d.names[0] = "Valley";
    d.names[1] = "A small valley with a ridge and a pond";
    d.names[2] = "2 x 2";
    d.dataStamp = 1;  // the sample data block's stamp
    d.dataFileName = kSampleDataBlock;
    d.across = d.deep = 2;
    d.patchTextures.assign(4, kGround);
    d.height = Hills;
    // A ridge across the middle, with a gap to walk through.
    for (int32_t x = 8; x < 56; ++x)
        if (x < 28 || x > 34) d.blockedCells.emplace_back(x, 32);
    d.areas = {{"Team1", Vec3(48, 0, 48), 64, 64}, {"Team2", Vec3(272, 0, 272), 64, 64}};
    for (int32_t x = 2; x < 6; ++x)
        for (int32_t z = 1; z < 4; ++z) d.water.push_back({1, x, z, 8.0f, 0x804080C0u});
    d.blendLayers = 1;
    d.blendAlpha = [](int32_t patch, uint32_t, int32_t x, int32_t y) {
        return static_cast<uint8_t>(patch % 2 ? x * 4 : y * 4);
    };
    return d;
}

bool AddSampleMap(CPackageWriter& package) {
    const MapDescription d = SampleMapDescription();
    const std::vector<uint8_t> map = WriteMapFile(d), side = WriteMapSideFile(d);
    if (map.empty() || side.empty()) return false;
    // The map carries its own digest; the list's check reads it.
    bool ok = package.Add(kSampleMap, map, false) != 0 && package.Add(kSampleMapSide, side) != 0;
    ok = ok && package.Add(kGround, CDdsWriter::Solid(platform::FMT_A8R8G8B8, 8, 8, 0xFF4A7A3Au)) != 0;
    char name[32];
    for (int i = 0; i < kSampleWaterFrames && ok; ++i) {
        std::snprintf(name, sizeof(name), "WATER%02d.DDS", i);
        const uint32_t blue = 0x90u + static_cast<uint32_t>(i) * 2u;
        ok = package.Add(name, CDdsWriter::Solid(platform::FMT_A8R8G8B8, 4, 4, 0xA0204000u | blue)) != 0;
    }
    return ok && package.Add(kSampleMinimapIcon, CDdsWriter::Solid(platform::FMT_A8R8G8B8, 8, 8, 0xFFFFFFFFu)) != 0;
}
