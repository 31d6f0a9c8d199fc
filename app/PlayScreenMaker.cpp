// The play screen's maker, installed at start-up.
#include "app/PlayScreenMaker.h"

#include "app/GameApp.h"
#include "screens/game/PlayScreen.h"

CScreen* NewPlayScreen() {
    if (!g_pGameApp) return nullptr;
    PlayContext context;
    context.ground = &g_pGameApp->MatchMap();
    context.scripts = &g_pGameApp->Scripts();
    context.camera = g_pGameApp->Cameras().Get(0);
    context.glow = &g_pGameApp->Glow();
    context.lightDirection = g_pGameApp->SceneLight().direction;
    context.colorBits = g_pGameApp->ColorBits();
    context.shop = &g_pGameApp->Shop();
    return new CPlayScreen(context);
}
