// What the client keeps about the signed-in player between screens: the own
// nickname and guild, the chat state, the word filter and the community
// tables, and the connection the chat commands go out on.
#pragma once

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
