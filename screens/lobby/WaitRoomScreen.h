// A game room before its match: the members sit in twelve slots of two
// teams, the host picks the map and the guardian time and starts, the others
// get ready; everyone chats, changes team or leaves. A practice room keeps
// its record locally and tells the server only that it is left.
//
// Phases: 0 load, 1 fade in, 2 in the room, 4 leaving (to hero select, the
// lobby or the market); 10000.. the error popup.
#pragma once

#include <string>
#include <vector>

#include "net/NetPacket.h"
#include "net/SharedRoomPackets.h"
#include "screens/lobby/WaitRoomWindow.h"
#include "ui/Screen.h"

class CMakeRoomWindow;
class CWaitRoomPopup;
class CResource;
struct MapListEntry;

class CWaitRoomScreen : public CScreen, public IRoomPacketScreen {
public:
    enum ScreenPhase { PHASE_LOAD, PHASE_FADE_IN, PHASE_ROOM, PHASE_LEAVING = 4 };
    enum NextScreen { NEXT_HERO_SELECT, NEXT_LOBBY, NEXT_MARKET };
    static constexpr uint32_t kClearColor = 0xff0000ffu;
    static constexpr float kTeamCoolDown = 1.5f;
    static constexpr float kStartCoolDown = 1.5f;
    static constexpr float kSlotCoolDown = 1.0f;
    static constexpr int kPracticeMode = -1;

    ~CWaitRoomScreen() override;

    int Update() override;
    void Render() override;
    // 0 when the error popup is to be shown.
    int HandlePackets();

    // The map-list index of the map id, or -1.
    int FindMapIndex(int mapId) const;
    // The map list of the room's mode and its combo entries; 0 when a map
    // image cannot be loaded.
    int ShowMapChoice();
    void BeginLeave(int next);

    CWaitRoomWindow* Window() const { return m_window; }
    CMakeRoomWindow* SettingsWindow() const { return m_settings; }
    int RoomMode() const { return m_mode; }
    bool Practice() const { return m_mode == kPracticeMode; }
    const std::vector<std::string>& GuardianChoices() const { return m_guardianChoices; }
    size_t MapCount() const { return m_maps.size(); }
    int NextScreenCode() const { return m_next; }
    CWaitRoomPopup* Popup() const { return m_popup; }

    // The shared room handler's calls.
    void OnRoomRecord() override;
    void OnSlotStates() override;
    void OnOwnSlotRemoved() override;
    void OnMapChanged() override;
    void OnGuardianChanged() override;

private:
    int Load();
    void EnterRoom();
    void UpdateRoom();
    void TickTimers();
    // Slots, map and guardian time from the session's record.
    void RefreshAll();
    void RefreshSlots();
    void ShowGameMode(int mapIndex);
    void SetTimeLimit(int choice);
    CWaitRoomWindow::SlotContext Context() const;
    bool IsHost() const;
    bool OwnReady() const;
    bool OwnChangingTeam() const;
    void Quit();
    void ChangeTeam();
    void Start();
    void SendChat();
    // The room's settings through the make-room window (the host's room-info button).
    void OpenRoomSettings();
    // True when the settings window is shown and took this frame's input.
    bool UpdateRoomSettings();
    // Opens the member popup on a right-clicked nickname; a mouse press while
    // it is shown takes its choice and closes it. True when it took the frame.
    bool UpdatePopup();
    // Sends through the session's connection; a failure opens the error popup.
    bool Sent(int result);
    void WaitCursor();
    void Line(int entry, uint32_t colour);

    CResource* m_layout = nullptr;
    CWaitRoomWindow* m_window = nullptr;
    CResource* m_randomMap = nullptr;
    CResource* m_guildMark = nullptr;
    std::vector<std::string> m_guardianChoices;
    std::vector<const MapListEntry*> m_maps;
    std::vector<CResource*> m_mapImages;
    int m_mode = 0;
    bool m_mapListBuilt = false;
    bool m_recordReceived = false;
    bool m_refreshPending = false;
    int m_next = NEXT_LOBBY;
    float m_teamCoolDown = 0;
    float m_slotCoolDown = 0;
    float m_startCoolDown = 0;
    bool m_disableStart = false;
    bool m_waitCursor = true;
    NetPacket m_received;
    CMakeRoomWindow* m_settings = nullptr;
    CResource* m_settingsLayout = nullptr;
    CWaitRoomPopup* m_popup = nullptr;
};

// The maker installed with SetWaitRoomScreenMaker.
CScreen* NewWaitRoomScreen();
