// What units and buildings share: the stat block, two placement vectors, a
// second model, the shared words, the skill list and the shot (ShootInfo).
#pragma once

#include "world/GameDataRecord.h"
#include "world/VisualRef.h"

class CCombatData : public CGameDataRecord {
public:
    CCombatData(uint32_t category, uint32_t flags);

    std::string model2;
    CResource* model2Resource = nullptr;
    std::array<uint32_t, 3> vecA{}, vecB{};
    StatBlock baseStats{};
    // word[1]..word[12] as both categories name them; word[9] and word[10] are
    // hitRow and hitColumn and live in the base record.
    std::array<uint32_t, 13> word{};
    std::vector<RecordName> skills;
    VisualRef shootInfo;

    // Looks every skill name up in the SKILL map; 10003 with the first missing name.
    int Check() override;

protected:
    // Own resources, the visual block, the check, then every skill.
    int LinkBody() override;
    void ReleaseBody() override;
    // The resources of the category before the visual block and the check.
    virtual int LinkOwnResources();
    virtual void ReleaseOwnResources() {}
};
