// Skill tooltips as golden texts, through a message table of short marks.
#include "screens/game/SkillTooltip.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/core/MessageTable.h"
#include "world/GameDataRecord.h"
#include "world/SkillInstance.h"
#include "world/SkillLevelRecord.h"
#include "world/SkillRecord.h"

namespace {

class SkillTooltipTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(g_pMessageTable, &messages);
        messages.SetMsg(MSG_GAMEPLAY_SKILL_TYPE_ACTIVE, "active");
        messages.SetMsg(MSG_GAMEPLAY_SKILL_TYPE_PASSIVE, "passive");
        messages.SetMsg(MSG_GAMEPLAY_SKILL_ON, "on");
        messages.SetMsg(MSG_GAMEPLAY_SKILL_OFF, "off");
        messages.SetMsg(MSG_GAMEPLAY_SKILL_ONOFF, "on/off");
        messages.SetMsg(MSG_GAMEPLAY_SKILL_SPENT_MANA, "mana %d");
        messages.SetMsg(MSG_GAMEPLAY_SKILL_USE_DISTANCE, "[range %d]");
        messages.SetMsg(MSG_GAMEPLAY_SKILL_COOLTIME, "[cool %d]");
        messages.SetMsg(MSG_GAMEPLAY_SKILL_NEXT_LEVEL, "[next at %d]");
        record.name = "Fire";
        record.text = "Burns.";
        skill.record = &record;
    }
    // A level of the recall kind, whose first value is its use distance.
    CSkillLevelRecord& AddLevel(float mana, const char* text, float distance, float cooldown, uint32_t heroLevel) {
        auto level = std::make_unique<CSkillLevelRecall>();
        level->manaCost = mana;
        level->levelText = text;
        level->amount[3] = FloatBits(distance);
        level->cooldown = cooldown;
        level->levelWord3 = heroLevel;
        record.levels.push_back(std::move(level));
        return *record.levels.back();
    }
    std::string Slot(bool learn) {
        std::string out = "stale";
        BuildSlotTooltip(&skill, learn, out);
        return out;
    }

    CMessageTable messages;
    CSkillRecord record;
    CSkillInstance skill;
};

TEST_F(SkillTooltipTest, GoldenTexts) {
    // Not learned: the short form with the description.
    record.flags = 0x20;
    AddLevel(0, "", 0, 0, 1);
    skill.level = 0;
    EXPECT_EQ(Slot(false), "</>Fire (passive)\nBurns.");

    // Nothing but the level line: no mana, text, distance, cool-down or next level.
    skill.level = 1;
    EXPECT_EQ(Slot(false), "</>Lv1 Fire (passive)");

    // Everything, for an active skill at level 1 of 3.
    record.flags = 0x10;
    record.levels.clear();
    AddLevel(25.7f, "Hits hard.", 120.9f, 6.5f, 1);
    AddLevel(30, "Hits harder.", 0, 5, 3);
    AddLevel(40, "", 0, 4, 6);
    EXPECT_EQ(Slot(false), "</>Lv1 Fire (active)</C=44aaff> : mana 25\n\nHits hard.\n</C=9696C8>[range 120][cool 6][next at 3]");
    // The learn button of a level-1 skill shows level 2 and the requirement of level 3.
    EXPECT_EQ(Slot(true), "</>Lv2 Fire (active)</C=44aaff> : mana 30\n\nHits harder.\n</C=9696C8>[cool 6][next at 6]");
    // A pending level counts as learned.
    skill.pendingLevels = 1;
    EXPECT_EQ(Slot(false), "</>Lv2 Fire (active)</C=44aaff> : mana 30\n\nHits harder.\n</C=9696C8>[cool 6][next at 6]");
    // At the last level the learn text stays inside the levels.
    skill.pendingLevels = 0;
    skill.level = 3;
    EXPECT_EQ(Slot(true), "</>Lv4 Fire (active)</C=44aaff> : mana 40\n</C=9696C8>[cool 4]");
}

TEST_F(SkillTooltipTest, ToggleKindTextFollowsTheState) {
    record.flags = 0x40;
    AddLevel(0, "", 0, 0, 1);
    skill.level = 1;
    skill.active = 1;
    EXPECT_EQ(Slot(false), "</>Lv1 Fire (off)");
    skill.active = 0;
    EXPECT_EQ(Slot(false), "</>Lv1 Fire (on)");
    EXPECT_EQ(Slot(true), "</>Lv2 Fire (on/off)");
    // No skill, no text; a skill without levels gives only its first line.
    std::string out = "stale";
    BuildSlotTooltip(nullptr, false, out);
    EXPECT_EQ(out, "");
    record.levels.clear();
    EXPECT_EQ(Slot(false), "</>Lv1 Fire (on)");
}

}  // namespace
