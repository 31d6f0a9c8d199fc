// Fuzz target: the community messages. The first byte picks the message (the
// list blocks 3042-3044, 3046-3048, 3025, 1030, a member coming online 1028,
// a guild chat line 1026), the rest is its payload. Whatever the bytes, the
// handlers read nothing past them and the tables keep their counts in range.
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "net/ClientSession.h"
#include "net/CommunityRequests.h"
#include "net/MessageIds.h"
#include "ui/UiListBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const uint16_t kIds[] = {PK_FRIEND_LIST,       PK_FRIEND_ADD_RESULT,   PK_FRIEND_DELETE_RESULT,
                                    PK_BLOCK_LIST,        PK_BLOCK_ADD_RESULT,    PK_BLOCK_DELETE_RESULT,
                                    PK_GUILD_MEMBER_LIST, PK_GUILD_ONLINE_LIST,   PK_GUILD_MEMBER_ONLINE,
                                    PK_GUILD_CHAT};
    const uint16_t id = kIds[data[0] % std::size(kIds)];
    const uint8_t* payload = data + 1;
    const size_t length = size - 1;
    CClientSession session;
    session.nickname = "abcd";
    session.words.Load({"bad"}, {});
    CUiListBox list;
    list.CreateEx(nullptr, "ID_CHAT", 0, 0, 200, 100, 1, 5);
    if (id == PK_GUILD_MEMBER_ONLINE)
        SetGuildMemberOnline(session, payload, length, 1, &list);
    else if (id == PK_GUILD_CHAT)
        ShowGuildChatLine(session, &list, payload, length);
    else if (HandleCommunityListPacket(session, id, payload, length) < 0)
        __builtin_trap();
    const CCommunityLists& tables = session.community;
    if (tables.FriendCount() < 0 || tables.FriendCount() > 15) __builtin_trap();
    if (tables.BlockedCount() < 0 || tables.BlockedCount() > 15) __builtin_trap();
    for (const auto& entry : tables.Roster())
        if (entry.nickname[kNicknameMax] != '\0') __builtin_trap();
    return 0;
}
