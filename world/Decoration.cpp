#include "world/Decoration.h"

#include "world/DecorationData.h"

CDecorationData* CDecoration::DecorationRecord() const { return dynamic_cast<CDecorationData*>(record); }

int CDecoration::InitFromRecord(const platform::Vec3& at, CGameDataRecord* rec, int32_t /*level*/, float yaw,
                                float scale) {
    auto* data = dynamic_cast<CDecorationData*>(rec);
    if (!data || !BindRecord(at, rec, yaw, scale)) return 0;
    hitPoints = GetStat(5);
    if (data->flags & 0x200000) {
        flags &= ~WO_BLOCKS_GRID;
        flags |= 0x100;
    }
    if (data->value2 & 0x40) flags |= 0x8;
    return 1;
}

float CDecoration::GetStat(int32_t index) {
    CDecorationData* d = DecorationRecord();
    if (!d) return 0;
    if (index == 4) return BitsFloat(d->decoWord1);
    if (index == 5) return BitsFloat(d->decoWord3);
    return 0;
}
