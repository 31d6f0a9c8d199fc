// Entry of the game client. Started by the patcher as "QOR.run go" in the game folder.
#include <string>

#include "app/ClientEntry.h"
#include "app/GameApp.h"
#include "app/PlayScreenMaker.h"
#include "platform/GfxSystem.h"
#include "platform/Input.h"
#include "platform/Window.h"
#include "screens/game/LoadingScreen.h"
#include "screens/lobby/LobbyScreen.h"
#include "screens/lobby/LoginScreen.h"
#include "screens/lobby/MarketScreen.h"
#include "screens/lobby/MyInfoScreen.h"
#include "screens/lobby/WaitRoomScreen.h"

int main(int argc, char** argv) {
    std::string whole;
    for (int i = 1; i < argc; ++i) whole += (i > 1 ? " " : "") + std::string(argv[i]);
    SetLoginScreenMaker(&NewLoginScreen);
    SetLobbyScreenMaker(&NewLobbyScreen);
    SetWaitRoomScreenMaker(&NewWaitRoomScreen);
    SetLoadingScreenMaker(&NewLoadingScreen);
    SetPlayScreenMaker(&NewPlayScreen);
    SetMarketScreenMaker(&NewMarketScreen);
    SetMyInfoScreenMaker(&NewMyInfoScreen);
    ClientEntryHooks hooks;
    hooks.makeApp = [](const std::string& commandLine) {
        auto app = std::make_unique<CGameApp>(commandLine);
        app->SetWindowMaker([](const std::string& title, int width, int height, bool windowed, std::string* error) {
            return platform::CreateSdlWindow(title, width, height, windowed, true, error);
        });
        app->SetSystemMaker([] { return std::make_unique<platform::CGfxGlSystem>(); });
        app->SetInputMaker([](platform::CWindow* window) { return platform::CreateSdlInputSystem(window->Id()); });
        return app;
    };
    return ClientMain(argc > 1 ? argv[1] : "", whole, hooks);
}
