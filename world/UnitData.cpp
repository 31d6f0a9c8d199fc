#include "world/UnitData.h"

#include "engine/core/FileStream.h"

CUnitData::CUnitData() : CCombatData(CAT_UNIT, 1) { word[4] = 30; }

int CUnitData::Serialize(CFileStream& s) {
    s.Serialize(unitText2);
    SerializeWords(s, {&flags, &value2});
    s.Serialize(model);
    s.Serialize(icon);
    s.Serialize(unitText3);
    s.Serialize(model2);
    for (auto* v : {&vecA, &vecB, &vecC, &vecD}) SerializeVec(s, *v);
    s.Serialize(unitText4);
    SerializeName(s);
    s.Serialize(text);
    s.Serialize(unitText5);
    SerializeWords(s, {&unitWord1, &unitClass});
    if (s.mode() == CFileStream::MODE_READ) {
        flags &= ~kClassFlagMask;
        if (unitClass < 3) flags |= 0x2000u << unitClass;
    }
    SerializeBlock(s, baseStats);
    SerializeWords(s, {&unitWord2, &unitWord3, &word[1], &word[2], &word[3], &word[6], &unitWord6, &word[4],
                       &unitWord5, &word[5], &word[7], &word[8], &hitRow, &hitColumn, &word[11], &word[12]});
    if (s.Failed() || !SerializeNameList(s, skills)) return 0;
    return SerializeVisualRef(shootInfo, s) ? 1 : 0;
}

int CUnitData::LinkOwnResources() {
    return AcquireResource(model, RES_MODEL, modelResource) && AcquireResource(icon, RES_TEXTURE, iconResource) &&
           AcquireResource(model2, RES_MODEL, model2Resource);
}
