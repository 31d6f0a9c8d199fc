// The lobby's requests to the game server, each built and sent in one call:
// 1 when sent, 0 when the send failed (the error report says why; the screen
// shows the error popup).
#pragma once

#include <cstdint>
#include <string_view>

#include "net/LobbyMessages.h"

class CClientSession;
class CNetClient;

int SendLobbyEnter(CNetClient& net, std::string_view accountId, std::string_view nickname);
int SendRoomListRequest(CNetClient& net, uint16_t listKind, uint16_t page);
// A blank line (spaces only) sends nothing and gives 1.
int SendLobbyChat(CNetClient& net, std::string_view nickname, std::string_view text);
int SendLobbyQuit(CNetClient& net, std::string_view accountId);
// 1031 (shop or my-info), 1033 (practice) or 1067 (tutorial): four zero bytes.
int SendLobbyNotice(CNetClient& net, uint16_t id);
// The community lists after the entry: the guild data first for a guild
// member (state 2), then the friend list, the blocked list and the roster.
int SendEntryCommunityRequests(CNetClient& net, std::string_view nickname, const PlayerRecord& record);
// The chat edit's byte limit: 107 less the nickname, at most 100.
int LobbyChatByteLimit(std::string_view nickname);
