// The one spatial index of a match: a complete quadtree over the map's ground
// rectangle whose leaves hold the objects whose bounds touch them. It culls
// what is drawn, answers range and nearest-enemy questions for targeting and
// tracks heroes in trigger areas. The tree is fixed once built; an object is
// held by the leaves under the four ground corners of its outer box (an object
// larger than a leaf only by those), which the object keeps in its own fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Math.h"

namespace platform {
class CGfxDevice;
}
class CSceneObject;
class CWorldObject;

// What a range query keeps.
struct SpatialFilter {
    CSceneObject* self = nullptr;  // never returned
    float x = 0, z = 0, radius = 0;
    uint32_t kindMask = 0;             // scene flags must share a bit with (kindMask | world object)
    uint32_t excludedFlags = 0;        // objects holding every one of these bits are passed over
    uint32_t unitFlagExclusion = 0;    // unit flags must share no bit with (this | 0x200000)
    uint32_t stateFlagExclusion = 0;   // when not 0, state flags must share no bit with it
    int32_t aliveOnly = 0;
    int32_t teamTest = 0;  // when set: team equal to `team` (sameTeam) or different from it
    int32_t sameTeam = 0;
    int32_t team = 0;
};

class CSpatialTree {
public:
    struct Node {
        platform::Vec3 corners[8];  // (x0,z1) (x1,z1) (x1,z0) (x0,z0) at the bottom, then the top
        std::vector<CSceneObject*> objects;
        int32_t children[4] = {-1, -1, -1, -1};  // low-x low-z, high-x low-z, low-x high-z, high-x high-z
    };

    CSpatialTree();
    virtual ~CSpatialTree();
    CSpatialTree(const CSpatialTree&) = delete;
    CSpatialTree& operator=(const CSpatialTree&) = delete;

    // A complete tree of the given depth (0..10) over x 0..width, z 0..depth; 0 on bad sizes.
    int Build(int32_t depth, float width, float depthZ, float bottom, float top);
    // An object already held is moved instead. The tree keeps the object's
    // footprint as it is now: after a change of position or bounds, Move it.
    void Insert(CSceneObject* object);
    void Remove(CSceneObject* object);
    void Move(CSceneObject* object);
    // Every node's list and the visible list emptied; the nodes stay.
    void Clear();

    // Unmarks last frame's visible objects, then marks those in the view.
    void CollectVisible(const platform::Plane planes[6], int withNearFar);
    void ResetVisibleList();
    void RenderVisible(platform::CGfxDevice* device);
    const std::vector<CSceneObject*>& VisibleList() const { return m_visible; }

    // Appends to result (emptied first), in the order of the walk from the
    // root, the world objects that pass the filter and lie within the circle;
    // with stopAtFirst, at most one. The circle test is the scene object's
    // own distance test, taken on the footprint kept by the last Insert or Move.
    void QueryRange(const SpatialFilter& filter, std::vector<CWorldObject*>& result, bool stopAtFirst) const;
    // QueryRange keeping only the objects that this machine simulates.
    void QueryLocalObjects(const SpatialFilter& filter, std::vector<CWorldObject*>& result) const;
    // Tracks living enemy heroes in the area centre +- width/2, depth/2: a hero
    // that left has its id in heroIds set to -1; the first one that entered
    // takes a free (-1) slot or is appended and is returned.
    CWorldObject* QueryArea(const platform::Vec3& centre, float width, float depthZ, std::vector<int32_t>& heroIds,
                            int32_t team);
    bool AnyOwnedUnitInArea(const platform::Vec3& centre, float radius, int32_t owner) const;
    // The attackable enemy nearest to the attacker within bestDistance (3D
    // centre distance less the target's scaled radius) in the nodes the
    // circle meets; bestDistance is lowered to the one found.
    CWorldObject* FindNearestEnemy(CWorldObject* attacker, const platform::Vec3& centre, float radius,
                                   float* bestDistance) const;
    // Keeps the cached target while it stays valid and in range, else searches anew.
    CWorldObject* FindTarget(int32_t* cachedId, CWorldObject* attacker, float range) const;
    // One object against the filter and its circle, as a range query tests it.
    static bool Matches(CWorldObject& object, const SpatialFilter& filter);
    // The filter's flag, life and team tests alone.
    static bool MatchesFlags(const CWorldObject& object, const SpatialFilter& filter);
    // Rectangles (x0, z0, x1, z1) overlap in cells of cellSize, edges included.
    static bool CellsOverlap(const float a[4], const float b[4], float cellSize);

    int32_t Depth() const { return m_depth; }
    int32_t LeavesPerSide() const { return m_leavesPerSide; }
    int32_t NodeCount() const { return static_cast<int32_t>(m_nodes.size()); }
    int32_t ObjectCount() const { return m_objectCount; }
    const Node& NodeAt(int32_t index) const { return m_nodes[static_cast<size_t>(index)]; }
    // The leaf of a cell by the table, and by descent from the root.
    int32_t LeafAt(int32_t row, int32_t column) const;
    int32_t DescendToLeaf(int32_t row, int32_t column) const;

private:
    // Where an object stood, and how far it reaches across the ground, when
    // the tree last placed it, with the object when it is a world object.
    struct Footprint {
        float x = 0, z = 0, reach = 0;
        uint32_t shared = 0;  // held by more than one leaf
        CWorldObject* object = nullptr;
    };
    // A leaf's ground rectangle and the footprints of its objects, in the
    // order of the leaf's list: what a range query reads, kept row by row so
    // that the leaves of a query lie side by side in memory.
    struct Cell {
        float x0 = 0, z0 = 0, x1 = 0, z1 = 0;
        // A box that the footprints' reaches lie within; inverted while
        // empty. A footprint moved within the leaf only widens it; it is
        // made tight again whenever a footprint leaves.
        float reachX0 = kNoReach, reachZ0 = kNoReach, reachX1 = -kNoReach, reachZ1 = -kNoReach;
        std::vector<Footprint> footprints;
        void Cover(const Footprint& footprint);
        void CoverReaches();
    };
    static constexpr float kNoReach = 3.0e38f;
    static Footprint FootprintOf(CSceneObject& object);
    Cell& CellOfLeaf(int32_t leaf) { return m_cells[static_cast<size_t>(m_cellOfNode[static_cast<size_t>(leaf)])]; }

    // The distinct leaves under the four ground corners of the object's outer box.
    int LeavesUnder(const CSceneObject& object, int32_t leaves[4]) const;
    // Unmarks the object and empties its slot of the visible list.
    void ForgetVisible(CSceneObject& object);
    int32_t FillNode(int32_t level, float x0, float z0, float width, float depthZ, int32_t* next);
    bool NodeMeetsSquare(const Node& node, float x0, float z0, float x1, float z1) const;
    void CollectNode(int32_t index, const platform::Plane planes[6], int withNearFar);
    struct Candidates;
    // Each true: the query stopped at its first object.
    bool GatherCandidates(const Cell& cell, const SpatialFilter& filter, Candidates& batch,
                          std::vector<CWorldObject*>& result, bool stopAtFirst) const;
    static bool TestCandidates(Candidates& batch, const SpatialFilter& filter, std::vector<CWorldObject*>& result,
                               bool stopAtFirst);
    bool QueryNode(int32_t index, const SpatialFilter& filter, Candidates& batch, std::vector<CWorldObject*>& result,
                   bool stopAtFirst) const;
    CWorldObject* AreaNode(int32_t index, const platform::Vec3& rectMin, const platform::Vec3& rectMax,
                           std::vector<int32_t>& heroIds, int32_t team);
    bool OwnedNode(int32_t index, const platform::Vec3& centre, float radius, int32_t owner) const;
    void NearestNode(int32_t index, CWorldObject* attacker, const platform::Vec3& centre, float radius,
                     float* best, CWorldObject** found) const;

    std::vector<Node> m_nodes;
    std::vector<int32_t> m_leafTable;
    std::vector<Cell> m_cells;            // row by row, as the leaf table
    std::vector<int32_t> m_cellOfNode;    // -1 for the nodes above the leaves
    float m_leafWidth = 0, m_leafDepth = 0;
    int32_t m_depth = 0;
    int32_t m_leavesPerSide = 0;
    int32_t m_objectCount = 0;
    float m_bottom = 0, m_top = 0;
    std::vector<CSceneObject*> m_visible;
};

// Null while no map holds a tree.
extern CSpatialTree* g_pSpatialTree;

// An object of a unit or building that may be attacked at all.
bool IsAttackable(CWorldObject& object);
