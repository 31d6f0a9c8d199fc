#include "engine/text/ColorMarkup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The pieces of a text in a compact form: "C:ff0000" colour, "R" reset,
// "N" newline, anything else a run's bytes.
std::vector<std::string> Pieces(std::string_view text) {
    CColorMarkupReader reader(text);
    std::vector<std::string> out;
    char buf[16];
    for (auto p = reader.Next(); p.kind != CColorMarkupReader::Kind::End; p = reader.Next()) {
        switch (p.kind) {
            case CColorMarkupReader::Kind::Run:
                out.emplace_back(p.text);
                break;
            case CColorMarkupReader::Kind::Color:
                std::snprintf(buf, sizeof buf, "C:%x", p.value);
                out.emplace_back(buf);
                break;
            case CColorMarkupReader::Kind::Reset:
                out.emplace_back("R");
                break;
            case CColorMarkupReader::Kind::Newline:
                out.emplace_back("N");
                break;
            case CColorMarkupReader::Kind::End:
                break;
        }
    }
    return out;
}

}  // namespace

TEST(ColorMarkup, OnlyATextThatBeginsWithAWellFormedTagIsMarkup) {
    // Short and cut-off tags are read without running past the text's end.
    struct Case {
        std::string text;
        bool markup;
    } cases[] = {
        {"</>", true},
        {"</>abc", true},
        {"</C=ff0000>", true},
        {"</C=80FF0000>x", true},
        {"</C=ff0000", false},
        {"</C=ff00>x", false},
        {"</C=ff00000>x", false},
        {"</C=gg0000>x", false},
        {"</C=", false},
        {"</C", false},
        {"</", false},
        {"<", false},
        {"", false},
        {"a</C=ff0000>b", false},
        {"</C=ff0000ff0>", false},
        {std::string("</C=ff0000\0>", 12), false},
    };
    for (const auto& c : cases) EXPECT_EQ(BeginsWithColorTag(c.text), c.markup) << c.text;
}

TEST(ColorMarkup, PiecesOfMarkupAndPlainTexts) {
    struct Case {
        std::string text;
        std::vector<std::string> pieces;
    } cases[] = {
        {"</C=ff0000>red</>plain", {"C:ff0000", "red", "R", "plain"}},
        {"</C=80ff0000>a\nb</C=00ff00>c", {"C:80ff0000", "a", "N", "b", "C:ff00", "c"}},
        // A carriage return ends the text, inside mark-up and out.
        {"</>ab\rcd", {"R", "ab"}},
        {"ab\ncd\ref", {"ab\ncd"}},
        // A plain text is one run, tags and all.
        {"a</C=ff0000>b", {"a</C=ff0000>b"}},
        // Inside mark-up a tag without 'C' returns to the caller's colour; an
        // unfinished tag swallows the rest.
        {"</>a</x>b</C=ff", {"R", "a", "R", "b", "C:ff"}},
        // Double-byte characters whose trail byte is 'C' (0x43) are no tag letter.
        {"</>\xB0\x43</\xB0\x43>x", {"R", "\xB0\x43", "R", "x"}},
        // A lone lead byte at the end is a character of its own.
        {"</>a\xB0", {"R", "a\xB0"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Pieces(c.text), c.pieces) << c.text;
}

TEST(ColorMarkup, SixDigitsTakeTheCallersAlphaEightBringTheirOwn) {
    EXPECT_EQ(TagColor(0xff0000, 0xFFFFFFFF), 0xFFFF0000u);
    EXPECT_EQ(TagColor(0x00ff00, 0x80FFFFFF), 0x8000FF00u);
    EXPECT_EQ(TagColor(0x40ff0000, 0xFFFFFFFF), 0x40FF0000u);
    EXPECT_EQ(TagColor(0xff, 0x01000000), 0x010000FFu);
}

TEST(ColorMarkup, StrippingTagsKeepsDoubleByteRunsWhole) {
    struct Case {
        std::string text, stripped;
    } cases[] = {
        {"</C=ff0000>\xBB\xA1\xB0\xA3</>\xBA\xB8\xC5\xEB\n\xB3\xA1", "\xBB\xA1\xB0\xA3\xBA\xB8\xC5\xEB\xB3\xA1"},
        {"\xB0\xA1</>\xB3\xAA", "\xB0\xA1</>\xB3\xAA"},  // not mark-up: whole
        {"</C=ff0000>", ""},
        {"</>a\rb", "a"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(StripColorTags(c.text), c.stripped) << c.text;
}

TEST(ColorMarkup, CharacterWalkNeverLeavesTheText) {
    std::string t = "a\xB0\xA1\xB0";  // a, one syllable, a lone lead byte
    EXPECT_EQ(CharLengthAt(t, 0), 1u);
    EXPECT_EQ(CharLengthAt(t, 1), 2u);
    EXPECT_EQ(CharCodeAt(t, 1, 2), 0xB0A1);
    EXPECT_EQ(CharLengthAt(t, 3), 1u);
    EXPECT_EQ(CharLengthAt(t, 4), 0u);
    EXPECT_EQ(CharLengthAt("\xB0\n", 0), 1u);  // a newline is no trail byte
}
