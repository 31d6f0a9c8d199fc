#include "world/SkillInstance.h"

#include <algorithm>

#include "commands/GameCommandManager.h"
#include "world/CombatObject.h"
#include "world/EffectRecord.h"
#include "world/SkillLevelRecord.h"
#include "world/SkillRecord.h"
#include "world/UnitEffect.h"
#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"

int32_t CSkillInstance::LevelCount() const { return record ? static_cast<int32_t>(record->LevelCount()) : 0; }

const CSkillLevelRecord* CSkillInstance::LevelRecord() const {
    if (!record || level < 1) return nullptr;
    return record->Level(static_cast<size_t>(level - 1));
}

float CSkillInstance::Cooldown() const {
    const CSkillLevelRecord* l = LevelRecord();
    return l ? l->cooldown : 0.0f;
}

bool CSkillInstance::IsReady() const {
    if (!LevelRecord()) return false;
    float cooldown = Cooldown();
    return cooldown == 0 || cooldownElapsed >= cooldown;
}

int CSkillInstance::Start(const platform::Vec3& /*point*/, int32_t /*targetId*/) {
    if (!LevelRecord()) return 0;
    RestartCooldown();
    return 1;
}

void CSkillInstance::ApplyPendingLevels() {
    if (pendingLevels <= 0 || level <= 0) return;
    float cooldown = Cooldown();
    if (cooldown != 0 && cooldownElapsed < cooldown) return;
    int32_t cap = LevelCount();
    if (cap > 0) level = std::min(level + pendingLevels, cap);
    pendingLevels = 0;
    Init();
    cooldownElapsed = kReady;
}

float CSkillInstance::Amount(size_t i) const {
    const CSkillLevelRecord* l = LevelRecord();
    return l ? l->Amount(i) : 0.0f;
}

void CSkillInstance::SetCooldownState(int restore, float value, float rate) {
    if (restore) {
        cooldownElapsed = value;
        cooldownRate = rate;
        return;
    }
    const float left = value;
    const float divisor = LevelRecord() ? Cooldown() : 1.0f;
    cooldownRate = 1.0f;
    if (left <= 0) {
        cooldownElapsed = 0;
    } else if (left >= divisor) {
        // Nothing of the cooldown remains to run at a finite rate: it is over.
        cooldownElapsed = kReady;
    } else {
        cooldownElapsed = 0;
        cooldownRate = divisor / (divisor - left);
    }
}

void CSkillInstance::ApplyEffectsToTarget(CWorldObject& target) {
    if (!record || !owner) return;
    for (const RecordName& e : record->effects) {
        auto* effect = dynamic_cast<CEffectRecord*>(e.record);
        if (!effect) continue;
        if (target.ApplyEffect(effect, level, owner->id, 1) &&
            std::find(targets.begin(), targets.end(), static_cast<int32_t>(effect->id)) == targets.end())
            targets.push_back(static_cast<int32_t>(effect->id));
    }
}

void CSkillInstance::EndGivenEffects(CWorldObject& unit) {
    for (CUnitEffect* e : unit.effects)
        if (e->record && owner && e->sourceId == owner->id &&
            std::find(targets.begin(), targets.end(), static_cast<int32_t>(e->record->id)) != targets.end())
            e->elapsed = CUnitEffect::kEnded;
}

void CSkillInstance::CastOnTargets() {
    CWorldObjectManager* m = g_pWorldObjectManager;
    for (int32_t id : list) {
        CWorldObject* o = m ? m->GetObjectById(id) : nullptr;
        if (o && o->HasLocalAuthority() && g_pGameCommandManager) g_pGameCommandManager->BuildGameEvent(5, id, -1, 1);
    }
    list.clear();
}

int CSkillInstance::StartSkillAction(const platform::Vec3& point) {
    if (!owner || !LevelRecord() || !owner->HasLocalAuthority()) return 0;
    owner->ConsumeMana(LevelRecord()->manaCost);
    list.clear();
    if (g_pGameCommandManager) g_pGameCommandManager->BuildSkillAction(-1, owner->id, id, point, 1);
    cooldownElapsed = 0;
    cooldownRate = 1.0f;
    if (!record || record->kind != 0 || record->skillWord1 == 0) active = 1;
    return 1;
}
