#include "world/GridSearch.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/fixtures/AsciiWalkGrid.h"
#include "world/PathFinder.h"

using platform::Vec3;

namespace {

struct PathCase {
    const char* name;
    std::vector<std::string> map;  // 'S' start, 'G' goal ('X' a goal in a wall)
    char goal;
    int result;
    const char* cells;  // the cells of the returned points, start first
};

std::string RunCase(CPathFinder& finder, const PathCase& c, int* result) {
    std::vector<Vec3> out;
    *result = finder.FindPath(FindMark(c.map, 'S'), FindMark(c.map, c.goal), out);
    return CellsOf(out);
}

const std::vector<PathCase>& Cases() {
    static const std::vector<PathCase> cases = {
        {"same cell", {"S..."}, 'S', 1, "(0,0) (0,0)"},
        {"clear line", {"S...o", "....G"}, 'G', 1, "(0,0) (4,1)"},
        {"around a wall",
         {"......",  //
          "S.#..G",  //
          "..#...",  //
          "......"},
         'G', 1, "(0,1) (2,0) (5,1)"},
        {"corner cut between two blocked cells",
         {"....#....",  //
          "....#....",  //
          "S...#...G",  //
          "...#.....",  //
          "...#....."},
         'G', 1, "(0,2) (2,2) (4,3) (8,2)"},
        {"objects block the cell search",
         {"..o...",  //
          "S.o..G",  //
          "..o...",  //
          "......"},
         'G', 1, "(0,1) (2,3) (5,1)"},
        {"equal f taken from the lower slot",
         {".....",  //
          ".S#G.",  //
          "....."},
         'G', 1, "(1,1) (2,0) (3,1)"},  // (2,0) and (2,2) both have f 3; (2,0) took the lower slot
        {"goal in a wall moves back to the first empty cell",
         {"S....##X#"},  //
         'X', 1, "(0,0) (4,0)"},
        {"no way past an object in a corridor",
         {"S..o.##X#"},  //
         'X', 0, "(0,0) (4,0)"},
        {"enclosed start with no empty cell towards the goal",
         {"ooo...",  //
          "oSo##Y",  //
          "ooo..."},
         'Y', 0, "(1,1) (5,1)"},
        {"enclosed start leaves by the first empty cell",
         {"ooo...",  //
          "oSo.#G",  //
          "ooo..."},
         'G', 1, "(3,1) (4,0) (5,1)"},
        {"goal walled off",
         {"S.#...",  //
          "..#.G.",  //
          "..#...",  //
          "###..."},
         'G', 0, "(0,0) (4,1)"},
    };
    return cases;
}

TEST(GridSearch, FindsTheOriginalsPaths) {
    for (const PathCase& c : Cases()) {
        CPathFinder finder;
        ASSERT_TRUE(LoadAsciiWalkGrid(finder, c.map)) << c.name;
        int result = -1;
        EXPECT_EQ(RunCase(finder, c, &result), c.cells) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
    }
}

TEST(GridSearch, ReturnsTheExactEndsAndAppends) {
    CPathFinder finder;
    ASSERT_TRUE(LoadAsciiWalkGrid(finder, {"......", "..#...", "..#...", "......"}));
    std::vector<Vec3> out = {Vec3(-7, -7, -7)};
    const Vec3 start(3.25f, 4.5f, 12.75f), goal(51.5f, 2.0f, 21.25f);
    ASSERT_EQ(finder.FindPath(start, goal, out), 1);
    ASSERT_GE(out.size(), 4u);
    EXPECT_EQ(out[0].x, -7) << "what the list held stays in front";
    EXPECT_EQ(out[1].x, start.x);
    EXPECT_EQ(out[1].y, start.y);
    EXPECT_EQ(out[1].z, start.z);
    EXPECT_EQ(out.back().x, goal.x);
    EXPECT_EQ(out.back().y, goal.y);
    EXPECT_EQ(out.back().z, goal.z);
    EXPECT_EQ(out[2].y, 0) << "corners are cell centres";

    size_t before = out.size();
    EXPECT_EQ(finder.FindPath(Vec3(-15, 0, 5), goal, out), 0) << "an end outside the grid";
    EXPECT_EQ(finder.FindPath(start, Vec3(5, 0, 40), out), 0);
    EXPECT_EQ(out.size(), before) << "left alone";
}

// A square spiral: rings of wall `step` cells apart, each with one gap, on
// alternate sides, so the way to the centre winds through every ring.
std::vector<std::string> Spiral(int n, int step = 2) {
    std::vector<std::string> rows(static_cast<size_t>(n), std::string(static_cast<size_t>(n), '.'));
    for (int k = 1; k < n / 2; k += step) {
        for (int i = k; i < n - k; ++i) {
            rows[static_cast<size_t>(k)][static_cast<size_t>(i)] = '#';
            rows[static_cast<size_t>(n - 1 - k)][static_cast<size_t>(i)] = '#';
            rows[static_cast<size_t>(i)][static_cast<size_t>(k)] = '#';
            rows[static_cast<size_t>(i)][static_cast<size_t>(n - 1 - k)] = '#';
        }
        // One gap per ring, on alternate sides.
        if ((k / step) % 2 == 0)
            rows[static_cast<size_t>(k)][static_cast<size_t>(n / 2)] = '.';
        else
            rows[static_cast<size_t>(n - 1 - k)][static_cast<size_t>(n / 2)] = '.';
    }
    rows[0][0] = 'S';
    rows[static_cast<size_t>(n / 2)][static_cast<size_t>(n / 2)] = 'G';
    return rows;
}

TEST(GridSearch, GivesUpAfterClosing6000Cells) {
    // Corridors five cells wide: narrow ones end the search sooner, at the
    // first dead end after a scan whose winner was the first open slot (the
    // cache then holds no runner-up and the expansion offers nothing).
    const std::vector<std::string> map = Spiral(161, 6);
    CPathFinder finder;
    ASSERT_TRUE(LoadAsciiWalkGrid(finder, map));
    const CWalkGrid& grid = finder.walkGrid();
    ASSERT_EQ(grid.Region(0, 0), grid.Region(80, 80)) << "a way exists";
    std::vector<Vec3> out;
    EXPECT_EQ(finder.FindPath(FindMark(map, 'S'), FindMark(map, 'G'), out), 0);
    EXPECT_EQ(CellsOf(out), "(0,0) (80,80)");
    EXPECT_EQ(finder.gridSearch().closedCount(), CWalkGrid::kNodeCount);
}

TEST(GridSearch, SearchesInARowEqualFreshOnes) {
    std::vector<std::string> map = Spiral(121);
    map[120][0] = 'T';
    map[0][120] = 'U';
    CPathFinder used, fresh;
    ASSERT_TRUE(LoadAsciiWalkGrid(used, map));
    ASSERT_TRUE(LoadAsciiWalkGrid(fresh, map));
    std::vector<Vec3> failed, after, alone;
    // A failure leaves thousands of nodes and its freed slots behind.
    ASSERT_EQ(used.FindPath(FindMark(map, 'S'), FindMark(map, 'G'), failed), 0);
    ASSERT_EQ(used.FindPath(FindMark(map, 'T'), FindMark(map, 'U'), after), 1);
    ASSERT_EQ(fresh.FindPath(FindMark(map, 'T'), FindMark(map, 'U'), alone), 1);
    EXPECT_EQ(CellsOf(after), CellsOf(alone));
    EXPECT_EQ(used.gridSearch().closedCount(), fresh.gridSearch().closedCount());

    // Searches of every outcome in a row on a scattered field, each against a fresh finder.
    std::mt19937 random(20);
    std::vector<std::string> field(48, std::string(48, '.'));
    for (std::string& row : field)
        for (char& c : row) c = random() % 100 < 38 ? '#' : (random() % 100 < 3 ? 'o' : '.');
    ASSERT_TRUE(LoadAsciiWalkGrid(used, field));
    int outcomes[2] = {0, 0};
    for (int i = 0; i < 60; ++i) {
        Vec3 from(static_cast<float>(random() % 480), 0, static_cast<float>(random() % 480));
        Vec3 to(static_cast<float>(random() % 480), 0, static_cast<float>(random() % 480));
        CPathFinder alone;
        ASSERT_TRUE(LoadAsciiWalkGrid(alone, field));
        std::vector<Vec3> a, b;
        int ra = used.FindPath(from, to, a);
        EXPECT_EQ(alone.FindPath(from, to, b), ra) << i;
        EXPECT_EQ(CellsOf(a), CellsOf(b)) << i;
        ++outcomes[ra];
    }
    EXPECT_GT(outcomes[0], 2);
    EXPECT_GT(outcomes[1], 5);

    // Every case twice on one finder.
    for (const PathCase& c : Cases()) {
        CPathFinder finder;
        ASSERT_TRUE(LoadAsciiWalkGrid(finder, c.map));
        int result = -1;
        std::string first = RunCase(finder, c, &result);
        EXPECT_EQ(RunCase(finder, c, &result), first) << c.name;
    }
}

}  // namespace
