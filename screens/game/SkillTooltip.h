// The text a skill button, a skill-point button or an item's skill shows
// when the pointer rests on it, in the toolkit's colour mark-up.
#pragma once

#include <cstdint>
#include <string>

class CSkillInstance;

enum SkillTooltipMode : int {
    SKILL_TOOLTIP_SHORT = 0,  // name and kind only
    SKILL_TOOLTIP_SLOT = 1,   // the level the skill has (pending levels counted)
    SKILL_TOOLTIP_LEARN = 2,  // what learning one more level gives
};

// The tooltip of a skill for one of its level records; levelIndex is held
// inside the record's levels. The text is appended to out.
void BuildSkillTooltip(int mode, const CSkillInstance& skill, int32_t levelIndex, std::string& out);
// The tooltip of a panel slot: out emptied, then filled for the skill (nothing
// for none); learn picks the skill-point button's text.
void BuildSlotTooltip(const CSkillInstance* skill, bool learn, std::string& out);
