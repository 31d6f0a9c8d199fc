#include "tools/SampleMap.h"

#include <cmath>
#include <cstdio>

#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/PackageWriter.h"
#include "tools/SampleGameData.h"
#include "platform/CodePage.h"
#include "platform/NameHash.h"
#include "world/GameDataRecord.h"
#include "world/MapScenario.h"
#include "world/TriggerElements.h"
#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"

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

namespace {
void AddSampleTriggers(CMapScenario& scenario);
}

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
    d.areas = {{"Team1", Vec3(48, 0, 48), 64, 64}, {"Team2", Vec3(272, 0, 272), 64, 64},
               {"CreepCamp", Vec3(170, 0, 125), 40, 40}};
    d.triggers = AddSampleTriggers;
    // What a lord's altar brings when it falls before the lords' time.
    d.spawnGroups = {{platform::NameHash("Creep")}, {platform::NameHash("Creep")}};
    for (int32_t x = 2; x < 6; ++x)
        for (int32_t z = 1; z < 4; ++z) d.water.push_back({1, x, z, 8.0f, 0x804080C0u});
    d.blendLayers = 1;
    d.blendAlpha = [](int32_t patch, uint32_t, int32_t x, int32_t y) {
        return static_cast<uint8_t>(patch % 2 ? x * 4 : y * 4);
    };
    return d;
}

namespace {
// Creeps come to their camp after a minute, each with a potion to drop, with an
// alert on the minimap and a line in the chat; once the camp is cleared they
// come again.
std::unique_ptr<CTriggerSpawnAction> CampSpawn() {
    auto spawn = std::make_unique<CTriggerSpawnAction>();
    spawn->areaHash = platform::NameHash("CreepCamp");
    spawn->unitId = platform::NameHash("Creep");
    spawn->drops.push_back({platform::NameHash("Potion"), 1, nullptr, 0});
    spawn->count = 2;
    spawn->owner = 37;
    return spawn;
}

// Each team's lord appears at its team's altar, the object the altar's
// trigger names; the spawn's lord index says which lord (1: the Light's, 0:
// the Darkness's). An altar that falls before the lords' time calls creeps
// from that spawn group instead.
void AddLordAltar(CMapScenario& scenario, const char* name, int32_t altarId, uint32_t lordIndex) {
    auto altar = std::make_unique<CTrigger>();
    altar->SetName(name);
    auto fallen = std::make_unique<CObjectDeadCondition>();
    fallen->objectId = static_cast<uint32_t>(altarId);
    altar->AddCondition(std::move(fallen));
    auto spawn = std::make_unique<CTriggerSpawnAction>();
    spawn->areaHash = platform::NameHash("CreepCamp");
    spawn->count = 2;
    spawn->owner = 37;
    spawn->lordFlag = 1;
    spawn->lordIndex = lordIndex;
    altar->AddAction(std::move(spawn));
    scenario.Triggers().push_back(std::move(altar));
}

// The lords' time: its fixed-owner spawns name the two teams' lords. The
// lords themselves come through the scenario's lord event at that time, so
// the spawns bring no unit of their own, and the trigger removes itself.
void AddLordTriggers(CMapScenario& scenario) {
    AddLordAltar(scenario, "LordAltarLight", kLordAltarIds[0], 1);
    AddLordAltar(scenario, "LordAltarDark", kLordAltarIds[1], 0);
    auto time = std::make_unique<CTrigger>();
    time->SetName("LordTime");
    auto at = std::make_unique<CGameTimeCondition>();
    at->gameTime = kSampleLordTime;
    time->AddCondition(std::move(at));
    const char* const lords[2] = {"로드 뱀파이어", "로드 헌터"};
    for (uint32_t team = 0; team < 2; ++team) {
        auto spawn = std::make_unique<CTriggerSpawnAction>();
        spawn->areaHash = platform::NameHash(team == 0 ? "Team1" : "Team2");
        spawn->unitId = platform::NameHash(platform::Utf8ToCp949(lords[team]));
        spawn->owner = 24 + team;
        spawn->fixedOwnerFlag = 1;
        time->AddAction(std::move(spawn));
    }
    auto done = std::make_unique<CTriggerControlAction>(4);
    done->targetHash = time->hash;
    time->AddAction(std::move(done));
    scenario.Triggers().push_back(std::move(time));
}

// A trigger on the camp's clock: first after a minute, then every minute.
std::unique_ptr<CTrigger> TimerTrigger(const char* name, uint32_t repeatCount) {
    auto trigger = std::make_unique<CTrigger>();
    trigger->SetName(name);
    auto timer = std::make_unique<CTimerCondition>();
    timer->firstDelay = 60.0f;
    timer->interval = 60.0f;
    timer->repeatCount = repeatCount;
    trigger->AddCondition(std::move(timer));
    return trigger;
}

void AddSampleTriggers(CMapScenario& scenario) {
    // A wave each minute, twice, then a minute's pause (a repeat count of 2).
    auto wave = TimerTrigger("CreepWave", 2);
    wave->AddAction(CampSpawn());
    scenario.Triggers().push_back(std::move(wave));

    // The first wave's news. A map alert spends its trigger, so the news has
    // a trigger of its own and the waves go on.
    auto news = TimerTrigger("CreepNews", 0);
    auto alert = std::make_unique<CMapAlertAction>();
    alert->x = 170.0f;
    alert->z = 125.0f;
    news->AddAction(std::move(alert));
    auto message = std::make_unique<CSystemMessageAction>();
    message->text = "Creeps gather at the camp.";
    news->AddAction(std::move(message));
    scenario.Triggers().push_back(std::move(news));

    auto respawn = std::make_unique<CTrigger>();
    respawn->SetName("CreepRespawn");
    auto cleared = std::make_unique<CAreaClearedCondition>();
    cleared->firstDelay = 90.0f;
    cleared->interval = 30.0f;
    respawn->AddCondition(std::move(cleared));
    respawn->AddAction(CampSpawn());
    scenario.Triggers().push_back(std::move(respawn));
    AddLordTriggers(scenario);
}

// The placed objects: a tower of the Darkness, trees, two hostile creeps, a
// potion and the two lords' altars (the only ones with ids of their own).
struct PlacedObject {
    int32_t type;
    const char* record;
    int32_t owner;
    float x, z;
    int32_t id = -1;
};
constexpr PlacedObject kPlaced[] = {
    {CAT_BUILDING, "Tower", 25, 250, 250},
    {CAT_DECORATION, "Tree", 36, 120, 200},
    {CAT_DECORATION, "Tree", 36, 140, 215},
    {CAT_DECORATION, "Tree", 36, 60, 250},
    {CAT_UNIT, "Creep", 37, 160, 120},
    {CAT_UNIT, "Creep", 37, 175, 130},
    {CAT_ITEM, "Potion", 36, 100, 100},
    {CAT_BUILDING, "Tower", 24, 90, 70, kLordAltarIds[0]},
    {CAT_BUILDING, "Tower", 25, 230, 250, kLordAltarIds[1]},
};
}  // namespace

bool AddSampleMap(CPackageWriter& package) {
    MapDescription d = SampleMapDescription();
    // The objects write themselves; they need a manager's pools while they exist.
    CWorldObjectManager manager;
    std::vector<CWorldObject*> objects;
    for (const PlacedObject& p : kPlaced) {
        CWorldObject* o = manager.CreateObject(p.type);
        if (!o) break;
        o->objectType = p.type;
        o->recordName = p.record;
        o->recordKey = platform::NameHash(p.record);
        o->owner = p.owner;
        o->position = {p.x, 0, p.z};
        o->bounds.scale = 1.0f;
        o->id = p.id;
        objects.push_back(o);
        d.objects.push_back({o, 0});
    }
    const bool allMade = objects.size() == std::size(kPlaced);
    const std::vector<uint8_t> map = allMade ? WriteMapFile(d) : std::vector<uint8_t>(), side = WriteMapSideFile(d);
    for (CWorldObject* o : objects) manager.DestroyObject(o);
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
    ok = ok && package.Add(kSampleMapLoadingPicture,
                           CDdsWriter::Solid(platform::FMT_A8R8G8B8, 64, 48, kSampleMapLoadingColour)) != 0;
    return ok && package.Add(kSampleMinimapIcon, CDdsWriter::Solid(platform::FMT_A8R8G8B8, 8, 8, 0xFFFFFFFFu)) != 0;
}
