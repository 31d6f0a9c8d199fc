#include "world/SpatialTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

#include "tests/world/TestWorldObject.h"

using platform::Vec3;

namespace {

TEST(SpatialTree, LeafTableEqualsTheDescentAtEveryDepth) {
    for (int32_t depth = 0; depth <= 5; ++depth) {
        CSpatialTree tree;
        ASSERT_EQ(tree.Build(depth, 640, 320, -100, 160), 1);
        int32_t n = 1 << depth;
        EXPECT_EQ(tree.LeavesPerSide(), n);
        int32_t nodes = 0;
        for (int32_t i = 0, p = 1; i <= depth; ++i, p *= 4) nodes += p;
        EXPECT_EQ(tree.NodeCount(), nodes);
        for (int32_t r = 0; r < n; ++r)
            for (int32_t c = 0; c < n; ++c) {
                int32_t leaf = tree.LeafAt(r, c);
                ASSERT_EQ(leaf, tree.DescendToLeaf(r, c)) << depth << " " << r << " " << c;
                const auto& node = tree.NodeAt(leaf);
                EXPECT_EQ(node.children[0], -1);
                EXPECT_FLOAT_EQ(node.corners[3].x, 640.0f / static_cast<float>(n) * static_cast<float>(c));
                EXPECT_FLOAT_EQ(node.corners[3].z, 320.0f / static_cast<float>(n) * static_cast<float>(r));
                EXPECT_FLOAT_EQ(node.corners[4].y, 160.0f);
            }
    }
    CSpatialTree bad;
    EXPECT_EQ(bad.Build(-1, 100, 100, 0, 1), 0);
    EXPECT_EQ(bad.Build(2, 0, 100, 0, 1), 0);
}

struct TreeFixture : ::testing::Test {
    void SetUp() override {
        UseTestObjects(manager);
        ASSERT_EQ(tree.Build(2, 400, 400, -100, 160), 1);  // leaves of 100 x 100
    }
    CTestWorldObject* Add(float x, float z, int32_t team = 0, float half = 2.0f) {
        CTestWorldObject* o = NewTestObject(manager, x, z, team);
        o->PlaceAt(x, z, half);
        EXPECT_EQ(manager.RegisterObject(o, -1, 1, 0), 1);
        return o;
    }
    static SpatialFilter Circle(float x, float z, float r) {
        SpatialFilter f;
        f.x = x;
        f.z = z;
        f.radius = r;
        return f;
    }
    CWorldObjectManager manager;
    CSpatialTree tree;
    std::vector<CWorldObject*> result;
};

TEST_F(TreeFixture, StraddlingObjectsAreFoundOnceAndOutsideOnesNever) {
    CTestWorldObject* corner = Add(100, 100);
    EXPECT_EQ(std::count_if(corner->treeLeaves, corner->treeLeaves + 4, [](int32_t l) { return l >= 0; }), 4);
    EXPECT_TRUE(corner->flags & SO_PLACED);
    CTestWorldObject* outside = Add(-50, -50);
    EXPECT_EQ(outside->treeLeaves[0], -1);
    EXPECT_EQ(tree.ObjectCount(), 1);
    tree.QueryRange(Circle(100, 100, 20), result, false);
    EXPECT_EQ(result, std::vector<CWorldObject*>{corner});
    tree.QueryRange(Circle(-50, -50, 100), result, false);
    EXPECT_TRUE(result.empty());

    // Insert of a held object moves it.
    corner->PlaceAt(250, 250);
    tree.Insert(corner);
    EXPECT_EQ(tree.ObjectCount(), 1);
    tree.QueryRange(Circle(100, 100, 20), result, false);
    EXPECT_TRUE(result.empty());
    tree.QueryRange(Circle(250, 250, 5), result, false);
    EXPECT_EQ(result.size(), 1u);

    Add(255, 250);
    Add(245, 250);
    tree.QueryRange(Circle(250, 250, 20), result, true);
    EXPECT_EQ(result.size(), 1u) << "stop at first";
    tree.Remove(corner);
    tree.Remove(corner);
    EXPECT_EQ(tree.ObjectCount(), 2);
}

TEST_F(TreeFixture, FrozenObjectsNeverMatchWhateverTheExcludedBits) {
    CTestWorldObject* frozen = Add(50, 50);
    CTestWorldObject* marked = Add(52, 50);
    Add(54, 50);
    frozen->flags |= SO_FROZEN;
    marked->flags |= 0x400 | 0x800;
    SpatialFilter f = Circle(50, 50, 20);
    tree.QueryRange(f, result, false);
    EXPECT_EQ(result.size(), 2u);
    f.excludedFlags = 0x400 | 0x800;
    tree.QueryRange(f, result, false);
    EXPECT_EQ(result.size(), 1u);
    EXPECT_TRUE(std::find(result.begin(), result.end(), frozen) == result.end());
    f.excludedFlags = 0x400 | 0x1000;
    tree.QueryRange(f, result, false);
    EXPECT_EQ(result.size(), 2u) << "every bit of the excluded flags must be held";
}

// Brute force beside the tree over random objects and circles.
TEST_F(TreeFixture, RangeAndNearestEnemyEqualABruteForceSearch) {
    ASSERT_EQ(tree.Build(4, 640, 640, -100, 160), 1);
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> place(-20, 660), half(1, 15), radius(5, 120);
    std::vector<CTestWorldObject*> objects;
    for (int i = 0; i < 500; ++i) {
        CTestWorldObject* o = Add(place(rng), place(rng), static_cast<int32_t>(rng() % 3), half(rng));
        o->alive = rng() % 5 != 0;
        o->owner = static_cast<int32_t>(rng() % 14);
        if (rng() % 7 == 0) o->team = 12;
        if (rng() % 9 == 0) o->flags |= SO_FROZEN;
        o->unitFlags = rng() % 6 == 0 ? 0x40 : 0;
        objects.push_back(o);
    }
    auto inRoot = [](const CTestWorldObject* o) {
        for (int i = 0; i < 4; ++i) {
            const Vec3& c = o->bounds.outerBox[i];
            if (c.x >= 0 && c.z >= 0 && c.x < 640 && c.z < 640) return true;
        }
        return false;
    };
    // The walk from the root, children in order, each object taken once: the
    // order a range query answers in.
    std::function<void(int32_t, const SpatialFilter&, std::vector<CWorldObject*>&)> walk =
        [&](int32_t index, const SpatialFilter& f, std::vector<CWorldObject*>& out) {
            const auto& n = tree.NodeAt(index);
            if (!(f.x - f.radius <= n.corners[1].x && f.x + f.radius >= n.corners[3].x &&
                  f.z - f.radius <= n.corners[1].z && f.z + f.radius >= n.corners[3].z))
                return;
            for (CSceneObject* so : n.objects) {
                auto* o = static_cast<CWorldObject*>(so);
                if (CSpatialTree::Matches(*o, f) && std::find(out.begin(), out.end(), o) == out.end())
                    out.push_back(o);
            }
            for (int32_t child : n.children)
                if (child >= 0) walk(child, f, out);
        };
    std::uniform_real_distribution<float> step(-30, 30);
    for (int i = 0; i < 200; ++i) {
        if (i == 100)  // within their leaves and across them
            for (CTestWorldObject* o : objects) {
                o->PlaceAt(o->position.x + step(rng), o->position.z + step(rng), o->bounds.halfDepth);
                tree.Move(o);
            }
        // Every tenth circle covers more leaves than a query looks up directly.
        SpatialFilter f = Circle(place(rng), place(rng), i % 10 == 9 ? 400.0f : radius(rng));
        f.aliveOnly = i % 2;
        f.teamTest = i % 3 == 0;
        f.sameTeam = i % 2;
        f.team = 1;
        f.unitFlagExclusion = i % 4 == 0 ? 0x40 : 0;
        f.self = objects[static_cast<size_t>(i)];
        tree.QueryRange(f, result, false);
        std::vector<CWorldObject*> walked;
        walk(0, f, walked);
        ASSERT_EQ(result, walked) << "circle " << i;
        std::vector<CWorldObject*> first;
        tree.QueryRange(f, first, true);
        EXPECT_EQ(first, std::vector<CWorldObject*>(walked.begin(), walked.begin() + (walked.empty() ? 0 : 1)));
        std::vector<CWorldObject*> brute;
        for (CTestWorldObject* o : objects) {
            Vec3 c{f.x, 0, f.z};
            if (o == f.self || !inRoot(o) || (o->flags & SO_FROZEN) || !o->IsWithinDistance(&c, f.radius)) continue;
            if ((o->unitFlags & (f.unitFlagExclusion | 0x200000u)) || (f.aliveOnly && !o->alive)) continue;
            if (f.teamTest && ((o->team == f.team) != (f.sameTeam != 0))) continue;
            brute.push_back(o);
        }
        std::sort(result.begin(), result.end());
        std::sort(brute.begin(), brute.end());
        ASSERT_EQ(result, brute) << "circle " << i;

        CTestWorldObject* attacker = objects[static_cast<size_t>(i + 200)];
        Vec3 centre{f.x, 0, f.z};
        float best = f.radius;
        CWorldObject* nearest = tree.FindNearestEnemy(attacker, centre, f.radius, &best);
        float bruteBest = f.radius;
        for (CTestWorldObject* o : objects) {
            if (o == attacker || !inRoot(o) || !IsAttackable(*o)) continue;
            bool enemy = attacker->team == 12 ? o->team == 13 : o->team != 12 && o->team != attacker->team;
            if (!enemy) continue;
            // Only the nodes the search square meets are searched.
            bool meets = false;
            for (int32_t leaf : o->treeLeaves) {
                if (leaf < 0) continue;
                const auto& n = tree.NodeAt(leaf);
                meets |= f.x - f.radius <= n.corners[1].x && f.x + f.radius >= n.corners[3].x &&
                         f.z - f.radius <= n.corners[1].z && f.z + f.radius >= n.corners[3].z;
            }
            if (!meets) continue;
            float d = platform::Vec3Length(o->position - attacker->position) - o->bounds.radius * o->bounds.scale;
            bruteBest = std::min(bruteBest, d);
        }
        EXPECT_FLOAT_EQ(best, bruteBest) << "circle " << i;
        EXPECT_EQ(nearest != nullptr, bruteBest < f.radius);
    }
}

TEST_F(TreeFixture, AreaTracksEnemyHeroesEnteringStayingAndLeaving) {
    CTestWorldObject* hero = Add(150, 150, 1);
    hero->unitFlags = 0x10;
    CTestWorldObject* plain = Add(152, 150, 1);
    CTestWorldObject* own = Add(148, 150, 0);
    own->unitFlags = 0x10;
    (void)plain;
    std::vector<int32_t> ids{-1, 77};
    Vec3 centre{150, 0, 150};
    EXPECT_EQ(tree.QueryArea(centre, 40, 40, ids, 0), hero);
    EXPECT_EQ(ids, (std::vector<int32_t>{hero->id, 77})) << "the first free slot";
    EXPECT_EQ(tree.QueryArea(centre, 40, 40, ids, 0), nullptr) << "staying is no entry";
    hero->PlaceAt(300, 300);
    tree.Move(hero);
    tree.QueryArea(centre, 40, 40, ids, 0);
    EXPECT_EQ(ids[0], hero->id) << "out of the area's nodes, the hero is not met";
    tree.QueryArea({300, 0, 300}, 40, 40, ids, 1);
    tree.QueryArea({250, 0, 250}, 200, 200, ids, 0);
    CTestWorldObject* second = Add(260, 260, 1);
    second->unitFlags = 0x10;
    hero->PlaceAt(250, 290);  // in the area's node, outside its rectangle
    tree.Move(hero);
    std::vector<int32_t> tracked{hero->id, -1};
    EXPECT_EQ(tree.QueryArea({260, 0, 260}, 30, 30, tracked, 0), second);
    EXPECT_EQ(tracked, (std::vector<int32_t>{hero->id, second->id})) << "the walk ends at the first entry";
    EXPECT_EQ(tree.QueryArea({260, 0, 260}, 30, 30, tracked, 0), nullptr);
    EXPECT_EQ(tracked, (std::vector<int32_t>{-1, second->id})) << "left: -1";
    second->PlaceAt(280, 280);
    tree.Move(second);
    hero->PlaceAt(262, 262);
    tree.Move(hero);
    EXPECT_EQ(tree.QueryArea({260, 0, 260}, 30, 30, tracked, 0), hero);
    EXPECT_EQ(tracked, (std::vector<int32_t>{hero->id, -1})) << "-1 slots are reused";
    EXPECT_TRUE(tree.AnyOwnedUnitInArea({260, 0, 260}, 10, second->owner));
    EXPECT_FALSE(tree.AnyOwnedUnitInArea({260, 0, 260}, 10, 5));
}

TEST_F(TreeFixture, FindTargetKeepsItsCacheWhileValid) {
    CTestWorldObject* attacker = Add(100, 100, 0);
    CTestWorldObject* near = Add(110, 100, 1);
    CTestWorldObject* far = Add(130, 100, 1);
    near->seen[0] = far->seen[0] = 1;
    int32_t cached = far->id;
    EXPECT_EQ(tree.FindTarget(&cached, attacker, 50), far) << "kept though another is nearer";
    far->seen[0] = 0;
    EXPECT_EQ(tree.FindTarget(&cached, attacker, 50), near) << "hidden from the attacker";
    EXPECT_EQ(cached, near->id);
    near->alive = 0;
    EXPECT_EQ(tree.FindTarget(&cached, attacker, 50), far);
    EXPECT_EQ(tree.FindTarget(&cached, attacker, 5), nullptr);
    EXPECT_EQ(cached, -1);
    CTestWorldObject* neutral = Add(100, 110, 13);
    attacker->team = 12;
    cached = -1;
    EXPECT_EQ(tree.FindTarget(&cached, attacker, 50), neutral) << "team 12 fights only team 13";
}

TEST(SpatialTreeCells, OverlapCountsSharedEdges) {
    const float a[4] = {0, 0, 19, 19};
    const float touching[4] = {19, 0, 30, 10};
    const float nextCell[4] = {20, 0, 30, 10};
    const float below[4] = {0, 25, 10, 30};
    EXPECT_TRUE(CSpatialTree::CellsOverlap(a, touching, 10));
    EXPECT_FALSE(CSpatialTree::CellsOverlap(a, nextCell, 10));
    EXPECT_FALSE(CSpatialTree::CellsOverlap(a, nextCell, 20));
    EXPECT_TRUE(CSpatialTree::CellsOverlap(a, nextCell, 30)) << "one cell holds both";
    EXPECT_FALSE(CSpatialTree::CellsOverlap(a, below, 20));
    EXPECT_FALSE(CSpatialTree::CellsOverlap(a, a, 0));
}

TEST_F(TreeFixture, VisibleListMarksWhatTheViewHolds) {
    CTestWorldObject* in = Add(50, 50);
    CTestWorldObject* out = Add(350, 50);
    CTestWorldObject* hidden = Add(60, 50);
    hidden->flags |= SO_HIDDEN;
    // A view of x 0..200 (every plane faces inward: a x + b y + c z + d >= 0 inside).
    platform::Plane planes[6] = {{0, 0, 1, 1000}, {0, 0, -1, 1000}, {1, 0, 0, 0},
                                 {-1, 0, 0, 200}, {0, 1, 0, 1000},  {0, -1, 0, 1000}};
    tree.CollectVisible(planes, 0);
    EXPECT_EQ(tree.VisibleList(), std::vector<CSceneObject*>{in});
    EXPECT_TRUE(in->flags & SO_VISIBLE);
    EXPECT_FALSE(out->flags & SO_VISIBLE);
    tree.Remove(in);
    EXPECT_FALSE(in->flags & SO_VISIBLE);
    tree.RenderVisible(nullptr);  // the emptied slot is passed over
    tree.Insert(in);
    tree.ResetVisibleList();
    EXPECT_TRUE(tree.VisibleList().empty());
}

}  // namespace
