#include "tests/window/RealWindowFixture.h"

#include <chrono>
#include <thread>

#include "engine/resource/ResourceManager.h"
#include "platform/GfxSystem.h"
#include "tests/fixtures/SampleResources.h"
#include "tests/fixtures/TempFolder.h"
#include "ui/UiManager.h"
#include "tools/SampleGameFolder.h"

using namespace platform;

// The session bus library SDL loads keeps a buffer for the process's life.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace {

// Kept for the whole program and never closed: closing the video system
// unloads the GL driver, which keeps allocations of its own that the leak
// checker would then report.
CWindow* g_window = nullptr;

bool HasClientSize(CWindow& window, int width, int height) {
    int w = 0, h = 0;
    window.GetClientSize(&w, &h);
    return w == width && h == height;
}

// Lets the X server map or resize the window: its events are taken until the
// size is there, within a bound.
void Settle(CWindow& window, int width, int height) {
    WindowMessage message;
    for (int i = 0; i < 50; ++i) {
        while (window.PeekMessage(&message, true)) {
        }
        if (i >= 5 && HasClientSize(window, width, height)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

void KeepVideoOpen() {
    if (g_window) return;
    std::string error;
    g_window = CreateSdlWindow("QOR", 64, 64, true, true, &error).release();
    EXPECT_NE(g_window, nullptr) << error;
}

CWindow& RealWindowFixture::Window() { return *g_window; }

void RealWindowFixture::OpenDevice(int width, int height, bool depth) {
    if (!g_window) {
        std::string error;
        g_window = CreateSdlWindow("QOR", width, height, true, true, &error).release();
        ASSERT_NE(g_window, nullptr) << error;
    } else {
        int screenW = 0, screenH = 0;
        GetScreenSize(&screenW, &screenH);
        g_window->SetPlacement((screenW - width) / 2, (screenH - height) / 2, width, height);
    }
    Settle(*g_window, width, height);
    ASSERT_TRUE(HasClientSize(*g_window, width, height));
    m_params = GfxPresentParameters();  // windowed: the window's size
    m_params.enableAutoDepthStencil = depth ? 1 : 0;
    m_params.autoDepthStencilFormat = depth ? FMT_D24S8 : FMT_UNKNOWN;
    m_params.presentationInterval = PRESENT_INTERVAL_IMMEDIATE;
    CGfxGlSystem system;
    ASSERT_EQ(system.CreateDevice(0, DEVTYPE_HAL, g_window->NativeHandle(), CREATE_HARDWARE_VERTEXPROCESSING,
                                  &m_params, &m_device),
              GFX_OK);
    ASSERT_EQ(m_params.backBufferWidth * 10000 + m_params.backBufferHeight,
              static_cast<uint32_t>(width) * 10000 + static_cast<uint32_t>(height));
}

const std::string& RealWindowFixture::SampleFolder() {
    static const TempFolder folder;
    static const bool made = MakeSampleGameFolder(folder.path()) == 1;
    EXPECT_TRUE(made);
    return folder.path();
}

std::vector<uint32_t> RealWindowFixture::ReadBack() {
    std::vector<uint32_t> px;
    CGfxSurface* back = nullptr;
    EXPECT_EQ(m_device->GetBackBuffer(0, 0, &back), GFX_OK);
    if (!back) return px;
    EXPECT_EQ(m_device->ReadSurface(back, &px), GFX_OK);
    GfxRelease(back);
    return px;
}

std::vector<uint32_t> RealWindowFixture::DrawWindows(CUiManager& ui) {
    EXPECT_EQ(m_device->Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0), GFX_OK);
    EXPECT_EQ(m_device->BeginScene(), GFX_OK);
    ui.RenderWindows();
    EXPECT_EQ(m_device->EndScene(), GFX_OK);
    std::vector<uint32_t> px = ReadBack();
    EXPECT_EQ(m_device->Present(), GFX_OK);
    return px;
}

void RealWindowFixture::TearDown() { m_device.reset(); }

std::unique_ptr<CResourceManager> RealWindowFixture::SampleResources() {
    return MakeSampleResources(SampleFolder(), m_device.get());
}
