// A UNIT record (category 0): a unit type; with bit 4 of flags, a hero.
#pragma once

#include "world/CombatData.h"

class CUnitData : public CCombatData {
public:
    CUnitData();

    int Serialize(CFileStream& stream) override;

    std::string unitText2;  // the first string of the record
    std::string icon;       // texture (type 7)
    CResource* iconResource = nullptr;
    std::string unitText3, unitText4, unitText5;
    std::array<uint32_t, 3> vecC{}, vecD{};
    uint32_t unitWord1 = FloatBits(1.0f);
    // The hero class (0..4 for the stat rules; 0..3 name a class icon); on read
    // it sets exactly one of flag bits 13, 14, 15 for 0, 1, 2 and clears all
    // three otherwise.
    uint32_t unitClass = 0;
    uint32_t unitWord2 = FloatBits(1.0f), unitWord3 = FloatBits(30.0f);
    uint32_t unitWord5 = 0;  // the unit's radius
    uint32_t unitWord6 = 0;  // the flying height

    static constexpr uint32_t kClassFlagMask = 0xE000u;

protected:
    int LinkOwnResources() override;
    void ReleaseOwnResources() override { DropResource(iconResource); }
};
