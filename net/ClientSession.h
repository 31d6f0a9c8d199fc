// What the client keeps about the signed-in player between screens: the own
// nickname and guild, the chat state, the word filter and the community
// tables, and the connection the chat commands go out on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "net/ChatInput.h"
#include "net/CommunityLists.h"
#include "net/WordFilter.h"

class CNetClient;

class CClientSession {
public:
    std::string nickname;     // at most 16 bytes
    uint8_t guildState = 0;   // 2: member of a guild
    uint32_t guildId = 0;
    CNetClient* net = nullptr;
    CChatInput chat;
    CWordFilter words;
    CCommunityLists community;

    // The lobby screens' state: the account that logged in (NUL-padded as the
    // servers take it), the login server's account information with the game
    // server's address, the channel server's address, and the flag of a screen
    // that goes back to the one before it.
    static constexpr size_t kServerInfoSize = 51;
    static constexpr size_t kServerInfoAddressOffset = 35;
    std::string accountId;  // at most 50 bytes
    uint8_t serverInfo[kServerInfoSize] = {};
    std::string channelAddress;
    bool returning = false;
    // The chosen nickname's tutorial-cancel setting.
    int tutorialCancel = 0;
    // The game server's address of the account information, cut at its field.
    std::string GameServerAddress() const;

    static constexpr uint8_t kGuildMember = 2;
    // Operators' nicknames begin with "[".
    bool IsOperator() const { return !nickname.empty() && nickname[0] == '['; }
};

// The client's session, or null before one is made.
extern CClientSession* g_pClientSession;

// Aliases the shared message handlers use.
inline int IsBlockedUser(const CClientSession& session, const char* nickname) {
    return session.community.IsBlockedUser(nickname ? nickname : "");
}
inline int IsBlockedSender(const CClientSession& session, const char* nickname) {
    return IsBlockedUser(session, nickname);
}
