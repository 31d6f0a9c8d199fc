#include "world/CombatData.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "world/GameDataRegistry.h"

CCombatData::CCombatData(uint32_t category, uint32_t flags) : CGameDataRecord(category, flags) {
    baseStats[9] = FloatBits(1.7f);
    baseStats[10] = FloatBits(30.0f);
    baseStats[11] = FloatBits(100.0f);
    baseStats[14] = baseStats[15] = baseStats[16] = FloatBits(50.0f);
    word[1] = FloatBits(1.0f);
    word[5] = FloatBits(10.0f);
    word[11] = 0x00100008u;
    word[12] = 0x002B0000u;
}

int CCombatData::Check() {
    for (RecordName& entry : skills)
        if (!ResolveRecord(CAT_SKILL, entry.name, entry.record)) return 0;
    return 1;
}

int CCombatData::LinkOwnResources() {
    return AcquireResource(model, RES_MODEL, modelResource) && AcquireResource(model2, RES_MODEL, model2Resource);
}

int CCombatData::LinkBody() {
    bool ok = LinkOwnResources() && LinkVisualRef(shootInfo);
    if (ok && !Check()) return 0;
    for (size_t i = 0; ok && i < skills.size(); ++i) ok = skills[i].record->Link() != 0;
    if (!ok) ErrorReport().Chain("%s : %s", CategoryLabel(category), name);
    return ok ? 1 : 0;
}

void CCombatData::ReleaseBody() {
    DropResource(model2Resource);
    ReleaseOwnResources();
    ReleaseVisualRef(shootInfo);
    for (RecordName& entry : skills) {
        CGameDataRecord* skill = FindGameRecord(CAT_SKILL, NameHash(entry.name));
        if (skill) skill->ReleaseResources();
    }
}
