#include "screens/game/LoadingScreen.h"

#include <algorithm>
#include <vector>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/render/RenderStateCache.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/ZEMSound.h"
#include "engine/text/ColorMarkup.h"
#include "net/ChatInputProcess.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetPacket.h"
#include "platform/CrtRandom.h"
#include "platform/GfxDevice.h"
#include "platform/Input.h"
#include "platform/Window.h"
#include "screens/game/LoadingMessages.h"
#include "screens/game/LoadingWindow.h"
#include "screens/game/PlayResources.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiEditBox.h"
#include "ui/UiGauge.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/GameDataRegistry.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {
constexpr uint32_t kPlayerChatColour = 0xFFFFFF;
constexpr uint32_t kTeamChatColour = 0xFFFF00;
constexpr uint32_t kOperatorChatColour = 0xFF00FF;
constexpr uint32_t kOwnChatColour = 0xFFFF00;
constexpr uint32_t kPlayerOutColour = 0xFF0000;
constexpr float kGoneGaugeGrey = 0.5333f;
constexpr uint16_t kStartValue = 0;
// An ITEM record of the local position's list: bit 0 of its flags clear and item kind 1.
constexpr uint32_t kItemNotCarried = 0x1;
constexpr uint32_t kItemKeptOut = 0x40000000u;

const UiColor kBlackClear{0.0f, 0.0f, 0.0f, 0.0f};
const UiColor kBlack{0.0f, 0.0f, 0.0f, 1.0f};
const UiColor kWhite{1.0f, 1.0f, 1.0f, 1.0f};

bool IsLocalItem(const CGameDataRecord* record) {
    return record && !(record->flags & kItemNotCarried) && record->kind == 1;
}

CWorldObjectManager* World() { return g_pWorldObjectManager; }

CNetClient* Connection() { return g_pClientSession ? g_pClientSession->net : nullptr; }

bool Connected() {
    CNetClient* net = Connection();
    return net && net->IsConnected();
}
}  // namespace

CScreen* NewLoadingScreen() { return new CLoadingScreen(); }

CLoadingScreen::CLoadingScreen() {
    m_rows.fill(-1);
    CWorldObjectManager* world = World();
    if (!world) return;
    m_gameMode = world->gameMode;
    m_network = world->IsNetworkGame() != 0;
    m_local = std::clamp(world->localSlot, 0, kPositions - 1);
    // Offline the local machine runs the rules; a network match's host does.
    const int authority =
        m_network && g_pClientSession ? static_cast<int>(g_pClientSession->room.HostSlot()) : m_local;
    world->host = authority == m_local ? 1 : 0;
}

CLoadingScreen::~CLoadingScreen() {
    StopJob();
    if (g_pResourceManager) g_pResourceManager->ReleaseResource(m_layout);
    m_layout = nullptr;
    m_window = nullptr;
}

void CLoadingScreen::StopJob() {
    m_stop.store(true, std::memory_order_release);
    // A screen cleared while its job runs must not go before the job.
    if (m_jobStarted && g_pResourceManager) g_pResourceManager->WaitLoaderThread(CResourceManager::kInfinite);
    m_jobStarted = false;
}

void CLoadingScreen::DeleteDeviceObjects() {
    if (!m_jobStarted) return;
    const bool done = JobDone();
    StopJob();
    // A load cut short cannot be finished on a new device.
    if (!done) SetPhase(PHASE_FAILED);
}

float CLoadingScreen::PlayerProgress(int position) const {
    return position >= 0 && position < kPositions ? m_playerProgress[static_cast<size_t>(position)].load() : 0.0f;
}

bool CLoadingScreen::DataReceived(int position) const {
    return position >= 0 && position < kPositions && m_received[static_cast<size_t>(position)].load();
}

bool CLoadingScreen::PlayerGone(int position) const {
    return position >= 0 && position < kPositions && m_gone[static_cast<size_t>(position)].load();
}

int CLoadingScreen::RowOf(int position) const {
    return position >= 0 && position < kPositions ? m_rows[static_cast<size_t>(position)] : -1;
}

std::string CLoadingScreen::LoadingPictureName(const std::string& mapFile) {
    const size_t slash = mapFile.find_last_of("\\/");
    std::string stem = mapFile.substr(slash == std::string::npos ? 0 : slash + 1);
    const size_t dot = stem.rfind('.');
    if (dot != std::string::npos) stem.resize(dot);
    return stem + "_LOADING.DDS";
}

int CLoadingScreen::AddLocalRecord(int32_t position, CGameDataRecord* record) {
    CWorldObjectManager* world = World();
    if (!world || !record || position < 0 || position >= kPositions || (record->flags & kItemKeptOut)) return 0;
    const std::vector<CGameDataRecord*>& list = world->PlayerRecords(position);
    if (std::find(list.begin(), list.end(), record) != list.end()) return 0;
    world->AddPlayerRecord(position, record);
    return 1;
}

// ---------------------------------------------------------------------------
// Main thread

int CLoadingScreen::SetUp() {
    IScreenHost* host = ScreenHost();
    CWorldObjectManager* world = World();
    if (!host || !g_pResourceManager || !world || !g_pClientSession || !g_pZEMMap) {
        ErrorReport().SetError(ERR_DATA, "The loading screen runs without its application");
        return SCREEN_FATAL;
    }
    CUiManager& ui = host->Ui();
    if (ui.CursorCount() > 0) ui.SetCursor(0);
    host->Input().Reset();

    m_window = new CLoadingWindow();
    m_layout = g_pResourceManager->GetResource(kLayout, RES_LAYOUT, m_window, 1);
    // Without its layout the screen cannot show anything: the program ends with the report.
    if (!m_layout) return SCREEN_FATAL;
    m_window->SetPosition(0.0f, 0.0f);
    const float width = static_cast<float>(host->BackBufferWidth());
    const float height = static_cast<float>(host->BackBufferHeight());
    int list = 0;
    const std::string& mapFile = g_pClientSession->mapFile;
    if (host->FindMapByName(mapFile.c_str(), &list) >= 0) {
        const std::string picture = LoadingPictureName(mapFile);
        // Loaded now: the loader thread is about to be busy with the match,
        // and a queued picture would stay blank until the match is loaded.
        if (CResource* texture = g_pResourceManager->GetResource(picture.c_str(), RES_TEXTURE, nullptr, 0)) {
            m_picture.SetUp(0.0f, 0.0f, width, height, texture);
            m_picture.Start(kWhite, 0, 0.0f);
        }
    }
    const size_t tips = host->GameTipCount();
    if (tips > 0)
        m_window->tip->SetText(host->GameTip(static_cast<size_t>(platform::CrtRand()) % tips));
    ShowChatMode();

    // What an earlier match left goes before this one loads; the slots' items
    // live in the world's pools and go back before the world is cleared.
    for (CPlayerSlot& slot : g_pClientSession->slots) slot.ReleaseItems();
    g_pZEMMap->Unload();
    MarkPresentPositions();
    FillLocalRecords();

    m_fade.SetUp(0.0f, 0.0f, width, height, nullptr);
    m_fade.Start(kBlack, 1, kFadeRate);
    m_shown = 0;
    if (m_gameMode == 4) {
        CPlayerSlot& slot = g_pClientSession->slots[static_cast<size_t>(m_local)];
        slot.heroId = 0;
        slot.cardLevel = 0;
    }
    StartJob();
    return m_jobStarted ? SCREEN_RUNNING : SCREEN_FATAL;
}

void CLoadingScreen::MarkPresentPositions() {
    CWorldObjectManager& world = *World();
    CClientSession& session = *g_pClientSession;
    int nextRow[2] = {0, 6};
    for (int p = 0; p < kPositions; ++p) {
        const size_t i = static_cast<size_t>(p);
        world.slotOccupied[i] = false;
        world.slotGone[i] = false;
        if (!m_network) {
            world.slotOccupied[i] = session.slots[i].heroId != 0 || session.slots[i].observer != 0;
            continue;
        }
        if (session.room.SlotState(p) != RoomRecord::kOccupied) continue;
        world.slotOccupied[i] = true;
        const int row = nextRow[p < 6 ? 0 : 1]++;
        m_rows[i] = row;
        const CLoadingWindow::Row& r = m_window->rows[static_cast<size_t>(row)];
        for (CUiObject* control : {static_cast<CUiObject*>(r.name), static_cast<CUiObject*>(r.text),
                                   static_cast<CUiObject*>(r.shell), static_cast<CUiObject*>(r.gauge)})
            control->ClearFlags(UI_HIDDEN);
        r.gauge->Fill().SetColor(p == m_local ? kLocalGaugeColour : kOtherGaugeColour);
    }
    // Rows no position uses stay out of sight.
    for (int row = 0; row < CLoadingWindow::kRows; ++row) {
        if (std::find(m_rows.begin(), m_rows.end(), row) != m_rows.end()) continue;
        const CLoadingWindow::Row& r = m_window->rows[static_cast<size_t>(row)];
        for (CUiObject* control : {static_cast<CUiObject*>(r.name), static_cast<CUiObject*>(r.text),
                                   static_cast<CUiObject*>(r.shell), static_cast<CUiObject*>(r.gauge)})
            control->AddFlags(UI_HIDDEN);
    }
}

void CLoadingScreen::FillLocalRecords() {
    CWorldObjectManager& world = *World();
    if (!m_network) {
        if (m_gameMode == 2 || m_gameMode == 3) return;
        world.ReleasePlayerRecords();
        if (!g_pGameDataRegistry) return;
        for (CGameDataRecord* record : g_pGameDataRegistry->Records(CAT_ITEM).Records())
            if (IsLocalItem(record)) AddLocalRecord(m_local, record);
        return;
    }
    world.ReleasePlayerRecords();
    if (m_gameMode != 4) {
        for (const auto& row : g_pClientSession->inventory) {
            for (const InventorySlot& card : row) {
                // An empty entry, a used-up one, or a card in use whose count or kind keeps it out of matches.
                if (card.cardId == 0 || card.remaining == 0) continue;
                if (card.inUse == 1 && (card.remaining >= 100 || card.useType != 3)) continue;
                CGameDataRecord* record = FindGameRecord(CAT_ITEM, card.cardId / 100);
                if (record && record->kind == 1) AddLocalRecord(m_local, record);
            }
        }
    }
    m_received[static_cast<size_t>(m_local)].store(true, std::memory_order_release);
}

void CLoadingScreen::StartJob() {
    // The phase moves before the thread starts: the job may end it at once.
    SetPhase(PHASE_LOADING);
    m_stop.store(false, std::memory_order_release);
    m_jobStarted = g_pResourceManager->StartLoaderThread(this, 1) != 0;
}

int CLoadingScreen::Update() {
    m_timer.Update();
    IScreenHost* host = ScreenHost();
    switch (Phase()) {
        case PHASE_SETUP: {
            const int result = SetUp();
            if (result != SCREEN_RUNNING) return result;
            break;
        }
        case PHASE_FAILED:
            return Failed();
        case kPhaseErrorPopup:
        case kPhaseErrorQuit:
        case kPhaseErrorReturn:
            return EndWithPopupText();
        case PHASE_LOADED:
            if ((m_gameMode == 1 || m_gameMode == 2) && !m_network) {
                if (!m_pressKeyShown) {
                    m_pressKeyShown = true;
                    m_window->loadText->SetText(GetMessageText(MSG_LOAD_UI_PRESS_SPACE_KEY));
                    host->Ui().SetFocus(nullptr);
                }
                if (host->Input().KeyReleased(platform::DIK_SPACE) && host->Ui().Focus() != m_window->chatEdit)
                    SetPhase(PHASE_START);
            }
            break;
        case PHASE_START:
            StopJob();
            if (CZEMSound* music = host->Bgm()) music->SetVolume(100);
            m_fade.Start(kBlackClear, 0, kFadeRate);
            SetPhase(PHASE_FADE_OUT);
            break;
        case PHASE_FADE_OUT:
            if (m_fade.Done()) return PushPlayScreen();
            break;
        default:
            break;
    }
    UpdateCommonPart();
    m_fade.Advance(Dt());
    return SCREEN_RUNNING;
}

void CLoadingScreen::UpdateCommonPart() {
    IScreenHost* host = ScreenHost();
    ServeRequest();
    if (m_network) {
        m_refreshTimer -= Dt();
        if (m_refreshTimer <= 0.0f) {
            m_refreshTimer = kRefreshSeconds;
            RefreshRows();
        }
    }
    if (!HandleServerMessages() && Phase() < kPhaseErrorPopup) ShowErrorPopup(1);
    CChatListLines notices(m_window->chatList);
    UpdateCommon(host->HasWindowFocus() ? 1 : 0, &notices, 1);
    CUiManager& ui = host->Ui();
    if (m_window->chatEdit) {
        if (host->Input().KeyReleased(platform::DIK_RETURN) && ui.Focus() != m_window->chatEdit)
            ui.SetFocus(m_window->chatEdit);
        if (m_window->TakeChatRequest()) HandleChatInput();
        if (m_window->TakeModeRequest()) ToggleChatMode();
    }
    if (JobDone())
        for (int p = 0; p < kPositions; ++p)
            if (PlayerGone(p)) World()->slotGone[static_cast<size_t>(p)] = true;
    const int phase = Phase();
    if (phase == PHASE_START || phase == PHASE_LOADED) {
        m_shown = 100.0f;
        m_window->loadText->ClearFlags(UI_HIDDEN);
    } else {
        m_shown = std::min({m_shown + 1.0f, JobProgress(), 100.0f});
        m_shown = std::max(m_shown, 0.0f);
    }
    m_window->progress->SetPercent(m_shown);
    m_window->progress->UpdateBar();
    if (m_network && !JobDone()) {
        m_reportTimer += Dt();
        // Exactly 100 goes out once, from the job.
        if (m_reportTimer >= kReportSeconds && JobProgress() != 100.0f && Connected()) SendProgress(JobProgress());
    }
}

void CLoadingScreen::RefreshRows() {
    const CClientSession& session = *g_pClientSession;
    for (int p = 0; p < kPositions; ++p) {
        const int row = m_rows[static_cast<size_t>(p)];
        if (row < 0) continue;
        const CLoadingWindow::Row& r = m_window->rows[static_cast<size_t>(row)];
        const float progress = p == m_local ? JobProgress() : PlayerProgress(p);
        const char* colour = "</C=ffffff>";
        if (PlayerGone(p)) {
            colour = "</C=888888>";
            r.gauge->Fill().SetColor(UiColor(kGoneGaugeGrey, kGoneGaugeGrey, kGoneGaugeGrey, 1.0f));
        } else if (progress >= 100.0f) {
            colour = "</C=00ff00>";
        }
        const std::string nickname(session.room.MemberNickname(p));
        r.name->SetText(FormatText("%s%s", colour, nickname.c_str()));
        r.text->SetText(FormatText("%s%d", colour, static_cast<int>(progress)));
        if (progress >= 0.0f) {
            r.gauge->SetPercent(progress);
            r.gauge->UpdateBar();
        }
    }
}

void CLoadingScreen::ServeRequest() {
    const int request = m_request.load(std::memory_order_acquire);
    if (request == REQUEST_NONE) return;
    int result = 0;
    switch (request) {
        case REQUEST_HEADER:
            result = SendLoadingHeader();
            break;
        case REQUEST_FULL_PROGRESS:
            result = SendProgress(100.0f);
            if (!result) ShowErrorPopup(1);
            break;
        case REQUEST_LOADING_DONE:
            result = SendLoadingDone();
            // The server's go may come in this very frame: the phase moves here, not on the job.
            if (result)
                SetPhase(PHASE_LOADED);
            else
                ShowErrorPopup(1);
            break;
        default:
            break;
    }
    m_request.store(REQUEST_NONE, std::memory_order_release);
    m_answer.store(result, std::memory_order_release);
}

int CLoadingScreen::SendLoadingHeader() {
    CNetClient* net = Connection();
    if (!net || !net->IsConnected()) return 0;
    const CPlayerSlot& slot = g_pClientSession->slots[static_cast<size_t>(m_local)];
    std::vector<uint32_t> ids;
    for (const CGameDataRecord* record : World()->PlayerRecords(m_local)) ids.push_back(record->id);
    uint8_t* out = PacketBuffer();
    const size_t length = WriteLoadingHeader(std::span<uint8_t>(out, LoadingMessage::kMaxPayload),
                                             static_cast<uint32_t>(m_local), slot.cardLevel, slot.observer, ids);
    return length && net->SendPacket(PK_GAME_COMMANDS, out, static_cast<int>(length)) ? 1 : 0;
}

int CLoadingScreen::SendLoadingDone() {
    CNetClient* net = Connection();
    // The server reads nothing from the payload.
    const uint8_t payload[2] = {0, 0};
    return net && net->SendPacket(PK_LOADING_DONE, payload, sizeof(payload)) ? 1 : 0;
}

int CLoadingScreen::SendProgress(float percent) {
    CNetClient* net = Connection();
    if (!net) return 0;
    uint8_t* out = PacketBuffer();
    const size_t length = WriteLoadingProgress(std::span<uint8_t>(out, LoadingMessage::kProgressBytes),
                                               static_cast<uint32_t>(m_local), percent);
    if (!length || !net->SendPacket(PK_GAME_COMMANDS, out, static_cast<int>(length))) return 0;
    m_reportTimer = 0;
    return 1;
}

int CLoadingScreen::HandleServerMessages() {
    const int phase = Phase();
    if (!Connected() || phase == PHASE_SETUP || phase == PHASE_START || phase == PHASE_FADE_OUT ||
        phase >= kPhaseErrorPopup)
        return 1;
    CNetClient* net = Connection();
    NetPacket packet;
    for (;;) {
        if (!net->RecvPacket(packet)) {
            // The job must not wait for players it will never hear from.
            m_stop.store(true, std::memory_order_release);
            return 0;
        }
        if (packet.id == 0) return 1;
        CByteReader reader = packet.Reader();
        switch (packet.id) {
            case PK_GAME_COMMANDS:
                HandleLoadingMessage(packet);
                break;
            case PK_MATCH_BEGIN:
                if (reader.ReadU16() == kStartValue && reader.Ok() && Phase() == PHASE_LOADED) SetPhase(PHASE_START);
                break;
            case PK_PLAYER_OUT: {
                const uint16_t position = reader.ReadU16();
                if (!reader.Ok() || position >= kPositions) break;
                // The world learns it from the job, or once the job is done: the map load reads it.
                m_gone[position].store(true, std::memory_order_release);
                const std::string nickname(g_pClientSession->room.MemberNickname(position));
                AddChatLineFormat(m_window->chatList, GetMessageText(MSG_GAMEPLAY_OUT_PLAYER), nickname.c_str(),
                                  kPlayerOutColour);
                break;
            }
            case PK_HOST_SLOT:
            case PK_HOST_SLOT_CHANGED: {
                const uint16_t position = reader.ReadU16();
                if (reader.Ok() && position < kPositions) World()->host = position == m_local ? 1 : 0;
                break;
            }
            default:
                return HandleCommonMessage(*this, packet, m_window->chatList);
        }
    }
}

void CLoadingScreen::HandleLoadingMessage(const NetPacket& packet) {
    LoadingMessage message;
    if (!ParseLoadingMessage(std::span<const uint8_t>(packet.payload.data(), packet.length), &message)) return;
    const size_t p = message.position;
    switch (message.kind) {
        case LoadingMessage::KIND_HEADER: {
            // The own header comes back from the relay; a second one, or one from a
            // position without a player or whose player left, changes nothing (the job may be reading them).
            if (static_cast<int>(p) == m_local || m_received[p].load(std::memory_order_acquire) ||
                m_gone[p].load(std::memory_order_acquire) || !World()->slotOccupied[p])
                return;
            for (uint32_t id : message.itemIds)
                if (CGameDataRecord* record = FindGameRecord(CAT_ITEM, id))
                    AddLocalRecord(static_cast<int32_t>(p), record);
            CPlayerSlot& slot = g_pClientSession->slots[p];
            slot.cardLevel = message.cardLevel;
            slot.observer = message.observer;
            m_received[p].store(true, std::memory_order_release);
            break;
        }
        case LoadingMessage::KIND_CHAT:
            ShowPlayerChat(message.position, message.chatMode, message.text);
            break;
        case LoadingMessage::KIND_PROGRESS:
            m_playerProgress[p].store(message.percent, std::memory_order_release);
            break;
        default:
            break;
    }
}

void CLoadingScreen::ShowPlayerChat(uint32_t position, uint32_t mode, const std::string& text) {
    CClientSession& session = *g_pClientSession;
    const std::string nickname(session.room.MemberNickname(static_cast<int>(position)));
    if (IsBlockedUser(session, nickname.c_str())) return;
    CWorldObjectManager& world = *World();
    const bool ownTeam = world.ownerTeam[position] == world.ownerTeam[m_local];
    // Team chat is for the own team only.
    if (mode == 0 && !ownTeam) return;
    uint32_t colour = mode == 0 ? kTeamChatColour : kPlayerChatColour;
    if (nickname.find('[') != std::string::npos) colour = kOperatorChatColour;
    std::string shown;
    if (!session.words.FilterChatWords(text, session.nickname, nickname.c_str(), shown)) return;
    AddChatLine(m_window->chatList, FormatText("%s : %s", nickname.c_str(), shown.c_str()), colour);
}

void CLoadingScreen::HandleChatInput() {
    IScreenHost* host = ScreenHost();
    CClientSession& session = *g_pClientSession;
    CUiEditBox* edit = m_window->chatEdit;
    const std::string line = edit->GetText();
    edit->SetText("");
    if (line.empty() || host->Ui().Focus() != edit) return;
    const ChatRecord* record = ProcessChatInput(m_window->messageTo, session, line, m_window->chatList);
    if (!record) return;
    if (!m_network) {
        std::string shown;
        if (session.words.FilterChatWords(record->text, session.nickname, nullptr, shown))
            AddChatLine(m_window->chatList, FormatText("%s : %s", session.nickname.c_str(), shown.c_str()),
                        kOwnChatColour);
        return;
    }
    CNetClient* net = Connection();
    if (!net || !net->IsConnected()) return;
    uint8_t* out = PacketBuffer();
    const size_t length = WriteLoadingChat(std::span<uint8_t>(out, LoadingMessage::kChatMaxBytes),
                                           static_cast<uint32_t>(m_local), static_cast<uint32_t>(m_chatMode),
                                           record->text);
    if (length && !net->SendPacket(PK_GAME_COMMANDS, out, static_cast<int>(length))) ShowErrorPopup(1);
}

void CLoadingScreen::ToggleChatMode() {
    if (!m_network || ScreenHost()->Ui().Focus() != m_window->chatEdit) return;
    m_chatMode = m_chatMode == 1 ? 0 : 1;
    ShowChatMode();
}

void CLoadingScreen::ShowChatMode() {
    if (!m_window || !m_window->messageTo) return;
    if (m_chatMode == 1)
        m_window->messageTo->SetText(GetMessageText(MSG_CHAT_SEND_TO_ALL));
    else
        m_window->messageTo->SetText(FormatText(GetMessageText(MSG_CHAT_SEND_TO_TEAM), kTeamChatColour));
}

int CLoadingScreen::Failed() {
    StopJob();
    if (IScreenHost* host = ScreenHost()) host->CloseConnection();
    if (g_pClientSession)
        for (CPlayerSlot& slot : g_pClientSession->slots) slot.Reset();
    if (g_pZEMMap) g_pZEMMap->Unload();
    if (g_pPlayResources) g_pPlayResources->ReleasePanelTextures();
    return SCREEN_FATAL;
}

int CLoadingScreen::EndWithPopupText() {
    StopJob();
    const std::string text = StripColorTags(ErrorReport().Text());
    ErrorReport().SetError(ErrorReport().GetCode(), "%s", text.c_str());
    return SCREEN_FATAL;
}

int CLoadingScreen::PushPlayScreen() {
    IScreenHost* host = ScreenHost();
    host->MessageBox().HideBox();
    host->StopBgm();
    CScreen* play = MakePlayScreen();
    if (!play) {
        ErrorReport().SetError(ERR_DATA, "No play screen is installed");
        return SCREEN_FATAL;
    }
    host->Screens().PushScreen(play);
    return SCREEN_FINISHED;
}

void CLoadingScreen::Render() {
    platform::CGfxDevice* device = GetDevice();
    if (!device) return;
    device->Clear(0, nullptr, platform::CLEAR_TARGET | platform::CLEAR_ZBUFFER, kClearColor, 1.0f, 0);
    if (device->BeginScene() != platform::GFX_OK) return;
    if (g_pUiManager) {
        g_pUiManager->BeginDraw();
        m_picture.Render();
        g_pUiManager->EndDraw();
        g_pUiManager->RenderWindows();
        g_pUiManager->BeginDraw();
        m_fade.Render();
        g_pUiManager->EndDraw();
    }
    device->EndScene();
    // The loader thread gets the processor while the picture stands.
    if (IScreenHost* host = ScreenHost()) host->Sleep(10);
}
