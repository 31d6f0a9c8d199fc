// The host changes the room's title, password and level limit through the
// make-room window; the room's mode stays. The server's answer closes the
// window (the waiting room's message handler).
#include "engine/input/ZEMDXInput.h"
#include "net/ClientSession.h"
#include "net/RoomSenders.h"
#include "platform/Input.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/MakeRoomWindow.h"
#include "screens/lobby/RoomSettings.h"
#include "screens/lobby/WaitRoomScreen.h"
#include "ui/ScreenHost.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"

namespace {
constexpr int kLowestRank = 1;
constexpr int kHighestRank = 100;
// Above this rank the level limit is read from the room's lower end.
constexpr int kHighRank = 94;
}  // namespace

void CWaitRoomScreen::OpenRoomSettings() {
    if (!m_settings || !IsHost() || Practice()) return;
    const CClientSession& session = *g_pClientSession;
    const RoomRecord& room = session.room;
    const int rank = session.rankNumber;
    int choice = -1;
    if (room.LowerRank() != kLowestRank || room.UpperRank() != kHighestRank)
        choice = rank > kHighRank ? rank - room.LowerRank() - 1 : room.UpperRank() - rank - 1;
    m_settings->OpenForRoom(rank, room.Mode(), choice, std::string(room.Title()), std::string(room.Password()));
}

bool CWaitRoomScreen::UpdateRoomSettings() {
    if (m_window->TakeCommand(CWaitRoomWindow::CMD_ROOMINFO)) {
        OpenRoomSettings();
        return true;
    }
    if (!m_settings || m_settings->HasFlags(UI_HIDDEN)) return false;
    // While the window is up, the room's keys are its own.
    IScreenHost* host = ScreenHost();
    if (host->Input().KeyReleased(platform::DIK_ESCAPE)) {
        m_settings->Close();
        return true;
    }
    if (!m_settings->TakeOk()) return true;
    const MakeRoomRequest request = m_settings->Request(0);
    std::string message;
    const RoomInputCheck check = CheckRoomInput(request.title, request.password, &message);
    if (check == ROOM_INPUT_NO_TITLE) {
        host->Ui().SetFocus(m_settings->TitleEdit());
    } else if (check != ROOM_INPUT_OK) {
        lobby::ShowBox(message.c_str(), 1);
    } else {
        host->Ui().SetFocus(nullptr);
        WaitCursor();
        Sent(SendRoomSettings(*g_pClientSession->net, request.title, request.password, request.lowestRank,
                              request.highestRank));
    }
    return true;
}
