#include "tests/servers/LocalTestServer.h"

#include <algorithm>

#include "net/ByteReader.h"
#include "net/ByteWriter.h"
#include "net/ChatInput.h"
#include "net/MessageIds.h"
#include "net/MessageSizeTable.h"
#include "tests/servers/LobbyPackets.h"
#include "tests/servers/LoginPackets.h"

namespace {

constexpr size_t kReentryAt = 98;
// Result codes the client shows as "the slots are full" and "the nickname is taken".
constexpr uint8_t kCodeSlotsFull = 7;
constexpr uint8_t kCodeNicknameTaken = 36;

FakePacket AuthKey(uint32_t key) {
    FakePacket p{PK_AUTH_KEY, std::vector<uint8_t>(4)};
    CByteWriter(p.payload).WriteU32(key);
    return p;
}

}  // namespace

CLocalTestServer::CLocalTestServer(uint16_t loginPort, uint16_t gamePort, uint16_t channelPort, std::string host,
                                   LocalRoomContent content)
    : m_host(std::move(host)),
      m_content(std::move(content)),
      m_room(m_content),
      m_login(loginPort),
      m_game(gamePort),
      m_channel(channelPort) {
    m_login.On(PK_LOGIN, [this](const FakePacket&) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::vector<FakePacket>{ResultPacket(PK_LOGIN_RESULT, 1, 0), AuthKey(m_nextKey++)};
    });
    m_login.On(PK_ENTER_SERVER, [this](const FakePacket&) {
        return std::vector<FakePacket>{{PK_ACCOUNT_INFO, AccountInfoPayload(m_host)}};
    });
    m_login.Serve({.greeting = {AuthKey(0x10C1u)}, .repeatMs = 0, .repeat = {}});

    m_game.On(PK_ENTER_SERVER, [this](const FakePacket& p) {
        std::vector<FakePacket> answer{ResultPacket(PK_ENTER_SERVER_RESULT, 1, 0)};
        // Back from the channel list: it is shown again at once.
        if (p.payload.size() > kReentryAt && p.payload[kReentryAt] == 1)
            for (FakePacket& list : ChannelList()) answer.push_back(std::move(list));
        return answer;
    });
    m_game.On(PK_NICKNAME_LIST_REQUEST,
              [this](const FakePacket& p) { return NicknameList(PacketText(p, 0, kAccountIdField)); });
    m_game.On(PK_NICKNAME_CREATE, [this](const FakePacket& p) { return CreateNickname(p); });
    m_game.On(PK_NICKNAME_DELETE, [this](const FakePacket& p) { return DeleteNickname(p); });
    m_game.Serve({.greeting = {AuthKey(0x6A3Eu)}, .repeatMs = 1000, .repeat = [this] { return ChannelList(); }});

    ServeLobby();
    // The lobby's shop and market go where the lobby is: the channel.
    m_market.Serve(m_channel);
    m_channel.Serve({.greeting = {AuthKey(0xC4A1u)}, .repeatMs = 0, .repeat = {}});
}

bool CLocalTestServer::Listening() const {
    return m_login.Listening() && m_game.Listening() && m_channel.Listening();
}

std::string CLocalTestServer::Error() const {
    for (const CFakeGameServer* server : {&m_login, &m_game, &m_channel})
        if (!server->Listening() && !server->Failures().empty()) return server->Failures().front();
    return {};
}

std::array<std::string, CLocalTestServer::kSlots> CLocalTestServer::Nicknames(const std::string& accountId) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto account = m_accounts.find(accountId);
    return account == m_accounts.end() ? std::array<std::string, kSlots>{} : account->second;
}

std::vector<FakePacket> CLocalTestServer::NicknameList(const std::string& accountId) const {
    std::vector<FakeNickname> slots;
    for (const std::string& name : Nicknames(accountId)) slots.push_back({name});
    return {{PK_NICKNAME_LIST, NicknameListPayload(slots)}};
}

std::vector<FakePacket> CLocalTestServer::CreateNickname(const FakePacket& request) {
    const std::string account = PacketText(request, 0, kAccountIdField);
    const std::string name = PacketText(request, kAccountIdField, kNicknameField);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& [id, slots] : m_accounts)
        if (!name.empty() && std::find(slots.begin(), slots.end(), name) != slots.end())
            return {ResultPacket(PK_NICKNAME_CREATE_RESULT, 0, kCodeNicknameTaken)};
    std::array<std::string, kSlots>& slots = m_accounts[account];
    auto free = std::find(slots.begin(), slots.end(), std::string());
    if (name.empty() || free == slots.end()) return {ResultPacket(PK_NICKNAME_CREATE_RESULT, 0, kCodeSlotsFull)};
    *free = name;
    return {ResultPacket(PK_NICKNAME_CREATE_RESULT, 1, 0)};
}

std::vector<FakePacket> CLocalTestServer::DeleteNickname(const FakePacket& request) {
    const std::string account = PacketText(request, 0, kAccountIdField);
    const std::string name = PacketText(request, kAccountIdField, kNicknameField);
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_accounts.find(account);
    if (found != m_accounts.end() && !name.empty())
        std::replace(found->second.begin(), found->second.end(), name, std::string());
    return {ResultPacket(PK_NICKNAME_DELETE_RESULT, 1, 0)};
}

std::vector<FakePacket> CLocalTestServer::ChannelList() const {
    return {{PK_CHANNEL_LIST, ChannelListPayload({{"Channel 1", m_host, 12, 100}, {"Channel 2", m_host, 0, 100}})}};
}

RoomSpec CLocalTestServer::Room() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_room.Room();
}

bool CLocalTestServer::InRoom() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_room.InRoom();
}

void CLocalTestServer::ServeLobby() {
    // A new client on the channel: whatever room the last one had is gone.
    m_channel.On(PK_ENTER_SERVER, [this](const FakePacket&) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_room = CLocalRoom(m_content);
        m_lobbyNickname.clear();
        return std::vector<FakePacket>{ResultPacket(PK_ENTER_SERVER_RESULT, 1, 0)};
    });
    m_channel.On(PK_LOBBY_ENTER, [this](const FakePacket& p) { return EnterLobby(p); });
    m_channel.On(PK_ROOM_LIST_REQUEST, [](const FakePacket&) {
        return std::vector<FakePacket>{{PK_ROOM_LIST, RoomListPayload({CLocalRoom::ListedRoom()})}};
    });
    m_channel.On(PK_LOBBY_USER_LIST_REQUEST, [this](const FakePacket&) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::vector<FakePacket>{{PK_LOBBY_USER_LIST, LobbyUserListPayload(1, {m_lobbyNickname})}};
    });
    // The lobby of one: a chat line comes back to its sender as everyone reads it.
    m_channel.On(PK_LOBBY_CHAT, [](const FakePacket& p) { return std::vector<FakePacket>{p}; });
    m_channel.On(PK_LOBBY_QUIT,
                 [](const FakePacket&) { return std::vector<FakePacket>{ResultPacket(PK_LOBBY_QUIT_RESULT, 1, 0)}; });
    m_channel.On(PK_FRIEND_LIST_REQUEST, [](const FakePacket&) {
        return std::vector<FakePacket>{{PK_FRIEND_LIST, CommunityAnswer(1, 0, FriendListBytes({}))}};
    });
    m_channel.On(PK_BLOCK_LIST_REQUEST, [](const FakePacket&) {
        return std::vector<FakePacket>{{PK_BLOCK_LIST, CommunityAnswer(1, 0, BlockListBytes({}))}};
    });
    m_channel.On(PK_GUILD_ROSTER_REQUEST, [](const FakePacket&) {
        return std::vector<FakePacket>{{PK_GUILD_MEMBER_LIST, CommunityAnswer(1, 0, GuildRosterBytes({}))}};
    });
    for (uint16_t id : CLocalRoom::Ids())
        m_channel.On(id, [this](const FakePacket& p) {
            std::lock_guard<std::mutex> lock(m_mutex);
            return m_room.Answer(p);
        });
}

std::vector<FakePacket> CLocalTestServer::EnterLobby(const FakePacket& request) {
    LobbyPlayerSpec player;
    player.nickname = PacketText(request, kAccountIdField, kNicknameField);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lobbyNickname = player.nickname;
    m_room.SetNickname(player.nickname);
    return {{PK_LOBBY_ENTER_RESULT, LobbyEnterAnswer(1, 0, player)}};
}
