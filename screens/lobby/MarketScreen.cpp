#include "screens/lobby/MarketScreen.h"

#include <algorithm>
#include <cstdlib>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageBoxHost.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundEffect.h"
#include "engine/sound/ZEMSound.h"
#include "engine/sound/ZEMSoundManager.h"
#include "net/ByteReader.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/RoomRecord.h"
#include "net/RoomSenders.h"
#include "net/SharedRoomPackets.h"
#include "platform/Input.h"
#include "screens/game/PlayResources.h"
#include "screens/game/ImageBoxWindow.h"
#include "screens/lobby/CardRecord.h"
#include "screens/lobby/CombineWindow.h"
#include "screens/lobby/ConnecterPopup.h"
#include "screens/lobby/ItemChecks.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/MarketOverlay.h"
#include "screens/lobby/MarketWindows.h"
#include "screens/lobby/RoomChat.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

namespace {

constexpr const char* kLayoutNames[6] = {"SHOP.DUI",   "COMB.DUI",   "ISOLATION.DUI",
                                         "MARKET.DUI", "SEARCH.DUI", "IMAGE_BOX.DUI"};
constexpr const char* kMusic = "BGM-MARKET.OGG";
constexpr int kPriceChars = 8;
constexpr int kChatChars = 80;
constexpr int kSplitDigits = 5;
enum PopupItem { POPUP_SPLIT, POPUP_TO_UNUSED };

CClientSession& Session() { return *g_pClientSession; }
InventoryTable& Inventory() { return g_pClientSession->inventory; }
const CGameDataRegistry& Registry() {
    static const CGameDataRegistry empty(false);
    return g_pGameDataRegistry ? *g_pGameDataRegistry : empty;
}
bool Shown(const CUiWindow* w) { return w && !w->HasFlags(UI_HIDDEN); }

void PlayResourceSound(int sound) {
    if (!g_pPlayResources) return;
    if (auto* effect = dynamic_cast<CSoundEffect*>(g_pPlayResources->sounds[static_cast<size_t>(sound)]))
        effect->Play(false);
}

std::string Text(int entry) { return GetMessageText(entry); }

// The decimal value of an edit's text, cut to its digits; the edit keeps the
// normalised text so that what the player sees is what is sent.
int64_t NormaliseNumber(CUiEditBox* edit, size_t maxDigits) {
    if (!edit) return 0;
    std::string digits;
    for (const char* p = edit->GetText(); *p && digits.size() < maxDigits; ++p)
        if (*p >= '0' && *p <= '9') digits += *p;
    const int64_t value = digits.empty() ? 0 : std::strtoll(digits.c_str(), nullptr, 10);
    const std::string shown = digits.empty() ? std::string() : std::to_string(value);
    if (shown != edit->GetText()) edit->SetText(shown.c_str());
    return value;
}

}  // namespace

CScreen* NewMarketScreen() { return new CMarketScreen(); }

CMarketScreen::CMarketScreen() {
    m_shopCodes.fill(0);
    m_req.combine.Reset();
}

CMarketScreen::~CMarketScreen() {
    if (g_pUiManager && m_popup) g_pUiManager->DeleteWindow(m_popup);
    if (g_pUiManager && m_heldWindow) g_pUiManager->DeleteWindow(m_heldWindow);
    if (!g_pResourceManager) return;
    for (CResource*& layout : m_layouts) g_pResourceManager->ReleaseResource(layout);
    g_pResourceManager->ReleaseResource(m_craImage);
    g_pResourceManager->ReleaseResource(m_crapImage);
    for (auto& icon : m_icons) g_pResourceManager->ReleaseResource(icon.second);
}

int CMarketScreen::Load() {
    IScreenHost* host = ScreenHost();
    if (!host || !g_pResourceManager || !g_pClientSession) {
        ErrorReport().SetError(ERR_DATA, "The market runs without its application");
        return 0;
    }
    m_fromRoom = Session().wentToMarket;
    m_shop = new CShopWindow();
    m_combine = new CCombineWindow();
    m_isolation = new CIsolationWindow();
    m_market = new CMarketWindow();
    m_search = new CMarketSearchWindow();
    m_imageBox = new CImageBoxWindow();
    CUiWindow* windows[6] = {m_shop, m_combine, m_isolation, m_market, m_search, m_imageBox};
    for (int i = 0; i < 6; ++i) {
        m_layouts[static_cast<size_t>(i)] = g_pResourceManager->GetResource(kLayoutNames[i], RES_LAYOUT, windows[i], 1);
        if (!m_layouts[static_cast<size_t>(i)]) return 0;
    }
    CUiManager& ui = host->Ui();
    m_shop->AddFlags(0x1000000u);
    for (CUiWindow* w : {static_cast<CUiWindow*>(m_combine), static_cast<CUiWindow*>(m_isolation),
                         static_cast<CUiWindow*>(m_market), static_cast<CUiWindow*>(m_search),
                         static_cast<CUiWindow*>(m_imageBox)})
        ui.ShowWindow(w, false);
    ui.SendToBack(m_imageBox);
    m_heldWindow = new CMarketHeldItemWindow();
    ui.AddUpperWindow(m_heldWindow);
    ui.ShowWindow(m_heldWindow, false);
    m_market->PriceEdit()->SetByteLimit(kPriceChars);
    m_market->ClearSelection();
    m_search->Edit()->SetByteLimit(static_cast<int>(kMarketSearchNameMax));
    m_isolation->Edit()->SetByteLimit(kSplitDigits);
    m_popup = new CConnecterPopup(m_shop);
    m_popup->Create("OUTSIDESHOP_POPUP");
    m_popup->Fill({MSG_COMBINATION_ITEM_ISOLITION, MSG_COMBINATION_NOT_USE_CHANGE});
    ui.ShowWindow(m_popup, false);
    // Every card and shop entry's icon, so that a reply never waits for a texture.
    const CGameDataRegistry& registry = Registry();
    auto addIcon = [this](const std::string& name) {
        if (name.empty() || m_icons.count(name)) return true;
        CResource* icon = g_pResourceManager->GetResource(name.c_str(), RES_TEXTURE, nullptr, 1);
        if (!icon) return false;
        m_icons[name] = icon;
        return true;
    };
    for (const auto& entry : registry.Catalogue().Entries())
        if (!addIcon(card::Icon(*entry))) return 0;
    for (const auto& entry : registry.ItemTexts().Entries())
        if (!addIcon(card::Icon(*entry))) return 0;
    if (!host->PlayBgmByName(kMusic)) {
        if (g_pSoundManager && g_pSoundManager->IsEnabled()) return 0;
        ErrorReport().Set(ErrorReport().GetCode(), FormatText("Sound load fail %s\n", kMusic));
    }
    m_craImage = g_pResourceManager->GetResource(kPrizeCraImage, RES_TEXTURE, nullptr, 1);
    m_crapImage = g_pResourceManager->GetResource(kPrizeNothingImage, RES_TEXTURE, nullptr, 1);
    if (!m_craImage || !m_crapImage) return 0;
    m_fade.SetUp(0.0f, 0.0f, static_cast<float>(host->BackBufferWidth()), static_cast<float>(host->BackBufferHeight()),
                 nullptr);
    m_fade.Start(UiColor(0.0f, 0.0f, 0.0f, 1.0f), 1, lobby::kFadeRate);
    SetShown(m_shop->ButtonAt(CShopWindow::BTN_SEARCH), false);
    if (m_fromRoom) {
        SetShown(m_shop->ButtonAt(CShopWindow::BTN_MYMARKET), false);
        SetShown(m_shop->ButtonAt(CShopWindow::BTN_SHOP_MYINFO), false);
    }
    return 1;
}

CResource* CMarketScreen::Icon(const std::string& name) const {
    auto it = m_icons.find(name);
    return it == m_icons.end() ? nullptr : it->second;
}

int CMarketScreen::Update() {
    m_timer.Update();
    IScreenHost* host = ScreenHost();
    if (!host) return SCREEN_FATAL;
    switch (Phase()) {
        case PHASE_LOAD: {
            lobby::SelectCursor(lobby::kWaitCursor);
            if (!Load()) return SCREEN_FATAL;
            m_shopCodes.fill(0);
            m_req.combine.Reset();
            RefreshItemSlots(0);
            RefreshItemSlots(1);
            m_shop->ChatEdit()->SetByteLimit(kChatChars);
            CClientSession& session = Session();
            if (session.pendingNotice) {
                ShowMessageBox(host->MessageBox(),
                               FormatText(Text(MSG_OUTSHOTP_NOT_USE_CASHSHOP), session.pendingNotice).c_str(), 1, 1);
                session.pendingNotice = 0;
            }
            SetPhase(PHASE_FADE_IN);
            return SCREEN_RUNNING;
        }
        case PHASE_FADE_IN:
            if (m_fade.Done()) {
                SetPhase(PHASE_SHOP);
                lobby::SelectCursor(lobby::kNormalCursor);
            }
            break;
        case PHASE_SHOP:
        case PHASE_HELD:
        case PHASE_COMBINE:
        case PHASE_MARKET:
            if (!m_waiting) {
                lobby::SelectCursor(lobby::kNormalCursor);
                HandleInput();
            }
            break;
        case PHASE_TO_LOBBY:
        case PHASE_TO_MYINFO:
        case PHASE_TO_ROOM:
            if (m_fade.Done()) return UpdateLeaving();
            break;
        default: {
            const int result = UpdateErrorPopup();
            if (result) return result;
            break;
        }
    }
    if (!HandlePackets()) ShowErrorPopup(1);
    const int phase = Phase();
    const bool inputPhase = phase == PHASE_FADE_IN || phase == PHASE_SHOP || phase == PHASE_HELD ||
                            phase == PHASE_COMBINE || phase == PHASE_MARKET || phase >= kPhaseErrorPopup;
    UpdateCommon(!m_waiting && inputPhase && host->HasWindowFocus() ? 1 : 0, nullptr, 1);
    return SCREEN_RUNNING;
}

int CMarketScreen::UpdateLeaving() {
    IScreenHost* host = ScreenHost();
    host->MessageBox().HideBox();
    host->StopBgm();
    CClientSession& session = Session();
    CScreen* next = nullptr;
    if (Phase() == PHASE_TO_MYINFO) {
        next = MakeMyInfoScreen();
    } else if (Phase() == PHASE_TO_ROOM) {
        session.returning = true;
        // The room record stayed current through the shared room handler:
        // the room shows it again at once.
        session.roomRefresh = true;
        next = MakeWaitRoomScreen();
    }
    if (!next) {
        // The lobby: after a room too when no waiting room can be made.
        session.returning = true;
        session.returnedToLobby = true;
        next = MakeLobbyScreen();
    }
    if (!next) return SCREEN_FINISHED;
    host->Screens().PushScreen(next);
    return SCREEN_FINISHED;
}

void CMarketScreen::BeginLeave(int phase) {
    if (IScreenHost* host = ScreenHost()) lobby::BeginLeaving(*host, m_fade, true);
    SetPhase(phase);
}

void CMarketScreen::Render() { lobby::RenderScreen(kClearColor, m_fade); }

int CMarketScreen::HandlePackets() {
    CNetClient* net = lobby::Net();
    const int phase = Phase();
    if (!net || !net->IsConnected() || phase == PHASE_LOAD || phase == PHASE_TO_LOBBY || phase == PHASE_TO_MYINFO)
        return 1;
    while (true) {
        if (!net->RecvPacket(m_received)) return 0;
        if (m_received.id == 0) return 1;
        if (m_received.id == PK_CHAT_LINE) {
            room_chat::ShowReceivedLine(m_received, m_shop->ChatList(), Session(), -1);
            continue;
        }
        const int item = HandleItemResultPackets(this, m_received);
        if (item == 0) return 0;
        if (item == 1) return 1;
        if (HandleSharedRoomPackets(*this, m_received, m_shop->ChatList(), nullptr) == 0) return 1;
        const int common = HandleCommonMessage(*this, m_received, m_shop->ChatList());
        return common || Phase() >= kPhaseErrorPopup ? 1 : 0;
    }
}

void CMarketScreen::ClearRequestPending() {
    m_waiting = false;
    lobby::SelectCursor(lobby::kNormalCursor);
}

bool CMarketScreen::ItemWindowHidden() const { return !Shown(m_market); }

void CMarketScreen::StoreMarketTable(int table, const uint8_t* bytes, size_t size) {
    if (table == 2) {
        ReadMarketRecords(bytes, size, m_req.own.data(), m_req.own.size());
    } else {
        ReadMarketRecords(bytes, size, m_req.search.data(), m_req.search.size());
    }
}

void CMarketScreen::RebuildItemLists(const uint8_t* payload, size_t size) {
    CByteReader in(payload, size);
    in.Seek(2);
    const uint32_t created = in.ReadU32();
    m_req.combine.Reset();
    RefreshItemSlots(2);
    ShowItemResult(in.Ok() ? created : 0);
}

void CMarketScreen::ShowPrizeResult(const uint8_t* payload, size_t size) {
    constexpr size_t kPrizeAt = 374, kInventoryAt = 2;
    CByteReader in(payload, size);
    in.Seek(kPrizeAt);
    const uint32_t value = in.ReadU32();
    if (!in.Ok()) return;
    int64_t cra = 0;
    const ItemResultView content = PrizeContent(value, g_pGameDataRegistry, &cra);
    // A card won arrives in the reply's inventory; an amount is added to the money.
    if (value > 1000000000u) ReadInventory(Inventory(), payload + kInventoryAt, size - kInventoryAt);
    Session().money += cra;
    ShowResult(content);
}

void CMarketScreen::ShowItemResult(uint32_t createdId) { ShowResult(CombineContent(createdId, g_pGameDataRegistry)); }

void CMarketScreen::ShowResult(const ItemResultView& content) {
    m_lastResult = content;
    ShowMoney();
    if (!m_imageBox || !g_pUiManager) return;
    // The picture is a whole texture: the box shows its first frame.
    CResource* image = content.image == kPrizeCraImage       ? m_craImage
                       : content.image == kPrizeNothingImage ? m_crapImage
                                                             : Icon(content.image);
    if (m_imageBox->image) {
        if (image) image->AddRef();
        m_imageBox->image->SetImage(image, content.image);
    }
    m_imageBox->SetContent(content.message, 0, content.caption, content.bonus);
    g_pUiManager->SetFocus(nullptr);
    g_pUiManager->ShowWindow(m_imageBox, true);
    g_pUiManager->BringToFront(m_imageBox);
}

bool CMarketScreen::ResultShown() const { return Shown(m_imageBox); }

void CMarketScreen::CloseResult() {
    if (!m_imageBox || !g_pUiManager) return;
    g_pUiManager->ShowWindow(m_imageBox, false);
    g_pUiManager->SendToBack(m_imageBox);
}

void CMarketScreen::ShowMoney() {
    if (m_shop) lobby::SetLabel(m_shop->Money(), FormatText("%d", Session().money));
}

void CMarketScreen::Ask(int pendingId, const std::string& question) {
    ShowMessageBox(ScreenHost()->MessageBox(), question.c_str(), 2, 1);
    m_pendingId = pendingId;
    m_answer = -1;
    m_countdown = kQuestionDelay;
}

void CMarketScreen::Refuse(int entry) { ShowMessageBox(ScreenHost()->MessageBox(), Text(entry).c_str(), 1, 1); }

int CMarketScreen::SendItemRequest(uint16_t id) {
    uint8_t payload[kCombineItemsSize + 8] = {};
    const BuiltRequest built = BuildItemRequest(m_req, Inventory(), Registry(), id, payload, sizeof payload);
    const bool fromHeld = m_req.saleFromHeld;
    auto clearHeld = [this] {
        m_req.held = {};
        m_req.heldCount = 0;
        m_req.saleFromHeld = false;
    };
    if (built.refusal >= 0) {
        if (id == PK_STACK_ITEM) clearHeld();
        Refuse(built.refusal);
        return 1;
    }
    CNetClient* net = lobby::Net();
    const bool sent = built.length && net && net->SendPacket(id, payload, static_cast<int>(built.length));
    if (id == PK_SHOP_OPEN_PRIZE_CARD || sent) {
        m_waiting = true;
        lobby::SelectCursor(lobby::kWaitCursor);
    }
    if (!sent) {
        ShowErrorPopup(1);
        return 1;
    }
    switch (id) {
        case PK_SHOP_BUY_CARD:
            PlayResourceSound(CPlayResources::SND_GET_ITEM);
            break;
        case PK_SHOP_SELL_CARD:
            PlayResourceSound(CPlayResources::SND_SELL_ITEM);
            if (fromHeld) clearHeld();
            break;
        case PK_INVENTORY_MOVE:
        case PK_COMBINE_ITEMS:
        case PK_STACK_ITEM:
        case PK_CARD_TO_UNUSED:
        case PK_MARKET_REGISTER:
        case PK_MARKET_LIST:
        case PK_MARKET_BUY:
        case PK_MARKET_CANCEL:
            clearHeld();
            break;
        default:
            break;
    }
    if (id == PK_SHOP_OPEN_PRIZE_CARD) RefreshItemSlots(1);
    return 1;
}

int CMarketScreen::SendPendingRequest() {
    IMessageBoxHost& box = ScreenHost()->MessageBox();
    // The box reports a press for one frame only: an answer given while the
    // countdown runs is kept until it has run out.
    if (m_pendingId && box.Mode() == 2 && m_answer < 0) {
        const int result = PollMessageBoxResult(box);
        if (result >= 0) {
            m_answer = result;
        } else if (box.Visible() && lobby::EnterPressed()) {
            m_answer = 1;
            box.HideBox();
        }
    }
    if (m_countdown > 0.0f) {
        m_countdown -= Dt();
        return 1;
    }
    if (!m_pendingId) return 0;
    const int answer = m_answer;
    if (answer < 0 && box.Visible() && box.Mode() == 2) return 1;
    const int id = m_pendingId;
    m_pendingId = 0;
    m_answer = -1;
    if (answer == 1) SendItemRequest(static_cast<uint16_t>(id));
    return answer >= 0 ? 1 : 0;
}

const InventorySlot* CMarketScreen::SelectedSlot() const {
    return m_req.selected.Valid()
               ? &Inventory()[static_cast<size_t>(m_req.selected.row)][static_cast<size_t>(m_req.selected.column)]
               : nullptr;
}

void CMarketScreen::SetMode(int mode) {
    m_mode = mode;
    SetPhase(mode);
}

void CMarketScreen::PickUp(InventorySlotRef slot, uint32_t count, int fromPlace) {
    m_req.held = slot;
    m_req.heldCount = count;
    m_heldPlace = fromPlace;
    m_shop->SetHolding(true);
    m_combine->SetHolding(true);
    const InventorySlot& card = Inventory()[static_cast<size_t>(slot.row)][static_cast<size_t>(slot.column)];
    const ItemCatalogueEntry* record = card.cardId ? Registry().FindItemRecord(card.cardId) : nullptr;
    platform::CursorPoint cursor{};
    ScreenHost()->Input().GetCursor(&cursor);
    m_heldWindow->Hold(record ? Icon(card::Icon(*record)) : nullptr, static_cast<float>(cursor.x),
                       static_cast<float>(cursor.y));
    PlayResourceSound(CPlayResources::SND_PICKUP_ITEM);
    SetPhase(PHASE_HELD);
}

void CMarketScreen::ReleaseHeld() {
    m_heldWindow->Release();
    m_shop->SetHolding(false);
    m_combine->SetHolding(false);
    m_heldPlace = -1;
    if (m_req.held.Valid() && !m_waiting) m_req.held = {};
    SetPhase(m_mode);
}

int CMarketScreen::HandleOverlayInput() {
    IScreenHost* host = ScreenHost();
    CZEMDXInput& input = host->Input();
    CUiManager& ui = host->Ui();
    if (m_imageBox && m_imageBox->TakeOk()) {
        CloseResult();
        return 1;
    }
    if (ResultShown() && (input.KeyPressed(platform::DIK_ESCAPE) || lobby::EnterPressed())) {
        CloseResult();
        return 1;
    }
    if (CheckMessageBoxConfirm()) return 1;
    if (SendPendingRequest()) return 1;
    if (input.MousePressed(0) || input.MousePressed(1)) {
        if (Shown(m_popup) && !m_popup->PointerInside()) {
            const int chosen = m_popup->TakeSelected();
            ui.ShowWindow(m_popup, false);
            const InventorySlot* slot = SelectedSlot();
            if (chosen == POPUP_SPLIT && slot && slot->cardId) {
                m_isolation->Open();
                m_splitLength = 0;
            } else if (chosen == POPUP_TO_UNUSED) {
                int64_t refund = 0;
                const ItemCatalogueEntry* record = slot ? Registry().FindItemRecord(slot->cardId) : nullptr;
                const int refusal = CheckReturnToUnused(slot, record, &refund);
                if (refusal >= 0) {
                    Refuse(refusal);
                } else {
                    Ask(PK_CARD_TO_UNUSED,
                        FormatText(Text(MSG_COMBINATION_CHANGE_NOT_USE), card::Name(*record), refund));
                }
            }
            return 1;
        }
    }
    ScrollInventory();
    if (Shown(m_isolation)) {
        const size_t length = std::string(m_isolation->Edit()->GetText()).size();
        if (length != m_splitLength) {
            NormaliseNumber(m_isolation->Edit(), kSplitDigits);
            m_splitLength = std::string(m_isolation->Edit()->GetText()).size();
        }
        if (m_isolation->OkLatch().Taken()) {
            const int64_t count = NormaliseNumber(m_isolation->Edit(), kSplitDigits);
            const InventorySlot* slot = SelectedSlot();
            if (!slot || count <= 0 || count > slot->remaining) {
                Refuse(MSG_COMBINATION_INPUT_WRONG_NUMBER);
                m_isolation->Edit()->SetText("");
                return 1;
            }
            m_isolation->Close();
            PickUp(m_req.selected, static_cast<uint32_t>(count), -1);
            return 1;
        }
        if (m_isolation->CancelLatch().Taken() || input.KeyReleased(platform::DIK_ESCAPE)) m_isolation->Close();
        return 1;
    }
    const int drag = m_shop->DragLatch().Take();
    if (drag >= 0) {
        const InventorySlotRef slot{m_row, drag};
        const InventorySlot& card = Inventory()[static_cast<size_t>(m_row)][static_cast<size_t>(drag)];
        if (card.cardId && Icon(Registry().FindItemRecord(card.cardId) ? card::Icon(*Registry().FindItemRecord(card.cardId)) : ""))
            PickUp(slot, card.remaining, -1);
        return 1;
    }
    const int pick = m_shop->InventoryPickLatch().Take();
    if (pick >= 0) {
        m_req.selected = {m_row, pick};
        if (input.KeyDown(platform::DIK_LSHIFT)) {
            platform::CursorPoint cursor{};
            input.GetCursor(&cursor);
            m_popup->SetPosition(static_cast<float>(cursor.x), static_cast<float>(cursor.y));
            ui.ShowWindow(m_popup, true);
            ui.BringToFront(m_popup);
        }
        return 1;
    }
    return 0;
}

void CMarketScreen::ScrollInventory() {
    const bool prev = m_shop->ButtonLatch(CShopWindow::BTN_INVEN_PREV).Taken();
    const bool next = m_shop->ButtonLatch(CShopWindow::BTN_INVEN_NEXT).Taken();
    const int row = std::clamp(m_row + (next ? 1 : 0) - (prev ? 1 : 0), 0, kLastRow);
    if (row == m_row) return;
    m_row = row;
    m_shop->ClearPicks();
    m_req.selected = {};
    RefreshItemSlots(1);
    if (Shown(m_combine)) RefreshItemSlots(2);
}

void CMarketScreen::HandleInput() {
    if (Phase() != PHASE_HELD && HandleOverlayInput()) return;
    switch (Phase()) {
        case PHASE_SHOP:
            return UpdateShop();
        case PHASE_HELD:
            return UpdateHeld();
        case PHASE_COMBINE:
            return UpdateCombine();
        case PHASE_MARKET:
            return UpdateMarket();
        default:
            return;
    }
}

void CMarketScreen::UpdateChat() {
    CClientSession& session = Session();
    const ChatRecord* record = nullptr;
    const int typed = room_chat::TakeTypedLine(m_shop->ChatEdit(), m_shop->ChatModeLabel(), m_shop->ChatList(),
                                               session, !m_fromRoom, &record);
    if (typed == room_chat::TYPED_ERROR) return ShowErrorPopup(1);
    if (typed == room_chat::TYPED_SEND &&
        (!session.net || !SendRoomChatLine(*session.net, kChatAudienceAll, session.nickname, record->text)))
        ShowErrorPopup(1);
}

void CMarketScreen::UpdateShop() {
    IScreenHost* host = ScreenHost();
    CShopWindow& w = *m_shop;
    if (host->Ui().Focus() == w.ChatEdit() && lobby::EnterPressed()) return UpdateChat();
    if (w.CategoryLatch().Take() >= 0) {
        m_req.selected = {};
        m_shopPage = 0;
        RefreshItemSlots(0);
        return;
    }
    auto taken = [&w](CShopWindow::Button b) { return w.ButtonLatch(b).Taken(); };
    if (taken(CShopWindow::BTN_SHOP_NEXT) && m_shopPage < m_shopLastPage) {
        ++m_shopPage;
        RefreshItemSlots(0);
    }
    if (taken(CShopWindow::BTN_SHOP_PREV) && m_shopPage > 0) {
        --m_shopPage;
        RefreshItemSlots(0);
    }
    if (taken(CShopWindow::BTN_SHOP_MYINFO)) return BeginLeave(PHASE_TO_MYINFO);
    if (taken(CShopWindow::BTN_MYMARKET)) return EnterMarketMode();
    if (taken(CShopWindow::BTN_COMB)) {
        m_req.combine.SetKind(0);
        m_combine->SetTitle(0);
        host->Ui().ShowWindow(m_combine, true);
        host->Ui().BringToFront(m_combine);
        RefreshItemSlots(2);
        return SetMode(PHASE_COMBINE);
    }
    const InventorySlot* slot = SelectedSlot();
    const ItemCatalogueEntry* record = slot && slot->cardId ? Registry().FindItemRecord(slot->cardId) : nullptr;
    const std::string name = record ? card::Name(*record) : std::string();
    if (taken(CShopWindow::BTN_BUY)) {
        const int pick = w.ShopPick();
        if (pick < 0 || !m_shopCodes[static_cast<size_t>(pick)]) return Refuse(MSG_OUTSHOP_SELECT_BUY_CARD);
        const ItemTextEntry* entry = Registry().FindTextEntry(m_shopCodes[static_cast<size_t>(pick)]);
        if (!entry) return Refuse(MSG_OUTSHOP_WRONG_CARD_KEY);
        m_req.shopCode = entry->code;
        return Ask(PK_SHOP_BUY_CARD, FormatText(Text(MSG_OUTSHOP_BUY_CARD_QUESTION), card::Name(*entry)));
    }
    if (taken(CShopWindow::BTN_SELL)) {
        int64_t price = 0;
        const int refusal = CheckSell(w.InventoryPick() >= 0 ? slot : nullptr, record, &price);
        if (refusal >= 0) return Refuse(refusal);
        m_req.saleFromHeld = false;
        return Ask(PK_SHOP_SELL_CARD, FormatText(Text(MSG_OUTSHOP_SELL_CARD), name, price));
    }
    if (taken(CShopWindow::BTN_DELETE)) {
        const int refusal = CheckDelete(slot);
        if (refusal >= 0) return Refuse(refusal);
        return Ask(PK_SHOP_DELETE_CARD, FormatText(Text(MSG_OUTSHOP_DELETE_CARD), name));
    }
    if (taken(CShopWindow::BTN_USE)) {
        int pending = 0;
        const int refusal = CheckUse(slot, record, &pending);
        if (refusal >= 0) return Refuse(refusal);
        return Ask(pending, FormatText(Text(MSG_OUTSHOP_USE_SELECT_CARD), name));
    }
    if (taken(CShopWindow::BTN_SHOP_EXIT)) {
        if (m_fromRoom) return BeginLeave(PHASE_TO_ROOM);
        uint8_t payload[kBackToLobbySize];
        CNetClient* net = lobby::Net();
        if (!net || !net->SendPacket(PK_BACK_TO_LOBBY, payload, static_cast<int>(WriteBackToLobby(payload, sizeof payload))))
            return ShowErrorPopup(1);
        return BeginLeave(PHASE_TO_LOBBY);
    }
}

void CMarketScreen::UpdateHeld() {
    IScreenHost* host = ScreenHost();
    CZEMDXInput& input = host->Input();
    CShopWindow& w = *m_shop;
    platform::CursorPoint cursor{};
    input.GetCursor(&cursor);
    m_heldWindow->Follow(static_cast<float>(cursor.x), static_cast<float>(cursor.y));
    const int target = w.InventoryPickLatch().Take();
    if (target >= 0) {
        const InventorySlotRef to{m_row, target};
        w.ClearPicks();
        if (m_heldPlace < 0 && (to.row != m_req.held.row || to.column != m_req.held.column)) {
            m_req.target = to;
            const InventoryTable& inv = Inventory();
            const InventorySlot& held = inv[static_cast<size_t>(m_req.held.row)][static_cast<size_t>(m_req.held.column)];
            const InventorySlot& dest = inv[static_cast<size_t>(to.row)][static_cast<size_t>(to.column)];
            SendItemRequest(DropRequestId(held, dest, Registry()));
        }
        PlayResourceSound(CPlayResources::SND_PUTDOWN_ITEM);
        return ReleaseHeld();
    }
    const int place = Shown(m_combine) ? m_combine->PickLatch().Take() : -1;
    if (place >= 0) {
        if (m_heldPlace >= 0) {
            m_req.combine.Swap(m_heldPlace, place);
        } else {
            const int refusal =
                m_req.combine.Place(place, m_req.held.row, m_req.held.column, Inventory(), Registry());
            if (refusal >= 0) Refuse(refusal);
        }
        m_combine->ClearSlotMarks();
        RefreshItemSlots(2);
        return ReleaseHeld();
    }
    if (Shown(m_market) && m_market->IconLatch().Taken()) {
        const InventorySlot& held =
            Inventory()[static_cast<size_t>(m_req.held.row)][static_cast<size_t>(m_req.held.column)];
        if (held.inUse) {
            Refuse(MSG_MARKET_ONLY_NOT_USE_ITEM_REGISTRATION);
        } else {
            m_req.registration = m_req.held;
            const ItemCatalogueEntry* record = Registry().FindItemRecord(held.cardId);
            m_req.registrationCount = static_cast<uint16_t>(record ? card::FullCount(*record) : 0);
            RefreshItemSlots(4);
        }
        return ReleaseHeld();
    }
    if (w.ShopAreaLatch().Taken() && m_heldPlace < 0 && m_mode == PHASE_SHOP) {
        const InventorySlot& held =
            Inventory()[static_cast<size_t>(m_req.held.row)][static_cast<size_t>(m_req.held.column)];
        const ItemCatalogueEntry* record = Registry().FindItemRecord(held.cardId);
        int64_t price = 0;
        const int refusal = CheckSell(&held, record, &price);
        if (refusal >= 0) {
            Refuse(refusal);
        } else {
            m_req.saleFromHeld = true;
            m_heldWindow->Release();
            m_shop->SetHolding(false);
            m_combine->SetHolding(false);
            SetPhase(m_mode);
            return Ask(PK_SHOP_SELL_CARD, FormatText(Text(MSG_OUTSHOP_SELL_CARD), card::Name(*record), price));
        }
        return ReleaseHeld();
    }
    if (w.InventoryAreaLatch().Taken() || input.KeyReleased(platform::DIK_ESCAPE) || input.MousePressed(1)) {
        // A card held from the combination and let go outside it leaves the combination.
        if (m_heldPlace >= 0) {
            m_req.combine.Remove(m_heldPlace);
            RefreshItemSlots(2);
        }
        return ReleaseHeld();
    }
}

void CMarketScreen::UpdateCombine() {
    IScreenHost* host = ScreenHost();
    const int place = m_combine->PickLatch().Take();
    if (place >= 0) {
        const CCombineTable::Entry& e = m_req.combine.At(place);
        if (!e.Empty()) {
            const InventorySlot& card = Inventory()[static_cast<size_t>(e.row)][static_cast<size_t>(e.column)];
            return PickUp({e.row, e.column}, card.remaining, place);
        }
        return;
    }
    if (m_combine->CombineLatch().Taken()) {
        const int result = m_req.combine.Check(Inventory());
        if (result != MSG_COMBINATION_OK) return Refuse(result);
        return Ask(PK_COMBINE_ITEMS, Text(MSG_COMBINATION_OK));
    }
    if (m_combine->CloseLatch().Taken() || host->Input().KeyReleased(platform::DIK_ESCAPE)) {
        m_req.combine.Reset();
        RefreshItemSlots(2);
        host->Ui().ShowWindow(m_combine, false);
        host->Ui().SendToBack(m_combine);
        return SetMode(PHASE_SHOP);
    }
    UpdateShop();
}

void CMarketScreen::RequestList(uint32_t kind, const std::string& name, int page) {
    m_req.listKind = kind;
    m_req.listName = name;
    m_req.listPage = page;
    SendItemRequest(PK_MARKET_LIST);
}

void CMarketScreen::EnterMarketMode() {
    CShopWindow& w = *m_shop;
    lobby::SetLabel(w.LeftTitle(), Text(MSG_MARKET));
    SetShown(w.ButtonAt(CShopWindow::BTN_SEARCH), true);
    w.ButtonAt(CShopWindow::BTN_MYMARKET)->SetCaption(Text(MSG_LOBBY_UI_BUTTON_SHOP));
    w.ButtonAt(CShopWindow::BTN_COMB)->SetCaption(Text(MSG_MARKET_REGISTRATION_OK));
    SetMode(PHASE_MARKET);
    w.SelectCategory(0);
    m_shopPage = 0;
    RequestList(0, "", 0);
}

void CMarketScreen::LeaveMarketMode() {
    IScreenHost* host = ScreenHost();
    CShopWindow& w = *m_shop;
    lobby::SetLabel(w.LeftTitle(), Text(MSG_LOBBY_UI_BUTTON_SHOP));
    host->Ui().ShowWindow(m_market, false);
    host->Ui().ShowWindow(m_search, false);
    SetShown(w.ButtonAt(CShopWindow::BTN_SEARCH), false);
    w.ButtonAt(CShopWindow::BTN_MYMARKET)->SetCaption(Text(MSG_MARKET));
    w.ButtonAt(CShopWindow::BTN_COMB)->SetCaption(Text(MSG_COMBINATION));
    SetMode(PHASE_SHOP);
    m_shopPage = 0;
    RefreshItemSlots(0);
}

void CMarketScreen::UpdateMarket() {
    IScreenHost* host = ScreenHost();
    CZEMDXInput& input = host->Input();
    CShopWindow& w = *m_shop;
    const bool escape = input.KeyReleased(platform::DIK_ESCAPE) != 0;
    if (Shown(m_market)) {
        NormaliseNumber(m_market->PriceEdit(), kPriceChars);
        m_market->RowLatch().Take();
        if (m_market->AcceptLatch().Taken()) {
            // No card dropped on the icon yet: there is nothing to register.
            if (!m_req.registration.Valid()) return;
            const int64_t price = NormaliseNumber(m_market->PriceEdit(), kPriceChars);
            int64_t fee = 0;
            const int refusal = CheckRegister(price, m_ownListings, &fee);
            if (refusal == MSG_MARKET_REGISTRATION_OVER)
                return lobby::ShowBox(FormatText(Text(refusal), kMarketMaxListings).c_str(), 1);
            if (refusal >= 0) return Refuse(refusal);
            m_req.registrationPrice = static_cast<int32_t>(price);
            return Ask(PK_MARKET_REGISTER, FormatText(Text(MSG_MARKET_REGISTRATION_BROKERAGE), fee, fee));
        }
        if (m_market->CancelLatch().Taken()) {
            m_req.chosenOwn = m_market->SelectedRow();
            if (m_req.chosenOwn < 0) return Refuse(MSG_MARKET_ITEM_REGISTRATION_CANCEL_SELECT);
            --m_ownListings;
            return Ask(PK_MARKET_CANCEL, Text(MSG_MARKET_ITEM_REGISTRATION_CANCEL));
        }
        if (m_market->QuitLatch().Taken() || escape) {
            m_req.ResetRegistration();
            host->Ui().ShowWindow(m_market, false);
            w.ButtonAt(CShopWindow::BTN_MYMARKET)->SetEnabled(1);
            RequestList(static_cast<uint32_t>(w.Category()), "", 0);
        }
        return;
    }
    if (Shown(m_search)) {
        if (m_search->OkLatch().Taken()) {
            const std::string name = m_search->Edit()->GetText();
            m_search->Close();
            if (name.empty()) {
                w.SelectCategory(-1);
                return RequestList(kMarketListByName, "", 0);
            }
            return RequestList(static_cast<uint32_t>(std::max(w.Category(), 0)), name, 0);
        }
        if (m_search->CancelLatch().Taken() || escape) m_search->Close();
        return;
    }
    if (host->Ui().Focus() == w.ChatEdit() && lobby::EnterPressed()) return UpdateChat();
    const int category = w.CategoryLatch().Take();
    if (category >= 0) {
        m_req.chosenListing = -1;
        return RequestList(static_cast<uint32_t>(category), "", 0);
    }
    auto taken = [&w](CShopWindow::Button b) { return w.ButtonLatch(b).Taken(); };
    if (taken(CShopWindow::BTN_BUY)) {
        // Only a place that shows a listing can be bought: an empty place or
        // a card this client does not know offers nothing.
        const int pick = w.ShopPick();
        const MarketRecord* listing = pick >= 0 ? &m_req.search[static_cast<size_t>(pick)] : nullptr;
        const ItemCatalogueEntry* record =
            listing && listing->cardId ? Registry().FindItemRecord(listing->cardId) : nullptr;
        m_req.chosenListing = record ? pick : -1;
        if (!record) return Refuse(MSG_OUTSHOP_SELECT_BUY_CARD);
        if (listing->seller == Session().nickname) return Refuse(MSG_MARKET_NOT_BUY_MY_REGISTRATION_ITEM);
        return Ask(PK_MARKET_BUY, FormatText(Text(MSG_OUTSHOP_BUY_CARD_QUESTION), card::Name(*record)));
    }
    if (taken(CShopWindow::BTN_COMB)) {
        w.ButtonAt(CShopWindow::BTN_MYMARKET)->SetEnabled(0);
        m_market->Reset();
        host->Ui().ShowWindow(m_market, true);
        host->Ui().BringToFront(m_market);
        host->Ui().SetFocus(m_market->PriceEdit());
        return RequestList(kMarketListOwn, "", 0);
    }
    if (taken(CShopWindow::BTN_SEARCH)) return m_search->Open();
    const bool next = taken(CShopWindow::BTN_SHOP_NEXT);
    const bool prev = taken(CShopWindow::BTN_SHOP_PREV);
    if (next || prev) {
        const int page = std::max(0, m_req.listPage + (next ? 1 : -1));
        if (page != m_req.listPage) RequestList(m_req.listKind, m_req.listName, page);
        return;
    }
    if (taken(CShopWindow::BTN_MYMARKET) || escape) return LeaveMarketMode();
}
