#include "screens/lobby/LobbySteps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/input/ZEMDXInput.h"
#include "engine/sound/ZEMSound.h"
#include "net/AccountSeal.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetPacket.h"
#include "engine/render/RenderStateCache.h"
#include "platform/GfxDevice.h"
#include "platform/Input.h"
#include "platform/Window.h"
#include "ui/ScreenHost.h"
#include "ui/Screen.h"
#include "ui/ScreenFade.h"
#include "ui/UiWindow.h"
#include "ui/UiManager.h"
#include "ui/UiObject.h"
#include "ui/UiStatic.h"

namespace lobby {

void SelectCursor(int n) {
    IScreenHost* host = ScreenHost();
    if (!host) return;
    CUiManager& ui = host->Ui();
    const bool cursors = ui.CursorCount() > 0;
    if (cursors) ui.SetCursor(n);
    if (host->Window()) host->Window()->ShowCursor(cursors);
}

void ShowBox(const char* text, int buttonMode) {
    if (IScreenHost* host = ScreenHost()) ShowMessageBox(host->MessageBox(), text, buttonMode, 1);
}

bool EnterPressed() {
    IScreenHost* host = ScreenHost();
    if (!host) return false;
    CZEMDXInput& input = host->Input();
    const bool alt = input.KeyDown(platform::DIK_LMENU) || input.KeyDown(platform::DIK_RMENU);
    return (input.KeyPressed(platform::DIK_RETURN) && !alt) || input.KeyPressed(platform::DIK_NUMPADENTER);
}

CNetClient* Net() { return g_pClientSession ? g_pClientSession->net : nullptr; }

void WriteAccountId(const CClientSession& session, uint8_t* out) {
    std::memset(out, 0, kAccountIdSize);
    std::memcpy(out, session.accountId.data(), std::min(session.accountId.size(), size_t{kAccountIdSize - 1}));
}

int SendEnterServer(CNetClient& net, const CClientSession& session, uint32_t key, bool reentry) {
    const AccountRecord record = MakeAccountRecord(session.accountId.c_str(), nullptr, key);
    std::array<uint8_t, kSealedRecordSize> sealed{};
    if (!SealAccountRecord(record, sealed)) return 0;
    std::array<uint8_t, kEnterServerSize> payload{};
    BuildEnterServerPayload(sealed, reentry, payload);
    return net.SendPacket(PK_ENTER_SERVER, payload.data(), kEnterServerSize);
}

int AnswerAuthKey(CNetClient& net, const NetPacket& packet, bool reentry) {
    CByteReader reader = packet.Reader();
    const uint32_t key = reader.ReadU32();
    if (!reader.Ok()) return net.CloseMalformed(packet.id, packet.length);
    return g_pClientSession ? SendEnterServer(net, *g_pClientSession, key, reentry) : 0;
}

int HandleOtherMessage(CScreen& screen, const NetPacket& packet) {
    if (HandleCommonMessage(screen, packet, nullptr)) return 1;
    // A handler that opened the popup itself leaves nothing to show.
    return screen.Phase() >= CScreen::kPhaseErrorPopup ? 1 : 0;
}

void CentreWindow(CUiWindow* window, IScreenHost& host) {
    const float width = static_cast<float>(host.BackBufferWidth());
    const float height = static_cast<float>(host.BackBufferHeight());
    window->SetPosition(std::trunc((width - window->Size().x) * 0.5f), std::trunc((height - window->Size().y) * 0.5f));
}

void SetLabel(CUiStatic* label, const std::string& text) {
    if (label) label->SetText(text);
}

std::string NumberedName(const char* format, int n) {
    char name[64];
    std::snprintf(name, sizeof name, format, n);
    return name;
}

void BeginLeaving(IScreenHost& host, CScreenFade& fade, bool fadeMusic) {
    SelectCursor(kWaitCursor);
    fade.Start(UiColor(0.0f, 0.0f, 0.0f, 0.0f), 0, kFadeRate);
    if (fadeMusic)
        if (CZEMSound* music = host.Bgm()) music->FadeOut(100);
}

void RenderScreen(uint32_t clearColor, CScreenFade& fade, const std::function<void()>& scene) {
    platform::CGfxDevice* device = GetDevice();
    if (!device) return;
    device->Clear(0, nullptr, platform::CLEAR_TARGET | platform::CLEAR_ZBUFFER, clearColor, 1.0f, 0);
    if (device->BeginScene() != platform::GFX_OK) return;
    if (scene) scene();
    if (g_pUiManager) {
        g_pUiManager->RenderWindows();
        g_pUiManager->BeginDraw();
        fade.Render();
        g_pUiManager->EndDraw();
    }
    device->EndScene();
}

}  // namespace lobby
