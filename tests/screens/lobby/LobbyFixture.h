// The client on test services with the screens before the lobby, three fake
// servers (login, game, channel) on system ports and a session of its own.
#pragma once

#include <functional>

#include "net/ClientSession.h"
#include "net/ProtocolTables.h"
#include "net/ServerAddress.h"
#include "screens/game/PlayResources.h"
#include "screens/lobby/HeroSelectScreen.h"
#include "screens/lobby/LoginScreen.h"
#include "tests/app/AppFixture.h"
#include "tests/servers/FakeGameServer.h"
#include "tests/servers/LoginPackets.h"
#include "tools/ProtocolTablesWriter.h"
#include "ui/ScreenManager.h"

class LobbyFixture : public AppFixture {
protected:
    static inline int s_lobbiesMade = 0;
    static CScreen* MakeLobbyStandIn() {
        ++s_lobbiesMade;
        return new CScriptedScreen("Lobby", nullptr, {});
    }

    void SetUp() override {
        AppFixture::SetUp();
        const SampleProtocolTables t = MakeSampleProtocolTables();
        ASSERT_EQ(tables.Set(t.permutation, t.experience), 1);
        s_lobbiesMade = 0;
        SetLoginScreenMaker(&NewLoginScreen);
        SetLobbyScreenMaker(&MakeLobbyStandIn);
        SetLoginServerHostOverride("127.0.0.1");
        PointClientAt(login.Port(), game.Port(), channel.Port());
        MakeApp();
        app->SetFirstScreenMaker([this] { return MakeFirstScreen(); });
        ASSERT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
        ASSERT_EQ(g_pPlayResources->Load(), 1) << ErrorReport().Text();
        ASSERT_EQ(g_pClientSession, &app->Session());
    }
    void TearDown() override {
        app.reset();
        SetLobbyScreenMaker(nullptr);
        SetLoginServerHostOverride("");
        for (ServerKind kind : {ServerKind::Login, ServerKind::Game, ServerKind::Channel})
            SetServerPortOverride(kind, 0);
        AppFixture::TearDown();
    }

    // The ports the client connects to from its next connection on.
    static void PointClientAt(uint16_t loginPort, uint16_t gamePort, uint16_t channelPort) {
        SetServerPortOverride(ServerKind::Login, loginPort);
        SetServerPortOverride(ServerKind::Game, gamePort);
        SetServerPortOverride(ServerKind::Channel, channelPort);
    }

    // The screen the client starts on.
    virtual CScreen* MakeFirstScreen() { return new CLoginScreen(); }

    CClientSession& Session() { return app->Session(); }
    CScreen* Current() { return app->Screens().Current(); }
    template <typename T>
    T* CurrentAs() {
        return dynamic_cast<T*>(Current());
    }
    // Runs frames until the condition holds (at most a bounded number).
    bool RunUntil(const std::function<bool()>& done, int frames = 3000) {
        for (int i = 0; i < frames; ++i) {
            if (done()) return true;
            app->RenderStep();
        }
        return done();
    }
    // The hero select screen once it lets the player pick, or null.
    CHeroSelectScreen* UntilHeroPicking() {
        CHeroSelectScreen* hero = nullptr;
        RunUntil([&] {
            hero = CurrentAs<CHeroSelectScreen>();
            return hero && hero->Phase() == CHeroSelectScreen::PHASE_PICKING;
        });
        return hero && hero->Phase() == CHeroSelectScreen::PHASE_PICKING ? hero : nullptr;
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) app->RenderStep();
    }
    // A key pressed for one frame and released the next; the screens see
    // the release in the frame after.
    void Tap(uint8_t key) {
        input->SetKey(key, true);
        app->RenderStep();
        input->SetKey(key, false);
        app->RenderStep();
        app->RenderStep();
    }

    CProtocolTables tables;
    CFakeGameServer login;
    CFakeGameServer game;
    CFakeGameServer channel;
};
