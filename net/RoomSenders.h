// The messages of a game room and of hero select, written field by field:
// the room chat line (sent and received alike), and the short requests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CNetClient;
struct NetPacket;

// The audience of a room chat line that everyone in the room reads.
constexpr uint16_t kChatAudienceAll = 2;

// 1021: u16 audience, the nickname in 17 bytes, the text and its NUL. 0 when
// the send failed (the connection is then closed).
int SendRoomChatLine(CNetClient& net, uint16_t audience, std::string_view nickname, std::string_view text);

struct RoomChatLine {
    uint16_t audience = 0;
    std::string nickname;  // at most 16 bytes
    std::string text;      // up to its NUL or the payload's end
};
// A received 1021; 0 when the payload ends before the text.
int ReadRoomChatLine(const NetPacket& packet, RoomChatLine* out);

// Requests of one u16 (2008, 2011, 2012, 2017) and of four zero bytes (1009, 1034, 2010).
int SendRoomValue(CNetClient& net, uint16_t id, uint16_t value);
int SendRoomNotice(CNetClient& net, uint16_t id);
// 2015: the slot and 1 to close it (open or occupied) or 0 to open it (closed).
int SendSlotToggle(CNetClient& net, uint16_t slot, uint32_t close);
// 2040: a room's new settings: title (31 bytes), password (13), the lowest and
// highest rank.
int SendRoomSettings(CNetClient& net, std::string_view title, std::string_view password, uint16_t lowest,
                     uint16_t highest);
// 2016 / 2041: the side byte sign-extended to 16 bits, and the hero (1 random, 0 withdraw).
int SendHeroChoice(CNetClient& net, uint16_t id, int8_t side, uint32_t hero);
