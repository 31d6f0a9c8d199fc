#include "screens/lobby/LobbyRequests.h"

#include <algorithm>
#include <string>
#include <vector>

#include "net/ByteWriter.h"
#include "net/ChatInput.h"
#include "net/CommunityMessages.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetPacket.h"

namespace {

constexpr int kChatLineBytes = 107;
constexpr int kChatEditMax = 100;

int Send(CNetClient& net, uint16_t id, const uint8_t* payload, size_t length) {
    // A payload that did not fit its buffer is a fault of ours, never sent cut.
    if (length == 0) return 0;
    return net.SendPacket(id, payload, static_cast<int>(length));
}

}  // namespace

int SendLobbyEnter(CNetClient& net, std::string_view accountId, std::string_view nickname) {
    uint8_t payload[kLobbyEnterSize];
    return Send(net, PK_LOBBY_ENTER, payload, WriteLobbyEnter(payload, sizeof payload, accountId, nickname));
}

int SendRoomListRequest(CNetClient& net, uint16_t listKind, uint16_t page) {
    uint8_t payload[kRoomListRequestSize];
    return Send(net, PK_ROOM_LIST_REQUEST, payload, WriteRoomListRequest(payload, sizeof payload, listKind, page));
}

int SendLobbyChat(CNetClient& net, std::string_view nickname, std::string_view text) {
    if (text.find_first_not_of(' ') == std::string_view::npos) return 1;
    uint8_t payload[kMaxPayload];
    return Send(net, PK_LOBBY_CHAT, payload, WriteLobbyChat(payload, sizeof payload, nickname, text));
}

int SendLobbyQuit(CNetClient& net, std::string_view accountId) {
    uint8_t payload[kLobbyQuitSize];
    return Send(net, PK_LOBBY_QUIT, payload, WriteLobbyQuit(payload, sizeof payload, accountId));
}

int SendLobbyNotice(CNetClient& net, uint16_t id) {
    const uint8_t payload[kLobbyNoticeSize] = {};
    return Send(net, id, payload, sizeof payload);
}

int SendEntryCommunityRequests(CNetClient& net, std::string_view nickname, const PlayerRecord& record) {
    CommunityRequestFields fields;
    fields.own = std::string(nickname);
    fields.guildNumber = record.GuildNumber();
    std::vector<uint16_t> ids;
    if (record.GuildState() == 2) ids.push_back(PK_GUILD_DATA_REQUEST);
    ids.insert(ids.end(), {PK_FRIEND_LIST_REQUEST, PK_BLOCK_LIST_REQUEST, PK_GUILD_ROSTER_REQUEST});
    for (uint16_t id : ids) {
        uint8_t payload[kCommunityRequestMax];
        if (!Send(net, id, payload, WriteCommunityRequest(id, fields, payload, sizeof payload))) return 0;
    }
    return 1;
}

int LobbyChatByteLimit(std::string_view nickname) {
    return std::min(kChatEditMax, kChatLineBytes - static_cast<int>(std::min<size_t>(nickname.size(), kNicknameField)));
}
