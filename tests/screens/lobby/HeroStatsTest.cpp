// The level-20 stat rules, the page count, hero ownership and the preview
// camera's glide.
#include <gtest/gtest.h>

#include <cmath>

#include "screens/lobby/HeroPreviewGlide.h"
#include "screens/lobby/HeroStats.h"

using namespace hero_stats;
using platform::Vec3;

namespace {

TEST(HeroStatsTest, Level20StatsByClass) {
    std::array<float, kBaseStats> base{};
    for (int k = 0; k < kBaseStats; ++k) base[static_cast<size_t>(k)] = static_cast<float>(k);
    // A, B, C: base 0, 1, 2 plus 1 + 19 x 0.1 (B of class 3 grows by 1 only).
    const float a = 0 + 2.9f, b = 1 + 2.9f, c = 2 + 2.9f, b3 = 1 + 1.0f;
    struct Case {
        int cls;
        float expected[13];
    } cases[] = {
        {0,
         {a, b, c, 3 + 1.5f * a, 4 + 0.5f * a, 5 + 20 * a, 6 + 10 * c, 7 + a / 20, 8 + c / 20, 9, 10 + 0.3f * 19,
          11 + 0.1f * c, 12 + 0.1f * b}},
        {1,
         {a, b, c, 3 + 1.5f * b, 4 + 0.5f * a, 5 + 20 * a, 6 + 10 * c, 7 + a / 20, 8 + c / 20, 9, 10 + 0.36f * 19,
          11 + 0.1f * c, 12 + 0.1f * b}},
        {2,
         {a, b, c, 3 + 2.0f * c, 4 + 0.5f * a, 5 + 20 * a, 6 + 10 * c, 7 + a / 20, 8 + c / 20, 9, 10 + 0.28f * 19,
          11 + 0.1f * c, 12 + 0.1f * b}},
        {3,
         {a, b3, c, 3 + 5.0f * a, 4 + 1.0f * a, 5 + 150 * a, 6 + 10 * c, 7 + a / 3, 8 + c / 3, 9 + 2.5f, 10 + 0.3f,
          11 + 0.1f * c, 12 + 0.1f * b3}},
        {4,
         {a, b, c, 3 + 2.0f * a, 4 + 0.4f * a, 5 + 25 * a, 6 + 10 * c, 7 + a / 10, 8 + c / 10, 9, 10, 11 + 0.1f * c,
          12 + 0.1f * b}},
        // An unknown class: the first three grow, nothing else does.
        {7, {a, b, c, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
    };
    for (const Case& c0 : cases) {
        const std::array<float, kStats> stats = Level20Stats(base, c0.cls);
        for (int k = 0; k < kBaseStats; ++k) {
            EXPECT_NEAR(stats[static_cast<size_t>(k)], c0.expected[k], 1e-3f) << "class " << c0.cls << " stat " << k;
            EXPECT_TRUE(std::isfinite(stats[static_cast<size_t>(k)]));
        }
        for (int k = kBaseStats; k < kStats; ++k) EXPECT_EQ(stats[static_cast<size_t>(k)], 0.0f);
    }
}

TEST(HeroStatsTest, PageCountHasNoEmptyLastPage) {
    const int counts[][2] = {{0, 1}, {1, 1}, {12, 1}, {13, 2}, {24, 2}, {25, 3}};
    for (const auto& c : counts) EXPECT_EQ(PageCount(c[0]), c[1]) << c[0];
}

TEST(HeroStatsTest, OwnershipByFreeBitOrUsableCard) {
    InventoryTable inventory{};
    auto& row = inventory[1];
    row[0] = {1205, 1, 1, 5};    // item 12, level 5, in use, count 5
    row[1] = {1307, 0, 1, 5};    // item 13, not in use
    row[2] = {1401, 1, 1, 0};    // item 14, used up
    row[3] = {1509, 1, 0, 150};  // item 15, a count of 150 of a timed card
    row[4] = {1603, 1, 3, 150};  // item 16, use type 3 whatever the count
    row[5] = {4, 1, 0, 200};     // item 0
    EXPECT_EQ(FindHeroCard(inventory, 12), 5);
    EXPECT_EQ(FindHeroCard(inventory, 13), -1);
    EXPECT_EQ(FindHeroCard(inventory, 14), -1);
    EXPECT_EQ(FindHeroCard(inventory, 15), -1);
    EXPECT_EQ(FindHeroCard(inventory, 16), 3);
    EXPECT_EQ(FindHeroCard(inventory, 0), 4);
    EXPECT_EQ(FindHeroCard(inventory, 99), -1);
    EXPECT_TRUE(IsHeroOwned(kFreeHeroBit | 0x10, -1));
    EXPECT_TRUE(IsHeroOwned(0x10, 0));
    EXPECT_FALSE(IsHeroOwned(0x10, -1));
}

TEST(HeroPreviewGlideTest, StartBacksOffAlongTheWayAndNeverBelowGround) {
    CHeroPreviewGlide glide;
    glide.Place(Vec3{0, 50.0f, 0}, Vec3{0, 0, 0});
    // Flying down onto a goal below the back-off distance would put the eye under the ground.
    glide.Start(Vec3{0, 2.0f, 0}, Vec3{0, 1.0f, 0});
    EXPECT_GE(glide.Eye().y, 0.0f);
    EXPECT_FLOAT_EQ(glide.Eye().y, 3.0f * std::fabs(2.0f - 10.0f * -1.0f));
    EXPECT_FLOAT_EQ(glide.Target().y, glide.Eye().y + 10.0f);
    EXPECT_FALSE(glide.Settled());
}

TEST(HeroPreviewGlideTest, EyeAtItsGoalGivesNoNan) {
    CHeroPreviewGlide glide;
    glide.Place(Vec3{0, 5.0f, 20.0f}, Vec3{-0.4f, 1.0f, 0});
    glide.Start(Vec3{0, 5.0f, 20.0f}, Vec3{-0.4f, 1.0f, 0});
    for (float v : {glide.Eye().x, glide.Eye().y, glide.Eye().z, glide.Target().x, glide.Target().y, glide.Target().z})
        EXPECT_TRUE(std::isfinite(v));
    EXPECT_FLOAT_EQ(glide.Eye().z, 20.0f - 10.0f);  // backed off along (0, 0, 1)
}

TEST(HeroPreviewGlideTest, GlideSettlesWithoutOvershoot) {
    CHeroPreviewGlide glide;
    glide.Place(Vec3{0, 0, 30.0f}, Vec3{0, 5.0f, 0});
    const Vec3 goal{3.0f, 4.0f, 25.0f};
    glide.Start(goal, Vec3{0, 1.0f, 0});
    glide.Step(5.0f);  // a long frame lands on the goal, not past it
    EXPECT_FLOAT_EQ(glide.Eye().x, goal.x);
    EXPECT_FLOAT_EQ(glide.Eye().z, goal.z);
    int frames = 0;
    while (!glide.Settled() && frames < 10000) {
        glide.Step(0.05f);
        ++frames;
    }
    EXPECT_TRUE(glide.Settled());
    EXPECT_FLOAT_EQ(glide.Eye().y, goal.y);
}

}  // namespace
