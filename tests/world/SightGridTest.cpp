#include "world/SightGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "platform/GfxRecordingDevice.h"

using platform::Vec3;

namespace {

// Centre of a cell of 10 world units at ground height y.
Vec3 At(int32_t z, int32_t x, float y = 0) {
    return Vec3(static_cast<float>(x) * 10 + 5, y, static_cast<float>(z) * 10 + 5);
}

int32_t Value(const CSightGrid& grid, int32_t z, int32_t x, int32_t layer = -1) {
    return grid.GetCell(At(z, x), layer);
}

bool InDisc(int32_t dz, int32_t dx, int32_t r) {
    return static_cast<int32_t>(std::sqrt(static_cast<double>(dz * dz + dx * dx)) + 0.4) <= r;
}

// A grid of 32 x 32 cells (16 tiles of 20 units a side), local side 2.
struct SightFixture : ::testing::Test {
    void SetUp() override { ASSERT_EQ(grid.Setup(16, 16, 20.0f, 8, 0, 2), 1); }
    CSightGrid grid;
};

TEST_F(SightFixture, LayersStartUnseenAndCountTheirSources) {
    EXPECT_EQ(grid.sizeZ(), 32);
    EXPECT_EQ(grid.sizeX(), 32);
    EXPECT_FLOAT_EQ(grid.cellSize(), 10.0f);
    EXPECT_EQ(Value(grid, 5, 5), -1);
    EXPECT_EQ(Value(grid, 5, 5, 7), -2) << "a layer never opened";
    grid.OpenLayer(7, 0);
    EXPECT_EQ(Value(grid, 5, 5, 7), -1);
    EXPECT_EQ(grid.GetCell(Vec3(5, 0, 320), -1), -2) << "outside";

    SightSource a, b;
    grid.AddSight(&a, At(10, 10), 30, 2, CSightGrid::MODE_DISC);
    grid.AddSight(&b, At(10, 12), 30, 2, CSightGrid::MODE_LINE_OF_SIGHT);
    EXPECT_EQ(Value(grid, 10, 11), 2);
    EXPECT_EQ(Value(grid, 10, 7), 1);
    EXPECT_EQ(Value(grid, 10, 6), -1);
    grid.AddSight(&a, At(0, 0), 30, -1, 0);  // layer -1 adds nothing
    grid.AddSight(&a, At(0, 0), 30, 12, 0);
    EXPECT_EQ(Value(grid, 0, 0), -1);

    grid.RemoveSight(&b, At(10, 12), 30, 2, CSightGrid::MODE_LINE_OF_SIGHT);
    EXPECT_EQ(Value(grid, 10, 11), 1) << "still seen by the other";
    EXPECT_EQ(Value(grid, 10, 15), 0) << "seen before, not now";
    grid.RemoveSight(&b, At(10, 12), 30, 2, CSightGrid::MODE_LINE_OF_SIGHT);
    EXPECT_EQ(Value(grid, 10, 11), 1) << "a second removal takes nothing";
    grid.RemoveSight(&a, At(10, 10), 30, 2, CSightGrid::MODE_DISC);
    EXPECT_EQ(Value(grid, 10, 11), 0);
    EXPECT_EQ(Value(grid, 10, 6), -1);
}

TEST_F(SightFixture, CountsNeitherWrapNorFallBelowZero) {
    std::vector<SightSource> sources(130);
    for (SightSource& s : sources) grid.AddSight(&s, At(4, 4), 0, 2, CSightGrid::MODE_DISC);
    EXPECT_EQ(Value(grid, 4, 4), 130);
    for (SightSource& s : sources) grid.RemoveSight(&s, At(4, 4), 0, 2, CSightGrid::MODE_DISC);
    EXPECT_EQ(Value(grid, 4, 4), 0);
}

TEST_F(SightFixture, RemovalTakesBackWhatTheAddGave) {
    SightSource small, wide;
    grid.AddSight(&wide, At(16, 16), 80, 2, CSightGrid::MODE_DISC);
    grid.AddSight(&small, At(16, 16), 30, 2, CSightGrid::MODE_DISC);
    // The caller passes a different range: the source's own decides.
    grid.RemoveSight(&small, At(16, 16), 80, 2, CSightGrid::MODE_DISC);
    EXPECT_EQ(Value(grid, 16, 16), 1);
    EXPECT_EQ(Value(grid, 16, 22), 1);
}

TEST_F(SightFixture, RangeZeroLightsTheCentreAndLargeRangesAreClamped) {
    for (int32_t mode : {0, 1}) {
        CSightGrid g;
        ASSERT_EQ(g.Setup(48, 48, 20, 8, 0, 0), 1);  // 96 x 96 cells
        SightSource s;
        g.AddSight(&s, At(3, 3), 0, 0, mode);
        int lit = 0;
        for (int32_t z = 0; z < 96; ++z)
            for (int32_t x = 0; x < 96; ++x) lit += Value(g, z, x) > 0;
        EXPECT_EQ(lit, 1) << mode;
        EXPECT_EQ(Value(g, 3, 3), 1) << mode;
        g.RemoveSight(&s, At(3, 3), 0, 0, mode);

        g.AddSight(&s, At(48, 48), 500, 0, mode);
        EXPECT_EQ(Value(g, 48, 88), 1) << mode;
        EXPECT_EQ(Value(g, 48, 89), -1) << "radius 40 cells at most, mode " << mode;
        EXPECT_EQ(Value(g, 8, 48), 1) << mode;
        EXPECT_EQ(Value(g, 7, 48), -1) << mode;
        g.RemoveSight(&s, At(48, 48), 500, 0, mode);
        EXPECT_EQ(Value(g, 48, 88), 0) << mode;
    }
}

TEST_F(SightFixture, OpenGroundShowsTheWholeDiscEvenWhereTheGridClipsIt) {
    // Mode 2: line of sight with a wall in a corner of the square, outside
    // the disc, so the full cast runs and must still light the whole disc.
    for (auto [cz, cx] : {std::pair{0, 0}, {1, 30}, {31, 2}, {15, 15}}) {
        for (int32_t mode : {0, 1, 2}) {
            CSightGrid g;
            ASSERT_EQ(g.Setup(16, 16, 20, 8, 0, 0), 1);
            const float wall[4] = {100, 100, 100, 100};
            if (mode == 2) {
                for (auto [wz, wx] : {std::pair{cz + 7, cx + 7}, {cz - 7, cx + 7}, {cz + 7, cx - 7}, {cz - 7, cx - 7}})
                    if (wz >= 0 && wz < 32 && wx >= 0 && wx < 32) {
                        g.SetHeights(wz, wx, 0, wall);
                        break;
                    }
            }
            SightSource s;
            g.AddSight(&s, At(cz, cx), 75, 0, mode % 2);
            for (int32_t z = 0; z < 32; ++z)
                for (int32_t x = 0; x < 32; ++x)
                    ASSERT_EQ(Value(g, z, x), InDisc(z - cz, x - cx, 7) ? 1 : -1)
                        << "centre " << cz << "," << cx << " cell " << z << "," << x << " mode " << mode;
            g.RemoveSight(&s, At(cz, cx), 75, 0, mode % 2);
            for (int32_t z = 0; z < 32; ++z)
                for (int32_t x = 0; x < 32; ++x) ASSERT_EQ(Value(g, z, x), InDisc(z - cz, x - cx, 7) ? 0 : -1);
        }
    }
}

TEST_F(SightFixture, GroundHigherThanTheEyeHidesWhatLiesBehind) {
    const float eye = 5.0f;
    for (auto [height, hides] : {std::pair{eye + 19.91f, true}, {eye + CSightGrid::kEyeClearance, false}}) {
        CSightGrid g;
        ASSERT_EQ(g.Setup(16, 16, 20, 8, 0, 0), 1);
        // A wall across the view, three cells north of the eye.
        for (int32_t x = 5; x <= 25; ++x) {
            const float raised[4] = {0, 0, height, 0};  // a quarter counts like the ground
            g.SetHeights(13, x, 0, raised);
        }
        SightSource s;
        g.AddSight(&s, At(16, 15, eye), 60, 0, CSightGrid::MODE_LINE_OF_SIGHT);
        EXPECT_EQ(Value(g, 14, 15), 1);
        EXPECT_EQ(Value(g, 13, 15), hides ? -1 : 1) << "a wall is never lit itself";
        EXPECT_EQ(Value(g, 11, 15), hides ? -1 : 1);
        EXPECT_EQ(Value(g, 11, 17), hides ? -1 : 1);
        EXPECT_EQ(Value(g, 19, 15), 1) << "the other side stays open";
        g.RemoveSight(&s, At(16, 15, eye), 60, 0, CSightGrid::MODE_LINE_OF_SIGHT);
        EXPECT_EQ(Value(g, 14, 15), 0);
        EXPECT_EQ(Value(g, 11, 15), hides ? -1 : 0);
        // The wall lowered again: nothing hides.
        const float flat[4] = {0, 0, 0, 0};
        for (int32_t x = 5; x <= 25; ++x) g.SetHeights(13, x, 0, flat);
        g.AddSight(&s, At(16, 15, eye), 60, 0, CSightGrid::MODE_LINE_OF_SIGHT);
        EXPECT_EQ(Value(g, 11, 15), 1);
        EXPECT_EQ(Value(g, 13, 15), 1);
    }
}

TEST_F(SightFixture, SourcesOnRoughGroundGiveBackExactlyWhatTheyLit) {
    std::mt19937 random(23);
    const float wall[4] = {50, 0, 0, 0};
    for (int32_t z = 0; z < 32; ++z)
        for (int32_t x = 0; x < 32; ++x)
            if (random() % 100 < 15) grid.SetHeights(z, x, 0, wall);
    std::vector<SightSource> sources(60);
    std::vector<Vec3> at;
    for (SightSource& s : sources) {
        at.push_back(Vec3(static_cast<float>(random() % 330) - 5, 0, static_cast<float>(random() % 330) - 5));
        grid.AddSight(&s, at.back(), static_cast<float>(random() % 500), 2, CSightGrid::MODE_LINE_OF_SIGHT);
    }
    int lit = 0;
    for (int32_t z = 0; z < 32; ++z)
        for (int32_t x = 0; x < 32; ++x) lit += Value(grid, z, x) > 0;
    EXPECT_GT(lit, 300);
    for (size_t i = 0; i < sources.size(); i += 2) grid.RemoveSight(&sources[i], at[i], 0, 2, 0);
    // What is left equals a grid that only ever had the odd sources.
    CSightGrid odd;
    ASSERT_EQ(odd.Setup(16, 16, 20.0f, 8, 0, 2), 1);
    std::mt19937 again(23);
    for (int32_t z = 0; z < 32; ++z)
        for (int32_t x = 0; x < 32; ++x)
            if (again() % 100 < 15) odd.SetHeights(z, x, 0, wall);
    std::vector<SightSource> oddSources(sources.size());
    for (size_t i = 1; i < sources.size(); i += 2) odd.AddSight(&oddSources[i], at[i], sources[i].range, 2, 0);
    for (int32_t z = 0; z < 32; ++z)
        for (int32_t x = 0; x < 32; ++x) ASSERT_EQ(std::max(Value(grid, z, x), 0), std::max(Value(odd, z, x), 0));
    for (size_t i = 1; i < sources.size(); i += 2) grid.RemoveSight(&sources[i], at[i], 0, 2, 0);
    for (int32_t z = 0; z < 32; ++z)
        for (int32_t x = 0; x < 32; ++x) ASSERT_LE(Value(grid, z, x), 0) << z << "," << x;
}

TEST_F(SightFixture, AnySeenLooksAtOneLayerOrEverySharedOne) {
    grid.OpenLayer(3, 1);
    grid.OpenLayer(4, 0);
    SightSource s;
    EXPECT_EQ(grid.AnySeen(-1, At(10, 10), 20, 0), -1);
    grid.AddSight(&s, At(10, 13), 0, 4, CSightGrid::MODE_DISC);
    EXPECT_EQ(grid.AnySeen(4, At(10, 10), 30, 0), 1);
    EXPECT_EQ(grid.AnySeen(4, At(10, 10), 20, 0), -1) << "half-side 2 cells misses it";
    EXPECT_EQ(grid.AnySeen(-1, At(10, 10), 30, 1), -1) << "layer 4 is not shared";
    grid.RemoveSight(&s, At(10, 13), 0, 4, CSightGrid::MODE_DISC);
    EXPECT_EQ(grid.AnySeen(4, At(10, 10), 30, 0), 0) << "the highest value met";
    grid.AddSight(&s, At(10, 13), 0, 3, CSightGrid::MODE_DISC);
    EXPECT_EQ(grid.AnySeen(-1, At(10, 10), 30, 1), 1) << "layer 3 is shared";
    EXPECT_EQ(grid.AnySeen(-1, Vec3(-500, 0, -500), 30, 1), -2) << "outside";
}

TEST_F(SightFixture, FogFadesByTheFrameTime) {
    SightSource s;
    grid.AddSight(&s, At(4, 4), 0, 2, CSightGrid::MODE_DISC);
    grid.UpdateFog(0.1f);
    EXPECT_EQ(grid.FogAlpha(4, 4), 0);
    EXPECT_EQ(grid.FogAlpha(4, 5), 255);
    grid.RemoveSight(&s, At(4, 4), 0, 2, CSightGrid::MODE_DISC);
    grid.UpdateFog(0.1f);
    EXPECT_EQ(grid.FogAlpha(4, 4), 180) << "explored";

    grid.AddSight(&s, At(4, 4), 0, 2, CSightGrid::MODE_DISC);
    grid.UpdateFog(0);
    grid.SetSmoothFade(1);  // turning it on starts from the target
    EXPECT_EQ(grid.FogAlpha(4, 4), 0);
    grid.RemoveSight(&s, At(4, 4), 0, 2, CSightGrid::MODE_DISC);
    // 0.1 s is 36 steps; a tiny frame still moves by 1.
    const uint8_t expected[] = {36, 72, 108, 144, 180, 180};
    for (uint8_t alpha : expected) {
        grid.UpdateFog(0.1f);
        EXPECT_EQ(grid.FogAlpha(4, 4), alpha);
    }
    grid.UpdateFog(0.0001f);
    EXPECT_EQ(grid.FogAlpha(4, 4), 180);
    grid.AddSight(&s, At(4, 4), 0, 2, CSightGrid::MODE_DISC);
    grid.UpdateFog(0.0001f);
    EXPECT_EQ(grid.FogAlpha(4, 4), 179);
    grid.UpdateFog(1.0f);
    EXPECT_EQ(grid.FogAlpha(4, 4), 0);
    EXPECT_EQ(grid.FogAlpha(4, 5), 255) << "unexplored stays";

    grid.SetAllLayers(1);  // straight from the layers
    grid.RemoveSight(&s, At(4, 4), 0, 2, CSightGrid::MODE_DISC);
    EXPECT_EQ(grid.FogAlpha(4, 4), 180);
}

std::vector<uint32_t> Texels(platform::CGfxTexture* texture) {
    const uint8_t* data = texture->LevelData(0);
    std::vector<uint32_t> texels(texture->GetWidth() * texture->GetHeight());
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<uint32_t>(data[i * 4]) | (static_cast<uint32_t>(data[i * 4 + 1]) << 8) |
                    (static_cast<uint32_t>(data[i * 4 + 2]) << 16) | (static_cast<uint32_t>(data[i * 4 + 3]) << 24);
    return texels;
}

TEST(SightTexture, WritesBothTexturesRowsFromCellZZero) {
    platform::CGfxRecordingDevice device;
    CSightGrid grid;
    ASSERT_EQ(grid.Setup(8, 16, 20, 8, 0, 0), 1);  // 16 cells deep, 32 across
    ASSERT_EQ(grid.CreateTexture(&device, 16, 8), 1);
    platform::CGfxTexture* sight = grid.texture();
    ASSERT_NE(sight, nullptr);
    EXPECT_EQ(sight->GetWidth(), 16u);
    EXPECT_EQ(sight->GetHeight(), 16u);
    EXPECT_EQ(sight->GetFormat(), static_cast<uint32_t>(platform::FMT_A8R8G8B8));

    SightSource seen, explored;
    grid.AddSight(&seen, At(2, 5), 0, 0, CSightGrid::MODE_DISC);
    grid.AddSight(&explored, At(15, 31), 0, 0, CSightGrid::MODE_DISC);
    grid.RemoveSight(&explored, At(15, 31), 0, 0, CSightGrid::MODE_DISC);
    ASSERT_EQ(grid.UpdateTexture(0.1f), 1);
    std::vector<uint32_t> texels = Texels(sight);
    // 8 texel rows of the grid, centred: 4 rows of margin above and below.
    for (uint32_t row = 0; row < 16; ++row) {
        for (uint32_t col = 0; col < 16; ++col) {
            uint32_t want = 0xFF000000;
            if (row == 4 + 1 && col == 2) want = 0x00000000;  // cells (2..3, 4..5) hold the lit (2, 5)
            if (row == 4 + 7 && col == 15) want = 0xB4000000;
            EXPECT_EQ(texels[row * 16 + col], want) << row << "," << col;
        }
    }

    platform::CGfxTexture* view = nullptr;
    ASSERT_FALSE(platform::GfxFailed(
        device.CreateTexture(128, 128, 1, 0, platform::FMT_A8R8G8B8, platform::POOL_MANAGED, &view)));
    ASSERT_EQ(grid.WriteRegion(view, 1, 3), 1);
    texels = Texels(view);
    EXPECT_EQ(texels[1 * 128 + 2], 0x00000000u) << "cell (2, 5) one row down, two across";
    EXPECT_EQ(texels[14 * 128 + 28], 0xB4000000u) << "cell (15, 31)";
    EXPECT_EQ(texels[0], 0xFF000000u);
    EXPECT_EQ(texels[14 * 128 + 29], 0xFF000000u) << "past the grid's edge";
    EXPECT_EQ(texels[127 * 128 + 127], 0xFF000000u);
    platform::GfxRelease(view);
}

}  // namespace
