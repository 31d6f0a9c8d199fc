// What happens to a player or to the match as a whole: the end of the match,
// a player leaving (the host shares the leaver's wealth among the team
// mates; a side without players loses at once), the view following a slot,
// and the game events of pause, alerts, the guardians' arrival and the
// no-contest vote. Slot and team bytes come from other machines: each is
// checked before it indexes anything.
#include <algorithm>
#include <cstdint>

#include "commands/GameCommandManager.h"
#include "engine/core/MessageBoxHost.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/sound/ZEMSound.h"
#include "net/ClientSession.h"
#include "screens/game/PlayScreen.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/MapScenario.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

namespace {

constexpr int kSlots = 12;
constexpr int64_t kShareCap = 30000;
constexpr int32_t kEmptyLeaverWealth = 1200;
// A leaver's hero waits this long: it never comes back in this match.
constexpr float kLeaverRespawn = 1000.0f;
constexpr uint32_t kGiveMoneyColour = 0xFFFFFF;
constexpr uint32_t kChatFromSystem = 200;

bool ValidSlot(int32_t slot) { return slot >= 0 && slot < kSlots; }

CPlayerSlot* SessionSlot(int32_t slot) {
    return ValidSlot(slot) && g_pClientSession ? &g_pClientSession->slots[static_cast<size_t>(slot)] : nullptr;
}

const char* Nickname(int32_t slot) {
    const CPlayerSlot* s = SessionSlot(slot);
    return s ? s->GetNickname() : "";
}

int64_t PriceOf(const CInventoryItem* item) {
    return item && item->record ? static_cast<int64_t>(item->record->Price()) : 0;
}

// Present, still in the match and not excluded.
bool Active(const CWorldObjectManager& world, int32_t slot) {
    if (!ValidSlot(slot)) return false;
    const CPlayerSlot* s = SessionSlot(slot);
    return world.slotOccupied[slot] && !world.slotGone[slot] && (!s || s->excluded == 0);
}

}  // namespace

void CPlayScreen::SetGameOver(int32_t team, int flag) {
    m_winningTeam = team;
    m_gameOver = flag;
    m_gameOverTimer = 0;
    if (CWorldObjectManager* world = g_pWorldObjectManager) world->worldFrozen = 1;
    StopAllUnits();
}

void CPlayScreen::OnPlayerEvent(CGameCommand& r) {
    CWorldObjectManager& world = *g_pWorldObjectManager;
    const uint32_t kind = r.U8(2);
    const int32_t value = static_cast<int32_t>(r.U8(3));
    switch (kind) {
        case 0:
            if (!m_gameOver && (value == 0 || value == 1)) SetGameOver(value, 1);
            return;
        case 1:
            break;
        case 11:
            if (!ValidSlot(value)) return;
            if (value != m_followedSlot) m_followChanged = true;
            m_followedSlot = value;
            m_followTimers[0] = m_followTimers[1] = 0;
            return;
        default:
            return;
    }

    // A player left.
    const int32_t slot = value;
    if (!ValidSlot(slot)) return;
    if (world.gameMode == 3) world.slotGone[slot] = true;
    AddPlayChatLine(FormatText(GetMessageText(MSG_GAMEPLAY_OUT_PLAYER), Nickname(slot)));

    CWorldObject* heroObject = world.GetObjectById(slot);
    CUnit* hero = heroObject && heroObject->IsUnit() ? static_cast<CUnit*>(heroObject) : nullptr;
    CPlayerSlot* leaver = SessionSlot(slot);
    if (hero && leaver && world.host && world.gameMode != 3 && world.matchKind == 0) {
        // Summed wide: a stash of costly items must not wrap before the cap.
        int64_t wealth = leaver->gold;
        for (const CInventoryItem* item : hero->inventory) wealth += PriceOf(item);
        for (const CInventoryItem* item : leaver->items) wealth += PriceOf(item);
        std::vector<int32_t> receivers;
        for (int32_t s = 0; s < kSlots; ++s)
            if (s != slot && world.ownerTeam[s] == hero->team && Active(world, s)) receivers.push_back(s);
        if (!receivers.empty() && g_pGameCommandManager) {
            if (wealth == 0 && leaver->goldEarned == 0) wealth = kEmptyLeaverWealth;
            const int32_t share =
                static_cast<int32_t>(std::min<int64_t>(wealth / static_cast<int64_t>(receivers.size()), kShareCap));
            g_pGameCommandManager->EmitRewardCommands(receivers, 1, share, 1);
            const int text = hero->team == 0 ? MSG_GAMEPLAY_GIVE_MONEY_DARK_TEAM : MSG_GAMEPLAY_GIVE_MONEY_LIGHT_TEAM;
            g_pGameCommandManager->BuildChat(kChatFromSystem, 1, FormatText(GetMessageText(text), share).c_str(),
                                             kGiveMoneyColour, 1);
        }
    }

    for (CWorldObject* o : world.Objects())
        if (o->owner == slot && o->alive && !o->unregistered) o->Die();
    if (hero) hero->revivalTime = kLeaverRespawn;
    if (world.localSlot == slot || (heroObject && heroObject->owner == world.localSlot)) CleanSelection();

    if (!m_gameOver && world.matchKind == 0 && Phase() != PHASE_LEAVING) {
        int active[2] = {0, 0};
        for (int32_t s = 0; s < kSlots; ++s)
            if (Active(world, s)) ++active[s < 6 ? 0 : 1];
        for (int side = 0; side < 2; ++side) {
            if (active[side] != 0) continue;
            SetGameOver(1 - side, 2);
            // 182 is a unit label format; the box wants the plain sentence.
            if (IMessageBoxHost* box = MessageBox()) ShowMessageBox(*box, GetMessageText(MSG_GAMEPLAY_OUT_ENEMY_PLAYER), 0, 0);
            break;
        }
    }
    if (Phase() == PHASE_WAITING && g_pGameCommandManager) {
        // The leaver will never report ready: count them as ready here.
        if (CGameCommand* ready = g_pGameCommandManager->CreateCommand(CMD_GAME_EVENT)) {
            ready->SetU8(2, 10);
            ready->SetU8(3, 0);
            ready->SetU16(4, 0);
            ready->SetU16(6, static_cast<uint32_t>(slot));
            g_pGameCommandManager->QueueCommand(ready);
        }
    }
}

void CPlayScreen::OnMatchGameEvent(CGameCommand& r) {
    CWorldObjectManager& world = *g_pWorldObjectManager;
    const uint32_t kind = r.U8(2);
    const int32_t a = r.I16(4), b = r.I16(6);
    const bool mayAct = !world.IsNetworkGame() || world.host;
    switch (kind) {
        case 2: {
            CWorldObject* hero = ValidSlot(b) ? world.GetObjectById(b) : nullptr;
            if (hero && hero->alive) hero->ResetEffects();
            return;
        }
        case 4: {
            if (world.gameMode == 3 || !ValidSlot(b)) return;
            CPlayerSlot* owner = SessionSlot(b);
            if (owner && owner->FirstFreeItemSlot() < 0) {
                if (b == world.localSlot) ShowEventNotice(GetMessageText(MSG_ITEM_BUY_FULL_INVENTORY), 0xFFFF0000u);
                return;
            }
            // Units of the field do not yet keep the army entry they came
            // from, so there is nothing to give back: the unit stays.
            return;
        }
        case 5:
            if (CWorldObject* o = world.GetObjectById(a)) ApplyKill(*o, -1);
            return;
        case 6:
            if (a == 0 && world.matchKind == 0) {
                if (mayAct && g_pGameCommandManager)
                    if (CGameCommand* e = g_pGameCommandManager->BuildGameEvent(6, GetTeamScoreLevel(0),
                                                                                GetTeamScoreLevel(1), 1))
                        e->SetU8(3, 1);
                return;
            }
            m_musicState = 2;
            StopStreams();
            if (g_pMapScenario) g_pMapScenario->SpawnLords(a > 0 ? a : 1, b > 0 ? b : 1);
            if (m_guardianMusic) m_guardianMusic->Play(true);
            return;
        case 7: {
            const bool resume = b != 0;
            SetPaused(!resume);
            SyncMenuPauseButtons();
            AddPlayChatLine(FormatText(GetMessageText(resume ? MSG_GAMEPLAY_PAUSE_PLAY : MSG_GAMEPLAY_PAUSE_STOP),
                                       Nickname(a)));
            return;
        }
        case 8:
            m_alertObject = a;
            return;
        case 9:
            break;
        default:
            return;
    }

    // The no-contest vote.
    IMessageBoxHost* box = MessageBox();
    if (a == 0) {
        if (box) ShowMessageBox(*box, GetMessageText(MSG_GAMEPLAY_CANCEL_START_BOX), 2, 0);
        m_voteState = 0;
        return;
    }
    if (!ValidSlot(b)) return;
    const size_t voter = static_cast<size_t>(b);
    if (a == 1) {
        if (m_voteState != 0 && m_voteState != -1) return;
        if (b == world.localSlot) {
            if (box) ShowMessageBox(*box, GetMessageText(MSG_GAMEPLAY_CANCEL_START_THIS), 0, 0);
            m_voteState = 2;
        } else {
            if (box)
                ShowMessageBox(*box, FormatText(GetMessageText(MSG_GAMEPLAY_CANCEL_START_OTHER), Nickname(b), 30).c_str(), 2, 0);
            m_voteState = 1;
            m_voteElapsed = 0;
            m_voteTick = 0;
        }
        m_votes[voter] = 1;
        m_voteRequester = b;
        m_voteBox = true;
    } else if (a == 2) {
        if (m_voteState == -1) return;
        m_votes[voter] = 1;
        if (CountNoContestVotes()) {
            if (box) box->SetResult(-1);
        } else if (b == world.localSlot) {
            if (box) ShowMessageBox(*box, GetMessageText(MSG_GAMEPLAY_CANCEL_START_THIS), 0, 0);
            m_voteState = 2;
        }
    } else if (a == 3) {
        if (box) {
            box->HideBox();
            box->SetResult(-1);
        }
        m_voteState = -1;
        m_inputMode = 0;
        m_votes.fill(0);
        AddPlayChatLine(FormatText(GetMessageText(MSG_GAMEPLAY_CANCEL_NO), Nickname(b)));
        m_voteBox = false;
    }
}
