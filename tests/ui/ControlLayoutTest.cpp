#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <iterator>

#include "engine/core/NameHash.h"
#include "tests/fixtures/IndexedFolder.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/ui/UiFixture.h"
#include "tools/SampleGameFolder.h"
#include "tools/UiLayouts.h"
#include "ui/UiComboBox.h"
#include "ui/UiControls.h"
#include "ui/UiEditBox.h"
#include "ui/UiFramedWindow.h"
#include "ui/UiGauge.h"
#include "ui/UiMessageBox.h"
#include "ui/UiPopupMenu.h"
#include "ui/UiSlider.h"

namespace {

// The UI fixture with the real controls registered in place of its test ones.
struct ControlsFixture : UiFixture {
    ControlsFixture() { RegisterUiControls(); }
    std::string Write(const std::string& name, const LayoutFileSpec& spec) {
        std::vector<uint8_t> bytes = BuildLayout(spec);
        return folder.Write(name, std::vector<unsigned char>(bytes.begin(), bytes.end()));
    }
    TempFolder folder;
};

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <class T>
T* Control(CUiWindow& window, const char* name) {
    return dynamic_cast<T*>(window.FindChild(NameHash(name)));
}

}  // namespace

TEST(UiControlLayout, EveryControlTypeLoadsAndSavesStably) {
    ControlsFixture f;
    const std::string path = f.Write("ALL.DUI", AllControlsLayout());
    CUiWindow window;
    ASSERT_EQ(window.LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
    EXPECT_EQ(window.Children().size(), 8u);
    auto* list = Control<CUiListBox>(window, "ID_LIST_ITEMS");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Rows(), 4u);
    EXPECT_FLOAT_EQ(list->ScrollBar().Size().x, 20.0f);
    EXPECT_FLOAT_EQ(list->ScrollBar().DownArrow().Position().y, 80.0f);
    auto* combo = Control<CUiComboBox>(window, "ID_COMBO_MODE");
    ASSERT_NE(combo, nullptr);
    EXPECT_FLOAT_EQ(combo->ButtonWidth(), 24.0f);
    EXPECT_EQ(combo->List().Rows(), 3u);
    EXPECT_FLOAT_EQ(combo->List().Position().y, 24.0f);
    auto* gauge = Control<CUiGauge>(window, "ID_PROGRESS_LOAD");
    ASSERT_NE(gauge, nullptr);
    EXPECT_FLOAT_EQ(gauge->HeadLength(), 8.0f);
    auto* slider = Control<CUiSlider>(window, "ID_SLIDER_VOLUME");
    ASSERT_NE(slider, nullptr);
    EXPECT_FLOAT_EQ(slider->ThumbLength(), 16.0f);
    auto* check = Control<CUiCheckButton>(window, "ID_CHECKBUTTON_OPTION");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->CheckShift(), 1);
    EXPECT_EQ(check->Caption(), "Option");
    ASSERT_NE(Control<CUiEditBox>(window, "ID_EDIT_NAME"), nullptr);

    // Written and read again, the layout writes the same bytes.
    const std::string first = f.folder.Path("FIRST.DUI"), second = f.folder.Path("SECOND.DUI");
    ASSERT_EQ(window.SaveLayout(first.c_str()), 1);
    CUiWindow again;
    ASSERT_EQ(again.LoadLayout(first.c_str(), 0), 1) << ErrorReport().Text();
    ASSERT_EQ(again.SaveLayout(second.c_str()), 1);
    EXPECT_EQ(ReadAll(first), ReadAll(second));
}

TEST(UiControlLayout, GeometryOutsideTheScreenRangeIsClampedWhereItIsRead) {
    ControlsFixture f;
    LayoutFileSpec spec;
    spec.window.name = "FAR";
    spec.window.rect[2] = spec.window.rect[3] = 100;
    spec.window.part = {LayoutFloat(0), LayoutFloat(0), LayoutFloat(100), LayoutFloat(20)};
    spec.children = {StaticRecord("ID_STATIC_FAR", 3e9f, -3e9f, 50, 20, "far"),
                     ButtonRecord("ID_BUTTON_FAR", 1e30f, std::nanf(""), 50, 20, "far"),
                     EditBoxRecord("ID_EDIT_FAR", 5, 4e9f, -1e20f, 20)};
    const std::string path = f.Write("FAR.DUI", spec);
    auto* window = new CUiWindow;
    ASSERT_EQ(window->LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
    auto* label = window->FindChild(NameHash("ID_STATIC_FAR"));
    auto* button = window->FindChild(NameHash("ID_BUTTON_FAR"));
    auto* edit = window->FindChild(NameHash("ID_EDIT_FAR"));
    ASSERT_TRUE(label && button && edit);
    EXPECT_EQ(label->Position().x, kUiCoordMax);
    EXPECT_EQ(label->Position().y, kUiCoordMin);
    EXPECT_EQ(button->Position().x, kUiCoordMax);
    EXPECT_EQ(button->Position().y, 0.0f);  // NaN
    EXPECT_EQ(edit->Size().x, kUiCoordMin);
    // Drawn text lands at whole pixels inside the range (the sanitized build
    // stops on a float that does not fit the integer).
    f.ui.AddLowerWindow(window);
    f.ui.RenderWindows();
    for (const FixedFont& font : {f.font0, f.font1})
        for (const FixedFont::Drawn& d : font.drawn) {
            EXPECT_LE(std::abs(d.x), 65536) << d.text;
            EXPECT_LE(std::abs(d.y), 65536) << d.text;
        }
    f.ui.DeleteWindow(window);
}

TEST(UiControlLayout, AMissingBoundControlFailsTheLoadNamingIt) {
    ControlsFixture f;
    LayoutFileSpec spec = MessageBoxLayout();
    spec.children.pop_back();  // no Cancel button
    const std::string path = f.Write("MESSAGE_BOX.DUI", spec);
    CUiMessageBox box;
    EXPECT_EQ(box.LoadLayout(path.c_str(), 0), 0);
    EXPECT_NE(ErrorReport().Text().find("ID_BTN_CANCEL"), std::string::npos) << ErrorReport().Text();
    EXPECT_NE(ErrorReport().Text().find("WND_MESSAGE_BOX"), std::string::npos) << ErrorReport().Text();
}

namespace {

struct MessageBench : ControlsFixture {
    MessageBench() {
        path = Write("MESSAGE_BOX.DUI", MessageBoxLayout());
        box = new CUiMessageBox;
        loaded = box->LoadLayout(path.c_str(), 0);
        ui.AddUpperWindow(box);
        ui.SetMessageBox(box);
    }
    ~MessageBench() { ui.DeleteWindow(box); }
    void Frame(bool enter = false) {
        in.Key(platform::DIK_RETURN, enter);
        in.Frame();
        box->ProcessInput(0.016f, in.input);
    }
    std::string path;
    CUiMessageBox* box = nullptr;
    int loaded = 0;
    ScriptedFrame in;
};

}  // namespace

TEST(UiMessageBox, ModesButtonsAndEnter) {
    struct Case {
        int mode;
        bool okShown, cancelShown;
        int32_t afterEnter;
    } cases[] = {
        {CUiMessageBox::MODE_NONE, false, false, -1},
        {CUiMessageBox::MODE_OK, true, false, 1},
        {CUiMessageBox::MODE_OK_CANCEL, true, true, -1},
    };
    for (const Case& c : cases) {
        MessageBench b;
        ASSERT_EQ(b.loaded, 1) << ErrorReport().Text();
        EXPECT_TRUE(b.box->HasFlags(UI_HIDDEN));
        ShowMessageBox(*b.box, "A rather long message for the box", c.mode, 1);
        EXPECT_FLOAT_EQ(b.ui.MessageBoxDim(), 0.4f);
        EXPECT_FALSE(b.box->HasFlags(UI_HIDDEN));
        EXPECT_EQ(!b.box->OkButton()->HasFlags(UI_HIDDEN), c.okShown) << c.mode;
        EXPECT_EQ(!b.box->CancelButton()->HasFlags(UI_HIDDEN), c.cancelShown) << c.mode;
        b.Frame(true);
        EXPECT_EQ(PollMessageBoxResult(*b.box), c.afterEnter) << c.mode;
        EXPECT_EQ(b.box->HasFlags(UI_HIDDEN), c.afterEnter != -1) << c.mode;
    }
}

TEST(UiMessageBox, ShortTextGetsTwoAndAHalfButtonsWithButtonsAtTheEdges) {
    MessageBench b;
    ASSERT_EQ(b.loaded, 1) << ErrorReport().Text();
    ShowMessageBox(*b.box, "Hi", CUiMessageBox::MODE_OK_CANCEL, 0);
    // OK buttons are 60 wide, corners 8: 150 of text area.
    EXPECT_FLOAT_EQ(b.box->Size().x, 8 + 150 + 8);
    EXPECT_TRUE(b.box->TextStatic()->HasFlags(CUiStatic::kFlagCentreText));
    EXPECT_FLOAT_EQ(b.box->OkButton()->Position().x, 8);
    EXPECT_FLOAT_EQ(b.box->CancelButton()->Position().x, 8 + 150 - 60);
    // A long text: the box is as wide as the text, the buttons at 0.2 and 0.8.
    const std::string text(40, 'x');  // 280 pixels
    ShowMessageBox(*b.box, text.c_str(), CUiMessageBox::MODE_OK_CANCEL, 0);
    EXPECT_FLOAT_EQ(b.box->Size().x, 8 + 280 + 8);
    EXPECT_TRUE(b.box->TextStatic()->HasFlags(CUiStatic::kFlagRightText));
    EXPECT_FLOAT_EQ(b.box->OkButton()->Position().x, 8 + 44);
    EXPECT_FLOAT_EQ(b.box->CancelButton()->Position().x, 8 + 176);

    // A click on Cancel answers 0.
    const UiPoint at = b.box->CancelButton()->GetAbsolutePos();
    b.in.Cursor(static_cast<int>(at.x) + 5, static_cast<int>(at.y) + 5);
    b.box->AddFlags(UI_POINTER_OVER);
    b.in.Button(0, true);
    b.Frame();
    b.in.Button(0, false);
    b.Frame();
    EXPECT_EQ(PollMessageBoxResult(*b.box), 0);
}

TEST(UiFramedWindow, TooltipAfterAThirdOfASecondOnATextedElement) {
    ControlsFixture f;
    const std::string path = f.Write("TOOLTIP.DUI", TooltipLayout());
    auto* tip = new CUiFramedWindow;
    ASSERT_EQ(tip->LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
    f.ui.AddUpperWindow(tip);
    f.ui.SetTooltip(tip);
    HookWindow* win = f.AddWindow("WND_UNDER", 100, 100, 200, 100);
    TestLabel* named = UiFixture::AddLabel(win, "ID_STT_NAMED", 10, 10, 50, 20);
    named->SetText("Hello");
    UiFixture::AddLabel(win, "ID_STT_BLANK", 10, 50, 50, 20);

    ScriptedFrame in;
    auto run = [&](int x, int y, float seconds) {
        in.Cursor(x, y);
        for (float t = 0; t < seconds; t += 0.05f) {
            in.Frame(0.05f);
            f.ui.DispatchInput(0.05f, in.input);
        }
    };
    // The manager names the target after the upper layer ran: the tooltip
    // sees it one frame late, and starts counting the frame after.
    run(120, 115, 0.2f);
    EXPECT_FALSE(tip->Drawn());
    EXPECT_LE(tip->HoverTime(), 0.3f);
    run(120, 115, 0.25f);
    ASSERT_TRUE(tip->Drawn());
    EXPECT_EQ(tip->TextStatic()->GetText(), "Hello");
    EXPECT_FLOAT_EQ(tip->Size().x, 8 + 35 + 10 + 8);
    run(120, 155, 0.1f);  // another element: hidden once the manager names it
    EXPECT_FALSE(tip->Drawn());
    run(120, 155, 0.5f);  // no text: stays hidden
    EXPECT_FALSE(tip->Drawn());
    f.ui.DeleteWindow(tip);
    EXPECT_EQ(f.ui.Tooltip(), nullptr);
}

TEST(UiPopupMenu, GrowsWithItemsStartsHiddenAndStaysOnScreen) {
    ControlsFixture f;
    auto* popup = new CUiPopupMenu;
    popup->Create("WND_POPUP");
    EXPECT_TRUE(popup->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(f.ui.IsInLayer(popup));
    popup->AddItem("Invite", {1, 1, 1, 1});
    popup->AddItem("Whisper", {1, 1, 1, 1});
    popup->AddItem("A very long entry of the menu", {1, 1, 1, 0.95f});  // 203 pixels
    EXPECT_FLOAT_EQ(popup->Size().y, 90.0f);
    EXPECT_FLOAT_EQ(popup->List().Size().y, 80.0f);
    EXPECT_FLOAT_EQ(popup->Size().x, 203.0f + 25.0f);
    EXPECT_FLOAT_EQ(popup->List().Size().x, 203.0f + 15.0f);
    EXPECT_EQ(popup->List().Rows(), 3u);

    popup->ClearFlags(UI_HIDDEN);
    popup->SetPosition(1000, 700);
    ScriptedFrame in;
    in.Frame();
    popup->ProcessInput(0.016f, in.input);
    EXPECT_FLOAT_EQ(popup->Position().x, 1024.0f - 228.0f);
    EXPECT_FLOAT_EQ(popup->Position().y, 768.0f - 90.0f);
    f.ui.DeleteWindow(popup);
}

TEST(UiControlLayout, SampleGameFolderLayoutsLoadFromTheirPackage) {
    ControlsFixture f;
    IndexedFolder folder;
    ASSERT_EQ(MakeSampleGameFolder(folder.tmp.path()), 1) << ErrorReport().Text();
    ASSERT_TRUE(folder.Index());
    auto resolve = [&](const char* name, uint32_t* offset, uint32_t* size) {
        return folder.index.ResolvePath(name, offset, size);
    };
    uint32_t offset = 0, size = 0;
    std::string path = resolve("TOOLTIP.DUI", &offset, &size);
    CUiFramedWindow tooltip;
    EXPECT_EQ(tooltip.LoadLayout(path.c_str(), offset, size), 1) << ErrorReport().Text();
    path = resolve("MESSAGE_BOX.DUI", &offset, &size);
    CUiMessageBox box;
    EXPECT_EQ(box.LoadLayout(path.c_str(), offset, size), 1) << ErrorReport().Text();
    path = resolve("ALL_CONTROLS.DUI", &offset, &size);
    CUiWindow all;
    EXPECT_EQ(all.LoadLayout(path.c_str(), offset, size), 1) << ErrorReport().Text();
    EXPECT_EQ(all.Children().size(), 8u);
}

namespace {

class StubSound : public CResource {
public:
    StubSound() : CResource(RES_SOUND_EFFECT) {}
    int Load(const char*, int) override { return 1; }
};

// A button that tells which sounds it holds.
class CountingButton : public CUiButton {
public:
    bool HasHoverSound() const { return m_hoverSound != nullptr; }
    bool HasClickSound() const { return m_clickSound != nullptr; }
};

}  // namespace

TEST(UiControlLayout, AMissingSoundLeavesTheButtonSilentAndTheLayoutLoads) {
    ControlsFixture f;
    f.folder.Write("CLICK.WAV", std::string("RIFF"));
    CResourceManager resources(f.folder.path());
    resources.SetFactory(RES_SOUND_EFFECT, [](CUiWindow*) { return new StubSound; });
    LayoutFileSpec spec = AllControlsLayout();
    LayoutButtonPart part;
    part.caption = "Push";
    part.hoverSound = "HOVER.WAV";
    part.clickSound = "CLICK.WAV";
    spec.children[1].part = ButtonPart(part);
    const std::string path = f.Write("SOUNDS.DUI", spec);

    CUiWindow window;
    CountingButton button;
    button.SetName("ID_BTN_PUSH");
    window.AddPreBound(&button);
    ASSERT_EQ(window.LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
    EXPECT_NE(ErrorReport().Text().find("Sound load fail HOVER.WAV"), std::string::npos) << ErrorReport().Text();
    EXPECT_EQ(button.Caption(), "Push");
    EXPECT_FALSE(button.HasHoverSound());
    EXPECT_TRUE(button.HasClickSound()) << ErrorReport().Text();
}

// Every layout the tools write: unique control names, and every control a
// window binds by name is there.
TEST(UiControlLayout, ToolLayoutsHaveUniqueNamesAndTheirBoundControls) {
    ControlsFixture f;
    struct Case {
        const char* name;
        LayoutFileSpec spec;
    } cases[] = {{"TOOLTIP.DUI", TooltipLayout()},
                 {"MESSAGE_BOX.DUI", MessageBoxLayout()},
                 {"ALL_CONTROLS.DUI", AllControlsLayout()},
                 {"LOADING.DUI", LoadingLayout()}};
    for (const Case& c : cases) {
        std::set<std::string> names;
        for (const LayoutRecordSpec& r : c.spec.children) EXPECT_TRUE(names.insert(r.name).second) << r.name;
        const std::string path = f.Write(c.name, c.spec);
        CUiMessageBox box;
        CUiFramedWindow frame;
        CUiWindow plain;
        CUiWindow& window = std::string(c.name) == "MESSAGE_BOX.DUI" ? box
                            : std::string(c.name) == "TOOLTIP.DUI"   ? static_cast<CUiWindow&>(frame)
                                                                     : plain;
        EXPECT_EQ(window.LoadLayout(path.c_str(), 0), 1) << c.name << ": " << ErrorReport().Text();
        if (std::string(c.name) == "LOADING.DUI") {
            EXPECT_EQ(plain.Children().size(), 8u + 12u * 4u);
            EXPECT_NE(Control<CUiGauge>(plain, "ID_PROGRESS_PLAYER_LOADING_12"), nullptr);
            auto* chat = Control<CUiListBox>(plain, "ID_LIST_CHAT");
            ASSERT_NE(chat, nullptr);
            EXPECT_EQ(chat->ScrollBar().Name(), "MID_Scroll");
        }
    }
}

// Version 1.07 layouts: check buttons end before the caption shift and edit
// boxes have no font index (font 0).
TEST(UiControlLayout, OlderVersionLoads) {
    ControlsFixture f;
    LayoutFileSpec spec = AllControlsLayout();
    spec.version = 1.07f;
    for (LayoutRecordSpec& r : spec.children) {
        if (r.type == UI_TYPE_CHECKBUTTON) r.part.pop_back();
        if (r.type == UI_TYPE_EDITBOX) r.part.pop_back();
        for (LayoutRecordSpec& n : r.nested)
            if (n.type == UI_TYPE_CHECKBUTTON) n.part.pop_back();
    }
    const std::string path = f.Write("OLD.DUI", spec);
    CUiWindow window;
    ASSERT_EQ(window.LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
    auto* check = Control<CUiCheckButton>(window, "ID_CHECKBUTTON_OPTION");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->CheckShift(), 0);
    EXPECT_EQ(check->Caption(), "Option");
    auto* edit = Control<CUiEditBox>(window, "ID_EDIT_NAME");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->FontIndex(), 0u);
    ASSERT_NE(Control<CUiComboBox>(window, "ID_COMBO_MODE"), nullptr);
}
