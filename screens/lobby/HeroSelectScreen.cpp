#include "screens/lobby/HeroSelectScreen.h"

#include <algorithm>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/core/TextFormat.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/resource/ResourceManager.h"
#include "net/ChatCommand.h"
#include "net/ChatInputProcess.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetErrors.h"
#include "net/RoomSenders.h"
#include "platform/Clock.h"
#include "platform/Input.h"
#include "screens/game/PlayResources.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/RoomChat.h"
#include "screens/lobby/WaitRoomScreen.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/GameDataRegistry.h"
#include "world/UnitData.h"
#include "world/WorldObjectManager.h"

namespace {

constexpr uint32_t kWhite = 0xffffff;
constexpr uint32_t kYellow = 0xffff00;
constexpr uint32_t kOwnColour = 0xffcc00;
constexpr int kChatLimit = 131;
constexpr int kChatCap = 100;
constexpr uint32_t kChoiceRandom = 1;
// Race bits in the order they are tested, and the tab each one fills.
constexpr struct {
    uint32_t bit;
    int tab;
} kRaceBits[] = {{0x8000000u, 4}, {0x400u, 0}, {0x100u, 1}, {0x800u, 2}, {0x200u, 3}};

CClientSession& Session() { return *g_pClientSession; }

int RaceOf(uint32_t flags) {
    for (const auto& race : kRaceBits)
        if (flags & race.bit) return race.tab;
    return -1;
}

void Lend(CUiStatic* target, CResource* image) {
    if (!target) return;
    if (image) image->AddRef();
    target->SetImage(image, "");
}

}  // namespace

CScreen* NewHeroSelectScreen() { return new CHeroSelectScreen(); }

CHeroSelectScreen::~CHeroSelectScreen() {
    // The window may outlive the screen in the UI's care; the preview's picture does not.
    if (m_layout && m_window && m_window->Detail()) m_window->Detail()->SetImage(nullptr, std::string());
    if (!g_pResourceManager) return;
    for (auto& list : m_lists)
        for (HeroEntry& hero : list) g_pResourceManager->ReleaseResource(hero.portrait);
    g_pResourceManager->ReleaseResource(m_randomPortrait);
    g_pResourceManager->ReleaseResource(m_layout);
}

bool CHeroSelectScreen::SinglePlay() const { return g_pWorldObjectManager && g_pWorldObjectManager->gameMode == 1; }

int CHeroSelectScreen::OwnSlot() const { return FindOwnRoomSlot(); }

int CHeroSelectScreen::Load() {
    IScreenHost* host = ScreenHost();
    if (!host || !g_pResourceManager || !g_pClientSession || !g_pWorldObjectManager || !g_pGameDataRegistry) {
        ErrorReport().SetError(ERR_DATA, "Hero select runs without its application");
        return 0;
    }
    m_window = new CHeroSelectWindow();
    m_layout = g_pResourceManager->GetResource("SELECT_HERO.DUI", RES_LAYOUT, m_window, 1);
    if (!m_layout) return 0;
    if (!BuildHeroLists()) return 0;
    const char* randomLook = SinglePlay() ? "BUTTON_SIZE2_BACK.DDS" : "BUTTON_SIZE2_RANDOM.DDS";
    if (SinglePlay()) m_selectedIndex = 0;
    CResource* look = g_pResourceManager->GetResource(randomLook, RES_TEXTURE, nullptr, 1);
    if (!look) return 0;
    m_window->RandomButton()->SetImage(0, look, false, randomLook);
    if (!host->PlayBgmByName("BGM-HEROSEL.OGG"))
        ErrorReport().Set(ErrorReport().GetCode(), FormatText("Sound load fail %s\n", "BGM-HEROSEL.OGG"));
    const char* backdrop = OwnSlot() >= 6 ? "UI_CHA_SELECT_H_BG.DRC" : "UI_CHA_SELECT_V_BG.DRC";
    if (!m_preview.SetUp({backdrop})) return 0;
    m_fade.SetUp(0.0f, 0.0f, static_cast<float>(host->BackBufferWidth()), static_cast<float>(host->BackBufferHeight()),
                 nullptr);
    return 1;
}

int CHeroSelectScreen::BuildHeroLists() {
    const int own = OwnSlot();
    m_side = own >= 0 ? Session().room.SlotTeam(own) : 0;
    const CGameDataRegistry& registry = *g_pGameDataRegistry;
    for (CGameDataRecord* record : registry.Records(CAT_UNIT).Records()) {
        const uint32_t flags = record->flags;
        if (!(flags & kHeroBit) || (flags & kNotListedBit)) continue;
        if (((flags & kSideBit) ? 1 : 0) != m_side) continue;
        const int race = RaceOf(flags);
        if (race < 0) continue;
        const auto* unit = dynamic_cast<const CUnitData*>(record);
        if (!unit) continue;
        HeroEntry hero;
        hero.record = unit;
        hero.stats = hero_stats::Level20Stats(*unit);
        int card = -1;
        for (const auto& entry : registry.Catalogue().Entries())
            if (NameHash(entry->texts[0].c_str()) == unit->id)
                card = hero_stats::FindHeroCard(Session().inventory, entry->code);
        hero.owned = hero_stats::IsHeroOwned(flags, card);
        hero.cardLevel = card > 0 ? card : 0;
        if (!unit->icon.empty()) {
            hero.portrait = g_pResourceManager->GetResource(unit->icon.c_str(), RES_TEXTURE, nullptr, 1);
            if (!hero.portrait) {
                ErrorReport().SetError(10003, GetMessageText(MSG_ERROR_FILE_NOT_READ), unit->icon);
                return 0;
            }
        }
        m_lists[static_cast<size_t>(race)].push_back(hero);
    }
    for (CUiStatic* s : {m_window->Portrait(), m_window->Title()}) SetShown(s, false);
    m_randomPortrait = g_pResourceManager->GetResource("ICON_CHA_C_RANDOM.DDS", RES_TEXTURE, nullptr, 1);
    return m_randomPortrait ? 1 : 0;
}

int CHeroSelectScreen::Prepare() {
    CHeroSelectWindow& w = *m_window;
    const bool teamChoice = g_pWorldObjectManager->teamChoice != 0;
    const int own = OwnSlot();
    for (int i = 0; i < 2; ++i) {
        SetShown(w.HalfButton(i), teamChoice);
        if (teamChoice && w.HalfButton(i)) w.HalfButton(i)->SetChecked((own >= 6) == (i == 1));
    }
    for (CPlayerSlot& slot : Session().slots) {
        slot.heroId = 0;
        slot.cardLevel = 0;
        slot.randomHero = 0;
    }
    w.ClearRaceTabs();
    if (m_side == 0) {
        SetShown(w.RaceTabButton(0), false);
        SetShown(w.HunterLabel(), false);
        w.SelectRaceTab(1);
    } else {
        SetShown(w.RaceTabButton(1), false);
        w.SelectRaceTab(0);
    }
    m_page = 1;
    m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 1.0f), 1, lobby::kFadeRate);
    SetShown(w.Detail(), false);
    ClearHeroDetails();
    lobby::SetLabel(w.LimitText(), FormatText(GetMessageText(MSG_TIME_SEC), 60));
    m_selectedRace = w.RaceTab();
    // Single play starts on the tab's first hero: shown at once, since a
    // click on a hero already chosen changes nothing.
    if (SinglePlay() && Selected()) ShowSelectedHero();
    ShowPage();
    RefreshPlayerRows();
    return 1;
}

int CHeroSelectScreen::Update() {
    m_timer.Update();
    IScreenHost* host = ScreenHost();
    switch (Phase()) {
        case PHASE_LOAD:
            if (g_pWorldObjectManager) {
                std::fill(std::begin(g_pWorldObjectManager->slotGone), std::end(g_pWorldObjectManager->slotGone),
                          false);
            }
            lobby::SelectCursor(lobby::kWaitCursor);
            if (host) host->Input().Reset();
            if (!Load() || !Prepare()) return SCREEN_FATAL;
            if (OwnSlot() < 0 && !SinglePlay()) {
                // A room without the own player cannot pick for him.
                ReportNetError(28);
                ShowErrorPopup(1);
                break;
            }
            SetPhase(PHASE_FADE_IN);
            break;
        case PHASE_FADE_IN:
            if (m_fade.Done()) {
                SetPhase(PHASE_PICKING);
                lobby::SelectCursor(lobby::kNormalCursor);
                m_waitCursor = false;
                host->Ui().SetFocus(m_window->ChatEdit());
                m_window->ChatEdit()->SetByteLimit(
                    std::min(kChatCap, kChatLimit - static_cast<int>(Session().nickname.size())));
                if (SinglePlay()) m_timeUp = true;
                m_startTick = platform::TimeGetTime();
            }
            break;
        case PHASE_PICKING:
            if (!CheckMessageBoxConfirm() && host->Ui().CursorIndex() != lobby::kWaitCursor) {
                UpdatePicking();
                if (m_leaveNow) return SCREEN_FINISHED;
            }
            break;
        case PHASE_TO_MATCH:
            if (m_fade.Done()) {
                lobby::SelectCursor(lobby::kNormalCursor);
                host->MessageBox().HideBox();
                host->Input().Reset();
                g_pWorldObjectManager->heroSelect = 0;
                g_pWorldObjectManager->online = 1;
                host->Screens().PushScreen(MakeLoadingScreen());
                return SCREEN_FINISHED;
            }
            break;
        case PHASE_TO_ROOM:
            if (m_fade.Done()) {
                lobby::SelectCursor(lobby::kNormalCursor);
                host->MessageBox().HideBox();
                host->Input().Reset();
                Session().roomRefresh = true;
                Session().autoStartCancelled = true;
                host->Screens().PushScreen(MakeWaitRoomScreen());
                return SCREEN_FINISHED;
            }
            break;
        default: {
            const int result = UpdateErrorPopup();
            if (result) return result;
            break;
        }
    }
    if (!HandlePackets()) ShowErrorPopup(1);
    UpdateCommon(!m_waitCursor && host->HasWindowFocus() ? 1 : 0, nullptr, 1);
    if (Phase() == PHASE_PICKING) TickTimers();
    return SCREEN_RUNNING;
}

void CHeroSelectScreen::UpdatePicking() {
    IScreenHost* host = ScreenHost();
    CZEMDXInput& input = host->Input();
    CHeroSelectWindow& w = *m_window;
    lobby::SelectCursor(lobby::kNormalCursor);
    auto backToRoom = [&] {
        host->MessageBox().HideBox();
        Session().roomRefresh = true;
        host->Screens().PushScreen(MakeWaitRoomScreen());
        m_leaveNow = true;
    };
    if (input.KeyPressed(platform::DIK_ESCAPE) && SinglePlay()) return backToRoom();
    if (lobby::EnterPressed()) {
        if (host->Ui().Focus() == w.ChatEdit())
            SendChat();
        else if (!SinglePlay())
            host->Ui().SetFocus(w.ChatEdit());
        return;
    }
    const int hero = w.TakeHeroButton();
    if (hero >= 0) {
        const int index = (m_page - 1) * hero_stats::kHeroesPerPage + hero;
        if (w.RaceTab() != m_selectedRace || index != m_selectedIndex) {
            if (index < static_cast<int>(m_lists[static_cast<size_t>(w.RaceTab())].size())) {
                m_selectedRace = w.RaceTab();
                m_selectedIndex = index;
                ShowSelectedHero();
                ShowPage();
                w.HeroButton(hero)->SetColor(UiColor(0.6f, 0.9f, 0.6f, 1.0f));
            }
        }
        return;
    }
    if (w.TakeCommand(CHeroSelectWindow::FLAG_RANDOM)) {
        if (SinglePlay()) {
            Session().autoStartCancelled = true;
            return backToRoom();
        }
        if (m_selectedIndex != kRandom) {
            m_selectedIndex = kRandom;
            ShowSelectedHero();
            ShowPage();
            ClearHeroDetails();
        }
        return;
    }
    if (w.TakeCommand(CHeroSelectWindow::FLAG_OK)) return PickOk();
    const int tab = w.TakeRaceTab();
    if (tab >= 0) {
        m_page = 1;
        ShowPage();
        return;
    }
    const int pages = hero_stats::PageCount(static_cast<int>(m_lists[static_cast<size_t>(w.RaceTab())].size()));
    if (w.TakeCommand(CHeroSelectWindow::FLAG_BEFORE)) {
        if (m_page > 1) --m_page;
        ShowPage();
        return;
    }
    if (w.TakeCommand(CHeroSelectWindow::FLAG_NEXT)) {
        if (m_page < pages) ++m_page;
        ShowPage();
        return;
    }
    if (w.TakeHalfButton() >= 0) return RefreshPlayerRows();
    if (w.TakeCommand(CHeroSelectWindow::FLAG_CANCEL) && m_selectedIndex != kNothing && m_confirmed) {
        lobby::SelectCursor(lobby::kWaitCursor);
        LockPickButtons();
        if (!SendHeroChoice(*Session().net, PK_HERO_SELECT, static_cast<int8_t>(m_side), 0)) ShowErrorPopup(1);
    }
}

void CHeroSelectScreen::PickOk() {
    if (m_selectedIndex == kNothing) return;
    const HeroEntry* hero = Selected();
    const int own = OwnSlot();
    if (SinglePlay()) {
        if (!hero) return;
        const int slot = std::max(own, 0);
        m_choices[static_cast<size_t>(slot)] = hero->record->id;
        Session().slots[static_cast<size_t>(slot)].heroId = hero->record->id;
        Session().slots[static_cast<size_t>(slot)].cardLevel = 0;
        RefreshPlayerRows();
        ScreenHost()->Ui().SetFocus(nullptr);
        StartFadeOut(PHASE_TO_MATCH);
        return;
    }
    if (hero) {
        if ((m_selectedRace == kHiddenRace && !g_pWorldObjectManager->teamChoice) || !hero->owned)
            return lobby::ShowBox(GetMessageText(MSG_HEROSEL_NOT_USE_CARD), 1);
        int half = own >= 6 ? 1 : 0;
        if (g_pWorldObjectManager->teamChoice && m_window->HalfButton(1) && m_window->HalfButton(1)->Checked())
            half = 1;
        for (int slot = half * 6; slot < half * 6 + 6; ++slot)
            if (slot != own && m_choices[static_cast<size_t>(slot)] == hero->record->id)
                return lobby::ShowBox(GetMessageText(MSG_HEROSEL_SLELECTED_HERO), 1);
    } else if (own >= 0 && Session().slots[static_cast<size_t>(own)].randomHero) {
        return;
    }
    SendHeroPick();
}

void CHeroSelectScreen::SendHeroPick() {
    lobby::SelectCursor(lobby::kWaitCursor);
    LockPickButtons();
    const HeroEntry* hero = m_selectedIndex == kRandom ? nullptr : Selected();
    const uint32_t id = hero ? hero->record->id : kChoiceRandom;
    if (!SendHeroChoice(*Session().net, PK_HERO_PICK, static_cast<int8_t>(m_side), id)) ShowErrorPopup(1);
}

void CHeroSelectScreen::LockPickButtons() {
    m_window->OkButton()->SetEnabled(0);
    m_window->CancelButton()->SetEnabled(0);
    m_pickPending = true;
    m_pickWait = kPickWait;
}

void CHeroSelectScreen::UnlockPickButtons() {
    m_pickPending = false;
    if (m_pickWait > 0) return;
    m_window->OkButton()->SetEnabled(1);
    m_window->CancelButton()->SetEnabled(1);
}

void CHeroSelectScreen::TickTimers() {
    if (!m_timeUp) {
        m_elapsedMs = platform::TimeGetTime() - m_startTick;
        if (m_elapsedMs < kTimeLimitMs) {
            lobby::SetLabel(m_window->LimitText(), FormatText(GetMessageText(MSG_TIME_SEC),
                                                              static_cast<int>((kTimeLimitMs - m_elapsedMs) / 1000)));
        } else {
            m_timeUp = true;
            if (!m_confirmed) {
                m_confirmed = true;
                m_selectedIndex = kRandom;
                SendHeroPick();
            }
        }
    }
    if (m_timeUp) lobby::SetLabel(m_window->LimitText(), GetMessageText(MSG_HEROSEL_SELECT_WAIT));
    m_preview.Update(Dt(), Selected() != nullptr);
    if (m_pickWait > 0) {
        m_pickWait -= Dt();
        return;
    }
    if (!m_pickPending) {
        m_window->OkButton()->SetEnabled(1);
        m_window->CancelButton()->SetEnabled(1);
    }
}

const HeroEntry* CHeroSelectScreen::Selected() const {
    if (m_selectedIndex < 0 || m_selectedRace < 0 || m_selectedRace >= kRaces) return nullptr;
    const auto& list = m_lists[static_cast<size_t>(m_selectedRace)];
    return m_selectedIndex < static_cast<int>(list.size()) ? &list[static_cast<size_t>(m_selectedIndex)] : nullptr;
}

const HeroEntry* CHeroSelectScreen::FindHero(uint32_t id) const {
    for (const auto& list : m_lists)
        for (const HeroEntry& hero : list)
            if (hero.record->id == id) return &hero;
    return nullptr;
}

void CHeroSelectScreen::ShowPage() {
    CHeroSelectWindow& w = *m_window;
    const int race = w.RaceTab();
    const auto& list = m_lists[static_cast<size_t>(race)];
    const int pages = hero_stats::PageCount(static_cast<int>(list.size()));
    m_page = std::clamp(m_page, 1, pages);
    lobby::SetLabel(w.PageText(), FormatText("%d/%d", m_page, pages));
    const int own = OwnSlot();
    const int half = own >= 6 ? 6 : 0;
    for (int i = 0; i < CHeroSelectWindow::kHeroButtons; ++i) {
        CUiButton* button = w.HeroButton(i);
        const int index = (m_page - 1) * hero_stats::kHeroesPerPage + i;
        const bool shown = index < static_cast<int>(list.size());
        SetShown(button, shown);
        w.notOwned[static_cast<size_t>(i)] = false;
        w.cardLevel[static_cast<size_t>(i)] = 0;
        if (!shown) continue;
        const HeroEntry& hero = list[static_cast<size_t>(index)];
        bool taken = false;
        for (int slot = half; slot < half + 6; ++slot)
            if (slot != own && m_choices[static_cast<size_t>(slot)] == hero.record->id) taken = true;
        w.notOwned[static_cast<size_t>(i)] = !hero.owned;
        w.cardLevel[static_cast<size_t>(i)] = hero.cardLevel;
        if (hero.portrait) hero.portrait->AddRef();
        button->SetImage(0, hero.portrait, false);
        const bool selected = race == m_selectedRace && index == m_selectedIndex;
        button->SetColor(selected ? UiColor(0.6f, 0.9f, 0.6f, 1.0f)
                         : taken  ? UiColor(0.4f, 0.4f, 0.4f, 1.0f)
                                  : UiColor(1.0f, 1.0f, 1.0f, 1.0f));
    }
}

void CHeroSelectScreen::ShowSelectedHero() {
    const HeroEntry* hero = Selected();
    if (!hero) {
        m_preview.LoadModel(CHeroPreview::kRandomModel, platform::Vec3{0, 5.0f, 20.0f},
                            platform::Vec3{-0.4f, 1.0f, 0});
        return;
    }
    m_preview.LoadHero(*hero->record);
    ShowHeroDetails(*hero);
}

void CHeroSelectScreen::ShowHeroDetails(const HeroEntry& hero) {
    CHeroSelectWindow& w = *m_window;
    const CUnitData& unit = *hero.record;
    if (w.Portrait()) {
        Lend(w.Portrait(), hero.portrait);
        SetShown(w.Portrait(), true);
    }
    if (g_pPlayResources) {
        g_pPlayResources->SetClassIcon(w.ClassIcon(), &unit);
        g_pPlayResources->SetRaceIcon(w.RaceIcon(), &unit);
    }
    lobby::SetLabel(w.HeroName(), "Lv20 " + unit.name);
    SetShown(w.HeroName(), true);
    lobby::SetLabel(w.Title(), unit.unitText3);
    SetShown(w.Title(), true);
    for (int k = 0; k <= 6; ++k)
        if (w.Stat(k)) w.Stat(k)->SetNumber(hero_stats::WholeStat(hero.stats[static_cast<size_t>(k)]));
    lobby::SetLabel(w.Stat(7), FormatText("%.1f", hero.stats[9]));
    for (int k : {5, 6, 8}) SetShown(w.Stat(k), true);
    if (w.Description()) {
        w.Description()->ClearItems();
        AddChatLine(w.Description(), unit.unitText4, kWhite);
    }
}

void CHeroSelectScreen::ClearHeroDetails() {
    CHeroSelectWindow& w = *m_window;
    for (int k : {0, 3, 1, 4, 2, 7}) lobby::SetLabel(w.Stat(k), "-");
    for (int k : {5, 6, 8}) SetShown(w.Stat(k), false);
    for (CUiStatic* s : {w.HeroName(), w.Title(), w.Portrait(), w.RaceIcon(), w.ClassIcon()})
        SetShown(s, false);
    if (w.Description()) w.Description()->ClearItems();
}

void CHeroSelectScreen::RefreshPlayerRows() {
    CHeroSelectWindow& w = *m_window;
    const int own = OwnSlot();
    int half = own >= 6 ? 1 : 0;
    if (g_pWorldObjectManager->teamChoice && w.HalfButton(1)) half = w.HalfButton(1)->Checked() ? 1 : 0;
    const RoomRecord& room = Session().room;
    for (int row = 0; row < CHeroSelectWindow::kRows; ++row) {
        const CHeroSelectWindow::PlayerRow& r = w.Row(row);
        const int slot = half * 6 + row;
        const std::string nickname(room.MemberNickname(slot));
        const CPlayerSlot& player = Session().slots[static_cast<size_t>(slot)];
        w.rowCardLevel[static_cast<size_t>(row)] =
            !nickname.empty() && !player.randomHero ? static_cast<int>(player.cardLevel) : 0;
        for (CUiStatic* s : {r.nick, r.grade, r.raceName, r.portrait}) SetShown(s, !nickname.empty());
        if (nickname.empty()) continue;
        if (nickname == Session().nickname)
            lobby::SetLabel(r.nick, FormatText("</C=%06x>%s", kOwnColour, nickname));
        else if (nickname.find('[') != std::string::npos)
            lobby::SetLabel(r.nick, FormatText("</C=%06x>%s", chat_colour::kOperator, nickname));
        else
            lobby::SetLabel(r.nick, nickname);
        const uint32_t choice = m_choices[static_cast<size_t>(slot)];
        const HeroEntry* hero = choice > kChoiceRandom ? FindHero(choice) : nullptr;
        SetShown(r.raceName, hero != nullptr);
        SetShown(r.portrait, choice == kChoiceRandom || hero);
        if (choice == kChoiceRandom) Lend(r.portrait, m_randomPortrait);
        if (hero) {
            // The race names are the game's own table, as the detail's race icon reads it.
            if (g_pPlayResources)
                lobby::SetLabel(r.raceName, CPlayResources::ListEntry(g_pPlayResources->raceNames,
                                                                      CPlayResources::RaceIndex(hero->record->flags)));
            Lend(r.portrait, hero->portrait);
        }
    }
}

void CHeroSelectScreen::StartFadeOut(int phase) {
    lobby::SelectCursor(lobby::kNormalCursor);
    m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 0, lobby::kFadeRate);
    SetPhase(phase);
}

void CHeroSelectScreen::SendChat() {
    CClientSession& session = Session();
    CHeroSelectWindow& w = *m_window;
    const ChatRecord* record = nullptr;
    const int typed =
        room_chat::TakeTypedLine(w.ChatEdit(), w.ChatPrompt(), w.ChatList(), session, SinglePlay(), &record);
    if (typed == room_chat::TYPED_ERROR) return ShowErrorPopup(1);
    if (typed != room_chat::TYPED_SEND) return;
    const int own = OwnSlot();
    const uint16_t audience = record->mode != 0 || g_pWorldObjectManager->teamChoice
                                  ? kChatAudienceAll
                                  : static_cast<uint16_t>(own >= 6 ? 1 : 0);
    if (!SendRoomChatLine(*session.net, audience, session.nickname, record->text)) ShowErrorPopup(1);
}

void CHeroSelectScreen::ApplyChoices(const NetPacket& packet, bool final) {
    CByteReader in = packet.Reader();
    std::array<uint32_t, 12> choices{};
    std::array<uint8_t, 12> levels{};
    for (uint32_t& c : choices) c = in.ReadU32();
    for (uint8_t& l : levels) l = in.ReadU8();
    if (!in.Ok()) return;
    m_choices = choices;
    m_cardLevels = levels;
    for (size_t slot = 0; slot < choices.size(); ++slot) {
        CPlayerSlot& player = Session().slots[slot];
        if (choices[slot] > kChoiceRandom) {
            player.heroId = choices[slot];
            player.cardLevel = levels[slot];
            if (!final) player.randomHero = 0;
        } else if (!final && choices[slot] == kChoiceRandom) {
            player.randomHero = 1;
        }
    }
}

int CHeroSelectScreen::HandlePackets() {
    CNetClient* net = lobby::Net();
    CClientSession& session = Session();
    const int phase = Phase();
    if (phase == PHASE_LOAD || phase == PHASE_FADE_IN || phase == PHASE_TO_MATCH) return 1;
    while (net && net->IsConnected()) {
        if (!net->RecvPacket(m_received)) return 0;
        if (m_received.id == 0) return 1;
        CByteReader in = m_received.Reader();
        switch (m_received.id) {
            case PK_ROOM_INFO:
                if (!SinglePlay() && session.room.Assign(m_received.payload.data(), m_received.length))
                    RefreshPlayerRows();
                break;
            case PK_HERO_CHOICES:
                if (SinglePlay()) break;
                ApplyChoices(m_received, false);
                RefreshPlayerRows();
                ShowPage();
                lobby::SelectCursor(lobby::kNormalCursor);
                break;
            case PK_HERO_FINAL:
                if (SinglePlay() || m_received.length < 60) break;
                ApplyChoices(m_received, true);
                ScreenHost()->Ui().SetFocus(nullptr);
                StartFadeOut(PHASE_TO_MATCH);
                return 1;
            case PK_CHAT_LINE:
                room_chat::ShowReceivedLine(m_received, m_window->ChatList(), session, m_side);
                break;
            case PK_PLAYER_OUT: {
                const uint16_t slot = in.ReadU16();
                if (SinglePlay() || !in.Ok() || slot >= RoomRecord::kSlots) break;
                AddChatLineFormat(m_window->ChatList(), GetMessageText(MSG_GAMEPLAY_OUT_PLAYER),
                                  FormatArg(std::string(session.room.MemberNickname(slot))), kWhite);
                g_pWorldObjectManager->slotGone[slot] = true;
                break;
            }
            case PK_HOST_SLOT: {
                const uint16_t slot = in.ReadU16();
                if (in.Ok() && slot < RoomRecord::kSlots && static_cast<int>(slot) == OwnSlot())
                    g_pWorldObjectManager->host = 1;
                break;
            }
            case PK_HERO_SELECT_CANCELLED:
                ScreenHost()->Ui().SetFocus(nullptr);
                StartFadeOut(PHASE_TO_ROOM);
                ScreenHost()->StopBgm();
                return 1;
            case PK_HERO_PICK_RESULT: {
                const uint8_t ok = in.ReadU8();
                const uint8_t code = in.ReadU8();
                if (!in.Ok()) return ReportNetError(28);
                lobby::SelectCursor(lobby::kNormalCursor);
                if (ok == 1) {
                    UnlockPickButtons();
                    m_confirmed = true;
                    const int own = OwnSlot();
                    if (own >= 0)
                        session.slots[static_cast<size_t>(own)].randomHero = m_selectedIndex == kRandom ? 1 : 0;
                } else if (code == 2) {
                    return ReportServerResult(code);
                } else {
                    UnlockPickButtons();
                    ReportServerResult(code);
                    lobby::ShowBox(ErrorReport().Text().c_str(), 1);
                }
                break;
            }
            case PK_HERO_SELECT_RESULT: {
                const uint8_t ok = in.ReadU8();
                const uint8_t code = in.ReadU8();
                if (!in.Ok()) return ReportNetError(28);
                if (ok != 1) return ReportServerResult(code);
                lobby::SelectCursor(lobby::kNormalCursor);
                UnlockPickButtons();
                m_confirmed = false;
                const int own = OwnSlot();
                if (own >= 0) session.slots[static_cast<size_t>(own)].randomHero = 0;
                break;
            }
            default:
                if (!HandleCommonMessage(*this, m_received, m_window ? m_window->ChatList() : nullptr))
                    return Phase() >= kPhaseErrorPopup ? 1 : 0;
                break;
        }
    }
    return 1;
}

void CHeroSelectScreen::Render() {
    lobby::RenderScreen(kClearColor, m_fade, [this] {
        if (m_layout && m_window) m_preview.Render(m_window->Detail());
    });
}

int CHeroSelectScreen::RestoreDeviceObjects() { return m_preview.Restore(); }

int CHeroSelectScreen::InvalidateDeviceObjects() {
    m_preview.Invalidate();
    return 1;
}
