#include "world/ItemObject.h"

#include "engine/render/ModelResource.h"
#include "world/ItemData.h"

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
