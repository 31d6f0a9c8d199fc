// The chat commands' own messages: each sender builds its payload field by
// field and sends it on the connection; 1 when sent, 0 when the send failed.
#pragma once

#include <cstdint>
#include <string_view>

class CNetClient;

// Sends nothing and gives 1 for a blank text or a whisper to oneself (names
// compared with ASCII letters lower-cased): there is nothing to deliver.
int SendWhisper(CNetClient& net, std::string_view text, std::string_view ownNickname, std::string_view target);
int SendKillGame(CNetClient& net, uint16_t room, std::string_view reason);
int SendBan(CNetClient& net, std::string_view nickname, uint16_t days, std::string_view reason);
int SendUserSearch(CNetClient& net, std::string_view nickname);
int SendReport(CNetClient& net, std::string_view nickname, std::string_view text);
int SendRoomCry(CNetClient& net, uint16_t room, std::string_view text);
int SendChatOff(CNetClient& net, std::string_view nickname, std::string_view reason);
int SendChatOn(CNetClient& net, std::string_view nickname, std::string_view reason);
int SendNotice(CNetClient& net, std::string_view text);
int SendCurrentUser(CNetClient& net);
int SendBanOff(CNetClient& net, std::string_view nickname, std::string_view text);
// 2043 (friend) or 2047 (blocked user): the own and the other nickname.
int SendCommunityAdd(CNetClient& net, bool isFriend, std::string_view ownNickname, std::string_view nickname);
// 1026 with the guild id; the text is sent whole up to the message's room.
int SendGuildChatPacket(CNetClient& net, std::string_view ownNickname, uint32_t guildId, std::string_view text);
