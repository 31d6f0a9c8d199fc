// The selection set on units of the sample map.
#include "screens/game/SelectionSet.h"

#include <gtest/gtest.h>

#include "net/PlayerSlot.h"
#include "tools/WorldHarness.h"
#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {

class SelectionSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.ok()) << harness.Error();
        for (int i = 0; i < 14; ++i) own.push_back(harness.SpawnUnit("Creep", {40.0f + 8 * i, 0, 80}, 0, 0));
        enemy = harness.SpawnUnit("Creep", {200, 0, 80}, 1, 1);
        // The first own unit is a hero: it leads a mixed pick.
        harness.Object(0, own[1])->unitFlags |= 0x10;
        harness.MakeCurrent(0);
    }
    CWorldHarness harness;
    std::vector<int32_t> own;
    int32_t enemy = -1;
    CSelectionSet set;
};

TEST_F(SelectionSetTest, CommitFollowsThePickRules) {
    struct Case {
        const char* what;
        std::vector<int32_t> before;
        std::vector<int32_t> candidates;
        bool additive;
        int32_t gameMode;
        std::vector<int32_t> selected;
        int32_t focus;
    };
    const std::vector<int32_t> twelve(own.begin(), own.begin() + 12);
    const Case cases[] = {
        {"a click on an enemy empties the selection", {own[0]}, {enemy}, false, 1, {}, enemy},
        {"two own units: both, the hero leads", {}, {own[0], own[1]}, false, 1, {own[1], own[0]}, own[1]},
        {"a thirteenth unit is not added", twelve, {own[13]}, true, 1, twelve, -1},
        {"a replay drag selects the lead only", {}, {own[0], own[1], own[2]}, false, 3, {own[1]}, own[1]},
        {"an additive click on a selected unit keeps it", {own[0], own[2]}, {own[2]}, true, 1, {own[0], own[2]}, -1},
    };
    for (const Case& c : cases) {
        harness.machine(0).map->objects.gameMode = c.gameMode;
        set.selected = c.before;
        set.candidates = c.candidates;
        set.focus = -1;
        EXPECT_EQ(set.Commit(c.additive, c.gameMode), 1) << c.what;
        EXPECT_EQ(set.selected, c.selected) << c.what;
        EXPECT_EQ(set.focus, c.focus) << c.what;
        EXPECT_TRUE(set.candidates.empty()) << c.what;
    }
    EXPECT_EQ(set.Commit(false, 1), 0) << "no candidates";
}

TEST_F(SelectionSetTest, RemovedObjectsLeaveBothListsAndGoldNeverGoesNegative) {
    set.selected = {own[0], own[1]};
    set.candidates = {own[1]};
    set.focus = own[1];
    set.RemoveObject(own[1]);
    EXPECT_EQ(set.selected, std::vector<int32_t>{own[0]});
    EXPECT_TRUE(set.candidates.empty());
    EXPECT_EQ(set.focus, -1);

    CPlayerSlot slot;
    slot.gold = 100;
    SpendGold(slot, 150);
    EXPECT_EQ(slot.gold, 0);
}

}  // namespace
