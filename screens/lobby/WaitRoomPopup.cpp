#include "screens/lobby/WaitRoomPopup.h"

#include "engine/input/ZEMDXInput.h"
#include "net/ClientSession.h"
#include "net/CommunityRequests.h"
#include "screens/lobby/WaitRoomScreen.h"
#include "ui/ScreenHost.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"

CWaitRoomPopup::CWaitRoomPopup(CUiWindow* owner) : CConnecterPopup(owner) {
    Create("WAITROOM_POPUP");
    Fill({MSG_POPUP_MENU_WHISPER, MSG_POPUP_MENU_FRIEND_ADD, MSG_POPUP_MENU_OUTSIDE_CUT});
    if (g_pUiManager) g_pUiManager->ShowWindow(this, false);
}

void CWaitRoomPopup::Open(const std::string& target, float x, float y) {
    m_target = target;
    TakeSelected();
    m_list.SetSelected(-1);
    SetPosition(x, y);
    if (!g_pUiManager) return;
    g_pUiManager->ShowWindow(this, true);
    g_pUiManager->BringToFront(this);
}

void CWaitRoomPopup::Close() {
    m_list.SetSelected(-1);
    if (!g_pUiManager) return;
    g_pUiManager->ShowWindow(this, false);
    g_pUiManager->SendToBack(this);
}

int CWaitRoomPopup::Act(CClientSession& session, CUiListBox* chatList) {
    const int chosen = TakeSelected();
    if (m_target.empty()) return OUTCOME_NONE;
    switch (chosen) {
        case ITEM_WHISPER:
            return StartWhisperTo(m_target.c_str(), chatList) ? OUTCOME_WHISPER : OUTCOME_FAILED;
        case ITEM_FRIEND:
        case ITEM_BLOCK:
            AddCommunityMember(session, m_target, chosen == ITEM_FRIEND, chatList);
            return OUTCOME_SENT;
        default:
            return OUTCOME_NONE;
    }
}

bool CWaitRoomScreen::UpdatePopup() {
    IScreenHost* host = ScreenHost();
    if (!m_popup || !host) return false;
    const std::string target = m_window->TakePopupTarget();
    CZEMDXInput& input = host->Input();
    if (!target.empty()) {
        platform::CursorPoint cursor{};
        input.GetCursor(&cursor);
        m_popup->Open(target, static_cast<float>(cursor.x), static_cast<float>(cursor.y));
        return true;
    }
    if (!m_popup->Shown() || !(input.MousePressed(0) || input.MousePressed(1) || input.MousePressed(2))) return false;
    const int outcome = m_popup->Act(*g_pClientSession, m_window->ChatList());
    m_popup->Close();
    if (outcome == CWaitRoomPopup::OUTCOME_FAILED) {
        ShowErrorPopup(1);
    } else if (outcome == CWaitRoomPopup::OUTCOME_WHISPER) {
        // The whisper prefix now waits in the chat edit for the line.
        host->Ui().SetFocus(m_window->ChatEdit());
    }
    return true;
}
