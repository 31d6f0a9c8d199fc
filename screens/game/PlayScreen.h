// The screen on which one match is played, watched as a replay or run as the
// tutorial. Each frame it polls the game server, moves the camera, runs the
// scripts and triggers, dispatches every command record that is due (from the
// server's frames, the local queue or the replay), advances the world, sends
// its own frames and, once the match is over, tells the server and makes the
// screen that follows.
//
// Online, nothing the player does changes the world directly: it becomes a
// record in the outgoing frames, and runs when the server relays the frame
// back to every player, so every machine runs the same records in the same
// order. The dispatcher's handlers live in PlayCommandDispatch.cpp and the
// network poll in PlayNetworkPoll.cpp.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "engine/core/FrameTimer.h"
#include "screens/game/SelectionSet.h"
#include "ui/Screen.h"
#include "world/ScriptHost.h"

class CCamera;
class CGameCommand;
class CGameCommandManager;
class CInventoryItem;
class CPlayHelpWindow;
class CPlayMainPanel;
class CResource;
class CScriptManager;
class CUiWindow;
class CWorldObjectManager;
class CZEMSound;
class IWorldGround;
struct NetPacket;

// What the application lends the play screen: the loaded map's ground, the
// mission scripts and the match camera (each may be null in tests).
struct PlayContext {
    IWorldGround* ground = nullptr;
    CScriptManager* scripts = nullptr;
    CCamera* camera = nullptr;
};

class CPlayScreen : public CScreen, public IScriptHost {
public:
    enum PlayPhase : int {
        PHASE_LOAD = 0,
        PHASE_PLAY = 1,
        PHASE_ASKING_SERVER = 2,
        PHASE_LEAVING = 3,
        PHASE_WAITING = 4,
    };
    enum LeaveTarget : int {
        LEAVE_LOBBY = 0,
        LEAVE_WAIT_ROOM = 1,
        LEAVE_LOGIN = 2,
        LEAVE_RESULT = 3,
        LEAVE_NO_CONTEST = 4,
        LEAVE_AUTO_CANCEL = 5,
        LEAVE_LOBBY_OR_LOGIN = 6,
    };
    static constexpr float kMaxZoom = 340.0f;
    static constexpr float kMinZoom = 220.0f;
    static constexpr float kFieldOfView = 0.7853982f;  // pi / 4
    static constexpr float kGameOverDelay = 5.0f;
    static constexpr float kAutoCancelDelay = 3.0f;
    static constexpr float kIdleLimit = 600.0f;
    static constexpr float kSendInterval = 0.2f;
    static constexpr float kSlotStateInterval = 1.0f;
    static constexpr float kLordWarningLead = 180.0f;
    static constexpr float kDayPeriod = 360.0f;
    static constexpr int32_t kStartingGold = 30000;
    static constexpr int32_t kRandomHeroGold = 200;
    static constexpr int kUnitGroups = 10;
    static constexpr size_t kMatchReportSize = 30;

    explicit CPlayScreen(const PlayContext& context = {});
    ~CPlayScreen() override;

    int Job() override;  // the replay-end job on the loader thread
    int Update() override;
    intptr_t MsgProc(const platform::WindowMessage& message) override;

    // Steps of the frame, open to the match's other halves and to tests.
    int HandleServerMessages();
    // One received message: kPollNext to read on, 1 to stop the poll, 0 failed.
    static constexpr int kPollNext = 2;
    int HandlePlayMessage(const NetPacket& packet);
    int DispatchGameCommands(float realDt);
    void UpdateCamera(float gameDt);
    void UpdateMatchState(float gameDt);
    void UpdateLordWarning();
    void BeginLeave(int target);
    void EndMatch(int target);
    int SendMatchReport();
    void SetGameOver(int32_t team, int flag);
    void UpdateNoContestVote(float gameDt);
    int CountNoContestVotes();

    // The 30 bytes of message 1013 for the current world and session.
    std::array<uint8_t, kMatchReportSize> BuildMatchReport() const;
    // Connection class of a latency: 0 below 250 ms, 1 below 500 ms, else 2.
    static uint8_t ConnectionClass(int32_t latencyMs);

    // IScriptHost.
    void SelectOwnHero() override;
    void StartScreenFade(bool fadeIn) override;
    void SetScriptedMove(bool moving) override { m_scriptedMove = moving; }
    void SetInputLocked(bool locked) override { m_inputLocked = locked; }
    void SetPaused(bool paused) override;
    // The panels and the shop come later; until then nothing answers.
    void SetControlsEnabled(bool enable) override;
    bool HasStorageItem(uint32_t recordId) override;
    bool HasInventoryItem(uint32_t recordId) override;
    int32_t CountItems(uint32_t) override { return 0; }
    void RestockShopItem(uint32_t) override {}
    bool MouseClicked(int32_t button) override;
    CCamera* Camera() override { return m_camera; }
    IMessageBoxHost* MessageBox() override;

    // Replay playback: game dt carries the speed and the pause.
    void SetReplaySpeed(float speed) { m_gameTimer.SetSpeedScale(speed); }
    // The race music of a hero's flag word ("" when none).
    static const char* RaceMusic(uint32_t heroFlags);

    // State read by the HUD, the handlers and tests.
    int GameOver() const { return m_gameOver; }
    int32_t WinningTeam() const { return m_winningTeam; }
    int LeaveTarget() const { return m_leaveTarget; }
    bool Waiting() const { return m_waiting; }
    int InputMode() const { return m_inputMode; }
    void SetInputMode(int mode) { m_inputMode = mode; }
    float Zoom() const;
    int32_t OwnLatency() const { return m_ownLatency; }
    int32_t HostSlot() const { return m_hostSlot; }
    int32_t LagCounter(int slot) const { return m_lagCounters[static_cast<size_t>(slot)]; }
    uint8_t SlotState(int slot) const { return m_slotStates[static_cast<size_t>(slot)]; }
    int JobDone() const { return m_jobDone.load(std::memory_order_acquire); }
    bool Paused() const { return m_paused; }
    float IdleTimer() const { return m_idleTimer; }
    void ResetIdleTimer() { m_idleTimer = 0; }
    int LordWarningState() const { return m_lordWarningState; }
    void SetLordWarningState(int state) { m_lordWarningState = state; }
    int VoteState() const { return m_voteState; }
    void SetVoteState(int state, int requester) {
        m_voteState = state;
        m_voteRequester = requester;
    }
    std::array<uint8_t, 12>& Votes() { return m_votes; }
    CSelectionSet& Selection() { return m_selection; }
    std::vector<int32_t>& UnitGroup(int group) { return m_unitGroups[static_cast<size_t>(group)]; }
    // The replay's record count, kept before the replay-end job frees it.
    size_t ReplayRecordCount() const { return m_replayRecordCount; }
    CFrameTimer& GameTimer() { return m_gameTimer; }
    CPlayHelpWindow* HelpWindow() const { return m_helpWindow; }

    // The main panel and the item moves (PlayMainPanel*.cpp, PanelSlots.cpp, PlayItemMoves.cpp).
    CPlayMainPanel* MainPanel() const { return m_mainPanel; }
    // Moves an item between a hero's 8 places (id: the hero) and a player
    // slot's 12 storage places (id: the slot). With send the move becomes a
    // CMD_MOVE_ITEM record and is applied at once; the local slot's echo is
    // then skipped. 1 when applied (or skipped), 0 when nothing or only a
    // part of a stack moved.
    int MoveItem(int32_t slot, int32_t sourceId, int sourceIsArmy, int32_t targetId, int targetIsArmy,
                 int32_t sourceIndex, int32_t targetIndex, int send);
    // Removes (kind 2: sells) the item of one place; with send also a CMD_ITEM_SLOT_ACTION.
    void ItemSlotAction(int32_t slot, int32_t id, int armyFlag, int32_t index, int32_t kind, int send);
    // Puts an item into one place, or frees the item of one place.
    void SetArmyItem(int32_t id, int armyFlag, int32_t index, CInventoryItem* item);
    void FreeContainerItem(int32_t id, int armyFlag, int32_t index);
    // The item of one place, or null (an unknown place too).
    CInventoryItem* ContainerItem(int32_t id, int armyFlag, int32_t index) const;
    int32_t LocalPlayerSlot() const { return LocalSlot(); }
    IWorldGround* Ground() const { return m_context.ground; }

private:
    int Load();
    void RunFrame(float realDt, float gameDt);
    void Leave();
    void OpenErrorPopup();
    void PlayRaceMusic();
    // Each hero onto the first free spot around where the map put it.
    void SpreadHeroes();
    // The windows of the match and the guardians' theme; 0 when a layout is missing.
    int LoadLayouts();
    // Field of view, projection for the back buffer, zoom limits and view.
    void SetUpCamera();
    void RebuildView();
    void StopStreams();
    int SendOrFail(uint16_t id, const void* data, int length);
    void AdvanceWorld(float dt);
    void CleanSelection();
    int32_t LocalSlot() const;

    // Handlers of the record types; the order handlers return 0 to wait.
    int Dispatch(CGameCommand& record);
    int OnUnitOrder(CGameCommand& r);
    void OnUnitOrderQueued(CGameCommand& r);
    int OnUnitStop(CGameCommand& r);
    void OnHeroRevive(CGameCommand& r);
    void OnUnitNextOrder(CGameCommand& r);
    void OnCreateObject(CGameCommand& r);
    void OnTriggerControl(CGameCommand& r);
    void OnSpawnUnit(CGameCommand& r);
    void OnGrantReward(CGameCommand& r);
    void GrantReward(uint32_t kind, int32_t id, int32_t amount);
    void OnGrantRewardGroup(CGameCommand& r);
    void OnUiCue(CGameCommand& r);
    void OnCastSkill(CGameCommand& r);
    void OnUnitFlags(CGameCommand& r);
    void OnGameEvent(CGameCommand& r);
    void OnSkillAction(CGameCommand& r);
    void OnUseItem(CGameCommand& r);
    void OnFollowerAction(CGameCommand& r);
    void OnRunTrigger(CGameCommand& r);
    void OnRestoreUnit(CGameCommand& r);
    void OnUnitTargetList(CGameCommand& r);
    void OnPlayerSlotState(CGameCommand& r);
    void OnUnitToArea(CGameCommand& r);
    void SyncUnitPosition(CWorldObject& unit, const platform::Vec3& senderPosition);
    void SyncUnitHitPoints(CWorldObject& unit, float senderHitPoints);
    int SendFrames(float realDt);
    void StopAllUnits();
    void FocusCamera(const platform::Vec3& point);

    int LoadMainPanel();
    void OnMoveItem(CGameCommand& r);
    void OnItemSlotAction(CGameCommand& r);
    // Whether a record of the slot is applied here (not the local slot's echo).
    bool AppliesRecordOf(int32_t slot, int send) const;

    // Poll cases.
    int OnGameCommands(const NetPacket& packet);
    int OnLeaveRoomResult(const NetPacket& packet);

    PlayContext m_context;
    CCamera* m_camera = nullptr;
    CFrameTimer m_gameTimer;
    CSelectionSet m_selection;
    std::array<std::vector<int32_t>, kUnitGroups> m_unitGroups;

    int m_inputMode = 0;
    int m_gameOver = 0;
    int32_t m_winningTeam = 0;
    int m_leaveTarget = LEAVE_LOBBY;
    float m_gameOverTimer = 0;
    bool m_errorAcknowledged = false;
    bool m_waiting = false;
    bool m_paused = false;
    bool m_scriptedMove = false;
    bool m_inputLocked = false;
    bool m_followSelected = false;
    bool m_cameraLocked = false;
    float m_idleTimer = 0;
    float m_autoCancelTimer = 0;
    bool m_autoCancelFading = false;
    std::atomic<int> m_jobDone{1};
    size_t m_replayRecordCount = 0;

    int m_lordWarningState = 0;
    float m_darkening = 0;
    bool m_darkeningRising = false;
    float m_dayTimer = 0;
    bool m_day = true;

    int32_t m_hostSlot = -1;
    int32_t m_ownLatency = 0;
    std::array<uint8_t, 12> m_slotStates{};
    std::array<int32_t, 12> m_lagCounters{};
    float m_sendTimer = 0;
    float m_slotStateTimer = 0;

    // The ready handshake: slots that have loaded, and the start sent once.
    std::array<uint8_t, 12> m_ready{};
    bool m_readySent = false;
    std::array<uint8_t, 12> m_votes{};
    int m_voteState = -1;
    int m_voteRequester = -1;
    float m_voteElapsed = 0;
    float m_voteTick = 0;

    CZEMSound* m_guardianMusic = nullptr;
    CPlayHelpWindow* m_helpWindow = nullptr;
    CResource* m_helpLayout = nullptr;
    bool m_raceMusicPlaying = false;

    // The main panel.
    CPlayMainPanel* m_mainPanel = nullptr;
    CResource* m_mainLayout = nullptr;
};
