#include "screens/lobby/WaitRoomWindow.h"

#include <cstdio>

#include "engine/core/MessageTable.h"
#include "screens/lobby/LobbySteps.h"
#include "engine/core/TextFormat.h"
#include "engine/resource/ResourceManager.h"
#include "net/RoomRecord.h"
#include "screens/lobby/RankNames.h"
#include "screens/lobby/RoomSlotView.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiComboBox.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiStatic.h"

namespace {

constexpr uint32_t kOwnWinColour = 0xffff00;
constexpr uint32_t kOwnLoseColour = 0xff5555;
constexpr uint32_t kOtherColour = 0x888888;

}  // namespace

CWaitRoomWindow::~CWaitRoomWindow() {
    if (g_pResourceManager) {
        g_pResourceManager->ReleaseResource(m_openLook);
        g_pResourceManager->ReleaseResource(m_closeLook);
    }
}

int CWaitRoomWindow::OnLayoutLoaded() {
    m_changeTeam = static_cast<CUiButton*>(Bind("ID_BUTTON_CHANGETEAM", UI_TYPE_BUTTON));
    m_quit = static_cast<CUiButton*>(Bind("ID_BUTTON_QUIT", UI_TYPE_BUTTON));
    m_startCheck = static_cast<CUiCheckButton*>(Bind("ID_CHECKBUTTON_START", UI_TYPE_CHECKBUTTON));
    m_changeNick = static_cast<CUiStatic*>(Bind("ID_STATIC_CHANGENICK", UI_TYPE_STATIC));
    m_start = static_cast<CUiButton*>(Bind("ID_BUTTON_START", UI_TYPE_BUTTON));
    for (int n = 1; n <= kSlots; ++n) {
        SlotRow& row = m_rows[static_cast<size_t>(n - 1)];
        row.ready = static_cast<CUiStatic*>(Bind(lobby::NumberedName("ID_STATIC_READY_%d", n).c_str(), UI_TYPE_STATIC));
        row.nick = static_cast<CUiStatic*>(Bind(lobby::NumberedName("ID_STATIC_NICK_%d", n).c_str(), UI_TYPE_STATIC));
        row.rank = static_cast<CUiStatic*>(Bind(lobby::NumberedName("ID_STATIC_CLASS_%d", n).c_str(), UI_TYPE_STATIC));
        row.disgrace =
            static_cast<CUiStatic*>(Bind(lobby::NumberedName("ID_STATIC_DISGRACE_%d", n).c_str(), UI_TYPE_STATIC));
        row.guild = static_cast<CUiStatic*>(Bind(lobby::NumberedName("ID_STATIC_GUILD_%d", n).c_str(), UI_TYPE_STATIC));
        row.slide =
            static_cast<CUiButton*>(Bind(lobby::NumberedName("ID_BUTTON_SLOTSLIDE_%d", n).c_str(), UI_TYPE_BUTTON));
        row.winPoint =
            static_cast<CUiStatic*>(Bind(lobby::NumberedName("ID_STATIC_WINPOINT_%d", n).c_str(), UI_TYPE_STATIC));
        if (!row.ready || !row.nick || !row.slide) return 0;
    }
    m_market = static_cast<CUiButton*>(Bind("ID_BUTTON_MARKET", UI_TYPE_BUTTON));
    m_roomInfo = static_cast<CUiButton*>(Bind("ID_BUTTON_ROOMINFO_CHANGE", UI_TYPE_BUTTON));
    m_mapCombo = static_cast<CUiComboBox*>(Bind("ID_COMBO_MAP", UI_TYPE_COMBOBOX));
    m_guardianCombo = static_cast<CUiComboBox*>(Bind("ID_COMBO_GUARDIAN", UI_TYPE_COMBOBOX));
    m_title = static_cast<CUiStatic*>(Bind("ID_STATIC_ROOMTITLE", UI_TYPE_STATIC));
    m_mapImage = static_cast<CUiStatic*>(Bind("ID_STATIC_MAPIMAGE", UI_TYPE_STATIC));
    m_mapName = static_cast<CUiStatic*>(Bind("ID_STATIC_MAPNAME", UI_TYPE_STATIC));
    m_chatList = static_cast<CUiListBox*>(Bind("ID_LIST_CHAT", UI_TYPE_LISTBOX));
    m_chatEdit = static_cast<CUiEditBox*>(Bind("ID_EDIT_CHAT", UI_TYPE_EDITBOX));
    m_chatMode = static_cast<CUiStatic*>(Bind("ID_STATIC_MESSAGE", UI_TYPE_STATIC));
    m_replay = static_cast<CUiCheckButton*>(Bind("ID_CHECKBUTTON_REPLAY", UI_TYPE_CHECKBUTTON));
    if (!m_changeTeam || !m_quit || !m_startCheck || !m_start || !m_market || !m_mapCombo || !m_guardianCombo ||
        !m_chatList || !m_chatEdit)
        return 0;
    if (!g_pResourceManager) return 0;
    m_openLook = g_pResourceManager->GetResource("BUTTON_SIZE5_OPEN.DDS", RES_TEXTURE, nullptr, 1);
    m_closeLook = g_pResourceManager->GetResource("BUTTON_SIZE5_CLOSE.DDS", RES_TEXTURE, nullptr, 1);
    if (!m_openLook || !m_closeLook) return 0;
    m_limitText = static_cast<CUiStatic*>(Bind("ID_STATIC_LIMIT_TEXT", UI_TYPE_STATIC));
    const char* campLabels[] = {"ID_STATIC_D_ALLY1", "ID_STATIC_L_ALLY1", "ID_STATIC_D_ALLY2", "ID_STATIC_L_ALLY2"};
    for (size_t i = 0; i < m_campLabels.size(); ++i)
        m_campLabels[i] = static_cast<CUiStatic*>(Bind(campLabels[i], UI_TYPE_STATIC));
    m_campNames = {static_cast<CUiStatic*>(Bind("ID_STATIC_NAME_ALLY1", UI_TYPE_STATIC)),
                   static_cast<CUiStatic*>(Bind("ID_STATIC_NAME_ALLY2", UI_TYPE_STATIC))};
    m_hiddenAtBind = {static_cast<CUiStatic*>(Bind("ID_STATIC_GAME_MODE", UI_TYPE_STATIC)),
                      static_cast<CUiStatic*>(Bind("ID_STATIC_LEVEL_RESTRICTION", UI_TYPE_STATIC)),
                      static_cast<CUiStatic*>(Bind("ID_STATIC_PASSWORD", UI_TYPE_STATIC)),
                      static_cast<CUiStatic*>(Bind("ID_STATIC_RANDOMTEAM", UI_TYPE_STATIC))};
    m_level = m_hiddenAtBind[1];
    m_password = m_hiddenAtBind[2];
    for (CUiStatic* s : m_hiddenAtBind) SetShown(s, false);
    m_saveReplay = static_cast<CUiStatic*>(Bind("ID_STATIC_SAVEREPLAY", UI_TYPE_STATIC));
    lobby::SetLabel(m_saveReplay, GetMessageText(MSG_WAITROOM_SAVE_REPLAY));
    SetShown(m_saveReplay, false);
    return 1;
}

int CWaitRoomWindow::SlotOfButton(const CUiObject* control) const {
    for (int i = 0; i < kSlots; ++i)
        if (control && m_rows[static_cast<size_t>(i)].slide == control) return i;
    return -1;
}

void CWaitRoomWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    const int slot = SlotOfButton(control);
    if (slot >= 0) {
        m_pressedSlot = slot;
        m_commands[CMD_SLOT] = 1;
        return;
    }
    if (control == m_start || control == m_startCheck) m_commands[CMD_START] = 1;
    if (control == m_market) m_commands[CMD_MARKET] = 1;
    if (control == m_changeTeam) m_commands[CMD_CHANGETEAM] = 1;
    if (control == m_quit) m_commands[CMD_QUIT] = 1;
    if (control == m_roomInfo) m_commands[CMD_ROOMINFO] = 1;
}

void CWaitRoomWindow::OnRButtonClick(CUiObject* control) {
    for (int i = 0; i < kSlots; ++i) {
        const SlotRow& row = m_rows[static_cast<size_t>(i)];
        if (!control || control != row.nick) continue;
        const std::string& name = m_rowNames[static_cast<size_t>(i)];
        if (!name.empty() && name != m_ownNickname) m_popupTarget = name;
        return;
    }
}

std::string CWaitRoomWindow::TakePopupTarget() {
    std::string target;
    target.swap(m_popupTarget);
    return target;
}

void CWaitRoomWindow::ShowTeamLabels(const RoomRecord& room) {
    for (int column = 0; column < 2; ++column) {
        const room_view::TeamLabel label = room_view::DescribeTeamLabel(
            room, column, GetMessageText(MSG_WAITROOM_CAMP_DARK), GetMessageText(MSG_WAITROOM_CAMP_LIGHT));
        SetShown(CampLabel(column, false), !label.light);
        SetShown(CampLabel(column, true), label.light);
        lobby::SetLabel(CampName(column), label.text);
        SetShown(CampName(column), true);
    }
}

int CWaitRoomWindow::TakeCommand(int index) {
    if (index < 0 || index >= COMMAND_COUNT || !m_commands[static_cast<size_t>(index)]) return 0;
    m_commands.fill(0);
    return 1;
}

int CWaitRoomWindow::TakeMapChange() {
    const int now = m_mapCombo->Selected();
    if (now == m_lastMap) return -1;
    if (now < 0) {
        m_mapCombo->SelectItem(m_lastMap);
        return -1;
    }
    return now;
}

int CWaitRoomWindow::TakeGuardianChange() {
    const int now = m_guardianCombo->Selected();
    if (now == m_lastGuardian) return -1;
    if (now < 0) {
        m_guardianCombo->SelectItem(m_lastGuardian);
        return -1;
    }
    return now;
}

void CWaitRoomWindow::ShowRoomInfo(const RoomRecord& room, bool practice) {
    if (practice) {
        lobby::SetLabel(m_title, GetMessageText(MSG_WAITROOM_PRACTICE_MODE));
    } else {
        lobby::SetLabel(m_title, FormatText("(%03d) %s", room.Number() + 1, std::string(room.Title())));
    }
    lobby::SetLabel(m_password, std::string(room.Password()));
    if (room.LowerRank() == 1 && room.UpperRank() == 100)
        lobby::SetLabel(m_level, GetMessageText(MSG_LOBBY_NO_LIMIT_LEVEL));
    else
        lobby::SetLabel(m_level, FormatText("Rk.%d ~ Rk.%d", room.LowerRank(), room.UpperRank()));
}

void CWaitRoomWindow::ShowPlayerSlots(const RoomRecord& room, const SlotContext& context) {
    m_ownNickname = std::string(context.ownNickname);
    lobby::SetLabel(m_changeNick, "");
    const room_view::TeamSums sums = room_view::SumTeams(room);
    for (int slot = 0; slot < kSlots; ++slot) {
        const SlotRow& row = m_rows[static_cast<size_t>(slot)];
        for (CUiStatic* s : {row.ready, row.nick, row.rank, row.disgrace, row.guild, row.winPoint}) {
            lobby::SetLabel(s, "");
            SetShown(s, false);
        }
        const room_view::SlotText text = room_view::DescribeSlot(room, slot, context.ownNickname);
        m_rowNames[static_cast<size_t>(slot)] = text.occupied ? std::string(room.MemberNickname(slot)) : std::string();
        lobby::SetLabel(row.ready, GetMessageText(text.statusEntry));
        SetShown(row.ready, true);
        if (room.SlotChangingTeam(slot)) lobby::SetLabel(m_changeNick, text.nickname);
        if (!text.occupied) continue;
        lobby::SetLabel(row.nick, text.nickname);
        SetShown(row.nick, true);
        const int rank = room.MemberRank(slot);
        if (row.rank) {
            row.rank->SetImage(RankIcon(static_cast<uint32_t>(rank)), "");
            row.rank->SetText(FormatText(GetMessageText(MSG_NICKNAME_RANK_INFO), rank,
                                         std::string(RankName(static_cast<uint32_t>(rank))),
                                         room.MemberRankPoints(slot)));
            if (slot == context.ownSlot && !context.ownRecord.empty())
                row.rank->SetText(row.rank->GetText() + "\n" + context.ownRecord);
            SetShown(row.rank, true);
        }
        if (row.disgrace) {
            const uint16_t points = room.MemberNoPenalty(slot) ? 0 : room.MemberDisconnectPoints(slot);
            const int grade = room_view::DisgraceGrade(points, false);
            row.disgrace->SetImage(DisconnectLevelImage(grade), "");
            row.disgrace->SetText(
                FormatText(GetMessageText(MSG_NICKNAME_BADRANK_INFO), std::string(DisconnectLevelText(grade)), points));
            SetShown(row.disgrace, true);
        }
        if (row.guild && !room.MemberGuild(slot).empty()) {
            row.guild->SetText(
                FormatText(GetMessageText(MSG_NICKNAME_GUILD_NAME), std::string(room.MemberGuild(slot))));
            SetShown(row.guild, true);
        }
        if (row.winPoint && context.mode != -1) {
            SetShown(row.winPoint, true);
            if (context.mode == 0) {
                const int team = slot < 6 ? 0 : 1;
                const room_view::WinPoints points =
                    room_view::ComputeWinPoints(rank, sums.count[team], sums.rankSum[1 - team], sums.count[1 - team]);
                const bool own = slot == context.ownSlot;
                row.winPoint->SetText(FormatText(GetMessageText(MSG_WAITROOM_WARPOINT),
                                                 own ? kOwnWinColour : kOtherColour, points.win,
                                                 own ? kOwnLoseColour : kOtherColour, points.lose));
            }
        }
    }
}

void CWaitRoomWindow::RefreshRoleControls(const RoomRecord& room, const SlotContext& context, bool host) {
    const bool practice = context.mode == -1;
    const bool ownReady = context.ownSlot >= 0 && room.SlotReady(context.ownSlot);
    if (!host) {
        SetShown(m_roomInfo, false);
        SetShown(m_start, false);
        SetShown(m_startCheck, true);
        m_startCheck->SetChecked(ownReady);
        m_mapCombo->SetEnabled(0);
        m_guardianCombo->SetEnabled(0);
        for (const SlotRow& row : m_rows) SetShown(row.slide, false);
        return;
    }
    SetShown(m_roomInfo, !practice);
    m_mapCombo->SetEnabled(1);
    m_guardianCombo->SetEnabled(1);
    SetShown(m_startCheck, false);
    SetShown(m_start, true);
    for (int slot = 0; slot < kSlots; ++slot) {
        CUiButton* slide = m_rows[static_cast<size_t>(slot)].slide;
        const bool shown = !practice && slot != context.ownSlot;
        SetShown(slide, shown);
        if (!shown) continue;
        // The look names what a press asks for.
        const bool closed = room.SlotShownState(slot) == RoomRecord::kClosed;
        CResource* look = closed ? m_openLook : m_closeLook;
        if (look) {
            look->AddRef();
            slide->SetImage(0, look, false, closed ? "BUTTON_SIZE5_OPEN.DDS" : "BUTTON_SIZE5_CLOSE.DDS");
        }
    }
}

void CWaitRoomWindow::EnableSlotButtons(bool enable) {
    for (const SlotRow& row : m_rows) row.slide->SetEnabled(enable ? 1 : 0);
}

bool CWaitRoomWindow::SlotButtonsEnabled() const { return !m_rows[0].slide->HasFlags(UI_DISABLED); }
