#include <gtest/gtest.h>

#include "net/ByteWriter.h"
#include "net/ChatInputProcess.h"
#include "net/WordFilter.h"
#include "platform/CodePage.h"
#include "platform/CrtRandom.h"
#include "tests/net/ChatFixture.h"

namespace {

// The list is 200 wide: 176 pixels of room, so 26 characters of 7 pixels a line.
TEST_F(ChatTest, AddChatLineWrapsAndCarriesColour) {
    const std::string x26(26, 'x');
    AddChatLine(&list, std::string(60, 'x'), 0xff5093);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"</C=ff5093>" + x26, "</C=ff5093>" + x26,
                                                 "</C=ff5093>" + std::string(8, 'x')}));
    list.ClearItems();
    // Mark-up has no width: a tag and 26 characters fit one line, unprefixed.
    AddChatLine(&list, "</C=00ff00>" + x26, 0);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"</C=00ff00>" + x26}));
    list.ClearItems();
    // A tag of the line open at a break is carried; from then on the given colour no longer leads.
    AddChatLine(&list, "ab</C=00ff00>" + std::string(50, 'y') + "</>" + std::string(30, 'z'), 0xff0000);
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "</C=ff0000>ab</C=00ff00>" + std::string(24, 'y'));
    EXPECT_EQ(lines[1], "</C=00ff00>" + std::string(26, 'y'));
    EXPECT_EQ(lines[2], "</C=00ff00></>" + std::string(26, 'z'));
    EXPECT_EQ(lines[3], "</>" + std::string(4, 'z'));
}

TEST_F(ChatTest, AddChatLineWalksDoubleByteCharactersSafely) {
    // A Hangul syllable is one 14-pixel character, never split; a lead byte at the end stands alone.
    const std::string syllable = platform::Utf8ToCp949("가");
    std::string text;
    for (int i = 0; i < 13; ++i) text += syllable;
    text += "x\xb0";
    AddChatLine(&list, text, 0);
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "</>" + text.substr(0, 26));
    EXPECT_EQ(lines[1], "</>x\xb0");
}

TEST_F(ChatTest, ListKeepsNinetyNineLines) {
    for (int i = 0; i < 99; ++i) AddPlainChatLine(&list, "line" + std::to_string(i));
    EXPECT_EQ(list.ItemCount(), 99u);
    AddChatLine(&list, "the hundredth", 0);
    EXPECT_EQ(list.ItemCount(), 99u);
    EXPECT_EQ(list.ItemAt(0).text, "line1");
    EXPECT_EQ(LastLine(), "the hundredth");
    AddChatLine(nullptr, "no list", 0);
}

TEST(WordFilter, FilterChatWordsCases) {
    CWordFilter filter;
    std::string out;
    // No words: everything passes.
    EXPECT_EQ(filter.FilterChatWords("any thing", "me", "other", out), 1);
    EXPECT_EQ(out, "any thing");

    const std::string fullWidthBad = platform::Utf8ToCp949("ｂａｄ");  // full-width letters have a case too
    filter.Load({"bad", "", platform::Utf8ToCp949("나쁜")}, {"nice words"});
    const struct {
        std::string text;
        const char* sender;
        int result;
        std::string shown;
    } cases[] = {
        {"all good", "other", 1, "all good"},
        {"so BaD really", "other", 0, ""},
        {"xxbadxx", "other", 0, ""},
        {"so BAD", "me", 1, "nice words"},
        {"so bad", nullptr, 1, "nice words"},
        {platform::Utf8ToCp949("아주나쁜말"), "other", 0, ""},
        {platform::Utf8ToCp949("ＢＡＤ"), "other", 1, platform::Utf8ToCp949("ＢＡＤ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(filter.FilterChatWords(c.text, "me", c.sender, out), c.result);
        if (c.result) {
            EXPECT_EQ(out, c.shown);
        }
    }
    // Full-width letters are upper-cased among themselves.
    filter.Load({fullWidthBad}, {"p"});
    EXPECT_EQ(filter.FilterChatWords(platform::Utf8ToCp949("ＢａＤ"), "me", "other", out), 0);
    // No phrase to show: the own line is dropped too.
    filter.Load({"bad"}, {});
    EXPECT_EQ(filter.FilterChatWords("bad", "me", "me", out), 0);
    EXPECT_EQ(filter.FilterChatWords("good", "me", "other", out), 1);
}

std::vector<uint8_t> Whisper(uint8_t result, uint8_t kind, const char* nickname, std::string text, bool nul = true) {
    std::vector<uint8_t> bytes(19);
    CByteWriter w(bytes.data(), bytes.size());
    w.WriteU8(result);
    w.WriteU8(kind);
    w.WriteText(nickname, 17);
    bytes.insert(bytes.end(), text.begin(), text.end());
    if (nul) bytes.push_back(0);
    return bytes;
}

TEST_F(ChatTest, WhisperAnswers) {
    session.words.Load({"bad"}, {"kind"});
    auto handle = [&](const std::vector<uint8_t>& p) { return HandleWhisperPacket(p.data(), p.size(), &list, session); };
    EXPECT_EQ(handle(Whisper(1, 'e', "wxyz", "hello")), 1);
    EXPECT_EQ(LastLine(), "</C=ff5093>>>wxyz : hello");
    EXPECT_TRUE(session.chat.lastWhisperer.empty());
    EXPECT_EQ(handle(Whisper(1, 'w', "pqrs", "hi %s %n")), 1);
    EXPECT_EQ(LastLine(), "</C=ff5093>pqrs : hi %s %n");
    EXPECT_EQ(session.chat.lastWhisperer, "pqrs");
    // Another player's bad line is dropped and does not change the last whisperer.
    const uint32_t count = list.ItemCount();
    EXPECT_EQ(handle(Whisper(1, 'w', "tuvw", "so bad")), 1);
    EXPECT_EQ(list.ItemCount(), count);
    EXPECT_EQ(session.chat.lastWhisperer, "pqrs");
    EXPECT_EQ(handle(Whisper(0, 0x26, "gone", "")), 1);
    EXPECT_EQ(LastLine(), "</C=ff0000>m268 gone");
    EXPECT_EQ(handle(Whisper(0, 0x27, "busy", "")), 1);
    EXPECT_EQ(LastLine(), "</C=ff0000>m269 busy");
    EXPECT_EQ(handle(Whisper(0, 0x30, "else", "")), 1);
    EXPECT_EQ(list.ItemCount(), count + 2);
    // A text without a NUL runs to the payload's end; a too short payload is refused.
    EXPECT_EQ(handle(Whisper(1, 'w', "abcd", "tail", false)), 1);
    EXPECT_EQ(LastLine(), "</C=ff5093>abcd : tail");
    std::vector<uint8_t> full = Whisper(1, 'w', "", "x");
    std::fill(full.begin() + 2, full.begin() + 19, 'n');  // nickname without its NUL
    EXPECT_EQ(handle(full), 1);
    EXPECT_EQ(LastLine(), "</C=ff5093>" + std::string(16, 'n') + " : x");
    const std::vector<uint8_t> shortOne(10, 1);
    EXPECT_EQ(handle(shortOne), 0);
    // "/r" now whispers to the last whisperer (nothing to send without a connection: the error record).
    const ChatRecord* r = ProcessChatInput(&label, session, "/r back", &list);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->text, "CHAT_SEND_ERROR");
}

}  // namespace
