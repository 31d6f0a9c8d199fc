// A unit or hero: a combat object with a level and experience, an inventory
// of 8 item slots whose items share cooldown groups, movement speed,
// regeneration, revival and footstep cues, and its saved state in a map.
#pragma once

#include <cstdint>
#include <list>
#include <utility>
#include <vector>

#include "world/CombatObject.h"

class CInventoryItem;
class CUnitData;

class CUnit : public CCombatObject {
public:
    static constexpr int32_t kInventorySlots = 8;
    static constexpr int32_t kNormalSlots = 6;
    static constexpr float kMaxSpeed = 80.0f;

    CUnit();
    // Carried items and items in use go back to the manager.
    ~CUnit() override;

    int InitFromRecord(const platform::Vec3& position, CGameDataRecord* record, int32_t level, float yaw,
                       float scale) override;
    int Serialize(CFileStream& stream, int flag) override;
    int LinkResources(int flag) override;
    int IsLocalPlayerUnit() override;
    void SetHeight(float y) override;

    int UpdateItems(float elapsed) override;
    void NotifyItems(int32_t value) override;
    void RecalcStats(int32_t index) override;
    float GetAcquireRange() override;
    void Regenerate(float elapsed) override;
    void Revive() override;
    void EndRevive() override;
    void OnLevelChanged() override;
    void UpdateTrail(float elapsed) override;

    CUnitData* UnitRecord() const;
    // Base stats of the level; then every stat, the bounties and the experience thresholds.
    void ApplyLevelStats();
    int32_t GetExperienceForLevel(int32_t forLevel) const;
    // True when the level changed.
    bool ApplyLevelUps();
    int32_t MaxLevel() const;
    // Final stat 10 at most 80; a negative speed becomes 1.0.
    float GetMoveSpeed() const;
    // -1 when the unit may take the item (slot: the one it goes to), else a message code.
    int32_t CanAcquireItem(const CInventoryItem& item, int32_t wantedSlot, int32_t* slot) const;
    void SetInventoryItem(int32_t slot, CInventoryItem* item);
    void RemoveInventoryItem(int32_t slot);
    // The item leaves its slot and stays in use until its timer runs out.
    void AddItemInUse(CInventoryItem* item);
    // The cooldown group of an item: its cooldown partner, else its own record.
    static uint32_t CooldownGroup(const CInventoryItem& item);
    // Copies a unit: owner, team, stats (attributes scaled by factor), HP and mana.
    void CloneFrom(const CUnit& source, float factor, int keep);
    CInventoryItem* Item(int32_t slot) const {
        return slot >= 0 && slot < kInventorySlots ? inventory[slot] : nullptr;
    }

    float experience = 0;
    float previousExperience = 0;
    float nextExperience = 0;
    int32_t levelUps = 0;
    CInventoryItem* inventory[kInventorySlots] = {};
    int32_t itemCount = 0;
    std::list<CInventoryItem*> itemsInUse;
    std::vector<std::pair<uint32_t, float>> cooldownGroups;
    uint32_t trailFlag = 0;
    uint32_t forceTrail = 0;
    platform::Vec3 lastFootprint;
    platform::Vec3 lastFootstep;
    float footstepDistance = 10;
    float regenerationTimer = 0;
    float walkAnimationRate = 1.0f;
    // How far an enemy hero has shown itself to the local team; the status
    // panel lists enemies from 1.0 on, most revealed first.
    float revealValue = 0;
    // A hero that takes part in the match as one (not in game mode 2).
    uint32_t matchHero = 0;

protected:
    int SerializeBody(CFileStream& stream, int flag) override;

private:
    // One stat's final value from the arrays (the attack interval and speed by their own rules).
    float ComputeFinal(int32_t index) const;
    void SetFinal(int32_t index);
    void FreeItem(CInventoryItem* item);

    // What the stat rules read of the record, taken with the level stats.
    uint32_t m_heroClass = 0;
    float m_walkRate = 1.0f;
    float m_walkReference = 0;
};
