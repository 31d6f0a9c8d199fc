// A player slot's stash fills to twelve and is released through the world
// object manager; a reset keeps who plays and clears what the match added.
#include <gtest/gtest.h>

#include "net/PlayerSlot.h"
#include "world/WorldObjectManager.h"

namespace {

TEST(PlayerSlotTest, StashFillsToTwelveAndResetReleasesIt) {
    CWorldObjectManager manager;
    CPlayerSlot slot;
    EXPECT_EQ(slot.FirstFreeItemSlot(), 0);
    for (int i = 0; i < CPlayerSlot::kItems; ++i) slot.AddItem(nullptr, 500u + static_cast<uint32_t>(i), 1);
    EXPECT_EQ(slot.itemCount, 12u);
    EXPECT_EQ(slot.FirstFreeItemSlot(), -1);
    EXPECT_EQ(manager.LiveInventoryItems(), 12);
    slot.AddItem(nullptr, 999, 1);
    EXPECT_EQ(slot.itemCount, 12u);
    EXPECT_EQ(manager.LiveInventoryItems(), 12);

    slot.heroId = 0x1234;
    slot.nickname = "hero";
    slot.cardLevel = 3;
    slot.gold = 500;
    slot.level = 9;
    slot.heroKills = 4;
    slot.Reset();
    EXPECT_EQ(slot.heroId, 0x1234u);
    EXPECT_STREQ(slot.GetNickname(), "hero");
    EXPECT_EQ(slot.cardLevel, 3u);
    EXPECT_EQ(slot.gold, 0);
    EXPECT_EQ(slot.level, 1);
    EXPECT_EQ(slot.heroKills, 0);
    EXPECT_EQ(slot.itemCount, 0u);
    EXPECT_EQ(slot.FirstFreeItemSlot(), 0);
    for (auto* item : slot.items) EXPECT_EQ(item, nullptr);
    EXPECT_EQ(manager.LiveInventoryItems(), 0);
}

TEST(PlayerSlotTest, LosingGoldStopsAtNothing) {
    CPlayerSlot slot;
    slot.gold = 100;
    slot.LoseGold(30);
    EXPECT_EQ(slot.gold, 70);
    slot.LoseGold(500);
    EXPECT_EQ(slot.gold, 0);
    EXPECT_EQ(slot.goldLost, 100);
    slot.LoseGold(-5);
    EXPECT_EQ(slot.goldLost, 100);
}

}  // namespace
