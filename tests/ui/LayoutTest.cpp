#include "tests/ui/UiFixture.h"

#include <fstream>
#include <iterator>

#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/resource/ResourceManager.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/DdsWriter.h"
#include "tools/LayoutWriter.h"
#include "tools/PackageWriter.h"
#include "ui/LayoutResource.h"
#include "ui/LayoutRecord.h"
#include "ui/UiImage.h"

namespace {

LayoutRecordSpec Label(const std::string& name, float x, float y, const std::string& caption, uint32_t font) {
    LayoutRecordSpec r;
    r.type = UI_TYPE_STATIC;
    r.name = name;
    r.rect[0] = x;
    r.rect[1] = y;
    r.rect[2] = 80;
    r.rect[3] = 20;
    r.colour[3] = 0.75f;
    r.text = "tip of " + name;
    const float black[4] = {0, 0, 0, 1};
    r.part = StaticPart(caption, black, font, 0, 0, 0);
    return r;
}

LayoutRecordSpec Edit(const std::string& name, bool withFont) {
    LayoutRecordSpec r;
    r.type = UI_TYPE_EDITBOX;
    r.name = name;
    r.rect[2] = 120;
    r.rect[3] = 18;
    const float colour[4] = {1, 0.5f, 0, 1};
    r.part = EditBoxPart(colour, 7, 1, withFont);
    return r;
}

LayoutRecordSpec Compound(const std::string& name) {
    LayoutRecordSpec r;
    r.type = UI_TYPE_LISTBOX;
    r.name = name;
    r.rect[2] = 200;
    r.rect[3] = 100;
    r.part = {LayoutU32(6)};
    LayoutRecordSpec scroll = Label("MID_Scroll", 180, 0, "", 0);
    scroll.type = UI_TYPE_SCROLLBAR;
    scroll.colour[0] = 0.25f;
    r.nested = {scroll, Label("MID_ItemMarking", 0, 0, "", 0)};
    return r;
}

LayoutFileSpec SampleLayout() {
    LayoutFileSpec spec;
    spec.window.name = "WND_SAMPLE";
    spec.window.rect[0] = 100;
    spec.window.rect[1] = 50;
    spec.window.rect[2] = 400;
    spec.window.rect[3] = 300;
    spec.window.text = "window tip";
    spec.window.part = {LayoutFloat(0), LayoutFloat(0), LayoutFloat(400), LayoutFloat(20)};
    LayoutRecordSpec disabled = Label("ID_STT_DISABLED", 10, 60, "off", 0);
    disabled.flags = 4;
    LayoutRecordSpec orFlags = Label("ID_STT_FLAGS", 10, 90, "six", 1);
    orFlags.flags = 6;
    spec.children = {Label("ID_STT_TITLE", 10, 30, "Title", 1), Edit("ID_EDIT_NAME", true), Compound("ID_LIST_ROWS"),
                     disabled, orFlags};
    return spec;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A texture that loads whatever file it is given.
class StubTexture : public CResource {
public:
    StubTexture() : CResource(RES_TEXTURE) {}
    int Load(const char*, int) override { return 1; }
};

// The UI fixture with a message table and a temporary game folder.
struct LayoutFixture : UiFixture {
    LayoutFixture() {
        messages.SetMsg(MSG_ERROR_FILE_VERSION, "The file %s has a wrong version.");
        messages.SetMsg(MSG_ERROR_FILE_NOT_FOUND, "Cannot find the file %s.");
        messages.SetMsg(MSG_ERROR_STREAM_TOO_SHORT, "The file %s is shorter than its contents.");
    }
    std::string Write(const std::string& name, const LayoutFileSpec& spec) {
        std::string path = tmp.Path(name);
        EXPECT_EQ(WriteLayoutFile(path.c_str(), spec), 1);
        return path;
    }
    std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
        return tmp.Write(name, std::vector<unsigned char>(bytes.begin(), bytes.end()));
    }

    CMessageTable messages;
    TempFolder tmp;
};

}  // namespace

TEST(Layout, RoundTripThroughOurWriter) {
    LayoutFixture f;
    LayoutFileSpec spec = SampleLayout();
    std::string path = f.Write("SAMPLE.DUI", spec);
    CUiWindow window;
    ASSERT_EQ(window.LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();

    EXPECT_EQ(window.Name(), "WND_SAMPLE");
    EXPECT_FLOAT_EQ(window.LayoutVersion(), 1.09f);
    EXPECT_FLOAT_EQ(window.DragArea()[2], 400.0f);
    EXPECT_EQ(window.Text(), "window tip");
    ASSERT_EQ(window.Children().size(), 5u);
    auto* title = dynamic_cast<TestLabel*>(window.FindChild(NameHash("ID_STT_TITLE")));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Parent(), &window);
    EXPECT_EQ(title->caption, "Title");
    EXPECT_EQ(title->Font(), &f.font1);
    EXPECT_FLOAT_EQ(title->TextSize().x, 7.0f * 19);  // "tip of ID_STT_TITLE"
    auto* edit = dynamic_cast<TestEdit*>(window.FindChild(NameHash("ID_EDIT_NAME")));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->style, 7u);
    EXPECT_EQ(edit->FontIndex(), 1u);
    auto* list = dynamic_cast<TestCompound*>(window.FindChild(NameHash("ID_LIST_ROWS")));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->rows, 6u);
    EXPECT_FLOAT_EQ(list->scroll.Colour().r, 0.25f);  // the nested record styled the part
    EXPECT_FLOAT_EQ(list->scroll.Position().x, 180.0f);
    auto* disabled = window.FindChild(NameHash("ID_STT_DISABLED"));
    EXPECT_TRUE(disabled->HasFlags(UI_DISABLED));
    EXPECT_FLOAT_EQ(disabled->Colour().r, 0.6f);
    EXPECT_FLOAT_EQ(disabled->SavedColour().r, 1.0f);
    auto* orFlags = window.FindChild(NameHash("ID_STT_FLAGS"));
    EXPECT_EQ(orFlags->Flags(), 6u);
    EXPECT_FLOAT_EQ(orFlags->Colour().r, 1.0f);  // 6 is only OR-ed in

    // Saving writes the same bytes back.
    std::string again = f.tmp.Path("AGAIN.DUI");
    ASSERT_EQ(window.SaveLayout(again.c_str()), 1);
    EXPECT_EQ(ReadAll(again), BuildLayout(spec));
}

TEST(Layout, PositionsAreTruncatedAndZeroUvIsWrittenAsDefaults) {
    LayoutFixture f;
    LayoutFileSpec spec = SampleLayout();
    spec.children = {Label("ID_STT_A", 10.6f, -10.6f, "", 0)};
    for (float& u : spec.children[0].uv) u = 0;
    std::string path = f.Write("TRUNC.DUI", spec);
    CUiWindow window;
    ASSERT_EQ(window.LoadLayout(path.c_str(), 0), 1);
    CUiObject* a = window.FindChild(NameHash("ID_STT_A"));
    EXPECT_FLOAT_EQ(a->Position().x, 10.0f);
    EXPECT_FLOAT_EQ(a->Position().y, -10.0f);
    std::string again = f.tmp.Path("AGAIN.DUI");
    ASSERT_EQ(window.SaveLayout(again.c_str()), 1);
    CUiWindow reread;
    ASSERT_EQ(reread.LoadLayout(again.c_str(), 0), 1);
    const float* uv = reread.FindChild(NameHash("ID_STT_A"))->Uv();
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(uv[i], kDefaultUv[i]) << i;
}

// Version 1.07: the edit box part has no font index (font 0), and the records
// after it still line up.
TEST(Layout, Version107Fixture) {
    LayoutFixture f;
    LayoutFileSpec spec = SampleLayout();
    spec.version = 1.07f;
    spec.children = {Edit("ID_EDIT_OLD", false), Label("ID_STT_AFTER", 5, 5, "after", 1)};
    std::string path = f.Write("OLD.DUI", spec);
    CUiWindow window;
    ASSERT_EQ(window.LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
    EXPECT_FLOAT_EQ(window.LayoutVersion(), 1.07f);
    EXPECT_EQ(window.FindChild(NameHash("ID_EDIT_OLD"))->FontIndex(), 0u);
    auto* after = dynamic_cast<TestLabel*>(window.FindChild(NameHash("ID_STT_AFTER")));
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->caption, "after");
}

TEST(Layout, WrongVersionIsError10004) {
    LayoutFixture f;
    LayoutFileSpec spec = SampleLayout();
    spec.version = 1.08f;
    std::string path = f.Write("BAD.DUI", spec);
    CUiWindow window;
    EXPECT_EQ(window.LoadLayout(path.c_str(), 0), 0);
    EXPECT_EQ(ErrorReport().GetCode(), 10004u);
    EXPECT_EQ(ErrorReport().Text(), "The file BAD.DUI has a wrong version.");
    EXPECT_TRUE(window.Children().empty());
}

// Faults of a damaged file each fail the load with the path of names from the
// failing record up to the window.
TEST(Layout, DamagedRecordsFailWithTheChainedText) {
    LayoutFixture f;
    CResourceManager resources(f.tmp.path());
    resources.SetFactory(RES_TEXTURE, [](CUiWindow*) { return new StubTexture; });
    struct Case {
        const char* what;
        std::function<void(LayoutFileSpec&)> damage;
        std::string text;
    } cases[] = {
        {"missing image",
         [](LayoutFileSpec& s) {
             s.children[0].hasImage = 1;
             s.children[0].image = "MISSING.DDS";
         },
         "Cannot find the file MISSING.DDS.\n<- ID_STT_TITLE\n<- WND_SAMPLE"},
        {"missing image of a nested part",
         [](LayoutFileSpec& s) {
             s.children[2].nested[1].hasImage = 1;
             s.children[2].nested[1].image = "GONE.DDS";
         },
         "Cannot find the file GONE.DDS.\n<- MID_ItemMarking\n<- ID_LIST_ROWS\n<- WND_SAMPLE"},
        {"unknown type id", [](LayoutFileSpec& s) { s.children[1].type = 0x10000077; },
         "Layout control ID_EDIT_NAME has the unknown type 0x10000077 : DAMAGED.DUI\n<- WND_SAMPLE"},
        {"nested count", [](LayoutFileSpec& s) { s.children[2].nestedCount = 3; },
         "Layout record ID_LIST_ROWS has 3 nested records for 2 parts : DAMAGED.DUI\n<- ID_LIST_ROWS\n<- WND_SAMPLE"},
        {"nested name", [](LayoutFileSpec& s) { s.children[2].nested[0].name = "MID_Other"; },
         "Layout record ID_LIST_ROWS: nested record MID_Other (type 0x10000006) does not match the part MID_Scroll : "
         "DAMAGED.DUI\n<- ID_LIST_ROWS\n<- WND_SAMPLE"},
        {"nested type", [](LayoutFileSpec& s) { s.children[2].nested[0].type = UI_TYPE_STATIC; },
         "Layout record ID_LIST_ROWS: nested record MID_Scroll (type 0x10000008) does not match the part MID_Scroll : "
         "DAMAGED.DUI\n<- ID_LIST_ROWS\n<- WND_SAMPLE"},
    };
    for (const Case& c : cases) {
        LayoutFileSpec spec = SampleLayout();
        c.damage(spec);
        std::string path = f.Write("DAMAGED.DUI", spec);
        CUiWindow window;
        EXPECT_EQ(window.LoadLayout(path.c_str(), 0), 0) << c.what;
        EXPECT_EQ(ErrorReport().Text(), c.text) << c.what;
    }
}

// Every cut of a good file fails cleanly (the sanitizers watch the reads), and
// so do files with garbage after the version.
TEST(Layout, TruncatedAndGarbageFilesFailCleanly) {
    LayoutFixture f;
    std::vector<uint8_t> good = BuildLayout(SampleLayout());
    for (size_t n = 0; n < good.size(); ++n) {
        std::string path = f.WriteBytes("CUT.DUI", std::vector<uint8_t>(good.begin(), good.begin() + n));
        CUiWindow window;
        EXPECT_EQ(window.LoadLayout(path.c_str(), 0), 0) << n;
    }
    uint32_t seed = 12345;
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> bytes = good;
        for (int k = 0; k < 6; ++k) {
            seed = seed * 1103515245u + 12345u;
            size_t at = 4 + (seed >> 8) % (bytes.size() - 4);
            bytes[at] = static_cast<uint8_t>(seed >> 3);
        }
        std::string path = f.WriteBytes("GARBAGE.DUI", bytes);
        CUiWindow window;
        window.LoadLayout(path.c_str(), 0);  // may load or fail; must never read out of bounds
    }
    // A string length far past the end of the file.
    std::vector<uint8_t> huge = {0x1F, 0x85, 0x8B, 0x3F, 0, 0, 0, 0x10, 0xFF, 0xFF, 0xFF, 0x7F, 'A'};
    std::string path = f.WriteBytes("HUGE.DUI", huge);
    CUiWindow window;
    EXPECT_EQ(window.LoadLayout(path.c_str(), 0), 0);
    EXPECT_EQ(ErrorReport().Text(), "The file HUGE.DUI is shorter than its contents.");
}

// A package entry's layout ends at the entry, not at the end of the package.
TEST(Layout, EntrySizeBoundsTheReads) {
    LayoutFixture f;
    std::vector<uint8_t> good = BuildLayout(SampleLayout());
    std::vector<uint8_t> package(16, 0xEE);
    package.insert(package.end(), good.begin(), good.end());
    package.insert(package.end(), 64, 0xEE);
    std::string path = f.WriteBytes("PACK.DAT", package);
    CUiWindow whole;
    EXPECT_EQ(whole.LoadLayout(path.c_str(), 16, static_cast<uint32_t>(good.size())), 1) << ErrorReport().Text();
    CUiWindow cut;
    EXPECT_EQ(cut.LoadLayout(path.c_str(), 16, static_cast<uint32_t>(good.size() - 1)), 0);
}

namespace {

// A window that owns its title label as a member.
class BoundWindow : public CUiWindow {
public:
    BoundWindow() {
        title.Create(this, "ID_STT_TITLE", 0, 0, 0, 0, 0);
        AddPreBound(&title);
    }
    TestLabel title;
};

}  // namespace

TEST(Layout, PreBoundControlIsFilledAndNotDeleted) {
    LayoutFixture f;
    std::string path = f.Write("BOUND.DUI", SampleLayout());
    {
        BoundWindow window;
        ASSERT_EQ(window.LoadLayout(path.c_str(), 0), 1);
        EXPECT_EQ(window.FindChild(NameHash("ID_STT_TITLE")), &window.title);
        EXPECT_EQ(window.title.caption, "Title");
    }  // the sanitizer would report a delete of the member
    // A pre-bound control of another type than the record is refused.
    LayoutFileSpec spec = SampleLayout();
    spec.children[0].type = UI_TYPE_BUTTON;
    spec.children[0].part = ButtonPart(LayoutButtonPart());
    path = f.Write("BOUND2.DUI", spec);
    BoundWindow window;
    EXPECT_EQ(window.LoadLayout(path.c_str(), 0), 0);
}

// Layouts are cached per owner: two windows of one file both get their controls.
TEST(Layout, TwoWindowsShareOneLayoutFile) {
    LayoutFixture f;
    f.Write("IMAGE_BOX.DUI", SampleLayout());
    CResourceManager resources(f.tmp.path());
    RegisterLayoutResource(resources);
    auto* first = new CUiWindow;
    auto* second = new CUiWindow;
    CResource* a = resources.GetResource("IMAGE_BOX.DUI", RES_LAYOUT, first, 0);
    CResource* b = resources.GetResource("IMAGE_BOX.DUI", RES_LAYOUT, second, 0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(first->Children().size(), 5u);
    EXPECT_EQ(second->Children().size(), 5u);
    EXPECT_EQ(f.ui.LowerLayer().size(), 2u);
    // The same owner asking again shares its resource.
    EXPECT_EQ(resources.GetResource("IMAGE_BOX.DUI", RES_LAYOUT, first, 0), a);
    resources.ReleaseResource(a);
    resources.ReleaseResource(a);  // the last reference deletes the first window
    EXPECT_EQ(f.ui.LowerLayer().size(), 1u);
    EXPECT_EQ(f.ui.LowerLayer()[0], second);

    // The UI manager's clean-up deletes the second window; the resource
    // released afterwards must not delete it again.
    f.ui.DeleteAllWindows();
    EXPECT_EQ(static_cast<CLayoutResource*>(b)->Window(), nullptr);
    EXPECT_NE(b->CacheOwner(), second);  // a new window at the same address gets its own layout
    resources.ReleaseResource(b);
}

// An image named by a record is taken from the resource manager, written back
// by name, and released with its element.
TEST(Layout, ImagesAreTakenAndReleased) {
    LayoutFixture f;
    f.tmp.Write("ICON.DDS", std::string("x"));
    CResourceManager resources(f.tmp.path());
    resources.SetFactory(RES_TEXTURE, [](CUiWindow*) { return new StubTexture; });
    LayoutFileSpec spec = SampleLayout();
    spec.children[0].hasImage = 1;
    spec.children[0].image = "ICON.DDS";
    spec.children[4].hasImage = 1;
    spec.children[4].image = "ICON.DDS";
    std::string path = f.Write("IMAGES.DUI", spec);
    {
        CUiWindow window;
        ASSERT_EQ(window.LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
        CResource* icon = window.FindChild(NameHash("ID_STT_TITLE"))->Image();
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->RefCount(), 2);
        std::string again = f.tmp.Path("AGAIN.DUI");
        ASSERT_EQ(window.SaveLayout(again.c_str()), 1);
        EXPECT_EQ(ReadAll(again), BuildLayout(spec));
    }
    EXPECT_EQ(resources.Cache(RES_TEXTURE)->Count(), 0u);
}

// A real texture named by a record is bound while its element draws.
TEST(Layout, RecordImageIsDrawnWithItsTexture) {
    LayoutFixture f;
    std::vector<uint8_t> dds = CDdsWriter::Solid(platform::FMT_A8R8G8B8, 16, 8, 0xFF804020u, 0);
    f.WriteBytes("ICON.DDS", dds);
    CResourceManager resources(f.tmp.path());
    resources.SetDevice(&f.device);
    LayoutFileSpec spec = SampleLayout();
    spec.children = {Label("ID_STT_ICON", 10, 10, "", 0)};
    spec.children[0].hasImage = 1;
    spec.children[0].image = "ICON.DDS";
    std::string path = f.Write("ICON.DUI", spec);
    CUiWindow window;
    ASSERT_EQ(window.LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
    CUiObject* icon = window.FindChild(NameHash("ID_STT_ICON"));
    EXPECT_EQ(UiImageOf(icon->Image()).width, 16u);
    f.ui.BeginDraw();
    window.Render();
    ASSERT_EQ(f.device.quads.size(), 2u);
    EXPECT_EQ(f.device.quads[0].texture, nullptr);  // the window has no image
    EXPECT_EQ(f.device.quads[1].texture, UiImageOf(icon->Image()).texture);
    EXPECT_NE(f.device.quads[1].texture, nullptr);
}

// The state images of a button's part: the index must name one of the three states.
TEST(Layout, StateImageEntries) {
    LayoutFixture f;
    f.tmp.Write("ICON.DDS", std::string("x"));
    CResourceManager resources(f.tmp.path());
    resources.SetFactory(RES_TEXTURE, [](CUiWindow*) { return new StubTexture; });
    std::string path = f.tmp.Path("STATES.DUI");
    {
        CFileStream out;
        ASSERT_EQ(out.OpenWrite(path.c_str()), 1);
        CLayoutStream s(out, 1.09f);
        WriteLayoutStateImage(s, 2, "ICON.DDS");
        WriteLayoutStateImage(s, 0, "");
        uint32_t hasImage = 1, badIndex = 3;
        std::string name = "ICON.DDS";
        s.Field(hasImage);
        s.Field(badIndex);
        s.Field(name);
    }
    std::vector<uint8_t> bytes = ReadAll(path);
    CLayoutStream s(bytes.data(), bytes.size(), 1.09f, "STATES.DUI");
    int32_t index = 0;
    CResource* image = nullptr;
    std::string name;
    ASSERT_EQ(ReadLayoutStateImage(s, &index, &image, &name), 1);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(name, "ICON.DDS");
    ASSERT_NE(image, nullptr);
    resources.ReleaseResource(image);
    ASSERT_EQ(ReadLayoutStateImage(s, &index, &image, &name), 1);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(ReadLayoutStateImage(s, &index, &image, &name), 0);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(ErrorReport().Text(), "Layout state image ICON.DDS has the state index 3 : STATES.DUI");
    EXPECT_EQ(resources.Cache(RES_TEXTURE)->Count(), 0u);
}

// A layout inside a package loads through the layout resource with the entry's
// place; a damaged one fails without deleting anything twice.
TEST(Layout, PackagedLayoutThroughTheResourceManager) {
    LayoutFixture f;
    std::vector<uint8_t> good = BuildLayout(SampleLayout());
    CPackageWriter package("UI.DRP");
    package.Add("PACKED.DUI", good, false);
    package.Add("CUT.DUI", std::vector<uint8_t>(good.begin(), good.begin() + 60), false);
    ASSERT_TRUE(package.WritePackage(f.tmp.path() + "\\DATA"));
    ASSERT_TRUE(CPackageWriter::WriteList(f.tmp.Path("PACKAGELIST.DRL"), {&package}));
    CResourceManager resources(f.tmp.path());
    ASSERT_TRUE(resources.FileIndex().LoadPackageList("PACKAGELIST.DRL"));
    RegisterLayoutResource(resources);
    auto* window = new CUiWindow;
    CResource* layout = resources.GetResource("PACKED.DUI", RES_LAYOUT, window, 0);
    ASSERT_NE(layout, nullptr) << ErrorReport().Text();
    EXPECT_EQ(window->Children().size(), 5u);
    EXPECT_EQ(f.ui.LowerLayer(), (std::vector<CUiWindow*>{window}));
    // The failed resource takes its window with it; nothing stays in the layers.
    EXPECT_EQ(resources.GetResource("CUT.DUI", RES_LAYOUT, new CUiWindow, 0), nullptr);
    EXPECT_EQ(f.ui.LowerLayer().size(), 1u);
    resources.ReleaseResource(layout);
    EXPECT_TRUE(f.ui.LowerLayer().empty());
}

// Buttons and check buttons keep their images in their state part; a check
// button of a 1.07 file has no caption shift; a state index past 2 fails.
TEST(Layout, ButtonStatePartsAndVersions) {
    LayoutFixture f;
    f.tmp.Write("UP.DDS", std::string("x"));
    f.tmp.Write("DOWN.DDS", std::string("x"));
    CResourceManager resources(f.tmp.path());
    resources.SetFactory(RES_TEXTURE, [](CUiWindow*) { return new StubTexture; });
    auto button = [](uint32_t type, const std::string& name, bool checkShift) {
        LayoutRecordSpec r;
        r.type = type;
        r.name = name;
        LayoutButtonPart part;
        part.stateImage[0] = "UP.DDS";
        part.stateImage[2] = "DOWN.DDS";
        part.caption = "OK";
        part.hoverSound = "HOVER.WAV";
        part.font = 1;
        part.frameTime = 0.25f;
        part.withCheckShift = checkShift;
        part.checkShift = 3;
        r.part = ButtonPart(part);
        return r;
    };
    for (float version : {1.09f, 1.07f}) {
        LayoutFileSpec spec = SampleLayout();
        spec.version = version;
        bool v109 = version == 1.09f;
        spec.children = {button(UI_TYPE_BUTTON, "ID_BTN_OK", false), button(UI_TYPE_CHECKBUTTON, "ID_CHECK", v109),
                         Label("ID_STT_AFTER", 0, 0, "after", 0)};
        std::string path = f.Write("BUTTONS.DUI", spec);
        CUiWindow window;
        ASSERT_EQ(window.LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
        auto* ok = dynamic_cast<TestButton*>(window.FindChild(NameHash("ID_BTN_OK")));
        ASSERT_NE(ok, nullptr);
        EXPECT_NE(ok->stateImage[0], nullptr);
        EXPECT_EQ(ok->stateImage[1], nullptr);
        EXPECT_EQ(ok->stateName[2], "DOWN.DDS");
        EXPECT_EQ(ok->Image(), nullptr);  // no common image for buttons
        EXPECT_EQ(ok->hoverSound, "HOVER.WAV");
        EXPECT_EQ(ok->FontIndex(), 1u);
        auto* check = dynamic_cast<TestButton*>(window.FindChild(NameHash("ID_CHECK")));
        EXPECT_EQ(check->checkShift, v109 ? 3 : 0);
        EXPECT_EQ(dynamic_cast<TestLabel*>(window.FindChild(NameHash("ID_STT_AFTER")))->caption, "after");
        if (v109) {
            std::string again = f.tmp.Path("AGAIN.DUI");
            ASSERT_EQ(window.SaveLayout(again.c_str()), 1);
            EXPECT_EQ(ReadAll(again), BuildLayout(spec));
        }
    }

    LayoutFileSpec spec = SampleLayout();
    spec.children = {button(UI_TYPE_BUTTON, "ID_BTN_OK", false)};
    // The pressed image's entry: has image, state index, name. Make its index 5.
    std::vector<LayoutField>& part = spec.children[0].part;
    for (size_t i = 24; i + 1 < part.size(); ++i) {
        auto* name = std::get_if<std::string>(&part[i + 1].value);
        if (name && *name == "DOWN.DDS") {
            part[i] = LayoutU32(5);
            break;
        }
    }
    std::string path = f.Write("BADSTATE.DUI", spec);
    CUiWindow window;
    EXPECT_EQ(window.LoadLayout(path.c_str(), 0), 0);
    EXPECT_EQ(ErrorReport().Text(),
              "Layout state image DOWN.DDS has the state index 5 : BADSTATE.DUI\n<- ID_BTN_OK\n<- WND_SAMPLE");
    EXPECT_EQ(resources.Cache(RES_TEXTURE)->Count(), 0u);  // the normal image went back with the button
}
