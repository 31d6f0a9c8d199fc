#include "engine/text/FreeTypeFont.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/text/ColorMarkup.h"
#include "engine/core/ErrorReport.h"
#include "engine/text/FontList.h"
#include "tests/fixtures/CapturingGfxDevice.h"
#include "tests/fixtures/TempFolder.h"

using namespace platform;

namespace {

// Code-page-949 syllables.
const std::string kGa = "\xB0\xA1";  // 가
const std::string kNa = "\xB3\xAA";  // 나
const std::string kDa = "\xB4\xD9";  // 다
const std::string kRa = "\xB6\xF3";  // 라
const std::string kWideBlank = "\xA1\xA1";

constexpr uint32_t kWhite = 0xFFFFFFFF;

struct FontParams {
    int32_t mode = CFreeTypeFont::OUTLINE_FULL;
    int32_t size = 12;
    float bold1 = 0, bold2 = 0;
    int32_t gapNarrow = 1, gapWide = 2;
};

// Fonts on the Nanum font that scripts/install-deps installs, drawn through a
// capturing device.
class FreeTypeFontTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(fonts.Textures().CreateTextTextures(&device), 1); }

    CFreeTypeFont* Font(const FontParams& p = FontParams()) {
        FontFile file;
        EXPECT_EQ(CFontFileLocator().Locate("NanumGothic.ttf", 0, &file), 1) << report.Text();
        auto font = std::make_unique<CFreeTypeFont>();
        EXPECT_EQ(font->Create(p.mode, p.size, std::move(file), p.bold1, p.bold2, p.gapNarrow, p.gapWide, 1, 1), 1)
            << report.Text();
        return fonts.Add(std::move(font));
    }

    static TextSize Measure(CFreeTypeFont* f, std::string_view text) {
        TextSize s;
        EXPECT_EQ(f->MeasureText(text, &s), 1) << text;
        return s;
    }
    static int32_t Width(CFreeTypeFont* f, std::string_view text) { return Measure(f, text).width; }

    CErrorReport report;
    CapturingGfxDevice device;
    CFontList fonts;
};

uint32_t Alpha(uint32_t argb) { return argb >> 24; }

}  // namespace

TEST_F(FreeTypeFontTest, GlyphCompositionModes) {
    FontParams p;
    p.mode = CFreeTypeFont::OUTLINE_NONE;
    CFreeTypeFont* plain = Font(p);
    p.mode = CFreeTypeFont::OUTLINE_SHADOW;
    CFreeTypeFont* shadow = Font(p);
    p.mode = CFreeTypeFont::OUTLINE_FULL;
    CFreeTypeFont* outline = Font(p);

    for (uint16_t code : {uint16_t('A'), uint16_t('g'), uint16_t(0xB0A1)}) {
        SCOPED_TRACE(code);
        const auto* e0 = plain->Glyph(code);
        const auto* e1 = shadow->Glyph(code);
        const auto* e2 = outline->Glyph(code);
        ASSERT_TRUE(e0 && e1 && e2);
        ASSERT_GT(e0->width, 0);
        EXPECT_EQ(e1->width, e0->width + 1);
        EXPECT_EQ(e2->width, e0->width + 2);
        EXPECT_EQ(e1->height, e0->height + 1);
        EXPECT_EQ(e2->height, e0->height + 2);
        EXPECT_EQ(e1->top, e0->top);
        EXPECT_EQ(e2->top, e0->top);

        // Plain glyphs are white; their alpha is the coverage.
        auto p0 = [&](int32_t x, int32_t y) { return e0->pixels[static_cast<size_t>(y * e0->width + x)]; };
        auto strong = [&](int32_t x, int32_t y) {
            return x >= 0 && y >= 0 && x < e0->width && y < e0->height && Alpha(p0(x, y)) > 0x20;
        };
        for (uint32_t px : e0->pixels) EXPECT_EQ(px & 0xFFFFFF, 0xFFFFFFu);

        // Shadow: the strong pixels as they are, black one pixel down-right of
        // each where no strong pixel lies, nothing else.
        for (int32_t y = 0; y < e1->height; ++y) {
            for (int32_t x = 0; x < e1->width; ++x) {
                uint32_t want = strong(x, y) ? p0(x, y) : (strong(x - 1, y - 1) ? 0xFF000000u : 0u);
                ASSERT_EQ(e1->pixels[static_cast<size_t>(y * e1->width + x)], want) << x << "," << y;
            }
        }
        // Outline: the strong pixels one pixel in, and a black cross (not a
        // square) around each of them.
        for (int32_t y = 0; y < e2->height; ++y) {
            for (int32_t x = 0; x < e2->width; ++x) {
                int32_t gx = x - 1, gy = y - 1;
                bool cross = strong(gx - 1, gy) || strong(gx + 1, gy) || strong(gx, gy - 1) || strong(gx, gy + 1);
                uint32_t want = strong(gx, gy) ? p0(gx, gy) : (cross ? 0xFF000000u : 0u);
                ASSERT_EQ(e2->pixels[static_cast<size_t>(y * e2->width + x)], want) << x << "," << y;
            }
        }
    }
}

TEST_F(FreeTypeFontTest, PenRulesOfMeasuring) {
    CFreeTypeFont* f = Font();  // size 12, outline, gaps 1 and 2
    EXPECT_EQ(f->LineHeight(), 20);
    EXPECT_EQ(f->LineAdvance(), 22);
    const auto* dot = f->Glyph('.');
    const auto* w = f->Glyph('W');
    const auto* ga = f->Glyph(0xB0A1);
    ASSERT_TRUE(dot && w && ga);
    ASSERT_LT(dot->width, 6);  // narrower than half the size
    ASSERT_GE(w->width, 6);

    struct Case {
        std::string text;
        int32_t width, height;
    } cases[] = {
        {" ", 1 + 6, 20},
        {kWideBlank, 2 + 12, 20},
        {".", 1 + dot->width + 1, 20},
        {"W", 1 + w->width, 20},
        {kGa, ga->width + 2, 20},
        {kGa + " " + kGa + kWideBlank, 2 * (ga->width + 2) + 7 + 14, 20},
        // A carriage return ends the text.
        {"W\rWWW\nW", 1 + w->width, 20},
        {"\rW", 0, 0},
        // Lines: the widest line, and lineAdvance per line break.
        {"W\nWW\n.", 2 * (1 + w->width), 20 + 2 * 22},
        {"WW\n", 2 * (1 + w->width), 20 + 22},
        {"", 0, 0},
    };
    for (const auto& c : cases) {
        TextSize s = Measure(f, c.text);
        EXPECT_EQ(s.width, c.width) << c.text;
        EXPECT_EQ(s.height, c.height) << c.text;
    }
    EXPECT_FALSE(f->IsCached(0xA1A1));  // the full-width blank has no glyph

    // A byte limit never cuts a double-byte character in two.
    TextSize cut;
    ASSERT_EQ(f->MeasureRun(kGa + kNa, 3, &cut), 1);
    EXPECT_EQ(cut.width, Width(f, kGa));
    // A lead byte at the end is measured as one character, not paired with
    // whatever lies past the text.
    std::string tail = "W\xB0";
    EXPECT_GT(Width(f, std::string_view(tail)), Width(f, "W"));
}

TEST_F(FreeTypeFontTest, MeasuringMarkup) {
    CFreeTypeFont* f = Font();
    struct Case {
        std::string text, same;  // text measures like same
    } cases[] = {
        {"</C=ff0000>red</>plain", "redplain"},
        {"</>ab\n</C=ff0000>abcd" + kGa, "ab\nabcd" + kGa},
        {"</C=80ff0000>a</C=ff>b", "ab"},
        // Not mark-up: the tag's characters are measured as glyphs.
        {"</C=ff>ab", "</C=ff>ab"},
        {"a</C=ff0000>b", "a</C=ff0000>b"},
    };
    for (const auto& c : cases) {
        TextSize want;
        ASSERT_EQ(f->MeasureRun(c.same, 0, &want), 1);
        TextSize got = Measure(f, c.text);
        EXPECT_EQ(got.width, want.width) << c.text;
        EXPECT_EQ(got.height, want.height) << c.text;
    }
    TextSize tagOnly = Measure(f, "</C=ff0000>");
    EXPECT_EQ(tagOnly.width, 0);
    EXPECT_EQ(tagOnly.height, 0);
}

TEST_F(FreeTypeFontTest, RedRunThenPlainRun) {
    CFreeTypeFont* f = Font();
    f->RenderText(10, 20, kWhite, "</C=ff0000>red</>plain");
    ASSERT_EQ(device.draws.size(), 2u);
    const auto& red = device.draws[0];
    const auto& plain = device.draws[1];
    // x, y at offsets 0 and 4; the colour at 16; u, v at 20 and 24.
    EXPECT_EQ(red.At<uint32_t>(0, 16), 0xFFFF0000u);
    EXPECT_EQ(plain.At<uint32_t>(0, 16), kWhite);
    EXPECT_EQ(red.At<float>(0, 0), 11.0f);  // offsets (1, 1) of a size-12 font
    EXPECT_EQ(red.At<float>(0, 4), 21.0f);
    EXPECT_EQ(plain.At<float>(0, 0), 11.0f + static_cast<float>(Width(f, "red")));
    EXPECT_EQ(plain.At<float>(0, 4), 21.0f);
    // The quad covers its scratch texture; the UVs span all of it.
    EXPECT_EQ(red.At<float>(2, 0) - red.At<float>(0, 0), static_cast<float>(red.textureWidth));
    EXPECT_EQ(red.At<float>(2, 4) - red.At<float>(0, 4), static_cast<float>(red.textureHeight));
    EXPECT_EQ(red.At<float>(2, 20), 1.0f);
    EXPECT_EQ(red.At<float>(2, 24), 1.0f);
    EXPECT_EQ(red.colorOp, static_cast<uint32_t>(TOP_MODULATE));
    EXPECT_EQ(red.alphaBlend, 1u);
    EXPECT_EQ(device.Count("Draw 6 prims 2 up stride 28"), 2u);

    // The run's pixels are those of the same run drawn plain.
    device.draws.clear();
    f->RenderPlainText(0, 0, kWhite, "red");
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].texels, red.texels);

    // States are put back: blending off again, wrap addressing, linear filters.
    uint32_t v = 0;
    device.GetRenderState(RS_ALPHABLENDENABLE, &v);
    EXPECT_EQ(v, 0u);
    device.GetSamplerState(0, SAMP_ADDRESSU, &v);
    EXPECT_EQ(v, static_cast<uint32_t>(TADDRESS_WRAP));
    device.GetSamplerState(0, SAMP_MINFILTER, &v);
    EXPECT_EQ(v, static_cast<uint32_t>(TEXF_LINEAR));
    // Blending that was on stays on, with the caller's blend factors.
    device.SetRenderState(RS_ALPHABLENDENABLE, 1);
    device.SetRenderState(RS_SRCBLEND, BLEND_ONE);
    f->RenderText(0, 0, kWhite, "x");
    device.GetRenderState(RS_ALPHABLENDENABLE, &v);
    EXPECT_EQ(v, 1u);
    device.GetRenderState(RS_SRCBLEND, &v);
    EXPECT_EQ(v, static_cast<uint32_t>(BLEND_ONE));
}

TEST_F(FreeTypeFontTest, WhatADrawShows) {
    CFreeTypeFont* f = Font();
    auto texelsOf = [&](std::string_view text, bool plain) {
        device.draws.clear();
        if (plain) {
            f->RenderPlainText(0, 0, kWhite, text);
        } else {
            f->RenderText(0, 0, kWhite, text);
        }
        std::vector<std::vector<uint32_t>> all;
        for (const auto& d : device.draws) all.push_back(d.texels);
        return all;
    };
    // A tag after the start is drawn as characters, in one run.
    auto late = texelsOf("a</C=ff0000>b", false);
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late, texelsOf("a</C=ff0000>b", true));
    EXPECT_EQ(device.draws[0].At<uint32_t>(0, 16), kWhite);
    // A carriage return ends the text.
    EXPECT_EQ(texelsOf("ab\rcd", false), texelsOf("ab", false));
    EXPECT_EQ(texelsOf("</>ab\rcd", false), texelsOf("ab", false));
    // Nothing is drawn for empty texts or texts beyond the largest texture.
    EXPECT_TRUE(texelsOf("", false).empty());
    EXPECT_TRUE(texelsOf(std::string(120, 'W'), false).empty());
    std::string tall;
    for (int i = 0; i < 12; ++i) tall += "W\n";
    EXPECT_TRUE(texelsOf(tall, false).empty());
}

TEST_F(FreeTypeFontTest, GlyphCopiesStayInsideTheScratchTexture) {
    // Negative gaps move the pen left of the texture's edge; heavy vertical
    // emboldening makes the second line's glyphs reach below the texture.
    FontParams p;
    p.size = 18;
    p.gapNarrow = -8;
    p.bold2 = 8;
    CFreeTypeFont* f = Font(p);
    const auto* i = f->Glyph('i');
    const auto* g = f->Glyph('g');
    ASSERT_TRUE(i && g);
    ASSERT_LT(-8 + i->width + 1, 0) << "the pen must go left of the texture";
    TextSize s = Measure(f, "iWWWW\ng");
    ASSERT_GT(s.width, 0);
    int32_t w = 0, h = 0;
    ASSERT_GE(CZEMFTFontTexture::PickIndex(s.width, s.height, &w, &h), 0);
    ASSERT_GT(f->LineAdvance() + g->top + g->height, h) << "the glyph must reach below the texture";

    f->RenderText(0, 0, kWhite, "iWWWW\ng");
    ASSERT_EQ(device.draws.size(), 1u);
    const auto& d = device.draws[0];
    // Nothing wrapped round into the right-hand edge of the rows above.
    for (uint32_t y = 0; y < d.textureHeight; ++y) EXPECT_EQ(d.Texel(d.textureWidth - 1, y), 0u) << y;
}

TEST_F(FreeTypeFontTest, EllipsisKeepsDoubleByteCharactersWhole) {
    CFreeTypeFont* f = Font();
    std::string text = kGa + kNa + kDa + kRa;
    int32_t two = Width(f, kGa + kNa);
    struct Case {
        std::string text;
        int32_t maxWidth;
        std::string want;
    } cases[] = {
        {text, Width(f, text), text},
        {text, two + 1, kGa + kNa + "..."},
        {text, two, kGa + kNa + "..."},
        // A single-byte character overflows: the double-byte one before it gives way whole.
        {kGa + kNa + "ab", two, kGa + "..."},
        {"abc", Width(f, "ab"), "a..."},
        {kGa, 0, ""},
        {"ab", Width(f, "a"), ""},
        {"", 10, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(f->EllipsizeText(c.text, c.maxWidth), c.want) << c.maxWidth;
}

TEST_F(FreeTypeFontTest, WrappingBreaksAtBlanksAndBetweenSyllables) {
    CFreeTypeFont* f = Font();
    struct Case {
        std::string text;
        int32_t width;
        std::vector<std::string> lines;
    } cases[] = {
        {"aaa aaa aaa", Width(f, "aaa aaa"), {"aaa aaa", "aaa"}},
        {"aaa aaa aaa", Width(f, "aaa aaa") - 1, {"aaa", "aaa", "aaa"}},
        {kGa + kNa + kDa + kRa, Width(f, kGa + kNa) + 1, {kGa + kNa, kDa + kRa}},
        {"ab " + kGa + kNa + "cd", Width(f, "ab " + kGa), {"ab " + kGa, kNa + "cd"}},
        // No place to break: cut between characters.
        {"aaaaaaaa", Width(f, "aaa"), {"aaa", "aaa", "aa"}},
        {"ab\n\ncd", 1000, {"ab", "", "cd"}},
        {"ab\n", 1000, {"ab", ""}},
        {"", 100, {}},
        // Tags take no room; an open colour goes on with the next line.
        {"</C=ff0000>one two three", Width(f, "one two"), {"</C=ff0000>one two", "</C=ff0000>three"}},
        {"</C=80ff0000>a b</> c", Width(f, "a b"), {"</C=80ff0000>a b</>", "</>c"}},
        {"</>a\n</C=00ff00>b c", Width(f, "b"), {"</>a", "</C=00ff00>b", "</C=00ff00>c"}},
        {"</>a\n</x>b", 1000, {"</>a", "</></x>b"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines = f->WrapText(c.text, c.width);
        EXPECT_EQ(lines, c.lines) << c.text;
        for (const auto& line : lines) EXPECT_LE(Width(f, line), c.width) << line;
    }
}

TEST_F(FreeTypeFontTest, FormattedText) {
    CFreeTypeFont* f = Font();
    f->RenderTextF(0, 0, kWhite, "%d%s", 12, "ab");
    ASSERT_EQ(device.draws.size(), 1u);
    auto formatted = device.draws[0].texels;
    device.draws.clear();
    f->RenderText(0, 0, kWhite, "12ab");
    EXPECT_EQ(device.draws[0].texels, formatted);
}

TEST_F(FreeTypeFontTest, CreateFailsCleanly) {
    TempFolder tmp;
    FontFile bogus;
    bogus.path = tmp.Write("bad.ttf", "not a font");
    CFreeTypeFont font;
    EXPECT_EQ(font.Create(2, 12, bogus, 0, 0, 0, 0, 1, 1), 0);
    EXPECT_EQ(report.GetCode(), static_cast<uint32_t>(ERR_DATA));
    EXPECT_NE(report.Text().find("FT_New_Face"), std::string::npos) << report.Text();
    EXPECT_EQ(font.Glyph('a'), nullptr);
    FontFile missing;
    missing.path = tmp.Path("none.ttf");
    EXPECT_EQ(font.Create(2, 12, missing, 0, 0, 0, 0, 1, 1), 0);
    // Sizes below 10 keep no offsets; emboldening is 26.6 fixed point.
    CFreeTypeFont* small = Font(FontParams{2, 9, 1.5f, 0.25f, 0, 0});
    device.draws.clear();
    small->RenderText(5, 5, kWhite, "a");
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_EQ(device.draws[0].At<float>(0, 0), 5.0f);
    EXPECT_EQ(small->EmboldenX(), (1 << 6) | 32);
    EXPECT_EQ(small->EmboldenY(), 16);
    small->SetEmbolden(-1.0f, 2.0f);
    EXPECT_EQ(small->EmboldenX(), 0);
    EXPECT_EQ(small->EmboldenY(), 128);
}

TEST(FontList, FontsByIndexAndFreeingEverything) {
    CErrorReport report;
    CGfxRecordingDevice device;
    CFontList list;
    EXPECT_EQ(g_pFontList, &list);
    ASSERT_EQ(list.Textures().CreateTextTextures(&device), 1);
    FontFile file;
    ASSERT_EQ(CFontFileLocator().Locate("NanumGothic.ttf", 0, &file), 1);
    for (int size : {9, 14}) {
        auto font = std::make_unique<CFreeTypeFont>();
        ASSERT_EQ(font->Create(2, size, file, 0, 0, 0, 0, 1, 1), 1);
        list.Add(std::move(font));
    }
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(1)->Size(), 14);
    EXPECT_EQ(list.Get(2), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);
    list.Get(0)->RenderText(0, 0, kWhite, "a");
    EXPECT_EQ(device.DrawCount(), 1u);
    list.FreeAll();
    EXPECT_EQ(list.Count(), 0);
    for (int i = 0; i < CZEMFTFontTexture::kTextureCount; ++i) EXPECT_EQ(list.Textures().Texture(i), nullptr);
}
