// Which world objects the player has selected, which ones are candidates
// under the cursor or in the drag rectangle, and which one is in focus. The
// input modes fill the candidates, Commit turns them into the selection, and
// the dispatcher and the HUD read and prune it. The few small helpers every
// part of the play screen uses sit here too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CCamera;
class CPlayerSlot;
class CWorldObject;

// A drag rectangle in screen pixels; one of zero size is a click.
struct PickRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

class CSelectionSet {
public:
    static constexpr size_t kMaxSelected = 12;

    // 0 when there were no candidates, else 1. gameMode 3 (replay) and 4
    // (observer) select only the lead.
    int Commit(bool additive, int32_t gameMode);
    void AddCandidate(int32_t index) { candidates.push_back(index); }
    // The candidates become the selectable objects the rectangle overlaps on
    // the camera's screen, or, for a click, those the pick ray through the
    // point hits.
    void PickObjects(const PickRect& rect, CCamera& camera);
    void ClearList(std::vector<int32_t>& list);
    bool Contains(int32_t index) const;
    // Out of both lists; the focus goes when it was this object.
    void RemoveObject(int32_t index);
    // Drops every id whose object is gone, dead or without a model.
    void Prune();

    std::vector<int32_t> selected;
    std::vector<int32_t> candidates;
    int32_t focus = -1;
};

// Higher first: the local player's own objects, then by kind.
int SelectionPriority(CWorldObject& object);
// Stable: ties keep their order.
void SortByPriority(std::vector<int32_t>& list);
// Gold down by amount, never below 0.
void SpendGold(CPlayerSlot& slot, int32_t amount);
