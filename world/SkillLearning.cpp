#include "world/SkillLearning.h"

#include "world/SkillInstance.h"
#include "world/Unit.h"

void CSkillInstance::AdvanceTimedStep() {
    const float cooldown = Cooldown();
    if (level == 0 || cooldown == 0 || cooldownElapsed >= cooldown) {
        ++level;
        Init();
    } else {
        ++pendingLevels;
    }
}

int LearnSkill(CUnit& unit, int32_t skillIndex) {
    if (unit.levelUps <= 0 || skillIndex < 0 || static_cast<size_t>(skillIndex) >= unit.skills.size()) return 0;
    CSkillInstance* skill = unit.skills[static_cast<size_t>(skillIndex)];
    if (!skill || skill->level + skill->pendingLevels >= skill->LevelCount()) return 0;
    --unit.levelUps;
    skill->AdvanceTimedStep();
    return 1;
}
