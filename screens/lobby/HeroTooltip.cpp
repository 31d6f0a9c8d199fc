#include "screens/lobby/HeroTooltip.h"

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "screens/game/PlayResources.h"
#include "world/UnitData.h"

namespace {
constexpr uint32_t kRangedAttackBit = 0x800000u;
}  // namespace

std::string BuildHeroTooltip(const CUnitData& unit, const std::array<float, hero_stats::kStats>& stats,
                             const std::vector<std::string>& raceNames, const std::vector<std::string>& classNames) {
    const int attackText = (unit.flags & kRangedAttackBit) ? MSG_MYINFO_HERO_LONG_ATTACK : MSG_MYINFO_HERO_SHORT_ATTACK;
    const std::string attack = FormatText(GetMessageText(attackText), unit.unitText4);
    const std::string className = CPlayResources::ListEntry(classNames, static_cast<int>(unit.unitClass));
    const std::string raceName = CPlayResources::ListEntry(raceNames, CPlayResources::RaceIndex(unit.flags));
    auto stat = [&stats](size_t k) { return hero_stats::WholeStat(stats[k]); };
    // Strength, dexterity, intelligence, attack, defence, hit points, mana:
    // the stats the hero pages print as whole numbers.
    return FormatText(GetMessageText(MSG_MYINFO_HERO_INFO), unit.name, unit.unitText3, className, stat(0), stat(1),
                      stat(2), stat(3), stat(4), stat(5), stat(6), raceName, attack);
}
