#include "net/CommunityRequests.h"

#include <cstring>
#include <string>

#include "engine/core/MessageBoxHost.h"
#include "engine/core/MessageTable.h"
#include "net/ByteReader.h"
#include "net/ChatCommand.h"
#include "net/ChatLines.h"
#include "net/ChatSenders.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/Nickname.h"
#include "ui/ScreenHost.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"

namespace {
constexpr size_t kGuildNameField = 34;
constexpr size_t kGuildTextOffset = 44;
constexpr size_t kMemberNameOffset = 27;
constexpr size_t kNameMin = 4;
}  // namespace

void ShowCommunityError(const char* text, CUiListBox* list) {
    IScreenHost* host = ScreenHost();
    if (list) {
        AddChatLine(list, text, chat_colour::kError);
    } else if (host) {
        ShowMessageBox(host->MessageBox(), text, 1, 1);
    }
    if (host) host->Ui().SetFocus(nullptr);
}

int ValidateCommunityName(std::string_view text, CUiListBox* list, int guildFlag) {
    text = text.substr(0, text.find('\0'));
    if (text.size() >= kNameMin && IsValidNickname(text)) return 1;
    int entry = MSG_NICKNAME_MIN_NICK;
    if (text.size() >= kNameMin)
        entry = MSG_NICKNAME_UNVALID_NICK;
    else if (guildFlag)
        entry = MSG_GUILD_ERROR_GUILD_NAME;
    ShowCommunityError(GetMessageText(entry), list);
    return 0;
}

int AddCommunityMember(CClientSession& session, std::string_view nickname, bool isFriend, CUiListBox* list) {
    if (!ValidateCommunityName(nickname, list, 0)) return 0;
    nickname = nickname.substr(0, nickname.find('\0'));
    int refusal = 0;
    const CCommunityLists& tables = session.community;
    if (nickname == session.nickname)
        refusal = MSG_NOT_ADD_MYID;
    else if (isFriend ? tables.IsFriend(nickname) : tables.IsBlockedUser(nickname))
        refusal = MSG_IS_ADD_MEMBER;
    else if ((isFriend ? tables.FriendCount() : tables.BlockedCount()) >= static_cast<int>(CCommunityLists::kFriends))
        refusal = MSG_NOT_ADD_MEMBER;
    if (refusal) {
        ShowCommunityError(GetMessageText(refusal), list);
        return 0;
    }
    if (!session.net) return 0;
    return SendCommunityAdd(*session.net, isFriend, session.nickname, nickname);
}

int SendGuildChat(CClientSession& session, std::string_view text) {
    if (!IsNonBlankText(text)) return 1;
    if (!session.net) return 0;
    return SendGuildChatPacket(*session.net, session.nickname, session.guildId, text);
}

int ShowGuildChatLine(CClientSession& session, CUiListBox* list, const uint8_t* payload, size_t size) {
    CByteReader reader(payload, size);
    reader.Seek(10);
    char sender[kGuildNameField];
    reader.ReadText(sender, sizeof(sender), kGuildNameField);
    if (!reader.Ok() || size < kGuildTextOffset) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(payload) + kGuildTextOffset, size - kGuildTextOffset);
    std::string shown;
    if (!session.words.FilterChatWords(rest.substr(0, rest.find('\0')), session.nickname, sender, shown)) return 1;
    AddChatLine(list, FormatText("%s : %s", sender, shown), chat_colour::kGuild);
    return 1;
}

void HandleGuildNotice(CClientSession& session, uint16_t id, std::string_view nickname, CUiListBox* list) {
    const int entry = id == PK_GUILD_ACCEPT_NOTICE ? MSG_GUILD_ACCEPT
                      : id == PK_GUILD_BANISH_NOTICE ? MSG_GUILD_BANISH
                                                     : MSG_GUILD_UNSUBSCRIBE;
    const std::string name(nickname.substr(0, nickname.find('\0')));
    AddChatLineFormat(list, GetMessageText(entry), name, chat_colour::kGuild);
    CCommunityLists& tables = session.community;
    if (id == PK_GUILD_ACCEPT_NOTICE) {
        if (GuildMemberEntry* free = tables.FreeGuildEntry()) {
            std::memset(free->nickname, 0, sizeof(free->nickname));
            std::memcpy(free->nickname, name.data(), std::min(name.size(), kNicknameMax));
            free->online = 0;
        }
    } else if (GuildMemberEntry* member = tables.FindGuildMember(name)) {
        std::memset(member->nickname, 0, sizeof(member->nickname));
        member->online = 0;
    }
}

int SetGuildMemberOnline(CClientSession& session, const uint8_t* payload, size_t size, int online, CUiListBox* list) {
    CByteReader reader(payload, size);
    reader.Seek(kMemberNameOffset);
    char nickname[kNicknameField];
    reader.ReadText(nickname, sizeof(nickname), kNicknameField);
    if (!reader.Ok()) return 0;
    GuildMemberEntry* member = session.community.FindGuildMember(nickname);
    if (!member) return 1;
    member->online = static_cast<uint8_t>(online ? 1 : 0);
    if (list)
        AddChatLineFormat(list, GetMessageText(online ? MSG_GUILD_CONNECTED_MEMBER : MSG_GUILD_DISCONNECTED_MEMBER),
                          nickname, chat_colour::kGuild);
    return 1;
}

int HandleCommunityListPacket(CClientSession& session, uint16_t id, const uint8_t* payload, size_t size) {
    size_t offset = 0;
    switch (id) {
    case PK_FRIEND_LIST:
    case PK_BLOCK_LIST:
    case PK_GUILD_MEMBER_LIST:
        offset = 2;
        break;
    case PK_FRIEND_ADD_RESULT:
    case PK_FRIEND_DELETE_RESULT:
    case PK_BLOCK_ADD_RESULT:
    case PK_BLOCK_DELETE_RESULT:
        offset = 19;
        break;
    case PK_GUILD_ONLINE_LIST:
        offset = 21;
        break;
    default:
        return -1;
    }
    CByteReader reader(payload, size);
    // The online list has no ok byte; a refusal of the others may come as its result code alone.
    if (id != PK_GUILD_ONLINE_LIST) {
        const uint8_t ok = reader.ReadU8();
        if (!reader.Ok()) return 0;
        if (ok != 1) return 1;
    }
    const uint8_t* list = size > offset ? payload + offset : nullptr;
    const size_t listSize = size > offset ? size - offset : 0;
    CCommunityLists& tables = session.community;
    switch (id) {
    case PK_FRIEND_LIST:
    case PK_FRIEND_ADD_RESULT:
    case PK_FRIEND_DELETE_RESULT:
        return tables.SetFriendList(list, listSize);
    case PK_BLOCK_LIST:
    case PK_BLOCK_ADD_RESULT:
    case PK_BLOCK_DELETE_RESULT:
        return tables.SetBlockList(list, listSize);
    case PK_GUILD_MEMBER_LIST:
        return tables.SetGuildRoster(list, listSize);
    default:
        return tables.SetGuildMemberList(list, listSize);
    }
}
