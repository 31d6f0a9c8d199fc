#include "world/SpatialTree.h"

#include <algorithm>
#include <cmath>

#include "engine/render/DeviceStates.h"
#include "engine/render/Draw2D.h"
#include "platform/GfxDevice.h"
#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"
#include "world/WorldObjectManager.h"

using platform::Plane;
using platform::Vec3;

CSpatialTree* g_pSpatialTree = nullptr;

namespace {

constexpr int32_t kMaxDepth = 10;

// The object lies in the view's circle, measured as its own distance test does.
bool InCircle(CSceneObject& object, float x, float z, float radius) {
    Vec3 centre{x, 0, z};
    return object.IsWithinDistance(&centre, radius);
}

CWorldObject* AsWorldObject(CSceneObject* object) {
    return object && (object->flags & WO_WORLD_OBJECT) ? static_cast<CWorldObject*>(object) : nullptr;
}

}  // namespace

bool CSpatialTree::Matches(CWorldObject& o, const SpatialFilter& f) {
    return &o != f.self && InCircle(o, f.x, f.z, f.radius) && MatchesFlags(o, f);
}

bool CSpatialTree::MatchesFlags(const CWorldObject& o, const SpatialFilter& f) {
    if (&o == f.self) return false;
    if ((o.flags & (f.kindMask | WO_WORLD_OBJECT)) == 0) return false;
    // Frozen (removed) objects never match, whatever the excluded bits.
    if (o.flags & SO_FROZEN) return false;
    if (f.excludedFlags && (o.flags & f.excludedFlags) == f.excludedFlags) return false;
    if (o.unitFlags & (f.unitFlagExclusion | 0x200000u)) return false;
    if (f.stateFlagExclusion && (o.stateFlags & f.stateFlagExclusion)) return false;
    if (f.aliveOnly && !o.alive) return false;
    return !f.teamTest || (o.team == f.team) == (f.sameTeam != 0);
}

namespace {

float TargetDistance(const CWorldObject& attacker, const CWorldObject& target) {
    return platform::Vec3Length(target.position - attacker.position) - target.bounds.radius * target.bounds.scale;
}

bool IsEnemyOf(const CWorldObject& attacker, const CWorldObject& target) {
    if (attacker.team == kTeamFriendlyNeutral) return target.team == kTeamHostileNeutral;
    return target.team != kTeamFriendlyNeutral && target.team != attacker.team;
}

}  // namespace

bool IsAttackable(CWorldObject& object) {
    return object.IsCombatObject() && object.alive && !object.deadFlag && !object.IsUntargetable() &&
           !(object.flags & SO_FROZEN);
}

CSpatialTree::CSpatialTree() { g_pSpatialTree = this; }

CSpatialTree::~CSpatialTree() {
    Clear();
    if (g_pSpatialTree == this) g_pSpatialTree = nullptr;
}

int CSpatialTree::Build(int32_t depth, float width, float depthZ, float bottom, float top) {
    if (depth < 0 || depth > kMaxDepth || !(width > 0) || !(depthZ > 0)) return 0;
    Clear();
    size_t count = 0;
    for (int32_t i = 0, p = 1; i <= depth; ++i, p *= 4) count += static_cast<size_t>(p);
    m_nodes.assign(count, Node{});
    m_depth = depth;
    m_bottom = bottom;
    m_top = top;
    int32_t next = 0;
    FillNode(0, 0, 0, width, depthZ, &next);
    m_leavesPerSide = 1 << depth;
    m_leafWidth = width / static_cast<float>(m_leavesPerSide);
    m_leafDepth = depthZ / static_cast<float>(m_leavesPerSide);
    int32_t n = m_leavesPerSide;
    m_leafTable.assign(static_cast<size_t>(n) * static_cast<size_t>(n), -1);
    // The four leaves of one parent are numbered one after another.
    for (int32_t r = 0; r < n; ++r)
        for (int32_t c = 0; c < n; ++c) {
            size_t at = static_cast<size_t>(r) * static_cast<size_t>(n) + static_cast<size_t>(c);
            if (c & 1)
                m_leafTable[at] = m_leafTable[at - 1] + 1;
            else if (r & 1)
                m_leafTable[at] = m_leafTable[at - static_cast<size_t>(n)] + 2;
            else
                m_leafTable[at] = DescendToLeaf(r, c);
        }
    m_cells.assign(m_leafTable.size(), Cell{});
    m_cellOfNode.assign(m_nodes.size(), -1);
    for (size_t at = 0; at < m_leafTable.size(); ++at) {
        const Node& leaf = m_nodes[static_cast<size_t>(m_leafTable[at])];
        m_cells[at].x0 = leaf.corners[3].x;
        m_cells[at].z0 = leaf.corners[3].z;
        m_cells[at].x1 = leaf.corners[1].x;
        m_cells[at].z1 = leaf.corners[1].z;
        m_cellOfNode[static_cast<size_t>(m_leafTable[at])] = static_cast<int32_t>(at);
    }
    return 1;
}

int32_t CSpatialTree::FillNode(int32_t level, float x0, float z0, float width, float depthZ, int32_t* next) {
    int32_t index = (*next)++;
    float x1 = x0 + width, z1 = z0 + depthZ;
    {
        Node& node = m_nodes[static_cast<size_t>(index)];
        const float xs[4] = {x0, x1, x1, x0}, zs[4] = {z1, z1, z0, z0};
        for (int i = 0; i < 4; ++i) {
            node.corners[i] = {xs[i], m_bottom, zs[i]};
            node.corners[i + 4] = {xs[i], m_top, zs[i]};
        }
    }
    if (level == m_depth) return index;
    float hw = width * 0.5f, hd = depthZ * 0.5f;
    int32_t children[4];
    children[0] = FillNode(level + 1, x0, z0, hw, hd, next);
    children[1] = FillNode(level + 1, x0 + hw, z0, hw, hd, next);
    children[2] = FillNode(level + 1, x0, z0 + hd, hw, hd, next);
    children[3] = FillNode(level + 1, x0 + hw, z0 + hd, hw, hd, next);
    std::copy(children, children + 4, m_nodes[static_cast<size_t>(index)].children);
    return index;
}

int32_t CSpatialTree::DescendToLeaf(int32_t row, int32_t column) const {
    if (m_nodes.empty() || row < 0 || column < 0 || row >= m_leavesPerSide || column >= m_leavesPerSide) return -1;
    int32_t index = 0;
    for (int32_t half = m_leavesPerSide / 2; half >= 1; half /= 2) {
        int32_t quarter = (column >= half ? 1 : 0) + (row >= half ? 2 : 0);
        if (column >= half) column -= half;
        if (row >= half) row -= half;
        index = m_nodes[static_cast<size_t>(index)].children[quarter];
    }
    return index;
}

int32_t CSpatialTree::LeafAt(int32_t row, int32_t column) const {
    if (row < 0 || column < 0 || row >= m_leavesPerSide || column >= m_leavesPerSide) return -1;
    return m_leafTable[static_cast<size_t>(row) * static_cast<size_t>(m_leavesPerSide) + static_cast<size_t>(column)];
}

CSpatialTree::Footprint CSpatialTree::FootprintOf(CSceneObject& object) {
    return {object.position.x, object.position.z, object.bounds.halfDepth * object.bounds.scale, 0,
            AsWorldObject(&object)};
}

namespace {

// The object's place in a leaf's list; the list's size when it is not there.
size_t IndexIn(const CSpatialTree::Node& node, const CSceneObject* object) {
    return static_cast<size_t>(std::find(node.objects.begin(), node.objects.end(), object) - node.objects.begin());
}

}  // namespace

void CSpatialTree::Cell::Cover(const Footprint& f) {
    reachX0 = std::min(reachX0, f.x - f.reach);
    reachZ0 = std::min(reachZ0, f.z - f.reach);
    reachX1 = std::max(reachX1, f.x + f.reach);
    reachZ1 = std::max(reachZ1, f.z + f.reach);
}

void CSpatialTree::Cell::CoverReaches() {
    reachX0 = reachZ0 = kNoReach;
    reachX1 = reachZ1 = -kNoReach;
    for (const Footprint& f : footprints) Cover(f);
}

int CSpatialTree::LeavesUnder(const CSceneObject& object, int32_t leaves[4]) const {
    // The outer box stands square to the axes: its four ground corners lie in
    // two columns and two rows. A quotient below 0 (the corner lies outside)
    // fails the test before it is cut to a whole number, so cutting it
    // rounds down as it must.
    const Vec3* box = object.bounds.outerBox;
    const float n = static_cast<float>(m_leavesPerSide);
    auto line = [n](float at, float size) {
        const float q = at / size;
        return q >= 0.0f && q < n ? static_cast<int32_t>(q) : -1;
    };
    const int32_t c0 = line(box[3].x, m_leafWidth), c1 = line(box[1].x, m_leafWidth);
    const int32_t r0 = line(box[3].z, m_leafDepth), r1 = line(box[1].z, m_leafDepth);
    const int32_t corners[4][2] = {{r1, c0}, {r1, c1}, {r0, c1}, {r0, c0}};  // in the order of the box's corners
    int found = 0;
    for (const auto& [row, column] : corners) {
        if (row < 0 || column < 0) continue;
        const int32_t leaf = LeafAt(row, column);
        if (std::find(leaves, leaves + found, leaf) == leaves + found) leaves[found++] = leaf;
    }
    return found;
}

void CSpatialTree::Insert(CSceneObject* object) {
    if (!object || m_nodes.empty()) return;
    if (std::any_of(object->treeLeaves, object->treeLeaves + 4, [](int32_t l) { return l >= 0; })) {
        Move(object);
        return;
    }
    int32_t leaves[4] = {-1, -1, -1, -1};
    int found = LeavesUnder(*object, leaves);
    if (found == 0) return;  // held by no leaf: never found
    Footprint footprint = FootprintOf(*object);
    footprint.shared = found > 1;
    for (int i = 0; i < found; ++i) {
        m_nodes[static_cast<size_t>(leaves[i])].objects.push_back(object);
        Cell& cell = CellOfLeaf(leaves[i]);
        cell.footprints.push_back(footprint);
        cell.Cover(footprint);
    }
    std::copy(leaves, leaves + 4, object->treeLeaves);
    ++m_objectCount;
    object->flags |= SO_PLACED;
}

void CSpatialTree::ForgetVisible(CSceneObject& object) {
    object.flags &= ~SO_VISIBLE;
    if (object.visibleIndex >= 0 && static_cast<size_t>(object.visibleIndex) < m_visible.size() &&
        m_visible[static_cast<size_t>(object.visibleIndex)] == &object)
        m_visible[static_cast<size_t>(object.visibleIndex)] = nullptr;
    object.visibleIndex = -1;
}

void CSpatialTree::Remove(CSceneObject* object) {
    if (!object) return;
    ForgetVisible(*object);
    bool held = false;
    for (int32_t& leaf : object->treeLeaves) {
        if (leaf >= 0 && static_cast<size_t>(leaf) < m_nodes.size()) {
            Node& node = m_nodes[static_cast<size_t>(leaf)];
            size_t at = IndexIn(node, object);
            if (at < node.objects.size()) {
                node.objects.erase(node.objects.begin() + static_cast<std::ptrdiff_t>(at));
                Cell& cell = CellOfLeaf(leaf);
                cell.footprints.erase(cell.footprints.begin() + static_cast<std::ptrdiff_t>(at));
                cell.CoverReaches();
                held = true;
            }
        }
        leaf = -1;
    }
    if (held && m_objectCount > 0) --m_objectCount;
}

void CSpatialTree::Move(CSceneObject* object) {
    if (!object) return;
    // Most moves of a frame stay within the same leaves: the footprints are
    // rewritten where they stand, and the object otherwise fares as removed
    // and inserted again.
    int32_t leaves[4] = {-1, -1, -1, -1};
    int found = m_nodes.empty() ? 0 : LeavesUnder(*object, leaves);
    if (found == 0 || !std::equal(leaves, leaves + 4, object->treeLeaves)) {
        Remove(object);
        Insert(object);
        return;
    }
    Footprint footprint = FootprintOf(*object);
    footprint.shared = found > 1;
    for (int i = 0; i < found; ++i) {
        Node& node = m_nodes[static_cast<size_t>(leaves[i])];
        size_t at = IndexIn(node, object);
        if (at == node.objects.size()) {  // the object's own leaf fields were not the tree's
            Remove(object);
            Insert(object);
            return;
        }
        Cell& cell = CellOfLeaf(leaves[i]);
        cell.footprints[at] = footprint;
        cell.Cover(footprint);
    }
    ForgetVisible(*object);
    object->flags |= SO_PLACED;
}

void CSpatialTree::Clear() {
    for (Node& node : m_nodes) {
        for (CSceneObject* o : node.objects) {
            std::fill(o->treeLeaves, o->treeLeaves + 4, -1);
            o->visibleIndex = -1;
        }
        node.objects.clear();
    }
    for (Cell& cell : m_cells) {
        cell.footprints.clear();
        cell.CoverReaches();
    }
    m_visible.clear();
    m_objectCount = 0;
}

void CSpatialTree::ResetVisibleList() {
    for (CSceneObject* o : m_visible)
        if (o) {
            o->flags &= ~SO_VISIBLE;
            o->visibleIndex = -1;
        }
    m_visible.clear();
}

void CSpatialTree::CollectVisible(const Plane planes[6], int withNearFar) {
    ResetVisibleList();
    if (!m_nodes.empty() && planes) CollectNode(0, planes, withNearFar);
}

void CSpatialTree::CollectNode(int32_t index, const Plane planes[6], int withNearFar) {
    const Node& node = m_nodes[static_cast<size_t>(index)];
    if (!IsBoxInFrustum(planes, node.corners, withNearFar != 0)) return;
    for (CSceneObject* o : node.objects) {
        if (o->flags & (SO_VISIBLE | SO_HIDDEN)) continue;
        if (!o->IsInFrustum(planes, withNearFar)) continue;
        o->flags |= SO_VISIBLE;
        o->visibleIndex = static_cast<int32_t>(m_visible.size());
        m_visible.push_back(o);
    }
    for (int32_t child : node.children)
        if (child >= 0) CollectNode(child, planes, withNearFar);
}

void CSpatialTree::RenderVisible(platform::CGfxDevice* device) {
    if (device) SetRenderStateCached(*device, platform::RS_ALPHABLENDENABLE, 0);
    for (CSceneObject* o : m_visible) {
        if (!o || !(o->flags & SO_VISIBLE) || (o->flags & (SO_HIDDEN | 0x4))) continue;
        if (!(o->material.Get().diffuse.a > 0.0f)) continue;
        if (device && g_pWorldObjectManager && g_pWorldObjectManager->objectLightHook)
            g_pWorldObjectManager->objectLightHook(*o, *device);
        o->Render();
    }
}

bool CSpatialTree::NodeMeetsSquare(const Node& node, float x0, float z0, float x1, float z1) const {
    // Corner 3 is (x0, z0) and corner 1 (x1, z1) of the node.
    return x0 <= node.corners[1].x && x1 >= node.corners[3].x && z0 <= node.corners[1].z && z1 >= node.corners[3].z;
}

// The objects near enough by their footprints, in the order of the walk,
// tested a batch at a time.
struct CSpatialTree::Candidates {
    static constexpr size_t kCapacity = 64;
    CWorldObject* objects[kCapacity];
    bool shared[kCapacity];
    size_t count = 0;
};

void CSpatialTree::QueryRange(const SpatialFilter& filter, std::vector<CWorldObject*>& result,
                              bool stopAtFirst) const {
    result.clear();
    if (m_nodes.empty()) return;
    Candidates batch;
    // Only leaves hold objects, and leaves are numbered in the order of the
    // walk: the leaves under the square, in index order, give what the walk
    // from the root gives, without visiting the nodes above them.
    const float x0 = filter.x - filter.radius, x1 = filter.x + filter.radius;
    const float z0 = filter.z - filter.radius, z1 = filter.z + filter.radius;
    const float n = static_cast<float>(m_leavesPerSide);
    const float c0 = std::clamp(std::floor(x0 / m_leafWidth) - 1.0f, 0.0f, n - 1.0f);
    const float c1 = std::clamp(std::floor(x1 / m_leafWidth), 0.0f, n - 1.0f);
    const float r0 = std::clamp(std::floor(z0 / m_leafDepth) - 1.0f, 0.0f, n - 1.0f);
    const float r1 = std::clamp(std::floor(z1 / m_leafDepth), 0.0f, n - 1.0f);
    constexpr size_t kMaxLeaves = 64;
    if (!(x0 <= x1 && z0 <= z1) || (c1 - c0 + 1.0f) * (r1 - r0 + 1.0f) > static_cast<float>(kMaxLeaves)) {
        if (!QueryNode(0, filter, batch, result, stopAtFirst)) TestCandidates(batch, filter, result, stopAtFirst);
        return;
    }
    // A leaf none of whose footprints can reach into the circle is passed
    // over; the margin covers the rounding of the footprint's own test.
    const float reachLimit = (filter.radius * 1.001f + 1.0f) * (filter.radius * 1.001f + 1.0f);
    int32_t leaves[kMaxLeaves];
    const Cell* cells[kMaxLeaves];
    size_t count = 0;
    const size_t side = static_cast<size_t>(m_leavesPerSide);
    for (size_t r = static_cast<size_t>(r0); r <= static_cast<size_t>(r1); ++r)
        for (size_t c = static_cast<size_t>(c0), at = r * side + c; c <= static_cast<size_t>(c1); ++c, ++at) {
            // Kept by the count rather than a branch: whether a leaf is
            // entered follows no pattern a branch predictor learns.
            const Cell& cell = m_cells[at];
            leaves[count] = m_leafTable[at];
            cells[count] = &cell;
            // How far the box lies off the centre, 0 inside (written so that
            // no branch stands in for the lower bound).
            const float dx = std::max(cell.reachX0 - filter.x, filter.x - cell.reachX1);
            const float dz = std::max(cell.reachZ0 - filter.z, filter.z - cell.reachZ1);
            const float ex = (dx + std::fabs(dx)) * 0.5f, ez = (dz + std::fabs(dz)) * 0.5f;
            count += static_cast<size_t>((x0 <= cell.x1) & (x1 >= cell.x0) & (z0 <= cell.z1) & (z1 >= cell.z0) &
                                         (ex * ex + ez * ez <= reachLimit));
        }
    // Into the order of the leaf numbers, by each one's rank.
    const Cell* ordered[kMaxLeaves];
    for (size_t i = 0; i < count; ++i) {
        int32_t rank = 0;
        for (size_t j = 0; j < count; ++j) rank += leaves[j] < leaves[i];
        ordered[rank] = cells[i];
    }
    for (size_t i = 0; i < count; ++i)
        if (GatherCandidates(*ordered[i], filter, batch, result, stopAtFirst)) return;
    TestCandidates(batch, filter, result, stopAtFirst);
}

bool CSpatialTree::GatherCandidates(const Cell& cell, const SpatialFilter& f, Candidates& batch,
                                    std::vector<CWorldObject*>& result, bool stopAtFirst) const {
    const Footprint* footprints = cell.footprints.data();
    size_t left = cell.footprints.size();
    while (left > 0) {
        if (batch.count == Candidates::kCapacity && TestCandidates(batch, f, result, stopAtFirst)) return true;
        const size_t take = std::min(left, Candidates::kCapacity - batch.count);
        size_t count = batch.count;
        // About half the footprints of the entered leaves lie in the circle,
        // which no branch predicts: each is written, and kept by the count.
        // The footprint is measured as the object's own distance test measures.
        for (size_t i = 0; i < take; ++i) {
            const Footprint& footprint = footprints[i];
            const float dx = f.x - footprint.x, dz = f.z - footprint.z;
            const bool near = std::sqrt(dx * dx + dz * dz) < footprint.reach + f.radius;
            batch.objects[count] = footprint.object;
            batch.shared[count] = footprint.shared != 0;
            count += static_cast<size_t>(near & (footprint.object != nullptr) & (footprint.object != f.self));
        }
        batch.count = count;
        footprints += take;
        left -= take;
    }
    return false;
}

bool CSpatialTree::TestCandidates(Candidates& batch, const SpatialFilter& f, std::vector<CWorldObject*>& result,
                                  bool stopAtFirst) {
    const size_t count = batch.count;
    batch.count = 0;
    // The objects lie apart in memory: their loads overlap when asked for together.
    for (size_t i = 0; i < count; ++i) {
        __builtin_prefetch(&batch.objects[i]->flags);
        __builtin_prefetch(&batch.objects[i]->team);
        __builtin_prefetch(&batch.objects[i]->alive);
    }
    for (size_t i = 0; i < count; ++i) {
        CWorldObject* o = batch.objects[i];
        if (!MatchesFlags(*o, f)) continue;
        // Held by up to four leaves: taken once.
        if (batch.shared[i] && std::find(result.begin(), result.end(), o) != result.end()) continue;
        result.push_back(o);
        if (stopAtFirst) return true;
    }
    return false;
}

bool CSpatialTree::QueryNode(int32_t index, const SpatialFilter& f, Candidates& batch,
                             std::vector<CWorldObject*>& result, bool stopAtFirst) const {
    const Node& node = m_nodes[static_cast<size_t>(index)];
    if (!NodeMeetsSquare(node, f.x - f.radius, f.z - f.radius, f.x + f.radius, f.z + f.radius)) return false;
    const int32_t cell = m_cellOfNode[static_cast<size_t>(index)];
    if (cell >= 0 && GatherCandidates(m_cells[static_cast<size_t>(cell)], f, batch, result, stopAtFirst)) return true;
    for (int32_t child : node.children)
        if (child >= 0 && QueryNode(child, f, batch, result, stopAtFirst)) return true;
    return false;
}

void CSpatialTree::QueryLocalObjects(const SpatialFilter& filter, std::vector<CWorldObject*>& result) const {
    QueryRange(filter, result, false);
    if (!g_pWorldObjectManager) return;
    std::erase_if(result, [](CWorldObject* o) { return !g_pWorldObjectManager->HasLocalAuthority(*o); });
}

CWorldObject* CSpatialTree::QueryArea(const Vec3& centre, float width, float depthZ, std::vector<int32_t>& heroIds,
                                      int32_t team) {
    if (m_nodes.empty()) return nullptr;
    Vec3 rectMin{centre.x - width * 0.5f, 0, centre.z - depthZ * 0.5f};
    Vec3 rectMax{centre.x + width * 0.5f, 0, centre.z + depthZ * 0.5f};
    return AreaNode(0, rectMin, rectMax, heroIds, team);
}

CWorldObject* CSpatialTree::AreaNode(int32_t index, const Vec3& rectMin, const Vec3& rectMax,
                                     std::vector<int32_t>& heroIds, int32_t team) {
    const Node& node = m_nodes[static_cast<size_t>(index)];
    if (!(rectMin.x < node.corners[1].x && rectMax.x > node.corners[3].x && rectMin.z < node.corners[1].z &&
          rectMax.z > node.corners[3].z))
        return nullptr;
    for (CSceneObject* so : node.objects) {
        CWorldObject* o = AsWorldObject(so);
        if (!o || !o->IsUnit() || !(o->unitFlags & 0x10) || !o->alive || o->team == team ||
            o->team == kTeamFriendlyNeutral)
            continue;
        auto it = std::find(heroIds.begin(), heroIds.end(), o->id);
        if (!o->OverlapsRect(&rectMin, &rectMax)) {
            if (it != heroIds.end()) *it = -1;
            continue;
        }
        if (it != heroIds.end()) continue;
        auto freeSlot = std::find(heroIds.begin(), heroIds.end(), -1);
        if (freeSlot != heroIds.end())
            *freeSlot = o->id;
        else
            heroIds.push_back(o->id);
        return o;
    }
    for (int32_t child : node.children)
        if (child >= 0)
            if (CWorldObject* entered = AreaNode(child, rectMin, rectMax, heroIds, team)) return entered;
    return nullptr;
}

bool CSpatialTree::AnyOwnedUnitInArea(const Vec3& centre, float radius, int32_t owner) const {
    return !m_nodes.empty() && OwnedNode(0, centre, radius, owner);
}

bool CSpatialTree::OwnedNode(int32_t index, const Vec3& centre, float radius, int32_t owner) const {
    const Node& node = m_nodes[static_cast<size_t>(index)];
    if (!NodeMeetsSquare(node, centre.x - radius, centre.z - radius, centre.x + radius, centre.z + radius))
        return false;
    for (CSceneObject* so : node.objects) {
        CWorldObject* o = AsWorldObject(so);
        if (o && o->IsUnit() && o->owner == owner && o->alive && o->IsWithinDistance(&centre, radius)) return true;
    }
    for (int32_t child : node.children)
        if (child >= 0 && OwnedNode(child, centre, radius, owner)) return true;
    return false;
}

CWorldObject* CSpatialTree::FindNearestEnemy(CWorldObject* attacker, const Vec3& centre, float radius,
                                             float* bestDistance) const {
    if (!attacker || !bestDistance || m_nodes.empty()) return nullptr;
    CWorldObject* found = nullptr;
    NearestNode(0, attacker, centre, radius, bestDistance, &found);
    return found;
}

void CSpatialTree::NearestNode(int32_t index, CWorldObject* attacker, const Vec3& centre, float radius, float* best,
                               CWorldObject** found) const {
    const Node& node = m_nodes[static_cast<size_t>(index)];
    if (!NodeMeetsSquare(node, centre.x - radius, centre.z - radius, centre.x + radius, centre.z + radius)) return;
    for (CSceneObject* so : node.objects) {
        CWorldObject* o = AsWorldObject(so);
        if (!o || o == attacker || !IsAttackable(*o) || !IsEnemyOf(*attacker, *o)) continue;
        float d = TargetDistance(*attacker, *o);
        if (d < *best) {
            *best = d;
            *found = o;
        }
    }
    for (int32_t child : node.children)
        if (child >= 0) NearestNode(child, attacker, centre, radius, best, found);
}

CWorldObject* CSpatialTree::FindTarget(int32_t* cachedId, CWorldObject* attacker, float range) const {
    if (!cachedId || !attacker) return nullptr;
    if (*cachedId >= 0 && g_pWorldObjectManager) {
        CWorldObject* t = g_pWorldObjectManager->GetObjectById(*cachedId);
        bool seen = attacker->team < 0 || attacker->team >= kPlayerSlots || t == nullptr || t->seen[attacker->team];
        if (t && t != attacker && IsAttackable(*t) && seen && TargetDistance(*attacker, *t) < range) return t;
    }
    *cachedId = -1;
    float best = range;
    CWorldObject* t = FindNearestEnemy(attacker, attacker->position, range, &best);
    if (t) *cachedId = t->id;
    return t;
}

bool CSpatialTree::CellsOverlap(const float a[4], const float b[4], float cellSize) {
    if (!(cellSize >= 1.0f && cellSize < 1e9f)) return false;
    int32_t size = static_cast<int32_t>(cellSize);
    auto cell = [size](float v) { return static_cast<int32_t>(std::clamp(v, -2e9f, 2e9f)) / size; };
    return cell(a[0]) <= cell(b[2]) && cell(b[0]) <= cell(a[2]) && cell(a[1]) <= cell(b[3]) && cell(b[1]) <= cell(a[3]);
}
