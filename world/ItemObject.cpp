#include "world/ItemObject.h"

#include "engine/render/ModelResource.h"
#include "world/GameDataRecord.h"
#include "world/GameDataRegistry.h"
#include "world/ItemData.h"
#include "world/WorldObjectManager.h"

int CItemObject::InitFromRecord(const platform::Vec3& at, CGameDataRecord* rec, int32_t /*level*/, float yaw,
                                float scale) {
    auto* data = dynamic_cast<CItemData*>(rec);
    if (!data || !BindRecord(at, rec, yaw, scale)) return 0;
    SetAlpha(1.0f);
    hitPoints = 1.0f;
    if (data->kind == 0) itemCount = static_cast<int32_t>(data->itemWord[3]);
    if (CModelResource* model = GetModel()) SetAction(model->GetAction(kGroundAction), 1, 0);
    return 1;
}

CItemObject* PlaceDroppedItem(int32_t count, uint32_t recordId, const platform::Vec3& point, uint32_t id) {
    CWorldObjectManager* om = g_pWorldObjectManager;
    CGameDataRecord* record = FindGameRecord(CAT_ITEM, recordId);
    // A negative id would take a fresh one, different on each machine.
    if (!om || !record || id >= static_cast<uint32_t>(CWorldObjectManager::kIdLimit)) return nullptr;
    CWorldObject* o = om->CreateObject(3);
    auto* item = dynamic_cast<CItemObject*>(o);
    if (!item || !item->InitFromRecord(point, record, 1, 0, 1.0f)) {
        if (o) om->DestroyObject(o);
        return nullptr;
    }
    item->itemCount = count;
    item->recordName = record->name;
    if (!om->RegisterObject(item, static_cast<int32_t>(id), 1, 1)) {
        om->DestroyObject(item);
        return nullptr;
    }
    return item;
}
