// The error path in a real window: in the lobby the server reports the same
// account logged in elsewhere (1041); the popup, a new login screen on its
// OK, the old connection closed, and a second login that works.
#include <string>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "screens/lobby/LobbyScreen.h"
#include "screens/lobby/LoginScreen.h"
#include "screens/lobby/NicknameScreen.h"
#include "tests/window/EndToEndFixture.h"
#include "ui/UiManager.h"

namespace {

// A shorter run: the logos are the main road's.
class EndToEndErrorPath : public EndToEndFixture {
protected:
    EndToEndErrorPath() { startWithLogos = false; }
};

TEST_F(EndToEndErrorPath, DuplicateLoginEndsInThePopupAndANewLogin) {
    ASSERT_NO_FATAL_FAILURE(StartUp());
    ASSERT_NO_FATAL_FAILURE(LogIn("tester01", "secret12", {{"hero1", 3}}));
    CLobbyScreen* lobby = JoinFirstChannel("hero1");
    ASSERT_NE(lobby, nullptr);
    ASSERT_FALSE(HasFatalFailure());

    scenario.DuplicateLogin();
    Until("the popup shows the duplicate login", [&] { return lobby->Phase() == CScreen::kPhaseErrorPopup; });
    EXPECT_EQ(app->MessageBox().Text(), GetMessageText(MSG_LOGIN_SAME_ID));
    // The old connection is closed before the popup's answer.
    ASSERT_TRUE(scenario.WaitIdle());
    NoServerFailures();
    EXPECT_FALSE(app->Net().IsConnected());

    ASSERT_TRUE(ClickControl("ID_BTN_OK", app->Ui().MessageBox()));
    CLoginScreen* second = nullptr;
    Until("a new login screen follows the popup",
          [&] { return (second = CurrentAs<CLoginScreen>()) && second->Shown(); });
    EXPECT_EQ(ErrorReport().Text(), GetMessageText(MSG_LOGIN_SAME_ID));

    ASSERT_NO_FATAL_FAILURE(LogIn("tester01", "secret12", {{"hero1", 3}}));
    EXPECT_NE(CurrentAs<CNicknameScreen>(), nullptr);
}

}  // namespace
