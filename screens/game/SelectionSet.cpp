// The selection set and its helpers.
#include "screens/game/SelectionSet.h"

#include <algorithm>

#include "engine/render/Camera.h"
#include "net/PlayerSlot.h"
#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"

namespace {
CWorldObject* Find(int32_t index) {
    return g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(index) : nullptr;
}
// Hidden, dying, untargetable and similar objects cannot be picked.
constexpr uint32_t kUnpickable = 0x40000160u | 0x00200000u;

bool Pickable(CWorldObject& object) { return !(object.stateFlags & kUnpickable) && object.GetModel(); }

// The screen rectangle the object's box covers; false when it lies behind the eye.
bool ScreenBounds(const CWorldObject& object, const platform::Matrix& viewProjection, float width, float height,
                  float* left, float* top, float* right, float* bottom) {
    *left = *top = 1e30f;
    *right = *bottom = -1e30f;
    for (const platform::Vec3& corner : object.bounds.outerBox) {
        const platform::Vec4 clip = platform::Vec3Transform(corner, viewProjection);
        if (!(clip.w > 0.0f)) return false;
        const float x = (clip.x / clip.w + 1.0f) * 0.5f * width;
        const float y = (1.0f - clip.y / clip.w) * 0.5f * height;
        *left = std::min(*left, x);
        *right = std::max(*right, x);
        *top = std::min(*top, y);
        *bottom = std::max(*bottom, y);
    }
    return true;
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

void CSelectionSet::PickObjects(const PickRect& rect, CCamera& camera) {
    ClearList(candidates);
    if (!g_pWorldObjectManager) return;
    const bool click = rect.left == rect.right && rect.top == rect.bottom;
    const float width = static_cast<float>(camera.viewportWidth), height = static_cast<float>(camera.viewportHeight);
    if (click) camera.MakePickRay(static_cast<float>(rect.left), static_cast<float>(rect.top), camera.projection,
                                  camera.view);
    const float left = static_cast<float>(std::min(rect.left, rect.right));
    const float right = static_cast<float>(std::max(rect.left, rect.right));
    const float top = static_cast<float>(std::min(rect.top, rect.bottom));
    const float bottom = static_cast<float>(std::max(rect.top, rect.bottom));
    const platform::Matrix viewProjection = platform::MatrixMultiply(camera.view, camera.projection);
    for (CWorldObject* object : g_pWorldObjectManager->Objects()) {
        if (!object || !Pickable(*object)) continue;
        if (click) {
            float distance = 0;
            if (object->IntersectRay(camera.rayOrigin, camera.rayDirection, &distance, nullptr, 0))
                candidates.push_back(object->id);
            continue;
        }
        float l, t, r, b;
        if (ScreenBounds(*object, viewProjection, width, height, &l, &t, &r, &b) && l <= right && r >= left &&
            t <= bottom && b >= top)
            candidates.push_back(object->id);
    }
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
