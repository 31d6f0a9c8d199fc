#include "net/RoomSenders.h"

#include <cstring>

#include "net/ByteWriter.h"
#include "net/ChatInput.h"
#include "net/LobbyMessages.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/NetPacket.h"
#include "platform/CodePage.h"

namespace {
constexpr size_t kTextOffset = 2 + kNicknameField;

int Send(CNetClient& net, uint16_t id, const CByteWriter& w, const uint8_t* data) {
    return w.Ok() ? net.SendPacket(id, data, static_cast<int>(w.Position())) : 0;
}
}  // namespace

int SendRoomChatLine(CNetClient& net, uint16_t audience, std::string_view nickname, std::string_view text) {
    uint8_t data[kMaxPayload];
    CByteWriter w(data, sizeof data);
    w.WriteU16(audience);
    w.WriteText(std::string(nickname.substr(0, nickname.find('\0'))).c_str(), kNicknameField);
    text = text.substr(0, text.find('\0'));
    const std::string cut = platform::Cp949Cut(text, sizeof data - kTextOffset - 1);
    w.WriteBytes(cut.data(), cut.size());
    w.WriteU8(0);
    return Send(net, PK_CHAT_LINE, w, data);
}

int ReadRoomChatLine(const NetPacket& packet, RoomChatLine* out) {
    if (!out || packet.length < kTextOffset) return 0;
    const uint8_t* p = packet.payload.data();
    out->audience = static_cast<uint16_t>(p[0] | (p[1] << 8));
    const char* name = reinterpret_cast<const char*>(p + 2);
    out->nickname = platform::Cp949Cut(std::string_view(name, strnlen(name, kNicknameField)), kNicknameMax);
    const char* text = reinterpret_cast<const char*>(p + kTextOffset);
    out->text.assign(text, strnlen(text, packet.length - kTextOffset));
    return 1;
}

int SendRoomValue(CNetClient& net, uint16_t id, uint16_t value) {
    uint8_t data[2];
    CByteWriter w(data, sizeof data);
    w.WriteU16(value);
    return Send(net, id, w, data);
}

int SendRoomNotice(CNetClient& net, uint16_t id) {
    uint8_t data[4];
    CByteWriter w(data, sizeof data);
    w.WriteU32(0);
    return Send(net, id, w, data);
}

int SendSlotToggle(CNetClient& net, uint16_t slot, uint32_t close) {
    uint8_t data[6];
    CByteWriter w(data, sizeof data);
    w.WriteU16(slot);
    w.WriteU32(close);
    return Send(net, PK_ROOM_SLOT_TOGGLE, w, data);
}

int SendRoomSettings(CNetClient& net, std::string_view title, std::string_view password, uint16_t lowest,
                     uint16_t highest) {
    uint8_t data[kRoomTitleField + kRoomPasswordField + 4];
    CByteWriter w(data, sizeof data);
    w.WriteText(std::string(title.substr(0, title.find('\0'))).c_str(), kRoomTitleField);
    w.WriteText(std::string(password.substr(0, password.find('\0'))).c_str(), kRoomPasswordField);
    w.WriteU16(lowest);
    w.WriteU16(highest);
    return Send(net, PK_CREATE_ROOM, w, data);
}

int SendHeroChoice(CNetClient& net, uint16_t id, int8_t side, uint32_t hero) {
    uint8_t data[6];
    CByteWriter w(data, sizeof data);
    w.WriteU16(static_cast<uint16_t>(static_cast<int16_t>(side)));
    w.WriteU32(hero);
    return Send(net, id, w, data);
}
