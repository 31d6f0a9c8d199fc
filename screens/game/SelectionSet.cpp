// The selection set and its helpers.
#include "screens/game/SelectionSet.h"

#include <algorithm>

#include "net/PlayerSlot.h"
#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"

namespace {
CWorldObject* Find(int32_t index) {
    return g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(index) : nullptr;
}
bool Controllable(int32_t index) {
    CWorldObject* o = Find(index);
    return o && o->IsLocalPlayerUnit();
}
}  // namespace

int SelectionPriority(CWorldObject& object) {
    int priority = object.IsLocalPlayerUnit() ? 1000 : 0;
    if ((object.stateFlags & 0x03000000u) == 0) priority += 50;
    const uint32_t kind = object.unitFlags;
    if (kind & 0x10)
        priority += 500;
    else if (kind & 0x20000020u)
        priority += 400;
    else if (kind & 0x40)
        priority += 300;
    else if (kind & 0x02)
        priority += 200;
    else if (kind & 0x80)
        priority += 100;
    return priority;
}

void SortByPriority(std::vector<int32_t>& list) {
    std::stable_sort(list.begin(), list.end(), [](int32_t a, int32_t b) {
        CWorldObject* oa = Find(a);
        CWorldObject* ob = Find(b);
        return (oa ? SelectionPriority(*oa) : -1) > (ob ? SelectionPriority(*ob) : -1);
    });
}

void SpendGold(CPlayerSlot& slot, int32_t amount) { slot.gold = std::max(0, slot.gold - amount); }

int CSelectionSet::Commit(bool additive, int32_t gameMode) {
    if (candidates.empty()) return 0;
    if (candidates.size() > 1) SortByPriority(candidates);
    const int32_t lead = candidates.front();
    const bool leadOwn = Controllable(lead);
    const bool replayLike = gameMode == 3 || gameMode == 4;
    if (!leadOwn || !additive || replayLike) selected.clear();
    for (int32_t c : candidates) {
        auto at = std::find(selected.begin(), selected.end(), c);
        if (at != selected.end()) {
            if (candidates.size() == 1 && additive) break;
            selected.erase(at);
            continue;
        }
        if (selected.size() < kMaxSelected && Controllable(c) && (!replayLike || c == lead)) selected.push_back(c);
    }
    candidates.clear();
    if (!additive) focus = lead;
    return 1;
}

void CSelectionSet::ClearList(std::vector<int32_t>& list) { list.clear(); }

bool CSelectionSet::Contains(int32_t index) const {
    return std::find(selected.begin(), selected.end(), index) != selected.end();
}

void CSelectionSet::RemoveObject(int32_t index) {
    std::erase(selected, index);
    std::erase(candidates, index);
    if (focus == index) focus = -1;
}

void CSelectionSet::Prune() {
    std::erase_if(selected, [](int32_t id) {
        CWorldObject* o = Find(id);
        return !o || !o->alive;
    });
    std::erase_if(candidates, [](int32_t id) { return !Find(id); });
}
