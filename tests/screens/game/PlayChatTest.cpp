// The chat box of a match on the sample map: the list's fade, the Enter key
// and the chat line, how a typed line travels (at once offline, as a CMD_CHAT
// record and its echo online) and the rules of the CMD_CHAT handler.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "commands/CommandRecords.h"
#include "commands/GameCommandManager.h"
#include "engine/core/MessageTable.h"
#include "net/ChatInputProcess.h"
#include "screens/game/PlayChatWindow.h"
#include "tests/fixtures/SampleTexts.h"
#include "tests/screens/game/PlayScreenFixture.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

using namespace platform;

namespace {

class PlayChatTest : public PlayScreenTest {
protected:
    void SetUp() override {
        PlayScreenTest::SetUp();
        session.nickname = "Me";
        for (int s = 0; s < 12; ++s) World().ownerTeam[s] = s < 6 ? 0 : 1;
        World().localTeam = 0;
    }
    CPlayChatWindow& Start(int gameMode = 1) {
        Make(gameMode);
        Step();
        EXPECT_NE(screen->ChatWindow(), nullptr);
        return *screen->ChatWindow();
    }
    // One frame with the keys down, one with them up again.
    void Press(std::initializer_list<uint8_t> keys) {
        for (uint8_t k : keys) input->SetKey(k, true);
        Step();
        for (uint8_t k : keys) input->SetKey(k, false);
        Step();
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> out;
        const CUiListBox& list = *screen->ChatWindow()->List();
        for (uint32_t i = 0; i < list.ItemCount(); ++i) out.push_back(list.ItemAt(i).text);
        return out;
    }
    // Advances the closed box's fade by seconds in half-second steps.
    void Idle(CPlayChatWindow& chat, float seconds) {
        for (float t = 0; t < seconds; t += 0.5f) chat.ProcessInput(0.5f, host.input);
    }

    SampleTexts texts;
};

TEST_F(PlayChatTest, TheClosedListFadesFromEightSecondsAndIsGoneAtEleven) {
    CPlayChatWindow& chat = Start();
    EXPECT_FLOAT_EQ(chat.ListTextAlpha(), 0.0f);
    chat.AddLine(0, "first");
    struct Point {
        float after, text, background;
    };
    // Seconds since the previous point.
    const Point timeline[] = {
        {0.0f, 1.0f, 0.2f}, {8.0f, 1.0f, 0.2f}, {1.5f, 1.5f * 0.333f, 0.15f}, {1.0f, 0.5f * 0.333f, 0.05f},
        {0.5f, 0.0f, 0.0f}, {5.0f, 0.0f, 0.0f},
    };
    float at = 0;
    for (const Point& p : timeline) {
        Idle(chat, p.after);
        at += p.after;
        SCOPED_TRACE(at);
        EXPECT_NEAR(chat.ListTextAlpha(), p.text, 1e-4f);
        EXPECT_NEAR(chat.ListBackgroundAlpha(), p.background, 1e-4f);
    }
    EXPECT_FLOAT_EQ(chat.IdleTime(), 0.0f);

    // A new line restarts the count: 7 s after it the list is still full.
    chat.AddLine(0, "second");
    Idle(chat, 5.0f);
    chat.AddLine(0, "third");
    Idle(chat, 7.0f);
    EXPECT_FLOAT_EQ(chat.ListTextAlpha(), 1.0f);
    // While the line is open the list never fades.
    chat.Open();
    Idle(chat, 20.0f);
    EXPECT_FLOAT_EQ(chat.ListTextAlpha(), 1.0f);
    chat.Close();
    Idle(chat, 11.0f);
    EXPECT_FLOAT_EQ(chat.ListTextAlpha(), 0.0f);
}

TEST_F(PlayChatTest, EnterOpensTheLineSendsItAndLeavesChatMode) {
    CPlayChatWindow& chat = Start();
    ASSERT_FALSE(chat.IsOpen());
    EXPECT_EQ(chat.AddresseeLabel()->GetText(), ChatTeamLabel());

    Press({DIK_RETURN});
    EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_CHAT);
    EXPECT_TRUE(chat.IsOpen());
    EXPECT_TRUE(chat.EditFocused());
    // An empty line only leaves chat mode.
    Press({DIK_RETURN});
    EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_NORMAL);
    EXPECT_FALSE(chat.IsOpen());
    EXPECT_EQ(g_pUiManager->Focus(), nullptr);
    EXPECT_TRUE(Lines().empty());

    // Shift with Enter speaks to all; offline the line shows at once, in white.
    Press({DIK_LSHIFT, DIK_RETURN});
    EXPECT_EQ(chat.Target(), CPlayChatWindow::TARGET_ALL);
    EXPECT_EQ(chat.AddresseeLabel()->GetText(), "To all");
    chat.Edit()->SetText("hello there");
    Press({DIK_RETURN});
    EXPECT_EQ(Lines(), std::vector<std::string>{"</C=ffffff>hello there"});
    EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_NORMAL);
    EXPECT_FALSE(chat.IsOpen());
    EXPECT_STREQ(chat.Edit()->GetText(), "");

    // Ctrl with Enter speaks to the team, in yellow; Tab switches while typing.
    Press({DIK_LCONTROL, DIK_RETURN});
    EXPECT_EQ(chat.Target(), CPlayChatWindow::TARGET_TEAM);
    Press({DIK_TAB});
    EXPECT_EQ(chat.Target(), CPlayChatWindow::TARGET_ALL);
    Press({DIK_TAB});
    chat.Edit()->SetText("team only");
    Press({DIK_RETURN});
    EXPECT_EQ(Lines().back(), "</C=ffff00>team only");

    // A line the word filter refuses keeps the line open with its text.
    session.words.Load({"darn"}, {});
    Press({DIK_RETURN});
    chat.Edit()->SetText("darn it");
    Press({DIK_RETURN});
    EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_CHAT);
    EXPECT_TRUE(chat.IsOpen());
    EXPECT_STREQ(chat.Edit()->GetText(), "darn it");
    EXPECT_EQ(Lines().size(), 2u);
    // Esc closes it and forgets the text.
    Press({DIK_ESCAPE});
    EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_NORMAL);
    EXPECT_FALSE(chat.IsOpen());
    EXPECT_STREQ(chat.Edit()->GetText(), "");

    // A click on the match closes the open line too.
    Press({DIK_RETURN});
    ASSERT_TRUE(chat.IsOpen());
    input->SetCursor(700, 100);
    input->SetButton(0, true);
    Step();
    input->SetButton(0, false);
    Step();
    EXPECT_FALSE(chat.IsOpen());
    EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_NORMAL);

    // Nobody chats in a replay.
    World().gameMode = 3;
    Press({DIK_RETURN});
    EXPECT_FALSE(chat.IsOpen());
}

// Online the line leaves as a CMD_CHAT record, cut to 127 bytes between two
// characters, and the sender sees it only when the server relays the frame.
TEST_F(PlayChatTest, OnlineTheOwnLineTravelsAsARecordAndShowsWithItsEcho) {
    CPlayChatWindow& chat = Start();
    World().gameMode = 0;
    World().online = 1;
    World().localSlot = 2;
    session.slots[2].nickname = "Me";
    std::array<int32_t, 12> teams{};
    for (int s = 0; s < 12; ++s) teams[static_cast<size_t>(s)] = s < 6 ? 0 : 1;
    float clock = 0;
    Commands().BeginSession(1, &clock, 0, 0, teams);

    const std::string hangul = "\xB0\xA1";  // one double-byte character
    struct Case {
        const char* what;
        std::string typed;
        size_t bytes;
    };
    std::string asciiFirst = "a", hangulOnly;
    for (int i = 0; i < 199; ++i) asciiFirst += hangul;
    for (int i = 0; i < 200; ++i) hangulOnly += hangul;
    const Case cases[] = {
        {"200 characters after one byte end on the 127th byte", asciiFirst, 127},
        {"200 double-byte characters end before a split one", hangulOnly, 126},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t shownBefore = Lines().size();
        screen->SetInputMode(CPlayScreen::INPUT_CHAT);
        chat.Open();
        chat.Edit()->SetText(c.typed.c_str());
        chat.SendLine();
        EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_NORMAL);
        EXPECT_EQ(Lines().size(), shownBefore);

        CommandFrame& frame = Commands().Frame(0);
        ASSERT_EQ(frame.Used(), CommandFrame::kHeaderSize + GameCommandSize(CMD_CHAT));
        const uint8_t* r = frame.Data() + CommandFrame::kHeaderSize;
        EXPECT_EQ(r[0], CMD_CHAT);
        EXPECT_EQ(r[1], 136);
        EXPECT_EQ(r[2], 2);  // the local slot
        EXPECT_EQ(r[3], 0);  // to the team
        const std::string sent(reinterpret_cast<const char*>(r + 4), c.bytes);
        EXPECT_EQ(sent, c.typed.substr(0, c.bytes));
        for (size_t i = 4 + c.bytes; i < 132; ++i) EXPECT_EQ(r[i], 0) << i;
        EXPECT_EQ(LoadU32(r + 132), CPlayChatWindow::kTeamColour);

        // The server's echo.
        std::vector<uint8_t> echo(frame.Data(), frame.Data() + frame.Used());
        Commands().ResetFrames();
        ASSERT_EQ(Commands().UnpackFrame(echo.data(), echo.size()), 1);
        screen->DispatchGameCommands(0.0f);
        ASSERT_EQ(Lines().size(), shownBefore + 1);
        EXPECT_EQ(Lines().back(), "</C=ffff00>Me : " + c.typed.substr(0, c.bytes));
    }
}

TEST_F(PlayChatTest, ChatRecordsByBlockTeamOperatorAndSystemSlot) {
    CPlayChatWindow& chat = Start();
    session.slots[1].nickname = "Ann";
    session.slots[3].nickname = "Pest";
    session.slots[4].nickname = "[GM]Ops";
    session.slots[7].nickname = "Bob";
    std::array<uint8_t, CCommunityLists::kBlockListBytes> blocked{};
    std::memcpy(blocked.data(), "Pest", 4);
    ASSERT_TRUE(session.community.SetBlockList(blocked.data(), blocked.size()));
    session.words.Load({"darn"}, {"(nice words)"});

    struct Case {
        const char* what;
        uint8_t slot, all;
        const char* text;
        uint32_t colour;
        const char* shown;  // null: nothing shown
    };
    const Case cases[] = {
        {"a team mate's team line in its colour", 1, 0, "go mid", 0xFFFF00, "</C=ffff00>Ann : go mid"},
        {"the other team's line to all", 7, 1, "gg", 0xFFFFFF, "</C=ffffff>Bob : gg"},
        {"the other team's team line stays hidden", 7, 0, "secret", 0xFFFF00, nullptr},
        {"a blocked sender says nothing", 3, 1, "spam", 0xFFFFFF, nullptr},
        {"an operator in magenta", 4, 1, "hello", 0xFFFFFF, "</C=ff00ff>[GM]Ops : hello"},
        {"another player's bad word drops the line", 7, 1, "darn", 0xFFFFFF, nullptr},
        {"slot 200 is a system line, uncoloured", 200, 0, "The gate opens", 0x123456, "The gate opens"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::string> before = Lines();
        ASSERT_NE(Commands().BuildChat(c.slot, c.all, c.text, c.colour, 0), nullptr);
        screen->DispatchGameCommands(0.0f);
        if (!c.shown) {
            EXPECT_EQ(Lines(), before);
            continue;
        }
        ASSERT_EQ(Lines().size(), before.size() + 1);
        EXPECT_EQ(Lines().back(), c.shown);
        EXPECT_FLOAT_EQ(chat.ListTextAlpha(), 1.0f);
    }

    // A field without its NUL ends after 127 bytes, never inside a character.
    CGameCommand* raw = Commands().BuildChat(1, 1, "", 0xFFFFFF, 0);
    ASSERT_NE(raw, nullptr);
    uint8_t* field = const_cast<uint8_t*>(raw->Bytes()) + kChatTextOffset;
    std::memset(field, 'x', kChatTextField);
    field[126] = 0xB0;  // a lead byte whose second byte would lie past the text
    screen->DispatchGameCommands(0.0f);
    EXPECT_EQ(Lines().back(), "</C=ffffff>Ann : " + std::string(126, 'x'));

    // After the end of the match lines still arrive; the match's own notices share the box.
    screen->SetGameOver(0, 1);
    Commands().BuildChat(1, 1, "wp", 0xFFFFFF, 0);
    screen->DispatchGameCommands(0.0f);
    EXPECT_EQ(Lines().back(), "</C=ffffff>Ann : wp");
    screen->AddPlayChatLine("Ann left the game.");
    EXPECT_EQ(Lines().back(), "Ann left the game.");
    EXPECT_EQ(screen->PlayChatLines().back(), "Ann left the game.");
}

}  // namespace
