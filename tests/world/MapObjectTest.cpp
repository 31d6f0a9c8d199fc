#include <gtest/gtest.h>

#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "tests/world/WorldFixture.h"
#include "world/InventoryItem.h"
#include "world/SkillInstance.h"

namespace {

struct MapObjectTest : WorldFixture {
    void SetUp() override {
        SkillRecord("Bash", {1, 2, 3});
        SkillRecord("Roar", {4});
        CUnitData& r = UnitRecord("Knight", 0x11, 0);
        r.baseStats[5] = F(300);
        r.skills = {{nullptr, "Bash"}, {nullptr, "Roar"}};
        // Items need a model to link; these count as linked.
        ItemRecord("Potion").linked = 1;
        CItemData& sword = ItemRecord("Sword");
        sword.statsA[3] = F(12);
        sword.linked = 1;
        unit = Spawn(r, 300, 400, 5, 3);
        unit->skills[0]->level = 2;
        unit->AddRandomEvent(1, 2, 3);
        unit->AddRandomEvent(4, 5, 6);
        unit->eventChance = 40;
        unit->stateFlags |= 0x80000;
        unit->animationValue = 9;
        unit->SetInventoryItem(0, manager.CreateInventoryItem(FindGameRecord(CAT_ITEM, NameHash("Potion")), 0, 0));
        unit->SetInventoryItem(4, manager.CreateInventoryItem(FindGameRecord(CAT_ITEM, NameHash("Sword")), 0, 0));
        unit->Item(0)->charges = 5;
    }
    std::vector<uint8_t> Write(CWorldObject& o) {
        CFileStream s;
        s.OpenMemoryWrite("OBJECT");
        EXPECT_EQ(o.LoadFromMap(s, 0), 1);
        return s.Bytes();
    }
    int Read(std::vector<uint8_t> bytes, int flag = 0) {
        CFileStream s;
        s.OpenMemory(std::move(bytes), "OBJECT");
        return manager.LoadMapObject(s, flag);
    }
    CUnit* unit = nullptr;
};

TEST_F(MapObjectTest, UnitRoundTrip) {
    const std::vector<uint8_t> bytes = Write(*unit);
    const int32_t id = unit->id;
    const float attack = unit->GetStat(3);
    manager.UnregisterObject(unit);
    ASSERT_EQ(Read(bytes), 1) << ErrorReport().GetText();
    auto* copy = dynamic_cast<CUnit*>(manager.GetObjectById(id));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->owner, 5);
    EXPECT_EQ(copy->level, 3);
    EXPECT_FLOAT_EQ(copy->position.x, 300);
    EXPECT_FLOAT_EQ(copy->position.z, 400);
    ASSERT_EQ(copy->skills.size(), 2u);
    EXPECT_EQ(copy->skills[0]->level, 2);
    EXPECT_EQ(copy->skills[1]->level, 1);
    ASSERT_EQ(copy->randomEvents.size(), 2u);
    EXPECT_EQ(copy->randomEvents[1].values[2], 6);
    EXPECT_EQ(copy->eventChance, 40);
    EXPECT_TRUE(copy->stateFlags & 0x80000);
    EXPECT_EQ(copy->animationValue, 9u);
    EXPECT_EQ(copy->itemCount, 2);
    ASSERT_NE(copy->Item(0), nullptr);
    EXPECT_EQ(copy->Item(0)->charges, 5);
    ASSERT_NE(copy->Item(1), nullptr) << "items take the first free slots";
    EXPECT_FLOAT_EQ(copy->GetStat(3), attack) << "the sword's bonus again";
    EXPECT_EQ(Write(*copy), bytes) << "written again, the same bytes";
}

TEST_F(MapObjectTest, BadRecordsAndStreams) {
    std::vector<uint8_t> bytes = Write(*unit);
    unit->recordKey = 12345;
    std::vector<uint8_t> missing = Write(*unit);
    EXPECT_EQ(Read(missing), 0);
    EXPECT_EQ(ErrorReport().GetCode(), ERR_RESOURCE_LINK);
    EXPECT_STREQ(ErrorReport().GetText(), "Knight");

    // The skill count of the record is 2: a count of 3 is refused by its message.
    const size_t countAt = 4 + 4 + 4 + 4 + 4 + 7 + 4 + 4 + 4 * 5 + 4 * 3 + 4;
    ASSERT_EQ(bytes[countAt], 2);
    std::vector<uint8_t> wrongCount = bytes;
    wrongCount[countAt] = 3;
    EXPECT_EQ(Read(wrongCount), 0);
    EXPECT_EQ(ErrorReport().GetCode(), ERR_DATA);
    EXPECT_STREQ(ErrorReport().GetText(), "Wrong Skill info!!! - unit : Knight");
    std::vector<uint8_t> wrongSkill = bytes;
    wrongSkill[countAt + 4 + 8] ^= 0xFF;
    EXPECT_EQ(Read(wrongSkill), 0);
    EXPECT_STREQ(ErrorReport().GetText(), "Wrong Skill info!!! (index : 2)\n<- Knight");
    const size_t objects = manager.Objects().size();
    EXPECT_EQ(Read(wrongSkill, 1), 1) << "the editor keeps the record's own skill";
    EXPECT_EQ(Read(wrongCount, 1), 0) << "a count the entries do not follow";
    std::vector<uint8_t> third = wrongCount;
    third.insert(third.begin() + static_cast<long>(countAt + 4 + 16), 8, 0);
    EXPECT_EQ(Read(third, 1), 1) << "the editor reads every entry";
    EXPECT_EQ(manager.Objects().size(), objects) << "both under the unit's id";

    for (size_t cut = 0; cut < bytes.size(); cut += 3)
        EXPECT_EQ(Read(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(cut))), 0) << cut;
    EXPECT_EQ(manager.Objects().size(), objects) << "nothing half-read stays in the world";
}

TEST_F(MapObjectTest, InventoryPastEightKeepsTheStreamInStep) {
    std::vector<uint8_t> bytes = Write(*unit);
    // Append a marker after the object and grow its item list to ten entries.
    const size_t itemsAt = bytes.size() - 4 - 2 * 8;
    ASSERT_EQ(bytes[itemsAt], 2);
    bytes[itemsAt] = 10;
    for (int i = 0; i < 8; ++i) bytes.insert(bytes.end(), bytes.end() - 8, bytes.end());
    bytes.insert(bytes.end(), {0x78, 0x56, 0x34, 0x12});
    manager.UnregisterObject(unit);
    CFileStream s;
    s.OpenMemory(bytes, "OBJECT");
    ASSERT_EQ(manager.LoadMapObject(s, 0), 1) << ErrorReport().GetText();
    uint32_t marker = 0;
    s.Serialize(marker);
    EXPECT_EQ(marker, 0x12345678u) << "every entry read";
    auto* copy = dynamic_cast<CUnit*>(manager.Objects().back());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->itemCount, 8);
    EXPECT_EQ(manager.LiveInventoryItems(), 8) << "the rest never made";
}

TEST_F(MapObjectTest, DecorationsAndSpawnedObjects) {
    auto& rock = registry.AddNamed(std::make_unique<CDecorationData>(), "Rock");
    rock.decoWord3 = F(40);
    CWorldObject* d = manager.CreateObject(2);
    ASSERT_EQ(d->InitFromRecord({50, 0, 60}, &rock, 1, 0, 2), 1);
    d->SetOwner(36);
    ASSERT_EQ(manager.RegisterObject(d, 777, 1, 0), 1);
    const std::vector<uint8_t> bytes = Write(*d);
    manager.UnregisterObject(d);
    ASSERT_EQ(Read(bytes), 1);
    ASSERT_NE(manager.GetObjectById(777), nullptr);
    EXPECT_EQ(manager.GetObjectById(777)->hitPoints, 40);
    EXPECT_EQ(Write(*manager.GetObjectById(777)), bytes);

    CUnitData& imp = UnitRecord("Imp");
    const uint32_t held = unit->refCount;
    CWorldObject* summoned = manager.SpawnObject(5, unit, 0, &imp, {10, 0, 10}, 1, 0, 1);
    ASSERT_NE(summoned, nullptr);
    auto* c = static_cast<CCombatObject*>(summoned);
    EXPECT_EQ(c->owner, 17) << "a player's summons are its uncontrolled units";
    EXPECT_EQ(c->team, manager.ownerTeam[17]);
    EXPECT_EQ(c->summonFlags, 0x100000u);
    EXPECT_TRUE(c->unitFlags & 0x4000000);
    EXPECT_EQ(c->leader, unit);
    EXPECT_EQ(unit->refCount, held + 1);
    ASSERT_EQ(c->currentOrders.Count(), 1);
    EXPECT_EQ(c->currentOrders.Front()->subKind, 8) << "hold position after the revive";
    EXPECT_EQ(c->order.kind, 5) << "the revive order";
    ASSERT_EQ(manager.RegisterObject(summoned, -1, 1, 0), 1);
    manager.UnregisterObject(summoned);
    EXPECT_EQ(unit->refCount, held) << "the master is let go";
    EXPECT_EQ(manager.SpawnObject(0, unit, 0, &rock, {}, 1, 0, 1), nullptr) << "a record of another category";
}

}  // namespace
