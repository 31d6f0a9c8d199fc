// The make-room and quick-join choices: their bounds, the level texts and the
// checks of a new room's title and password.
#include <gtest/gtest.h>

#include "engine/core/MessageTable.h"
#include "screens/lobby/RoomSettings.h"

namespace {

struct Texts {
    Texts() {
        messages.SetMsg(MSG_LOBBY_NO_LIMIT_LEVEL, "no limit");
        messages.SetMsg(MSG_LOBBY_NO_LIMIT_LEVEL_MESSAGE, "anyone");
        messages.SetMsg(MSG_LOBBY_LIMIT_LEVEL_MESSAGE2, "%s to %s");
        messages.SetMsg(MSG_LOBBY_MAX_ROOMNAME, "title over %d");
        messages.SetMsg(MSG_LOBBY_MAX_ROOMPASS, "password over %d");
    }
    CMessageTable messages;
};

TEST(RoomSettings, ChoicesStayWithinTheirBounds) {
    CRoomSettings make(4), quick(0);
    for (int i = 0; i < 10; ++i) {
        make.RaiseChoice();
        quick.RaiseChoice();
        make.RaiseMode();
    }
    EXPECT_EQ(make.Choice(), 4);
    EXPECT_EQ(quick.Choice(), 0);
    EXPECT_EQ(make.Mode(), 1);
    EXPECT_FALSE(make.RandomTeamEnabled());
    for (int i = 0; i < 10; ++i) {
        make.LowerChoice();
        quick.LowerChoice();
        make.LowerMode();
    }
    EXPECT_EQ(make.Choice(), -1);
    EXPECT_EQ(quick.Choice(), -1);
    EXPECT_EQ(make.Mode(), 0);
    EXPECT_TRUE(make.RandomTeamEnabled());
}

TEST(RoomSettings, LevelTextsNameTheRanksOfTheRange) {
    Texts texts;
    std::vector<std::string> names;
    for (int i = 1; i <= 100; ++i) names.push_back("R" + std::to_string(i));
    CRoomSettings make(4);
    std::string range, info;
    make.LevelTexts(98, names, &range, &info);
    EXPECT_EQ(range, "no limit");
    EXPECT_EQ(info, "anyone");
    for (int i = 0; i < 5; ++i) make.RaiseChoice();
    make.LevelTexts(98, names, &range, &info);
    EXPECT_EQ(range, "Rk.93 ~ Rk.100");
    EXPECT_EQ(info, "R93 to R100");
    // A short name list and a hostile rank give empty names, never a read past the list.
    make.LevelTexts(500, {"only"}, &range, &info);
    EXPECT_EQ(range, "Rk.95 ~ Rk.100");
    EXPECT_EQ(info, " to ");
}

TEST(RoomSettings, TitleAndPasswordChecks) {
    Texts texts;
    std::string message;
    EXPECT_EQ(CheckRoomInput("", "", &message), ROOM_INPUT_NO_TITLE);
    EXPECT_EQ(message, "");
    EXPECT_EQ(CheckRoomInput(std::string(30, 't'), std::string(12, 'p'), &message), ROOM_INPUT_OK);
    EXPECT_EQ(CheckRoomInput(std::string(31, 't'), "", &message), ROOM_INPUT_TITLE_TOO_LONG);
    EXPECT_EQ(message, "title over 30");
    EXPECT_EQ(CheckRoomInput("room", std::string(13, 'p'), &message), ROOM_INPUT_PASSWORD_TOO_LONG);
    EXPECT_EQ(message, "password over 12");
}

}  // namespace
