// The waiting room's popup menu over a member's nickname ("WAITROOM_POPUP"):
// whisper to the member, add him as a friend or block him. A right click on
// another member's nickname opens it at the pointer; the next mouse press
// takes the chosen row, if any, and closes it.
#pragma once

#include <string>

#include "screens/lobby/ConnecterPopup.h"

class CClientSession;
class CUiListBox;

class CWaitRoomPopup : public CConnecterPopup {
public:
    enum Outcome { OUTCOME_NONE, OUTCOME_WHISPER, OUTCOME_SENT, OUTCOME_FAILED };

    // Made hidden, in the owner's UI manager, with its three items.
    explicit CWaitRoomPopup(CUiWindow* owner);

    void Open(const std::string& target, float x, float y);
    void Close();
    bool Shown() const { return !HasFlags(UI_HIDDEN); }
    const std::string& Target() const { return m_target; }

    // Acts on the row chosen since it opened: the whisper command through the
    // chat layer (OUTCOME_WHISPER, or OUTCOME_FAILED when it could not be
    // sent), or the friend or block request with its checks (OUTCOME_SENT
    // also when a check refused it: the reason is in the chat list).
    int Act(CClientSession& session, CUiListBox* chatList);

private:
    std::string m_target;
};
