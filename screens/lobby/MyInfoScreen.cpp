#include "screens/lobby/MyInfoScreen.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/ZEMSound.h"
#include "net/ClientSession.h"
#include "net/ItemRequests.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "platform/Input.h"
#include "screens/game/PlayResources.h"
#include "screens/lobby/HeroTooltip.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/RoomChat.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/UnitData.h"

namespace {

constexpr const char* kLabelNames[CMyInfoWindow::LABEL_COUNT] = {
    "ID_STATIC_MYINFO_PLAYER",  "ID_STATIC_MYINFO_LEVEL",     "ID_STATIC_MYINFO_BATTLE", "ID_STATIC_MYINFO_DISGRADE",
    "ID_STATIC_MYINFO_HEROCHA", "ID_STATIC_MYINFO_HIDDENCHR", "ID_STATIC_MYINFO_GUILD",  "ID_STATIC_EXP"};
constexpr const char* kMusic = "BGM-MYBOX.OGG";

}  // namespace

int CMyInfoWindow::OnLayoutLoaded() {
    for (int l = 0; l < LABEL_COUNT; ++l) {
        m_labels[static_cast<size_t>(l)] = static_cast<CUiStatic*>(Bind(kLabelNames[l], UI_TYPE_STATIC));
        if (!m_labels[static_cast<size_t>(l)]) return 0;
    }
    for (int i = 0; i < kMyInfoSideButtons; ++i) {
        m_heroes[static_cast<size_t>(i)] =
            static_cast<CUiButton*>(Bind(lobby::NumberedName("ID_BUTTON_CHA_%d", i).c_str(), UI_TYPE_BUTTON));
        if (!m_heroes[static_cast<size_t>(i)]) return 0;
    }
    for (int i = 0; i < kMyInfoHiddenButtons; ++i) {
        m_hiddenHeroes[static_cast<size_t>(i)] =
            static_cast<CUiButton*>(Bind(lobby::NumberedName("ID_BUTTON_HIDDENCHA_%d", i).c_str(), UI_TYPE_BUTTON));
        if (!m_hiddenHeroes[static_cast<size_t>(i)]) return 0;
    }
    m_tabs[0] = static_cast<CUiCheckButton*>(Bind("ID_CHECKBUTTON_TAB_L", UI_TYPE_CHECKBUTTON));
    m_tabs[1] = static_cast<CUiCheckButton*>(Bind("ID_CHECKBUTTON_TAB_D", UI_TYPE_CHECKBUTTON));
    m_shopButton = static_cast<CUiButton*>(Bind("ID_BUTTON_SHOP", UI_TYPE_BUTTON));
    m_backButton = static_cast<CUiButton*>(Bind("ID_BUTTON_BACK", UI_TYPE_BUTTON));
    m_detail = static_cast<CUiStatic*>(Bind("ID_STATIC_DETAIL", UI_TYPE_STATIC));
    m_chatList = static_cast<CUiListBox*>(Bind("ID_LIST_CHAT", UI_TYPE_LISTBOX));
    m_chatEdit = static_cast<CUiEditBox*>(Bind("ID_EDIT_CHAT", UI_TYPE_EDITBOX));
    m_messageTo = static_cast<CUiStatic*>(Bind("ID_STATIC_MESSAGE_TO", UI_TYPE_STATIC));
    if (!m_tabs[0] || !m_tabs[1] || !m_shopButton || !m_backButton || !m_chatList || !m_chatEdit) return 0;
    if (!m_marks.Load()) return 0;
    owned.fill(true);
    m_tabs[0]->SetChecked(true);
    SetShown(m_detail, true);
    return 1;
}

CUiButton* CMyInfoWindow::CardButton(int place) const {
    if (place < 0 || place >= kCardButtons) return nullptr;
    return place < kMyInfoSideButtons ? Hero(place) : HiddenHero(place - kMyInfoSideButtons);
}

void CMyInfoWindow::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN)) return;
    CUiWindow::Render();
    if (m_shown.tab == m_tabIndex)
        CHeroCardMarks::DrawHighlight(CardButton(m_shown.hidden ? kMyInfoSideButtons + m_shown.index : m_shown.index));
    for (int place = 0; place < kCardButtons; ++place)
        m_marks.DrawCard(CardButton(place), owned[static_cast<size_t>(place)], cardLevel[static_cast<size_t>(place)]);
}

void CMyInfoWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    for (int i = 0; i < kMyInfoSideButtons; ++i) {
        if (control != m_heroes[static_cast<size_t>(i)]) continue;
        m_shown = {m_tabIndex, false, i};
        return m_hero.Set(i);
    }
    for (int i = 0; i < kMyInfoHiddenButtons; ++i) {
        if (control != m_hiddenHeroes[static_cast<size_t>(i)]) continue;
        m_shown = {m_tabIndex, true, i};
        return m_hidden.Set(i);
    }
    for (int t = 0; t < 2; ++t) {
        if (control != m_tabs[static_cast<size_t>(t)]) continue;
        m_tabs[0]->SetChecked(t == 0);
        m_tabs[1]->SetChecked(t == 1);
        m_tabIndex = t;
        return m_tab.Set(t);
    }
    if (control == m_shopButton) return m_shop.Set();
    if (control == m_backButton) return m_back.Set();
}

CScreen* NewMyInfoScreen() { return new CMyInfoScreen(); }

CMyInfoScreen::~CMyInfoScreen() {
    // The window may outlive the screen in the UI's care; the preview's picture does not.
    if (m_layout && m_window && m_window->Detail()) m_window->Detail()->SetImage(nullptr, std::string());
    if (!g_pResourceManager) return;
    for (CResource* portrait : m_portraits) g_pResourceManager->ReleaseResource(portrait);
    g_pResourceManager->ReleaseResource(m_layout);
}

int CMyInfoScreen::Load() {
    IScreenHost* host = ScreenHost();
    if (!host || !g_pResourceManager || !g_pClientSession || !g_pGameDataRegistry) {
        ErrorReport().SetError(ERR_DATA, "The my-info screen runs without its application");
        return 0;
    }
    m_window = new CMyInfoWindow();
    m_layout = g_pResourceManager->GetResource("MYINFO.DUI", RES_LAYOUT, m_window, 1);
    if (!m_layout) return 0;
    m_lists = BuildMyInfoHeroLists(*g_pGameDataRegistry, g_pClientSession->inventory);
    for (const auto& list : m_lists)
        for (const MyInfoHero& hero : list) {
            if (hero.record->icon.empty()) continue;
            CResource* portrait = g_pResourceManager->GetResource(hero.record->icon.c_str(), RES_TEXTURE, nullptr, 1);
            if (!portrait) {
                ErrorReport().SetError(10003, GetMessageText(MSG_ERROR_FILE_NOT_READ), hero.record->icon);
                return 0;
            }
            m_portraits.push_back(portrait);
        }
    if (!host->PlayBgmByName(kMusic))
        ErrorReport().Set(ErrorReport().GetCode(), FormatText("Sound load fail %s\n", kMusic));
    if (!m_preview.SetUp({"UI_CHA_SELECT_H_BG.DRC", "UI_CHA_SELECT_V_BG.DRC"})) return 0;
    m_fade.SetUp(0.0f, 0.0f, static_cast<float>(host->BackBufferWidth()), static_cast<float>(host->BackBufferHeight()),
                 nullptr);
    m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 1.0f), 1, lobby::kFadeRate);
    return 1;
}

void CMyInfoScreen::FillPlayerCard() {
    int owned = 0, hidden = 0;
    for (size_t row = 0; row < m_lists.size(); ++row)
        for (const MyInfoHero& hero : m_lists[row]) (row == 2 ? hidden : owned) += hero.owned ? 1 : 0;
    const MyInfoCard card =
        BuildMyInfoCard(g_pClientSession->player, g_pClientSession->nickname, owned, hidden);
    CMyInfoWindow& w = *m_window;
    lobby::SetLabel(w.LabelAt(CMyInfoWindow::LABEL_PLAYER), card.player);
    lobby::SetLabel(w.LabelAt(CMyInfoWindow::LABEL_LEVEL), card.level);
    lobby::SetLabel(w.LabelAt(CMyInfoWindow::LABEL_BATTLE), card.battle);
    lobby::SetLabel(w.LabelAt(CMyInfoWindow::LABEL_DISGRADE), card.disconnection);
    lobby::SetLabel(w.LabelAt(CMyInfoWindow::LABEL_HEROCHA), card.heroes);
    lobby::SetLabel(w.LabelAt(CMyInfoWindow::LABEL_HIDDENCHR), card.hidden);
    lobby::SetLabel(w.LabelAt(CMyInfoWindow::LABEL_GUILD), card.guild);
    lobby::SetLabel(w.LabelAt(CMyInfoWindow::LABEL_EXP), card.experience);
}

void CMyInfoScreen::FillHeroButtons(int tab) {
    CMyInfoWindow& w = *m_window;
    w.owned.fill(true);
    auto fill = [&w](int place, const MyInfoHero* hero) {
        CUiButton* button = w.CardButton(place);
        w.cardLevel[static_cast<size_t>(place)] = 0;
        if (!hero) return SetShown(button, false);
        const std::string& icon = hero->record->icon;
        CResource* portrait =
            icon.empty() ? nullptr : g_pResourceManager->GetResource(icon.c_str(), RES_TEXTURE, nullptr, 1);
        button->SetImage(0, portrait, false, icon);
        static const std::vector<std::string> kNoNames;
        button->CUiObject::SetText(BuildHeroTooltip(*hero->record, hero->stats,
                                                     g_pPlayResources ? g_pPlayResources->raceNames : kNoNames,
                                                     g_pPlayResources ? g_pPlayResources->classNames : kNoNames));
        w.owned[static_cast<size_t>(place)] = hero->owned;
        w.cardLevel[static_cast<size_t>(place)] = hero->owned ? hero->cardLevel : 0;
        SetShown(button, true);
    };
    const auto& side = m_lists[static_cast<size_t>(tab == 1 ? 1 : 0)];
    for (int i = 0; i < kMyInfoSideButtons; ++i)
        fill(i, static_cast<size_t>(i) < side.size() ? &side[static_cast<size_t>(i)] : nullptr);
    const auto& hidden = m_lists[2];
    for (int i = 0; i < kMyInfoHiddenButtons; ++i)
        fill(kMyInfoSideButtons + i,
             static_cast<size_t>(i) < hidden.size() ? &hidden[static_cast<size_t>(i)] : nullptr);
}

int CMyInfoScreen::Update() {
    m_timer.Update();
    IScreenHost* host = ScreenHost();
    if (!host) return SCREEN_FATAL;
    switch (Phase()) {
        case PHASE_LOAD:
            lobby::SelectCursor(lobby::kWaitCursor);
            if (!Load()) return SCREEN_FATAL;
            SetPhase(PHASE_FADE_IN);
            FillPlayerCard();
            FillHeroButtons(0);
            if (!ShowPreview(0, 0)) return SCREEN_FATAL;
            break;
        case PHASE_FADE_IN:
            if (m_fade.Done()) {
                SetPhase(PHASE_PAGE);
                lobby::SelectCursor(lobby::kNormalCursor);
            }
            break;
        case PHASE_PAGE:
            if (!CheckMessageBoxConfirm()) UpdatePage();
            break;
        case PHASE_TO_LOBBY:
        case PHASE_TO_MARKET:
            if (m_fade.Done()) {
                host->MessageBox().HideBox();
                host->StopBgm();
                CClientSession& session = *g_pClientSession;
                CScreen* next = Phase() == PHASE_TO_MARKET ? MakeMarketScreen() : nullptr;
                if (!next) {
                    session.roomRefresh = true;
                    session.returnedToLobby = true;
                    next = MakeLobbyScreen();
                }
                if (next) host->Screens().PushScreen(next);
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
    UpdateCommon(host->HasWindowFocus() ? 1 : 0, nullptr, 1);
    return SCREEN_RUNNING;
}

void CMyInfoScreen::BeginLeave(int phase) {
    if (IScreenHost* host = ScreenHost()) lobby::BeginLeaving(*host, m_fade, true);
    SetPhase(phase);
}

void CMyInfoScreen::UpdatePage() {
    IScreenHost* host = ScreenHost();
    CMyInfoWindow& w = *m_window;
    lobby::SelectCursor(lobby::kNormalCursor);
    m_preview.Update(Dt(), false);
    if (host->Ui().Focus() == w.ChatEdit() && lobby::EnterPressed()) {
        // The page's chat is only shown here; slash commands go out through the chat layer.
        const int typed = room_chat::TakeTypedLine(w.ChatEdit(), w.ChatModeLabel(), w.ChatList(), *g_pClientSession,
                                                   true, nullptr);
        if (typed == room_chat::TYPED_ERROR) ShowErrorPopup(1);
        return;
    }
    const int hero = w.HeroLatch().Take();
    const int hidden = w.HiddenLatch().Take();
    if ((hero >= 0 || hidden >= 0) && !ShowPreview(ShownRow(), ShownIndex())) ShowErrorPopup(1);
    const int tab = w.TabLatch().Take();
    if (tab >= 0) FillHeroButtons(tab);
    if (w.ShopLatch().Taken()) return BeginLeave(PHASE_TO_MARKET);
    if (w.BackLatch().Taken() || host->Input().KeyReleased(platform::DIK_ESCAPE)) {
        uint8_t payload[kBackToLobbySize];
        CNetClient* net = lobby::Net();
        const size_t length = WriteBackToLobby(payload, sizeof payload);
        BeginLeave(PHASE_TO_LOBBY);
        if (!net || !net->SendPacket(PK_BACK_TO_LOBBY, payload, static_cast<int>(length))) ShowErrorPopup(1);
    }
}

int CMyInfoScreen::HandlePackets() {
    CNetClient* net = lobby::Net();
    const int phase = Phase();
    if (!net || !net->IsConnected() || phase == PHASE_LOAD || phase == PHASE_TO_LOBBY || phase == PHASE_TO_MARKET)
        return 1;
    while (true) {
        if (!net->RecvPacket(m_received)) return 0;
        if (m_received.id == 0) return 1;
        if (!HandleCommonMessage(*this, m_received, m_window->ChatList())) return Phase() >= kPhaseErrorPopup ? 1 : 0;
    }
}

int CMyInfoScreen::ShownRow() const {
    if (!m_window) return -1;
    return m_window->Shown().hidden ? 2 : m_window->Shown().tab;
}

int CMyInfoScreen::ShownIndex() const { return m_window ? m_window->Shown().index : -1; }

int CMyInfoScreen::ShowPreview(int row, int index) {
    if (row < 0 || static_cast<size_t>(row) >= m_lists.size()) return 1;
    const auto& list = m_lists[static_cast<size_t>(row)];
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return 1;
    return m_preview.LoadHero(*list[static_cast<size_t>(index)].record);
}

void CMyInfoScreen::Render() {
    lobby::RenderScreen(kClearColor, m_fade, [this] {
        if (m_layout && m_window) m_preview.Render(m_window->Detail());
    });
}

int CMyInfoScreen::RestoreDeviceObjects() { return m_preview.Restore(); }

int CMyInfoScreen::InvalidateDeviceObjects() {
    m_preview.Invalidate();
    return 1;
}
