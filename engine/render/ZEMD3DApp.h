// The application framework: the window, the render device with its two sets
// of presentation parameters (windowed and full screen), device loss and
// reset, the switch between window and full screen, the message pump and the
// frame step. It knows nothing of the game; the game application overrides
// its thirteen virtual steps.
//
// The window and the device system come from makers, so tests run the real
// loop on a test window and the recording device system.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/core/FramePacer.h"
#include "engine/render/RenderStateCache.h"
#include "platform/GfxTypes.h"
#include "platform/Window.h"

namespace platform {
class CGfxDevice;
class CGfxSystem;
}  // namespace platform

class CZEMD3DApp : public CRenderStateCache {
public:
    using WindowMaker = std::function<std::unique_ptr<platform::CWindow>(
        const std::string& title, int width, int height, bool windowed, std::string* error)>;
    using SystemMaker = std::function<std::unique_ptr<platform::CGfxSystem>()>;

    static constexpr uint32_t kToggleFullscreenCommand = 10001;

    CZEMD3DApp();
    ~CZEMD3DApp() override;

    void SetWindowMaker(WindowMaker maker) { m_windowMaker = std::move(maker); }
    void SetSystemMaker(SystemMaker maker) { m_systemMaker = std::move(maker); }

    // 1 when the window and the device exist; 0 with the error report set.
    // window: an existing window to use (not owned), or null to make one.
    int CreateApp(platform::CWindow* window = nullptr);
    // 1 at WM_QUIT, 0 when a frame step failed.
    int RunMessageLoop();
    // The error report's text in a message box titled with the window title.
    void ShowError();
    // Device objects, the device, the system, the final clean-up; runs once.
    void Cleanup();

    int ToggleFullscreen();
    int ResetDevice();
    int RenderStep();
    // The framework's own window procedure.
    intptr_t HandleWindowMessage(const platform::WindowMessage& message);
    void ApplyGammaRamp(float gamma);
    // Delivers a message to the application's procedure at once.
    intptr_t SendMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

    // The thirteen steps (the destructor being the first).
    virtual intptr_t MsgProc(const platform::WindowMessage& message) { return HandleWindowMessage(message); }
    virtual int OneTimeInit() { return 1; }
    virtual void ModifyWindowClass() {}
    virtual int PostWindowInit() { return 1; }
    virtual int InitScene() { return 1; }
    virtual int InitDeviceObjects() { return 1; }
    virtual int RestoreDeviceObjects() { return 1; }
    virtual void FrameMove() {}
    virtual void Render() {}
    virtual int InvalidateDeviceObjects() { return 1; }
    virtual void DeleteDeviceObjects() {}
    virtual void FinalCleanup() {}

    platform::CWindow* Window() const { return m_window; }
    platform::CGfxSystem* System() const { return m_system.get(); }
    const std::string& WindowTitle() const { return m_windowTitle; }
    const platform::GfxPresentParameters& PresentParameters() const { return *m_params; }
    uint32_t BackBufferWidth() const { return m_backBufferWidth; }
    uint32_t BackBufferHeight() const { return m_backBufferHeight; }
    uint32_t ColorBits() const { return m_colorBits; }
    bool IsWindowed() const { return m_windowed; }
    bool IsActive() const { return m_active; }
    bool IsDeviceLost() const { return m_deviceLost; }
    bool IsMinimised() const { return m_minimised; }
    bool HasWindowFocus() const { return m_windowFocus; }
    bool IsSwitching() const { return m_switching; }
    bool DepthFormatAccepted() const { return m_depthFormatAccepted; }
    bool ShadersUsable() const { return m_shadersUsable; }
    bool IsCloseIgnored() const { return m_closeIgnored; }
    void SetCloseIgnored(bool ignored) { m_closeIgnored = ignored; }

    // Screens set this while Alt combinations must not reach the window.
    bool swallowSystemKeys = false;

protected:
    // Waits; tests count the waits instead.
    virtual void Sleep(uint32_t ms);
    // Makes the device system when there is none yet; 0 with the error report set.
    int EnsureSystem();
    int UpdateBackBufferSize();
    int SelectDisplayMode();
    // Whether the depth format works with the back-buffer format in use.
    int32_t DepthFormatWorks(uint32_t depthFormat);
    void* WindowHandle() const { return m_window ? m_window->NativeHandle() : nullptr; }
    int CreateDevice();
    void ReleaseDevice();
    // The device's text for a failed call into the error report (code 10005).
    void SetDeviceError(int line, int32_t result);

    platform::GfxPresentParameters m_windowedParams;
    platform::GfxPresentParameters m_fullscreenParams;
    platform::GfxPresentParameters* m_params = &m_windowedParams;
    uint32_t m_colorBits = 0;
    platform::CWindow* m_window = nullptr;
    std::unique_ptr<platform::CWindow> m_ownedWindow;
    std::unique_ptr<platform::CGfxSystem> m_system;
    std::unique_ptr<platform::CGfxDevice> m_device;
    platform::GfxAdapterIdentifier m_adapter;
    platform::GfxCaps m_caps;
    bool m_windowed = true;
    uint32_t m_behaviourFlags = 0;
    bool m_active = false;
    bool m_frameUpdateEnabled = false;
    platform::WindowRect m_windowRect;
    int m_clientWidth = 0, m_clientHeight = 0;
    uint32_t m_backBufferWidth = 1024, m_backBufferHeight = 768;
    bool m_switching = false;
    bool m_deviceLost = false;
    bool m_closeIgnored = false;
    bool m_windowFocus = true;
    bool m_cursorClip = false;
    bool m_minimised = false;
    bool m_depthFormatAccepted = false;
    bool m_shadersUsable = false;
    std::string m_windowClass = "ZEM Application";
    std::string m_windowTitle = "ZEM Application";
    std::string m_commandLine;

private:
    CFramePacer m_pacer;
    WindowMaker m_windowMaker;
    SystemMaker m_systemMaker;
    bool m_cleanedUp = false;
    bool m_recreating = false;
};
