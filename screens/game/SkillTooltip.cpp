#include "screens/game/SkillTooltip.h"

#include <algorithm>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "world/SkillInstance.h"
#include "world/SkillRecord.h"

namespace {
constexpr uint32_t kActive = 0x10;
constexpr uint32_t kPassive = 0x20;

const char* KindText(int mode, const CSkillInstance& skill) {
    const uint32_t flags = skill.record->flags;
    if (flags & kActive) return GetMessageText(MSG_GAMEPLAY_SKILL_TYPE_ACTIVE);
    if (flags & kPassive) return GetMessageText(MSG_GAMEPLAY_SKILL_TYPE_PASSIVE);
    if (mode == SKILL_TOOLTIP_SLOT)
        return GetMessageText(skill.active ? MSG_GAMEPLAY_SKILL_OFF : MSG_GAMEPLAY_SKILL_ON);
    return GetMessageText(MSG_GAMEPLAY_SKILL_ONOFF);
}
}  // namespace

void BuildSkillTooltip(int mode, const CSkillInstance& skill, int32_t levelIndex, std::string& out) {
    const CSkillRecord* record = skill.record;
    if (!record) return;
    const char* kind = KindText(mode, skill);
    if (mode == SKILL_TOOLTIP_SHORT) {
        out += FormatText("</>%s (%s)\n%s", record->name, kind, record->text);
        return;
    }
    const int32_t shownLevel = skill.level + skill.pendingLevels + (mode == SKILL_TOOLTIP_LEARN ? 1 : 0);
    out += FormatText("</>Lv%d %s (%s)", shownLevel, record->name, kind);
    const int32_t count = static_cast<int32_t>(record->LevelCount());
    if (count == 0) return;
    // A level past the record's last one describes the last.
    levelIndex = std::clamp(levelIndex, 0, count - 1);
    const CSkillLevelRecord* level = record->Level(static_cast<size_t>(levelIndex));
    if (level->manaCost > 0) {
        out += "</C=44aaff> : ";
        out += FormatText(GetMessageText(MSG_GAMEPLAY_SKILL_SPENT_MANA), static_cast<int32_t>(level->manaCost));
    }
    if (!level->levelText.empty()) out += FormatText("\n\n%s", level->levelText);

    const float distance = level->GetLevelValue1();
    const CSkillLevelRecord* current = skill.level >= 1 ? record->Level(static_cast<size_t>(skill.level - 1)) : nullptr;
    const float cooldown = current ? current->cooldown : 0.0f;
    const bool hasNext = levelIndex + 1 < count;
    if (distance == 0 && cooldown == 0 && !hasNext) return;
    out += "\n</C=9696C8>";
    if (distance != 0)
        out += FormatText(GetMessageText(MSG_GAMEPLAY_SKILL_USE_DISTANCE), static_cast<int32_t>(distance));
    if (cooldown != 0)
        out += FormatText(GetMessageText(MSG_GAMEPLAY_SKILL_COOLTIME), static_cast<int32_t>(cooldown));
    if (hasNext)
        out += FormatText(GetMessageText(MSG_GAMEPLAY_SKILL_NEXT_LEVEL),
                          static_cast<int32_t>(record->Level(static_cast<size_t>(levelIndex + 1))->levelWord3));
}

void BuildSlotTooltip(const CSkillInstance* skill, bool learn, std::string& out) {
    out.clear();
    if (!skill || !skill->record) return;
    const int32_t learned = skill->level + skill->pendingLevels;
    // The learn text describes the level the point buys, and so names the
    // hero level that the one after it needs.
    if (learn) return BuildSkillTooltip(SKILL_TOOLTIP_LEARN, *skill, learned, out);
    BuildSkillTooltip(learned > 0 ? SKILL_TOOLTIP_SLOT : SKILL_TOOLTIP_SHORT, *skill, std::max(learned - 1, 0), out);
}
