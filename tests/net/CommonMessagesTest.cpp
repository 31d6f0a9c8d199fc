// The messages every screen hands on: lines, table changes, requests sent on
// the fake server, the popup after a failed send, and packets cut short.
#include <cstring>
#include <vector>

#include "net/ByteWriter.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetPacket.h"
#include "net/SocketLayer.h"
#include "tests/net/ChatFixture.h"
#include "tests/servers/FakeGameServer.h"
#include "tests/ui/RecordingScreenHost.h"
#include "ui/Screen.h"

namespace {

// Payload bytes built field by field.
class Payload {
public:
    Payload& U8(uint8_t v) { return Put(&v, 1); }
    Payload& U16(uint16_t v) {
        uint8_t b[2];
        CByteWriter(b, 2).WriteU16(v);
        return Put(b, 2);
    }
    Payload& U32(uint32_t v) {
        uint8_t b[4];
        CByteWriter(b, 4).WriteU32(v);
        return Put(b, 4);
    }
    Payload& Text(const char* text, size_t field) {
        std::vector<uint8_t> b(field);
        CByteWriter(b.data(), field).WriteText(text, field);
        return Put(b.data(), field);
    }
    Payload& Zeros(size_t n) {
        bytes.resize(bytes.size() + n);
        return *this;
    }
    Payload& Put(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + n);
        return *this;
    }
    std::vector<uint8_t> bytes;
};

NetPacket Packet(uint16_t id, const std::vector<uint8_t>& payload) {
    NetPacket packet;
    packet.id = id;
    packet.length = static_cast<uint16_t>(payload.size());
    if (!payload.empty()) std::memcpy(packet.payload.data(), payload.data(), payload.size());
    return packet;
}

class CommonMessagesTest : public ChatTest {
protected:
    void SetUp() override {
        ChatTest::SetUp();
        for (int n : {MSG_FRIEND_ADD, MSG_OUTSIDE_ADD, MSG_CHAT_MGR_CHAT_USER_OFF, MSG_CHAT_MGR_CHAT_USER_ON,
                      MSG_CHAT_MGR_REASON, MSG_GUILD_NEW_GUILDMASTER, MSG_OUTSIDE_IS_BLOCK_MEMBER})
            messages.SetMsg(n, "m" + std::to_string(n) + " %s");
        for (int n : {MSG_CHAT_MGR_CURRENT_USER, MSG_CHAT_MGR_USERSEARCH_NUM, MSG_CHAT_MGR_KILLGAME_DESTROY})
            messages.SetMsg(n, "m" + std::to_string(n) + " %d");
        g_pClientSession = &session;
    }
    void TearDown() override {
        g_pClientSession = nullptr;
        ChatTest::TearDown();
    }
    int Handle(uint16_t id, const std::vector<uint8_t>& payload, CUiListBox* chat) {
        return HandleCommonMessage(screen, Packet(id, payload), chat);
    }

    CRecordingScreenHost host;
    CScreen screen;
};

std::vector<uint8_t> GuildChat(const char* sender, const char* text) {
    return Payload().Zeros(10).Text(sender, 34).Text(text, strlen(text) + 1).bytes;
}

TEST_F(CommonMessagesTest, LinesOfTheNoticesAndReplies) {
    struct Case {
        uint16_t id;
        std::vector<uint8_t> payload;
        std::string line;  // the last line added; empty: none
    } cases[] = {
        {PK_GUILD_CHAT, GuildChat("friend", "hello"), "</C=ff8800>friend : hello"},
        {PK_NOTICE, Payload().U32(0).Text("maintenance", 129).bytes, "</C=31f1ff>maintenance"},
        {PK_BLOCKED_BY_USER, Payload().Text("other", 17).bytes,
         "</C=ff0000>m" + std::to_string(MSG_OUTSIDE_IS_BLOCK_MEMBER) + " other"},
        {PK_FRIEND_ADD_RESULT, Payload().U8(1).U8(0).Text("buddy", 17).Zeros(330).bytes,
         "</C=00ff00>m" + std::to_string(MSG_FRIEND_ADD) + " buddy"},
        {PK_BLOCK_ADD_RESULT, Payload().U8(1).U8(0).Text("pest", 17).Zeros(255).bytes,
         "</C=00ff00>m" + std::to_string(MSG_OUTSIDE_ADD) + " pest"},
        {PK_FRIEND_ADD_RESULT, Payload().U8(0).U8(41).Zeros(17).bytes, Red(MSG_NOT_ADD_MEMBER)},
        {PK_CHATOFF_RESULT, Payload().U8(1).U8(0).Text("loud", 129).Text("spam", 129).bytes,
         "</C=ff00ff>m" + std::to_string(MSG_CHAT_MGR_REASON) + " spam"},
        {PK_CURRENTUSER_RESULT, Payload().U8(1).U8(0).U32(321).bytes,
         "</C=ff00ff>m" + std::to_string(MSG_CHAT_MGR_CURRENT_USER) + " 321"},
        {PK_USERSEARCH_RESULT, Payload().U8(1).U8(0).U8(7).U8(0).U16(0).bytes, "</C=ff0000>NoState"},
        {PK_USERSEARCH_RESULT, Payload().U8(0).U8(38).U32(0).bytes, Red(MSG_CHAT_NOT_CONNECTED_NICK) + " "},
        {PK_CHAT_ON_NOTICE, {}, "</C=00ff00>m" + std::to_string(MSG_CHAT_MGR_CHAT_ON)},
        {9999, {1, 2, 3}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        list.ClearItems();
        EXPECT_EQ(Handle(c.id, c.payload, &list), 1);
        EXPECT_EQ(LastLine(), c.line);
    }
    EXPECT_EQ(session.community.FriendCount(), 0);  // the list sent was empty
}

TEST_F(CommonMessagesTest, ChatOffAndOnNamedApart) {
    list.ClearItems();
    Handle(PK_CHATOFF_RESULT, Payload().U8(1).U8(0).Text("loud", 129).Text("spam", 129).bytes, &list);
    ASSERT_EQ(Lines().size(), 2u);
    EXPECT_EQ(Lines()[0], "</C=ff00ff>m" + std::to_string(MSG_CHAT_MGR_CHAT_USER_OFF) + " loud");
    list.ClearItems();
    Handle(PK_CHATON_RESULT, Payload().U8(1).U8(0).Text("loud", 129).Text("sorry", 129).bytes, &list);
    EXPECT_EQ(Lines()[0], "</C=ff00ff>m" + std::to_string(MSG_CHAT_MGR_CHAT_USER_ON) + " loud");
}

TEST_F(CommonMessagesTest, BlockedGuildChatShowsNothingAndFlagsNeedNoList) {
    std::vector<uint8_t> blocked = Payload().U8(1).U8(0).Text("friend", 17).Zeros(255 - 17).bytes;
    ASSERT_EQ(session.community.SetBlockList(blocked.data() + 2, blocked.size() - 2), 1);
    EXPECT_EQ(Handle(PK_GUILD_CHAT, GuildChat("friend", "hello"), &list), 1);
    EXPECT_EQ(list.ItemCount(), 0u);

    EXPECT_EQ(Handle(PK_CHAT_OFF_NOTICE, {}, nullptr), 1);
    EXPECT_TRUE(session.chat.chatOff);
    EXPECT_EQ(Handle(PK_SHUTDOWN_COUNTDOWN, Payload().U32(0).U32(90).bytes, nullptr), 1);
    ASSERT_EQ(host.countdowns.size(), 1u);
    EXPECT_EQ(host.countdowns[0], 90.0f);
}

TEST_F(CommonMessagesTest, DuplicateLoginStopsThePoll) {
    EXPECT_EQ(Handle(PK_DUPLICATE_LOGIN, std::vector<uint8_t>(51), &list), 0);
    EXPECT_EQ(ErrorReport().GetCode(), 36u);
    EXPECT_STREQ(ErrorReport().GetText(), messages.GetMsg(MSG_LOGIN_SAME_ID));
}

TEST_F(CommonMessagesTest, GuildInformationRequestsTheRosterOrOpensThePopup) {
    ASSERT_EQ(NetStartup(1), 0);
    std::vector<uint8_t> info = Payload().U8(1).U8(0).U32(77).U8(2).Text("Clan", 17).U32(0xFFFFFFFEu).bytes;
    CFakeGameServer server;
    server.SetExpectTimeout(2000);
    std::vector<uint8_t> sent;
    server.Accept().Expect(2025, [&](const FakePacket& p) { sent = p.payload; });
    CNetClient client;
    ASSERT_EQ(client.Connect(server.Host(), server.Port()), 1);
    session.net = &client;
    EXPECT_EQ(Handle(3027, info, &list), 1);
    ASSERT_TRUE(server.WaitIdle());
    EXPECT_TRUE(server.Failures().empty());
    EXPECT_EQ(sent, Payload().U32(77).bytes);
    EXPECT_EQ(session.guildId, 77u);
    EXPECT_EQ(session.guildName, "Clan");
    EXPECT_EQ(session.money, -2);

    client.Disconnect();
    EXPECT_EQ(Handle(3027, info, &list), 0);
    EXPECT_EQ(screen.Phase(), CScreen::kPhaseErrorPopup);
    EXPECT_EQ(host.closes, 1);
    EXPECT_EQ(host.box.shown, 1);
    session.net = nullptr;
}

TEST_F(CommonMessagesTest, SmallFunctions) {
    EXPECT_EQ(GetUserStateName(7), "NoState");
    EXPECT_EQ(GetUserStateName(-1), "NoState");
    EXPECT_EQ(GetUserStateName(2), messages.GetMsg(MSG_CHAT_USER_STAGE_LOBBY));
    for (int code = 0; code < 60; ++code)
        EXPECT_EQ(IsChatErrorClass(code), code == 18 || code == 19 || code == 20 || code == 22 || code == 28) << code;
    EXPECT_EQ(StartWhisperTo("", &list), 1);

    EXPECT_EQ(FindOwnRoomSlot(), -1);
    MemberEntry own;
    own.SetNickname(session.nickname);
    session.room.SetMember(7, own);
    EXPECT_EQ(FindOwnRoomSlot(), 7);
    // The nickname is compared at its own offset, not at the entry's start.
    session.room = RoomRecord();
    std::memcpy(session.room.Member(3), session.nickname.c_str(), session.nickname.size());
    EXPECT_EQ(FindOwnRoomSlot(), -1);
}

TEST_F(CommonMessagesTest, EveryIdCutShortChangesNothing) {
    const std::vector<std::vector<uint8_t>> fulls = {
        GuildChat("friend", "hello"),
        Payload().U8(1).U8(0).Text("buddy", 17).Zeros(330).bytes,
        Payload().U8(1).U8(0).U32(77).U8(2).Text("Clan", 17).U32(5).bytes,
        Payload().U8(1).U8(0).Text("acc", 51).Text("nick", 17).U16(3).Text("why", 129).bytes,
    };
    const uint16_t ids[] = {1026, 1027, 1028, 1029, 1030, 1040, 1055, 1057, 1058, 1060, 1061, 1062, 1071, 1072, 1073,
                            3025, 3026, 3027, 3043, 3047, 3057, 3058, 3059, 3060, 3061, 3062, 3063, 3064, 3065};
    for (uint16_t id : ids) {
        for (const auto& full : fulls) {
            for (size_t n = 0; n < full.size(); n += 7) {
                std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
                Handle(id, cut, &list);
                Handle(id, cut, nullptr);
            }
        }
    }
    // Reaching here under the address sanitizer is the test.
    SUCCEED();
}

}  // namespace
