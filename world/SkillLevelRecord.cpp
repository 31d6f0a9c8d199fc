#include "world/SkillLevelRecord.h"

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "engine/effects/EffectResource.h"
#include "world/GameDataRecord.h"
#include "world/GameDataRegistry.h"

bool CSkillLevelRecord::Serialize(CFileStream& s) {
    s.Serialize(cooldown);
    s.Serialize(levelText);
    s.Serialize(manaCost);
    s.Serialize(levelWord3);
    return !s.Failed() && SerializeKind(s) && !s.Failed();
}

void CSkillLevelRecord::Assign(const CSkillLevelRecord& other) {
    linked = other.linked;
    cooldown = other.cooldown;
    levelText = other.levelText;
    manaCost = other.manaCost;
    levelWord3 = other.levelWord3;
    amount = other.amount;
}

float CSkillLevelRecord::Amount(size_t i) const { return BitsFloat(amount[i]); }

CSkillLevelRecall::CSkillLevelRecall() { amount[1] = amount[2] = 1; }

bool CSkillLevelRecall::SerializeKind(CFileStream& s) {
    SerializeWords(s, {&amount[1], &amount[2], &amount[3], &amount[4], &amount[6], &amount[5]});
    s.Serialize(recallUnit);
    if (s.mode() == CFileStream::MODE_READ) recallKey = NameHash(recallUnit);
    return !s.Failed();
}

int CSkillLevelRecall::Check() {
    if (recallUnit.empty()) return FailCheck(ERR_DATA, "Recall Unit");
    return ResolveRecord(CAT_UNIT, recallUnit, recallRecord);
}

int CSkillLevelRecall::Link() {
    if (recallRecord && !recallRecord->Link()) return 0;
    linked = 1;
    return 1;
}

void CSkillLevelRecall::ReleaseResources() {
    if (CGameDataRecord* unit = FindGameRecord(CAT_UNIT, recallKey)) unit->ReleaseResources();
    linked = 0;
}

void CSkillLevelRecall::Assign(const CSkillLevelRecord& other) {
    CSkillLevelRecord::Assign(other);
    if (const auto* o = dynamic_cast<const CSkillLevelRecall*>(&other)) {
        recallUnit = o->recallUnit;
        recallKey = o->recallKey;
        recallRecord = o->recallRecord;
    }
}

bool CSkillLevelAmounts::SerializeKind(CFileStream& s) {
    s.Serialize(amount[1]);
    s.Serialize(amount[2]);
    if (m_kind != 2) s.Serialize(amount[3]);
    return !s.Failed();
}

float CSkillLevelAmounts::GetLevelValue1() const {
    switch (m_kind) {
        case 4: return Amount(2);
        case 7: return Amount(3);
        default: return 0.0f;
    }
}

float CSkillLevelAmounts::GetLevelValue2() const { return m_kind == 2 || m_kind == 3 ? Amount(1) : 0.0f; }

float CSkillLevelAmounts::GetLevelValue3() const { return m_kind == 4 || m_kind == 7 ? Amount(1) : 0.0f; }

float CSkillLevelAmounts::GetLevelValue4() const { return m_kind == 1 ? Amount(3) : 0.0f; }

CSkillLevelObjectEffect::CSkillLevelObjectEffect() {
    amount[5] = FloatBits(100.0f);
    amount[6] = 1;
}

bool CSkillLevelObjectEffect::SerializeKind(CFileStream& s) {
    for (size_t i = 1; i <= 6; ++i) s.Serialize(amount[i]);
    return !s.Failed();
}

bool CSkillLevelEffects::SerializeKind(CFileStream& s) {
    for (size_t i = 1; i <= 5; ++i) s.Serialize(amount[i]);
    s.Serialize(effectA);
    s.Serialize(effectB);
    s.Serialize(levelWord4);
    return !s.Failed();
}

int CSkillLevelEffects::Link() {
    if (!AcquireResource(effectA, RES_EFFECT, effectAResource) ||
        !AcquireResource(effectB, RES_EFFECT, effectBResource))
        return 0;
    linked = 1;
    return 1;
}

void CSkillLevelEffects::ReleaseResources() {
    DropResource(effectAResource);
    DropResource(effectBResource);
    linked = 0;
}

void CSkillLevelEffects::Assign(const CSkillLevelRecord& other) {
    CSkillLevelRecord::Assign(other);
    if (const auto* o = dynamic_cast<const CSkillLevelEffects*>(&other)) {
        effectA = o->effectA;
        effectB = o->effectB;
        levelWord4 = o->levelWord4;
    }
}

int CSkillLevelEffects::Check() {
    const auto* a = dynamic_cast<const CEffectResource*>(effectAResource);
    const auto* b = dynamic_cast<const CEffectResource*>(effectBResource);
    if ((a && a->EffectType() == 2) || (b && b->EffectType() == CEffectResource::kTypeRefused))
        return FailCheck(ERR_DATA, effectA.empty() ? effectB : effectA);
    return 1;
}

std::unique_ptr<CSkillLevelRecord> CreateSkillLevel(uint32_t kind) {
    switch (kind) {
        case 0: return std::make_unique<CSkillLevelRecall>();
        case 1:
        case 2:
        case 3:
        case 4:
        case 7: return std::make_unique<CSkillLevelAmounts>(kind);
        case 5: return std::make_unique<CSkillLevelObjectEffect>();
        case 6: return std::make_unique<CSkillLevelEffects>();
        case 8: return std::make_unique<CSkillLevelRecord>();
        default: return nullptr;
    }
}
