#include "tests/servers/EndToEndScenario.h"

#include <cstdio>
#include <cstring>

#include "net/MessageIds.h"
#include "net/MessageSizeTable.h"

namespace {

constexpr uint32_t kLoginKey = 0x11223344u;
constexpr uint32_t kLoginEnterKey = 0x55667788u;
constexpr uint32_t kGameKey = 0x01020304u;
constexpr uint32_t kChannelKey = 0x0000CAFEu;
// Where the sender's text starts in a lobby chat line and a room chat line.
constexpr size_t kLobbyChatText = 17;
constexpr size_t kRoomChatText = 19;
// A loaded machine runs the sanitized client slowly: the servers wait long.
constexpr int kIdleMs = 20000;

// A checked copy of what the client sent, for the test's thread to read once the server is idle.
CFakeGameServer::PacketCheck Keep(std::vector<uint8_t>* into) {
    return [into](const FakePacket& p) { *into = p.payload; };
}

size_t TextLength(const std::vector<uint8_t>& payload, size_t at) {
    if (at >= payload.size()) return 0;
    const void* end = std::memchr(payload.data() + at, 0, payload.size() - at);
    return end ? static_cast<size_t>(static_cast<const uint8_t*>(end) - (payload.data() + at)) : payload.size() - at;
}

std::vector<FakePacket> Answer(uint16_t id, std::vector<uint8_t> payload) { return {{id, std::move(payload)}}; }

}  // namespace

std::string ClientSizeProblem(const FakePacket& packet) {
    const size_t size = packet.payload.size();
    const std::string id = std::to_string(packet.id);
    if (packet.id == PK_LOBBY_CHAT || packet.id == PK_CHAT_LINE) {
        const size_t at = packet.id == PK_LOBBY_CHAT ? kLobbyChatText : kRoomChatText;
        const size_t want = at + 1 + TextLength(packet.payload, at);
        return size == want ? "" : id + " has " + std::to_string(size) + " bytes for " + std::to_string(want);
    }
    const MessageSizeEntry e = GetMessageSize(packet.id);
    if (!e.defined) return id + " is not in the size table";
    if (e.variable ? size > e.size : size != e.size)
        return id + " has " + std::to_string(size) + " bytes, the table says " + std::to_string(e.size);
    return "";
}

CEndToEndScenario::CEndToEndScenario(CFakeGameServer& login, CFakeGameServer& game, CFakeGameServer& channel)
    : m_login(login), m_game(game), m_channel(channel) {}

void CEndToEndScenario::Login(const std::vector<FakeNickname>& nicknames) {
    m_login.Accept()
        .SendAuthKey(kLoginKey)
        .ExpectLogin(&loginRecord)
        .SendResult(PK_LOGIN_RESULT, 1, 0, GetMessageSize(PK_LOGIN_RESULT).size)
        .SendAuthKey(kLoginEnterKey)
        .ExpectEnterServer(&loginEnterRecord, &loginReentry)
        .Send(PK_ACCOUNT_INFO, AccountInfoPayload("127.0.0.1"));
    m_game.Accept()
        .SendAuthKey(kGameKey)
        .ExpectEnterServer(&gameRecord, &gameReentry)
        .SendResult(PK_ENTER_SERVER_RESULT, 1, 0, GetMessageSize(PK_ENTER_SERVER_RESULT).size)
        .Expect(PK_NICKNAME_LIST_REQUEST)
        .Send(PK_NICKNAME_LIST, NicknameListPayload(nicknames));
}

void CEndToEndScenario::CreateNickname(const std::string& cp949) {
    m_game.Expect(PK_NICKNAME_CREATE, Keep(&nicknameCreate))
        .Send(PK_NICKNAME_CREATE_RESULT, ResultPacket(PK_NICKNAME_CREATE_RESULT, 1, 0).payload)
        .Expect(PK_NICKNAME_LIST_REQUEST)
        .Send(PK_NICKNAME_LIST, NicknameListPayload({{cp949, 1}}));
}

void CEndToEndScenario::PushChannels() {
    m_game.Send(PK_CHANNEL_LIST,
                ChannelListPayload({{"First", "127.0.0.1", 10, 100}, {"Second", "127.0.0.1", 100, 100}}));
}

void CEndToEndScenario::EnterLobby(const LobbyPlayerSpec& player, const std::vector<RoomListRecord>& rooms) {
    m_channel.On(PK_LOBBY_USER_LIST_REQUEST, [this, nickname = player.nickname](const FakePacket&) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_keepAlives.push_back(m_clock ? m_clock() : 0);
        }
        return Answer(PK_LOBBY_USER_LIST, LobbyUserListPayload(1, {nickname}));
    });
    m_channel.Accept()
        .SendAuthKey(kChannelKey)
        .ExpectEnterServer(&channelRecord, &channelReentry)
        .SendResult(PK_ENTER_SERVER_RESULT, 1, 0, GetMessageSize(PK_ENTER_SERVER_RESULT).size)
        .Expect(PK_LOBBY_ENTER, Keep(&lobbyEnter))
        .Send(PK_LOBBY_ENTER_RESULT, LobbyEnterAnswer(1, 0, player))
        .Expect(PK_ROOM_LIST_REQUEST)
        .Send(PK_ROOM_LIST, RoomListPayload(rooms))
        .Expect(PK_FRIEND_LIST_REQUEST)
        .Send(PK_FRIEND_LIST, CommunityAnswer(1, 0, FriendListBytes({})))
        .Expect(PK_BLOCK_LIST_REQUEST)
        .Send(PK_BLOCK_LIST, CommunityAnswer(1, 0, BlockListBytes({})))
        .Expect(PK_GUILD_ROSTER_REQUEST)
        .Send(PK_GUILD_MEMBER_LIST, CommunityAnswer(1, 0, GuildRosterBytes({})));
}

void CEndToEndScenario::ExpectLobbyChat() { m_channel.Expect(PK_LOBBY_CHAT, Keep(&chat)); }

void CEndToEndScenario::MakeRoom(const RoomSpec& room, int mateSlot, const std::string& mate) {
    RoomSpec full = room;
    full.Seat(mateSlot, mate);
    RoomSpec ready = full;
    ready.slots[static_cast<size_t>(mateSlot)].ready = 1;
    m_channel.Expect(PK_MAKE_ROOM, Keep(&makeRoom))
        .Send(PK_MAKE_ROOM_RESULT, {1, 0, static_cast<uint8_t>(room.number), static_cast<uint8_t>(room.number >> 8)})
        .Send(PK_ROOM_INFO, RoomInfoPayload(room))
        .Send(PK_ROOM_INFO, RoomInfoPayload(full))
        .Send(PK_ROOM_SLOT_STATES, SlotStatesPayload(ready));
}

void CEndToEndScenario::StartMatch(uint16_t mapId, const std::array<uint32_t, 12>& choices) {
    m_channel.Expect(PK_GAME_START, Keep(&start))
        .Send(PK_GAME_START_RESULT, {1, 0, static_cast<uint8_t>(mapId), static_cast<uint8_t>(mapId >> 8)})
        .Send(PK_HERO_CHOICES, HeroChoicesPayload(choices));
}

void CEndToEndScenario::PickHero(const std::array<uint32_t, 12>& final, const std::array<uint8_t, 12>& levels) {
    m_channel.Expect(PK_HERO_PICK, Keep(&pick))
        .SendResult(PK_HERO_PICK_RESULT, 1, 0, GetMessageSize(PK_HERO_PICK_RESULT).size)
        .Send(PK_HERO_FINAL, HeroChoicesPayload(final, levels));
}

void CEndToEndScenario::GoToMarket(const std::vector<uint8_t>& inventoryAnswer) {
    m_channel.Expect(PK_GO_TO_SHOP).Send(PK_INVENTORY_MOVE_RESULT, inventoryAnswer);
}

void CEndToEndScenario::ExpectBackToLobby() { m_channel.Expect(PK_BACK_TO_LOBBY); }

void CEndToEndScenario::ReturnToLobby(const std::vector<RoomListRecord>& rooms) {
    m_channel.Expect(PK_ROOM_LIST_REQUEST).Send(PK_ROOM_LIST, RoomListPayload(rooms));
}

void CEndToEndScenario::DuplicateLogin() {
    m_channel.Send(PK_DUPLICATE_LOGIN, std::vector<uint8_t>(GetMessageSize(PK_DUPLICATE_LOGIN).size)).ExpectClosed();
}

std::vector<uint32_t> CEndToEndScenario::KeepAliveTimes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_keepAlives;
}

std::vector<std::string> CEndToEndScenario::Failures() const {
    std::vector<std::string> out;
    const std::pair<const char*, const CFakeGameServer*> servers[] = {
        {"login", &m_login}, {"game", &m_game}, {"channel", &m_channel}};
    for (const auto& [name, server] : servers) {
        for (const std::string& f : server->Failures()) out.push_back(std::string(name) + ": " + f);
        for (const FakePacket& p : server->Received()) {
            const std::string problem = ClientSizeProblem(p);
            if (!problem.empty()) out.push_back(std::string(name) + ": " + problem);
        }
    }
    return out;
}

bool CEndToEndScenario::WaitIdle() {
    bool idle = true;
    for (CFakeGameServer* server : {&m_login, &m_game, &m_channel}) idle = server->WaitIdle(kIdleMs) && idle;
    return idle;
}

int CEndToEndScenario::ChannelCount(uint16_t id) const {
    int n = 0;
    for (const FakePacket& p : m_channel.Received()) n += p.id == id;
    return n;
}

std::string CEndToEndScenario::PacketLog() const {
    std::string log;
    const std::pair<const char*, const CFakeGameServer*> servers[] = {
        {"login", &m_login}, {"game", &m_game}, {"channel", &m_channel}};
    for (const auto& [name, server] : servers) {
        for (const FakePacket& p : server->Received()) {
            log += std::string(name) + " " + std::to_string(p.id) + " " + std::to_string(p.payload.size()) + ":";
            for (uint8_t b : p.payload) {
                char hex[4];
                std::snprintf(hex, sizeof(hex), " %02x", b);
                log += hex;
            }
            log += "\n";
        }
        for (const std::string& f : server->Failures()) log += std::string(name) + " failure: " + f + "\n";
    }
    return log;
}
