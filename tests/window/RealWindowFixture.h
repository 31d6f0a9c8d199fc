// The window tests' shared set-up (the test program runs under its own Xvfb):
// one video start and one real window for the whole program, sized for each
// test, a GL device of the graphics system in it per test, the sample game
// folder made once, and the last frame read back as ARGB.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/GfxDevice.h"
#include "platform/Window.h"

class CResourceManager;
class CUiManager;

// Opens the program's window when no test has yet: it keeps the video system
// (and the GL driver) loaded while windows of their own come and go.
void KeepVideoOpen();

class RealWindowFixture : public ::testing::Test {
protected:
    // The window with a client area of width x height and a device in it with
    // the window's size and no wait for the vertical blank; with depth a
    // D24S8 depth buffer too. Check HasDevice() (ASSERT_NO_FATAL_FAILURE).
    void OpenDevice(int width, int height, bool depth);
    bool HasDevice() const { return m_device != nullptr; }
    platform::CGfxDevice& Device() { return *m_device; }
    const platform::GfxPresentParameters& Params() const { return m_params; }
    platform::CWindow& Window();
    // The sample game folder, made on first use.
    static const std::string& SampleFolder();
    // A resource manager on the sample folder's packages for the device,
    // making models, meshes, animations and effects; null when the package
    // list does not load.
    std::unique_ptr<CResourceManager> SampleResources();
    // The back buffer's pixels, top row first: the last frame drawn (also
    // after it was presented).
    std::vector<uint32_t> ReadBack();
    // One frame of the UI's windows on black, presented; its pixels as ReadBack gives them.
    std::vector<uint32_t> DrawWindows(CUiManager& ui);

    void TearDown() override;

private:
    platform::GfxPresentParameters m_params;
    std::unique_ptr<platform::CGfxDevice> m_device;
};
