// The play screen's phases, frame order, camera, match flow and leaving.
#include "screens/game/PlayScreen.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/MessageBoxHost.h"
#include "engine/core/MessageTable.h"
#include "engine/core/Options.h"
#include "engine/core/TextFormat.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/render/Camera.h"
#include "engine/sound/ZEMSound.h"
#include "engine/render/CameraRegistry.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "net/NetClient.h"
#include "platform/CrtRandom.h"
#include "platform/GfxTypes.h"
#include "platform/Input.h"
#include "screens/game/ItemShopWindow.h"
#include "screens/game/PlayHelpWindow.h"
#include "screens/game/ResultScreen.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiManager.h"
#include "world/MapScenario.h"
#include "world/PlayerHeroes.h"
#include "world/ProjectileManager.h"
#include "world/ScriptManager.h"
#include "world/TerrainEngine.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

namespace {
constexpr const char* kHelpLayout = "PLAY_HELP.DUI";
constexpr const char* kGuardianMusic = "TUTELARIES.OGG";
constexpr uint16_t kMsgMatchReport = 1013;
constexpr uint16_t kMsgEndGame = 1035;
constexpr uint16_t kMsgLeaveRoom = 2008;
constexpr uint16_t kMsgTutorialEnd = 1068;
constexpr int kErrorTimeout = 28;
constexpr int kErrorSendTimeout = 27;
constexpr int kErrorOther = 10000;

CWorldObjectManager* World() { return g_pWorldObjectManager; }
CGameCommandManager* Commands() { return g_pGameCommandManager; }

void PutU16(uint8_t* at, uint32_t v) { StoreU16(at, v); }
void PutU32(uint8_t* at, uint32_t v) { StoreU32(at, v); }
}  // namespace

CPlayScreen::CPlayScreen(const PlayContext& context) : m_context(context) {
    m_camera = context.camera;
    if (!m_camera && g_pCameraRegistry) m_camera = g_pCameraRegistry->Get(0);
    m_gameTimer.SetSpeedScale(1.0f);
    m_gameTimer.EnableTotal(true);
    m_dayNight.Init();
}

CPlayScreen::~CPlayScreen() {
    // The replay-end job must be done with the recording before the screen goes.
    if (!JobDone() && g_pResourceManager) g_pResourceManager->WaitLoaderThread(0xFFFFFFFFu);
    if (g_pScriptHost == this) g_pScriptHost = nullptr;
    // The marker is the match's; the map may outlive the screen, and the
    // pointer the marker stood in for comes back with the next screen.
    if (g_pTerrainEngine) g_pTerrainEngine->RemoveGroundMarker();
    SyncPointerWithMarker();
    if (g_pResourceManager) {
        // The layout takes its window with it.
        g_pResourceManager->ReleaseResource(m_helpLayout);
        g_pResourceManager->ReleaseResource(m_mainLayout);
        g_pResourceManager->ReleaseResource(m_guardianMusic);
    }
    ReleaseInputLayouts();
    ReleaseChatLayout();
    ReleaseMenuLayouts();
    ReleaseShopLayouts();
    if (m_context.scripts) m_context.scripts->Clear();
    // Records still queued belong to this match only.
    if (CGameCommandManager* commands = Commands(); commands && !commands->IsPlayback()) commands->ClearQueue();
}

int32_t CPlayScreen::LocalSlot() const { return World() ? World()->localSlot : 0; }

IMessageBoxHost* CPlayScreen::MessageBox() {
    IScreenHost* host = ScreenHost();
    return host && host->HasMessageBox() ? &host->MessageBox() : nullptr;
}

uint8_t CPlayScreen::ConnectionClass(int32_t latencyMs) {
    if (latencyMs < 250) return 0;
    return latencyMs < 500 ? 1 : 2;
}

const char* CPlayScreen::RaceMusic(uint32_t heroFlags) {
    if (heroFlags & 0x8000000u) return "";
    if (heroFlags & 0x100) return "VAMPIRE.OGG";
    if (heroFlags & 0x200) return "MAGE.OGG";
    if (heroFlags & 0x400) return "HUNTER.OGG";
    if (heroFlags & 0x800) return "WAREWOLF.OGG";
    return "";
}

float CPlayScreen::Zoom() const { return m_camera ? m_camera->distance : 0.0f; }

int CPlayScreen::Update() {
    m_timer.Update();
    m_gameTimer.Update();
    const float realDt = m_timer.Dt();
    const float gameDt = m_gameTimer.Dt();
    switch (static_cast<int>(Phase())) {
        case PHASE_LOAD:
            if (!Load()) {
                // A load step that failed has set the error text: it is shown
                // once, with the connection closed, and leads back to login.
                OpenErrorPopup();
                return SCREEN_RUNNING;
            }
            break;
        case PHASE_LEAVING:
            if (m_fade.Done() && JobDone()) {
                Leave();
                StopStreams();
                return SCREEN_FINISHED;
            }
            break;
        case kPhaseErrorPopup:
        case kPhaseErrorQuit:
        case kPhaseErrorReturn:
            if (const int result = UpdateErrorPopup()) {
                StopStreams();
                return result;
            }
            break;
        default:
            break;
    }
    RunFrame(realDt, gameDt);
    return SCREEN_RUNNING;
}

int CPlayScreen::Load() {
    CWorldObjectManager* world = World();
    CGameCommandManager* commands = Commands();
    if (!world || !commands) {
        ErrorReport().SetError(kErrorOther, "%s", "The match has no world to play on");
        return 0;
    }
    m_fade.Start(UiColor(0, 0, 0, 0), 1, 0.8f);
    std::array<int32_t, CGameCommandManager::kSlots> teams{};
    for (size_t s = 0; s < teams.size(); ++s) teams[s] = world->ownerTeam[s];
    // A replay plays by the same clock; it records nothing and packs nothing.
    const bool replay = world->gameMode == 3;
    const uint32_t record = g_pClientSession && !replay ? g_pClientSession->saveReplay : 0;
    commands->BeginSession(world->IsNetworkGame() ? 1 : 0, &world->gameClock, record, world->localTeam, teams);
    if (g_pMapScenario) commands->SetScenarioValue(static_cast<uint32_t>(g_pMapScenario->Lords().lordTime));
    if (world->gameMode == 1 && !replay) commands->BuildGrantReward(1, LocalSlot(), kStartingGold, 0);
    SetUpCamera();
    SetUpLight();
    if (!LoadLayouts()) return 0;
    InitMarkers();
    StartDayNight();
    if (g_pMapScenario) g_pMapScenario->TrackLords();
    if (m_context.scripts && world->gameMode == 2) g_pScriptHost = this;

    // The hero of the local slot is selected and in view.
    if (CWorldObject* hero = world->GetObjectById(LocalSlot()); hero && hero->alive) {
        m_selection.selected.assign(1, hero->id);
        m_selection.focus = hero->id;
        FocusCamera(hero->position);
        PlayRaceMusic();
    }
    SetPhase(PHASE_PLAY);
    if (world->IsNetworkGame()) {
        m_waiting = true;
        SetPhase(PHASE_WAITING);
        SetMenuLeaveButtonsEnabled(false);
        if (IMessageBoxHost* box = MessageBox()) {
            ShowMessageBox(*box, GetMessageText(MSG_LOAD_UI_PLAYER_WAIT), 0, 0);
        }
    }
    bool someoneLeft = false;
    std::vector<int32_t> randomHeroes;
    for (int s = 0; s < CClientSession::kPlayerSlots; ++s) {
        if (world->slotGone[s] && !(g_pClientSession && g_pClientSession->slots[static_cast<size_t>(s)].observer))
            someoneLeft = true;
        if (g_pClientSession && world->slotOccupied[s] && g_pClientSession->slots[static_cast<size_t>(s)].randomHero)
            randomHeroes.push_back(s);
    }
    if (world->IsNetworkGame()) {
        if (!randomHeroes.empty()) commands->EmitRewardCommands(randomHeroes, 1, kRandomHeroGold, 1);
        if (!someoneLeft) commands->BuildGameEvent(10, 0, LocalSlot(), 1);
        if (!world->online || world->host)
            if (CGameCommand* day = commands->BuildPlayerEvent(11, 0, 1))
                day->SetU8(3, platform::CrtRand() % 2 == 0 ? 1 : 0);
    }
    if (someoneLeft) EndMatch(LEAVE_AUTO_CANCEL);
    SpreadHeroes();
    return 1;
}

int CPlayScreen::LoadLayouts() {
    if (!g_pResourceManager || !g_pResourceManager->HasFactory(RES_LAYOUT)) {
        ErrorReport().SetError(kErrorOther, "%s", "The match has no resources to load its windows from");
        return 0;
    }
    // The guardians' theme waits for the guardians' time; without sound the
    // match goes on in silence.
    if (World()->gameMode != 2 && g_pMapScenario && g_pMapScenario->Lords().lordTime > 0 && !m_guardianMusic) {
        m_guardianMusic =
            static_cast<CZEMSound*>(g_pResourceManager->GetResource(kGuardianMusic, RES_STREAM_SOUND, nullptr, 1));
        if (!m_guardianMusic) ErrorReport().SetError(0, "Sound load fail %s\n", kGuardianMusic);
    }
    if (!m_helpLayout) {
        m_helpWindow = new CPlayHelpWindow();
        m_helpLayout = g_pResourceManager->GetResource(kHelpLayout, RES_LAYOUT, m_helpWindow, 1);
        // A layout that failed took its window with it.
        if (!m_helpLayout) {
            m_helpWindow = nullptr;
            return 0;
        }
        if (g_pUiManager) {
            g_pUiManager->ShowWindow(m_helpWindow, false);
            g_pUiManager->SendToBack(m_helpWindow);
        }
    }
    if (!LoadMenuLayouts()) return 0;
    if (!LoadMainPanel() || !LoadInputLayouts()) return 0;
    if (!LoadChatLayout()) return 0;
    if (!LoadShopLayouts()) return 0;
    return LoadHudLayouts();
}

void CPlayScreen::SetUpCamera() {
    if (!m_camera) return;
    m_camera->fov = kFieldOfView;
    IScreenHost* host = ScreenHost();
    m_camera->SetProjection(host ? host->BackBufferWidth() : 1024, host ? host->BackBufferHeight() : 768);
    m_camera->distance = std::clamp(m_camera->distance, kMinZoom, kMaxZoom);
    if (auto* play = dynamic_cast<CPlayCamera*>(m_camera)) {
        play->pitchLimitHigh = kPitchLimitHigh;
        play->pitchLimitLow = kPitchLimitLow;
    }
    // A camera that was never aimed looks level, over the ground rather than
    // at it, and could never pitch into the band: it starts looking north,
    // down at the middle of the band.
    const float down = m_camera->viewDir.y;
    if (!(down < -kPitchLimitLow && down > -kPitchLimitHigh)) {
        const float y = -(kPitchLimitHigh + kPitchLimitLow) / 2;
        m_camera->viewDir = platform::Vec3(0, y, std::sqrt(1 - y * y));
        m_camera->RebuildAxes();
        m_camera->SetTarget(m_camera->target, 1);
    }
    RebuildView();
}

void CPlayScreen::SetUpLight() {
    IScreenHost* host = ScreenHost();
    if (!host) return;
    platform::GfxLight sun;
    sun.type = platform::LIGHT_DIRECTIONAL;
    sun.direction = {-0.5f, -0.5f, 0.5f};
    sun.diffuse = platform::ColorValue(1.0f, 1.0f, 1.0f, 0.0f);
    sun.specular = platform::ColorValue(0.0f, 0.0f, 0.0f, 1.0f);
    sun.ambient = platform::ColorValue(0.0f, 0.0f, 0.0f, 0.0f);
    host->SetSceneLight(sun);
}

void CPlayScreen::RebuildView() {
    if (m_camera) m_camera->view = platform::MatrixLookAtLH(m_camera->eye, m_camera->target, m_camera->up);
}

void CPlayScreen::SpreadHeroes() { SpreadPlayerHeroes(*World()); }

void CPlayScreen::PlayRaceMusic() {
    CWorldObject* hero = World() ? World()->GetObjectById(LocalSlot()) : nullptr;
    IScreenHost* host = ScreenHost();
    if (!hero || !host) return;
    const char* name = RaceMusic(hero->unitFlags);
    if (!*name) return;
    // Without sound the match goes on in silence.
    m_raceMusicPlaying = host->PlayBgmByName(name) != 0;
    if (!m_raceMusicPlaying) ErrorReport().SetError(0, "Sound load fail %s\n", name);
}

void CPlayScreen::StopStreams() {
    if (IScreenHost* host = ScreenHost(); host && m_raceMusicPlaying) host->StopBgm();
    m_raceMusicPlaying = false;
}

void CPlayScreen::OpenErrorPopup() {
    ShowErrorPopup(1);
    if (Phase() == PHASE_LOAD) SetPhase(kPhaseErrorPopup);
}

void CPlayScreen::RunFrame(float realDt, float gameDt) {
    CWorldObjectManager* world = World();
    if (!world) return;
    IScreenHost* host = ScreenHost();
    const bool replay = world->gameMode == 3;
    // The match clock stops with the pause; a replay's carries its speed.
    const float matchDt = m_paused ? 0.0f : (replay ? gameDt : realDt);

    if (m_leaveTarget == LEAVE_AUTO_CANCEL && Phase() != PHASE_LEAVING) {
        m_autoCancelTimer += gameDt;
        if (m_autoCancelTimer < kAutoCancelDelay) {
            m_fade.Start(UiColor(0, 0, 0, 1), 0, 0.0f);
        } else if (!m_autoCancelFading) {
            m_autoCancelFading = true;
            m_fade.Start(UiColor(0, 0, 0, 0), 0, 0.8f);
            m_autoCancelTimer = 1000000.0f;
        }
        if (IMessageBoxHost* box = MessageBox()) {
            ShowMessageBox(*box, GetMessageText(MSG_GAMEPLAY_AUTO_GAME_CANCEL), 0, 1);
        }
    }
    if (!HandleServerMessages()) {
        OpenErrorPopup();
        return;
    }
    if (host) {
        const int phase = Phase();
        // Devices are read while the match runs or waits, and for the error box.
        const bool active = phase == PHASE_PLAY || phase == PHASE_WAITING || phase == kPhaseErrorPopup;
        host->Input().UpdateInput(gameDt, host->HasWindowFocus() && active ? 1 : 0);
        if (!host->TickShutdownCountdown(nullptr, realDt)) {
            ErrorReport().SetError(kErrorTimeout, "%s", GetMessageText(MSG_ERROR_NETWORK_DISCONNECT));
            OpenErrorPopup();
            return;
        }
    }
    AdvanceDayNight(realDt, replay);
    CleanSelection();
    UpdateCamera(gameDt);
    RunInputStep(gameDt);
    UpdateMatchState(gameDt);
    if (!replay) {
        if (world->gameMode == 2 && m_context.scripts) {
            if (!m_context.scripts->Update(matchDt) && !m_gameOver) SetGameOver(world->localTeam, 1);
        } else if (g_pMapScenario) {
            g_pMapScenario->UpdateTriggers(matchDt);
            if (!world->online || world->host) g_pMapScenario->UpdateLords(matchDt);
        }
    }
    UpdateLordWarning();
    if (Phase() != kPhaseErrorPopup) {
        // While the replay-end job frees the recording, nothing reads it.
        if (JobDone() && !DispatchGameCommands(realDt)) {
            OpenErrorPopup();
            return;
        }
        AdvanceOverlays(realDt);
        if (m_shopWindow) m_shopWindow->TickRestock(matchDt);
        AdvanceWorld(matchDt);
        m_clickMarkers.Update(realDt, m_context.ground);
        m_darkening = std::clamp(m_darkening + (m_darkeningRising ? 0.3f : -0.3f) * gameDt, 0.0f, 1.0f);
        m_fade.Advance(realDt);
        CleanSelection();
    } else {
        m_fade.Advance(realDt);
    }
    if (world->IsNetworkGame() && world->gameMode == 0) {
        IMessageBoxHost* box = MessageBox();
        if (!box || !box->Visible()) m_idleTimer += realDt;
        if (m_idleTimer > kIdleLimit) {
            m_idleTimer = 0;
            ErrorReport().SetError(kErrorOther, "%s", GetMessageText(MSG_GAMEPLAY_NOT_ACTION_PLAYER));
            OpenErrorPopup();
        }
    }
}

void CPlayScreen::AdvanceWorld(float dt) {
    CWorldObjectManager* world = World();
    // The world's update advances the match clock itself: adding dt here too
    // ran the clock at twice the simulation, so recorded and played records
    // fell due at half the world time they were made at.
    world->Update(dt, m_context.ground);
    if (g_pProjectileManager) g_pProjectileManager->Update(dt);
}

void CPlayScreen::CleanSelection() { m_selection.Prune(); }

void CPlayScreen::InitMarkers() { m_clickMarkers.Init(); }

void CPlayScreen::FocusCamera(const platform::Vec3& point) {
    if (!m_camera) return;
    m_camera->SetTarget(point, 1);
    RebuildView();
}

void CPlayScreen::UpdateCamera(float gameDt) {
    if (!m_camera) return;
    if (m_followSelected && !m_selection.selected.empty())
        if (CWorldObject* o = World()->GetObjectById(m_selection.selected.front()); o && o->alive)
            m_camera->SetTarget(o->position, 1);
    IScreenHost* host = ScreenHost();
    const bool waitingBlocks = m_waiting && World()->gameMode != 3 && World()->gameMode != 4;
    if (m_inputMode == 5 || !m_camera->enabled || m_cameraLocked || waitingBlocks || !host) {
        RebuildView();
        m_camera->UpdateScriptedMove(gameDt);
        return;
    }
    CZEMDXInput& input = host->Input();
    const float wheel = static_cast<float>(input.GetMouseState().z);
    if (wheel != 0.0f) m_camera->distance = std::clamp(wheel * gameDt * 3.0f + m_camera->distance, kMinZoom, kMaxZoom);
    const float step = host->Options().screenScroll * m_camera->distance * gameDt;
    platform::CursorPoint cursor{};
    input.GetCursor(&cursor);
    const float width = static_cast<float>(host->BackBufferWidth());
    const float height = static_cast<float>(host->BackBufferHeight());
    // Without a terrain there is nothing to scroll over past the origin.
    const float mapWidth = g_pTerrainEngine ? g_pTerrainEngine->worldWidth() : 0.0f;
    const float mapDepth = g_pTerrainEngine ? g_pTerrainEngine->worldDepth() : 0.0f;
    platform::Vec3 target = m_camera->target;
    bool moved = false;
    if ((input.KeyDown(platform::DIK_LEFT) || cursor.x < 1) && target.x > 0) {
        target.x = std::max(0.0f, target.x - step * 1.5f);
        moved = true;
    }
    if ((input.KeyDown(platform::DIK_RIGHT) || cursor.x >= width - 1) && target.x < mapWidth) {
        target.x = std::min(mapWidth, target.x + step * 1.5f);
        moved = true;
    }
    if ((input.KeyDown(platform::DIK_UP) || cursor.y < 1) && target.z < mapDepth) {
        target.z = std::min(mapDepth, target.z + step);
        moved = true;
    }
    if ((input.KeyDown(platform::DIK_DOWN) || cursor.y >= height - 1) && target.z > 0) {
        target.z = std::max(0.0f, target.z - step);
        moved = true;
    }
    if (moved) {
        m_followSelected = false;
        m_camera->SetTarget(target, 1);
    }
    RebuildView();
    m_camera->UpdateScriptedMove(gameDt);
}

void CPlayScreen::UpdateMatchState(float gameDt) {
    IMessageBoxHost* box = MessageBox();
    if (m_voteState != -1) {
        UpdateNoContestVote(gameDt);
        return;
    }
    const int phase = Phase();
    if (phase == kPhaseErrorPopup) return;  // the screen base answers the error box
    if (!m_gameOver || phase == PHASE_LEAVING) {
        if (!box) return;
        const int result = box->Result();
        if (result == 1) {
            box->HideBox();
            const bool tutorialNotice = World()->gameMode == 2 && box->Mode() == 1;
            if (!tutorialNotice) {
                box->SetResult(-1);
                EndMatch(LEAVE_LOBBY);
            }
        } else if (result == 0) {
            box->SetResult(-1);
            box->HideBox();
        }
        return;
    }
    m_gameOverTimer += gameDt;
    if (m_gameOverTimer < kGameOverDelay) return;
    const bool offline = !World()->online;
    int target;
    switch (World()->gameMode) {
        case 1:
            target = LEAVE_WAIT_ROOM;
            break;
        case 2:
            target = offline ? LEAVE_LOBBY_OR_LOGIN : LEAVE_RESULT;
            break;
        default:
            if (offline) {
                target = LEAVE_LOGIN;
            } else {
                if (!SendMatchReport()) return;
                target = LEAVE_RESULT;
            }
            break;
    }
    if (box) box->HideBox();
    BeginLeave(target);
}

void CPlayScreen::BeginLeave(int target) {
    m_fade.Start(UiColor(0, 0, 0, 0), 0, 0.8f);
    m_leaveTarget = target;
    SetPhase(PHASE_LEAVING);
    if (IScreenHost* host = ScreenHost(); host && m_raceMusicPlaying)
        if (CZEMSound* music = host->Bgm()) music->FadeOut(100);
}

int CPlayScreen::SendOrFail(uint16_t id, const void* data, int length) {
    CNetClient* net = g_pClientSession ? g_pClientSession->net : nullptr;
    if (net && net->SendPacket(id, data, length)) return 1;
    if (!net) ErrorReport().SetError(kErrorOther, "%s", GetMessageText(MSG_ERROR_NETWORK_DISCONNECT));
    OpenErrorPopup();
    return 0;
}

void CPlayScreen::EndMatch(int target) {
    CWorldObjectManager* world = World();
    switch (world->gameMode) {
        case 1:
            BeginLeave(LEAVE_WAIT_ROOM);
            return;
        case 2: {
            BeginLeave(LEAVE_LOBBY_OR_LOGIN);
            const uint8_t zero[4] = {};
            if (world->online) SendOrFail(kMsgTutorialEnd, zero, 4);
            return;
        }
        default:
            break;
    }
    if (world->IsNetworkGame()) {
        SetPhase(PHASE_ASKING_SERVER);
        if (target == LEAVE_LOBBY) {
            uint8_t room[2];
            PutU16(room, g_pClientSession ? g_pClientSession->roomNumber : 0);
            SendOrFail(kMsgLeaveRoom, room, 2);
            return;
        }
        if (world->host) {
            const uint8_t zero[4] = {};
            if (!SendOrFail(kMsgEndGame, zero, 4)) return;
        }
        BeginLeave(target);
        return;
    }
    BeginLeave(LEAVE_LOGIN);
    if (world->gameMode == 3) {
        CGameCommandManager* commands = Commands();
        // The replay window reads this count while the job frees the records.
        m_replayRecordCount = commands->Recorded().size();
        m_jobDone.store(0, std::memory_order_release);
        if (!g_pResourceManager || !g_pResourceManager->StartLoaderThread(this, 1)) Job();
    }
}

int CPlayScreen::Job() {
    if (CGameCommandManager* commands = Commands()) commands->ClearRecording();
    m_jobDone.store(1, std::memory_order_release);
    return 1;
}

void CPlayScreen::Leave() {
    IScreenHost* host = ScreenHost();
    if (host && host->Window()) host->Window()->ShowCursor(true);
    CScreen* next = nullptr;
    bool returning = false;
    const bool online = World() && World()->online;
    switch (m_leaveTarget) {
        case LEAVE_LOBBY:
            next = MakeLobbyScreen();
            returning = true;
            if (g_pClientSession) g_pClientSession->returnedToLobby = true;
            break;
        case LEAVE_WAIT_ROOM:
        case LEAVE_NO_CONTEST:
        case LEAVE_AUTO_CANCEL:
            next = MakeWaitRoomScreen();
            returning = true;
            break;
        case LEAVE_LOGIN:
            next = MakeLoginScreen();
            break;
        case LEAVE_RESULT:
            next = new CResultScreen(m_winningTeam);
            break;
        case LEAVE_LOBBY_OR_LOGIN:
            if (online) {
                next = MakeLobbyScreen();
                returning = true;
                if (g_pClientSession) g_pClientSession->returnedToLobby = true;
            } else {
                next = MakeLoginScreen();
            }
            break;
        default:
            return;  // nothing follows, the screen still ends
    }
    if (returning && g_pClientSession) g_pClientSession->returningFromMatch = true;
    if (host && next)
        host->Screens().PushScreen(next);
    else
        delete next;
}

std::array<uint8_t, CPlayScreen::kMatchReportSize> CPlayScreen::BuildMatchReport() const {
    std::array<uint8_t, kMatchReportSize> out{};
    PutU32(&out[0], static_cast<uint32_t>(m_winningTeam));
    uint32_t score = 0;
    const CClientSession* session = g_pClientSession;
    const CWorldObjectManager* world = World();
    for (int s = 0; s < RoomRecord::kSlots; ++s) {
        if (!session || session->room.SlotState(s) != 2 || (world && world->slotGone[s])) continue;
        score += s < 6 ? 3 : 1;
    }
    PutU32(&out[4], score);
    // The own slot by nickname: room entries carry no account name.
    const int own = FindOwnRoomSlot();
    const CPlayerSlot* slot = nullptr;
    if (session && own >= 0)
        for (const CPlayerSlot& p : session->slots)
            if (p.heroId && static_cast<int>(p.position) == own) slot = &p;
    if (slot) {
        PutU32(&out[8], static_cast<uint32_t>(slot->points));
        PutU16(&out[12], static_cast<uint32_t>(slot->heroKills));
        PutU16(&out[14], static_cast<uint32_t>(slot->unitKills));
        PutU16(&out[16], static_cast<uint32_t>(slot->buildingKills));
        PutU16(&out[18], static_cast<uint32_t>(slot->deaths));
        PutU32(&out[20], static_cast<uint32_t>(slot->extraPoints));
        PutU16(&out[24], static_cast<uint32_t>(slot->level));
    }
    PutU32(&out[26], static_cast<uint32_t>(std::lround(world ? world->gameClock : 0.0f)));
    return out;
}

int CPlayScreen::SendMatchReport() {
    const auto report = BuildMatchReport();
    CNetClient* net = g_pClientSession ? g_pClientSession->net : nullptr;
    if (net && net->SendPacket(kMsgMatchReport, report.data(), static_cast<int>(report.size()))) return 1;
    // A result screen that can never be answered is no place to go.
    if (!net) ErrorReport().SetError(kErrorOther, "%s", GetMessageText(MSG_ERROR_NETWORK_DISCONNECT));
    OpenErrorPopup();
    return 0;
}

void CPlayScreen::StopAllUnits() {
    for (CWorldObject* o : World()->Objects())
        if (o->IsCombatObject() && o->alive) static_cast<CCombatObject*>(o)->SetOrder(0, 8, o->position, -1, -1, 1);
}

void CPlayScreen::UpdateLordWarning() {
    if (!g_pMapScenario) return;
    const float lordTime = g_pMapScenario->Lords().lordTime;
    if (lordTime <= 0) return;
    if (m_lordWarningState == 0 && lordTime - World()->gameClock <= kLordWarningLead) m_lordWarningState = 1;
    if (m_lordWarningState == 2) m_lordWarningState = 3;
}

void CPlayScreen::UpdateNoContestVote(float gameDt) {
    IMessageBoxHost* box = MessageBox();
    if (!box) return;
    CGameCommandManager* commands = Commands();
    const int result = box->Result();
    if (m_voteState == 0) {
        if (result == 1) {
            commands->BuildGameEvent(9, 1, LocalSlot(), 1);
            DisableNoContestButton();
            box->HideBox();
        } else if (result == 0) {
            m_voteState = -1;
            box->HideBox();
        }
        box->SetResult(-1);
    } else if (m_voteState == 1) {
        m_voteElapsed += gameDt;
        m_voteTick += gameDt;
        if (m_voteTick >= 1.0f) {
            m_voteTick = 0;
            const char* nick = g_pClientSession && m_voteRequester >= 0 && m_voteRequester < 12
                                   ? g_pClientSession->slots[static_cast<size_t>(m_voteRequester)].GetNickname()
                                   : "";
            const std::string text = FormatText(GetMessageText(MSG_GAMEPLAY_CANCEL_START_OTHER), nick,
                                                static_cast<int>(30.0f - m_voteElapsed));
            ShowMessageBox(*box, text.c_str(), 2, 1);
        }
        if (m_voteElapsed >= 30.0f || result == 0) {
            commands->BuildGameEvent(9, 3, LocalSlot(), 1);
            m_voteState = -1;
            m_voteElapsed = 0;
            box->HideBox();
        } else if (result == 1) {
            commands->BuildGameEvent(9, 2, LocalSlot(), 1);
            box->HideBox();
        }
        box->SetResult(-1);
    }
}

int CPlayScreen::CountNoContestVotes() {
    int agreed = 0, present = 0;
    for (int s = 0; s < 12; ++s) {
        agreed += m_votes[static_cast<size_t>(s)] == 1;
        present += World()->slotOccupied[s] && !World()->slotGone[s];
    }
    if (agreed < present) return 0;
    EndMatch(LEAVE_NO_CONTEST);
    if (IMessageBoxHost* box = MessageBox()) box->HideBox();
    m_voteState = -1;
    return 1;
}

intptr_t CPlayScreen::MsgProc(const platform::WindowMessage& message) {
    if (message.message != platform::WM_CLOSE || m_gameOver || Phase() != PHASE_PLAY) return 1;
    const CWorldObjectManager* world = World();
    const bool bad = world && world->online && world->gameMode == 0 && !world->authorityWithdrawn;
    if (IMessageBoxHost* box = MessageBox()) {
        ShowMessageBox(*box, GetMessageText(bad ? MSG_GAMEPLAY_OUT_PLAY_BAD : MSG_GAMEPLAY_OUT_PLAY), 2, 1);
    }
    return 0;
}

void CPlayScreen::SelectOwnHero() {
    CWorldObject* hero = World() ? World()->GetObjectById(LocalSlot()) : nullptr;
    if (!hero || !hero->alive) return;
    m_selection.selected.assign(1, hero->id);
    m_selection.focus = hero->id;
}

void CPlayScreen::StartScreenFade(bool fadeIn) { m_fade.Start(UiColor(0, 0, 0, 0), fadeIn ? 1 : 0, 0.8f); }

void CPlayScreen::SetPaused(bool paused) {
    m_paused = paused;
    m_gameTimer.SetPaused(paused);
}

bool CPlayScreen::MouseClicked(int32_t button) {
    IScreenHost* host = ScreenHost();
    return host && host->Input().MouseReleased(button);
}
