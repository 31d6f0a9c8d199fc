// The stand-in first screen.
#include "ui/StandInScreen.h"

#include <cstdio>

#include "engine/input/ZEMDXInput.h"
#include "engine/render/RenderStateCache.h"
#include "platform/GfxDevice.h"
#include "platform/Input.h"
#include "ui/ScreenHost.h"

void CStandInScreen::Enter() {
    CScreen::Enter();
    if (m_standsFor) std::fprintf(stderr, "QOR: reached the %s (stand-in)\n", m_standsFor);
}

int CStandInScreen::Update() {
    m_timer.Update();
    IScreenHost* host = ScreenHost();
    UpdateCommon(host && host->HasWindowFocus() ? 1 : 0, nullptr, 0);
    if (m_phase >= kPhaseErrorPopup) return UpdateErrorPopup();
    if (m_closeAsked || (host && host->Input().KeyReleased(platform::DIK_ESCAPE))) return SCREEN_FINISHED;
    return SCREEN_RUNNING;
}

void CStandInScreen::Render() {
    platform::CGfxDevice* device = GetDevice();
    if (!device || device->BeginScene() != platform::GFX_OK) return;
    device->Clear(0, nullptr, platform::CLEAR_TARGET | platform::CLEAR_ZBUFFER, kClearColor, 1.0f, 0);
    device->EndScene();
}

intptr_t CStandInScreen::MsgProc(const platform::WindowMessage& message) {
    // The window's close button ends this screen, and with it the program.
    if (message.message == platform::WM_CLOSE) {
        m_closeAsked = true;
        return 0;
    }
    return 1;
}
