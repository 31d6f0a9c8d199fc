// An item a unit carries in one of its eight slots: an ITEM record, its
// charges and, when the item has a use skill, that skill's instance. Equipping
// adds the item's stat bonuses to the unit; unequipping takes them away.
#pragma once

#include <cstdint>

class CGameDataRecord;
class CItemData;
class CSkillInstance;
class CUnit;

class CInventoryItem {
public:
    CInventoryItem() = default;
    // The use skill goes back to its pool.
    virtual ~CInventoryItem();
    CInventoryItem(const CInventoryItem&) = delete;
    CInventoryItem& operator=(const CInventoryItem&) = delete;

    // Releases the old use skill and makes the new record's.
    void SetRecord(CGameDataRecord* record);
    // Adds the stat bonuses to the unit and binds the use skill to it.
    virtual void Equip(int32_t ownerId, int32_t value);
    // Equip on a unit in hand (one not registered yet has no id to look up).
    void EquipOn(CUnit* unit, int32_t value);
    // Takes the bonuses away again (once) and stops the use skill.
    virtual void Unequip();
    virtual void Update(float dt);
    // An item in use stays until something ends it.
    bool IsPersistent() const;

    int32_t ownerId = 0;
    CItemData* record = nullptr;
    uint32_t recordId = 0;
    int32_t charges = 0;
    CSkillInstance* useSkill = nullptr;
    // Kept by the world object manager and the unit.
    int32_t index = -1;
    int32_t poolKind = -1;
    bool equipped = false;
    float useTimer = 0;

private:
    void ReleaseSkill();
    CUnit* m_unit = nullptr;
};
