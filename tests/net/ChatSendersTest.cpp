// Every chat command's message reaches the server byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include "net/ChatInputProcess.h"
#include "net/CommunityRequests.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/SocketLayer.h"
#include "platform/CodePage.h"
#include "tests/net/ChatFixture.h"
#include "tests/servers/FakeGameServer.h"

namespace {

struct Bytes {
    std::vector<uint8_t> b;
    Bytes& Text(const std::string& s, size_t field) {
        std::vector<uint8_t> f(field, 0);
        std::memcpy(f.data(), s.data(), std::min(s.size(), field));
        b.insert(b.end(), f.begin(), f.end());
        return *this;
    }
    Bytes& Str(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        b.push_back(0);
        return *this;
    }
    Bytes& U16(uint16_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Bytes& U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
};

class ChatSendTest : public ChatTest {
protected:
    void SetUp() override {
        ChatTest::SetUp();
        ASSERT_EQ(NetStartup(1), 0);
        session.nickname = "[GM]me12";
        session.net = &net;
    }
    // Types a line a second after the last one, so the flood limit stays out of the way.
    const ChatRecord* Type(const std::string& line) {
        g_chatTestNow += 1000;
        return ProcessChatInput(&label, session, line, &list);
    }
    CNetClient net;
};

TEST_F(ChatSendTest, CommandsSendTheirMessages) {
    const std::string me = "[GM]me12";
    const struct {
        std::string line;
        uint16_t id;
        std::vector<uint8_t> payload;
    } cases[] = {
        {"/w abcd hello", PK_WHISPER, Bytes().Text(me, 17).Text("abcd", 17).Str("hello").b},
        {"/killgame 12 bad game", PK_CMD_KILLGAME, Bytes().U16(12).Text("bad game", 129).b},
        {"/ban xyzw 3 cheating", PK_CMD_BAN, Bytes().Text("xyzw", 17).U16(3).Text("cheating", 129).b},
        {"/usersearch xyzw", PK_CMD_USERSEARCH, Bytes().Text("xyzw", 17).b},
        {"/report xyzw spam", PK_CMD_REPORT, Bytes().Text("xyzw", 17).Text("spam", 129).b},
        {"/roomcry 5 hurry", PK_CMD_ROOMCRY, Bytes().U16(5).Text("hurry", 129).b},
        {"/chatoff xyzw rude", PK_CMD_CHATOFF, Bytes().Text("xyzw", 17).Text("rude", 129).b},
        {"/chaton xyzw ok", PK_CMD_CHATON, Bytes().Text("xyzw", 17).Text("ok", 129).b},
        {"/notice restart soon", PK_NOTICE, Bytes().U32(0).Text("restart soon", 129).b},
        {"/currentuser", PK_CMD_CURRENTUSER, Bytes().U32(0).b},
        {"/banoff xyzw sorry", PK_CMD_BANOFF, Bytes().Text("xyzw", 17).Text("sorry", 129).b},
        {"/fa abcd", PK_FRIEND_ADD, Bytes().Text(me, 17).Text("abcd", 17).b},
        {"/sq wxyz", PK_BLOCK_ADD, Bytes().Text(me, 17).Text("wxyz", 17).b},
        {"/g hi all", PK_GUILD_CHAT, Bytes().U32(0).U16(0).U32(0x01020304).Text(me, 34).Str("hi all").b},
        // A long notice is cut to its field on a character boundary.
        {"/notice " + std::string(127, 'n') + platform::Utf8ToCp949("가"), PK_NOTICE,
         Bytes().U32(0).Text(std::string(127, 'n'), 129).b},
    };
    session.guildState = CClientSession::kGuildMember;
    session.guildId = 0x01020304;
    CFakeGameServer server;
    server.Accept();
    for (const auto& c : cases) server.Expect(c.id);
    ASSERT_EQ(net.Connect(server.Host(), server.Port()), 1);
    for (const auto& c : cases) EXPECT_EQ(Type(c.line), nullptr) << c.line;
    ASSERT_TRUE(server.WaitIdle());
    EXPECT_TRUE(server.Failures().empty()) << server.Failures()[0];
    const std::vector<FakePacket> got = server.Received();
    ASSERT_EQ(got.size(), std::size(cases));
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(cases[i].line);
        EXPECT_EQ(got[i].id, cases[i].id);
        EXPECT_EQ(got[i].payload, cases[i].payload);
    }
    EXPECT_EQ(got[0].payload.size(), 35u + 5u);
    EXPECT_EQ(got[13].payload.size(), 45u + 6u);
}

TEST_F(ChatSendTest, NothingToSendAndClosedConnection) {
    CFakeGameServer server;
    server.Accept().Expect(PK_WHISPER);
    ASSERT_EQ(net.Connect(server.Host(), server.Port()), 1);
    // A blank whisper, one to oneself (any ASCII case) and a blank guild line send nothing.
    EXPECT_EQ(Type("/w abcd    "), nullptr);
    EXPECT_EQ(Type("/w [gm]ME12 hi"), nullptr);
    session.guildState = CClientSession::kGuildMember;
    EXPECT_EQ(Type("/g    "), nullptr);
    EXPECT_EQ(Type("/w abcd sent"), nullptr);
    ASSERT_TRUE(server.WaitIdle());
    ASSERT_EQ(server.Received().size(), 1u);
    EXPECT_TRUE(list.ItemCount() == 0);
    // A send on a closed connection turns the line into the error record.
    net.Disconnect();
    const ChatRecord* r = Type("/w abcd lost");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->text, "CHAT_SEND_ERROR");
    r = Type("/ban xyzw 1 why");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->text, "CHAT_SEND_ERROR");
}

}  // namespace
