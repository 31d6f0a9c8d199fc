#include "world/SkillInstance.h"

#include <algorithm>

#include "world/SkillRecord.h"

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
