#include "tests/servers/LocalTestServer.h"

#include <algorithm>

#include "net/ByteReader.h"
#include "net/ByteWriter.h"
#include "net/MessageIds.h"
#include "net/MessageSizeTable.h"
#include "tests/servers/LoginPackets.h"

namespace {

constexpr size_t kAccountIdField = 51;
constexpr size_t kNicknameField = 17;
constexpr size_t kReentryAt = 98;
// Result codes the client shows as "the slots are full" and "the nickname is taken".
constexpr uint8_t kCodeSlotsFull = 7;
constexpr uint8_t kCodeNicknameTaken = 36;

// An answer of the size the message table gives, starting with ok and code.
FakePacket Result(uint16_t id, uint8_t ok, uint8_t code) {
    FakePacket p{id, std::vector<uint8_t>(std::max<size_t>(GetMessageSize(id).size, 2), 0)};
    p.payload[0] = ok;
    p.payload[1] = code;
    return p;
}

FakePacket AuthKey(uint32_t key) {
    FakePacket p{PK_AUTH_KEY, std::vector<uint8_t>(4)};
    CByteWriter(p.payload).WriteU32(key);
    return p;
}

// The request's text field at offset, bounded by the field; "" when cut.
std::string TextAt(const FakePacket& p, size_t offset, size_t field) {
    CByteReader reader(p.payload.data(), p.payload.size());
    char text[kAccountIdField] = {};
    if (!reader.Seek(offset) || !reader.ReadText(text, std::min(sizeof(text), field), field)) return {};
    return text;
}

}  // namespace

CLocalTestServer::CLocalTestServer(uint16_t loginPort, uint16_t gamePort, uint16_t channelPort, std::string host)
    : m_host(std::move(host)), m_login(loginPort), m_game(gamePort), m_channel(channelPort) {
    m_login.On(PK_LOGIN, [this](const FakePacket&) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::vector<FakePacket>{Result(PK_LOGIN_RESULT, 1, 0), AuthKey(m_nextKey++)};
    });
    m_login.On(PK_ENTER_SERVER, [this](const FakePacket&) {
        return std::vector<FakePacket>{{PK_ACCOUNT_INFO, AccountInfoPayload(m_host)}};
    });
    m_login.Serve({.greeting = {AuthKey(0x10C1u)}, .repeatMs = 0, .repeat = {}});

    m_game.On(PK_ENTER_SERVER, [this](const FakePacket& p) {
        std::vector<FakePacket> answer{Result(PK_ENTER_SERVER_RESULT, 1, 0)};
        // Back from the channel list: it is shown again at once.
        if (p.payload.size() > kReentryAt && p.payload[kReentryAt] == 1)
            for (FakePacket& list : ChannelList()) answer.push_back(std::move(list));
        return answer;
    });
    m_game.On(PK_NICKNAME_LIST_REQUEST,
              [this](const FakePacket& p) { return NicknameList(TextAt(p, 0, kAccountIdField)); });
    m_game.On(PK_NICKNAME_CREATE, [this](const FakePacket& p) { return CreateNickname(p); });
    m_market.Serve(m_game);
    m_game.On(PK_NICKNAME_DELETE, [this](const FakePacket& p) { return DeleteNickname(p); });
    m_game.Serve({.greeting = {AuthKey(0x6A3Eu)}, .repeatMs = 1000, .repeat = [this] { return ChannelList(); }});

    m_channel.On(PK_ENTER_SERVER,
                 [](const FakePacket&) { return std::vector<FakePacket>{Result(PK_ENTER_SERVER_RESULT, 1, 0)}; });
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
    const std::string account = TextAt(request, 0, kAccountIdField);
    const std::string name = TextAt(request, kAccountIdField, kNicknameField);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& [id, slots] : m_accounts)
        if (!name.empty() && std::find(slots.begin(), slots.end(), name) != slots.end())
            return {Result(PK_NICKNAME_CREATE_RESULT, 0, kCodeNicknameTaken)};
    std::array<std::string, kSlots>& slots = m_accounts[account];
    auto free = std::find(slots.begin(), slots.end(), std::string());
    if (name.empty() || free == slots.end()) return {Result(PK_NICKNAME_CREATE_RESULT, 0, kCodeSlotsFull)};
    *free = name;
    return {Result(PK_NICKNAME_CREATE_RESULT, 1, 0)};
}

std::vector<FakePacket> CLocalTestServer::DeleteNickname(const FakePacket& request) {
    const std::string account = TextAt(request, 0, kAccountIdField);
    const std::string name = TextAt(request, kAccountIdField, kNicknameField);
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_accounts.find(account);
    if (found != m_accounts.end() && !name.empty())
        std::replace(found->second.begin(), found->second.end(), name, std::string());
    return {Result(PK_NICKNAME_DELETE_RESULT, 1, 0)};
}

std::vector<FakePacket> CLocalTestServer::ChannelList() const {
    return {{PK_CHANNEL_LIST, ChannelListPayload({{"Channel 1", m_host, 12, 100}, {"Channel 2", m_host, 0, 100}})}};
}
