// The player's friend list, blocked-user list, guild roster and the guild
// members online, as the server last sent them. Names are compared exactly
// (byte-wise, case-sensitive) over at most a nickname field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "net/ChatInput.h"

struct FriendEntry {
    char nickname[kNicknameField] = {};
    uint8_t state = 0;
    static constexpr size_t kBytes = 22;
};

struct GuildMemberEntry {
    char nickname[kNicknameField] = {};
    uint8_t online = 0;
    uint32_t row = 0;  // the server's row number, unaligned at byte 18
    static constexpr size_t kBytes = 22;
};

class CCommunityLists {
public:
    static constexpr size_t kFriends = 15;
    static constexpr size_t kBlocked = 15;
    static constexpr size_t kGuildMembers = 36;
    static constexpr size_t kFriendListBytes = kFriends * FriendEntry::kBytes;            // 330
    static constexpr size_t kBlockListBytes = kBlocked * kNicknameField;                  // 255
    static constexpr size_t kGuildListBytes = kGuildMembers * GuildMemberEntry::kBytes;  // 792

    // Each replaces its table from the bytes the server sent; 0 (table
    // unchanged) when fewer bytes than the table's are given.
    int SetFriendList(const uint8_t* bytes, size_t size);
    int SetBlockList(const uint8_t* bytes, size_t size);
    // The roster (3025); the members online then get their flag.
    int SetGuildRoster(const uint8_t* bytes, size_t size);
    // The members online (1030): each marks its roster entry, then replaces the online list.
    int SetGuildMemberList(const uint8_t* bytes, size_t size);
    void MarkGuildMembersOnline();
    // Out of the guild: every roster entry loses its nickname and flag.
    void ClearGuildRoster();

    void SetFriendState(std::string_view nickname, uint8_t state);
    int IsBlockedUser(std::string_view nickname) const;
    bool IsFriend(std::string_view nickname) const;
    // The roster entry with the nickname, or null.
    GuildMemberEntry* FindGuildMember(std::string_view nickname);
    // The first roster entry without a nickname, or null when the roster is full.
    GuildMemberEntry* FreeGuildEntry();

    int FriendCount() const { return m_friendCount; }
    int BlockedCount() const { return m_blockedCount; }
    const std::array<FriendEntry, kFriends>& Friends() const { return m_friends; }
    const std::array<std::array<char, kNicknameField>, kBlocked>& Blocked() const { return m_blocked; }
    const std::array<GuildMemberEntry, kGuildMembers>& Roster() const { return m_roster; }
    const std::array<GuildMemberEntry, kGuildMembers>& Online() const { return m_online; }

    // Names are equal over at most a nickname field.
    static bool SameName(const char* field, std::string_view nickname);

private:
    static bool ReadGuildList(const uint8_t* bytes, size_t size, std::array<GuildMemberEntry, kGuildMembers>& out);

    std::array<FriendEntry, kFriends> m_friends{};
    std::array<std::array<char, kNicknameField>, kBlocked> m_blocked{};
    std::array<GuildMemberEntry, kGuildMembers> m_roster{};
    std::array<GuildMemberEntry, kGuildMembers> m_online{};
    int m_friendCount = 0;
    int m_blockedCount = 0;
};
