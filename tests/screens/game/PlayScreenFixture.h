// The play screen on the sample map, headless: a recording screen host, a
// stepped clock, scripted input and, for network matches, the fake server.
// The fixture every play-screen test starts from.
#pragma once

#include "screens/game/PlayScreen.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "commands/GameCommandManager.h"
#include "engine/render/Camera.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "platform/Clock.h"
#include "platform/ScriptedInput.h"
#include "ui/LayoutResource.h"
#include "ui/Screen.h"
#include "ui/UiControls.h"
#include "tests/fixtures/StubTexture.h"
#include "tools/WorldHarness.h"
#include "tests/ui/RecordingScreenHost.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {

uint32_t g_now = 1000;

// The play screen's windows load their layouts from the sample folder.
void LoadWindowsFromLayouts() {
    RegisterLayoutResource(*g_pResourceManager);
    RegisterUiControls();
    RegisterStubTextures(*g_pResourceManager);
}
uint32_t Now() { return g_now; }

// Which successor makers the leaving screen called.
struct Successors {
    static inline int lobby = 0, waitRoom = 0, login = 0;
    static void Reset() { lobby = waitRoom = login = 0; }
};

class PlayScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.ok()) << harness.Error();
        harness.MakeCurrent(0);
        LoadWindowsFromLayouts();
        platform::SetClockSource(&Now);
        g_pClientSession = &session;
        Successors::Reset();
        SetLobbyScreenMaker([]() -> CScreen* { return ++Successors::lobby, nullptr; });
        SetWaitRoomScreenMaker([]() -> CScreen* { return ++Successors::waitRoom, nullptr; });
        SetLoginScreenMaker([]() -> CScreen* { return ++Successors::login, nullptr; });
        auto scripted = std::make_unique<platform::ScriptedInput>();
        input = scripted.get();
        host.input.CreateInput(std::move(scripted), 0);
        camera.distance = 300.0f;
        hero = harness.SpawnUnit("Creep", {100, 0, 100}, 0, 0, 300, 30, 40, 20, 0);
        ASSERT_EQ(hero, 0);
        World().slotOccupied[0] = true;
    }
    void TearDown() override {
        screen.reset();
        g_pClientSession = nullptr;
        SetLobbyScreenMaker(nullptr);
        SetWaitRoomScreenMaker(nullptr);
        SetLoginScreenMaker(nullptr);
        platform::SetClockSource(nullptr);
    }

    CWorldObjectManager& World() { return harness.machine(0).map->objects; }
    CGameCommandManager& Commands() { return *harness.machine(0).commands; }
    CPlayScreen& Make(int gameMode, ItemShop* shop = nullptr) {
        World().gameMode = gameMode;
        PlayContext context;
        context.shop = shop;
        context.ground = harness.machine(0).map.get();
        context.camera = &camera;
        screen = std::make_unique<CPlayScreen>(context);
        return *screen;
    }
    // One frame after ms milliseconds.
    int Step(uint32_t ms = 33) {
        g_now += ms;
        return screen->Update();
    }
    // Frames of 100 ms until the screen ends (at most seconds).
    int RunUntilFinished(float seconds) {
        for (float t = 0; t < seconds; t += 0.1f)
            if (const int r = Step(100)) return r;
        return 0;
    }

    // The keys down for one input read after dt (the others up).
    void Keys(std::initializer_list<uint8_t> down, float dt = 0.033f) {
        for (int k = 1; k < 0xEE; ++k) input->SetKey(static_cast<uint8_t>(k), false);
        for (uint8_t k : down) input->SetKey(k, true);
        host.input.UpdateInput(dt, 1);
    }
    // Records waiting in the local queue of one type.
    std::vector<CGameCommand*> Queued(uint8_t type) {
        std::vector<CGameCommand*> out;
        const CCommandQueue& q = Commands().Queue();
        for (size_t i = 0; i < q.size(); ++i)
            if (q[i]->Type() == type) out.push_back(q[i]);
        return out;
    }

    CWorldHarness harness;
    CClientSession session;
    CRecordingScreenHost host;
    platform::ScriptedInput* input = nullptr;
    CPlayCamera camera;
    std::unique_ptr<CPlayScreen> screen;
    int32_t hero = -1;
};

}  // namespace
