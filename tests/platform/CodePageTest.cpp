#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {
const std::string kHangulCp949 = "\xC7\xD1\xB1\xDB";  // "한글"
const std::string kHangulUtf8 = "\xED\x95\x9C\xEA\xB8\x80";
}  // namespace

TEST(CodePage, HangulRoundTripsThroughUtf8AndUtf32) {
    const std::string cp949 = "QOR " + kHangulCp949 + "!";
    const std::string utf8 = "QOR " + kHangulUtf8 + "!";
    const std::u32string utf32 = U"QOR \uD55C\uAE00!";
    EXPECT_EQ(platform::Cp949ToUtf8(cp949), utf8);
    EXPECT_EQ(platform::Utf8ToCp949(utf8), cp949);
    EXPECT_EQ(platform::Cp949ToUtf32(cp949), utf32);
    EXPECT_EQ(platform::Utf32ToCp949(utf32), cp949);
    EXPECT_EQ(platform::Cp949ToUtf8(""), "");
    // Longer than one internal buffer.
    std::string many;
    for (int i = 0; i < 2000; ++i) many += kHangulCp949;
    EXPECT_EQ(platform::Utf8ToCp949(platform::Cp949ToUtf8(many)), many);
}

TEST(CodePage, BadInputIsReplacedAndTheRestStillConverts) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        const char* what;
        std::string cp949;
        std::string utf8;
    } toUtf8[] = {
        {"lead byte at the end", "ab\xC7", "ab" + fffd},
        {"lead byte without trail", "\xC7\x0A" + kHangulCp949, fffd + "\n" + kHangulUtf8},
        {"byte that is no character", "\xFF\x61", fffd + "a"},
    };
    for (const Case& c : toUtf8) EXPECT_EQ(platform::Cp949ToUtf8(c.cp949), c.utf8) << c.what;
    EXPECT_EQ(platform::Cp949ToUtf32("a\xC7"), std::u32string(U"a\uFFFD"));

    struct Back {
        const char* what;
        std::string utf8;
        std::string cp949;
    } toCp949[] = {
        {"broken UTF-8", "a\xC3\x62\x80", "a?b?"},
        {"character missing from the code page", "x\xF0\x9F\x98\x80y", "x?y"},  // one '?' for the whole emoji
        {"cut sequence at the end", "ok\xED\x95", "ok?"},
    };
    for (const Back& c : toCp949) EXPECT_EQ(platform::Utf8ToCp949(c.utf8), c.cp949) << c.what;
    EXPECT_EQ(platform::Utf32ToCp949(
                  std::u32string{U'a', static_cast<char32_t>(0xD800), static_cast<char32_t>(0x110000), U'\uD55C'}),
              "a??\xC7\xD1");
}

TEST(CodePage, CutsNeverSplitADoubleByteCharacter) {
    const std::string text = "a" + kHangulCp949 + "b";  // a, two pairs, b: 6 bytes
    struct Case {
        std::string text;
        size_t max;
        size_t expected;
    } cases[] = {
        {text, 0, 0},
        {text, 1, 1},
        {text, 2, 1},
        {text, 3, 3},
        {text, 4, 3},
        {text, 5, 5},
        {text, 6, 6},
        {text, 99, 6},
        {"\xC7", 1, 1},              // a lead byte at the end is one byte
        {"\xC7\x0Ax", 1, 1},         // a lead byte before a line break does not swallow it
        {"\x81\x41z", 1, 0},         // 0x41 is a trail byte here
        {"\xB1\xDB\xB1\xDB", 2, 2},  // a trail byte in the lead range still ends its pair
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::Cp949CutLength(c.text, c.max), c.expected) << c.max;
        EXPECT_EQ(platform::Cp949Cut(c.text, c.max), c.text.substr(0, c.expected));
    }
}
