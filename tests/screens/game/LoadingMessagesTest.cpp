// The loading exchange's bytes: what the loading screen sends, and what it
// takes from the other players (and refuses).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/CodePage.h"
#include "screens/game/LoadingMessages.h"

namespace {
using Bytes = std::vector<uint8_t>;

Bytes Words(std::initializer_list<uint32_t> words) {
    Bytes out;
    for (uint32_t w : words)
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(w >> (8 * i)));
    return out;
}
}  // namespace

TEST(LoadingMessages, WritesEachKindByteForByte) {
    Bytes out(LoadingMessage::kMaxPayload);
    const uint32_t ids[] = {0x11223344u, 5};
    size_t n = WriteLoadingHeader(out, 3, 7, 1, ids);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + static_cast<long>(n)), Words({0, 3, 2, 7, 1, 0x11223344u, 5}));

    n = WriteLoadingProgress(out, 11, 50.0f);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + static_cast<long>(n)), Words({2, 11, 0x42480000u}));

    n = WriteLoadingChat(out, 4, 0, "hi");
    Bytes chat = Words({1, 4, 0});
    chat.insert(chat.end(), {'h', 'i', 0});
    EXPECT_EQ(Bytes(out.begin(), out.begin() + static_cast<long>(n)), chat);
}

TEST(LoadingMessages, HeaderKeepsWhatOnePacketHolds) {
    std::vector<uint32_t> ids(600, 9);
    Bytes out(LoadingMessage::kMaxPayload);
    const size_t n = WriteLoadingHeader(out, 0, 0, 0, ids);
    EXPECT_EQ(n, 20u + 4u * 506u);
    LoadingMessage m;
    ASSERT_EQ(ParseLoadingMessage(std::span<const uint8_t>(out.data(), n), &m), 1);
    EXPECT_EQ(m.itemIds.size(), 506u);
}

TEST(LoadingMessages, ChatIsCutToItsLimitOnACharacterBoundary) {
    Bytes out(LoadingMessage::kMaxPayload);
    // 126 ASCII bytes then a double-byte character: 127 text bytes fit, the
    // character would need 128, so it goes whole.
    std::string text(126, 'a');
    text += platform::Utf8ToCp949("가");
    text += "tail";
    const size_t n = WriteLoadingChat(out, 0, 1, text);
    EXPECT_LE(n, LoadingMessage::kChatMaxBytes);
    LoadingMessage m;
    ASSERT_EQ(ParseLoadingMessage(std::span<const uint8_t>(out.data(), n), &m), 1);
    EXPECT_EQ(m.text, std::string(126, 'a'));
}

TEST(LoadingMessages, ReadsOnlyWhatArrivedFromPositionsOfTheMatch) {
    struct Case {
        const char* what;
        Bytes bytes;
        int accepted;
    };
    Bytes chatNoNul = Words({1, 2, 1});
    chatNoNul.insert(chatNoNul.end(), {'o', 'k'});
    const Case cases[] = {
        {"header with its ids", Words({0, 5, 1, 2, 0, 77}), 1},
        {"header whose count runs past the payload", Words({0, 5, 2, 2, 0, 77}), 0},
        {"header with a huge count", Words({0, 5, 0x40000000u, 0, 0}), 0},
        {"header cut before its values", Words({0, 5, 0}), 0},
        {"position 12", Words({2, 12, 0}), 0},
        {"position far out", Words({1, 0xFFFFFFFFu, 1, 0}), 0},
        {"progress", Words({2, 1, 0x42C80000u}), 1},
        {"progress cut short", Bytes{2, 0, 0, 0, 1, 0, 0, 0, 0, 0}, 0},
        {"chat without its NUL ends at the payload", chatNoNul, 1},
        {"unknown kind", Words({3, 1, 0}), 0},
        {"empty", Bytes{}, 0},
    };
    for (const Case& c : cases) {
        LoadingMessage m;
        EXPECT_EQ(ParseLoadingMessage(c.bytes, &m), c.accepted) << c.what;
    }
    LoadingMessage chat;
    ASSERT_EQ(ParseLoadingMessage(chatNoNul, &chat), 1);
    EXPECT_EQ(chat.text, "ok");
    LoadingMessage progress;
    ASSERT_EQ(ParseLoadingMessage(Words({2, 1, 0x42C80000u}), &progress), 1);
    EXPECT_FLOAT_EQ(progress.percent, 100.0f);
}
