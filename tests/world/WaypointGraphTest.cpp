#include "world/WaypointGraph.h"

#include <atomic>
#include <gtest/gtest.h>

#include "tests/fixtures/AsciiWalkGrid.h"
#include "world/PathFinder.h"

using platform::Vec3;

namespace {

std::string WaypointCells(const CWaypointGraph& graph) {
    std::string text;
    for (const PathPoint& p : graph.points())
        text += (text.empty() ? "" : " ") + std::string("(") + std::to_string(p.cellX) + "," +
                std::to_string(p.cellZ) + ")";
    return text;
}

TEST(WaypointGraph, PlacesWayPointsAtTheOuterCornersOfObstacles) {
    struct Case {
        const char* name;
        std::vector<std::string> map;
        const char* waypoints;
    };
    const Case cases[] = {
        {"no obstacle", {"....", "....", "...."}, ""},
        {"a lone block gives four corners", {".....", ".....", "..#..", ".....", "....."}, "(1,1) (3,1) (1,3) (3,3)"},
        {"a diagonal wall: the corner between both ends is left out",
         {".....", "...#.", "..#..", ".#...", "....."},
         "(2,0) (4,0) (0,2) (4,2) (0,4) (2,4)"},
        {"the edge of the grid is open ground", {"#...", "....", "...."}, "(1,1)"},
        {"a cell with a blocked side is none", {"#.#", "...", "..."}, "(1,1)"},
    };
    for (const Case& c : cases) {
        CPathFinder finder;
        ASSERT_TRUE(LoadAsciiWalkGrid(finder, c.map));
        CWaypointGraph& graph = finder.waypointGraph();
        ASSERT_EQ(graph.Build(), 1);
        EXPECT_EQ(WaypointCells(graph), c.waypoints) << c.name;
        for (const PathPoint& p : graph.points())
            EXPECT_EQ(finder.walkGrid().Cell(p.cellX, p.cellZ), CELL_WAYPOINT) << c.name;
    }
}

TEST(WaypointGraph, WayPointsSeeThemselvesAndTheirNeighbours) {
    CPathFinder finder;
    ASSERT_TRUE(LoadAsciiWalkGrid(finder, {".....", ".....", "..#..", ".....", "....."}));
    CWaypointGraph& graph = finder.waypointGraph();
    ASSERT_EQ(graph.Build(), 1);
    // (1,1) sees (3,1) and (1,3) but not (3,3) across the block.
    EXPECT_EQ(graph.Visible(0), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(graph.Visible(3), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(graph.Distance(0, 0, 3), 4) << "trunc(sqrt(18))";
    std::atomic<float> progress{0.25f};
    EXPECT_EQ(graph.BuildDistanceTable(&progress, 0.5f), 1);
    EXPECT_FLOAT_EQ(progress.load(), 0.75f);
}

struct GraphCase {
    const char* name;
    std::vector<std::string> map;
    int result;
    const char* cells;
};

TEST(WaypointGraph, FindsTheWayAroundTerrain) {
    const GraphCase cases[] = {
        {"no obstacles: the straight line", {"S.....", "....o.", ".....G"}, 1, "(0,0) (5,2)"},
        {"objects never count", {"S.o...", "..o...", "..o..G"}, 1, "(0,0) (5,2)"},
        {"a U-shaped wall",
         {"..........",  //
          "..#....#..",  //
          "..#.S..#..",  //
          "..#....#..",  //
          "..######..",  //
          "..........",  //
          ".....G...."},
         1, "(4,2) (8,0) (8,5) (5,6)"},
        {"equal f: the lower estimate wins over the lower slot",
         {"......#.",  //
          "......#.",  //
          ".S.#...#",  //
          ".#...##.",  //
          "....##..",  //
          ".....G.#"},
         1, "(1,2) (3,5) (5,5)"},  // (2,4) and (3,5) both have f 5; (3,5) is nearer the goal
        {"goal in a wall moves back towards the start",
         {"S.........", "......###.", "......#X#.", "......###."}, 1, "(0,0) (5,1)"},
        {"start walled in: the way to the first obstacle",
         {"...#....", ".S.#..G.", "...#....", "####...."}, 1, "(1,1) (3,1)"},
    };
    for (const GraphCase& c : cases) {
        CPathFinder finder;
        ASSERT_TRUE(LoadAsciiWalkGrid(finder, c.map));
        ASSERT_EQ(finder.waypointGraph().Build(), 1);
        std::vector<Vec3> out;
        char goal = FindMark(c.map, 'G').x >= 0 ? 'G' : 'X';
        EXPECT_EQ(finder.FindGraphPath(FindMark(c.map, 'S'), FindMark(c.map, goal), out), c.result) << c.name;
        EXPECT_EQ(CellsOf(out), c.cells) << c.name;
    }
}

TEST(WaypointGraph, OutsideEndsLeaveTheListAlone) {
    CPathFinder finder;
    ASSERT_TRUE(LoadAsciiWalkGrid(finder, {"....", ".#..", "...."}));
    ASSERT_EQ(finder.waypointGraph().Build(), 1);
    std::vector<Vec3> out = {Vec3(1, 2, 3)};
    EXPECT_EQ(finder.FindGraphPath(Vec3(-15, 0, 5), Vec3(5, 0, 5), out), 0);
    EXPECT_EQ(finder.FindGraphPath(Vec3(5, 0, 5), Vec3(5, 0, 30), out), 0);
    EXPECT_EQ(out.size(), 1u);
}

}  // namespace
