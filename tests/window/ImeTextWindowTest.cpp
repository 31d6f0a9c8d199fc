// Korean typed through the scripted input method and drawn with the game's
// font by the GL device in a real SDL window (under the test's own Xvfb): the
// screenshot shows the text the input method holds, composition included.
#include <gtest/gtest.h>

#include "engine/core/ErrorReport.h"
#include "engine/text/FontList.h"
#include "engine/input/ImeInput.h"
#include "platform/ScriptedIme.h"
#include "tests/window/RealWindowFixture.h"

using namespace platform;

namespace {

constexpr int kWidth = 256, kHeight = 64;

}  // namespace

class ImeTextWindow : public RealWindowFixture {
protected:
    std::vector<uint32_t> Screenshot(CFreeTypeFont& font, const std::string& text) {
        CGfxDevice& device = Device();
        EXPECT_EQ(device.Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0), GFX_OK);
        EXPECT_EQ(device.BeginScene(), GFX_OK);
        font.RenderText(8, 8, 0xFFFFFFFFu, text);
        EXPECT_EQ(device.EndScene(), GFX_OK);
        std::vector<uint32_t> px = ReadBack();
        EXPECT_EQ(device.Present(), GFX_OK);
        return px;
    }
};

TEST_F(ImeTextWindow, TypedKoreanIsDrawnInARealWindow) {
    ASSERT_NO_FATAL_FAILURE(OpenDevice(kWidth, kHeight, false));
    {
        CErrorReport report;
        CGfxDevice* device = &Device();
        device->SetRenderState(RS_LIGHTING, 0);
        device->SetRenderState(RS_ZENABLE, 0);

        CFontList fonts;
        ASSERT_EQ(fonts.Textures().CreateTextTextures(device), 1) << report.Text();
        FontFile file;
        ASSERT_EQ(CFontFileLocator().Locate("NanumGothic.ttf", 0, &file), 1) << report.Text();
        auto created = std::make_unique<CFreeTypeFont>();
        ASSERT_EQ(created->Create(CFreeTypeFont::OUTLINE_FULL, 14, std::move(file), 0, 0, 0, 0, 1, 1), 1)
            << report.Text();
        CFreeTypeFont* font = fonts.Add(std::move(created));

        // "한글" committed, then "ㄱ" growing into "가" while still composed.
        ScriptedIme ime;
        CImeInput input;
        input.Create(&ime);
        ime.Compose("\xED\x95\x9C");
        ime.Commit("\xED\x95\x9C\xEA\xB8\x80");
        ime.Compose("\xE3\x84\xB1");
        ime.Compose("\xEA\xB0\x80");
        input.ProcessEvents(CImeInput::kMaxTextBytes);
        ASSERT_EQ(input.GetText(), "\xC7\xD1\xB1\xDB");
        ASSERT_EQ(input.GetComposition(), "\xB0\xA1");

        std::vector<uint32_t> typed = Screenshot(*font, input.GetText() + input.GetComposition());
        std::vector<uint32_t> expected = Screenshot(*font, "\xC7\xD1\xB1\xDB\xB0\xA1");
        ASSERT_EQ(typed.size(), static_cast<size_t>(kWidth * kHeight));
        EXPECT_EQ(typed, expected);

        // The text is really there: light glyph pixels inside its measured box, none outside.
        TextSize size;
        ASSERT_EQ(font->MeasureText("\xC7\xD1\xB1\xDB\xB0\xA1", &size), 1);
        int inside = 0, outside = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                uint32_t px = typed[static_cast<size_t>(y * kWidth + x)];
                bool white = ((px >> 16) & 0xFF) > 0x80 && ((px >> 8) & 0xFF) > 0x80 && (px & 0xFF) > 0x80;
                bool inBox = x >= 8 && x < 9 + size.width + 2 && y >= 8 && y < 9 + size.height + 8;
                (inBox ? inside : outside) += white;
            }
        }
        EXPECT_GT(inside, 100) << inside;
        EXPECT_EQ(outside, 0);
    }
}
