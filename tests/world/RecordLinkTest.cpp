#include <gtest/gtest.h>

#include "engine/core/NameHash.h"
#include "tests/world/GameDataFolder.h"
#include "tools/EffectFileWriter.h"
#include "tools/SampleGameData.h"
#include "world/BuildingData.h"
#include "world/DecorationData.h"
#include "world/EffectRecord.h"
#include "world/ItemData.h"
#include "world/SkillRecordKinds.h"
#include "world/UnitData.h"

namespace {

CEffectRecord& AddEffect(CGameDataRegistry& r, uint32_t kind, const std::string& name, std::vector<float> durations) {
    CEffectRecord& e = r.AddNamed(CreateEffectRecord(kind), name);
    e.flags = CEffectRecord::kFlagNoStack;
    for (float d : durations) {
        e.params.push_back(CreateEffectParam(kind));
        e.params.back()->duration = d;
    }
    return e;
}

TEST(RecordLink, TheSampleBlockLoadsFromTheSampleFolderAndEveryRecordLinks) {
    GameDataFolder f;
    ASSERT_TRUE(f.made);
    f.messages.LoadInfoFile("GAMEINFO.DAT");
    const char* block = f.messages.GetInfo("LOAD_DATA");
    ASSERT_STREQ(block, kSampleDataBlock);
    ASSERT_EQ(f.registry.LoadDataBlock(block), 1) << f.report.Text();
    EXPECT_EQ(f.registry.Records(CAT_UNIT).Size(), 12u);
    EXPECT_EQ(f.registry.Records(CAT_SKILL).Size(), 15u);
    for (uint32_t c = 0; c < CAT_COUNT; ++c)
        for (CGameDataRecord* record : f.registry.Records(c).Records())
            EXPECT_EQ(record->Link(), 1) << CategoryLabel(c) << " " << record->name << ": " << f.report.Text();
    EXPECT_EQ(f.registry.LinkCombinations(), 1) << f.report.Text();
    EXPECT_GT(f.Cached(RES_MODEL), 0u);
    EXPECT_GT(f.Cached(RES_EFFECT), 0u);
    const auto* lord = f.registry.FindRecord(CAT_UNIT, NameHash("\xB7\xCE\xB5\xE5 \xC7\xE5\xC5\xCD"));  // 로드 헌터
    ASSERT_NE(lord, nullptr);
    EXPECT_EQ(f.registry.PreloadTable().Load(nullptr, 0.4f), 1);  // sound off: nothing, and no failure

    // Releasing twice, the way every unit releases its shared skills, leaves nothing held.
    f.registry.ReleaseCombinations();
    f.registry.ReleaseAllResources();
    f.registry.ReleaseAllResources();
    for (int32_t type : {RES_MODEL, RES_EFFECT, RES_MESH, RES_TEXTURE}) EXPECT_EQ(f.Cached(type), 0u) << type;
}

TEST(RecordLink, ItemChecksInOrder) {
    struct Case {
        const char* what;
        void (*change)(CItemData&);
        uint32_t code;
        const char* text;
    };
    const Case cases[] = {
        {"no model", [](CItemData& i) { i.model.clear(); }, ERR_RESOURCE_LINK, "ResourceData"},
        {"missing use skill", [](CItemData& i) { i.useSkill = "Nowhere"; }, ERR_RESOURCE_LINK, "Nowhere"},
        {"missing linked item", [](CItemData& i) { i.linkedItems = {{nullptr, 42}}; }, ERR_RESOURCE_LINK,
         "42\n<- ITEM : Thing"},
        {"refused effect type", [](CItemData& i) { i.effect = "REFUSED.DRE"; }, ERR_DATA,
         "ITEM: Thing, 이펙트 타입이 다릅니다."},
        {"missing cool-down partner", [](CItemData& i) { i.cooldownItem = 43; }, ERR_RESOURCE_LINK,
         "43\n<- ITEM : Thing의 공유 쿨타임 아이템을 찾을 수 없습니다."},
    };
    for (const Case& c : cases) {
        GameDataFolder f;
        ASSERT_TRUE(f.made);
        CItemData& item = f.registry.AddNamed(std::make_unique<CItemData>(), "Thing");
        item.model = "SAMPLE.DRC";
        c.change(item);
        if (item.effect == "REFUSED.DRE") {
            EffectFile refused = MakeEffectFile({});
            refused.effectType = CEffectResource::kTypeRefused;
            f.tmp.Write("REFUSED.DRE", WriteEffectFile(refused));
            f.manager->FileIndex().ScanFolder(".");
        }
        f.report.Set(1, "old text");
        EXPECT_EQ(item.Link(), 0) << c.what;
        EXPECT_EQ(f.report.GetCode(), c.code) << c.what;
        EXPECT_EQ(f.report.Text().rfind(c.text, 0), 0u) << c.what << ": " << f.report.Text();
        EXPECT_EQ(item.linked, 0u);
        item.ReleaseResources();  // after a failed link
        EXPECT_EQ(f.Cached(RES_MODEL), 0u) << c.what;
    }
}

TEST(RecordLink, AMissingSkillOfAUnitIsMissingData) {
    GameDataFolder f;
    CUnitData& unit = f.registry.AddNamed(std::make_unique<CUnitData>(), "Lonely");
    unit.skills = {{nullptr, "Ghost"}};
    EXPECT_EQ(unit.Link(), 0);
    EXPECT_EQ(f.report.GetCode(), ERR_RESOURCE_LINK);
    EXPECT_EQ(f.report.Text(), "Ghost");
}

TEST(RecordLink, PassiveAuraDurations) {
    const struct {
        uint32_t flags;
        float duration;
        bool passes;
    } cases[] = {
        {CSkillRecord::kFlagPassive, 1.49f, false},       {CSkillRecord::kFlagPassive, 1.5f, true},
        {CSkillRecord::kFlagPassive, 0.0f, true},         {CSkillRecord::kFlagActivePassive, 0.49f, false},
        {CSkillRecord::kFlagActivePassive, 0.5f, true},   {0, 0.1f, true},
    };
    for (const auto& c : cases) {
        GameDataFolder f;
        AddEffect(f.registry, 2, "Glow", {2.0f, c.duration});
        auto& aura = f.registry.AddNamed(std::make_unique<CEffectAuraSkillRecord>(), "Aura");
        aura.flags = c.flags;
        aura.effects = {{nullptr, "Glow"}};
        EXPECT_EQ(aura.Link(), c.passes ? 1 : 0) << c.flags << " " << c.duration << ": " << f.report.Text();
        if (!c.passes) {
            EXPECT_EQ(f.report.GetCode(), ERR_DATA);
            const char* label = c.flags == CSkillRecord::kFlagPassive ? "[패시브 스킬]용 [Glow]효과[LV2]" : "[액티브형 패시브 스킬]용 [Glow]효과[LV2]";
            EXPECT_EQ(f.report.Text().rfind(label, 0), 0u) << f.report.Text();
            EXPECT_NE(f.report.Text().find(c.flags == CSkillRecord::kFlagPassive ? "[1.50]" : "[0.50]"), std::string::npos);
        }
    }
    GameDataFolder f;
    CEffectRecord& stacking = AddEffect(f.registry, 2, "Stacks", {2.0f});
    stacking.flags = 0;
    auto& aura = f.registry.AddNamed(std::make_unique<CEffectAuraSkillRecord>(), "Aura");
    aura.effects = {{nullptr, "Stacks"}};
    EXPECT_EQ(aura.Link(), 0);
    EXPECT_EQ(f.report.Text(), "[패시브 스킬]용 [Stacks]효과의 [이름 중복 가능]은 사용할 수 없습니다");
}

TEST(RecordLink, EffectParameterChecks) {
    GameDataFolder f;
    f.registry.AddNamed(std::make_unique<CUnitData>(), "Creep");
    CEffectRecord& six = AddEffect(f.registry, 14, "Six", {1.0f});
    static_cast<CEffectParamCount&>(*six.params[0]).p[2] = 6;
    EXPECT_EQ(six.Link(), 1) << f.report.Text();
    CEffectRecord& seven = AddEffect(f.registry, 14, "Seven", {1.0f});
    static_cast<CEffectParamCount&>(*seven.params[0]).p[2] = 7;
    EXPECT_EQ(seven.Link(), 0);
    EXPECT_EQ(f.report.Text(), "EFFECT : 공격 회수가 6 회수를 넘을 수 없습니다.\n<- EFFECT : Seven");

    CEffectRecord& copy = AddEffect(f.registry, 17, "Copy", {10.0f});
    copy.params[0]->p[4] = 1;  // copies the target: no unit named
    EXPECT_EQ(copy.Link(), 1) << f.report.Text();
    CEffectRecord& none = AddEffect(f.registry, 17, "None", {10.0f});
    EXPECT_EQ(none.Link(), 0);
    EXPECT_EQ(f.report.GetCode(), ERR_DATA);
    EXPECT_EQ(f.report.Text(), "Recall Unit\n<- EFFECT : None");
    CEffectRecord& ghost = AddEffect(f.registry, 17, "Ghost", {10.0f});
    static_cast<CEffectParamRecall&>(*ghost.params[0]).recallUnit = "Nobody";
    EXPECT_EQ(ghost.Link(), 0);
    EXPECT_EQ(f.report.GetCode(), ERR_RESOURCE_LINK);
    CEffectRecord& summon = AddEffect(f.registry, 17, "Summon", {10.0f});
    static_cast<CEffectParamRecall&>(*summon.params[0]).recallUnit = "Creep";
    EXPECT_EQ(summon.Link(), 1) << f.report.Text();
    EXPECT_EQ(static_cast<CEffectParamRecall&>(*summon.params[0]).recallRecord,
              f.registry.FindRecord(CAT_UNIT, NameHash("Creep")));

    CEffectRecord& reflect = AddEffect(f.registry, 3, "Reflect", {1.0f});  // chance 0: logged, still usable
    EXPECT_EQ(reflect.Link(), 1);

    auto& parent = static_cast<CEffectRecordWithChildren&>(AddEffect(f.registry, 1, "Parent", {1.0f}));
    parent.children = {{nullptr, NameHash("Orphan")}};
    EXPECT_EQ(parent.Link(), 0);
    EXPECT_EQ(f.report.Text(), "EFFECT : Parent 자식효과를 찾을수 없습니다.");
    parent.children = {{nullptr, NameHash("Six")}};
    EXPECT_EQ(parent.Link(), 1) << f.report.Text();
}

TEST(RecordLink, SkillLinksChainTheirNames) {
    GameDataFolder f;
    auto& bolt = f.registry.AddNamed(std::make_unique<CDirectAttackSkillRecord>(), "Bolt");
    EXPECT_EQ(bolt.Link(), 0);
    EXPECT_EQ(f.report.Text(), "DATASKILL_DIRECT_ATTACK_ShootingObject: 없음[Bolt]");
    bolt.shootInfo.modelName = "MISSING.DRC";
    EXPECT_EQ(bolt.Link(), 0);
    EXPECT_NE(f.report.Text().find("\n<- SKILL : Bolt - ShootInfo"), std::string::npos) << f.report.Text();

    auto& call = f.registry.AddNamed(std::make_unique<CSkillRecord>(), "Call");
    call.levels.push_back(CreateSkillLevel(0));
    EXPECT_EQ(call.Link(), 0);
    EXPECT_EQ(f.report.GetCode(), ERR_DATA);
    EXPECT_EQ(f.report.Text(), "Recall Unit");
    f.registry.AddNamed(std::make_unique<CUnitData>(), "Broken").model = "MISSING.DRC";
    static_cast<CSkillLevelRecall&>(*call.levels[0]).recallUnit = "Broken";
    static_cast<CSkillLevelRecall&>(*call.levels[0]).recallKey = NameHash("Broken");
    EXPECT_EQ(call.Link(), 0);
    EXPECT_NE(f.report.Text().find("\n<- UNIT : Broken\n<- SKILL : Call [lv 1]"), std::string::npos)
        << f.report.Text();

    auto& swap = f.registry.AddNamed(std::make_unique<CEffectOtherSelfSkillRecord>(), "Swap");
    swap.selfEffect = "NOPE.DRE";
    EXPECT_EQ(swap.Link(), 0);
    EXPECT_NE(f.report.Text().find("\n<-EFFECT_OTHERSELF: Swap"), std::string::npos) << f.report.Text();
}

TEST(RecordLink, RecordsThatNameEachOtherLinkAndRelease) {
    GameDataFolder f;
    CUnitData& unit = f.registry.AddNamed(std::make_unique<CUnitData>(), "Self");
    unit.model = "SAMPLE.DRC";
    unit.skills = {{nullptr, "Clone"}};
    auto& clone = f.registry.AddNamed(std::make_unique<CSkillRecord>(), "Clone");
    clone.levels.push_back(CreateSkillLevel(0));
    static_cast<CSkillLevelRecall&>(*clone.levels[0]).recallUnit = "Self";
    static_cast<CSkillLevelRecall&>(*clone.levels[0]).recallKey = NameHash("Self");
    EXPECT_EQ(unit.Link(), 1) << f.report.Text();
    EXPECT_EQ(clone.linked, 1u);
    unit.ReleaseResources();
    unit.ReleaseResources();
    EXPECT_EQ(clone.linked, 0u);
    EXPECT_EQ(f.Cached(RES_MODEL), 0u);
}

TEST(RecordLink, ASoundOnlyVisualBlockLinksSilentlyWithSoundOff) {
    GameDataFolder f;
    CUnitData& unit = f.registry.AddNamed(std::make_unique<CUnitData>(), "Loud");
    unit.shootInfo.soundName = "HIT1.WAV";
    EXPECT_EQ(unit.Link(), 1) << f.report.Text();
    EXPECT_EQ(unit.shootInfo.sound, nullptr);
    EXPECT_EQ(f.report.Text(), "Sound load fail HIT1.WAV\n");
}

TEST(RecordLink, DecorationAndBuildingChainTheirNames) {
    GameDataFolder f;
    CDecorationData& deco = f.registry.AddNamed(std::make_unique<CDecorationData>(), "Tree");
    deco.mesh = "NOPE.DRM";
    EXPECT_EQ(deco.Link(), 0);
    EXPECT_NE(f.report.Text().find("\n<- DECORATION : Tree"), std::string::npos) << f.report.Text();
    CBuildingData& tower = f.registry.AddNamed(std::make_unique<CBuildingData>(), "Tower");
    tower.model2 = "NOPE.DRC";
    EXPECT_EQ(tower.Link(), 0);
    EXPECT_NE(f.report.Text().find("\n<- BUILDING : Tower"), std::string::npos) << f.report.Text();
}

}  // namespace
