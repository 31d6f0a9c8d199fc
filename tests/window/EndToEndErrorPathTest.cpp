// The error path in a real window: in the lobby the server reports the same
// account logged in elsewhere (1041); the popup, a new login screen on its
// OK, the old connection closed, and a second login that works.
#include <fstream>
#include <iterator>
#include <string>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "screens/lobby/LobbyScreen.h"
#include "screens/lobby/LoginScreen.h"
#include "screens/lobby/NicknameScreen.h"
#include "tests/fixtures/TempFolder.h"
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
    ASSERT_TRUE(
        Until("the popup shows the duplicate login", [&] { return lobby->Phase() == CScreen::kPhaseErrorPopup; }));
    EXPECT_EQ(app->MessageBox().Text(), GetMessageText(MSG_LOGIN_SAME_ID));
    // The old connection is closed before the popup's answer.
    ASSERT_TRUE(scenario.WaitIdle());
    NoServerFailures();
    EXPECT_FALSE(app->Net().IsConnected());

    ASSERT_TRUE(ClickControl("ID_BTN_OK", app->Ui().MessageBox()));
    CLoginScreen* second = nullptr;
    ASSERT_TRUE(Until("a new login screen follows the popup",
                      [&] { return (second = CurrentAs<CLoginScreen>()) && second->Shown(); }));
    EXPECT_EQ(ErrorReport().Text(), GetMessageText(MSG_LOGIN_SAME_ID));

    ASSERT_NO_FATAL_FAILURE(LogIn("tester01", "secret12", {{"hero1", 3}}));
    EXPECT_NE(CurrentAs<CNicknameScreen>(), nullptr);
}

// What a failed step leaves: the screen as a JPEG and every packet the servers received.
TEST_F(EndToEndErrorPath, AFailedStepLeavesItsScreenAndPacketLog) {
    ASSERT_NO_FATAL_FAILURE(StartUp());
    ASSERT_NO_FATAL_FAILURE(LogIn("tester01", "secret12", {}));
    Frames(2);
    TempFolder folder;
    WriteArtefacts(folder.path());
    std::ifstream shot(folder.Path("screen.jpg"), std::ios::binary);
    char magic[2] = {};
    shot.read(magic, 2);
    EXPECT_EQ(static_cast<uint8_t>(magic[0]), 0xFF);
    EXPECT_EQ(static_cast<uint8_t>(magic[1]), 0xD8);
    std::ifstream in(folder.Path("packets.txt"));
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find("screen CNicknameScreen"), std::string::npos) << log;
    EXPECT_NE(log.find("login 2000 96: "), std::string::npos) << log;
    EXPECT_NE(log.find("game 2002 53: 74 65 73 74"), std::string::npos) << log;
}

}  // namespace
