// A BUILDING record (category 1): a building type.
#pragma once

#include "world/CombatData.h"

class CBuildingData : public CCombatData {
public:
    CBuildingData();

    int Serialize(CFileStream& stream) override;

    uint32_t buildingWord1 = 0;
};
