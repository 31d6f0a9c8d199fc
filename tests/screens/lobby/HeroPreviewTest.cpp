// The lobby's hero preview on the sample game folder's models: the pass into
// its own target on the recording device (backdrop without depth, then the
// hero), what changes and what does not when a model is asked for, the
// device reset, the idle switching, and the picture in hero select's detail
// static drawn by the GL device (headless).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/render/RenderStateCache.h"
#include "engine/render/ShaderSet.h"
#include "platform/CrtRandom.h"
#include "platform/GfxRecordingDevice.h"
#include "screens/lobby/HeroPreview.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tests/fixtures/SampleResources.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/LayoutWriter.h"
#include "tools/RoomLayouts.h"
#include "tools/SampleGameFolder.h"
#include "ui/UiControls.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "ui/UiWindow.h"

using namespace platform;

namespace {

// The sample heroes' viewpoint, before the column's front.
const Vec3 kHeroEye{0, 8.0f, -25.0f};
const Vec3 kHeroTarget{0, 5.0f, 0};

const std::string& SampleFolder() {
    static const TempFolder folder;
    static const bool made = MakeSampleGameFolder(folder.path()) == 1;
    EXPECT_TRUE(made);
    return folder.path();
}

// What the preview needs of the application: the device holder, the error
// report, the message table and the resources of the sample folder.
struct PreviewServices {
    explicit PreviewServices(CGfxDevice* device, CShaderSet* shaders = nullptr)
        : resources(MakeSampleResources(SampleFolder(), device, shaders)) {
        states.SetDevice(device);
    }
    CErrorReport report;
    CMessageTable messages;
    CRenderStateCache states;
    std::unique_ptr<CResourceManager> resources;
};

GfxPresentParameters WithDepth() {
    GfxPresentParameters pp;
    pp.backBufferWidth = 1024;
    pp.backBufferHeight = 768;
    pp.enableAutoDepthStencil = 1;
    pp.autoDepthStencilFormat = FMT_D24S8;
    return pp;
}

// The log reduced to the steps of a pass: target switches, clears, depth test and draws.
std::vector<std::string> PassSteps(const CGfxRecordingDevice& device) {
    std::vector<std::string> steps;
    for (const std::string& line : device.Log()) {
        std::string step;
        if (line.rfind("RenderTarget", 0) == 0)
            step = "target";
        else if (line.rfind("Clear", 0) == 0)
            step = line;
        else if (line.rfind("RenderState 7 ", 0) == 0)
            step = line == "RenderState 7 0" ? "depth off" : "depth on";
        else if (line.rfind("Draw", 0) == 0)
            step = "draw";
        if (!step.empty() && (steps.empty() || steps.back() != step || step != "draw")) steps.push_back(step);
    }
    return steps;
}

}  // namespace

TEST(HeroPreview, DrawsTheBackdropThenTheHeroIntoItsOwnTarget) {
    CGfxRecordingDevice device(WithDepth());
    PreviewServices services(&device);
    ASSERT_NE(services.resources, nullptr);
    CHeroPreview preview(Vec3{0, 0, 30.0f}, Vec3{0, 5.0f, 0});
    ASSERT_EQ(preview.SetUp({"UI_CHA_SELECT_V_BG.DRC"}), 1) << services.report.Text();
    const CRenderTargetTexture* target = preview.View().Target();
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->Width(), 1024u);
    EXPECT_EQ(target->Height(), 768u);

    CUiStatic detail;
    preview.Render(&detail);  // nothing loaded yet
    EXPECT_TRUE(detail.HasFlags(UI_HIDDEN));
    EXPECT_EQ(device.DrawCount(), 0u);

    ASSERT_EQ(preview.LoadModel("SAMPLE.DRC", kHeroEye, kHeroTarget), 1) << services.report.Text();
    const Matrix worldView = MatrixTranslation(1, 2, 3);
    device.SetTransform(TS_VIEW, &worldView);
    device.ClearLog();
    preview.Render(&detail);
    EXPECT_FALSE(detail.HasFlags(UI_HIDDEN));
    EXPECT_EQ(detail.Image(), target);
    const std::vector<std::string> expected = {
        "target",    "Clear 3 " + std::to_string(0xff000000u) + " 1.000000 0 rects 0",
        "depth off", "draw",
        "depth on",  "draw",
        "target"};
    EXPECT_EQ(PassSteps(device), expected);
    // The scene around the pass keeps its camera.
    Matrix after;
    device.GetTransform(TS_VIEW, &after);
    EXPECT_EQ(after(3, 0), 1.0f);
    EXPECT_EQ(after(3, 2), 3.0f);
    detail.SetImage(nullptr, std::string());
}

TEST(HeroPreview, SameModelKeepsItsGlideAndAMissingModelShowsNothing) {
    CGfxRecordingDevice device(WithDepth());
    PreviewServices services(&device);
    ASSERT_NE(services.resources, nullptr);
    services.messages.SetMsg(MSG_ERROR_FILE_NOT_READ, "cannot read %s");
    CHeroPreview preview(Vec3{0, 0, 30.0f}, Vec3{0, 5.0f, 0});
    ASSERT_EQ(preview.SetUp({"UI_CHA_SELECT_H_BG.DRC", "UI_CHA_SELECT_V_BG.DRC"}), 1) << services.report.Text();
    ASSERT_EQ(preview.LoadModel("SAMPLE.DRC", kHeroEye, kHeroTarget), 1);
    EXPECT_FALSE(preview.Glide().Settled());
    EXPECT_EQ(preview.CurrentAction(), CHeroPreview::kShowAction);
    // Both backdrops stand 60 units beyond the goal, across the view.
    for (size_t i = 0; i < preview.BackdropCount(); ++i) {
        const Vec3& at = const_cast<CHeroPreview&>(preview).Backdrop(i).position;
        EXPECT_NEAR(at.x, 0.0f, 1e-4f);
        EXPECT_EQ(at.y, 0.0f);
        EXPECT_GT(at.z, kHeroEye.z + 55.0f);
    }
    preview.Update(0.25f, false);
    const Vec3 midway = preview.Glide().Eye();
    EXPECT_EQ(preview.LoadModel("SAMPLE.DRC", Vec3{50, 50, 50}, Vec3{}), 1);
    EXPECT_EQ(preview.Glide().Eye().z, midway.z);
    EXPECT_EQ(preview.Glide().GoalEye().z, kHeroEye.z);
    EXPECT_EQ(preview.LoadModel(nullptr, Vec3{}, Vec3{}), 1);
    EXPECT_EQ(preview.ModelName(), "SAMPLE.DRC");

    EXPECT_EQ(preview.LoadModel("NO_SUCH_HERO.DRC", kHeroEye, kHeroTarget), 0);
    EXPECT_EQ(services.report.GetCode(), 10003);
    EXPECT_NE(services.report.Text().find("NO_SUCH_HERO.DRC"), std::string::npos) << services.report.Text();
    EXPECT_FALSE(preview.HasModel());
    CUiStatic detail;
    device.ClearLog();
    preview.Render(&detail);
    EXPECT_TRUE(detail.HasFlags(UI_HIDDEN));
    EXPECT_EQ(device.Count("Draw"), 0u);
    preview.Update(0.5f, true);  // nothing to animate, nothing to fail
}

TEST(HeroPreview, DeviceResetGivesTheTargetBackAndTheStaticKeepsShowingIt) {
    CGfxRecordingDevice device(WithDepth());
    PreviewServices services(&device);
    ASSERT_NE(services.resources, nullptr);
    CHeroPreview preview(Vec3{0, 0, 30.0f}, Vec3{0, 5.0f, 0});
    ASSERT_EQ(preview.SetUp({"UI_CHA_SELECT_V_BG.DRC"}), 1) << services.report.Text();
    ASSERT_EQ(preview.LoadModel(CHeroPreview::kRandomModel, Vec3{0, 5.0f, 20.0f}, Vec3{-0.4f, 1.0f, 0}), 1)
        << services.report.Text();
    CUiStatic detail;
    preview.Render(&detail);
    const CRenderTargetTexture* shown = preview.View().Target();
    ASSERT_EQ(detail.Image(), shown);

    preview.Invalidate();
    EXPECT_EQ(device.HeldDefaultPoolResources(), 0u);  // nothing stops the reset
    device.ClearLog();
    preview.Render(&detail);
    EXPECT_TRUE(detail.HasFlags(UI_HIDDEN));
    EXPECT_EQ(device.Count("RenderTarget"), 0u);

    GfxPresentParameters smaller = WithDepth();
    smaller.backBufferWidth = 800;
    smaller.backBufferHeight = 600;
    device.LoseDevice();
    device.AllowReset();
    ASSERT_EQ(device.Reset(&smaller), GFX_OK);
    ASSERT_EQ(preview.Restore(), 1) << services.report.Text();
    EXPECT_EQ(preview.View().Target(), shown);
    EXPECT_EQ(shown->Width(), 800u);
    EXPECT_EQ(preview.View().Camera().aspect, 800.0f / 600.0f);
    preview.Render(&detail);
    EXPECT_FALSE(detail.HasFlags(UI_HIDDEN));
    EXPECT_EQ(detail.Image(), shown);
    detail.SetImage(nullptr, std::string());
}

TEST(HeroPreview, IdleSwitchingAlternatesTheIdleAndARandomAction) {
    CGfxRecordingDevice device(WithDepth());
    PreviewServices services(&device);
    ASSERT_NE(services.resources, nullptr);
    CHeroPreview preview(Vec3{0, 0, 30.0f}, Vec3{0, 5.0f, 0});
    ASSERT_EQ(preview.SetUp({}), 1);
    // The random figure's action 1 lasts one second, its idle two.
    ASSERT_EQ(preview.LoadModel(CHeroPreview::kRandomModel, Vec3{0, 5.0f, 20.0f}, Vec3{-0.4f, 1.0f, 0}), 1);
    preview.Update(0.6f, false);
    preview.Update(0.6f, false);
    EXPECT_EQ(preview.CurrentAction(), CHeroPreview::kShowAction) << "no switching asked for";
    preview.Update(0.6f, true);
    preview.Update(0.6f, true);
    EXPECT_EQ(preview.CurrentAction(), CHeroPreview::kIdleAction);
    platform::CrtSrand(7);
    const int expected = platform::CrtRand() % 3 + 1;
    platform::CrtSrand(7);
    for (int i = 0; i < 3; ++i) preview.Update(0.7f, true);
    EXPECT_EQ(preview.CurrentAction(), expected);
}

// Skinned by the skin effect, as the client draws it, and on the processor.
class HeroPreviewPixels : public ::testing::TestWithParam<bool> {};

TEST_P(HeroPreviewPixels, TheHeroShowsInsideTheDetailStatic) {
    auto device = CreateHeadlessGl(1024, true);
    ASSERT_NE(device, nullptr);
    {
        CShaderSet shaders(device.get());
        PreviewServices services(device.get(), GetParam() ? &shaders : nullptr);
        ASSERT_NE(services.resources, nullptr);
        if (GetParam()) {
            ASSERT_EQ(shaders.LoadSkinEffect(CShaderSet::kSkinFvf), 1) << services.report.Text();
            ASSERT_TRUE(shaders.IsReady());
        }
        // Hero select's own detail static, as its layout places it.
        LayoutFileSpec layout = HeroSelectLayout();
        layout.window.colour[3] = 0;
        std::erase_if(layout.children, [](const LayoutRecordSpec& c) { return c.name != "ID_STATIC_DETAIL"; });
        ASSERT_EQ(layout.children.size(), 1u);
        TempFolder tmp;
        const std::string path = tmp.Path("SELECT_HERO.DUI");
        ASSERT_EQ(WriteLayoutFile(path.c_str(), layout), 1);
        RegisterUiControls();
        CUiManager ui;
        ui.SetDevice(device.get());
        auto* window = new CUiWindow;
        ASSERT_EQ(window->LoadLayout(path.c_str(), 0), 1) << services.report.Text();
        ui.AddLowerWindow(window);
        auto* detail = static_cast<CUiStatic*>(window->FindChild(NameHash("ID_STATIC_DETAIL")));
        ASSERT_NE(detail, nullptr);

        CHeroPreview preview(Vec3{0, 0, 30.0f}, Vec3{0, 5.0f, 0});
        ASSERT_EQ(preview.SetUp({"UI_CHA_SELECT_V_BG.DRC"}), 1) << services.report.Text();
        ASSERT_EQ(preview.LoadModel("SAMPLE.DRC", kHeroEye, kHeroTarget), 1) << services.report.Text();
        for (int i = 0; i < 3; ++i) preview.Update(1.0f, true);
        ASSERT_TRUE(preview.Glide().Settled());

        device->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        ASSERT_EQ(device->BeginScene(), GFX_OK);
        preview.Render(detail);
        ui.RenderWindows();
        device->EndScene();
        const std::vector<uint32_t> px = ReadBackBuffer(*device);
        ASSERT_EQ(px.size(), 1024u * 1024u);

        // The sample hero is green; the backdrop is dark blue and the clear black.
        auto green = [](uint32_t p) {
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            return g > 0x60 && g > r + 0x30 && g > b + 0x30;
        };
        const int left = static_cast<int>(detail->Position().x), top = static_cast<int>(detail->Position().y);
        const int right = left + static_cast<int>(detail->Size().x), bottom = top + static_cast<int>(detail->Size().y);
        int inside = 0, outside = 0, backdrop = 0;
        for (int y = 0; y < 1024; ++y)
            for (int x = 0; x < 1024; ++x) {
                const uint32_t p = px[static_cast<size_t>(y) * 1024 + static_cast<size_t>(x)];
                const bool in = x >= left && x < right && y >= top && y < bottom;
                if (green(p)) (in ? inside : outside)++;
                if (in && !green(p) && (p & 0xFF) > 0x20) ++backdrop;
            }
        EXPECT_GT(inside, 150);
        EXPECT_EQ(outside, 0);
        EXPECT_GT(backdrop, inside);
        detail->SetImage(nullptr, std::string());
        ui.DeleteAllWindows();
        ui.SetDevice(nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Skinning, HeroPreviewPixels, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "Effect" : "Processor"; });
