#include "net/ChatSenders.h"

#include <string>
#include <vector>

#include "net/ByteWriter.h"
#include "net/ChatCommand.h"
#include "net/ChatInput.h"
#include "net/MessageIds.h"
#include "net/MessageSizeTable.h"
#include "net/NetClient.h"
#include "net/NetPacket.h"
#include "platform/CodePage.h"

namespace {

constexpr size_t kTextField = 129;
constexpr size_t kGuildNameField = 34;
constexpr size_t kVariableRoom = static_cast<size_t>(kMaxPayload);

// Field text up to its NUL; the writer cuts it on a character boundary.
std::string Field(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

int Send(CNetClient& net, uint16_t id, const CByteWriter& writer, const uint8_t* data) {
    if (!writer.Ok()) return 0;
    return net.SendPacket(id, data, static_cast<int>(writer.Position()));
}

// nickname and a 129-byte text: report, chat off/on, ban off.
int SendNicknameText(CNetClient& net, uint16_t id, std::string_view nickname, std::string_view text) {
    uint8_t data[kNicknameField + kTextField];
    CByteWriter w(data, sizeof(data));
    w.WriteText(Field(nickname).c_str(), kNicknameField);
    w.WriteText(Field(text).c_str(), kTextField);
    return Send(net, id, w, data);
}

int SendRoomText(CNetClient& net, uint16_t id, uint16_t room, std::string_view text) {
    uint8_t data[2 + kTextField];
    CByteWriter w(data, sizeof(data));
    w.WriteU16(room);
    w.WriteText(Field(text).c_str(), kTextField);
    return Send(net, id, w, data);
}

std::string AsciiLower(std::string_view s) {
    std::string out(s.substr(0, s.find('\0')));
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A variable message: fixed head then the text and its NUL, cut to the room left.
int SendHeadAndText(CNetClient& net, uint16_t id, const uint8_t* data, CByteWriter& w, std::string_view text) {
    text = text.substr(0, text.find('\0'));
    const size_t room = kVariableRoom - w.Position() - 1;
    const std::string cut = platform::Cp949Cut(text, room);
    w.WriteBytes(cut.data(), cut.size());
    w.WriteU8(0);
    return Send(net, id, w, data);
}

}  // namespace

int SendWhisper(CNetClient& net, std::string_view text, std::string_view ownNickname, std::string_view target) {
    if (!IsNonBlankText(text)) return 1;
    if (AsciiLower(target) == AsciiLower(ownNickname)) return 1;
    std::vector<uint8_t> data(kVariableRoom);
    CByteWriter w(data.data(), data.size());
    w.WriteText(Field(ownNickname).c_str(), kNicknameField);
    w.WriteText(Field(target).c_str(), kNicknameField);
    return SendHeadAndText(net, PK_WHISPER, data.data(), w, text);
}

int SendGuildChatPacket(CNetClient& net, std::string_view ownNickname, uint32_t guildId, std::string_view text) {
    std::vector<uint8_t> data(kVariableRoom);
    CByteWriter w(data.data(), data.size());
    w.WriteZeros(6);
    w.WriteU32(guildId);
    w.WriteText(Field(ownNickname).c_str(), kGuildNameField);
    return SendHeadAndText(net, PK_GUILD_CHAT, data.data(), w, text);
}

int SendKillGame(CNetClient& net, uint16_t room, std::string_view reason) {
    return SendRoomText(net, PK_CMD_KILLGAME, room, reason);
}

int SendBan(CNetClient& net, std::string_view nickname, uint16_t days, std::string_view reason) {
    uint8_t data[kNicknameField + 2 + kTextField];
    CByteWriter w(data, sizeof(data));
    w.WriteText(Field(nickname).c_str(), kNicknameField);
    w.WriteU16(days);
    w.WriteText(Field(reason).c_str(), kTextField);
    return Send(net, PK_CMD_BAN, w, data);
}

int SendUserSearch(CNetClient& net, std::string_view nickname) {
    uint8_t data[kNicknameField];
    CByteWriter w(data, sizeof(data));
    w.WriteText(Field(nickname).c_str(), kNicknameField);
    return Send(net, PK_CMD_USERSEARCH, w, data);
}

int SendReport(CNetClient& net, std::string_view nickname, std::string_view text) {
    return SendNicknameText(net, PK_CMD_REPORT, nickname, text);
}

int SendRoomCry(CNetClient& net, uint16_t room, std::string_view text) {
    return SendRoomText(net, PK_CMD_ROOMCRY, room, text);
}

int SendChatOff(CNetClient& net, std::string_view nickname, std::string_view reason) {
    return SendNicknameText(net, PK_CMD_CHATOFF, nickname, reason);
}

int SendChatOn(CNetClient& net, std::string_view nickname, std::string_view reason) {
    return SendNicknameText(net, PK_CMD_CHATON, nickname, reason);
}

int SendBanOff(CNetClient& net, std::string_view nickname, std::string_view text) {
    return SendNicknameText(net, PK_CMD_BANOFF, nickname, text);
}

int SendNotice(CNetClient& net, std::string_view text) {
    uint8_t data[4 + kTextField];
    CByteWriter w(data, sizeof(data));
    w.WriteU32(0);
    w.WriteText(Field(text).c_str(), kTextField);
    return Send(net, PK_NOTICE, w, data);
}

int SendCurrentUser(CNetClient& net) {
    uint8_t data[4];
    CByteWriter w(data, sizeof(data));
    w.WriteU32(0);
    return Send(net, PK_CMD_CURRENTUSER, w, data);
}

int SendCommunityAdd(CNetClient& net, bool isFriend, std::string_view ownNickname, std::string_view nickname) {
    uint8_t data[2 * kNicknameField];
    CByteWriter w(data, sizeof(data));
    w.WriteText(Field(ownNickname).c_str(), kNicknameField);
    w.WriteText(Field(nickname).c_str(), kNicknameField);
    return Send(net, isFriend ? PK_FRIEND_ADD : PK_BLOCK_ADD, w, data);
}
