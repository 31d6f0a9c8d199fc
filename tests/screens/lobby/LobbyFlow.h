// The lobby screen on the real client loop against the fake game server:
// the fixture that enters it (2005, 3005, the first page and the community
// lists) and the small helpers its tests share.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "net/MessageIds.h"
#include "screens/lobby/LobbyScreen.h"
#include "screens/lobby/LobbyWindow.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/servers/LobbyPackets.h"
#include "engine/core/MessageBoxHost.h"
#include "ui/UiCheckButton.h"
#include "ui/UiWindow.h"

inline RoomListRecord Room(uint16_t number, const std::string& title, uint8_t password = 0, uint8_t mode = 0) {
    RoomListRecord room;
    room.number = number;
    room.state = 1;
    room.title = title;
    room.players = 2;
    room.capacity = 8;
    room.lowestRank = 1;
    room.highestRank = 100;
    room.password = password;
    room.mode = mode;
    return room;
}

inline std::string Text(const std::vector<uint8_t>& bytes, size_t at) {
    return std::string(reinterpret_cast<const char*>(bytes.data() + at));
}

inline uint16_t U16(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

class LobbyScreenFlow : public LobbyFixture {
protected:
    void SetUp() override {
        // Frames run slowly under the sanitizers on a loaded machine.
        game.SetExpectTimeout(10000);
        game.On(PK_LOBBY_USER_LIST_REQUEST, [](const FakePacket&) {
            return std::vector<FakePacket>{{PK_LOBBY_USER_LIST, LobbyUserListPayload(3, {"Hero", "[GM]Op", "Friendly"})}};
        });
        LobbyFixture::SetUp();
    }
    // The lobby follows a channel screen whose connection is still open.
    CScreen* MakeFirstScreen() override {
        CClientSession& session = app->Session();
        session.accountId = "player";
        session.nickname = "Hero";
        session.words.Load({"badword"}, {"nice"});
        session.rankNumber = 30;
        game.Accept();
        EXPECT_EQ(app->Net().Connect(game.Host(), game.Port()), 1);
        return new CLobbyScreen();
    }

    // The first entry: 2005, 3005, the first page and the community lists.
    void ScriptEntry(const LobbyPlayerSpec& player, const std::vector<RoomListRecord>& rooms) {
        game.Expect(PK_LOBBY_ENTER, [this](const FakePacket& p) { enter = p.payload; })
            .Send(PK_LOBBY_ENTER_RESULT, LobbyEnterAnswer(1, 0, player))
            .Expect(PK_ROOM_LIST_REQUEST, [this](const FakePacket& p) { listRequests.push_back(p.payload); })
            .Send(PK_ROOM_LIST, RoomListPayload(rooms));
        if (player.guildState == 2) game.Expect(PK_GUILD_DATA_REQUEST);
        game.Expect(PK_FRIEND_LIST_REQUEST).Expect(PK_BLOCK_LIST_REQUEST).Expect(PK_GUILD_ROSTER_REQUEST);
    }
    CLobbyScreen* Lobby() { return CurrentAs<CLobbyScreen>(); }
    // In the lobby or one of its questions, taking input.
    bool InLobby() {
        CLobbyScreen* lobby = Lobby();
        return lobby && lobby->Phase() >= CLobbyScreen::PHASE_LOBBY && lobby->Phase() != CLobbyScreen::PHASE_LEAVING &&
               !lobby->Busy();
    }
    // Runs until the lobby is up and every scripted step has run.
    void Enter(const LobbyPlayerSpec& player = {}, const std::vector<RoomListRecord>& rooms = {Room(4, "Beginners")}) {
        ScriptEntry(player, rooms);
        ASSERT_TRUE(RunUntil([&] { return InLobby(); })) << ErrorReport().Text();
        ASSERT_TRUE(game.WaitIdle());
        ASSERT_TRUE(RunUntil([&] { return Lobby()->Window()->Row(0).bar && !Lobby()->Window()->Row(0).bar->HasFlags(UI_HIDDEN); }));
        NoFailures();
    }
    void NoFailures() {
        for (const std::string& f : game.Failures()) ADD_FAILURE() << f;
    }
    int Count(uint16_t id) const {
        int n = 0;
        for (const FakePacket& p : game.Received()) n += p.id == id;
        return n;
    }
    void Click(CUiWindow* window, const char* control) {
        window->OnLButtonClick(window->FindChild(NameHash(control)));
    }
    void Press(int command) {
        Lobby()->Window()->PressCommand(command);
        Frames(2);
    }
    IMessageBoxHost& Box() { return app->MessageBox(); }

    std::vector<uint8_t> enter;
    std::vector<std::vector<uint8_t>> listRequests;
};
