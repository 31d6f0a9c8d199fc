// The market on the real client loop against the fake game server: the shop
// list from the sample cards, a confirmed purchase answered with the new
// inventory, a prize card opened, the player market's list and search, the
// way out to the lobby or back to the room, and refused or hostile replies.
#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageBoxHost.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "net/MessageIds.h"
#include "platform/Input.h"
#include "screens/game/ImageBoxWindow.h"
#include "screens/lobby/CombineWindow.h"
#include "screens/lobby/CardRecord.h"
#include "screens/lobby/MarketOverlay.h"
#include "screens/lobby/MarketScreen.h"
#include "screens/lobby/MarketWindows.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/servers/MarketPackets.h"
#include "tools/SampleCards.h"
#include "tools/SampleGameData.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiStatic.h"
#include "world/GameDataRegistry.h"

namespace sc = sample_cards;

namespace {

class MarketFlow : public LobbyFixture {
protected:
    static inline int s_lobbies = 0;
    static inline int s_rooms = 0;
    void SetUp() override {
        AppFixture::SetUp();
        game.SetExpectTimeout(10000);
        s_lobbies = s_rooms = 0;
        SetLoginScreenMaker([]() -> CScreen* { return new CScriptedScreen("Login", nullptr, {}); });
        SetLobbyScreenMaker([]() -> CScreen* {
            ++s_lobbies;
            return new CScriptedScreen("Lobby", nullptr, {});
        });
        SetWaitRoomScreenMaker([]() -> CScreen* {
            ++s_rooms;
            return new CScriptedScreen("Room", nullptr, {});
        });
        MakeApp();
        app->SetFirstScreenMaker([] { return NewMarketScreen(); });
        ASSERT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
        ASSERT_EQ(g_pPlayResources->Load(), 1) << ErrorReport().Text();
        ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
        Session().nickname = "me";
        Session().wentToMarket = fromRoom;
        Session().money = 1000;
        Session().inventory[0][0] = {sc::kPrizeCard, 0, 3, 0};
        Session().inventory[0][1] = {sc::kDayCard, 1, 0, 100};
        game.Accept();
        for (uint16_t id : {PK_BACK_TO_LOBBY, PK_CHAT_LINE, PK_SHOP_BUY_CARD, PK_SHOP_OPEN_PRIZE_CARD, PK_MARKET_LIST})
            game.On(id);
        ASSERT_EQ(app->Net().Connect(game.Host(), game.Port()), 1) << ErrorReport().Text();
        ASSERT_TRUE(RunUntil([&] { return Market() && Market()->Phase() == CMarketScreen::PHASE_SHOP; }))
            << ErrorReport().Text();
    }
    void TearDown() override {
        SetWaitRoomScreenMaker(nullptr);
        SetLoginScreenMaker(nullptr);
        LobbyFixture::TearDown();
    }
    CMarketScreen* Market() { return CurrentAs<CMarketScreen>(); }
    CShopWindow& Shop() { return *Market()->Shop(); }
    void Click(CUiWindow* window, const std::string& control) {
        window->OnLButtonClick(window->FindChild(NameHash(control.c_str())));
        Frames(2);
    }
    int Count(uint16_t id) const {
        int n = 0;
        for (const FakePacket& p : game.Received()) n += p.id == id;
        return n;
    }
    std::vector<uint8_t> Last(uint16_t id) const {
        std::vector<uint8_t> last;
        for (const FakePacket& p : game.Received())
            if (p.id == id) last = p.payload;
        return last;
    }
    // Answers the question on screen and runs until the request is out.
    void Confirm() {
        app->MessageBox().SetResult(1);
        Frames(40);
    }
    void NoFailures() {
        for (const std::string& f : game.Failures()) ADD_FAILURE() << f;
    }

    bool fromRoom = false;
};

class MarketFromRoom : public MarketFlow {
protected:
    void SetUp() override {
        fromRoom = true;
        MarketFlow::SetUp();
    }
};

}  // namespace

TEST_F(MarketFlow, BuysFromTheShopAfterTheQuestionsDelay) {
    // Category 1: the day card, the sold-out card, the bundle and the prize card; the hidden one is not listed.
    EXPECT_EQ(Shop().ShopPlace(0).name->GetText(), "Day card x5");
    EXPECT_EQ(Shop().ShopPlace(0).data->GetText(), "100 Cra");
    EXPECT_EQ(Market()->ShopCodes()[3], sc::kShopPrize);
    EXPECT_EQ(Market()->ShopCodes()[4], 0u);
    EXPECT_EQ(Shop().ShopPage()->GetText(), "1 / 1");
    // Category 4 lists category 3's entries too.
    Click(&Shop(), "ID_CHBUTTON_SHOP_CATEGORY4");
    EXPECT_EQ(Shop().ShopPlace(0).data->GetText(), "300 Cra & 30 Cash");
    EXPECT_EQ(Shop().ShopPlace(1).name->GetText(), "Game card x3");
    Click(&Shop(), "ID_CHBUTTON_SHOP_CATEGORY1");

    ItemResultSpec reply;
    reply.inventory = Session().inventory;
    reply.inventory[2][0] = {sc::kDayCard, 0, 0, 0};
    reply.cra = 900;
    game.On(PK_SHOP_BUY_CARD, [reply](const FakePacket&) {
        return std::vector<FakePacket>{{PK_SHOP_BUY_CARD_RESULT, ItemResultPayload(PK_SHOP_BUY_CARD_RESULT, reply)}};
    });
    Click(&Shop(), "ID_CHECKBUTTON_SHOP_ITEM1");
    Click(&Shop(), "ID_BUTTON_BUY");
    ASSERT_TRUE(app->MessageBox().Visible());
    EXPECT_EQ(Market()->PendingId(), PK_SHOP_BUY_CARD);
    // Answered at once: nothing goes out before the 0.3 s have run.
    app->MessageBox().SetResult(1);
    app->RenderStep();
    EXPECT_EQ(Count(PK_SHOP_BUY_CARD), 0);
    ASSERT_TRUE(RunUntil([&] { return Count(PK_SHOP_BUY_CARD) == 1; }));
    EXPECT_EQ(Last(PK_SHOP_BUY_CARD), (std::vector<uint8_t>{1, 0, 0, 0}));
    ASSERT_TRUE(RunUntil([&] { return Session().money == 900 && !Market()->Waiting(); }));
    EXPECT_EQ(Session().inventory[2][0].cardId, sc::kDayCard);

    // A sold-out entry is refused once confirmed, and nothing is sent.
    Click(&Shop(), "ID_CHECKBUTTON_SHOP_ITEM2");
    Click(&Shop(), "ID_BUTTON_BUY");
    Confirm();
    EXPECT_EQ(Count(PK_SHOP_BUY_CARD), 1);
    EXPECT_TRUE(app->MessageBox().Visible());
    NoFailures();
}

TEST_F(MarketFlow, OpensAPrizeCardAndShowsTheWin) {
    ItemResultSpec reply;
    reply.cra = 1000;
    reply.prize = 500;
    game.On(PK_SHOP_OPEN_PRIZE_CARD, [reply](const FakePacket&) {
        return std::vector<FakePacket>{{PK_PRIZE_CARD_RESULT, ItemResultPayload(PK_PRIZE_CARD_RESULT, reply)}};
    });
    // The expired day card cannot be used.
    Click(&Shop(), "ID_CHECKBUTTON_INVEN_ITEM2");
    Click(&Shop(), "ID_BUTTON_USE");
    EXPECT_EQ(Market()->PendingId(), 0);
    EXPECT_TRUE(app->MessageBox().Visible());
    app->MessageBox().SetResult(1);
    Frames(3);
    EXPECT_TRUE(Shop().InventoryPlace(1).data->GetText().empty());

    Click(&Shop(), "ID_CHECKBUTTON_INVEN_ITEM1");
    Click(&Shop(), "ID_BUTTON_USE");
    EXPECT_EQ(Market()->PendingId(), PK_SHOP_OPEN_PRIZE_CARD);
    Confirm();
    ASSERT_TRUE(RunUntil([&] { return Market()->ResultShown(); }));
    EXPECT_EQ(Last(PK_SHOP_OPEN_PRIZE_CARD), (std::vector<uint8_t>{1, 1, 0x04, 0x43, 0x69, 0xb3}));
    EXPECT_EQ(Market()->LastResult().image, "CRA.DDS");
    ASSERT_NE(Market()->ImageBox()->image, nullptr);
    EXPECT_EQ(Market()->ImageBox()->image->ImageName(), "CRA.DDS");
    EXPECT_EQ(Session().money, 1500);
    // The reply's inventory is not taken for an amount won.
    EXPECT_EQ(Session().inventory[0][0].cardId, 0u);
    EXPECT_EQ(Session().inventory[0][1].cardId, sc::kDayCard);
    // Enter closes the box.
    Tap(platform::DIK_RETURN);
    EXPECT_FALSE(Market()->ResultShown());
    NoFailures();
}

TEST_F(MarketFlow, SearchesThePlayerMarketInKorean) {
    MarketSearchPage page{};
    page[0] = {"Seller", sc::kJewel2, 700, 10, 1, 2, 3};
    page[1] = {"Ghost", 0xFFFFFFFFu, 1, 1, 0, 0, 0};
    game.On(PK_MARKET_LIST, [page](const FakePacket&) {
        return std::vector<FakePacket>{{PK_MARKET_LIST_RESULT, MarketListPayload(0, page, {})}};
    });
    Click(&Shop(), "ID_BUTTON_MYMARKET");
    ASSERT_TRUE(RunUntil([&] { return Count(PK_MARKET_LIST) == 1 && !Market()->Waiting(); }));
    EXPECT_EQ(Market()->Phase(), CMarketScreen::PHASE_MARKET);
    EXPECT_EQ(Shop().ShopPlace(0).name->GetText(), "Jewel II");
    // The unknown card's place stays hidden and the page is marked.
    EXPECT_TRUE(Shop().ShopPlace(1).name->HasFlags(UI_HIDDEN));
    EXPECT_FALSE(Market()->SearchPageValid());

    Click(&Shop(), "ID_BUTTON_SEARCH");
    const std::string jewel = "\xba\xb8\xbc\xae";  // "보석" in code page 949
    Market()->Search()->Edit()->SetText(jewel.c_str());
    Click(Market()->Search(), "ID_BUTTON_SEARCH");
    ASSERT_TRUE(RunUntil([&] { return Count(PK_MARKET_LIST) == 2; }));
    const std::vector<uint8_t> request = Last(PK_MARKET_LIST);
    ASSERT_EQ(request.size(), 58u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(request.data() + 4)), jewel);

    // A sale notice while the registration window is closed asks for no list.
    game.Send(PK_MARKET_ITEM_SOLD, MarketSoldPayload(sc::kJewel2, 4242));
    ASSERT_TRUE(RunUntil([&] { return Session().money == 4242; }));
    Frames(5);
    EXPECT_EQ(Count(PK_MARKET_LIST), 2);

    Click(&Shop(), "ID_BUTTON_MYMARKET");
    EXPECT_EQ(Market()->Phase(), CMarketScreen::PHASE_SHOP);
    NoFailures();
}

TEST_F(MarketFlow, ChatStaysLocalAndExitGoesBackToTheLobby) {
    Shop().ChatEdit()->SetText("hello");
    app->Ui().SetFocus(Shop().ChatEdit());
    Tap(platform::DIK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return Shop().ChatList()->ItemCount() > 0; }));
    EXPECT_EQ(Count(PK_CHAT_LINE), 0);
    app->Ui().SetFocus(nullptr);
    Click(&Shop(), "ID_BUTTON_SHOP_EXIT");
    ASSERT_TRUE(RunUntil([&] { return s_lobbies == 1; }));
    EXPECT_EQ(Count(PK_BACK_TO_LOBBY), 1);
    EXPECT_TRUE(Session().returnedToLobby);
    NoFailures();
}

TEST_F(MarketFlow, FatalRefusalOpensTheErrorPopup) {
    std::vector<uint8_t> cut(100, 0);
    cut[1] = 28;
    game.Send(PK_SHOP_BUY_CARD_RESULT, cut);
    ASSERT_TRUE(RunUntil([&] { return Market() && Market()->Phase() >= CScreen::kPhaseErrorPopup; }));
}

TEST_F(MarketFromRoom, HidesTheLobbyButtonsAndReturnsToTheRoom) {
    EXPECT_TRUE(Shop().ButtonAt(CShopWindow::BTN_MYMARKET)->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(Shop().ButtonAt(CShopWindow::BTN_SHOP_MYINFO)->HasFlags(UI_HIDDEN));
    Click(&Shop(), "ID_BUTTON_SHOP_EXIT");
    ASSERT_TRUE(RunUntil([&] { return s_rooms == 1; }));
    EXPECT_EQ(Count(PK_BACK_TO_LOBBY), 0);
    EXPECT_TRUE(Session().roomRefresh);
    NoFailures();
}

TEST_F(MarketFlow, DragsStacksAndCombines) {
    for (uint16_t id : {PK_STACK_ITEM, PK_INVENTORY_MOVE, PK_COMBINE_ITEMS}) game.On(id);
    Session().inventory[0][2] = {sc::kCountCard, 1, 1, 4};
    Session().inventory[0][3] = {sc::kCountCard, 0, 1, 6};
    Session().inventory[1][0] = {sc::kBaseCard + 4, 0, 3, 0};
    Session().inventory[1][1] = {sc::kJewel2, 0, 3, sc::kJewelStack};
    Market()->RefreshItemSlots(1);
    auto drag = [&](int place) {
        Shop().OnDrag(Shop().FindChild(NameHash(("ID_CHECKBUTTON_INVEN_ITEM" + std::to_string(place)).c_str())));
        Frames(2);
    };
    // Two partial stacks of the same count card: a stack request with the held count.
    drag(3);
    ASSERT_EQ(Market()->Phase(), CMarketScreen::PHASE_HELD);
    // The card's icon rides on the cursor until it is dropped.
    const CMarketHeldItemWindow& held = *Market()->HeldWindow();
    EXPECT_TRUE(held.Holding());
    ASSERT_NE(held.Image(), nullptr);
    EXPECT_EQ(held.Image()->Name(), card::Icon(*g_pGameDataRegistry->FindItemRecord(sc::kCountCard)));
    Click(&Shop(), "ID_CHECKBUTTON_INVEN_ITEM4");
    EXPECT_FALSE(held.Holding());
    EXPECT_EQ(held.Image(), nullptr);
    ASSERT_TRUE(RunUntil([&] { return Count(PK_STACK_ITEM) == 1; }));
    EXPECT_EQ(Last(PK_STACK_ITEM), (std::vector<uint8_t>{1, 3, 4, 0x12, 0xe6, 0x35, 0x77, 1, 4}));
    EXPECT_EQ(Market()->Phase(), CMarketScreen::PHASE_SHOP);
    Market()->ClearRequestPending();
    // Onto an empty slot: a move.
    drag(3);
    Click(&Shop(), "ID_CHECKBUTTON_INVEN_ITEM6");
    ASSERT_TRUE(RunUntil([&] { return Count(PK_INVENTORY_MOVE) == 1; }));
    EXPECT_EQ(Last(PK_INVENTORY_MOVE), (std::vector<uint8_t>{1, 3, 1, 6}));
    Market()->ClearRequestPending();

    // The second row: a level-4 base card and the jewel it needs, combined.
    Click(&Shop(), "ID_BUTTON_INVEN_NEXT");
    EXPECT_EQ(Market()->InventoryRow(), 1);
    Click(&Shop(), "ID_BUTTON_COMB");
    ASSERT_EQ(Market()->Phase(), CMarketScreen::PHASE_COMBINE);
    drag(1);
    Click(Market()->Combine(), "ID_CHECKBUTTON_COMBI_ITEM1");
    drag(2);
    Click(Market()->Combine(), "ID_CHECKBUTTON_COMBI_ITEM2");
    EXPECT_FALSE(Market()->Requests().combine.At(1).Empty());
    // A card placed in the combination cannot be picked again from the inventory.
    drag(1);
    EXPECT_EQ(Market()->Phase(), CMarketScreen::PHASE_COMBINE);
    Click(Market()->Combine(), "ID_BUTTON_COMB");
    EXPECT_EQ(Market()->PendingId(), PK_COMBINE_ITEMS);
    Confirm();
    ASSERT_TRUE(RunUntil([&] { return Count(PK_COMBINE_ITEMS) == 1; }));
    const std::vector<uint8_t> combine = Last(PK_COMBINE_ITEMS);
    ASSERT_EQ(combine.size(), 55u);
    EXPECT_EQ(combine[0], 0);
    EXPECT_EQ(combine[5], 2);  // the base card's row + 1
    EXPECT_EQ(combine[6], 1);
    EXPECT_EQ(combine[11], 2);  // the jewel's row + 1
    EXPECT_EQ(combine[12], 2);
    // The reply's unknown card shows as nothing made, and the places empty.
    ItemResultSpec made;
    made.createdId = 0xFFFFFFFFu;
    game.Send(PK_COMBINE_ITEMS_RESULT, ItemResultPayload(PK_COMBINE_ITEMS_RESULT, made));
    ASSERT_TRUE(RunUntil([&] { return Market()->ResultShown(); }));
    EXPECT_EQ(Market()->LastResult().image, "CRAP.DDS");
    for (int i = 0; i < 9; ++i) EXPECT_TRUE(Market()->Requests().combine.At(i).Empty());
    NoFailures();
}

TEST_F(MarketFlow, BuysOnlyAShownListingAndRegistersOnlyAChosenCard) {
    game.On(PK_MARKET_BUY);
    MarketSearchPage page{};
    page[0] = {"Seller", sc::kJewel2, 700, 10, 1, 2, 3};
    page[1] = {"Ghost", 0xFFFFFFFFu, 1, 1, 0, 0, 0};
    page[2] = {"me", sc::kJewel2, 800, 10, 4, 5, 6};
    game.On(PK_MARKET_LIST, [page](const FakePacket&) {
        return std::vector<FakePacket>{{PK_MARKET_LIST_RESULT, MarketListPayload(0, page, {})}};
    });
    Click(&Shop(), "ID_BUTTON_MYMARKET");
    ASSERT_TRUE(RunUntil([&] { return Count(PK_MARKET_LIST) == 1 && !Market()->Waiting(); }));
    auto buyAt = [&](const char* place) {
        Click(&Shop(), place);
        Click(&Shop(), "ID_BUTTON_BUY");
    };
    auto refusedWith = [&](int entry) {
        const bool refused = app->MessageBox().Visible() && app->MessageBox().Text() == GetMessageText(entry) &&
                             Market()->PendingId() == 0;
        app->MessageBox().HideBox();
        return refused;
    };
    // Nothing picked, the unknown card's hidden place, an empty place, and the own listing.
    Click(&Shop(), "ID_BUTTON_BUY");
    EXPECT_TRUE(refusedWith(MSG_OUTSHOP_SELECT_BUY_CARD));
    buyAt("ID_CHECKBUTTON_SHOP_ITEM2");
    EXPECT_TRUE(refusedWith(MSG_OUTSHOP_SELECT_BUY_CARD));
    buyAt("ID_CHECKBUTTON_SHOP_ITEM5");
    EXPECT_TRUE(refusedWith(MSG_OUTSHOP_SELECT_BUY_CARD));
    buyAt("ID_CHECKBUTTON_SHOP_ITEM3");
    EXPECT_TRUE(refusedWith(MSG_MARKET_NOT_BUY_MY_REGISTRATION_ITEM));
    buyAt("ID_CHECKBUTTON_SHOP_ITEM1");
    EXPECT_EQ(Market()->PendingId(), PK_MARKET_BUY);
    Confirm();
    ASSERT_TRUE(RunUntil([&] { return Count(PK_MARKET_BUY) == 1; }));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Last(PK_MARKET_BUY).data())), "Seller");
    Market()->ClearRequestPending();
    // A new page drops the choice: other listings stand under the places now.
    Click(&Shop(), "ID_CHECKBUTTON_SHOP_ITEM1");
    Click(&Shop(), "ID_BUTTON_SHOP_NEXT");
    ASSERT_TRUE(RunUntil([&] { return Count(PK_MARKET_LIST) == 2 && !Market()->Waiting(); }));
    EXPECT_EQ(Shop().ShopPick(), -1);
    EXPECT_FALSE(Shop().ShopPlace(0).button->Checked());

    // The registration window: Accept before a card is dropped on its icon does nothing.
    Click(&Shop(), "ID_BUTTON_COMB");
    ASSERT_TRUE(RunUntil([&] { return Count(PK_MARKET_LIST) == 3 && !Market()->Waiting(); }));
    Market()->Market()->PriceEdit()->SetText("500");
    Click(Market()->Market(), "ID_BUTTON_ACCEPT");
    EXPECT_FALSE(app->MessageBox().Visible());
    EXPECT_EQ(Market()->PendingId(), 0);
    // With the prize card dropped there, Accept asks about the fee.
    Shop().OnDrag(Shop().FindChild(NameHash("ID_CHECKBUTTON_INVEN_ITEM1")));
    Frames(2);
    ASSERT_EQ(Market()->Phase(), CMarketScreen::PHASE_HELD);
    Click(Market()->Market(), "ID_BUTTON_ICON");
    EXPECT_TRUE(Market()->Requests().registration.Valid());
    Market()->Market()->PriceEdit()->SetText("500");
    Click(Market()->Market(), "ID_BUTTON_ACCEPT");
    EXPECT_EQ(Market()->PendingId(), PK_MARKET_REGISTER);
    NoFailures();
}
