// What the client keeps about the signed-in player between screens: the own
// nickname and guild, the chat state, the word filter and the community
// tables, the lobby state (room record, own member entry, inventory, money),
// the twelve player slots of a match, and the connection the chat commands
// go out on.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/ChatInput.h"
#include "net/CommunityLists.h"
#include "net/LobbyMessages.h"
#include "net/PlayerSlot.h"
#include "net/RoomRecord.h"
#include "net/WordFilter.h"

class CNetClient;
class CScreen;
class CUiListBox;
struct NetPacket;

class CClientSession {
public:
    static constexpr int kPlayerSlots = 12;

    std::string nickname;    // at most 16 bytes
    uint8_t guildState = 0;  // 2: member of a guild
    uint32_t guildId = 0;
    uint8_t guildRank = 0;
    std::string guildName;
    std::string guildMaster;
    bool isGuildMaster = false;
    CNetClient* net = nullptr;
    CChatInput chat;  // chat.chatOff: the operators switched our chat off
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

    // The current room and the own member entry (the same 71-byte layout).
    RoomRecord room;
    MemberEntry ownEntry;
    // The cards (5 rows of 9) and the money: Cra and the second amount.
    InventoryTable inventory{};
    int64_t money = 0;
    uint32_t secondMoney = 0;
    uint16_t useCardValue = 0;
    // The lobby was re-entered from a room or the market; a match just ended.
    bool returnedToLobby = false;
    bool returningFromMatch = false;
    // The lobby's entry answer: the player's record (its Cra is `money`), a
    // notice code for a later screen (0: none), the ban notice still to show
    // once back in the lobby, the player's rank number and the room joined.
    PlayerRecord player;
    uint8_t pendingNotice = 0;
    bool banNotice = false;
    bool lobbyReady = false;
    uint16_t rankNumber = 1;
    // Hand-over flags of the room screens: the server took the player out of
    // the room while another screen ran; the room is to be redrawn from new
    // data; the player went to the market from the room; hero select was
    // cancelled; the room's save-replay choice.
    bool leaveToLobby = false;
    bool roomRefresh = false;
    bool wentToMarket = false;
    bool autoStartCancelled = false;
    uint32_t saveReplay = 0;
    uint16_t roomNumber = 0;
    // The reward of a reward-mode match was asked for and answered.
    bool rewardFlag = false;
    // The map the next match is played on: its file and its map-list id.
    std::string mapFile;
    uint32_t mapId = 0;
    // The length in seconds of the replay being watched (its control bar shows it).
    float replayMatchLength = 0.0f;

    // The twelve positions of a match.
    std::array<CPlayerSlot, kPlayerSlots> slots;

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

// The server messages every screen may receive, handled for the screen whose
// poll got them (chat list null when the screen has none). 0 when the poll
// must stop: a duplicate login (the error report holds the text) or a case
// that opened the error popup; else 1. Unknown ids are ignored.
int HandleCommonMessage(CScreen& screen, const NetPacket& packet, CUiListBox* chatList);
// The name of a user's whereabouts (0..6), "NoState" for any other value.
std::string GetUserStateName(int state);
// Runs "/w nickname" through the chat layer; 1 for an empty nickname; 0 when
// the chat layer could not send.
int StartWhisperTo(const char* nickname, CUiListBox* chatList);
// 1 for the result codes after which a screen's poll stops (18, 19, 20, 22, 28).
int IsChatErrorClass(int code);
// The room slot (0..11) whose member nickname is the own one, or -1.
int FindOwnRoomSlot();
