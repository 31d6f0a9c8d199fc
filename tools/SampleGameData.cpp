#include "tools/SampleGameData.h"

#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "platform/Audio.h"
#include "platform/CodePage.h"
#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/EffectFileWriter.h"
#include "tools/PackageWriter.h"
#include "tools/SampleCards.h"
#include "tools/SampleWeather.h"
#include "tools/WaveWriter.h"
#include "world/BuildingData.h"
#include "world/DecorationData.h"
#include "world/EffectRecord.h"
#include "world/GameDataRegistry.h"
#include "world/ItemData.h"
#include "world/SkillRecordKinds.h"
#include "world/UnitData.h"

namespace {

constexpr const char* kModel = "SAMPLE.DRC";
constexpr const char* kMesh = "SAMPLE.DRM";

CUnitData& AddUnit(CGameDataRegistry& registry, const std::string& name, std::vector<std::string> skills) {
    CUnitData& u = registry.AddNamed(std::make_unique<CUnitData>(), name);
    u.unitText2 = name;
    u.flags |= 0x2000;  // class 0's bit, as reading the class sets it
    u.model = kModel;
    u.icon = "ICON1.DDS";
    for (std::string& s : skills) u.skills.push_back({nullptr, std::move(s)});
    u.shootInfo.soundName = "HIT1.WAV";
    return u;
}

template <typename Skill>
Skill& AddSkill(CGameDataRegistry& registry, const std::string& name, size_t levels) {
    Skill& s = registry.AddNamed(std::make_unique<Skill>(), name);
    s.icon = "ICON1.DDS";
    s.iconDisabled = "ICON2.DDS";
    for (size_t i = 0; i < levels; ++i) {
        auto level = CreateSkillLevel(s.kind);
        level->cooldown = 5.0f + static_cast<float>(i);
        level->manaCost = 10.0f * static_cast<float>(i + 1);
        level->levelText = "Level " + std::to_string(i + 1);
        if (auto* recall = dynamic_cast<CSkillLevelRecall*>(level.get())) recall->recallUnit = "Creep";
        s.levels.push_back(std::move(level));
    }
    return s;
}

CEffectRecord& AddEffect(CGameDataRegistry& registry, uint32_t kind, const std::string& name, float duration) {
    CEffectRecord& e = registry.AddNamed(CreateEffectRecord(kind), name);
    e.icon = "ICON1.DDS";
    e.flags = CEffectRecord::kFlagNoStack;
    for (int level = 0; level < 2; ++level) {
        auto param = CreateEffectParam(kind);
        param->duration = duration;
        e.params.push_back(std::move(param));
    }
    return e;
}

std::vector<uint8_t> HitSound(uint32_t pitch) {
    const platform::AudioFormat f = PcmFormat(1, 22050, 8);
    std::vector<uint8_t> pcm(2205);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<uint8_t>((i * pitch / 20) % 2 ? 160 : 96);
    return BuildWave(f, pcm);
}

}  // namespace

void BuildSampleGameData(CGameDataRegistry& registry) {
    registry.blockValue = 1;
    registry.headerTexts = {"SAMPLE", "1", "", "", ""};

    // Effects first: the skills and items name them.
    AddEffect(registry, 0, "Might", 10.0f).startEffect = "SPARK.DRE";
    auto& haste = static_cast<CEffectRecordWithChildren&>(AddEffect(registry, 1, "Haste", 2.0f));
    haste.children.push_back({nullptr, NameHash("Might")});
    haste.endEffect = "MESHFX.DRE";
    auto& regrowth = AddEffect(registry, 5, "Regrowth", 6.0f);
    regrowth.startEffect = "SPARK.DRE";
    for (auto& p : regrowth.params) p->p[4] = FloatBits(1.0f);  // heals once a second
    AddEffect(registry, 8, "Stun", 1.5f);
    auto& mark = AddEffect(registry, 11, "Mark", 3.0f);
    for (auto& p : mark.params) static_cast<CEffectParamNamed&>(*p).targetName = "Stun";
    AddEffect(registry, 14, "Fury", 5.0f);
    auto& summon = AddEffect(registry, 17, "Summon", 30.0f);
    for (auto& p : summon.params) {
        auto& recall = static_cast<CEffectParamRecall&>(*p);
        recall.recallUnit = "Creep";
        recall.p[2] = 1;
        recall.p[5] = FloatBits(0.5f);
    }
    AddEffect(registry, 2, "Blessing", 0.0f);  // an aura's effect lasts while in range

    AddSkill<CSkillRecord>(registry, "Call", 1);
    AddSkill<CEffectOtherSelfSkillRecord>(registry, "Swap", 2).selfEffect = "SPARK.DRE";
    auto& aura = AddSkill<CEffectAuraSkillRecord>(registry, "Aura", 3);
    aura.auraEffect = "AURA.DRE";
    aura.effects.push_back({nullptr, "Blessing"});
    AddSkill<CDamageAuraSkillRecord>(registry, "Burn", 1).hitEffect = "SPARK.DRE";
    auto& bolt = AddSkill<CDirectAttackSkillRecord>(registry, "Bolt", 2);
    bolt.shootInfo.modelName = kModel;
    bolt.shootInfo.effectName = "SPARK.DRE";
    bolt.effects.push_back({nullptr, "Stun"});
    auto& boomerang = AddSkill<CObjectEffectSkillRecord>(registry, "Boomerang", 2);
    boomerang.shootInfo.modelName = kModel;
    boomerang.returnShootInfo.modelName = kModel;
    auto& twin = AddSkill<CSkillRecord6>(registry, "Twin", 1);
    for (auto& level : twin.levels) static_cast<CSkillLevelEffects&>(*level).effectB = "SPARK.DRE";
    auto& blink = AddSkill<CTeleportSkillRecord>(registry, "Blink", 1);
    blink.departEffect = "SPARK.DRE";
    blink.arriveEffect = "MESHFX.DRE";
    blink.departSound = "HIT2.WAV";
    AddSkill<CReflectionSkillRecord>(registry, "Mirror", 3).reflectionEffect = "SPARK.DRE";
    auto& drink = AddSkill<CEffectOtherSelfSkillRecord>(registry, "Drink", 1);
    drink.effects.push_back({nullptr, "Regrowth"});
    drink.effects.push_back({nullptr, "Haste"});

    // A hero's preview looks at the sample column's front, which faces -z.
    auto lookAtFront = [](CUnitData& hero) {
        hero.vecC = {FloatBits(0), FloatBits(8.0f), FloatBits(-25.0f)};
        hero.vecD = {FloatBits(0), FloatBits(5.0f), FloatBits(0)};
    };
    // Heroes see across most of the sample map by day, less by night.
    auto heroSight = [](CUnitData& hero) {
        hero.baseStats[14] = FloatBits(200.0f);
        hero.baseStats[15] = FloatBits(150.0f);
    };
    CUnitData& knight = AddUnit(registry, "Knight", {"Bolt", "Aura", "Swap", "Call"});
    heroSight(knight);
    knight.flags |= 16;  // a hero
    lookAtFront(knight);
    knight.hitRow = 1;
    CUnitData& guardian = AddUnit(registry, "Guardian", {"Boomerang", "Burn", "Twin", "Blink", "Mirror"});
    guardian.flags |= 16;
    guardian.unitClass = 3;
    guardian.flags &= ~CUnitData::kClassFlagMask;
    lookAtFront(guardian);
    heroSight(guardian);
    CUnitData& creep = AddUnit(registry, "Creep", {});
    creep.hitColumn = 2;
    // The creep's ranged attack: the sample model flies at 40 units a second,
    // a little upward, from its chest, and bursts into the spark.
    creep.shootInfo.modelName = kModel;
    creep.shootInfo.effectName = "SPARK.DRE";
    creep.shootInfo.refWord1 = FloatBits(40.0f);
    creep.shootInfo.refWord2 = FloatBits(0.2f);
    creep.shootInfo.offset = {FloatBits(0), FloatBits(2.0f), FloatBits(0.5f)};
    // Heroes for hero select: every race of both sides, classes 0-4, some
    // free to everyone, and one that is never listed.
    const struct {
        const char* name;
        uint32_t flags;
        uint32_t heroClass;
    } heroes[] = {
        {"Night Blade", 0x100u | 0x80000000u, 0}, {"Moon Howler", 0x800u, 1},
        {"Star Sage", 0x200u | 0x80000000u, 2},   {"Shade", 0x8000000u | 0x80000000u, 4},
        {"Veiled One", 0x100u | 0x40000000u, 0},  {"Silver Hunter", 0x400u | (1u << 28) | 0x80000000u, 3},
        {"Dawn Hunter", 0x400u | (1u << 28), 0},
    };
    for (const auto& h : heroes) {
        CUnitData& hero = AddUnit(registry, h.name, {});
        hero.flags = (hero.flags & ~CUnitData::kClassFlagMask) | 0x10u | h.flags |
                     (h.heroClass < 3 ? 0x2000u << h.heroClass : 0u);
        hero.unitClass = h.heroClass;
        hero.unitText3 = std::string(h.name) + " of the sample";
        hero.unitText4 = "A hero of the sample game folder.";
        lookAtFront(hero);
        for (size_t k = 0; k < 13; ++k) hero.baseStats[k] = FloatBits(10.0f + static_cast<float>(k));
        heroSight(hero);
    }
    // The Dawn Hunter shows every kind of slot on the main panel: a skill cast
    // at once, one aimed at a target, one switched on and off, a passive one
    // and one aimed at a ground area.
    auto& smite = AddSkill<CEffectOtherSelfSkillRecord>(registry, "Smite", 3);
    smite.flags = 0x10;
    smite.effects.push_back({nullptr, "Haste"});
    auto& lance = AddSkill<CDirectAttackSkillRecord>(registry, "Lance", 3);
    lance.flags = 0x10;
    lance.skillWord2 = 1;  // aimed at an object or a point
    lance.shootInfo.modelName = kModel;
    lance.shootInfo.effectName = "SPARK.DRE";
    AddSkill<CEffectAuraSkillRecord>(registry, "Guard", 2).flags = 0x40;
    AddSkill<CEffectAuraSkillRecord>(registry, "Valor", 2).flags = 0x20;
    // An area aimed at the ground, the ground marker as wide as the sweep's
    // hit radius (amount3) that grows with the level; amount2 is the sweep's
    // travel time.
    auto& quake = AddSkill<CDirectAttackSkillRecord>(registry, "Quake", 3);
    quake.flags = 0x10;
    quake.skillWord2 = 3;  // aimed at a ground area
    quake.shootInfo.modelName = kModel;
    quake.shootInfo.effectName = "SPARK.DRE";
    quake.effects.push_back({nullptr, "Stun"});
    for (size_t i = 0; i < quake.levels.size(); ++i) {
        quake.levels[i]->amount[2] = FloatBits(0.5f);
        quake.levels[i]->amount[3] = FloatBits(30.0f + 10.0f * static_cast<float>(i));
    }
    if (auto* dawn = static_cast<CUnitData*>(registry.FindRecord(CAT_UNIT, NameHash("Dawn Hunter"))))
        for (const char* skill : {"Smite", "Lance", "Guard", "Valor", "Quake"})
            dawn->skills.push_back({nullptr, skill});
    // A hero of the first side carries it too, so that a practice match on
    // the local test server shows the marker without changing sides.
    if (auto* blade = static_cast<CUnitData*>(registry.FindRecord(CAT_UNIT, NameHash("Night Blade"))))
        blade->skills.push_back({nullptr, "Quake"});
    AddUnit(registry, platform::Utf8ToCp949("로드 헌터"), {"Bolt"});
    AddUnit(registry, platform::Utf8ToCp949("로드 뱀파이어"), {"Aura"});

    CBuildingData& tower = registry.AddNamed(std::make_unique<CBuildingData>(), "Tower");
    tower.model = kModel;
    tower.skills.push_back({nullptr, "Bolt"});
    tower.shootInfo.modelName = kModel;

    CDecorationData& tree = registry.AddNamed(std::make_unique<CDecorationData>(), "Tree");
    tree.model = kModel;
    tree.mesh = kMesh;
    CDecorationData& rock = registry.AddNamed(std::make_unique<CDecorationData>(), "Rock");
    rock.model = kModel;
    rock.flags |= 1u << 21;

    CItemData& potion = registry.AddNamed(std::make_unique<CItemData>(), "Potion");
    potion.model = kModel;
    potion.icon = "ICON2.DDS";
    potion.useSkill = "Drink";
    potion.itemWord[1] = 3;  // charges
    CItemData& sword = registry.AddNamed(std::make_unique<CItemData>(), "Sword");
    sword.kind = 1;  // equipment: a use takes no charge
    sword.model = kModel;
    sword.icon = "ICON1.DDS";
    sword.effect = "SPARK.DRE";
    sword.statsA[3] = FloatBits(12.0f);  // attack power
    sword.statsA[4] = FloatBits(2.0f);   // armour
    sword.statsB[4] = 1;
    sword.linkedItems.push_back({nullptr, NameHash("Potion")});
    sword.cooldownItem = NameHash("Potion");

    // A consumable whose copies stack up to five charges.
    CItemData& elixir = registry.AddNamed(std::make_unique<CItemData>(), "Elixir");
    elixir.model = kModel;
    elixir.icon = "ICON2.DDS";
    elixir.useSkill = "Drink";
    elixir.itemWord[3] = 5;

    CPreloadTable& preload = registry.PreloadTable();
    preload.names[0] = "HIT1.WAV";
    preload.names[2] = "HIT2.WAV";
    preload.names[CPreloadTable::kColumns + 2] = "HIT3.WAV";

    auto combination = std::make_unique<ItemCombination>();
    combination->members = {registry.FindRecord(CAT_ITEM, NameHash("Potion")),
                            registry.FindRecord(CAT_ITEM, NameHash("Potion"))};
    combination->resultItem = registry.FindRecord(CAT_ITEM, NameHash("Sword"));
    combination->value = 50;
    registry.AddCombination(std::move(combination));
    // A certain recipe.
    auto certain = std::make_unique<ItemCombination>();
    certain->members = {registry.FindRecord(CAT_ITEM, NameHash("Elixir")),
                        registry.FindRecord(CAT_ITEM, NameHash("Potion"))};
    certain->resultItem = registry.FindRecord(CAT_ITEM, NameHash("Sword"));
    registry.AddCombination(std::move(certain));

    auto entry = std::make_unique<ItemCatalogueEntry>();
    entry->code = 12;
    entry->texts = {"Sword", "A plain sword", sample_cards::kCardIcon};
    entry->values = {1, 100, 0, 0, 0};
    registry.AddCatalogueEntry(std::move(entry));
    auto text = std::make_unique<ItemTextEntry>();
    text->code = 1200;
    text->texts = {"Sword", sample_cards::kCardIcon, "Sharp"};
    registry.AddTextEntry(std::move(text));
    sample_cards::AddSampleCards(registry);
}

std::vector<uint32_t> SampleHeroIds(int side) {
    // Heroes of the four open race tabs only: the hidden tab is not for everyone.
    constexpr uint32_t kHero = 0x10, kOpenRaces = 0xF00u, kNotListed = 0x40000000u, kSide = 1u << 28;
    CGameDataRegistry registry;
    BuildSampleGameData(registry);
    std::vector<uint32_t> ids;
    for (const CGameDataRecord* record : registry.Records(CAT_UNIT).Records())
        if ((record->flags & kHero) && (record->flags & kOpenRaces) && !(record->flags & kNotListed) &&
            ((record->flags & kSide) ? 1 : 0) == side)
            ids.push_back(record->id);
    return ids;
}

std::vector<uint8_t> SampleGameDataBlock() {
    CGameDataRegistry registry(false);
    BuildSampleGameData(registry);
    CFileStream s;
    s.OpenMemoryWrite(kSampleDataBlock);
    registry.WriteDataBlock(s);
    return s.Bytes();
}

int AddSampleGameData(CPackageWriter& package) {
    bool ok = package.Add(kSampleDataBlock, SampleGameDataBlock()) != 0;
    ok = ok && package.Add("SPARK.DRE", WriteEffectFile(MakeEffectFile({BillboardLayer("SPARK.DDS")})));
    ok = ok && package.Add("MESHFX.DRE", WriteEffectFile(MakeEffectFile({MeshLayer(kMesh)})));
    ok = ok && package.Add("AURA.DRE", WriteEffectFile(MakeEffectFile({OrbitLayer("SPARK.DDS")})));
    ok = ok && package.Add("SPARK.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 8, 8, 0xFFFFE080u));
    ok = ok && package.Add("ICON1.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 32, 32, 0xFF3060C0u));
    ok = ok && package.Add("ICON2.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 32, 32, 0xFF808080u));
    for (uint32_t i = 1; i <= 3; ++i) ok = ok && package.Add("HIT" + std::to_string(i) + ".WAV", HitSound(i));
    ok = ok && AddSampleWeather(package);
    return ok ? 1 : 0;
}
