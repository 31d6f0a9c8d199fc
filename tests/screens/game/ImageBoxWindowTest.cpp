// The image boxes on their sample layouts: binding (every control optional),
// the content setters with the wrap and the buffer cut, and the OK latch.
#include <gtest/gtest.h>

#include "screens/game/ImageBoxWindow.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/ui/UiFixture.h"
#include "tools/ResultLayouts.h"
#include "ui/UiButton.h"
#include "ui/UiControls.h"
#include "ui/UiStatic.h"

namespace {

struct ImageBoxFixture : UiFixture {
    ImageBoxFixture() { RegisterUiControls(); }
    int Load(CUiWindow& window, const LayoutFileSpec& spec) {
        std::vector<uint8_t> bytes = BuildLayout(spec);
        const std::string path = folder.Write("BOX.DUI", std::vector<unsigned char>(bytes.begin(), bytes.end()));
        return window.LoadLayout(path.c_str(), 0);
    }
    TempFolder folder;
};

LayoutFileSpec Without(LayoutFileSpec spec, const std::string& name) {
    for (auto it = spec.children.begin(); it != spec.children.end(); ++it)
        if (it->name == name) {
            spec.children.erase(it);
            break;
        }
    return spec;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

TEST(ImageBoxWindow, SetContentFillsPictureMessageCaptionAndLevel) {
    ImageBoxFixture f;
    CImageBoxWindow box;
    ASSERT_EQ(f.Load(box, ImageBoxLayout()), 1);
    ASSERT_TRUE(box.image && box.message1 && box.message2 && box.message3 && box.level && box.OkButton());

    box.SetContent("Bought", 5, "Sword", 3);
    EXPECT_EQ(box.image->FrameIndex(), 5u);
    EXPECT_EQ(box.message1->GetText(), "Bought");
    EXPECT_EQ(box.message1->LabelSize().x, 6 * 7);
    EXPECT_EQ(box.message3->GetText(), "Sword");
    EXPECT_EQ(box.level->GetText(), "+3");

    box.SetContent("Bought", 1, "Sword", 0);
    EXPECT_EQ(box.level->GetText(), "");  // no "+0"
    box.SetContent("x", 0, "y", -2);
    EXPECT_EQ(box.level->GetText(), "+-2");
}

TEST(ImageBoxWindow, LongMessageWrapsAtTheControlWidthAndIsCutWhole) {
    ImageBoxFixture f;
    CImageBoxWindow box;
    ASSERT_EQ(f.Load(box, ImageBoxLayout()), 1);
    const int width = static_cast<int>(box.message1->Size().x);  // 280: 40 characters of 7 pixels

    std::string message;
    for (int i = 0; i < 12; ++i) message += "word" + std::to_string(i) + " ";
    box.SetContent(message, 0, "", 0);
    const std::vector<std::string> lines = Lines(box.message1->GetText());
    ASSERT_GE(lines.size(), 2u);
    for (const std::string& line : lines) EXPECT_LE(static_cast<int>(line.size()) * 7, width) << line;
    EXPECT_EQ(lines[0].substr(0, 6), "word0 ");

    // 300 bytes of double-byte characters: cut at 258, never inside a character.
    std::string wide;
    for (int i = 0; i < 150; ++i) wide += "\xB0\xA1";
    box.SetContent(wide, 0, "", 0);
    const std::string& shown = box.message1->GetText();
    EXPECT_LE(shown.size(), kImageBoxTextBytes);
    size_t bytes = 0;
    for (char c : shown)
        if (c != '\n') ++bytes;
    EXPECT_EQ(bytes % 2, 0u);
    EXPECT_EQ(static_cast<uint8_t>(shown.back()), 0xA1);
}

TEST(ImageBoxWindow, MissingControlsBindAsNullAndAreSkipped) {
    ImageBoxFixture f;
    CImageBoxWindow box;
    ASSERT_EQ(f.Load(box, Without(Without(ImageBoxLayout(), "ID_STATIC_LEVEL"), "ID_BUTTON_OK")), 1);
    EXPECT_EQ(box.level, nullptr);
    EXPECT_EQ(box.OkButton(), nullptr);
    box.SetContent("text", 2, "caption", 4);
    EXPECT_EQ(box.message3->GetText(), "caption");
    box.OnLButtonClick(nullptr);
    EXPECT_EQ(box.TakeOk(), 0);
}

TEST(ImageBoxWindow, OkIsLatchedOnce) {
    ImageBoxFixture f;
    CImageBox2Window box;
    ASSERT_EQ(f.Load(box, ImageBox2Layout()), 1);
    box.OnLButtonClick(box.message3);
    EXPECT_EQ(box.TakeOk(), 0);
    box.OnLButtonClick(box.OkButton());
    EXPECT_EQ(box.TakeOk(), 1);
    EXPECT_EQ(box.TakeOk(), 0);
}

TEST(ImageBox2Window, EachSlotTakesItsPictureAndTextNarrowerByTheFrame) {
    ImageBoxFixture f;
    CImageBox2Window box;
    ASSERT_EQ(f.Load(box, ImageBox2Layout()), 1);
    for (int slot = 0; slot < 2; ++slot)
        ASSERT_TRUE(box.image[slot] && box.message1[slot] && box.message2[slot] && box.level[slot]);

    // 190 - 14 = 176 pixels: 25 characters a line.
    const std::string text = "aaaaaaaaaaaaaaaaaaaa bbbbbbbbbb";
    box.SetContent(1, {7, text});
    EXPECT_EQ(box.image[1]->FrameIndex(), 7u);
    EXPECT_EQ(box.message1[1]->GetText(), "aaaaaaaaaaaaaaaaaaaa\nbbbbbbbbbb");
    EXPECT_EQ(box.message1[0]->GetText(), "");
    EXPECT_EQ(box.image[0]->FrameIndex(), 0u);

    box.SetContent(0, {kImageBoxGridColumns * kImageBoxGridRows + 1, "short"});
    EXPECT_EQ(box.image[0]->FrameIndex(), 1u);  // past the grid wraps around
    EXPECT_EQ(box.message1[0]->GetText(), "short");
    box.SetContent(2, {3, "ignored"});
    box.SetContent(-1, {3, "ignored"});
    EXPECT_EQ(box.message1[0]->GetText(), "short");
}

}  // namespace
