#include "world/BuildingData.h"

#include "engine/core/FileStream.h"

CBuildingData::CBuildingData() : CCombatData(CAT_BUILDING, 2) { baseStats[10] = 0; }

int CBuildingData::Serialize(CFileStream& s) {
    SerializeWords(s, {&flags, &value2, &buildingWord1});
    s.Serialize(model);
    s.Serialize(model2);
    SerializeVec(s, vecA);
    SerializeVec(s, vecB);
    SerializeName(s);
    s.Serialize(text);
    SerializeBlock(s, baseStats);
    SerializeWords(s, {&word[1], &word[2], &word[3], &word[6], &word[4], &word[5], &word[7], &word[8], &hitRow,
                       &hitColumn, &word[11], &word[12]});
    if (s.Failed() || !SerializeNameList(s, skills)) return 0;
    return SerializeVisualRef(shootInfo, s) ? 1 : 0;
}
