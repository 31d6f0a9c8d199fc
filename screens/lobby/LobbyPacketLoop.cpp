#include "screens/lobby/LobbyPacketLoop.h"

#include "net/ClientSession.h"
#include "net/ItemResults.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetErrors.h"
#include "net/NetPacket.h"

namespace {
constexpr uint32_t kChatWhite = 0xffffff;
constexpr uint32_t kChatOperator = 0xff00ff;
// 3006 and 3018: result, reason, room number.
constexpr size_t kRoomAnswerSize = 4;
}  // namespace

int MakeLobbyChatLine(const CClientSession& session, const std::string& sender, const std::string& text,
                      std::string* line, uint32_t* colour) {
    if (session.community.IsBlockedUser(sender)) return 0;
    std::string shown;
    if (!session.words.FilterChatWords(text, session.nickname, sender.c_str(), shown)) return 0;
    *line = sender + " : " + shown;
    *colour = sender.find('[') != std::string::npos ? kChatOperator : kChatWhite;
    return 1;
}

int CLobbyPacketLoop::Run(CNetClient& net, CClientSession& session, float dt, ILobbyEvents& events) {
    if (!net.IsConnected()) return 1;
    if (m_keepAlive <= 0.0f) {
        uint8_t payload[kKeepAliveSize];
        const size_t length = WriteKeepAlive(payload, sizeof payload);
        if (!net.SendPacket(PK_LOBBY_USER_LIST_REQUEST, payload, static_cast<int>(length))) return 0;
        m_keepAlive = kKeepAliveSeconds;
    }
    m_keepAlive -= dt;
    NetPacket packet;
    for (;;) {
        if (!net.RecvPacket(packet)) return 0;
        if (packet.id == 0) return 1;
        if (!Handle(net, session, packet, events)) return 0;
        if (!events.Reading()) return 1;
    }
}

int CLobbyPacketLoop::Handle(CNetClient& net, CClientSession& session, const NetPacket& packet,
                             ILobbyEvents& events) {
    const uint8_t* data = packet.payload.data();
    const size_t size = packet.length;
    switch (packet.id) {
    case PK_ROOM_LIST: {
        RoomPage rooms;
        if (!ReadRoomList(data, size, &rooms)) return net.CloseMalformed(packet.id, packet.length);
        events.OnRoomList(rooms);
        return 1;
    }
    case PK_LOBBY_USER_LIST: {
        LobbyUserList users;
        // A refusal (or a bare result byte) is ignored.
        if (size < 1 || data[0] != 1 || !ReadLobbyUserList(data, size, &users)) return 1;
        events.OnLobbyUsers(users);
        return 1;
    }
    case PK_LOBBY_CHAT: {
        std::string sender, text, line;
        uint32_t colour = 0;
        if (!ReadLobbyChat(data, size, &sender, &text)) return net.CloseMalformed(packet.id, packet.length);
        if (MakeLobbyChatLine(session, sender, text, &line, &colour)) events.OnChatLine(line, colour);
        return 1;
    }
    case PK_LOBBY_ENTER_RESULT: {
        CByteReader reader = packet.Reader();
        const uint8_t result = reader.ReadU8();
        const uint8_t reason = reader.ReadU8();
        if (!reader.Ok()) return net.CloseMalformed(packet.id, packet.length);
        if (result != 1) return ReportServerResult(reason);
        LobbyEnterResult entered;
        if (!ReadLobbyEnterResult(data, size, &entered)) return net.CloseMalformed(packet.id, packet.length);
        events.OnLobbyEntered(entered);
        return 1;
    }
    case PK_LOBBY_QUIT_RESULT:
        events.OnQuitAnswer();
        return 1;
    case PK_MAKE_ROOM_RESULT:
    case PK_JOIN_ROOM_RESULT:
    case PK_QUICK_JOIN_RESULT: {
        CByteReader reader = packet.Reader();
        const uint8_t result = reader.ReadU8();
        const uint8_t reason = reader.ReadU8();
        if (!reader.Ok()) return net.CloseMalformed(packet.id, packet.length);
        uint16_t room = 0;
        if (packet.id != PK_JOIN_ROOM_RESULT && result == 1) {
            room = reader.ReadU16();
            if (size < kRoomAnswerSize) return net.CloseMalformed(packet.id, packet.length);
        }
        events.OnRoomAnswer(packet.id, result, reason, room);
        return 1;
    }
    default: {
        // The lobby is not a market screen: item results only change the session.
        const int items = HandleItemResultPackets(nullptr, packet);
        if (items >= 0) return items;
        return events.OnOtherPacket(packet);
    }
    }
}
