#include "screens/game/ResultScreen.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/render/RenderStateCache.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/ZEMSound.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetErrors.h"
#include "net/NetPacket.h"
#include "platform/GfxDevice.h"
#include "platform/Input.h"
#include "screens/game/ImageBoxWindow.h"
#include "screens/game/PlayResources.h"
#include "screens/game/ResultWindow.h"
#include "ui/LayoutResource.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/GameDataRegistry.h"
#include "world/UnitData.h"
#include "world/WorldObjectManager.h"

namespace {

constexpr uint32_t kClearColour = 0xff404040u;
constexpr uint16_t kMsgRewardDone = 1068;
constexpr uint16_t kMsgRewardAsk = 1069;
constexpr uint16_t kMsgRewardAnswer = 1070;
constexpr int kResultInvalid = 241;
constexpr int kErrorLoad = 10003;
constexpr int32_t kPointsCap = 6000;
constexpr int kRewardMode = 2;
constexpr int kKillsTogetherMode = 1;
// 1014's fields.
constexpr size_t kOwnEntryAt = 2, kMoneyAt = 73, kSecondMoneyAt = 77, kValuesAt = 81, kRewardKindAt = 273,
                 kCardRowsAt = 277;
constexpr size_t kCardRowsBytes = 360;
// 1070: code, then two items of u32 id, u8 row, u8 column.
constexpr size_t kRewardAnswerBytes = 1 + 2 * 6;
constexpr int kRewardRows = 5, kRewardColumns = 9;

std::time_t SystemTime() { return std::time(nullptr); }
CResultScreen::TimeSource g_timeSource = &SystemTime;

CWorldObjectManager* World() { return g_pWorldObjectManager; }

int RewardMode() { return World() && World()->matchKind == kRewardMode; }

void Drop(CResource*& r) {
    if (r && g_pResourceManager) g_pResourceManager->ReleaseResource(r);
    r = nullptr;
}

template <typename W>
W* LoadWindow(const char* name, CResource** layout) {
    auto* window = new W();
    *layout = g_pResourceManager->GetResource(name, RES_LAYOUT, window, 1);
    // A layout that failed took its window with it.
    return *layout ? window : nullptr;
}

const char* RowColour(int position, bool left) {
    if (left) return "</C=888888>";
    return World() && position == World()->localSlot ? "</C=ffff00>" : "</C=ffffff>";
}

void Show(CUiObject* control, bool show) {
    if (!control) return;
    if (show)
        control->ClearFlags(UI_HIDDEN);
    else
        control->AddFlags(UI_HIDDEN);
}

}  // namespace

void CResultScreen::SetTimeSource(TimeSource source) { g_timeSource = source ? source : &SystemTime; }

CResultScreen::CResultScreen(int32_t winningTeam) : m_winningTeam(winningTeam) {}

CResultScreen::~CResultScreen() {
    // The job writes from members of this screen: it ends first.
    if (!JobDone() && g_pResourceManager) g_pResourceManager->WaitLoaderThread(0xFFFFFFFFu);
    Drop(m_layout);
    Drop(m_plainLayout);
    Drop(m_rewardLayout);
    Drop(m_goldPicture);
    Drop(m_silverPicture);
    for (CResource*& r : m_heroPictures) Drop(r);
}

int32_t CResultScreen::Score(const CPlayerSlot& s) {
    const int64_t score = std::min(s.points, kPointsCap) +
                          2 * (25 * (8 * int64_t{s.heroKills} + 12 * int64_t{s.buildingKills} + s.unitKills) +
                               int64_t{s.extraPoints});
    return static_cast<int32_t>(std::clamp<int64_t>(score, INT32_MIN, INT32_MAX));
}

std::vector<int> CResultScreen::TableOrder(const std::array<CPlayerSlot, 12>& slots, const bool gone[12]) {
    std::vector<int> order;
    for (int p = 0; p < 12; ++p)
        if (slots[static_cast<size_t>(p)].heroId) order.push_back(p);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const CPlayerSlot& x = slots[static_cast<size_t>(a)];
        const CPlayerSlot& y = slots[static_cast<size_t>(b)];
        if (gone[a] != gone[b]) return !gone[a];
        if (x.score != y.score) return x.score > y.score;
        if (x.heroKills != y.heroKills) return x.heroKills > y.heroKills;
        return x.buildingKills > y.buildingKills;
    });
    return order;
}

int32_t CResultScreen::ComputeWinPoints(const RoomRecord& room, int position, int place, bool winner) {
    int64_t sum[2] = {0, 0};
    int count[2] = {0, 0};
    for (int s = 0; s < RoomRecord::kSlots; ++s) {
        if (room.SlotState(s) != RoomRecord::kOccupied) continue;
        const int team = room.SlotTeam(s) == 0 ? 0 : 1;
        sum[team] += RoomRecord::I32(room.Member(s) + MemberEntry::kRankOffset);
        ++count[team];
    }
    const int own = room.SlotTeam(position) == 0 ? 0 : 1;
    const int32_t rating = RoomRecord::I32(room.Member(position) + MemberEntry::kRankOffset);
    // Nobody on the other side: nothing to compare with.
    const double d =
        count[1 - own] ? rating - static_cast<double>(sum[1 - own]) / static_cast<double>(count[1 - own]) : 0.0;
    const double x = 10.0 * (2.0 * (count[0] + count[1]) + 1.0 - place);
    double v = d <= 0 ? 5.0 * x * (1.0 + std::abs(d) * 0.09090909) : 4.0 * x * (1.0 - 0.01 * d);
    int64_t whole;
    if (winner) {
        whole = static_cast<int64_t>(std::clamp(v, -1e12, 1e12));
    } else {
        v *= 0.1;
        whole = static_cast<int64_t>(std::clamp(v, -1e12, 1e12)) / 2;
    }
    if (whole < 0) whole = 0;
    return static_cast<int32_t>(std::min<int64_t>(whole / 2, INT32_MAX));
}

std::string CResultScreen::ReplayFileName(const std::string& folder, const std::tm& t) {
    char name[64];
    std::snprintf(name, sizeof(name), "\\REPLAY_%04d%02d%02d%02d%02d%02d.SRD", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return folder + name;
}

int CResultScreen::Job() {
    if (m_writeReplay && g_pGameCommandManager)
        g_pGameCommandManager->WriteReplay(m_replayPath.c_str(), m_mapName.c_str(), m_mapStamp, m_mapDigest.data(),
                                           m_replayWorld);
    m_jobDone.store(1, std::memory_order_release);
    return 1;
}

int CResultScreen::Load() {
    if (!g_pResourceManager || !g_pResourceManager->HasFactory(RES_LAYOUT)) {
        ErrorReport().SetError(kErrorLoad, "%s", "The result screen has no resources to load its windows from");
        return 0;
    }
    CClientSession* session = g_pClientSession;
    CWorldObjectManager* world = World();
    // The heroes' pictures.
    if (session)
        for (const CPlayerSlot& slot : session->slots) {
            if (!slot.heroId) continue;
            const auto* unit = dynamic_cast<const CUnitData*>(FindGameRecord(CAT_UNIT, slot.heroId));
            if (!unit || unit->icon.empty()) continue;
            CResource* picture = g_pResourceManager->GetResource(unit->icon.c_str(), RES_TEXTURE, nullptr, 1);
            if (!picture) {
                ErrorReport().SetError(kErrorLoad, "%s %s", GetMessageText(MSG_ERROR_FILE_NOT_FOUND),
                                       unit->icon.c_str());
                return 0;
            }
            m_heroPictures.push_back(picture);
        }
    if (!(m_window = LoadWindow<CResultWindow>("RESULT.DUI", &m_layout))) return 0;
    const bool won = world && m_winningTeam == world->localTeam;
    if (IScreenHost* music = ScreenHost())
        music->PlayBgmByName(won ? "BGM-RESULT-WIN.OGG" : "BGM-RESULT-LOSE.OGG");
    if (!(m_plainBox = LoadWindow<CImageBoxWindow>("IMAGE_BOX.DUI", &m_plainLayout))) return 0;
    if (!(m_rewardBox = LoadWindow<CImageBox2Window>("IMAGE_BOX_2.DUI", &m_rewardLayout))) return 0;
    if (g_pUiManager) {
        for (CUiWindow* box : {static_cast<CUiWindow*>(m_plainBox), static_cast<CUiWindow*>(m_rewardBox)}) {
            g_pUiManager->ShowWindow(box, false);
            g_pUiManager->SendToBack(box);
        }
    }
    m_goldPicture = g_pResourceManager->GetResource("GOLDRANDOM.DDS", RES_TEXTURE, nullptr, 1);
    m_silverPicture = g_pResourceManager->GetResource("SILVERRANDOM.DDS", RES_TEXTURE, nullptr, 1);
    m_window->SetPosition(0, 0);
    m_fade.Start(UiColor(0, 0, 0, 1), 1, 0.8f);
    SetPhase(PHASE_FADE_IN);

    // What the job writes, named after the local time now.
    IScreenHost* host = ScreenHost();
    const std::string folder = host ? host->ReplayFolderPath() : std::string();
    // Without a replay folder there is nowhere to keep the file.
    m_writeReplay = g_pGameCommandManager && g_pGameCommandManager->IsRecording() && world && world->gameMode != 3 &&
                    !folder.empty();
    if (m_writeReplay) {
        const std::time_t now = g_timeSource();
        std::tm local{};
        localtime_r(&now, &local);
        m_replayPath = ReplayFileName(folder, local);
        m_mapName = session ? session->mapFile : std::string();
        if (const MapListEntry* map = host && session ? host->FindMapInfo(static_cast<int>(session->mapId)) : nullptr) {
            m_mapStamp = map->dataStamp;
            std::copy(std::begin(map->digest), std::end(map->digest), m_mapDigest.begin());
        }
        m_replayWorld.matchLength = world->gameClock;
        m_replayWorld.localSlot = static_cast<uint32_t>(world->localSlot);
    }
    m_jobDone.store(0, std::memory_order_release);
    if (!g_pResourceManager->StartLoaderThread(this, 1)) Job();

    if (RewardMode()) {
        if (session && !session->rewardFlag) {
            if (!Send(kMsgRewardAsk)) return 1;
        } else {
            FillScores(1);
        }
    }
    FillScores(m_resultReceived);
    return 1;
}

int CResultScreen::Send(uint16_t id) {
    const uint8_t zero[4] = {};
    CNetClient* net = g_pClientSession ? g_pClientSession->net : nullptr;
    if (net && net->SendPacket(id, zero, 4)) return 1;
    if (!net) ReportNetError(MSG_ERROR_NETWORK_DISCONNECT);
    ShowErrorPopup(1);
    return 0;
}

bool CResultScreen::AnyImageBoxOpen() const {
    return (m_plainBox && !m_plainBox->HasFlags(UI_HIDDEN)) || (m_rewardBox && !m_rewardBox->HasFlags(UI_HIDDEN));
}

void CResultScreen::HideImageBoxes() {
    if (!g_pUiManager) return;
    if (m_plainBox) g_pUiManager->ShowWindow(m_plainBox, false);
    if (m_rewardBox) g_pUiManager->ShowWindow(m_rewardBox, false);
}

int CResultScreen::Update() {
    m_timer.Update();
    const int phase = Phase();
    if (phase == PHASE_LOAD) {
        if (!Load()) {
            ShowErrorPopup(0);
            return UpdateErrorPopup();
        }
        return SCREEN_RUNNING;
    }
    if (phase >= kPhaseErrorPopup) {
        UpdateCommon(1, nullptr, 0);
        return UpdateErrorPopup();
    }
    IScreenHost* host = ScreenHost();
    if (phase == PHASE_SHOWN) {
        SetPhase(PHASE_COUNTDOWN);
    } else if (phase == PHASE_COUNTDOWN) {
        m_countdown = std::max(0.0f, m_countdown - Dt());
        if (m_window && m_window->time)
            m_window->time->SetText(
                FormatText(GetMessageText(MSG_RESULT_GO_TO_WAITROOM), static_cast<int>(m_countdown)));
        IMessageBoxHost* box = host && host->HasMessageBox() ? &host->MessageBox() : nullptr;
        const bool boxClicked = (m_plainBox && m_plainBox->TakeOk()) | (m_rewardBox && m_rewardBox->TakeOk());
        if (boxClicked) HideImageBoxes();
        if (box && box->Result() == 1) {
            box->SetResult(-1);
            box->HideBox();
        } else if (!boxClicked && !AnyImageBoxOpen()) {
            const bool enter = host && (host->Input().KeyPressed(platform::DIK_RETURN) ||
                                        host->Input().KeyPressed(platform::DIK_NUMPADENTER)) &&
                               !host->Input().KeyDown(platform::DIK_LMENU) && !host->Input().KeyDown(platform::DIK_RMENU);
            if ((m_window && m_window->TakeOk()) || m_countdown <= 0.0f || enter) {
                if (box) box->HideBox();
                m_fade.Start(UiColor(0, 0, 0, 0), 0, 0.8f);
                if (host && host->Bgm()) host->Bgm()->FadeOut(100);
                SetPhase(PHASE_LEAVING);
            }
        }
        if (host && host->Input().KeyPressed(platform::DIK_ESCAPE)) HideImageBoxes();
    } else if (phase == PHASE_LEAVING) {
        if (m_fade.Done() && JobDone()) {
            if (host && host->HasMessageBox()) host->MessageBox().HideBox();
            if (host) host->StopBgm();
            if (RewardMode() && !Send(kMsgRewardDone)) return SCREEN_RUNNING;
            Leave();
            return SCREEN_FINISHED;
        }
    }
    if (!HandleServerMessages()) ShowErrorPopup(1);
    UpdateCommon(1, nullptr, 0);
    if (Phase() == PHASE_FADE_IN && m_fade.Done()) SetPhase(PHASE_SHOWN);
    return SCREEN_RUNNING;
}

void CResultScreen::Leave() {
    IScreenHost* host = ScreenHost();
    CScreen* next = nullptr;
    if (RewardMode()) {
        next = MakeLobbyScreen();
        if (g_pClientSession) g_pClientSession->returnedToLobby = true;
    } else {
        next = MakeWaitRoomScreen();
    }
    if (g_pClientSession) g_pClientSession->returningFromMatch = true;
    if (host && next)
        host->Screens().PushScreen(next);
    else
        delete next;
}

void CResultScreen::Render() {
    platform::CGfxDevice* device = GetDevice();
    if (!device) return;
    device->Clear(0, nullptr, platform::CLEAR_TARGET | platform::CLEAR_ZBUFFER, kClearColour, 1.0f, 0);
    if (device->BeginScene() != platform::GFX_OK) return;
    if (g_pUiManager) {
        g_pUiManager->RenderWindows();
        g_pUiManager->BeginDraw();
        m_fade.Render();
        g_pUiManager->EndDraw();
    }
    device->EndScene();
}

int CResultScreen::HandleServerMessages() {
    CNetClient* net = g_pClientSession ? g_pClientSession->net : nullptr;
    if (!net || !net->IsConnected()) return 1;
    const int phase = Phase();
    if (phase == PHASE_SHOWN || phase == PHASE_LEAVING) return 1;
    NetPacket packet;
    for (;;) {
        if (!net->RecvPacket(packet)) return 0;
        if (packet.id == 0) return 1;
        const int result = HandleResultMessage(packet);
        if (result != kPollNext) return result;
    }
}

int CResultScreen::HandleResultMessage(const NetPacket& packet) {
    CClientSession* session = g_pClientSession;
    if (!session) return 1;
    const uint8_t* p = packet.payload.data();
    switch (packet.id) {
        case PK_GAME_RESULT:
            return OnGameResult(packet);
        case PK_ROOM_INFO:
            session->room.Assign(p, packet.length);
            return kPollNext;
        case PK_ROOM_SLOT_STATES:
            if (packet.length >= RoomRecord::kSlots * RoomRecord::kSlotBytes)
                std::memcpy(session->room.Slot(0), p, RoomRecord::kSlots * RoomRecord::kSlotBytes);
            return kPollNext;
        case PK_ROOM_SLOT_REMOVED: {
            const int own = World() ? World()->localSlot : -1;
            if (packet.length >= 2 && LoadU16(p) == own) session->leaveToLobby = true;
            return kPollNext;
        }
        case kMsgRewardAnswer:
            return OnRewardAnswer(packet);
        case PK_ROOM_TIME_CHANGE_RESULT:
            if (packet.length >= 1 && p[0] == 1) {
                if (packet.length >= 3) session->roomNumber = LoadU16(p + 1);
                return kPollNext;
            }
            // The server's refusal is reported; the poll ends for this frame.
            if (packet.length >= 2) ReportServerResult(p[1]);
            return 1;
        default:
            return HandleCommonMessage(*this, packet, nullptr) ? 1 : 0;
    }
}

int CResultScreen::OnGameResult(const NetPacket& packet) {
    CClientSession& session = *g_pClientSession;
    const uint8_t* p = packet.payload.data();
    const uint16_t code = packet.length >= 2 ? LoadU16(p) : 0xFFFF;
    if (packet.length < kResultBytes || (code != 0 && code != 34)) {
        ErrorReport().SetError(kResultInvalid, "%s", GetMessageText(MSG_RESULT_INVALID_RESULT));
        if (IScreenHost* host = ScreenHost()) host->CloseConnection();
        return 0;
    }
    std::memcpy(session.ownEntry.bytes.data(), p + kOwnEntryAt, MemberEntry::kBytes);
    session.money = LoadU32(p + kMoneyAt);
    session.secondMoney = LoadU32(p + kSecondMoneyAt);
    for (size_t i = 0; i < m_money.size(); ++i) {
        const uint8_t* at = p + kValuesAt + 16 * i;
        m_money[i] = {static_cast<int32_t>(LoadU32(at)), static_cast<int32_t>(LoadU32(at + 4)),
                      static_cast<int32_t>(LoadU32(at + 8)), static_cast<int32_t>(LoadU32(at + 12))};
    }
    const uint32_t kind = LoadU32(p + kRewardKindAt);
    if (kind > 1) ReadInventory(session.inventory, p + kCardRowsAt, kCardRowsBytes);
    const bool killsTogether = World() && World()->matchKind == kKillsTogetherMode;
    if (kind == 1 && (!killsTogether || m_winningTeam == 0)) m_rewardState = REWARD_NO;
    if (kind > 1) m_rewardState = killsTogether ? REWARD_ROWS_1 : REWARD_ROWS_2;
    if (code == 0) m_resultReceived = 1;
    FillScores(m_resultReceived);
    return kPollNext;
}

int CResultScreen::OnRewardAnswer(const NetPacket& packet) {
    const uint8_t* p = packet.payload.data();
    const uint8_t code = packet.length >= 1 ? p[0] : 0xFF;
    if (code == 0 && packet.length >= kRewardAnswerBytes) {
        std::array<uint32_t, 2> ids{};
        for (size_t i = 0; i < 2; ++i) {
            const uint8_t* item = p + 1 + 6 * i;
            ids[i] = LoadU32(item);
            const uint8_t row = item[4], column = item[5];
            // A place outside the card rows is not stored.
            if (row >= kRewardRows || column >= kRewardColumns) continue;
            InventorySlot& slot = g_pClientSession->inventory[row][column];
            slot = InventorySlot{};
            slot.cardId = ids[i];
            if (const auto* record = FindGameRecord(CAT_ITEM, ids[i] / 100))
                slot.useType = static_cast<uint8_t>(record->kind);
        }
        ShowRewardBox(ids);
        m_rewardState = REWARD_SHOWN;
    } else if (code == 25) {
        m_rewardState = REWARD_NO;
    }
    if (g_pClientSession) g_pClientSession->rewardFlag = true;
    FillScores(1);
    return kPollNext;
}

void CResultScreen::ShowRewardBox(const std::array<uint32_t, 2>& ids) {
    if (!m_rewardBox) return;
    for (int i = 0; i < 2; ++i) {
        ImageBoxContent content;
        content.imageFrame = 0;
        const auto* record = FindGameRecord(CAT_ITEM, ids[static_cast<size_t>(i)] / 100);
        content.text = record ? record->name : std::string();
        m_rewardBox->SetContent(i, content);
    }
    if (g_pUiManager) g_pUiManager->ShowWindow(m_rewardBox, true);
}

void CResultScreen::FillScores(int final) {
    CClientSession* session = g_pClientSession;
    CWorldObjectManager* world = World();
    if (!session || !m_window) return;
    bool gone[12] = {};
    for (int p = 0; p < 12; ++p) gone[p] = world && world->slotGone[p];
    for (CPlayerSlot& slot : session->slots)
        if (slot.heroId) slot.score = Score(slot);
    const std::vector<int> order = TableOrder(session->slots, gone);
    const bool killsTogether = world && world->matchKind == kKillsTogetherMode;
    const bool normal = world && world->matchKind == 0;
    const int32_t localTeam = world ? world->localTeam : 0;
    Show(m_window->win, m_winningTeam == localTeam);
    Show(m_window->lose, m_winningTeam != localTeam);
    for (int r = 0; r < CResultWindow::kRows; ++r) {
        CResultWindow::Row& row = m_window->rows[static_cast<size_t>(r)];
        const bool used = static_cast<size_t>(r) < order.size();
        const int position = used ? order[static_cast<size_t>(r)] : -1;
        const bool light = position >= 0 && (world ? world->ownerTeam[position] == 0 : position < 6);
        Show(row.lightBack, used && light);
        Show(row.darkBack, used && !light);
        for (CUiStatic* c : {row.classIcon, row.nick, row.hero, row.level, row.kills, row.deaths, row.buildings,
                             row.total, row.money, row.moneyDetail, row.winPoints})
            Show(c, used);
        if (!used) continue;
        const CPlayerSlot& slot = session->slots[static_cast<size_t>(position)];
        const std::string colour = RowColour(position, gone[position]);
        const auto* unit = dynamic_cast<const CUnitData*>(FindGameRecord(CAT_UNIT, slot.heroId));
        if (g_pPlayResources) g_pPlayResources->SetClassIcon(row.classIcon, unit);
        if (unit && !unit->icon.empty() && row.hero->ImageName() != unit->icon && g_pResourceManager)
            row.hero->SetImage(g_pResourceManager->GetResource(unit->icon.c_str(), RES_TEXTURE, nullptr, 1), unit->icon);
        row.nick->SetText(colour + slot.nickname);
        row.level->SetText(colour + FormatText("%d", slot.level));
        row.kills->SetText(colour + FormatText("%d", killsTogether ? slot.heroKills + slot.unitKills : slot.heroKills));
        row.deaths->SetText(colour + FormatText("%d", slot.deaths));
        row.buildings->SetText(colour + FormatText("%d", slot.buildingKills));
        row.total->SetText(colour + FormatText("%d", slot.score));
        const MoneyValues& m = m_money[static_cast<size_t>(position)];
        const bool present = world ? world->slotOccupied[position] && !gone[position] : !gone[position];
        if (present && normal) {
            const int64_t sum = std::max<int64_t>(0, int64_t{m.base} + m.gain + m.loss);
            std::string money = colour + FormatText("%d", static_cast<int32_t>(std::min<int64_t>(sum, INT32_MAX)));
            if (m.bonus > 0) money += FormatText("</C=00ff00> +%d BONUS", m.bonus);
            row.money->SetText(money);
            std::string detail = colour + FormatText("%d", m.base);
            if (m.gain > 0) detail += FormatText(" +%d", m.gain);
            if (m.loss < 0) detail += FormatText("</C=ff0000> %d", m.loss);
            row.moneyDetail->SetText(detail);
        } else if (present && killsTogether) {
            row.money->SetText(colour + FormatText("%d", m.bonus + m.base));
            row.moneyDetail->SetText(colour + "0");
        } else {
            row.money->SetText(colour + "0");
            row.moneyDetail->SetText(colour + "0");
        }
        if (final && normal) {
            const bool winner = (world ? world->ownerTeam[position] : (position < 6 ? 0 : 1)) == m_winningTeam;
            row.winPoints->SetText(FormatText(GetMessageText(MSG_RESULT_WAR_POINT),
                                              ComputeWinPoints(session->room, position, r + 1, winner)));
        } else {
            row.winPoints->SetText("");
        }
    }
    if (m_window->playTime) {
        const int32_t seconds = world ? static_cast<int32_t>(world->gameClock) : 0;
        m_window->playTime->SetText(FormatText(GetMessageText(MSG_RESULT_PLAY_TIME), seconds / 60, seconds % 60));
    }
}
