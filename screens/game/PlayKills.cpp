// What a death and a hit mean for the match: the killer's bounty, both
// players' statistics and streaks, the kill notice, the first-kill bonus, the
// team score, the respawn time, and the floating numbers over units. Every
// machine runs the same records, so every player's statistics stay equal.
#include <algorithm>
#include <cmath>

#include "commands/CommandRecords.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/sound/SoundEffect.h"
#include "net/ClientSession.h"
#include "screens/game/FloatingText.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayScreen.h"
#include "world/CombatObject.h"
#include "world/WorldObjectManager.h"

namespace {

constexpr uint32_t kClassHero = 0x10;
constexpr uint32_t kClassGuard = 0x2;
constexpr uint32_t kClassLord = 0x20000020;
// Flag-word bits of a victim that pays nothing and counts for nobody.
constexpr uint32_t kNoBounty = 1u << 24;
constexpr uint32_t kNoPlayer = 1u << 25;
constexpr int32_t kFirstKillBonus = 300;
constexpr int32_t kMinimumHeroBounty = 100;
constexpr int32_t kDeathGoldLoss = 100;
constexpr int32_t kDeathLossLevel = 10;
constexpr size_t kKeptDamageNumbers = 64;
// How a damage number floats: it bounces, holds, then rises and fades.
constexpr float kDamageHold = 0.8f;
constexpr float kDamageRise = 40.0f;
constexpr float kDamageFade = 2.0f;


CPlayerSlot* SlotOf(int32_t slot) {
    return slot >= 0 && slot < kPlayerSlots && g_pClientSession ? &g_pClientSession->slots[static_cast<size_t>(slot)]
                                                                 : nullptr;
}

int32_t LevelOf(const CWorldObject& o) {
    return o.IsCombatObject() ? static_cast<const CCombatObject&>(o).level : 1;
}

void Earn(CPlayerSlot& slot, int32_t amount) {
    slot.gold += amount;
    slot.goldEarned += amount;
    slot.goldTally += amount;
}

const char* TeamColour(int32_t slot, const CWorldObjectManager& world) {
    return world.ownerTeam[slot] == world.localTeam ? "00ff00" : "ff0000";
}

}  // namespace

void CPlayScreen::OnUnitKilled(CGameCommand& r) {
    CWorldObject* victim = g_pWorldObjectManager->GetObjectById(r.I16(2));
    if (!victim) return;
    ApplyKill(*victim, r.I32(4));
}

void CPlayScreen::ApplyKill(CWorldObject& victim, int32_t killerId) {
    CWorldObjectManager& world = *g_pWorldObjectManager;
    const int32_t matchKind = world.matchKind;
    const bool hero = (victim.unitFlags & kClassHero) != 0;

    // 1. Who pays and who is paid. The killer entry outlives its object.
    int32_t victimSlotIndex = -1;
    if (hero && victim.owner >= 0 && victim.owner < kPlayerSlots && !(victim.stateFlags & (kNoBounty | kNoPlayer)))
        victimSlotIndex = victim.owner;
    int32_t killerSlotIndex = -1;
    const bool killerKnown = killerId >= 0 && static_cast<size_t>(killerId) < world.objectNames.size() &&
                             !world.objectNames[static_cast<size_t>(killerId)].empty();
    if (killerKnown) {
        const int32_t owner = world.objectOwners[static_cast<size_t>(killerId)];
        if (owner >= 0 && owner < kPlayerSlots)
            killerSlotIndex = owner;
        else if (owner >= kPlayerSlots && owner < 2 * kPlayerSlots)
            killerSlotIndex = owner - kPlayerSlots;
    }
    CPlayerSlot* victimSlot = SlotOf(victimSlotIndex);
    CPlayerSlot* killerSlot = SlotOf(killerSlotIndex);
    if (!victimSlot) victimSlotIndex = -1;
    if (!killerSlot) killerSlotIndex = -1;

    // 2. and 3. Bounty and statistics.
    int32_t bounty = 0;
    const bool counts = !(victim.stateFlags & kNoBounty) && killerSlot;
    if (counts && world.ownerTeam[killerSlotIndex] != victim.team) {
        if (victimSlot) {
            const int32_t victimLevel = LevelOf(victim);
            const int32_t base =
                (victimLevel +
                 2 * (std::max(0, victimLevel - killerSlot->level) + std::max(0, victimSlot->heroKills - victimSlot->deaths)) +
                 10) *
                10;
            const double scaled = base * (1.0 - 0.1 * killerSlot->streak) * (1.0 + 0.2 * victimSlot->streak);
            bounty = std::max(kMinimumHeroBounty, static_cast<int32_t>(scaled));
        } else if (victim.IsCombatObject()) {
            bounty = static_cast<int32_t>(static_cast<CCombatObject&>(victim).bountyGold);
        }
        if (bounty >= 1) {
            Earn(*killerSlot, bounty);
            if (killerSlotIndex == world.localSlot) ShowDamageNumber(victim, -1, static_cast<float>(bounty));
        }
    }
    if (counts) {
        if (victim.flags & WO_BUILDING) {
            ++killerSlot->buildingKills;
        } else if (victimSlot) {
            ++killerSlot->heroKills;
            ++killerSlot->streak;
        } else {
            ++killerSlot->unitKills;
        }
    }

    // 4. The dead player's own loss.
    if (victimSlot) {
        ++victimSlot->deaths;
        victimSlot->streak = 0;
        if (LevelOf(victim) > kDeathLossLevel) victimSlot->LoseGold(kDeathGoldLoss);
    }

    // 6. The kill notice; names are arguments, never formats.
    if (killerSlot && victimSlot && matchKind != 2) {
        const std::string killerText =
            FormatText("%s(%s)", world.objectNames[static_cast<size_t>(killerId)].c_str(), killerSlot->GetNickname());
        const std::string victimText = FormatText("%s(%s)", victim.name.c_str(), victimSlot->GetNickname());
        const std::string killerColour = FormatText("</C=%s>", TeamColour(killerSlotIndex, world));
        const std::string victimColour = FormatText("</C=%s>", TeamColour(victimSlotIndex, world));
        std::string line = FormatText(GetMessageText(MSG_GAMEPLAY_DIE_HERO), killerColour.c_str(), killerText.c_str(),
                                      victimColour.c_str(), LevelOf(victim), victimText.c_str());
        if (matchKind == 0) line += FormatText(GetMessageText(MSG_GAMEPLAY_COMBO_KILL), bounty, killerSlot->streak);
        AddPlayChatLine(line);
    }

    // 7. The first hero kill of the match, and the dead player's notice.
    if (matchKind == 0) {
        if (!m_firstKill && killerSlot && victimSlot) {
            m_firstKill = true;
            AddPlayChatLine(
                FormatText(GetMessageText(MSG_GAMEPLAY_FIRST_HERO_KILL), killerSlot->GetNickname(), kFirstKillBonus));
            Earn(*killerSlot, kFirstKillBonus);
            if (g_pPlayResources) g_pPlayResources->PlaySound(CPlayResources::SND_FIRST_BLOOD);
        }
        if (victimSlot && victimSlotIndex == world.localSlot && LevelOf(victim) > kDeathLossLevel)
            ShowEventNotice(GetMessageText(MSG_GAMEPLAY_DIE_DEC_GOLD), 0xFFFFFFFFu);
    }

    // 9. and 10. Team score and respawn time.
    AddTeamKillScore(victim);
    if (!victim.unregistered && victim.IsCombatObject()) {
        auto& combat = static_cast<CCombatObject&>(victim);
        if (victimSlot) {
            const float level = static_cast<float>(LevelOf(victim));
            combat.revivalTime = matchKind == 0 ? std::min(level * 4.0f, 120.0f) : level * 2.5f + 10.0f;
        } else {
            combat.revivalTime = 0;
        }
    }

    // 12. The victim dies everywhere at once.
    victim.Die();
    AfterUnitDeath(victim);
}

void CPlayScreen::AddTeamKillScore(const CWorldObject& victim) {
    if (victim.team != 0 && victim.team != 1) return;
    float points = 0;
    if ((victim.unitFlags & kClassHero) && victim.owner >= 0 && victim.owner < kPlayerSlots)
        points = 50.0f;
    else if ((victim.unitFlags & kClassLord) == kClassLord)
        points = 400.0f;
    else if (victim.unitFlags & kClassGuard)
        points = 200.0f;
    m_teamScores[static_cast<size_t>(1 - victim.team)] += static_cast<int32_t>(m_teamScoreFactor * points);
}

int32_t CPlayScreen::GetTeamScoreLevel(int team) const { return std::clamp(TeamScore(team) / 1000, 1, 6); }

void CPlayScreen::AfterUnitDeath(const CWorldObject& victim) {
    if (!g_pWorldObjectManager || victim.owner != g_pWorldObjectManager->localSlot) return;
    // Orders that need a selection end with it.
    CleanSelection();
    if (!m_selection.selected.empty()) return;
    // Orders that need a unit end with the last one.
    m_inputMode = 0;
    CWorldObject* hero = g_pWorldObjectManager->GetObjectById(g_pWorldObjectManager->localSlot);
    if (hero && hero->alive) FocusCamera(hero->position);
}

void CPlayScreen::OnHpChange(CGameCommand& r) {
    CWorldObject* target = g_pWorldObjectManager->GetObjectById(r.I16(4));
    if (!target) return;
    CWorldObject* source = g_pWorldObjectManager->GetObjectById(r.I16(6));
    const uint32_t kind = r.U8(2);
    const bool keep = r.U8(3) != 0;
    const float amount = r.F32(8);
    if (target->alive && !keep) {
        float hp = target->hitPoints - amount;
        const float maximum = target->IsCombatObject() ? static_cast<CCombatObject*>(target)->GetStat(5) : hp;
        // A hit never kills: the death comes as its own record.
        if (!(hp >= 1.0f)) hp = 1.0f;
        if (hp > maximum && maximum >= 1.0f) hp = maximum;
        target->hitPoints = hp;
    }
    if ((kind == 0 && source) || kind == 2 || kind == 5) {
        target->NotifyEffects(amount, static_cast<int32_t>(kind), source ? source->id : -1);
        if (source && !keep) source->NotifyEffects(amount, static_cast<int32_t>(kind), target->id);
    }
    if (source && (kind == 1 || kind == 2 || kind == 5 || kind == 7))
        ShowDamageNumber(*source, static_cast<int>(kind), amount);
}

void CPlayScreen::OnUnitEffectsReset(CGameCommand& r) {
    CWorldObject* unit = g_pWorldObjectManager->GetObjectById(r.I16(2));
    if (!unit) return;
    unit->EndEffects(0);
    ShowDamageNumber(*unit, 0, 0.0f);
}

CPlayScreen::DamageNumber CPlayScreen::DamageNumberLook(int kind, float amount) {
    DamageNumber n;
    const int32_t value = static_cast<int32_t>(amount);
    n.text = FormatText("%d", value);
    switch (kind) {
        case -1:
            n.argb = 0xFFFFFF00u;
            n.scale = 0.5f;
            break;
        case 1:
            n.text = "miss";
            n.argb = 0xFFFF0000u;
            break;
        case 2:
            n.argb = 0xFFFF0000u;
            break;
        case 5:
            n.argb = 0xFFBB5500u;  // (0.7333, 0.3333, 0)
            break;
        case 7:
            n.text = FormatText("%d", value < 0 ? -static_cast<int64_t>(value) : static_cast<int64_t>(value));
            n.argb = value > 0 ? 0xFF5555FFu : 0xFF88FF88u;
            break;
        default:
            n.argb = value < 0 ? 0xFFFF0000u : 0xFFFFFFFFu;
            break;
    }
    return n;
}

void CPlayScreen::ShowDamageNumber(const CWorldObject& object, int kind, float amount) {
    DamageNumber n = DamageNumberLook(kind, amount);
    n.objectId = object.id;
    n.at = object.position;
    n.at.y += object.bounds.scale * 2.0f * object.bounds.halfHeight;
    if (auto* text = static_cast<CDamageText*>(m_floatingTexts.CreateItem(FT_DAMAGE))) {
        const bool miss = n.text == "miss";
        text->Setup(n.at, n.text, n.argb, kDamageHold, kDamageRise, kDamageFade, 1, m_camera, 0,
                    PlayTexture(miss ? CPlayResources::TEX_MISS_FONT : CPlayResources::TEX_ATTACK_FONT), 1);
        m_floatingTexts.Add(text);
    }
    // What was shown, for the match's own checks; a short history is enough.
    if (m_damageNumbers.size() >= kKeptDamageNumbers) m_damageNumbers.erase(m_damageNumbers.begin());
    m_damageNumbers.push_back(std::move(n));
}

void CPlayScreen::AddPlayChatLine(const std::string& line) { ShowChatLine(line, 0); }

void CPlayScreen::ShowEventNotice(const std::string& text, uint32_t argb) {
    ShowNotice(text.c_str(), argb);
    m_eventNotices.emplace_back(text, argb);
}
