#include <gtest/gtest.h>

#include "engine/core/NameHash.h"
#include "tests/world/RecordBytes.h"
#include "tools/FormatWriter.h"
#include "world/BuildingData.h"
#include "world/DecorationData.h"
#include "world/EffectRecord.h"
#include "world/ItemData.h"
#include "world/SkillRecordKinds.h"
#include "world/UnitData.h"

namespace {

// Distinct values in every field the tests can reach generically.
struct Filler {
    uint32_t next = 0x100;
    uint32_t operator()() { return next++; }
    std::string Text() { return "t" + std::to_string(next++); }
    void Block(StatBlock& b) {
        for (uint32_t& v : b) v = (*this)();
    }
    void Vec(std::array<uint32_t, 3>& v) {
        for (uint32_t& x : v) x = (*this)();
    }
    void Ref(VisualRef& r) {
        r.effectName = Text();
        r.effectWord = (*this)();
        r.modelName = Text();
        r.refWord1 = (*this)();
        r.refWord2 = (*this)();
        Vec(r.offset);
        r.soundName = Text();
    }
    void Base(CGameDataRecord& r) {
        r.name = Text();
        r.text = Text();
        r.flags = (*this)();
        r.value2 = (*this)();
    }
};

void ExpectRoundTrip(CGameDataRecord& record, const char* what) {
    const std::vector<uint8_t> bytes = RecordBytes(record);
    std::unique_ptr<CGameDataRecord> read = ReadRecord(record.category, bytes);
    ASSERT_NE(read, nullptr) << what;
    EXPECT_EQ(read->id, NameHash(record.name)) << what;
    EXPECT_EQ(RecordBytes(*read), bytes) << what;
}

TEST(GameDataRecord, UnitBuildingDecorationItemRoundTrip) {
    Filler f;
    CUnitData unit;
    f.Base(unit);
    unit.flags = 0x2000;  // class 0's bit, as reading leaves it
    unit.unitText2 = f.Text();
    unit.model = f.Text();
    unit.icon = f.Text();
    unit.model2 = f.Text();
    for (auto* v : {&unit.vecA, &unit.vecB, &unit.vecC, &unit.vecD}) f.Vec(*v);
    f.Block(unit.baseStats);
    for (uint32_t& w : unit.word) w = f();
    unit.hitRow = f();
    unit.hitColumn = f();
    unit.unitWord6 = f();
    unit.skills = {{nullptr, "A"}, {nullptr, ""}, {nullptr, "C"}};
    f.Ref(unit.shootInfo);
    ExpectRoundTrip(unit, "unit");

    CBuildingData building;
    f.Base(building);
    building.buildingWord1 = f();
    building.model2 = f.Text();
    f.Block(building.baseStats);
    for (uint32_t& w : building.word) w = f();
    f.Ref(building.shootInfo);
    ExpectRoundTrip(building, "building with no skills");

    CDecorationData deco;
    f.Base(deco);
    deco.decoWord1 = f();
    deco.decoWord2 = f();
    deco.decoWord3 = f();
    deco.hitColumn = f();
    deco.mesh = f.Text();
    ExpectRoundTrip(deco, "decoration");

    CItemData item;
    f.Base(item);
    item.kind = f();
    item.itemText2 = f.Text();
    item.useSkill = f.Text();
    item.effect = f.Text();
    for (uint32_t& w : item.itemWord) w = f();
    f.Block(item.statsA);
    f.Block(item.statsB);
    item.linkedItems = {{nullptr, f()}, {nullptr, f()}};
    item.cooldownItem = f();
    ExpectRoundTrip(item, "item");
}

TEST(GameDataRecord, EverySkillKindWithZeroOneAndThreeLevels) {
    for (uint32_t kind = 0; kind < CSkillRecord::kKindCount; ++kind) {
        for (size_t levels : {0u, 1u, 3u}) {
            Filler f;
            std::unique_ptr<CSkillRecord> skill = CreateSkillRecord(kind);
            ASSERT_NE(skill, nullptr);
            f.Base(*skill);
            skill->skillText2 = f.Text();
            skill->icon = f.Text();
            skill->excludeMask2 = f();
            skill->skillWord7 = f();
            for (size_t i = 0; i < levels; ++i) {
                auto level = CreateSkillLevel(kind);
                level->cooldown = static_cast<float>(f());
                level->levelText = f.Text();
                level->levelWord3 = f();
                for (uint32_t& a : level->amount) a = f();
                if (auto* recall = dynamic_cast<CSkillLevelRecall*>(level.get())) recall->recallUnit = f.Text();
                if (auto* fx = dynamic_cast<CSkillLevelEffects*>(level.get())) fx->effectB = f.Text();
                skill->levels.push_back(std::move(level));
            }
            skill->effects = {{nullptr, f.Text()}};
            f.Ref(skill->shootInfo);
            if (auto* k5 = dynamic_cast<CObjectEffectSkillRecord*>(skill.get())) f.Ref(k5->returnShootInfo);
            if (auto* k7 = dynamic_cast<CTeleportSkillRecord*>(skill.get())) k7->arriveSound = f.Text();
            const std::string what = "kind " + std::to_string(kind) + " levels " + std::to_string(levels);
            const std::vector<uint8_t> bytes = RecordBytes(*skill);
            ASSERT_GE(bytes.size(), 4u);
            EXPECT_EQ(bytes[0], kind) << "the kind is written first";
            ExpectRoundTrip(*skill, what.c_str());
        }
    }
}

TEST(GameDataRecord, OnlyTheSweepCoversAnAreaAroundItsAimedPoint) {
    for (uint32_t kind = 0; kind < CSkillRecord::kKindCount; ++kind) {
        std::unique_ptr<CSkillLevelRecord> level = CreateSkillLevel(kind);
        ASSERT_NE(level, nullptr);
        for (size_t i = 1; i < level->amount.size(); ++i) level->amount[i] = FloatBits(10.0f * static_cast<float>(i));
        EXPECT_EQ(level->AreaRadius(), kind == 4 ? 30.0f : 0.0f) << "kind " << kind;
    }
}

TEST(GameDataRecord, EveryEffectKindWithDistinctValues) {
    for (uint32_t kind = 0; kind < CEffectRecord::kKindCount; ++kind) {
        Filler f;
        std::unique_ptr<CEffectRecord> effect = CreateEffectRecord(kind);
        f.Base(*effect);
        effect->effectText2 = f.Text();
        effect->startEffect = f.Text();
        effect->effectWord7 = f();
        effect->values = {f(), f()};
        for (int level = 0; level < 2; ++level) {
            auto param = CreateEffectParam(kind);
            ASSERT_NE(param, nullptr) << kind;
            param->duration = static_cast<float>(f());
            for (uint32_t& p : param->p) p = f();
            if (auto* stats = dynamic_cast<CEffectParamStats*>(param.get())) f.Block(stats->statBlockB);
            if (auto* named = dynamic_cast<CEffectParamNamed*>(param.get())) named->targetName = f.Text();
            if (auto* recall = dynamic_cast<CEffectParamRecall*>(param.get())) recall->recallUnit = f.Text();
            effect->params.push_back(std::move(param));
        }
        if (auto* parent = dynamic_cast<CEffectRecordWithChildren*>(effect.get()))
            parent->children = {{nullptr, f()}};
        // p[] holds more words than most kinds store: compare the bytes of a read-back copy.
        const std::vector<uint8_t> bytes = RecordBytes(*effect);
        std::unique_ptr<CGameDataRecord> read = ReadRecord(CAT_EFFECT, bytes);
        ASSERT_NE(read, nullptr) << kind;
        EXPECT_EQ(RecordBytes(*read), bytes) << kind;
        EXPECT_EQ(EffectKindHasChildren(kind), dynamic_cast<CEffectRecordWithChildren*>(read.get()) != nullptr);
    }
}

// A string as the stream stores it.
void Str(CFormatWriter& w, const std::string& s) { w.String(s); }

TEST(GameDataRecord, GoldenUnit) {
    CFormatWriter w;
    Str(w, "u2");
    w.U32(0x11 | 0x4000);  // flags, class 1's bit
    w.U32(7);
    Str(w, "M.DRC");
    Str(w, "I.DDS");
    Str(w, "u3");
    Str(w, "");
    for (uint32_t i = 0; i < 12; ++i) w.U32(100 + i);  // vectors A-D
    Str(w, "u4");
    Str(w, "Knight");
    Str(w, "a knight");
    Str(w, "u5");
    w.Float(1.0f);
    w.U32(1);  // class
    for (uint32_t i = 0; i < 17; ++i) w.U32(200 + i);
    for (uint32_t i = 0; i < 16; ++i) w.U32(300 + i);
    w.U32(2);
    Str(w, "Bolt");
    Str(w, "Aura");
    Str(w, "FX.DRE");
    w.I32(-1);
    Str(w, "SHOT.DRC");
    w.U32(1);
    w.U32(2);
    w.Float(0.5f);
    w.Float(1.5f);
    w.Float(2.5f);
    Str(w, "HIT.WAV");

    std::unique_ptr<CGameDataRecord> read = ReadRecord(CAT_UNIT, w.Data());
    ASSERT_NE(read, nullptr);
    auto& unit = static_cast<CUnitData&>(*read);
    EXPECT_EQ(unit.name, "Knight");
    EXPECT_EQ(unit.id, NameHash("Knight"));
    EXPECT_EQ(unit.unitText2, "u2");
    EXPECT_EQ(unit.icon, "I.DDS");
    EXPECT_EQ(unit.vecD[2], 111u);
    EXPECT_EQ(unit.unitClass, 1u);
    EXPECT_EQ(unit.baseStats[16], 216u);
    // 16 words: unitWord2, unitWord3, word1-3, word6, flying height, word4, radius, word5, word7, word8, hit row and column, word11, word12
    EXPECT_EQ(unit.unitWord2, 300u);
    EXPECT_EQ(unit.word[6], 305u);
    EXPECT_EQ(unit.unitWord6, 306u);
    EXPECT_EQ(unit.word[4], 307u);
    EXPECT_EQ(unit.unitWord5, 308u);
    EXPECT_EQ(unit.hitRow, 312u);
    EXPECT_EQ(unit.hitColumn, 313u);
    EXPECT_EQ(unit.word[12], 315u);
    ASSERT_EQ(unit.skills.size(), 2u);
    EXPECT_EQ(unit.skills[1].name, "Aura");
    EXPECT_EQ(unit.shootInfo.modelName, "SHOT.DRC");
    EXPECT_EQ(unit.shootInfo.soundName, "HIT.WAV");
    EXPECT_EQ(RecordBytes(unit), w.Data());
}

TEST(GameDataRecord, GoldenSkillOfKind5) {
    CFormatWriter w;
    w.U32(5);  // kind
    w.U32(21);
    w.U32(22);  // skillWord2, skillWord3
    w.U32(16);
    w.U32(0);  // flags, value2
    Str(w, "Boomerang");
    Str(w, "");
    Str(w, "");
    Str(w, "ICON.DDS");
    Str(w, "ICON2.DDS");
    w.U32(1573002);
    w.U32(0x003C0000);
    w.U32(0);
    w.U32(1);  // use type
    w.U32(0);
    w.U32(1);  // one level
    w.Float(8.0f);
    Str(w, "lv1");
    w.Float(25.0f);
    w.U32(0);
    for (uint32_t i = 1; i <= 4; ++i) w.Float(static_cast<float>(i));
    w.Float(100.0f);
    w.U32(1);
    w.U32(1);
    Str(w, "Stun");
    for (int ref = 0; ref < 1; ++ref) {
        Str(w, "");
        w.I32(-1);
        Str(w, "SHOT.DRC");
        w.U32(0);
        w.U32(0);
        for (int i = 0; i < 3; ++i) w.U32(0);
        Str(w, "");
    }
    w.U32(1);
    w.U32(1);
    w.U32(0);
    Str(w, "RET.DRE");
    w.I32(-1);
    Str(w, "BACK.DRC");
    w.U32(3);
    w.U32(4);
    for (int i = 0; i < 3; ++i) w.U32(0);
    Str(w, "");

    std::unique_ptr<CGameDataRecord> read = ReadRecord(CAT_SKILL, w.Data());
    ASSERT_NE(read, nullptr);
    auto& skill = dynamic_cast<CObjectEffectSkillRecord&>(*read);
    ASSERT_EQ(skill.LevelCount(), 1u);
    EXPECT_EQ(skill.Level(0)->manaCost, 25.0f);
    EXPECT_EQ(skill.Level(0)->GetLevelValue1(), 2.0f);
    EXPECT_EQ(skill.effects[0].name, "Stun");
    EXPECT_EQ(skill.returnShootInfo.modelName, "BACK.DRC");
    EXPECT_EQ(skill.returnShootInfo.refWord2, 4u);
    EXPECT_EQ(RecordBytes(skill), w.Data());
}

TEST(GameDataRecord, GoldenEffectOfKind17) {
    CFormatWriter w;
    w.U32(17);
    w.U32(0x800000);
    w.U32(0);
    Str(w, "Summon");
    Str(w, "");
    Str(w, "");
    Str(w, "ICON.DDS");
    w.U32(0);
    w.U32(1573002);
    w.U32(0x003C0000);
    Str(w, "START.DRE");
    w.U32(9);
    Str(w, "");
    for (int i = 0; i < 4; ++i) w.U32(0);
    w.U32(1);
    w.U32(77);  // the value list
    w.U32(1);   // levels
    w.U32(2);   // p1 summon kind
    w.U32(3);   // p2 unit count
    w.U32(4);   // p3 level
    Str(w, "Creep");
    w.Float(30.0f);  // life time
    w.U32(1);        // p4 copy target
    w.Float(0.5f);   // p5 factor
    w.U32(0);        // p6

    std::unique_ptr<CGameDataRecord> read = ReadRecord(CAT_EFFECT, w.Data());
    ASSERT_NE(read, nullptr);
    auto& effect = dynamic_cast<CEffectRecord&>(*read);
    ASSERT_EQ(effect.params.size(), 1u);
    auto& recall = dynamic_cast<CEffectParamRecall&>(*effect.params[0]);
    EXPECT_EQ(recall.recallUnit, "Creep");
    EXPECT_EQ(recall.duration, 30.0f);
    EXPECT_EQ(recall.p[2], 3u);
    EXPECT_EQ(recall.p[4], 1u);
    EXPECT_EQ(BitsFloat(recall.p[5]), 0.5f);
    EXPECT_EQ(RecordBytes(effect), w.Data());
}

TEST(GameDataRecord, UnitClassSetsOneFlagBit) {
    const struct {
        uint32_t unitClass, bits;
    } cases[] = {{0, 0x2000}, {1, 0x4000}, {2, 0x8000}, {3, 0}, {7, 0}};
    for (const auto& c : cases) {
        CUnitData unit;
        unit.name = "U";
        unit.flags = 0xE001;  // all three bits stored: reading sets them from the class
        unit.unitClass = c.unitClass;
        std::unique_ptr<CGameDataRecord> read = ReadRecord(CAT_UNIT, RecordBytes(unit));
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->flags, 0x0001u | c.bits) << c.unitClass;
    }
}

}  // namespace
