// The lobby of a channel: the pages of the room list, the players in the
// lobby and their chat; from here the player makes or joins a room (with its
// password, or by quick join), starts a practice match or the tutorial, goes
// to the shop or my-info, back to the channel list, or quits.
//
// Phases: 0 load, 1 fade in and wait for the entry answer, 2 the lobby, 3 the
// quit question, 4 fading out to the next screen, 5 community, 6 the tutorial
// question, 7 a room joined with no waiting room to go on to; 10000.. the
// error popup.
#pragma once

#include <cstdint>
#include <string>

#include "net/LobbyMessages.h"
#include "screens/lobby/LobbyCommunity.h"
#include "screens/lobby/LobbyOptions.h"
#include "screens/lobby/LobbyPacketLoop.h"
#include "screens/lobby/RoomListPager.h"
#include "ui/Screen.h"

class CConnecterPopup;
class CLobbyWindow;
class CMakeRoomWindow;
class CQuickJoinWindow;
class CResource;
class CRoomPasswordWindow;

class CLobbyScreen : public CScreen, private ILobbyEvents {
public:
    enum ScreenPhase {
        PHASE_LOAD,
        PHASE_FADE_IN,
        PHASE_LOBBY,
        PHASE_EXIT_QUESTION,
        PHASE_LEAVING,
        PHASE_COMMUNITY,
        PHASE_TUTORIAL_QUESTION,
        PHASE_ROOM_JOINED
    };
    // Where the fade-out leads.
    enum NextScreen {
        NEXT_CHANNEL,
        NEXT_ROOM_MADE,
        NEXT_ROOM_JOINED,
        NEXT_QUICK_JOINED,
        NEXT_QUIT,
        NEXT_MARKET,
        NEXT_MYINFO,
        NEXT_LOADING
    };
    static constexpr uint32_t kClearColor = 0xFF000000u;
    static constexpr int kMakeRoomRankLimit = 60;
    static constexpr uint32_t kBanNoticeColour = 0xff0000;

    CLobbyScreen();
    ~CLobbyScreen() override;

    int Update() override;
    void Render() override;

    // 1006 or a list-kind or page change: kind and page of the pager.
    int RequestRoomList();
    void BeginLeave(int next);
    // Loads "TUTORIAL.DAT" into the script manager and leaves for the loading
    // screen; 0 (nothing sent) when the script or the send failed.
    int StartTutorial();
    // The lobby's room requests: each checks what the player typed or chose
    // first and may send nothing.
    void CreateRoom();
    void JoinRoom();
    void QuickJoin();

    CLobbyWindow* Window() const { return m_window; }
    CMakeRoomWindow* MakeRoom() const { return m_makeRoom; }
    CRoomPasswordWindow* Password() const { return m_password; }
    CQuickJoinWindow* QuickJoinWnd() const { return m_quickJoin; }
    CLobbyOptions& OptionsView() { return m_options; }
    CConnecterPopup* Popup() const { return m_popup; }
    const CRoomListPager& Pager() const { return m_pager; }
    const RoomPage& Rooms() const { return m_rooms; }
    int NextCode() const { return m_next; }
    bool Busy() const { return m_busy; }
    CResource* ModeIcon(int mode) const { return m_icons[mode]; }
    const CLobbyPacketLoop& PacketLoop() const { return m_loop; }
    CLobbyCommunity& Community() { return m_community; }

private:
    int Load();
    void EnterLobby();
    void UpdateLobby();
    // Escape and the small windows' own keys; 1 while one of them is shown.
    int UpdateSmallWindows();
    void UpdateChat();
    void UpdateExitQuestion();
    void UpdateTutorialQuestion();
    int Leave();
    void SetBusy(bool busy);
    void ShowBoxText(const std::string& text);
    // 1 when the machine meets the figures of the versus-machines mode;
    // else the shortfall is shown.
    bool CheckSpecFor(int mode);
    void SendNotice(uint16_t id, int next);
    void UpdateCoolDowns();
    // A mouse press while the popup is up: its choice for the chosen player, then it hides.
    int UpdatePopup();
    // The popup over a name of the lobby's player list or of a community list.
    enum PopupSource { POPUP_LOBBY, POPUP_FRIENDS, POPUP_GUILD };
    void ShowConnecterPopup(PopupSource source);
    void UpdateCommunity();

    // Answers of the packet loop.
    void OnLobbyEntered(const LobbyEnterResult& result) override;
    void OnRoomList(const RoomPage& rooms) override;
    void OnLobbyUsers(const LobbyUserList& users) override;
    void OnChatLine(const std::string& line, uint32_t colour) override;
    void OnRoomAnswer(uint16_t id, uint8_t result, uint8_t reason, uint16_t room) override;
    void OnQuitAnswer() override;
    bool Reading() const override;
    int OnOtherPacket(const NetPacket& packet) override;

    CLobbyWindow* m_window = nullptr;
    CMakeRoomWindow* m_makeRoom = nullptr;
    CRoomPasswordWindow* m_password = nullptr;
    CQuickJoinWindow* m_quickJoin = nullptr;
    CConnecterPopup* m_popup = nullptr;
    CResource* m_layouts[4] = {};
    CResource* m_icons[2] = {};
    RoomPage m_rooms{};
    CRoomListPager m_pager;
    CLobbyPacketLoop m_loop;
    CLobbyCommunity m_community{*this};
    CLobbyOptions m_options;
    PopupSource m_popupSource = POPUP_LOBBY;
    int m_next = NEXT_CHANNEL;
    bool m_entered = false;
    bool m_busy = true;
};

CScreen* NewLobbyScreen();
