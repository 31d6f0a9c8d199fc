// The lobby's network loop against the fake game server: the keep-alive on the
// injected clock, the answers it takes apart, the chat filter, and hostile or
// refused answers.
#include <chrono>
#include <thread>
#include <vector>

#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetPacket.h"
#include "platform/CodePage.h"
#include "screens/lobby/LobbyPacketLoop.h"
#include "tests/net/NetFixture.h"
#include "tests/servers/FakeGameServer.h"
#include "tests/servers/LobbyPackets.h"

namespace {

struct RecordedEvents : ILobbyEvents {
    std::vector<LobbyEnterResult> entered;
    std::vector<RoomPage> pages;
    std::vector<LobbyUserList> users;
    std::vector<std::pair<std::string, uint32_t>> lines;
    std::vector<std::vector<int>> roomAnswers;
    int quits = 0;
    std::vector<uint16_t> others;

    void OnLobbyEntered(const LobbyEnterResult& r) override { entered.push_back(r); }
    void OnRoomList(const RoomPage& rooms) override { pages.push_back(rooms); }
    void OnLobbyUsers(const LobbyUserList& list) override { users.push_back(list); }
    void OnChatLine(const std::string& line, uint32_t colour) override { lines.emplace_back(line, colour); }
    void OnRoomAnswer(uint16_t id, uint8_t result, uint8_t reason, uint16_t room) override {
        roomAnswers.push_back({id, result, reason, room});
        leaving = result == 1;
    }
    // The lobby leaves on an accepted room answer.
    bool Reading() const override { return !leaving; }
    bool leaving = false;
    void OnQuitAnswer() override { ++quits; }
    int OnOtherPacket(const NetPacket& packet) override {
        others.push_back(packet.id);
        return 1;
    }
};

class LobbyPacketLoopTest : public NetTest {
protected:
    void SetUp() override {
        NetTest::SetUp();
        session.nickname = "Hero";
        session.words.Load({"badword"}, {"nice"});
        server.SetExpectTimeout(3000);
        server.On(PK_LOBBY_USER_LIST_REQUEST, [](const FakePacket&) {
            return std::vector<FakePacket>{{PK_LOBBY_USER_LIST, LobbyUserListPayload(2, {"Hero", "[GM]Op"})}};
        });
    }
    void Connect() { ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1); }
    // Runs frames of dt until the condition holds or a bound of real time passes.
    template <class Done>
    int RunUntil(Done done, float dt = 0.0f) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < until) {
            if (!loop.Run(client, session, dt, events)) return 0;
            std::this_thread::yield();
        }
        return done() ? 1 : -1;
    }
    int KeepAlives() const {
        int n = 0;
        for (const FakePacket& p : server.Received()) n += p.id == PK_LOBBY_USER_LIST_REQUEST;
        return n;
    }

    CFakeGameServer server;
    CNetClient client;
    CClientSession session;
    CLobbyPacketLoop loop;
    RecordedEvents events;
};

TEST_F(LobbyPacketLoopTest, EntryRoomListPlayersAndChat) {
    RoomListRecord room;
    room.number = 4;
    room.state = 1;
    room.title = "Beginners";
    room.players = 2;
    room.capacity = 8;
    const std::string other = platform::Utf8ToCp949("다른사람");
    const std::string hello = platform::Utf8ToCp949("안녕하세요 여러분");
    uint8_t blocked[CCommunityLists::kBlockListBytes] = {'P', 'e', 's', 't'};
    session.community.SetBlockList(blocked, sizeof blocked);
    LobbyPlayerSpec player;
    player.nickname = "Hero";
    player.cra = 5'000'000'000ll;
    player.guildState = 2;

    server.Accept()
        .Send(PK_LOBBY_ENTER_RESULT, LobbyEnterAnswer(1, 61, player))
        .Send(PK_ROOM_LIST, RoomListPayload({room}))
        .Send(PK_LOBBY_CHAT, LobbyChatPayload(other, hello))
        .Send(PK_LOBBY_CHAT, LobbyChatPayload("Pest", "spam"))
        .Send(PK_LOBBY_CHAT, LobbyChatPayload("Rude", "you badword"))
        .Send(PK_LOBBY_CHAT, LobbyChatPayload("[GM]Op", "hello"))
        .Send(PK_NOTICE, {'h', 'i', 0});
    Connect();
    ASSERT_EQ(RunUntil([&] { return !events.others.empty() && !events.users.empty(); }), 1);

    ASSERT_EQ(events.entered.size(), 1u);
    EXPECT_EQ(events.entered[0].reason, 61);
    EXPECT_EQ(events.entered[0].record.Cra(), 5'000'000'000ll);
    EXPECT_EQ(events.entered[0].record.GuildState(), 2);
    ASSERT_EQ(events.pages.size(), 1u);
    EXPECT_EQ(events.pages[0][0].title, "Beginners");
    EXPECT_EQ(events.pages[0][1].state, 0);
    ASSERT_EQ(events.lines.size(), 2u);  // the blocked sender and the bad word are dropped
    EXPECT_EQ(events.lines[0].first, other + " : " + hello);
    EXPECT_EQ(events.lines[0].second, 0xffffffu);
    EXPECT_EQ(events.lines[1].first, "[GM]Op : hello");
    EXPECT_EQ(events.lines[1].second, 0xff00ffu);
    EXPECT_EQ(events.others, std::vector<uint16_t>{PK_NOTICE});
    ASSERT_EQ(events.users.size(), 1u);
    EXPECT_EQ(events.users[0].count, 2);
    EXPECT_EQ(events.users[0].names, (std::vector<std::string>{"Hero", "[GM]Op"}));
}

TEST_F(LobbyPacketLoopTest, KeepAliveOnTheFirstFrameThenEveryTenSeconds) {
    server.Accept();
    Connect();
    ASSERT_TRUE(server.WaitIdle());
    ASSERT_EQ(loop.Run(client, session, 0.0f, events), 1);
    for (int frame = 0; frame < 9; ++frame) ASSERT_EQ(loop.Run(client, session, 1.0f, events), 1);  // 9 s
    ASSERT_EQ(RunUntil([&] { return events.users.size() == 1; }), 1);
    EXPECT_EQ(KeepAlives(), 1);
    ASSERT_EQ(loop.Run(client, session, 1.0f, events), 1);  // 10 s: the timer is spent
    ASSERT_EQ(loop.Run(client, session, 0.0f, events), 1);
    ASSERT_EQ(RunUntil([&] { return events.users.size() == 2; }), 1);
    EXPECT_EQ(KeepAlives(), 2);
    EXPECT_TRUE(server.Failures().empty());
}

TEST_F(LobbyPacketLoopTest, RoomAnswersAndQuit) {
    server.Accept()
        .Send(PK_MAKE_ROOM_RESULT, {1, 0, 0x34, 0x12})
        .Send(PK_MAKE_ROOM_RESULT, {0, 7, 0, 0})
        .Send(PK_JOIN_ROOM_RESULT, {0, 59})
        .Send(PK_QUICK_JOIN_RESULT, {1, 0, 9, 0})
        .Send(PK_LOBBY_QUIT_RESULT, {1, 0});
    Connect();
    ASSERT_EQ(RunUntil([&] { return events.quits == 1; }), 1);
    EXPECT_EQ(events.roomAnswers, (std::vector<std::vector<int>>{
                                      {PK_MAKE_ROOM_RESULT, 1, 0, 0x1234},
                                      {PK_MAKE_ROOM_RESULT, 0, 7, 0},
                                      {PK_JOIN_ROOM_RESULT, 0, 59, 0},
                                      {PK_QUICK_JOIN_RESULT, 1, 0, 9},
                                  }));
}

TEST_F(LobbyPacketLoopTest, HostileAndRefusedAnswersEndTheLoop) {
    struct Case {
        const char* name;
        uint16_t id;
        std::vector<uint8_t> payload;
        uint32_t error;  // the error report's code
    } cases[] = {
        {"3005 cut to 10 bytes", PK_LOBBY_ENTER_RESULT, std::vector<uint8_t>(10, 1), 28},
        {"3005 refused", PK_LOBBY_ENTER_RESULT, LobbyEnterAnswer(0, 5), 0},
        {"1006 cut short", PK_ROOM_LIST, std::vector<uint8_t>(100, 0), 28},
        {"1017 without a whole sender", PK_LOBBY_CHAT, {'a', 'b', 0}, 28},
        {"3006 ok without its room", PK_MAKE_ROOM_RESULT, {1, 0}, 28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFakeGameServer hostile;
        hostile.Accept().Send(c.id, c.payload);
        CNetClient net;
        ASSERT_EQ(net.Connect(hostile.Host(), hostile.Port()), 1);
        ASSERT_TRUE(hostile.WaitIdle());
        CLobbyPacketLoop fresh;
        int result = 1;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (result == 1 && std::chrono::steady_clock::now() < until) result = fresh.Run(net, session, 0, events);
        EXPECT_EQ(result, 0);
        if (c.error) {
            EXPECT_EQ(report.GetCode(), c.error);
        }
        EXPECT_TRUE(events.entered.empty());
    }
    // A 3039 that announces 5,000 players shows the count with the names it carries.
    server.Accept().Send(PK_LOBBY_USER_LIST, LobbyUserListPayload(5000, {"A1b2"}));
    Connect();
    auto announced = [&] {
        for (const LobbyUserList& list : events.users)
            if (list.count == 5000) return list.names == std::vector<std::string>{"A1b2"};
        return false;
    };
    EXPECT_EQ(RunUntil(announced), 1);
}

}  // namespace

#include "screens/lobby/LobbyRequests.h"

namespace {

// What the lobby does on entry: the room list, then the community lists.
struct EnteringEvents : RecordedEvents {
    CNetClient* net = nullptr;
    void OnLobbyEntered(const LobbyEnterResult& r) override {
        RecordedEvents::OnLobbyEntered(r);
        ASSERT_EQ(SendRoomListRequest(*net, ROOM_LIST_ALL, 0), 1);
        ASSERT_EQ(SendEntryCommunityRequests(*net, "Hero", r.record), 1);
    }
};

std::string Field(const FakePacket& p, size_t at, size_t size) {
    std::string s(p.payload.begin() + static_cast<long>(at), p.payload.begin() + static_cast<long>(at + size));
    return s.substr(0, s.find('\0'));
}

TEST_F(LobbyPacketLoopTest, EntryScriptWithAndWithoutAGuild) {
    for (uint8_t guildState : {uint8_t{0}, uint8_t{2}}) {
        SCOPED_TRACE(int{guildState});
        CFakeGameServer script;
        script.SetExpectTimeout(3000);
        script.On(PK_LOBBY_USER_LIST_REQUEST, [](const FakePacket&) {
            return std::vector<FakePacket>{{PK_LOBBY_USER_LIST, LobbyUserListPayload(1, {"Hero"})}};
        });
        LobbyPlayerSpec player;
        player.guildState = guildState;
        player.guildNumber = 77;
        script.Accept()
            .Expect(PK_LOBBY_ENTER,
                    [](const FakePacket& p) {
                        EXPECT_EQ(Field(p, 0, 51), "acct01");
                        EXPECT_EQ(Field(p, 51, 17), "Hero");
                        EXPECT_EQ(p.payload[68] | p.payload[69], 0);
                    })
            .Send(PK_LOBBY_ENTER_RESULT, LobbyEnterAnswer(1, 0, player))
            .Expect(PK_ROOM_LIST_REQUEST,
                    [](const FakePacket& p) { EXPECT_EQ(p.payload, (std::vector<uint8_t>{0, 0, 0, 0})); })
            .Send(PK_ROOM_LIST, RoomListPayload({}));
        if (guildState == 2)
            script.Expect(PK_GUILD_DATA_REQUEST, [](const FakePacket& p) {
                EXPECT_EQ(Field(p, 0, 17), "Hero");
                EXPECT_EQ(p.payload[17], 77);
            });
        script.Expect(PK_FRIEND_LIST_REQUEST).Expect(PK_BLOCK_LIST_REQUEST).Expect(PK_GUILD_ROSTER_REQUEST, [](const FakePacket& p) {
            EXPECT_EQ(p.payload, (std::vector<uint8_t>{77, 0, 0, 0}));
        });
        CNetClient net;
        ASSERT_EQ(net.Connect(script.Host(), script.Port()), 1);
        EnteringEvents entering;
        entering.net = &net;
        ASSERT_EQ(SendLobbyEnter(net, "acct01", "Hero"), 1);
        CLobbyPacketLoop entryLoop;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while ((entering.pages.empty() || entering.users.empty()) && std::chrono::steady_clock::now() < until)
            ASSERT_EQ(entryLoop.Run(net, session, 0.0f, entering), 1);
        ASSERT_TRUE(script.WaitIdle());
        EXPECT_TRUE(script.Failures().empty()) << script.Failures()[0];
        EXPECT_EQ(entering.entered.size(), 1u);
        EXPECT_EQ(entering.pages.size(), 1u);
    }
}

TEST_F(LobbyPacketLoopTest, WhatFollowsAnAcceptedRoomAnswerIsLeftForTheRoom) {
    std::vector<uint8_t> batch = CFakeGameServer::PacketBytes(PK_MAKE_ROOM_RESULT, {1, 0, 5, 0});
    const std::vector<uint8_t> info = CFakeGameServer::PacketBytes(PK_ROOM_INFO, std::vector<uint8_t>(973, 0));
    batch.insert(batch.end(), info.begin(), info.end());
    server.Accept().SendRaw(batch);
    Connect();
    ASSERT_TRUE(server.WaitIdle());
    ASSERT_EQ(RunUntil([&] { return !events.roomAnswers.empty(); }), 1);
    EXPECT_TRUE(events.others.empty());
    NetPacket next;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    do {
        ASSERT_EQ(client.RecvPacket(next), 1);
    } while (next.id == 0 && std::chrono::steady_clock::now() < until);
    EXPECT_EQ(next.id, PK_ROOM_INFO);
}

TEST(LobbyRequests, ChatLimitAndBlankLines) {
    EXPECT_EQ(LobbyChatByteLimit("Hero"), 100);
    EXPECT_EQ(LobbyChatByteLimit("TwelveLetter"), 95);
    EXPECT_EQ(LobbyChatByteLimit(std::string(40, 'x')), 90);  // a nickname counts at most its field
}

}  // namespace
