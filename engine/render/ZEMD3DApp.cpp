// The application framework and its main loop.
#include "engine/render/ZEMD3DApp.h"

#include <chrono>
#include <cmath>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "platform/Clock.h"
#include "platform/GfxDevice.h"
#include "platform/GfxFormatInfo.h"
#include "platform/GfxSystem.h"
#include "platform/MessageSink.h"
#include "platform/StopSignals.h"

using namespace platform;

namespace {

constexpr const char* kSourceFile = ".\\ZEMD3DApp.cpp";
constexpr uint32_t kRequestedVersion = 32;
// The resource kind of a plain surface, which depth buffers are.
constexpr uint32_t kSurfaceResource = 1;

void SetParams(GfxPresentParameters& p, uint32_t format, bool windowed) {
    p.backBufferWidth = 1024;
    p.backBufferHeight = 768;
    p.backBufferFormat = format;
    p.swapEffect = SWAPEFFECT_DISCARD;
    p.enableAutoDepthStencil = 1;
    p.autoDepthStencilFormat = FMT_D24S8;
    p.presentationInterval = PRESENT_INTERVAL_IMMEDIATE;
    p.windowed = windowed ? 1 : 0;
    p.flags = windowed ? 0 : PRESENTFLAG_LOCKABLE_BACKBUFFER;
}

}  // namespace

CZEMD3DApp::CZEMD3DApp() {
    SetParams(m_windowedParams, FMT_UNKNOWN, true);
    SetParams(m_fullscreenParams, FMT_X8R8G8B8, false);
}

CZEMD3DApp::~CZEMD3DApp() { Cleanup(); }

void CZEMD3DApp::Sleep(uint32_t ms) { SleepMs(ms); }

void CZEMD3DApp::SetDeviceError(int line, int32_t result) {
    ErrorReport().SetDxError(ERR_DEVICE_CALL, kSourceFile, line, result);
}

int CZEMD3DApp::CreateApp(CWindow* window) {
    if (!OneTimeInit()) return 0;
    m_params = m_windowed ? &m_windowedParams : &m_fullscreenParams;
    if (!EnsureSystem()) return 0;
    m_window = window;
    if (!m_window) {
        ModifyWindowClass();
        std::string reason;
        if (m_windowMaker)
            m_ownedWindow = m_windowMaker(m_windowTitle, static_cast<int>(m_windowedParams.backBufferWidth),
                                          static_cast<int>(m_windowedParams.backBufferHeight), m_windowed, &reason);
        if (!m_ownedWindow) {
            ErrorReport().SetError(ERR_DEVICE_CALL, "File : %s\nLine : %d\n%s : %s", kSourceFile, __LINE__,
                                   "CreateWindow", reason.empty() ? "no window" : reason.c_str());
            return 0;
        }
        m_window = m_ownedWindow.get();
    }
    m_windowRect = m_window->GetWindowRect();
    m_window->GetClientSize(&m_clientWidth, &m_clientHeight);
    if (!UpdateBackBufferSize() || !PostWindowInit()) return 0;

    GfxResult r = m_system->GetAdapterIdentifier(0, 0, &m_adapter);
    if (r == GFX_OK) r = m_system->GetDeviceCaps(0, DEVTYPE_HAL, &m_caps);
    if (r != GFX_OK) {
        SetDeviceError(__LINE__, r);
        return 0;
    }
    if (!SelectDisplayMode()) return 0;
    GfxDisplayMode desktop;
    if (m_system->GetAdapterDisplayMode(0, &desktop) == GFX_OK) m_pacer.SetRate(desktop.refreshRate);
    m_shadersUsable = m_caps.vertexShaderVersion >= 0xFFFE0200u && m_caps.pixelShaderVersion >= 0xFFFF0101u;
    if (!CreateDevice() || !InitScene()) return 0;
    m_frameUpdateEnabled = true;
    return 1;
}

int CZEMD3DApp::EnsureSystem() {
    if (!m_system && m_systemMaker) m_system = m_systemMaker();
    if (!m_system) {
        ErrorReport().SetError(ERR_DEVICE_CALL, GetMessageText(MSG_ERROR_DX_CREATE_D3D), kRequestedVersion);
        return 0;
    }
    return 1;
}

GfxResult CZEMD3DApp::DepthFormatWorks(uint32_t depthFormat) {
    const uint32_t format = m_params->backBufferFormat;
    GfxResult r =
        m_system->CheckDeviceFormat(0, DEVTYPE_HAL, format, USAGE_DEPTHSTENCIL, kSurfaceResource, depthFormat);
    if (r == GFX_OK) r = m_system->CheckDepthStencilMatch(0, DEVTYPE_HAL, format, format, depthFormat);
    return r;
}

int CZEMD3DApp::SelectDisplayMode() {
    if (m_windowed) return 1;
    GfxPresentParameters& p = *m_params;
    const uint32_t count = m_system->GetAdapterModeCount(0, p.backBufferFormat);
    bool found = false;
    for (uint32_t i = 0; i < count && !found; ++i) {
        GfxDisplayMode mode;
        if (m_system->EnumAdapterModes(0, p.backBufferFormat, i, &mode) != GFX_OK) continue;
        if (mode.width == p.backBufferWidth && mode.height == p.backBufferHeight && mode.format == p.backBufferFormat) {
            p.fullScreenRefreshRateInHz = p.presentationInterval == PRESENT_INTERVAL_IMMEDIATE ? 0 : mode.refreshRate;
            found = true;
        }
    }
    if (!found) {
        SetDeviceError(__LINE__, GFXERR_NOTAVAILABLE);
        return 0;
    }
    GfxResult r = m_system->CheckDeviceType(0, DEVTYPE_HAL, p.backBufferFormat, p.backBufferFormat, false);
    if (r != GFX_OK) {
        SetDeviceError(__LINE__, r);
        return 0;
    }
    if (DepthFormatWorks(FMT_D24S8) == GFX_OK) {
        m_depthFormatAccepted = true;
        return 1;
    }
    m_depthFormatAccepted = false;
    for (uint32_t depth : {uint32_t(FMT_D24X8), uint32_t(FMT_D16)}) {
        m_windowedParams.autoDepthStencilFormat = depth;
        m_fullscreenParams.autoDepthStencilFormat = depth;
        r = DepthFormatWorks(depth);
        if (r == GFX_OK) return 1;
    }
    SetDeviceError(__LINE__, r);
    return 0;
}

int CZEMD3DApp::CreateDevice() {
    m_params = m_windowed ? &m_windowedParams : &m_fullscreenParams;
    if (m_params->backBufferWidth == 0 || m_params->backBufferHeight == 0) return 1;
    const uint32_t flags =
        m_behaviourFlags | ((m_caps.devCaps & DEVCAPS_HWTRANSFORMANDLIGHT) ? CREATE_HARDWARE_VERTEXPROCESSING
                                                                           : CREATE_SOFTWARE_VERTEXPROCESSING);
    GfxResult r = m_system->CreateDevice(0, DEVTYPE_HAL, WindowHandle(), flags, m_params, &m_device);
    if (r != GFX_OK) {
        m_params->autoDepthStencilFormat = FMT_D16;
        r = m_system->CreateDevice(0, DEVTYPE_HAL, WindowHandle(), flags, m_params, &m_device);
    }
    if (r != GFX_OK) {
        m_params->enableAutoDepthStencil = 0;
        r = m_system->CreateDevice(0, DEVTYPE_HAL, WindowHandle(), flags, m_params, &m_device);
    }
    if (r != GFX_OK || !m_device) {
        SetDeviceError(__LINE__, r != GFX_OK ? r : GFXERR_NOTAVAILABLE);
        return 0;
    }
    SetDevice(m_device.get());
    if (!InitDeviceObjects()) return 0;
    return ResetDevice();
}

void CZEMD3DApp::ReleaseDevice() {
    SetDevice(nullptr);
    m_device.reset();
}

int CZEMD3DApp::UpdateBackBufferSize() {
    if (!m_window) return 1;
    if (m_windowed && !m_switching) {
        m_windowRect = m_window->GetWindowRect();
        m_window->GetClientSize(&m_clientWidth, &m_clientHeight);
        if (m_clientWidth < 1 || m_clientHeight < 1) {
            ErrorReport().SetError(ERR_WINDOW_SIZE, GetMessageText(MSG_ERROR_RESIZE_WINDOW), m_clientWidth,
                                   m_clientHeight);
            return 0;
        }
        m_windowedParams.backBufferWidth = static_cast<uint32_t>(m_clientWidth);
        m_windowedParams.backBufferHeight = static_cast<uint32_t>(m_clientHeight);
    }
    const GfxPresentParameters& p = m_windowed ? m_windowedParams : m_fullscreenParams;
    m_backBufferWidth = p.backBufferWidth;
    m_backBufferHeight = p.backBufferHeight;
    return 1;
}

int CZEMD3DApp::ResetDevice() {
    if (!m_device) return 1;
    m_active = false;
    if (!UpdateBackBufferSize() || !InvalidateDeviceObjects()) return 0;
    const GfxResult r = m_device->Reset(m_params);
    if (r == GFX_OK) {
        if (!RestoreDeviceObjects()) return 0;
    } else {
        // A device that cannot be reset is made anew once; a new device that
        // cannot be reset either ends the attempt instead of trying forever.
        if (m_recreating) {
            SetDeviceError(__LINE__, r);
            return 0;
        }
        DeleteDeviceObjects();
        ReleaseDevice();
        m_recreating = true;
        const int made = CreateDevice();
        m_recreating = false;
        if (!made) return 0;
    }
    m_active = true;
    m_colorBits = FormatColorBits(m_params->backBufferFormat);
    return 1;
}

int CZEMD3DApp::ToggleFullscreen() {
    if (m_switching || m_deviceLost) return 1;
    m_active = false;
    m_switching = true;
    m_windowed = !m_windowed;
    m_params = m_windowed ? &m_windowedParams : &m_fullscreenParams;
    if (!SelectDisplayMode()) {
        m_windowed = !m_windowed;
        m_params = m_windowed ? &m_windowedParams : &m_fullscreenParams;
        m_switching = false;
        m_active = true;
        return 0;
    }
    if (m_window) m_window->SetFullscreen(!m_windowed);
    const int ok = ResetDevice();
    if (ok && m_windowed && m_window)
        m_window->SetPlacement(m_windowRect.left, m_windowRect.top, static_cast<int>(m_backBufferWidth),
                               static_cast<int>(m_backBufferHeight));
    m_active = true;
    m_switching = false;
    return ok;
}

int CZEMD3DApp::RunMessageLoop() {
    if (!m_window) return 0;
    WindowMessage msg;
    if (m_window->PeekMessage(&msg, false) && msg.message == WM_QUIT) return 1;
    int result = 1;
    for (;;) {
        // A stop signal ends the loop as a quit message would.
        if (StopRequested()) break;
        if (m_window->PeekMessage(&msg, true)) {
            if (msg.message == WM_QUIT) break;
            if (!(msg.message == WM_SYSKEYDOWN && swallowSystemKeys)) MsgProc(msg);
        } else if (!RenderStep()) {
            result = 0;
            break;
        }
        if (!m_active || m_minimised) Sleep(1);
    }
    return result;
}

int CZEMD3DApp::RenderStep() {
    if (m_deviceLost && m_device) {
        const GfxResult r = m_device->TestCooperativeLevel();
        if (r == GFXERR_DEVICELOST) {
            Sleep(100);
            m_active = false;
        } else if (r == GFXERR_DEVICENOTRESET) {
            if (m_window) m_window->SetFullscreen(!m_windowed);
            if (!ResetDevice()) return 0;
            m_active = true;
        }
        if (m_active) m_deviceLost = false;
    }
    if (m_frameUpdateEnabled) FrameMove();
    // A minimised window shows nothing, so nothing is drawn for it.
    if (m_device && m_active && !m_deviceLost && !m_minimised) {
        Render();
        if (m_active && m_device && m_device->Present() == GFXERR_DEVICELOST) m_deviceLost = true;
        // Paced by the wall clock: the game clock is the frames' own (tests step it).
        const auto wall = std::chrono::steady_clock::now().time_since_epoch();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(wall).count();
        if (const uint32_t wait = m_pacer.FrameEnded(static_cast<uint32_t>(ms))) Sleep(wait);
        return 1;
    }
    Sleep(1);
    return 1;
}

intptr_t CZEMD3DApp::SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return MsgProc({message, wParam, lParam});
}

intptr_t CZEMD3DApp::HandleWindowMessage(const WindowMessage& m) {
    if (m_window && m_windowFocus && m_cursorClip) m_window->ClipCursor(true);
    switch (m.message) {
        case WM_DESTROY:
            return 0;
        case WM_MOVE:
        case WM_SETFOCUS:
            m_windowFocus = true;
            break;
        case WM_KILLFOCUS:
            m_windowFocus = false;
            if (m_window) m_window->ClipCursor(false);
            break;
        case WM_SIZE:
            if (m.wParam == SIZE_MINIMIZED) m_minimised = true;
            m_windowFocus = true;
            if (!UpdateBackBufferSize()) return 0;
            if (m.wParam == SIZE_RESTORED || m.wParam == SIZE_MAXIMIZED) {
                m_minimised = false;
                if (!RenderStep()) {
                    ShowError();
                    return 0;
                }
            }
            break;
        case WM_CLOSE:
            if (m_closeIgnored) return 1;
            if (m_window) m_window->PostQuitMessage(0);
            return 0;
        case WM_ACTIVATEAPP:
            if (m.wParam == 0 && !m_windowed) m_deviceLost = true;
            break;
        case WM_NCHITTEST:
            if (!m_windowed) return 1;
            break;
        case WM_COMMAND:
            if ((m.wParam & 0xFFFF) == kToggleFullscreenCommand) {
                if (!ToggleFullscreen()) return 0;
                m_windowFocus = true;
            }
            break;
        case WM_SYSCOMMAND:
            if (!m_windowed && (m.wParam == SC_SCREENSAVE || m.wParam == SC_MONITORPOWER)) return 1;
            break;
        case WM_POWERBROADCAST:
            if (m.wParam == 0 || m.wParam == 7) return 1;
            break;
        default:
            break;
    }
    return 0;
}

void CZEMD3DApp::ShowError() { ShowMessage(m_windowTitle, ErrorReport().Text()); }

void CZEMD3DApp::ApplyGammaRamp(float gamma) {
    if (!m_device || gamma <= 0.0f) return;
    GfxGammaRamp ramp;
    for (int i = 0; i < 256; ++i) {
        const double v = std::pow(i / 256.0, 1.0 / gamma) * 255.0;
        const uint16_t entry = static_cast<uint16_t>(static_cast<int>(v) * 256);
        ramp.red[i] = ramp.green[i] = ramp.blue[i] = entry;
    }
    m_device->SetGammaRamp(0, 1, ramp);
}

void CZEMD3DApp::Cleanup() {
    if (m_cleanedUp) return;
    m_cleanedUp = true;
    DeleteDeviceObjects();
    ReleaseDevice();
    m_system.reset();
    FinalCleanup();
    m_window = nullptr;
    m_ownedWindow.reset();
}
