#include "screens/game/PlayerRankWindow.h"

#include <algorithm>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "net/ClientSession.h"
#include "screens/game/PlayScreen.h"
#include "ui/ScreenHost.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/CombatObject.h"
#include "world/WorldObjectManager.h"

namespace {

constexpr int kPositions = 12;
// Points of the score count at most this much.
constexpr int32_t kPointsCap = 6000;

int32_t KillCount(const CPlayerSlot& s, int32_t matchRule) {
    if (matchRule == 0) return s.heroKills;
    if (matchRule == 1) return s.heroKills + s.unitKills;
    return 0;
}

int32_t HeroLevel(int32_t position) {
    CWorldObject* hero = g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(position) : nullptr;
    return hero && hero->IsCombatObject() ? static_cast<CCombatObject*>(hero)->level : 0;
}


}  // namespace

int CPlayerRankWindow::OnLayoutLoaded() {
    AddFlags(UI_HIDDEN);
    m_names = static_cast<CUiStatic*>(Bind("ID_HERO_NAME", UI_TYPE_STATIC));
    m_kills = static_cast<CUiStatic*>(Bind("ID_HERO_KILL", UI_TYPE_STATIC));
    m_deaths = static_cast<CUiStatic*>(Bind("ID_HERO_RESURRECTION", UI_TYPE_STATIC));
    m_title = static_cast<CUiStatic*>(Bind("ID_STATIC_TITLE", UI_TYPE_STATIC));
    if (!m_names || !m_kills || !m_deaths || !m_title) return 0;
    const int32_t rule = g_pWorldObjectManager ? g_pWorldObjectManager->matchKind : 0;
    if (rule == 0) m_title->SetText(GetMessageText(MSG_GAMEPLAY_UI_RANK_TITLE_SIEGE));
    if (rule == 1) m_title->SetText(GetMessageText(MSG_GAMEPLAY_UI_RANK_TITLE_PVM));
    IScreenHost* host = ScreenHost();
    const float width = host ? static_cast<float>(host->BackBufferWidth()) : CUiManager::kScreenWidth;
    SetPosition(width - Size().x, 0);
    return 1;
}

int32_t CPlayerRankWindow::ComputeScore(const CPlayerSlot& s) {
    return std::min(s.points, kPointsCap) +
           ((s.heroKills * 8 + s.buildingKills * 12 + s.unitKills) * 25 + s.extraPoints) * 2;
}

bool CPlayerRankWindow::RanksAbove(const CPlayerSlot& a, bool aGone, const CPlayerSlot& b, bool bGone,
                                   int32_t matchRule) {
    if (aGone != bGone) return bGone;
    if (a.score != b.score) return a.score > b.score;
    if (matchRule == 0) {
        if (a.heroKills != b.heroKills) return a.heroKills > b.heroKills;
        return a.buildingKills > b.buildingKills;
    }
    if (matchRule == 1) return a.heroKills + a.unitKills > b.heroKills + b.unitKills;
    return false;
}

int CPlayerRankWindow::ConnectionMark(uint8_t connectionClass) {
    if (connectionClass == 0) return MSG_GAMEPLAY_PING_INFO_GOOD;
    if (connectionClass == 1) return MSG_GAMEPLAY_PING_INFO_NOR;
    return MSG_GAMEPLAY_PING_INFO_BAD;
}

uint32_t CPlayerRankWindow::NameColour(bool gone, bool local, bool sameTeam, const std::string& name) {
    if (gone) return 0x888888;
    if (local) return 0xffcc00;
    // Names with a bracket belong to the game's own staff.
    if (name.find('[') != std::string::npos) return 0xff00ff;
    return sameTeam ? 0x00ff00 : 0xff0000;
}

void CPlayerRankWindow::Refresh() {
    CWorldObjectManager* world = g_pWorldObjectManager;
    if (!m_names || !world || !g_pClientSession) return;
    const int32_t rule = world->matchKind;
    std::vector<int32_t> board;
    for (int32_t p = 0; p < kPositions; ++p) {
        if (!world->slotOccupied[p]) continue;
        CPlayerSlot& s = g_pClientSession->slots[static_cast<size_t>(p)];
        if (s.observer == 0) s.score = ComputeScore(s);
        board.push_back(p);
    }
    std::stable_sort(board.begin(), board.end(), [&](int32_t a, int32_t b) {
        return RanksAbove(g_pClientSession->slots[static_cast<size_t>(a)], world->slotGone[a],
                          g_pClientSession->slots[static_cast<size_t>(b)], world->slotGone[b], rule);
    });
    const bool hostMark = m_play && m_play->ShowStatistics();
    const int32_t hostSlot = m_play ? m_play->HostSlot() : -1;
    std::string names, kills, deaths;
    for (int32_t p : board) {
        const CPlayerSlot& s = g_pClientSession->slots[static_cast<size_t>(p)];
        const uint32_t colour = NameColour(world->slotGone[p], p == world->localSlot,
                                           world->ownerTeam[p] == world->localTeam, s.nickname);
        const std::string tag = FormatText("</C=%06x>", colour);
        const uint8_t connection = m_play ? m_play->SlotState(p) : 0;
        std::string marks;
        if (hostMark && p == hostSlot) marks += "H";
        if (s.observer != 0) marks += "O";
        names += FormatText("%sLv%d %s%s", GetMessageText(ConnectionMark(connection)) + (" " + tag), HeroLevel(p),
                            s.nickname, marks);
        names += "\n";
        kills += FormatText("%s%d\n", tag, KillCount(s, rule));
        deaths += FormatText("%s%d\n", tag, s.deaths);
    }
    // Setting a text measures it.
    m_names->SetText(names);
    m_kills->SetText(kills);
    m_deaths->SetText(deaths);
}
