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
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/FrameTimer.h"
#include "engine/render/DayNightAmbient.h"
#include "screens/game/ClickMarkers.h"
#include "screens/game/FloatingTextManager.h"
#include "platform/Input.h"
#include "platform/Math.h"
#include "screens/game/SelectionSet.h"
#include "ui/Screen.h"
#include "world/ScriptHost.h"

class CCamera;
class CCombatObject;
class CCombineListWindow;
class CItemShopWindow;
struct ItemShop;
class CGameCommand;
class CGameCommandManager;
class CWorldObject;
class CInventoryItem;
class CPlayHelpWindow;
class CGameMenuWindow;
class COptionsWindow;
class CPlayerRankWindow;
class CReplayControlWindow;
class CPlayMainPanel;
class CPlayChatWindow;
class CResource;
class CScriptManager;
class CSkillInstance;
class CUiObject;
class CUiWindow;
class CWorldObject;
class CWorldObjectManager;
class CTopBarPanel;
class CStatusPanel;
class CZEMGauss;
class CZEMShadow;
class CUnitInfoWindow;
class CUnitTooltipWindow;
class CWorldObject;
class CWorldObjectManager;
class CZEMDXInput;
class CZEMSound;
class IWorldGround;
struct NetPacket;

// What the application lends the play screen: the loaded map's ground, the
// mission scripts and the match camera (each may be null in tests).
struct PlayContext {
    IWorldGround* ground = nullptr;
    CScriptManager* scripts = nullptr;
    CCamera* camera = nullptr;
    // The glow the scene is drawn through (null or not created: straight to
    // the back buffer) and the scene light's direction.
    CZEMGauss* glow = nullptr;
    platform::Vec3 lightDirection{-0.5f, -0.5f, 0.5f};
    uint32_t colorBits = 32;
    // What the match's item shop sells (null: the shop stays empty).
    ItemShop* shop = nullptr;
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
    // The match camera pitches only between these steep views.
    static constexpr float kPitchLimitHigh = 0.98f;
    static constexpr float kPitchLimitLow = 0.82f;
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
    // The local player's summons land in the F4 group, to be recalled with it.
    static constexpr int kSummonGroup = 1;
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
    void RestockShopItem(uint32_t itemId) override;
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
    // The markers that answer the player's orders on the ground.
    CClickMarkers& ClickMarkers() { return m_clickMarkers; }

    // End of a match: kills, bounties and combat numbers (PlayKills.cpp),
    // player and game events (PlayEvents.cpp).
    struct DamageNumber {
        int32_t objectId = -1;
        platform::Vec3 at;
        std::string text;
        uint32_t argb = 0xFFFFFFFFu;
        float scale = 1.0f;
    };
    void OnUnitKilled(CGameCommand& r);
    // The bookkeeping of a death: bounty, statistics, notice, first kill, team
    // score, respawn time; then the victim dies. killerId -1: no killer.
    void ApplyKill(CWorldObject& victim, int32_t killerId);
    void AddTeamKillScore(const CWorldObject& victim);
    void AfterUnitDeath(const CWorldObject& victim);
    void OnHpChange(CGameCommand& r);
    void OnUnitEffectsReset(CGameCommand& r);
    void ShowDamageNumber(const CWorldObject& object, int kind, float amount);
    // Text and colour of a floating number by kind.
    static DamageNumber DamageNumberLook(int kind, float amount);
    void OnPlayerEvent(CGameCommand& r);
    void OnMatchGameEvent(CGameCommand& r);
    // The line goes to the play chat window.
    void AddPlayChatLine(const std::string& line);
    // A notice in the middle of the screen, in a colour (0xAARRGGBB).
    void ShowEventNotice(const std::string& text, uint32_t argb);
    int32_t TeamScore(int team) const { return m_teamScores[static_cast<size_t>(team & 1)]; }
    void SetTeamScore(int team, int32_t score) { m_teamScores[static_cast<size_t>(team & 1)] = score; }
    // counter / 1000, 1 to 6.
    int32_t GetTeamScoreLevel(int team) const;
    bool FirstKillDone() const { return m_firstKill; }
    const std::vector<std::string>& PlayChatLines() const { return m_playChatLines; }
    const std::vector<DamageNumber>& DamageNumbers() const { return m_damageNumbers; }
    const std::vector<std::pair<std::string, uint32_t>>& EventNotices() const { return m_eventNotices; }
    int32_t FollowedSlot() const { return m_followedSlot; }
    bool VoteBoxShown() const { return m_voteBox; }
    int MusicState() const { return m_musicState; }

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
    void InitMarkers();
    // Field of view, projection for the back buffer, zoom limits and view.
    void SetUpCamera();
    // The sun of the match: one white directional light.
    void SetUpLight();
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
    void OnSkillSlotAction(CGameCommand& r);
    void OnSummon(CGameCommand& r);
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

    // Rendering, device events and floating texts (PlayScreenRender.cpp,
    // PlayDeviceEvents.cpp).
public:
    void Render() override;
    int InitDeviceObjects() override;
    int RestoreDeviceObjects() override;
    int InvalidateDeviceObjects() override;
    void DeleteDeviceObjects() override;
    // The bars of the frame's visible objects (or of the hovered one alone
    // with ShowUnitHP off), drawn as one batch of frames and one of fills.
    void DrawUnitBars();
    // One object's bar; filter is unused (0).
    void DrawUnitBar(CWorldObject* object, int filter);
    // A notice line of the stack in the colour 0xAARRGGBB.
    void ShowNotice(const char* text, uint32_t argb);
    // The yellow centre notice at (x, y) for seconds (a negative time holds it
    // at full alpha until it is cleared with 0).
    void SetCentreNotice(const char* text, int32_t x, int32_t y, float seconds);
    float CentreNoticeTime() const { return m_centreNoticeTime; }
    // The alpha byte of the centre notice for a remaining time.
    static uint32_t CentreNoticeAlpha(float remaining);
    CFloatingTextManager& FloatingTexts() { return m_floatingTexts; }
    // The object under the cursor (-1: none), set by the picking.
    int32_t HoveredObject() const { return m_hoveredObject; }
    void SetHoveredObject(int32_t id) { m_hoveredObject = id; }
    bool Dimmed() const { return m_dimmed; }
    float ReplaySpeed() const { return m_replaySpeed; }
    CZEMShadow* Shadow() const;
    CDayNightAmbient& DayNight() { return m_dayNight; }
    // The statistics line (a hot key toggles it).
    void ToggleStatistics() { m_showStatistics = !m_showStatistics; }
    // The game-over picture stands centred above the main panel.
    void SetMainPanelHeight(int32_t height) { m_mainPanelHeight = height; }
    // The picking viewport, following the back buffer.
    const platform::Viewport& PickViewport() const { return m_pickViewport; }
    // Frustum of the play camera and the spatial tree's visible list.
    void CullView();
    // Floating texts and the centre notice age by the frame's real time; the
    // top bar follows the day and the lord warning.
    void AdvanceOverlays(float realDt);
    CTopBarPanel* TopBar() const { return m_topBar; }

private:
    struct BarBatch;
    // What the renderer keeps between frames; complete only in the render's
    // own file, which also deletes it.
    struct RenderParts;
    struct RenderPartsDeleter {
        void operator()(RenderParts* parts) const;
    };
    RenderParts& Parts();
    void RenderWorld(platform::CGfxDevice& device);
    void RenderOverlays(platform::CGfxDevice& device);
    void ReadReplayKeys();
    int CreateShadow();
    void ReleaseShadow();
    // The HUD strips' windows; 0 when a layout is missing.
    int LoadHudLayouts();
    void AddUnitBar(CWorldObject& object, BarBatch& batch);
    void FlushUnitBars(BarBatch& batch);
    void DrawGameOverPicture();
    void DrawStatistics();

    CFloatingTextManager m_floatingTexts;
    std::unique_ptr<RenderParts, RenderPartsDeleter> m_renderParts;
    CDayNightAmbient m_dayNight;
    platform::Viewport m_pickViewport{0, 0, 1024, 768, 0, 1};
    std::string m_centreNotice;
    int32_t m_centreNoticeX = 0, m_centreNoticeY = 0;
    float m_centreNoticeTime = 0;
    int32_t m_hoveredObject = -1;
    CTopBarPanel* m_topBar = nullptr;
    bool m_dimmed = false;
    bool m_showStatistics = false;
    int32_t m_mainPanelHeight = 0;
    float m_replaySpeed = 1.0f;
    float m_fps = 0;
    float m_fpsTime = 0;
    int m_fpsFrames = 0;

    CZEMSound* m_guardianMusic = nullptr;
    CPlayHelpWindow* m_helpWindow = nullptr;
    CResource* m_helpLayout = nullptr;
    bool m_raceMusicPlaying = false;

    CClickMarkers m_clickMarkers;
    // ---- Player input: modes, hot keys, mouse orders and picks (PlayInput.cpp,
    // PlayMouseOrders.cpp, PlayPicks.cpp, PlayMapAlert.cpp) ----
public:
    enum InputModeId : int {
        INPUT_NORMAL = 0,
        INPUT_ATTACK = 1,
        INPUT_DRAG = 2,
        INPUT_ITEM = 3,
        INPUT_SKILL = 4,
        INPUT_CHAT = 5,
        INPUT_PATROL = 6,
        INPUT_MOVE = 7,
        INPUT_COMBINATION = 8,
        INPUT_MAP_ALERT = 9,
        INPUT_UI_ONLY = 10,
    };
    // What HUD buttons, the game menu, the replay control and the top bar ask
    // of the hot keys; acted on as the matching key.
    enum UiRequest : int {
        UI_REQUEST_MENU,
        UI_REQUEST_SHOP,
        UI_REQUEST_COMBINATION,
        UI_REQUEST_OPTIONS,
        UI_REQUEST_HELP,
        UI_REQUEST_INSERT,
        UI_REQUEST_SPARE1,
        UI_REQUEST_SPARE2,
        UI_REQUEST_COUNT,
    };
    enum WindowIndex : int {
        WINDOW_MENU, WINDOW_SHOP, WINDOW_UNIT_INFO, WINDOW_OPTIONS, WINDOW_COMBINATION, WINDOW_RANKING,
        WINDOW_HELP, WINDOW_REPLAY,
    };
    static constexpr int kControlGroups = 2;
    static constexpr int32_t kMaxQueuedOrders = 12;
    static constexpr float kAlertBlink = 0.8f;
    static constexpr float kAlertLength = 2.4f;

    // The pick ray, the UI's input and the dispatcher: steps 10 to 13 of a frame.
    void RunInputStep(float gameDt);
    void HandleInput();
    // 1 when the mode handler may go on, 0 when a key took the frame.
    int HandleHotkeys();
    void CancelInputMode();
    // show: 1 shows, 0 hides, -1 toggles.
    void ToggleWindow(int index, int show);
    void ClearUiRequests();
    void RequestUi(int request) { m_uiRequests[static_cast<size_t>(request)] = 1; }
    void OrderSelectedStop();
    void OrderSelectedHold();
    // 1 when the unit took the order (at once or queued).
    int OrderUnit(CCombatObject& unit, int32_t kind, int32_t subKind, const platform::Vec3& point, int32_t targetId,
                  int queued);
    void InputModeNormal();
    void InputModeOrderTarget();
    void InputModeDragSelect();
    void InputModeMapAlert();
    void RightClickOrder();
    void ShowClickMarker(int marker, const platform::Vec3& point);
    CWorldObject* GetHoveredObject();
    void ClearHoverHighlight();
    void RefreshHud();
    // The picks of the object or ground point under the cursor.
    CWorldObject* PickHoverObject(CWorldObject* reference, int deep);
    CWorldObject* PickOrderTarget(CCombatObject* actor, uint32_t stateMask, uint32_t relationMask, int32_t* failure,
                                  int enemyTest, int deep);
    int PickGroundPoint(platform::Vec3* point, int* hit);
    void UpdateObjectAlert(float dt);
    // A refusal: the red notice of a message entry and the error sound.
    void RefuseWithNotice(int messageId);
    // A blinking ring at a minimap point.
    void AddMapAlertMarker(float screenX, float screenY, float r, float g, float b, float a);
    void OnMapAlert(CGameCommand& r);

    // Input state read by the HUD and tests.
    int32_t MarkedObject() const { return m_markedObject; }
    int32_t RecalledGroup() const { return m_recalledGroup; }
    bool FollowSelected() const { return m_followSelected; }
    bool ShowStatistics() const { return m_showStatistics; }
    int LastRefusal() const { return m_lastRefusal; }
    int ActiveClickMarker() const { return m_activeMarker; }
    const platform::Vec3& ClickMarkerPoint() const { return m_markerPoint; }
    const PickRect& DragRect() const { return m_dragRect; }
    CUiObject* UiHit() const { return m_uiHit; }
    void SetHotkeysLocked(bool locked) { m_hotkeysLocked = locked; }
    void SetAlertObject(int32_t index) {
        m_alertObject = index;
        m_alertTimer = 0;
    }
    int32_t AlertObject() const { return m_alertObject; }
    struct MapAlertMark {
        float x, y;
        float color[4];
    };
    const std::vector<MapAlertMark>& MapAlertMarks() const { return m_mapAlertMarks; }
    // Whether a screen rectangle touches the 40 x 40 square around the pointer (edges count).
    static bool TouchesTargetSquare(const int32_t low[2], const int32_t high[2], int32_t x, int32_t y);
    // The cursor index of the screen edges the pointer touches (0 none).
    static int32_t EdgeCursorIndex(int32_t x, int32_t y, int32_t width, int32_t height);
    // The main panel's minimap control, whose point stands for the ground under it.
    void SetMinimapControl(CUiObject* control) { m_minimapControl = control; }
    CUnitInfoWindow* UnitInfo() const { return m_unitInfo; }
    CUnitTooltipWindow* UnitTooltip() const { return m_unitTooltip; }
    // The unit label and the unit information window; 0 when a layout is missing.
    int LoadInputLayouts();
    void ReleaseInputLayouts();
    static constexpr const char* kUnitTooltipLayout = "PLAY_UNITID.DUI";
    static constexpr const char* kUnitInfoLayout = "PLAY_UNITINFO.DUI";

    // A unit of the player that can be ordered (any in a replay or for an observer).
    static bool IsControllable(CWorldObject* object);
    // The live controllable unit of an id, or null.
    static CCombatObject* LiveControllable(int32_t id);

private:
    // The selected object the HUD's main panel would show: the focus, else the first.
    CWorldObject* PanelObject();
    CZEMDXInput* InputDevice();
    void SetCursor(int32_t n);
    void UpdateControlGroups();
    void HandleTabAndEsc();
    bool CursorOverWorld() const { return m_uiHit == nullptr; }
    // The order of a target mode for every selected unit; 1 when one was given.
    int OrderSelectedOnTarget(CWorldObject* target, const platform::Vec3& point, bool queued);
    void SetHovered(CWorldObject& object);

    std::array<int, UI_REQUEST_COUNT> m_uiRequests{};
    CUiObject* m_uiHit = nullptr;
    platform::Vec4 m_hoverColor{1, 1, 1, 1};
    int32_t m_markedObject = -1;
    int32_t m_recalledGroup = -1;
    platform::CursorPoint m_dragStart{};
    platform::CursorPoint m_dragEnd{};
    bool m_dragStarted = false;
    PickRect m_dragRect;
    int m_activeMarker = -1;
    platform::Vec3 m_markerPoint;
    bool m_hotkeysLocked = false;
    int m_lastRefusal = -1;
    int32_t m_alertObject = -1;
    float m_alertTimer = 0;
    bool m_alertMarkerDue = true;
    std::vector<MapAlertMark> m_mapAlertMarks;
    CUnitTooltipWindow* m_unitTooltip = nullptr;
    CResource* m_unitTooltipLayout = nullptr;
    CUnitInfoWindow* m_unitInfo = nullptr;
    CResource* m_unitInfoLayout = nullptr;
    CUiObject* m_minimapControl = nullptr;
    // ---- end of player input ----
    // End of a match.
    bool m_firstKill = false;
    std::array<int32_t, 2> m_teamScores{};
    // Kill points of the team score are multiplied by this.
    float m_teamScoreFactor = 1.0f;
    std::vector<std::string> m_playChatLines;
    std::vector<DamageNumber> m_damageNumbers;
    std::vector<std::pair<std::string, uint32_t>> m_eventNotices;
    int32_t m_followedSlot = -1;
    bool m_followChanged = false;
    float m_followTimers[2] = {0, 0};
    bool m_voteBox = false;
    int m_musicState = 0;
    // The main panel.
    CPlayMainPanel* m_mainPanel = nullptr;
    CResource* m_mainLayout = nullptr;
    // ---- Status panel and the day and night (StatusPanel.cpp, PlayDayNight.cpp) ----
public:
    CStatusPanel* StatusPanel() const { return m_statusPanel; }
    bool IsDay() const { return m_day; }
    // Whether a HUD button has raised the request since the hot keys last ran.
    bool UiRequested(int request) const { return m_uiRequests[static_cast<size_t>(request)] != 0; }
    // The ambient's first phase, by the day flag.
    void StartDayNight();
    // The ambient by real time; at the end of its phase the authority tells
    // every machine, and the light fades to the other set for the next one.
    void AdvanceDayNight(float realDt, bool replay);

private:
    void FlipDay(bool replay);
    // The world object manager's day flag, and whether it changed this frame.
    void MirrorDay();
    CStatusPanel* m_statusPanel = nullptr;
    // ---- In-game chat: the chat box, its key and mode, CMD_CHAT (PlayChat.cpp) ----
public:
    CPlayChatWindow* ChatWindow() const { return m_chatWindow; }
    // Enter opens the chat line, or closes it when it has the focus.
    void HandleChatKey();
    // Input mode 5: a click elsewhere or Esc closes the line.
    void InputModeChat();
    void CloseChat();
    void OnChat(CGameCommand& r);
    // A line of the match's own (kill, event) into the chat box.
    void ShowChatLine(const std::string& line, uint32_t colour);

private:
    int LoadChatLayout();
    void ReleaseChatLayout();
    void PlaceChatWindow();
    CPlayChatWindow* m_chatWindow = nullptr;
    CResource* m_chatLayout = nullptr;
    // ---- end of in-game chat ----

    // The portraits of the main panel and the unit information window (PlayPortraits.cpp).
public:
    // Into their targets, after the world and before the windows that show them.
    void RenderPortraits();
    void RestorePortraits();
    void InvalidatePortraits();
    // ---- Game menu, options, rank board and replay control (PlayMenuWindows.cpp) ----
public:
    // Pauses each player may call in a match.
    static constexpr int kPausesPerMatch = 3;
    static constexpr const char* kGameMenuLayout = "PLAY_MENU.DUI";
    static constexpr const char* kOptionsLayout = "PLAY_CONFIG.DUI";
    static constexpr const char* kRankBoardLayout = "PLAY_PLAYER_RANK.DUI";
    static constexpr const char* kReplayControlLayout = "UI_PLAY_REPLAY.DUI";
    // The four windows (the replay control in a replay only); 0 when a layout is missing.
    int LoadMenuLayouts();
    void ReleaseMenuLayouts();
    // After the UI's input: the closes the windows asked for, and the options
    // saved once their window has closed.
    void UpdateMenuWindows();
    // F10 and the menu request: the menu, or in a replay its control bar.
    void ToggleMenu(bool replay);
    // The menu windows by ToggleWindow's index (null for the others); the
    // rank board is rebuilt whenever it is toggled.
    CUiWindow* MenuWindow(int index);
    void RefreshRankBoard();
    void SyncMenuPauseButtons();
    // Quit and no contest wait until every player has loaded.
    void SetMenuLeaveButtonsEnabled(bool enable);
    void DisableNoContestButton();
    // Home and End of a replay: the previous or next player to follow.
    void StepReplayPlayer(CZEMDXInput& input);
    int PausesLeft() const { return m_pausesLeft; }
    void SetPausesLeft(int left) { m_pausesLeft = left; }
    void ChangeReplaySpeed(float speed);
    void SetFollowSelected(bool follow) { m_followSelected = follow; }
    CGameMenuWindow* GameMenu() const { return m_gameMenu; }
    COptionsWindow* OptionsWindow() const { return m_optionsWindow; }
    CPlayerRankWindow* RankBoard() const { return m_rankBoard; }
    CReplayControlWindow* ReplayControl() const { return m_replayControl; }

private:
    CGameMenuWindow* m_gameMenu = nullptr;
    CResource* m_gameMenuLayout = nullptr;
    COptionsWindow* m_optionsWindow = nullptr;
    CResource* m_optionsLayout = nullptr;
    CPlayerRankWindow* m_rankBoard = nullptr;
    CResource* m_rankBoardLayout = nullptr;
    CReplayControlWindow* m_replayControl = nullptr;
    CResource* m_replayControlLayout = nullptr;
    int m_pausesLeft = kPausesPerMatch;
    // ---- end of the menu windows ----
    // ---- Item shop and combination list (PlayShop.cpp) ----
public:
    CItemShopWindow* ShopWindow() const { return m_shopWindow; }
    CCombineListWindow* CombineList() const { return m_combineList; }
    // The item picked in the shop, whose recipes the C key lists (0: none).
    uint32_t SelectedItemId() const { return m_selectedItemId; }
    void SetSelectedItemId(uint32_t id) { m_selectedItemId = id; }
    // A refused purchase or sale: the red notice of a message entry.
    void ShopNotice(int messageId);
    int LastShopNotice() const { return m_lastShopNotice; }
    // The V and C keys (and the HUD's requests for them).
    void ToggleShop();
    void ToggleCombinationList();
    void OnBuyItem(CGameCommand& r);

private:
    // Steps 4 and 7 of the windows of the match; 0 when a layout is missing.
    int LoadShopLayouts();
    void ReleaseShopLayouts();

    CItemShopWindow* m_shopWindow = nullptr;
    CResource* m_shopLayout = nullptr;
    CCombineListWindow* m_combineList = nullptr;
    CResource* m_combineLayout = nullptr;
    uint32_t m_selectedItemId = 0;
    int m_lastShopNotice = -1;
    // ---- end of item shop ----
    // ---- The main panel's input: slot keys and the modes it starts (PlayPanelInput.cpp) ----
public:
    // The skill-point, skill and item slot keys; 0 when a slot acted.
    int PanelSlotKeys(CZEMDXInput& in);
    void InputModeItemDrag();
    void InputModeSkillTarget();
    void InputModeCombination();
    // The ground marker of an aimed area skill lives in the terrain engine,
    // which keeps it with the map; the screen holds no pointer to it. Made
    // with the main panel, hidden at the start of every input frame, shown,
    // sized and moved by the skill target mode.
    static constexpr float kGroundMarkerSize = 10.0f;
    void CreateGroundMarker();
    void HideGroundMarker();
    // Sized to the area (a skill without one keeps the marker's own size),
    // moved to the point and shown; false without a marker.
    bool ShowGroundMarker(const platform::Vec3& point, float areaRadius);
    // Whether the system pointer is hidden because the marker stands in for it.
    bool PointerHiddenByMarker() const { return m_pointerHiddenByMarker; }

private:
    // The system pointer hides while the marker shows and comes back once it does not.
    void SyncPointerWithMarker();
    void AimAreaSkill(const CSkillInstance& skill);
    bool m_pointerHiddenByMarker = false;
    // ---- end of the main panel's input ----
};
