// The sample game folder's map, loaded headless on a worker thread as the
// loading screen does: terrain, objects, areas, walk and sight grids, water.
#include <atomic>
#include <gtest/gtest.h>

#include <thread>

#include "engine/core/NameHash.h"
#include "tests/world/GameDataFolder.h"
#include "tools/SampleMap.h"
#include "world/TriggerElements.h"
#include "world/WorldObject.h"
#include "world/ZEMMap.h"

namespace {

TEST(SampleMap, LoadsHeadlessOnTheLoaderThread) {
    GameDataFolder folder;
    ASSERT_TRUE(folder.made);
    ASSERT_EQ(folder.registry.LoadDataBlock("GAMEDATA.DAT"), 1) << folder.report.GetText();
    CZEMMap map(&folder.device);
    std::string name;
    uint32_t stamp = 0;
    ASSERT_EQ(map.ReadMapHeader(kSampleMap, &name, nullptr, nullptr, &stamp), 1) << folder.report.GetText();
    EXPECT_EQ(name, "Valley");
    EXPECT_EQ(stamp, folder.registry.blockValue);

    std::atomic<float> progress{0};
    int result = 0;
    std::thread loader([&] { result = map.LoadMap(kSampleMap, 0, &progress, 82.0f); });
    loader.join();
    ASSERT_EQ(result, 1) << folder.report.GetText();
    EXPECT_NEAR(progress.load(), 82.0f * 0.99f, 1e-3);

    // Objects registered, in the quadtree with the four patches.
    int units = 0, buildings = 0, decorations = 0, items = 0;
    for (CWorldObject* o : map.objects.Objects()) {
        units += o->objectType == 0;
        buildings += o->objectType == 1;
        decorations += o->objectType == 2;
        items += o->objectType == 3;
        EXPECT_EQ(map.objects.GetObjectById(o->id), o);
    }
    EXPECT_EQ(units, 2);
    EXPECT_EQ(buildings, 3);
    EXPECT_EQ(decorations, 3);
    EXPECT_EQ(items, 1);
    EXPECT_GE(map.tree.ObjectCount(), 4 + 7);

    // The creep camp's wave and respawn, linked to their records; the two
    // lords' altars and their time.
    ASSERT_EQ(map.scenario.Triggers().size(), 6u);
    for (const char* name : {"CreepWave", "CreepRespawn"}) {
        CTrigger* trigger = map.scenario.FindTrigger(NameHash(name));
        ASSERT_NE(trigger, nullptr) << name;
        auto* spawn = dynamic_cast<CTriggerSpawnAction*>(trigger->actions.front().get());
        ASSERT_NE(spawn, nullptr) << trigger->name;
        EXPECT_NE(spawn->unit, nullptr) << trigger->name;
        ASSERT_EQ(spawn->drops.size(), 1u);
        EXPECT_NE(spawn->drops[0].record, nullptr) << trigger->name;
    }

    EXPECT_FLOAT_EQ(map.scenario.Lords().lordTime, kSampleLordTime);
    EXPECT_NE(map.scenario.Lords().lordRecords[0], nullptr);
    EXPECT_NE(map.scenario.Lords().lordRecords[1], nullptr);
    ASSERT_EQ(map.scenario.SpawnGroups().size(), 2u);
    for (int32_t altar : kLordAltarIds) {
        CWorldObject* o = map.objects.GetObjectById(altar);
        ASSERT_NE(o, nullptr) << altar;
        EXPECT_EQ(o->objectType, 1);
    }

    ASSERT_NE(map.areas.TeamArea(0), nullptr);
    ASSERT_NE(map.areas.TeamArea(1), nullptr);
    EXPECT_EQ(map.areas.TeamArea(2), nullptr);

    const CWalkGrid& grid = map.terrain.PathFinder().walkGrid();
    EXPECT_EQ(grid.Cell(10, 32) & CELL_BLOCKED, CELL_BLOCKED);
    EXPECT_EQ(grid.Cell(30, 32) & CELL_BLOCKED, 0u);
    EXPECT_GT(map.terrain.PathFinder().waypointGraph().nodeCount(), 0);

    CSightGrid* sight = map.terrain.SightGrid();
    ASSERT_NE(sight, nullptr);
    EXPECT_EQ(sight->sizeX(), 32);
    EXPECT_EQ(sight->sizeZ(), 32);
    EXPECT_TRUE(sight->IsLayerActive(map.objects.localTeam));
    EXPECT_EQ(map.objects.sightGrid, sight);

    EXPECT_TRUE(map.IsWaterAt(platform::Vec3(160 + 50, 0, 30)));
    EXPECT_FLOAT_EQ(map.GetWaterHeight(platform::Vec3(160 + 50, 0, 30)), 8.0f);
    EXPECT_EQ(map.sideLayers, 2u);
    // Base layer, the blend layer and the overlay; the baked texture of the patch.
    EXPECT_EQ(map.terrain.Patch(2)->LayerSlots(), 2u);
    EXPECT_EQ(map.terrain.Patch(2)->CountPrimitives(), 3 * 128);
    EXPECT_NE(map.terrain.Patch(2)->PatchTexture(), nullptr);
    EXPECT_EQ(map.CreateWater(kSampleWaterFrames, 3.0f, "WATER%02d.DDS"), 1) << folder.report.GetText();
    ASSERT_EQ(map.water.Frames().size(), 45u);

    // Water frames: 45 over 3 seconds, wrapping after the last; a negative step shows frame 0.
    map.terrain.Patch(1)->flags |= SO_VISIBLE;
    folder.device.ClearLog();
    map.RenderWater(2.95f);
    EXPECT_EQ(map.water.CurrentFrame(), 44);
    EXPECT_EQ(folder.device.Count("Draw"), 1u);
    map.RenderWater(0.1f);
    EXPECT_EQ(map.water.CurrentFrame(), 0);
    EXPECT_NEAR(map.water.runningTime(), 0.05f, 1e-4);
    map.RenderWater(0.1f);
    EXPECT_EQ(map.water.CurrentFrame(), 2);
    map.RenderWater(-1.0f);
    EXPECT_EQ(map.water.CurrentFrame(), 0);
    uint32_t lighting = 0;
    folder.device.GetRenderState(platform::RS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, 1u);
    map.Unload();
    folder.registry.ReleaseAllResources();
}

}  // namespace
