#include "net/CommunityLists.h"

#include <cstring>

#include "net/ByteReader.h"

bool CCommunityLists::SameName(const char* field, std::string_view nickname) {
    const size_t length = strnlen(field, kNicknameField);
    nickname = nickname.substr(0, nickname.find('\0'));
    if (nickname.size() > kNicknameMax) nickname = nickname.substr(0, kNicknameField);
    return std::string_view(field, length) == nickname;
}

int CCommunityLists::SetFriendList(const uint8_t* bytes, size_t size) {
    if (size < kFriendListBytes) return 0;
    CByteReader reader(bytes, kFriendListBytes);
    m_friendCount = 0;
    for (FriendEntry& entry : m_friends) {
        reader.ReadText(entry.nickname, sizeof(entry.nickname), kNicknameField);
        entry.state = reader.ReadU8();
        reader.Skip(4);
        if (entry.nickname[0]) ++m_friendCount;
    }
    return 1;
}

int CCommunityLists::SetBlockList(const uint8_t* bytes, size_t size) {
    if (size < kBlockListBytes) return 0;
    CByteReader reader(bytes, kBlockListBytes);
    m_blockedCount = 0;
    for (auto& entry : m_blocked) {
        reader.ReadText(entry.data(), entry.size(), kNicknameField);
        if (entry[0]) ++m_blockedCount;
    }
    return 1;
}

bool CCommunityLists::ReadGuildList(const uint8_t* bytes, size_t size,
                                    std::array<GuildMemberEntry, kGuildMembers>& out) {
    if (size < kGuildListBytes) return false;
    CByteReader reader(bytes, kGuildListBytes);
    for (GuildMemberEntry& entry : out) {
        reader.ReadText(entry.nickname, sizeof(entry.nickname), kNicknameField);
        entry.online = reader.ReadU8();
        entry.row = reader.ReadU32();
    }
    return true;
}

int CCommunityLists::SetGuildRoster(const uint8_t* bytes, size_t size) {
    if (!ReadGuildList(bytes, size, m_roster)) return 0;
    MarkGuildMembersOnline();
    return 1;
}

int CCommunityLists::SetGuildMemberList(const uint8_t* bytes, size_t size) {
    std::array<GuildMemberEntry, kGuildMembers> online{};
    if (!ReadGuildList(bytes, size, online)) return 0;
    for (const GuildMemberEntry& member : online)
        if (member.nickname[0])
            if (GuildMemberEntry* entry = FindGuildMember(member.nickname)) entry->online = 1;
    m_online = online;
    return 1;
}

void CCommunityLists::ClearGuildRoster() {
    for (GuildMemberEntry& member : m_roster) {
        std::memset(member.nickname, 0, sizeof(member.nickname));
        member.online = 0;
    }
}

void CCommunityLists::MarkGuildMembersOnline() {
    for (const GuildMemberEntry& member : m_online)
        if (member.nickname[0])
            if (GuildMemberEntry* entry = FindGuildMember(member.nickname)) entry->online = 1;
}

void CCommunityLists::SetFriendState(std::string_view nickname, uint8_t state) {
    for (FriendEntry& entry : m_friends)
        if (SameName(entry.nickname, nickname)) {
            entry.state = state;
            return;
        }
}

int CCommunityLists::IsBlockedUser(std::string_view nickname) const {
    if (nickname.empty() || nickname[0] == '\0') return 0;
    for (const auto& entry : m_blocked)
        if (SameName(entry.data(), nickname)) return 1;
    return 0;
}

bool CCommunityLists::IsFriend(std::string_view nickname) const {
    if (nickname.empty() || nickname[0] == '\0') return false;
    for (const FriendEntry& entry : m_friends)
        if (SameName(entry.nickname, nickname)) return true;
    return false;
}

GuildMemberEntry* CCommunityLists::FindGuildMember(std::string_view nickname) {
    if (nickname.empty() || nickname[0] == '\0') return nullptr;
    for (GuildMemberEntry& entry : m_roster)
        if (SameName(entry.nickname, nickname)) return &entry;
    return nullptr;
}

GuildMemberEntry* CCommunityLists::FreeGuildEntry() {
    for (GuildMemberEntry& entry : m_roster)
        if (!entry.nickname[0]) return &entry;
    return nullptr;
}
