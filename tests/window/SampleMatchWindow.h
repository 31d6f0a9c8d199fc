// The sample match played by the whole client in a real window (under the
// test program's own Xvfb): a single-play match of the sample map, made by
// the loading screen and started with the space key, for the window tests
// that look at the play screen.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/PlayScreenMaker.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "platform/Input.h"
#include "screens/game/LoadingScreen.h"
#include "screens/game/PlayScreen.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/window/RealWindowFixture.h"
#include "tools/SampleGameData.h"
#include "tools/SampleMap.h"
#include "world/GameDataRegistry.h"
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
    // Loads the sample data, starts the match with the space key once it has
    // loaded and waits until it is in play and faded in; *play is the screen.
    void StartMatch(CPlayScreen** play) {
        ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
        ASSERT_TRUE(RunUntil([&] { return loading->Phase() == CLoadingScreen::PHASE_LOADED; }, 20000))
            << ErrorReport().Text();
        Tap(platform::DIK_SPACE);
        ASSERT_TRUE(RunUntil([&] { return dynamic_cast<CPlayScreen*>(Current()) != nullptr; }, 2000))
            << ErrorReport().Text();
        *play = dynamic_cast<CPlayScreen*>(Current());
        ASSERT_TRUE(RunUntil([&] { return (*play)->Phase() == CPlayScreen::PHASE_PLAY; }, 1000))
            << ErrorReport().Text();
        // The pointer rests in the middle, where it scrolls nothing.
        input->SetCursor(512, 384);
        ASSERT_TRUE(RunUntil([&] { return (*play)->Fade().Done() != 0; }, 5000));
    }
    std::vector<uint32_t> Screenshot() {
        platform::CGfxDevice* device = GetDevice();
        return device ? ReadBackBuffer(*device) : std::vector<uint32_t>();
    }

    CLoadingScreen* loading = nullptr;  // owned by the screen manager
};
