#include <gtest/gtest.h>

#include "net/ChatCommand.h"
#include "net/ChatInput.h"
#include "net/ChatInputProcess.h"
#include "net/Nickname.h"
#include "platform/CodePage.h"
#include "tests/net/ChatFixture.h"

namespace {

std::string Cp(const char* utf8) { return platform::Utf8ToCp949(utf8); }

struct ParseCase {
    std::string line;
    std::string own;
    int command;
    std::string text, nickname, argument;
    int error = 0;
};

TEST_F(ChatTest, ParseChatCommandTable) {
    const std::string gm = "[GM]abcd", user = "abcde";
    const std::vector<ParseCase> cases = {
        {"hello", user, 0, "hello", "", ""},
        {"/a", user, 1, "", "", ""},
        {"/A", user, 1, "", "", ""},
        {Cp("/ㅁ"), user, 1, "", "", ""},
        {"/a hi there", user, 1, "hi there", "", ""},
        {Cp("/ㅁ hi"), user, 1, "hi", "", ""},
        {"/p", user, 2, "", "", ""},
        {Cp("/ㅔ team"), user, 2, "team", "", ""},
        {"/P x", user, 2, "x", "", ""},
        {"/r", user, 4, "", "", ""},
        {Cp("/ㄱ"), user, 4, "", "", ""},
        {"/R back", user, 4, "back", "", ""},
        {"/g", user, 5, "", "", ""},
        {Cp("/ㅎ guild"), user, 5, "guild", "", ""},
        {"/w abcd hello you", user, 3, "hello you", "abcd", ""},
        {"/W abcd", user, 3, "", "abcd", ""},
        {Cp("/ㅈ abcd ") + Cp("안녕"), user, 3, Cp("안녕"), "abcd", ""},
        {"/w abc hello", user, 19, "m266", "", "", MSG_CHAT_NOT_FOUND_NICK},
        {"/w ab-cd hello", user, 19, "m266", "", "", MSG_CHAT_NOT_FOUND_NICK},
        {"/fa abcd", user, 6, "abcd", "abcd", ""},
        {Cp("/ㄻ abcd"), user, 6, "abcd", "abcd", ""},
        {"/SQ abcd", user, 7, "abcd", "abcd", ""},
        {Cp("/ㄴㅂ abcd"), user, 7, "abcd", "abcd", ""},
        {"/sq ab", user, 19, "m266", "", "", MSG_CHAT_NOT_FOUND_NICK},
        {"/x something", user, 0, "/x something", "", ""},
        {"/w", user, 0, "/w", "", ""},
        // Operator commands are ordinary text for anybody else.
        {"/ban xyzw 3 y", user, 0, "/ban xyzw 3 y", "", ""},
        {"/currentuser", user, 0, "/currentuser", "", ""},
        {"/currentuser", gm, 16, "", "", ""},
        {"/currentuser x", gm, 0, "/currentuser x", "", ""},
        {"/ban ", gm, 0, "/ban ", "", ""},
        {"/ban xyzw 3 cheating", gm, 10, "cheating", "xyzw", ""},
        {"/ban xyzw 101 cheating", gm, 19, "m284", "", "", MSG_CHAT_MGR_USER_BAN_ERROR},
        {"/ban xyzw", gm, 19, "m284", "", "", MSG_CHAT_MGR_USER_BAN_ERROR},
        {"/ban xyzw 3", gm, 19, "m298", "", "", MSG_CHAT_MGR_REASON_ERROR},
        {"/killgame 12 bad game", gm, 8, "12", "", "bad game"},
        {"/killgame 1001 x", gm, 19, "m273", "", "", MSG_CHAT_MGR_KILLGAME_1000},
        {"/killgame 0 x", gm, 19, "m273", "", "", MSG_CHAT_MGR_KILLGAME_1000},
        {"/killgame 12", gm, 19, "m298", "", "", MSG_CHAT_MGR_REASON_ERROR},
        {"/roomcry 5", gm, 19, "m293", "", "", MSG_CHAT_MGR_ROOM_CRY_ERROR},
        {"/roomcry 5 hurry", gm, 12, "hurry", "", ""},
        {"/roomcry x5 hurry", gm, 19, "m273", "", "", MSG_CHAT_MGR_KILLGAME_1000},
        {"/usersearch xyzw", gm, 9, "xyzw", "xyzw", ""},
        {"/usersearch xy", gm, 19, "m266", "", "", MSG_CHAT_NOT_FOUND_NICK},
        {"/report xyzw spam", gm, 11, "spam", "xyzw", ""},
        {"/report xyzw", gm, 19, "m298", "", "", MSG_CHAT_MGR_REASON_ERROR},
        {"/chatoff xyzw rude", gm, 13, "rude", "xyzw", ""},
        {"/chaton xyzw ok", gm, 14, "ok", "xyzw", ""},
        {"/banoff xyzw sorry", gm, 17, "sorry", "xyzw", ""},
        {"/notice server restarts", gm, 15, "server restarts", "", ""},
        // A nickname longer than its field is refused, never copied.
        {"/w abcdefghijklmnopq hi", user, 19, "m266", "", "", MSG_CHAT_NOT_FOUND_NICK},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.line + " by " + c.own);
        const ParsedChatCommand r = ParseChatCommand(c.line, c.own);
        EXPECT_EQ(r.command, c.command);
        EXPECT_EQ(r.text, c.text);
        EXPECT_EQ(r.nickname, c.nickname);
        EXPECT_EQ(r.argument, c.argument);
        EXPECT_EQ(r.errorEntry, c.error);
    }
}

TEST(ChatText, StripColourTagsAndBlankText) {
    EXPECT_EQ(StripColourTags("</C=ff0000>word"), "word");
    EXPECT_EQ(StripColourTags("a</C=00ff00>b</C=0000ff>c"), "abc");
    EXPECT_EQ(StripColourTags("plain </> text"), "plain </> text");
    // An unclosed tag drops the rest of the line and reads nothing past it.
    EXPECT_EQ(StripColourTags("keep</C=ff"), "keep");
    EXPECT_EQ(IsNonBlankText("   "), 0);
    EXPECT_EQ(IsNonBlankText(""), 0);
    EXPECT_EQ(IsNonBlankText("  x "), 1);
}

TEST(Nickname, IsValidNicknameTable) {
    const std::string hangul = platform::Utf8ToCp949("가나");
    ASSERT_EQ(hangul.size(), 4u);
    const struct {
        std::string name;
        int valid;
    } cases[] = {
        {"abc", 0},         {"abcd", 1},      {"abcdefghijklmnop", 1}, {"abcdefghijklmnopq", 0},
        {"[GM]abcd", 1},    {"ab cd", 0},     {"ab-cd", 0},            {hangul, 1},
        {"abc\xb0", 0},  {"\xb0\x20" "ab", 0}, {"ab_`^", 1},       {"", 0},
        {std::string("abc\0d", 5), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidNickname(c.name), c.valid) << c.name;
}

TEST(ChatFlood, MuteAndHistoryTable) {
    CChatInput chat;
    const struct {
        uint32_t at;
        int flood;
        bool muted;
    } steps[] = {
        {1000, 1, false}, {1100, 1, false}, {1200, 1, false},
        {1300, CChatInput::kFlooded, true},
        {1300 + 59999, 0, true},   // still muted: the line is refused before the flood check
        {1300 + 60001, 1, false},  // the mute has run out
        {61400, 1, false}, {61500, 1, false},
        {62300, 1, false},  // a pause of 800 ms empties the history
        {62400, 1, false}, {62500, 1, false},
        {62600, CChatInput::kFlooded, true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.at);
        if (chat.IsMuted(s.at)) {
            EXPECT_TRUE(s.muted);
            continue;
        }
        EXPECT_EQ(chat.CheckChatFlood(s.at), s.flood);
        EXPECT_EQ(chat.muted, s.muted);
    }
}

TEST_F(ChatTest, ProcessChatInputFloodMuteAndModes) {
    for (int i = 0; i < 3; ++i, g_chatTestNow += 100) {
        const ChatRecord* r = ProcessChatInput(&label, session, "hi", &list);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->mode, 1u);
        EXPECT_EQ(r->text, "hi");
    }
    EXPECT_EQ(ProcessChatInput(&label, session, "hi", &list), nullptr);
    EXPECT_EQ(LastLine(), Red(MSG_CHAT_LIMIT_1MINUTE));
    g_chatTestNow += 59999;
    EXPECT_EQ(ProcessChatInput(&label, session, "hi", &list), nullptr);
    EXPECT_EQ(LastLine(), Red(MSG_CHAT_LIMIT));
    g_chatTestNow += 2;
    EXPECT_NE(ProcessChatInput(&label, session, "hi", &list), nullptr);

    // "/p" switches the label and mode; plain lines then go to the team.
    g_chatTestNow += 1000;
    EXPECT_EQ(ProcessChatInput(&label, session, "/p", &list), nullptr);
    EXPECT_EQ(label.GetText(), "</C=ffff00>team");
    g_chatTestNow += 1000;
    const ChatRecord* team = ProcessChatInput(&label, session, "</C=ff0000>go", &list);
    ASSERT_NE(team, nullptr);
    EXPECT_EQ(team->mode, 0u);
    EXPECT_EQ(team->text, "go");
    // "/a text" goes to all without changing the mode.
    g_chatTestNow += 1000;
    const ChatRecord* all = ProcessChatInput(&label, session, "/a yo", &list);
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->mode, 1u);
    EXPECT_EQ(session.chat.mode, CHAT_MODE_TEAM);
    // Guild chat needs a guild; "/r" needs a whisperer; chat-off refuses plain lines.
    g_chatTestNow += 1000;
    EXPECT_EQ(ProcessChatInput(&label, session, "/g", &list), nullptr);
    EXPECT_EQ(LastLine(), Red(MSG_GUILD_NO_JOIN_GUILD));
    g_chatTestNow += 1000;
    EXPECT_EQ(ProcessChatInput(&label, session, "/r", &list), nullptr);
    EXPECT_EQ(LastLine(), Red(MSG_CHAT_NOT_RECV_NICKNAME));
    g_chatTestNow += 1000;
    session.chat.chatOff = true;
    EXPECT_EQ(ProcessChatInput(&label, session, "hello", &list), nullptr);
    EXPECT_EQ(LastLine(), Red(MSG_CHAT_MGR_CHAT_OFF_ING));
    session.chat.chatOff = false;
    // "/w name" alone starts whispering to the name.
    g_chatTestNow += 1000;
    EXPECT_EQ(ProcessChatInput(&label, session, "/w wxyz", &list), nullptr);
    EXPECT_EQ(session.chat.mode, CHAT_MODE_WHISPER);
    EXPECT_EQ(session.chat.whisperTarget, "wxyz");
    EXPECT_EQ(label.GetText(), "</C=ff5093>to wxyz");
    // A bad whisper target shows its error.
    g_chatTestNow += 1000;
    EXPECT_EQ(ProcessChatInput(&label, session, "/w abc hi", &list), nullptr);
    EXPECT_EQ(LastLine(), Red(MSG_CHAT_NOT_FOUND_NICK));
}

}  // namespace
