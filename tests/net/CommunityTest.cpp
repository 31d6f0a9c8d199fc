#include <gtest/gtest.h>

#include <cstring>

#include "net/ByteWriter.h"
#include "net/ChatSenders.h"
#include "net/CommunityRequests.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetLog.h"
#include "engine/core/ErrorReport.h"
#include "platform/Socket.h"
#include "net/SocketLayer.h"
#include "tests/net/ChatFixture.h"
#include "tests/servers/FakeGameServer.h"

namespace {

// A friend list of n names "frd0".."frdN" (22-byte entries), behind a head of headBytes.
std::vector<uint8_t> FriendListPacket(size_t head, int n, uint8_t ok = 1) {
    std::vector<uint8_t> p(head + CCommunityLists::kFriendListBytes, 0);
    p[0] = ok;
    for (int i = 0; i < n; ++i) {
        const std::string name = "frd" + std::to_string(i) + "x";
        std::memcpy(&p[head + static_cast<size_t>(i) * 22], name.data(), name.size());
        p[head + static_cast<size_t>(i) * 22 + 17] = 3;
    }
    return p;
}

std::vector<uint8_t> BlockListPacket(size_t head, std::vector<std::string> names) {
    std::vector<uint8_t> p(head + CCommunityLists::kBlockListBytes, 0);
    p[0] = 1;
    for (size_t i = 0; i < names.size(); ++i) std::memcpy(&p[head + i * 17], names[i].data(), names[i].size());
    return p;
}

std::vector<uint8_t> GuildList(size_t head, std::vector<std::string> names, uint8_t ok = 1) {
    std::vector<uint8_t> p(head + CCommunityLists::kGuildListBytes, 0);
    p[0] = ok;
    for (size_t i = 0; i < names.size(); ++i) {
        std::memcpy(&p[head + i * 22], names[i].data(), names[i].size());
        // The row number sits unaligned at byte 18.
        p[head + i * 22 + 18] = static_cast<uint8_t>(i + 1);
    }
    return p;
}

class CommunityTest : public ChatTest {
protected:
    int Handle(uint16_t id, const std::vector<uint8_t>& p) {
        return HandleCommunityListPacket(session, id, p.data(), p.size());
    }
};

TEST_F(CommunityTest, ListsFollowTheServer) {
    EXPECT_EQ(Handle(PK_FRIEND_LIST, FriendListPacket(2, 3)), 1);
    EXPECT_EQ(session.community.FriendCount(), 3);
    EXPECT_EQ(session.community.Friends()[1].state, 3);
    // A refusal changes nothing, whether whole or its bare result code.
    EXPECT_EQ(Handle(PK_FRIEND_ADD_RESULT, FriendListPacket(19, 0, 0)), 1);
    EXPECT_EQ(Handle(PK_FRIEND_LIST, {0, 7}), 1);
    EXPECT_EQ(session.community.FriendCount(), 3);
    // An accepted list cut short is refused and leaves the table.
    std::vector<uint8_t> cut = FriendListPacket(2, 1);
    cut.resize(100);
    EXPECT_EQ(Handle(PK_FRIEND_LIST, cut), 0);
    EXPECT_EQ(Handle(PK_FRIEND_LIST, {}), 0);
    EXPECT_EQ(session.community.FriendCount(), 3);
    EXPECT_EQ(Handle(PK_FRIEND_DELETE_RESULT, FriendListPacket(19, 2)), 1);
    EXPECT_EQ(session.community.FriendCount(), 2);
    session.community.SetFriendState("frd1x", 9);
    EXPECT_EQ(session.community.Friends()[1].state, 9);

    EXPECT_EQ(Handle(PK_BLOCK_LIST, BlockListPacket(2, {"Abcd"})), 1);
    EXPECT_EQ(IsBlockedUser(session, "Abcd"), 1);
    EXPECT_EQ(IsBlockedUser(session, "abcd"), 0);
    EXPECT_EQ(IsBlockedUser(session, ""), 0);
    EXPECT_EQ(Handle(PK_BLOCK_ADD_RESULT, BlockListPacket(19, {"Abcd", "wxyz"})), 1);
    EXPECT_EQ(session.community.BlockedCount(), 2);
    EXPECT_EQ(Handle(9999, {}), -1);

    // Members online mark the roster, whichever comes first.
    EXPECT_EQ(Handle(PK_GUILD_ONLINE_LIST, GuildList(21, {"mem2"})), 1);
    EXPECT_EQ(Handle(PK_GUILD_MEMBER_LIST, GuildList(2, {"mem1", "mem2", "mem3"})), 1);
    EXPECT_EQ(session.community.Roster()[1].online, 1);
    EXPECT_EQ(session.community.Roster()[0].online, 0);
    EXPECT_EQ(session.community.Roster()[2].row, 3u);
    EXPECT_EQ(Handle(PK_GUILD_ONLINE_LIST, GuildList(21, {"mem3"})), 1);
    EXPECT_EQ(session.community.Roster()[2].online, 1);
}

TEST_F(CommunityTest, GuildNoticesAndMembers) {
    ASSERT_EQ(Handle(PK_GUILD_MEMBER_LIST, GuildList(2, {"mem1", "mem2"})), 1);
    std::vector<uint8_t> online(44, 0);
    std::memcpy(&online[27], "mem2", 4);
    EXPECT_EQ(SetGuildMemberOnline(session, online.data(), online.size(), 1, &list), 1);
    EXPECT_EQ(session.community.Roster()[1].online, 1);
    EXPECT_EQ(LastLine(), "</C=ff8800>m328 mem2");
    std::memcpy(&online[27], "nobody", 6);
    EXPECT_EQ(SetGuildMemberOnline(session, online.data(), online.size(), 0, &list), 1);
    EXPECT_EQ(list.ItemCount(), 1u);
    EXPECT_EQ(SetGuildMemberOnline(session, online.data(), 30, 0, &list), 0);

    HandleGuildNotice(session, PK_GUILD_ACCEPT_NOTICE, "new1%n", &list);
    EXPECT_EQ(LastLine(), "</C=ff8800>m316 new1%n");
    EXPECT_STREQ(session.community.Roster()[2].nickname, "new1%n");
    HandleGuildNotice(session, PK_GUILD_BANISH_NOTICE, "mem1", &list);
    EXPECT_EQ(session.community.Roster()[0].nickname[0], '\0');
    HandleGuildNotice(session, PK_GUILD_LEAVE_NOTICE, "new1%n", &list);
    EXPECT_EQ(LastLine(), "</C=ff8800>m318 new1%n");
    EXPECT_EQ(session.community.FindGuildMember("new1%n"), nullptr);

    // A full roster: the accept notice shows its line and changes nothing.
    std::vector<std::string> all;
    for (int i = 0; i < 36; ++i) all.push_back("g" + std::to_string(i) + "xx");
    ASSERT_EQ(Handle(PK_GUILD_MEMBER_LIST, GuildList(2, all)), 1);
    const auto before = session.community.Roster();
    HandleGuildNotice(session, PK_GUILD_ACCEPT_NOTICE, "late", &list);
    EXPECT_EQ(LastLine(), "</C=ff8800>m316 late");
    EXPECT_EQ(std::memcmp(before.data(), session.community.Roster().data(), sizeof(before)), 0);

    // A guild line passes the filter and the sender's name is never a format.
    session.words.Load({"bad"}, {"nice"});
    std::vector<uint8_t> chat(44, 0);
    std::memcpy(&chat[10], "%s%n", 4);
    const std::string text = "hello";
    chat.insert(chat.end(), text.begin(), text.end());
    EXPECT_EQ(ShowGuildChatLine(session, &list, chat.data(), chat.size()), 1);
    EXPECT_EQ(LastLine(), "</C=ff8800>%s%n : hello");
    chat.push_back('b'), chat.push_back('a'), chat.push_back('d');
    const uint32_t n = list.ItemCount();
    EXPECT_EQ(ShowGuildChatLine(session, &list, chat.data(), chat.size()), 1);
    EXPECT_EQ(list.ItemCount(), n);
    EXPECT_EQ(ShowGuildChatLine(session, &list, chat.data(), 20), 0);
}

TEST_F(CommunityTest, AddCommunityMemberOrder) {
    ASSERT_EQ(NetStartup(1), 0);
    CNetClient net;
    session.net = &net;
    session.nickname = "selfname";
    ASSERT_EQ(Handle(PK_FRIEND_LIST, FriendListPacket(2, 14)), 1);
    std::vector<std::string> blocked;
    for (int i = 0; i < 15; ++i) blocked.push_back("blk" + std::to_string(i) + "x");
    ASSERT_EQ(Handle(PK_BLOCK_LIST, BlockListPacket(2, blocked)), 1);

    CFakeGameServer server;
    server.Accept().Expect(PK_FRIEND_ADD);
    ASSERT_EQ(net.Connect(server.Host(), server.Port()), 1);
    const struct {
        std::string name;
        bool isFriend;
        int sent;
        std::string line;
    } cases[] = {
        // Oneself is refused before any list is searched, even with the block list full.
        {"selfname", false, 0, Red(MSG_NOT_ADD_MYID)},
        {"frd3x", true, 0, Red(MSG_IS_ADD_MEMBER)},
        {"blk3x", false, 0, Red(MSG_IS_ADD_MEMBER)},
        {"other", false, 0, Red(MSG_NOT_ADD_MEMBER)},
        {"ab", true, 0, Red(MSG_NICKNAME_MIN_NICK)},
        {"ab cd", true, 0, Red(MSG_NICKNAME_UNVALID_NICK)},
        {"Frd3x", true, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        list.ClearItems();
        EXPECT_EQ(AddCommunityMember(session, c.name, c.isFriend, &list), c.sent);
        EXPECT_EQ(LastLine(), c.line);
    }
    ASSERT_TRUE(server.WaitIdle());
    ASSERT_EQ(server.Received().size(), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(server.Received()[0].payload.data()) + 17), "Frd3x");
    // The fifteenth friend fills the list; the sixteenth is refused.
    ASSERT_EQ(Handle(PK_FRIEND_LIST, FriendListPacket(2, 15)), 1);
    list.ClearItems();
    EXPECT_EQ(AddCommunityMember(session, "newone", true, &list), 0);
    EXPECT_EQ(LastLine(), Red(MSG_NOT_ADD_MEMBER));
    // A guild name too short names the guild error.
    list.ClearItems();
    EXPECT_EQ(ValidateCommunityName("ab", &list, 1), 0);
    EXPECT_EQ(LastLine(), Red(MSG_GUILD_ERROR_GUILD_NAME));
}

}  // namespace

namespace {

// Receives the next packet (polling with a bound); id 0 when none came.
NetPacket NextPacket(CNetClient& net) {
    NetPacket packet;
    for (int i = 0; i < 200 && net.IsConnected(); ++i) {
        if (!net.RecvPacket(packet) || packet.id != 0) break;
        platform::SocketWaitFor(net.GetSocket(), platform::SOCKET_READABLE, 10);
    }
    return packet;
}

TEST_F(CommunityTest, ServerFraming) {
    ASSERT_EQ(NetStartup(1), 0);
    std::vector<std::string> log;
    SetNetLogHook([&log](const std::string& line) { log.push_back(line); });
    CNetClient net;
    CFakeGameServer server;
    std::vector<uint8_t> cut = FriendListPacket(2, 5);
    cut.resize(120);
    server.Accept()
        .Send(PK_FRIEND_LIST, {0, 7})
        .SendRaw(CFakeGameServer::PacketBytes(1999, {1, 2, 3}))
        .Send(PK_FRIEND_LIST, FriendListPacket(2, 2))
        .Send(PK_FRIEND_LIST, cut);
    ASSERT_EQ(net.Connect(server.Host(), server.Port()), 1);
    auto handle = [&](const NetPacket& p) {
        const int r = HandleCommunityListPacket(session, p.id, p.payload.data(), p.length);
        return r == 0 ? net.CloseMalformed(p.id, p.length) : r;
    };
    // A bare refusal is handled by its code.
    NetPacket p = NextPacket(net);
    ASSERT_EQ(p.id, PK_FRIEND_LIST);
    EXPECT_EQ(p.length, 2);
    EXPECT_EQ(handle(p), 1);
    // The unknown id is dropped with a log line; the next packet comes through.
    p = NextPacket(net);
    ASSERT_EQ(p.id, PK_FRIEND_LIST);
    EXPECT_EQ(handle(p), 1);
    EXPECT_EQ(session.community.FriendCount(), 2);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "dropped message 1999 (3 bytes)");
    // An accepted list cut short closes the connection with message 28.
    p = NextPacket(net);
    ASSERT_EQ(p.id, PK_FRIEND_LIST);
    EXPECT_EQ(handle(p), 0);
    EXPECT_FALSE(net.IsConnected());
    EXPECT_EQ(ErrorReport().GetCode(), static_cast<uint32_t>(MSG_ERROR_NETWORK_DISCONNECT));
    EXPECT_EQ(ErrorReport().Text(), "m28");
    EXPECT_EQ(session.community.FriendCount(), 2);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1], "message 3042 ends early (120 bytes)");
    SetNetLogHook(nullptr);
}

}  // namespace
