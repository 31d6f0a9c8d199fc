// A match on the sample map whose HUD draws on the recording device: a Knight
// as the local hero (object 0 of slot 0), the play screen loaded from the
// sample folder's layouts. The benchmarks of the HUD's windows start here.
#pragma once

#include <functional>
#include <memory>

#include "engine/render/Camera.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "platform/GfxRecordingDevice.h"
#include "screens/game/PlayScreen.h"
#include "tests/fixtures/StubTexture.h"
#include "tools/WorldHarness.h"
#include "ui/LayoutResource.h"
#include "ui/UiControls.h"
#include "ui/UiManager.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

struct HudMatch {
    CWorldHarness harness;
    CClientSession session;
    platform::CGfxRecordingDevice device;
    CUiManager ui;
    CPlayCamera camera;
    std::unique_ptr<CPlayScreen> screen;
    int32_t hero = -1;

    // prepare runs before the play screen is made and loaded; the screen's
    // item shop is the given one.
    explicit HudMatch(const std::function<void(CWorldObjectManager&, CClientSession&)>& prepare = {},
                      ItemShop* shop = nullptr) {
        if (!harness.ok()) return;
        harness.MakeCurrent(0);
        ui.SetDevice(&device);
        RegisterLayoutResource(*g_pResourceManager);
        RegisterUiControls();
        RegisterStubTextures(*g_pResourceManager);
        g_pClientSession = &session;
        hero = harness.SpawnUnit("Knight", {100, 0, 100}, 0, 0, 300, 30, 40, 20, 0);
        CWorldObjectManager& world = harness.machine(0).map->objects;
        world.slotOccupied[0] = true;
        world.gameMode = 1;
        if (prepare) prepare(world, session);
        PlayContext context;
        context.ground = harness.machine(0).map.get();
        context.camera = &camera;
        context.shop = shop;
        camera.distance = 300.0f;
        screen = std::make_unique<CPlayScreen>(context);
        screen->Update();
    }
    ~HudMatch() {
        screen.reset();
        g_pClientSession = nullptr;
    }
};
