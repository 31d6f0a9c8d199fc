#include "engine/input/ImeInput.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/CodePage.h"
#include "platform/ScriptedIme.h"

namespace {

// An input method state on a scripted context; texts are compared in UTF-8.
struct ImeFixture {
    platform::ScriptedIme context;
    CImeInput ime;

    ImeFixture() { ime.Create(&context); }
    std::string Text() const { return platform::Cp949ToUtf8(ime.GetText()); }
    std::string Composition() const { return platform::Cp949ToUtf8(ime.GetComposition()); }
};

std::string Cp(const char* utf8) { return platform::Utf8ToCp949(utf8); }

enum Action { COMPOSE, COMMIT, KEY };

struct ImeStep {
    Action action;
    const char* text;  // COMPOSE, COMMIT
    uint32_t code;     // KEY
    const char* expectText;
    const char* expectComposition;
    int expectLength;
};

}  // namespace

// Typing "한글" the way a Hangul input method sends it, then editing it.
TEST(ImeInput, HangulCompositionAndResultTable) {
    const ImeStep steps[] = {
        {COMPOSE, "ㅎ", 0, "", "ㅎ", 0},
        {COMPOSE, "하", 0, "", "하", 0},
        {COMPOSE, "한", 0, "", "한", 0},
        {COMMIT, "한", 0, "한", "한", 2},  // the next syllable's composition follows
        {COMPOSE, "ㄱ", 0, "한", "ㄱ", 2},
        {COMPOSE, "글", 0, "한", "글", 2},
        {COMMIT, "글", 0, "한글", "글", 4},
        {COMPOSE, "", 0, "한글", "", 4},
        {KEY, nullptr, 'a', "한글a", "", 5},
        {COMMIT, " ok", 0, "한글a ok", "", 8},
        {KEY, nullptr, 8, "한글a o", "", 7},
        {KEY, nullptr, '\t', "한글a o", "", 7},
        {KEY, nullptr, 13, "한글a o", "", 7},
        {KEY, nullptr, 27, "한글a o", "", 7},
        {KEY, nullptr, 8, "한글a ", "", 6},
        {KEY, nullptr, 8, "한글a", "", 5},
        {KEY, nullptr, 8, "한글", "", 4},
        {KEY, nullptr, 8, "한", "", 2},  // a whole double-byte character goes at once
        {KEY, nullptr, 8, "", "", 0},
        {KEY, nullptr, 8, "", "", 0},  // backspace on an empty text does nothing
        {KEY, nullptr, U'각', "각", "", 2},
    };
    ImeFixture f;
    for (size_t i = 0; i < std::size(steps); ++i) {
        const ImeStep& s = steps[i];
        if (s.action == COMPOSE) f.context.Compose(s.text);
        if (s.action == COMMIT) f.context.Commit(s.text);
        if (s.action == KEY) f.context.Type(s.code);
        f.ime.ProcessEvents(100);
        EXPECT_EQ(f.Text(), s.expectText) << "step " << i;
        EXPECT_EQ(f.Composition(), s.expectComposition) << "step " << i;
        EXPECT_EQ(f.ime.GetLength(), s.expectLength) << "step " << i;
    }
}

TEST(ImeInput, TargetClauseInCodePageBytes) {
    ImeFixture f;
    f.context.Compose("かんじ漢字", 3, 2);  // converting the last two characters
    f.ime.ProcessEvents(100);
    EXPECT_EQ(f.ime.GetTargetStart(), 6);
    EXPECT_EQ(f.ime.GetTargetEnd(), 10);
    f.context.EndComposition();
    f.ime.ProcessEvents(100);
    EXPECT_EQ(f.ime.GetComposition(), "");
    EXPECT_EQ(f.ime.GetTargetEnd(), 0);
}

TEST(ImeInput, LimitsDropWhatWouldNotFit) {
    ImeFixture f;
    f.ime.SetEditText(std::string(99, 'a').c_str());
    f.context.Compose("한");
    f.ime.ProcessEvents(127);
    ASSERT_EQ(f.Composition(), "한");
    // Length 99, limit 100: a two-syllable result (4 bytes) is discarded and
    // the composition emptied.
    f.context.Commit("한글");
    f.ime.ProcessEvents(100);
    EXPECT_EQ(f.ime.GetLength(), 99);
    EXPECT_EQ(f.Composition(), "");
    // A composition that would pass the limit is dropped too.
    f.context.Compose("한");
    f.ime.ProcessEvents(100);
    EXPECT_EQ(f.Composition(), "");

    // Typing stops at 100 bytes whatever the box allows.
    f.context.Type('b');
    f.context.Type('c');
    f.context.Commit("d");
    f.ime.ProcessEvents(127);
    EXPECT_EQ(f.ime.GetLength(), 100);
    f.context.Compose("ㅎ");
    f.ime.ProcessEvents(127);
    EXPECT_EQ(f.Composition(), "") << "nothing is composed into a full text";

    // A limit beyond the edit buffer is held to it.
    f.ime.SetEditText("");
    for (int i = 0; i < 200; ++i) f.context.Type('x');
    f.ime.ProcessEvents(1000);
    EXPECT_EQ(f.ime.GetLength(), 100);
}

TEST(ImeInput, SetEditTextCutsBetweenCharacters) {
    ImeFixture f;
    std::string longHangul;
    for (int i = 0; i < 100; ++i) longHangul += Cp("가");
    f.context.Compose("ㅎ");
    f.ime.ProcessEvents(100);
    f.ime.SetEditText(longHangul.c_str());
    EXPECT_EQ(f.ime.GetLength(), 126) << "63 whole syllables fit the 128-byte buffer";
    EXPECT_EQ(f.ime.GetText(), longHangul.substr(0, 126));
    EXPECT_EQ(f.Composition(), "");
    f.ime.SetEditText(nullptr);
    EXPECT_EQ(f.ime.GetLength(), 126);
}

// The focused box's buffer follows every change and is cut between characters.
TEST(ImeInput, EditBufferHoldsTheTextAfterEveryChange) {
    ImeFixture f;
    char box[CImeInput::kEditBufferSize] = "abc";
    f.ime.SetEditBuffer(box, sizeof(box));
    EXPECT_EQ(f.ime.GetText(), "abc");
    f.context.Commit("한");
    f.ime.ProcessEvents(100);
    EXPECT_EQ(std::string(box), "abc" + Cp("한"));
    f.context.Type(8);
    f.ime.ProcessEvents(100);
    EXPECT_STREQ(box, "abc");

    char small[4] = "ab";
    f.ime.SetEditBuffer(small, sizeof(small));
    f.context.Commit("한");
    f.ime.ProcessEvents(100);
    EXPECT_EQ(f.ime.GetLength(), 4);
    EXPECT_STREQ(small, "ab") << "a character that does not fit whole is left out";
    f.ime.SetEditBuffer(nullptr, 0);
    f.ime.SetEditText("z");
    EXPECT_STREQ(small, "ab") << "a detached buffer is left alone";
    EXPECT_STREQ(box, "abc");
}

TEST(ImeInput, CandidatesFromTheContext) {
    ImeFixture f;
    std::string measured;
    f.ime.SetMeasure([&](const std::string& text, int32_t* w, int32_t* h) {
        measured = text;
        *w = 24;
        *h = 12;
    });
    f.context.ShowCandidates({{"漢", "韓", "寒"}, 1, 0, 9});
    f.ime.ProcessEvents(100);
    EXPECT_EQ(f.ime.GetCandidateCount(), 3u);
    EXPECT_EQ(f.ime.GetCandidateSelection(), 1u);
    EXPECT_EQ(f.ime.GetCandidatePageSize(), 9u);
    EXPECT_EQ(measured, Cp("漢"));
    EXPECT_EQ(f.ime.GetCandidateWidth(), 24);

    char buffer[8];
    EXPECT_EQ(f.ime.GetCandidateText(1, nullptr, 0), 3u);
    EXPECT_EQ(f.ime.GetCandidateText(1, buffer, 2), 0u) << "too small for text and NUL";
    ASSERT_EQ(f.ime.GetCandidateText(1, buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer), Cp("韓"));
    EXPECT_EQ(f.ime.GetCandidateText(3, buffer, sizeof(buffer)), 0u);

    f.context.CloseCandidates();
    f.ime.ProcessEvents(100);
    EXPECT_EQ(f.ime.GetCandidateCount(), 0u);
    EXPECT_EQ(f.ime.GetCandidateText(0, buffer, sizeof(buffer)), 0u);
}

TEST(ImeInput, CaretRectReachesTheContext) {
    ImeFixture f;
    f.ime.SetCaretRect(100, 200, 1, 14);
    EXPECT_EQ(f.context.CaretRect().x, 100);
    EXPECT_EQ(f.context.CaretRect().height, 14);
}

TEST(ImeInput, LanguageCharsetAndCodePageTable) {
    struct Row {
        uint16_t language;
        int charset;
        int codePage;
    };
    const Row rows[] = {
        {0x0412, 129, 949},  {0x0411, 128, 932},  {0x0404, 136, 950},  {0x0804, 134, 936},  {0x0C04, 0, 1252},
        {0x0419, 204, 1252}, {0x0401, 178, 1256}, {0x0405, 238, 1250}, {0x0408, 161, 1253}, {0x040D, 177, 1255},
        {0x041E, 222, 874},  {0x041F, 162, 1254}, {0x0425, 186, 1257}, {0x042A, 163, 1258}, {0x0409, 0, 1252},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(CImeInput::CharsetFromLanguage(r.language), r.charset) << std::hex << r.language;
        EXPECT_EQ(CImeInput::CodePageFromCharset(r.charset), r.codePage) << std::hex << r.language;
    }
}

TEST(ImeInput, LanguageSwitchSetsIndicatorAndCandidateLayout) {
    ImeFixture f;
    f.context.SwitchLanguage(platform::kLanguageJapanese);
    f.ime.ProcessEvents(100);
    EXPECT_STREQ(f.ime.GetIndicator(), "あ");
    EXPECT_TRUE(f.ime.IsVerticalCandidates());
    f.context.SwitchLanguage(platform::kLanguageKorean);
    f.ime.ProcessEvents(100);
    EXPECT_EQ(f.ime.GetCodePage(), 949);
    EXPECT_STREQ(f.ime.GetIndicator(), "가");
    EXPECT_FALSE(f.ime.IsVerticalCandidates());
    EXPECT_EQ(f.ime.GetState(), CImeInput::STATE_ON);
    f.context.SetOpen(false);
    f.ime.ProcessEvents(100);
    EXPECT_STREQ(f.ime.GetIndicator(), "En");
    EXPECT_EQ(f.ime.GetState(), CImeInput::STATE_OFF);
    f.context.SwitchLanguage(0x0419);
    f.context.SetOpen(true);
    f.ime.ProcessEvents(100);
    EXPECT_EQ(f.ime.GetCharset(), 204);
    EXPECT_EQ(f.ime.GetCodePage(), 1252);
    EXPECT_STREQ(f.ime.GetIndicator(), "En");
    EXPECT_EQ(f.ime.GetState(), CImeInput::STATE_OFF);
}
