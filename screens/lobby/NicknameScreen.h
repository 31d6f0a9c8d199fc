// The account's nicknames: pick one and go on to the channel screen, create
// one (typed through the input method), delete one after a question, or go
// back to the login screen.
//
// Phases: 0 load, 1 fade in, 2 choosing, 3 create window open, 4 and 5
// leaving for the channel screen, 6 delete question; 10000.. the error popup.
#pragma once

#include "net/NetPacket.h"
#include "ui/Screen.h"

class CCreateNicknameWindow;
class CSelectNicknameWindow;
class CResource;

class CNicknameScreen : public CScreen {
public:
    enum ScreenPhase {
        PHASE_LOAD,
        PHASE_FADE_IN,
        PHASE_CHOOSING,
        PHASE_CREATING,
        PHASE_JOINING,
        PHASE_LEAVING,
        PHASE_DELETE_QUESTION
    };
    static constexpr uint32_t kClearColor = 0xFFFFFFFFu;
    static constexpr size_t kMinNickname = 4;

    CNicknameScreen() = default;
    ~CNicknameScreen() override;

    int Update() override;
    void Render() override;
    // 0 when the error popup is to be shown.
    int HandlePackets();

    CSelectNicknameWindow* SelectWindow() const { return m_select; }
    CCreateNicknameWindow* CreateWindow() const { return m_create; }

private:
    int Load();
    void UpdateChoosing();
    void UpdateCreating();
    void UpdateDeleteQuestion();
    // PK_NICKNAME_LIST_REQUEST under the wait cursor; a failed send shows the popup.
    void RequestList();
    int SendNicknamePacket(uint16_t id, const std::string& nickname);

    CResource* m_selectLayout = nullptr;
    CSelectNicknameWindow* m_select = nullptr;
    CResource* m_createLayout = nullptr;
    CCreateNicknameWindow* m_create = nullptr;
    bool m_waitCursor = true;
    bool m_windowFade = false;
    NetPacket m_received;
};
