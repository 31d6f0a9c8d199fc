#include "world/WalkGrid.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/render/GameObject.h"
#include "tests/fixtures/AsciiWalkGrid.h"
#include "tests/fixtures/TempFolder.h"
#include "world/PathFinder.h"

using platform::Vec3;

namespace {

// The cells a line walk visits, found by blocking one cell at a time.
std::string Visited(CWalkGrid& grid, int32_t x0, int32_t z0, int32_t x1, int32_t z1) {
    std::string text;
    for (int32_t z = 0; z < grid.height(); ++z) {
        for (int32_t x = 0; x < grid.width(); ++x) {
            grid.Cell(x, z) = CELL_BLOCKED;
            if (!grid.IsLineClear(x0, z0, x1, z1, CWalkGrid::LINE_TERRAIN))
                text += (text.empty() ? "" : " ") + std::string("(") + std::to_string(x) + "," + std::to_string(z) + ")";
            grid.Cell(x, z) = 0;
        }
    }
    return text;
}

TEST(WalkGrid, LineWalksVisitTheCellsAfterTheStartUpToTheEnd) {
    struct Case {
        int32_t x0, z0, x1, z1;
        const char* visited;  // sorted by row, then column
    };
    const Case cases[] = {
        {3, 3, 3, 3, ""},                         // same cell: an empty walk
        {0, 0, 3, 3, "(1,1) (2,2) (3,3)"},        // diagonal: z-major, one cell per row
        {3, 3, 0, 0, "(0,0) (1,1) (2,2)"},
        {3, 0, 0, 3, "(2,1) (1,2) (0,3)"},
        {0, 3, 3, 0, "(3,0) (2,1) (1,2)"},
        {0, 0, 1, 3, "(0,1) (1,2) (1,3)"},        // steep
        {1, 3, 0, 0, "(0,0) (0,1) (1,2)"},
        {0, 0, 3, 1, "(1,0) (2,1) (3,1)"},        // shallow
        {3, 1, 0, 0, "(0,0) (1,0) (2,1)"},
        {0, 2, 4, 2, "(1,2) (2,2) (3,2) (4,2)"},  // along a row
        {2, 4, 2, 0, "(2,0) (2,1) (2,2) (2,3)"},  // along a column
        {-3, -9, 1, 1, "(1,1)"},                  // ends outside are clamped to the edge
    };
    CPathFinder finder;
    ASSERT_EQ(finder.Setup(5, 5, 5.0f), 1);
    for (const Case& c : cases)
        EXPECT_EQ(Visited(finder.walkGrid(), c.x0, c.z0, c.x1, c.z1), c.visited)
            << c.x0 << "," << c.z0 << " -> " << c.x1 << "," << c.z1;
}

TEST(WalkGrid, TheFourCellTestsDiffer) {
    CPathFinder finder;
    ASSERT_TRUE(LoadAsciiWalkGrid(finder, {"......"}));
    CWalkGrid& grid = finder.walkGrid();
    grid.Cell(1, 0) = CELL_WAYPOINT;  // walkable and terrain-free, but not empty
    grid.Cell(2, 0) = CELL_OCCUPIED;
    EXPECT_TRUE(grid.IsLineClear(0, 0, 1, 0, CWalkGrid::LINE_OBJECTS));
    EXPECT_FALSE(grid.IsLineClear(0, 0, 2, 0, CWalkGrid::LINE_OBJECTS));
    EXPECT_TRUE(grid.IsLineClear(0, 0, 5, 0, CWalkGrid::LINE_TERRAIN));

    PathPoint found;
    found.y = 7;
    ASSERT_TRUE(grid.FindCellOnLine(0, 0, 5, 0, CWalkGrid::LINE_TERRAIN, &found));
    EXPECT_EQ(found.cellX, 3);
    EXPECT_EQ(found.cellZ, 0);
    EXPECT_FLOAT_EQ(found.x, 35.0f);
    EXPECT_FLOAT_EQ(found.y, 0.0f);
    EXPECT_FLOAT_EQ(found.z, 5.0f);

    grid.Cell(4, 0) = CELL_BLOCKED | CELL_OCCUPIED;
    grid.Cell(5, 0) = CELL_BLOCKED;  // terrain-only
    ASSERT_TRUE(grid.FindCellOnLine(0, 0, 5, 0, CWalkGrid::LINE_OBJECTS, &found));
    EXPECT_EQ(found.cellX, 5);
    EXPECT_FALSE(grid.FindCellOnLine(0, 0, 4, 0, CWalkGrid::LINE_OBJECTS, &found));
    EXPECT_FALSE(grid.FindCellOnLine(2, 0, 2, 0, CWalkGrid::LINE_TERRAIN, &found)) << "an empty walk finds nothing";
    EXPECT_EQ(found.cellX, 5) << "left alone";

    Vec3 onWorld(-1, 42, -1);
    ASSERT_TRUE(grid.FindCellOnWorldLine(Vec3(1, 0, 1), Vec3(59, 0, 9), &onWorld));
    EXPECT_FLOAT_EQ(onWorld.x, 35.0f);
    EXPECT_FLOAT_EQ(onWorld.y, 42.0f) << "only x and z are written";
    EXPECT_FLOAT_EQ(onWorld.z, 5.0f);
}

TEST(WalkGrid, SetupRefusesSizesPastTheMapLimit) {
    CPathFinder finder;
    CWalkGrid& grid = finder.walkGrid();
    for (auto [w, h, size] : {std::tuple{0, 4, 5.0f}, {4, -1, 5.0f}, {2049, 4, 5.0f}, {4, 4, 0.0f}, {4, 4, -5.0f}}) {
        EXPECT_EQ(grid.Setup(w, h, size), 0) << w << " x " << h << " size " << size;
        EXPECT_EQ(ErrorReport().GetCode(), ERR_DATA);
        EXPECT_EQ(g_pWalkGridView, nullptr);
    }
    ASSERT_EQ(grid.Setup(2048, 1, 5.0f), 1);
    ASSERT_NE(g_pWalkGridView, nullptr);
    EXPECT_EQ(g_pWalkGridView->width, 2048);
    EXPECT_EQ(g_pWalkGridView->cells, &grid.Cell(0, 0));
    grid.Free();
    EXPECT_EQ(g_pWalkGridView, nullptr);
}

TEST(WalkGrid, SavesAndReadsTheTerrainBitOnly) {
    TempFolder folder;
    CPathFinder finder;
    ASSERT_TRUE(LoadAsciiWalkGrid(finder, {"#.o", "o##"}));
    CWalkGrid& grid = finder.walkGrid();
    grid.Cell(1, 0) |= CELL_WAYPOINT;
    std::string path = folder.Path("grid.bin");
    {
        CFileStream out;
        ASSERT_TRUE(out.OpenWrite(path.c_str()));
        ASSERT_EQ(grid.Serialize(out), 1);
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<unsigned char> expected = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(bytes, expected);

    // Stray high bits in a stored word are dropped on reading.
    std::vector<unsigned char> stray = {0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0, 0, 0x10, 0, 0, 0, 0,
                                        0x11, 0, 0, 0,          0,    0, 0, 0,    3, 0, 0, 0x80};
    std::string strayPath = folder.Write("stray.bin", stray);
    CFileStream read;
    ASSERT_TRUE(read.OpenRead(strayPath.c_str()));
    ASSERT_EQ(grid.Serialize(read), 1);
    const uint32_t kept[6] = {1, 0, 0, 1, 0, 1};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(grid.Cell(i % 3, i / 3), kept[i]) << i;

    // A short section fails and leaves the grid as it was.
    std::string shortPath = folder.Write("short.bin", std::vector<unsigned char>(20, 0));
    CFileStream shortRead;
    ASSERT_TRUE(shortRead.OpenRead(shortPath.c_str()));
    EXPECT_EQ(grid.Serialize(shortRead), 0);
    EXPECT_EQ(ErrorReport().GetCode(), ERR_DATA);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(grid.Cell(i % 3, i / 3), kept[i]) << i;
}

TEST(WalkGrid, GameObjectsMarkTheirFootprintOnTheRealGrid) {
    CPathFinder finder;
    ASSERT_EQ(finder.Setup(4, 3, 5.0f), 1);
    CWalkGrid& grid = finder.walkGrid();
    grid.Cell(0, 0) = CELL_WAYPOINT;
    CGameObject a, b;
    for (CGameObject* object : {&a, &b}) {
        object->bounds.innerBox[3] = Vec3(-12, 0, 1);
        object->bounds.innerBox[1] = Vec3(6, 0, 9);
        object->flags |= SO_OCCUPIES_GRID;
        object->OccupyGrid(1);
    }
    EXPECT_EQ(grid.Cell(0, 0), CELL_WAYPOINT | 0x30u);
    EXPECT_EQ(grid.Cell(1, 1), 0x30u);
    EXPECT_EQ(grid.Cell(2, 1), 0u);
    EXPECT_FALSE(grid.IsWalkable(1, 1));
    a.VacateGrid(1);
    EXPECT_EQ(grid.Cell(1, 1), 0x10u) << "one occupant left";
    b.VacateGrid(1);
    EXPECT_EQ(grid.Cell(0, 0), static_cast<uint32_t>(CELL_WAYPOINT));
    EXPECT_EQ(grid.Cell(1, 1), 0u);
}

}  // namespace
