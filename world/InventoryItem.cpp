#include "world/InventoryItem.h"

#include "engine/core/NameHash.h"
#include "world/GameDataRegistry.h"
#include "world/ItemData.h"
#include "world/SkillInstance.h"
#include "world/SkillRecord.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

CInventoryItem::~CInventoryItem() { ReleaseSkill(); }

void CInventoryItem::ReleaseSkill() {
    if (useSkill && g_pWorldObjectManager) g_pWorldObjectManager->FreeSkillInstance(useSkill);
    useSkill = nullptr;
}

void CInventoryItem::SetRecord(CGameDataRecord* newRecord) {
    ReleaseSkill();
    record = dynamic_cast<CItemData*>(newRecord);
    if (!record || !g_pWorldObjectManager) return;
    CGameDataRecord* skill = record->useSkillRecord;
    if (!skill && !record->useSkill.empty()) skill = FindGameRecord(CAT_SKILL, NameHash(record->useSkill));
    if (!skill) return;
    useSkill = g_pWorldObjectManager->CreateSkillInstance(skill);
    if (!useSkill) return;
    useSkill->owner = nullptr;
    useSkill->active = 1;
    useSkill->instanceWord1 = -1;
    useSkill->index = index;
    useSkill->level = 1;
}

bool CInventoryItem::IsPersistent() const { return record && record->itemWord6 != 0; }

void CInventoryItem::Equip(int32_t newOwnerId, int32_t value) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    CWorldObject* o = m ? m->GetObjectById(newOwnerId) : nullptr;
    ownerId = newOwnerId;
    if (o && o->IsUnit()) EquipOn(static_cast<CUnit*>(o), value);
}

void CInventoryItem::EquipOn(CUnit* unit, int32_t value) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (!unit || !record || !m) return;
    ownerId = unit->id;
    if (!equipped) m->ApplyStatBonus(unit, record->statsA, record->statsB, 1);
    equipped = true;
    m_unit = unit;
    if (useSkill) {
        useSkill->owner = unit;
        useSkill->instanceWord2 = static_cast<uint32_t>(value);
        useSkill->Init();
    }
}

void CInventoryItem::Unequip() {
    if (equipped && m_unit && record && g_pWorldObjectManager)
        g_pWorldObjectManager->ApplyStatBonus(m_unit, record->statsA, record->statsB, 0);
    equipped = false;
    m_unit = nullptr;
    if (useSkill) useSkill->Stop();
    ownerId = 0;
}

void CInventoryItem::Update(float dt) {
    if (!useSkill) return;
    useSkill->castTimer += dt;
    useSkill->Update(dt);
}
