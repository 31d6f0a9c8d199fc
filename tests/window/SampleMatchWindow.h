// The whole client in the real window, started on the loading screen of a
// single-play match on the sample map: for tests of what a match shows.
// StartMatch runs it until the play screen plays and its fade-in is over.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/GameApp.h"
#include "app/PlayScreenMaker.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "engine/render/Camera.h"
#include "engine/render/RenderStateCache.h"
#include "platform/Input.h"
#include "platform/JpegWriter.h"
#include "screens/game/LoadingScreen.h"
#include "screens/game/PlayScreen.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/window/RealWindowFixture.h"
#include "tools/SampleGameData.h"
#include "tools/SampleMap.h"
#include "world/GameDataRegistry.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

class SampleMatchWindow : public LobbyFixture {
protected:
    SampleMatchWindow() {
        KeepVideoOpen();
        realWindow = true;
    }
    CScreen* MakeFirstScreen() override {
        CWorldObjectManager& world = *g_pWorldObjectManager;
        world.online = 0;
        world.gameMode = 1;
        world.SetLocalSlot(0);
        Session().mapFile = kSampleMap;
        Session().nickname = "Player";
        Session().slots[0].heroId = NameHash("Knight");
        SetPlayScreenMaker(&NewPlayScreen);
        return loading = new CLoadingScreen();
    }
    void TearDown() override {
        LobbyFixture::TearDown();
        SetPlayScreenMaker(nullptr);
    }
    // The play screen once it plays with its fade-in done, or null (with a test failure).
    CPlayScreen* StartMatch() {
        EXPECT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
        if (!RunUntil([&] { return loading->Phase() == CLoadingScreen::PHASE_LOADED; }, 20000)) {
            ADD_FAILURE() << ErrorReport().Text();
            return nullptr;
        }
        // A single-play match starts on the space key.
        Tap(platform::DIK_SPACE);
        auto* play = RunUntil([&] { return dynamic_cast<CPlayScreen*>(Current()) != nullptr; }, 2000)
                         ? dynamic_cast<CPlayScreen*>(Current())
                         : nullptr;
        if (!play || !RunUntil([&] { return play->Phase() == CPlayScreen::PHASE_PLAY; }, 1000) ||
            !RunUntil([&] { return play->Fade().Done() != 0; }, 5000)) {
            ADD_FAILURE() << ErrorReport().Text();
            return nullptr;
        }
        // The pointer rests in the middle, where it scrolls nothing.
        input->SetCursor(512, 384);
        return play;
    }
    // The local player's hero, made by the loading screen, moved to a point
    // and shown at half its health.
    static CUnit* PlaceHero(const platform::Vec3& at) {
        CWorldObjectManager& world = *g_pWorldObjectManager;
        CWorldObject* o = world.GetObjectById(world.localSlot);
        auto* unit = o && o->IsUnit() ? static_cast<CUnit*>(o) : nullptr;
        if (!unit) return nullptr;
        unit->TeleportTo(at);
        unit->stats.base[5] = 400.0f;
        unit->RecalcStats(5);
        unit->hitPoints = 200.0f;
        world.StampSight(*unit, 200.0f);
        return unit;
    }
    // A button pressed for one frame and released the next, at a point.
    void Click(int button, int32_t x, int32_t y) {
        input->SetCursor(x, y);
        // The pointer rests first: the click takes what it hovers.
        app->RenderStep();
        app->RenderStep();
        input->SetButton(button, true);
        app->RenderStep();
        input->SetButton(button, false);
        app->RenderStep();
        app->RenderStep();
    }
    std::vector<uint32_t> Screenshot() {
        platform::CGfxDevice* device = GetDevice();
        return device ? ReadBackBuffer(*device) : std::vector<uint32_t>();
    }
    // Where the screenshot goes when QOR_KEEP_SHOTS names a folder.
    static void Keep(const std::vector<uint32_t>& px, uint32_t width, uint32_t height, const char* name) {
        const char* folder = std::getenv("QOR_KEEP_SHOTS");
        if (!folder) return;
        std::vector<uint8_t> jpeg;
        if (platform::EncodeJpeg(px, width, height, 90, &jpeg)) {
            const std::string path = std::string(folder) + "/" + name;
            if (FILE* f = std::fopen(path.c_str(), "wb")) {
                std::fwrite(jpeg.data(), 1, jpeg.size(), f);
                std::fclose(f);
            }
        }
    }

    // Where a world point shows on the screen.
    static bool OnScreen(const CCamera& camera, const platform::Vec3& point, int32_t* x, int32_t* y) {
        platform::Viewport viewport;
        viewport.width = camera.viewportWidth;
        viewport.height = camera.viewportHeight;
        const platform::Vec3 s = platform::Vec3Project(point, viewport, camera.projection, camera.view, platform::Matrix::Identity());
        *x = static_cast<int32_t>(s.x);
        *y = static_cast<int32_t>(s.y);
        return viewport.width > 0 && s.z > 0 && s.z < 1;
    }
    CLoadingScreen* loading = nullptr;  // owned by the screen manager
};
