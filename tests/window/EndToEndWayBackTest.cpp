// The way back in a real window: from the lobby to the market (its
// inventory pushed by the server), on to my-info, and back to the lobby,
// which then asks only for its room page.
#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "net/MessageIds.h"
#include "screens/lobby/LobbyScreen.h"
#include "screens/lobby/MarketScreen.h"
#include "screens/lobby/MyInfoScreen.h"
#include "tests/screens/lobby/LobbyFlow.h"
#include "tests/servers/MarketPackets.h"
#include "tests/window/EndToEndFixture.h"
#include "tools/SampleCards.h"

namespace {

// A shorter run: the logos are the main road's.
class EndToEndWayBack : public EndToEndFixture {
protected:
    EndToEndWayBack() { startWithLogos = false; }
};

TEST_F(EndToEndWayBack, LobbyMarketMyInfoAndBackToTheLobby) {
    ASSERT_NO_FATAL_FAILURE(StartUp());
    ASSERT_NO_FATAL_FAILURE(LogIn("tester01", "secret12", {{"hero1", 3}}));
    CLobbyScreen* lobby = JoinFirstChannel("hero1");
    ASSERT_NE(lobby, nullptr);
    ASSERT_FALSE(HasFatalFailure());

    // The shop button sends 1031; the market comes up and the server pushes its inventory.
    ItemResultSpec inventory;
    inventory.inventory[0][0] = {sample_cards::kDayCard, 1, 0, 100};
    inventory.cra = 5000;
    scenario.GoToMarket(ItemResultPayload(PK_INVENTORY_MOVE_RESULT, inventory));
    ASSERT_TRUE(ClickControl("ID_BUTTON_SHOP"));
    ASSERT_TRUE(Until("the market shows its inventory", [&] {
        auto* market = CurrentAs<CMarketScreen>();
        return market && market->Phase() == CMarketScreen::PHASE_SHOP &&
               Session().inventory[0][0].cardId == sample_cards::kDayCard;
    }));
    ASSERT_TRUE(scenario.WaitIdle());
    NoServerFailures();

    // My-info from the market, its first hero shown.
    ASSERT_TRUE(ClickControl("ID_BUTTON_SHOP_MYINFO"));
    CMyInfoScreen* page = nullptr;
    ASSERT_TRUE(Until("my-info follows the market", [&] {
        page = CurrentAs<CMyInfoScreen>();
        return page && page->Phase() == CMyInfoScreen::PHASE_PAGE;
    }));
    Frames(2);
    ASSERT_TRUE(ClickControl("ID_BUTTON_CHA_0"));
    EXPECT_EQ(page->ShownIndex(), 0);
    ASSERT_NO_FATAL_FAILURE(ExpectHeroPreview());

    // Back: 1032, and the lobby asks for its page (1005) without entering again (2005).
    scenario.ExpectBackToLobby();
    scenario.ReturnToLobby({Room(4, "Beginners")});
    ASSERT_TRUE(ClickControl("ID_BUTTON_BACK"));
    ASSERT_TRUE(Until("the lobby returns", [&] {
        lobby = CurrentAs<CLobbyScreen>();
        return lobby && lobby->Phase() == CLobbyScreen::PHASE_LOBBY && !lobby->Busy();
    }));
    ASSERT_TRUE(scenario.WaitIdle());
    NoServerFailures();
    EXPECT_EQ(scenario.ChannelCount(PK_GO_TO_SHOP), 1);
    EXPECT_EQ(scenario.ChannelCount(PK_BACK_TO_LOBBY), 1);
    EXPECT_EQ(scenario.ChannelCount(PK_ROOM_LIST_REQUEST), 2);
    EXPECT_EQ(scenario.ChannelCount(PK_LOBBY_ENTER), 1);
    EXPECT_TRUE(ErrorReport().Text().empty()) << ErrorReport().Text();
}

}  // namespace
