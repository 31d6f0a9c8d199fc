// The map container: loading a map written by our writer (on a worker thread,
// with its progress), refusals and damaged maps, the side file, water and the
// minimap.
#include <atomic>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "platform/GfxRecordingDevice.h"
#include "platform/NameHash.h"
#include "tests/fixtures/IndexedFolder.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/world/MapTestObject.h"
#include "tools/MapWriter.h"
#include "world/GameDataRegistry.h"
#include "world/TriggerElements.h"
#include "world/ZEMMap.h"

using platform::Vec3;

namespace {

float Hills(float x, float z) { return 20.0f * std::sin(x / 80.0f) * std::cos(z / 100.0f) + 30.0f; }

MapDescription TwoByTwo() {
    MapDescription d;
    d.names[0] = "Test map";
    d.names[1] = "two";
    d.names[2] = "three";
    d.dataStamp = 77;
    d.across = d.deep = 2;
    d.height = Hills;
    for (int32_t z = 10; z < 54; ++z) d.blockedCells.emplace_back(30, z);
    d.areas = {{"Team1", Vec3(40, 0, 40), 60, 60}, {"Team2", Vec3(280, 0, 280), 60, 60},
               {"Team1", Vec3(100, 0, 100), 10, 10}};
    d.areaValues = {5, 6};
    d.water = {{1, 2, 3, 12.5f}, {1, 7, 7, 13.0f}};
    d.objects = {{nullptr, 0x12345678u}};
    d.itemGroups = {{{1, 2}, {}}};
    d.baseItems = {3};
    d.blendLayers = 1;
    return d;
}

struct MapLoad : ::testing::Test {
    TempFolder tmp;
    CErrorReport report;
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        return tmp.Write(name, std::vector<unsigned char>(bytes.begin(), bytes.end()));
    }
};

TEST_F(MapLoad, AWrittenMapLoadsOnAWorkerThreadWithItsProgress) {
    std::vector<CMapTestObject> placed(2);
    placed[0].position = {100, 0, 60};
    placed[1].position = {250, 0, 200};
    MapDescription d = TwoByTwo();
    d.objects.push_back({&placed[0], 0});
    d.objects.push_back({&placed[1], 0});
    const std::string path = Write("TEST.DRM", WriteMapFile(d));
    Write("TEST.DRT", WriteMapSideFile(d));

    CZEMMap map;
    UseMapTestObjects(map.objects);
    std::atomic<float> progress{0};
    int result = 0;
    std::thread loader([&] { result = map.LoadMap(path.c_str(), 0, &progress, 82.0f); });
    loader.join();
    ASSERT_EQ(result, 1) << report.GetText();
    EXPECT_NEAR(progress.load(), 82.0f * 0.99f, 1e-3);
    EXPECT_EQ(map.names[2], "three");
    EXPECT_EQ(map.dataStamp, 77u);

    float h = 0;
    ASSERT_NE(map.terrain.GetHeightAt(Vec3(60, 0, 140), &h), nullptr);
    EXPECT_NEAR(h, Hills(60, 140), 1e-3);
    EXPECT_EQ(map.terrain.PathFinder().walkGrid().Cell(30, 20) & CELL_BLOCKED, CELL_BLOCKED);
    EXPECT_GT(map.terrain.PathFinder().waypointGraph().nodeCount(), 0);
    ASSERT_NE(map.areas.TeamArea(0), nullptr);
    EXPECT_FLOAT_EQ(map.areas.TeamArea(0)->centre.x, 40.0f);  // the first of the name
    EXPECT_NE(map.areas.TeamArea(1), nullptr);
    EXPECT_EQ(map.areas.TeamArea(4), nullptr);
    EXPECT_EQ(map.areas.Values(), (std::vector<uint32_t>{5, 6}));
    EXPECT_TRUE(map.IsWaterAt(Vec3(160 + 45, 0, 65)));
    EXPECT_FLOAT_EQ(map.GetWaterHeight(Vec3(160 + 159, 0, 159)), 13.0f);
    EXPECT_FLOAT_EQ(map.GetWaterHeight(Vec3(20, 0, 20)), CMapWater::kNoWater);
    EXPECT_FLOAT_EQ(map.GetWaterHeight(Vec3(-5, 0, 20)), CMapWater::kNoWater);
    EXPECT_FLOAT_EQ(map.GetWaterHeight(Vec3(400, 0, 20)), CMapWater::kNoWater);
    EXPECT_EQ(map.objects.Objects().size(), 2u);
    EXPECT_EQ(map.tree.ObjectCount(), 4 + 2);
    // Missing item records stay as empty references in their lists.
    ASSERT_EQ(map.itemGroups.size(), 1u);
    EXPECT_EQ(map.itemGroups[0][0], (std::vector<CGameDataRecord*>{nullptr, nullptr}));
    ASSERT_NE(map.terrain.SightGrid(), nullptr);
    EXPECT_EQ(map.terrain.SightGrid()->sizeX(), 32);
    EXPECT_EQ(map.objects.sightGrid, map.terrain.SightGrid());
    EXPECT_EQ(map.sideLayers, 2u);
    EXPECT_TRUE(map.terrain.Patch(0)->HasBlendMap(1));

    // Cleared between matches, and loaded again.
    map.Clear();
    EXPECT_EQ(map.objects.sightGrid, nullptr);
    EXPECT_TRUE(map.objects.Objects().empty());
    EXPECT_EQ(map.terrain.patchCount(), 0);
    ASSERT_EQ(map.LoadMap(path.c_str(), 0, nullptr, 1.0f), 1) << report.GetText();
    EXPECT_EQ(map.objects.Objects().size(), 2u);
    EXPECT_EQ(map.tree.ObjectCount(), 4 + 2);
}

TEST_F(MapLoad, VersionsStampAndDataName) {
    std::vector<uint8_t> bytes = WriteMapFile(TwoByTwo());
    // The next float above 1.57 (1.5700001) and an older version.
    for (float version : {std::nextafter(1.57f, 2.0f), 1.56f}) {
        std::vector<uint8_t> changed = bytes;
        std::memcpy(changed.data(), &version, 4);
        const std::string path = Write("V.DRM", changed);
        CZEMMap map;
        EXPECT_EQ(map.LoadMap(path.c_str(), 0, nullptr, 1), 0);
        EXPECT_EQ(report.GetCode(), ERR_FILE_VERSION);
        std::string name;
        EXPECT_EQ(map.ReadMapHeader(path.c_str(), &name, nullptr, nullptr, nullptr), 0);
    }
    CGameDataRegistry registry;
    registry.blockValue = 5;
    MapDescription d = TwoByTwo();
    d.dataFileName = "GAME.DAT";
    const std::string stamped = Write("S.DRM", WriteMapFile(d));
    {
        CZEMMap map;
        EXPECT_EQ(map.LoadMap(stamped.c_str(), 0, nullptr, 1), 0);
        EXPECT_EQ(report.GetCode(), ERR_RESOURCE_LINK);
    }
    // No data name: no check.
    const std::string plain = Write("P.DRM", WriteMapFile(TwoByTwo()));
    CZEMMap map;
    EXPECT_EQ(map.LoadMap(plain.c_str(), 0, nullptr, 1), 1) << report.GetText();
    std::string names[3];
    uint32_t stamp = 0;
    ASSERT_EQ(map.ReadMapHeader(plain.c_str(), &names[0], &names[1], &names[2], &stamp), 1);
    EXPECT_EQ(names[0], "Test map");
    EXPECT_EQ(stamp, 77u);
    // Without its side file the terrain keeps its base layer.
    EXPECT_EQ(map.terrain.LayerTextures().size(), 1u);
    EXPECT_FALSE(map.terrain.Patch(0)->HasBlendMap(1));
}

TEST_F(MapLoad, RefusesBadSizesAndCutMapsCleanly) {
    for (int32_t across : {0, 65}) {
        MapDescription d = TwoByTwo();
        std::vector<uint8_t> bytes = WriteMapFile(d);
        // The section's first field follows the header: version, stamp, three names, two flags, data name.
        size_t at = 4 + 4 + (4 + 9) + (4 + 4) + (4 + 6) + 4 + 4 + 4;
        std::memcpy(bytes.data() + at, &across, 4);
        const std::string path = Write("B.DRM", bytes);
        CZEMMap map;
        EXPECT_EQ(map.LoadMap(path.c_str(), 0, nullptr, 1), 0);
        EXPECT_EQ(report.GetCode(), ERR_DATA);
    }
    std::vector<CMapTestObject> placed(1);
    placed[0].position = {100, 0, 60};
    MapDescription d = TwoByTwo();
    d.objects.push_back({&placed[0], 0});
    const std::vector<uint8_t> bytes = WriteMapFile(d);
    const size_t end = bytes.size() - 16;
    std::vector<size_t> cuts;
    for (size_t n = 0; n < end; n += (n < 200 || n + 600 > end) ? 4 : 997) cuts.push_back(n);
    for (size_t n : cuts) {
        const std::string path = Write("C.DRM", std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(n)));
        CZEMMap map;
        UseMapTestObjects(map.objects);
        EXPECT_EQ(map.LoadMap(path.c_str(), 0, nullptr, 1), 0) << n;
    }
}

TEST_F(MapLoad, AMapInsideAPackageAtAnOffset) {
    IndexedFolder folder;
    CPackageWriter package("MAPS.DRP");
    package.Add("FIRST.TXT", std::string(333, 'x'));
    package.Add("PACKED.DRM", WriteMapFile(TwoByTwo()));
    ASSERT_TRUE(folder.WritePackage(package));
    ASSERT_TRUE(folder.Index());
    CFileIndex* before = g_pFileIndex;
    g_pFileIndex = &folder.index;
    CZEMMap map;
    const int result = map.LoadMap("PACKED.DRM", 0, nullptr, 1);
    std::string name;
    const int header = map.ReadMapHeader("PACKED.DRM", &name, nullptr, nullptr, nullptr);
    g_pFileIndex = before;
    EXPECT_EQ(result, 1) << report.GetText();
    EXPECT_EQ(header, 1);
    EXPECT_EQ(name, "Test map");
    EXPECT_EQ(map.terrain.patchCount(), 4);
}

TEST(MapContainer, NothingBeforeAMapAndNoWaterFrames) {
    CErrorReport report;
    CZEMMap map;
    map.SetMinimapRect(0, 0, 100, 100);
    EXPECT_EQ(map.minimapRect().width, 0);
    EXPECT_FALSE(map.IsWaterAt(Vec3(10, 0, 10)));
    EXPECT_FLOAT_EQ(map.GetWaterHeight(Vec3(10, 0, 10)), CMapWater::kNoWater);
    EXPECT_EQ(map.CreateWater(0, 3.0f, "WATER%02d.DDS"), 0);
    EXPECT_EQ(report.GetCode(), ERR_DATA);
}

TEST(MapContainer, MinimapRectangles) {
    struct Case {
        int32_t across, deep, width, height;
        int32_t left, top, pixelWidth, pixelHeight;
    } cases[] = {
        {4, 2, 200, 200, 10, 60, 200, 100},  // wide
        {2, 4, 200, 200, 60, 10, 100, 200},  // tall
        {3, 2, 101, 99, 10, 26, 101, 67},    // odd sizes
        {2, 2, 150, 120, 25, 10, 120, 120},  // square map in a wide rectangle
    };
    for (const Case& c : cases) {
        CZEMMap map;
        ASSERT_EQ(map.terrain.BuildTree(c.across, c.deep, 1, 0), 1);
        map.SetMinimapRect(10, 10, c.width, c.height);
        EXPECT_EQ(map.minimapRect().width, c.pixelWidth) << c.across << "x" << c.deep;
        EXPECT_EQ(map.minimapRect().height, c.pixelHeight);
        EXPECT_EQ(map.minimapRect().left, c.left);
        EXPECT_EQ(map.minimapRect().top, c.top);
    }
}

TEST(MapContainer, MinimapDrawsMarksInBatchesOfAHundred) {
    CErrorReport report;
    platform::CGfxRecordingDevice device;
    CZEMMap map(&device);
    UseTestObjects(map.objects);
    ASSERT_EQ(map.terrain.BuildTree(2, 2, 1, 0), 1);
    map.sideFileWanted = 0;
    ASSERT_EQ(map.CreateDeviceObjects(), 1) << report.GetText();
    map.SetMinimapRect(0, 0, 128, 128);
    for (int i = 0; i < 250; ++i) {
        CTestWorldObject* o = NewTestObject(map.objects, 10.0f + static_cast<float>(i), 20, 1);
        o->owner = 24;
        ASSERT_EQ(map.objects.RegisterObject(o, -1, 0, 0), 1);
    }
    device.ClearLog();
    map.DrawMinimap(MinimapHeroes(), 0, 0);
    std::vector<std::string> draws;
    for (const std::string& line : device.Log())
        if (line.rfind("Draw", 0) == 0) draws.push_back(line);
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_NE(draws[0].find("prims 200"), std::string::npos) << draws[0];
    EXPECT_NE(draws[2].find("prims 100"), std::string::npos) << draws[2];

    // Colours and sizes of marks.
    CTestWorldObject* own = NewTestObject(map.objects, 50, 50, map.objects.localTeam);
    uint32_t color = 0;
    float half = 0;
    ASSERT_TRUE(map.MarkOf(*own, 1, 0, &color, &half));
    EXPECT_EQ(color, 0xFF00FF00u);
    EXPECT_FLOAT_EQ(half, 2.0f);
    ASSERT_TRUE(map.MarkOf(*own, 0, 0, &color, &half));
    EXPECT_FLOAT_EQ(half, 2.5f);  // a small unit gets the minimum
    own->team = 13;
    ASSERT_TRUE(map.MarkOf(*own, 1, 0, &color, &half));
    EXPECT_EQ(color, 0xFF333333u);
    own->team = 12;
    own->owner = 12;
    own->flags = WO_KIND_ITEM;
    EXPECT_FALSE(map.MarkOf(*own, 1, 0, &color, &half));
    ASSERT_TRUE(map.MarkOf(*own, 1, 1, &color, &half));
    EXPECT_EQ(color, 0xFF000000u);
    own->flags = WO_KIND_DECORATION;
    own->unitFlags = 0x100000;
    ASSERT_TRUE(map.MarkOf(*own, 1, 0, &color, &half));
    EXPECT_EQ(color, 0xFF339900u);
    own->unitFlags = 0x4000000;
    EXPECT_FALSE(map.MarkOf(*own, 1, 1, &color, &half));
    map.objects.DestroyObject(own);
}

TEST(MapContainer, WaterFramesWrapAndMissingFramesChain) {
    CErrorReport report;
    CZEMMap map;
    EXPECT_EQ(map.CreateWater(3, 3.0f, "WATER%02d.DDS"), 0);
    EXPECT_NE(report.Text().find("<- Water"), std::string::npos) << report.GetText();
}

}  // namespace

TEST_F(MapLoad, WrittenTriggersAndSpawnGroupsComeBack) {
    MapDescription d = TwoByTwo();
    d.triggers = [](CMapScenario& scenario) {
        for (const char* name : {"Wave", "Alert"}) {
            auto trigger = std::make_unique<CTrigger>();
            trigger->SetName(name);
            trigger->AddCondition(std::make_unique<CTimerCondition>());
            scenario.Triggers().push_back(std::move(trigger));
        }
    };
    d.spawnGroups.push_back({platform::NameHash("Creep")});
    d.spawnGroups.emplace_back();
    const std::string path = Write("T.DRM", WriteMapFile(d));
    CZEMMap map;
    ASSERT_EQ(map.LoadMap(path.c_str(), 0, nullptr, 1), 1) << report.GetText();
    ASSERT_EQ(map.scenario.Triggers().size(), 2u);
    EXPECT_EQ(map.scenario.Triggers().back()->name, "Alert");
    EXPECT_EQ(map.scenario.Triggers().front()->conditions.size(), 1u);
    // Unknown UNIT ids drop out of their group; the groups stay.
    EXPECT_EQ(map.scenario.SpawnGroups().size(), 2u);
}
