#include "tests/servers/LobbyPackets.h"

#include <algorithm>
#include <cstring>

#include "net/ByteWriter.h"
#include "net/CommunityLists.h"
#include "net/CommunityMessages.h"

namespace {

// The two result bytes and the body after them. Sized once and copied into:
// GCC 12's -O3 takes an insert after a two-byte list for an overflow.
std::vector<uint8_t> ResultThen(uint8_t result, uint8_t reason, const uint8_t* body, size_t size) {
    std::vector<uint8_t> payload(2 + size);
    payload[0] = result;
    payload[1] = reason;
    if (size) std::memcpy(payload.data() + 2, body, size);
    return payload;
}

}  // namespace

std::vector<uint8_t> LobbyEnterAnswer(uint8_t result, uint8_t reason, const LobbyPlayerSpec& player) {
    PlayerRecord record;
    CByteWriter(record.bytes.data() + PlayerRecord::kGuildNameAt, 17).WriteText(player.guildName.c_str(), 17);
    CByteWriter(record.bytes.data() + PlayerRecord::kNicknameAt, 17).WriteText(player.nickname.c_str(), 17);
    record.bytes[PlayerRecord::kTutorialAt] = player.tutorialDone;
    record.SetCra(player.cra);
    CByteWriter(record.bytes.data() + PlayerRecord::kGuildNumberAt, 4).WriteU32(player.guildNumber);
    record.bytes[PlayerRecord::kGuildMasterAt] = player.guildMaster;
    record.bytes[PlayerRecord::kGuildStateAt] = player.guildState;
    return ResultThen(result, reason, record.bytes.data(), record.bytes.size());
}

void WriteRoomListRecord(uint8_t* at, const RoomListRecord& room) {
    CByteWriter w(at, kRoomRecordSize);
    w.WriteU16(room.number);
    w.WriteU16(room.state);
    if (room.title.size() >= kRoomTitleField) {
        w.WriteBytes(room.title.data(), kRoomTitleField);
    } else {
        w.WriteText(room.title.c_str(), kRoomTitleField);
    }
    w.WriteU16(room.players);
    w.WriteU16(room.capacity);
    w.WriteI32(room.lowestRank);
    w.WriteI32(room.highestRank);
    w.WriteU8(room.password);
    w.WriteU8(room.mode);
    w.WriteU8(0);
    w.WriteU8(room.randomTeams);
}

std::vector<uint8_t> RoomListPayload(const std::vector<RoomListRecord>& rooms) {
    std::vector<uint8_t> payload(kRoomListSize, 0);
    const size_t n = std::min<size_t>(rooms.size(), kRoomsPerPage);
    for (size_t i = 0; i < n; ++i) WriteRoomListRecord(payload.data() + i * kRoomRecordSize, rooms[i]);
    return payload;
}

std::vector<uint8_t> LobbyUserListPayload(uint16_t count, const std::vector<std::string>& names) {
    std::vector<uint8_t> payload(kLobbyUserListSize, 0);
    CByteWriter w(payload.data(), payload.size());
    w.WriteU8(1);
    w.WriteU8(0);
    w.WriteU16(count);
    const size_t n = std::min<size_t>(names.size(), kLobbyUsersShown);
    for (size_t i = 0; i < n; ++i) w.WriteText(names[i].c_str(), 17);
    return payload;
}

std::vector<uint8_t> LobbyChatPayload(const std::string& sender, const std::string& text) {
    std::vector<uint8_t> payload(17, 0);
    CByteWriter(payload.data(), 17).WriteText(sender.c_str(), 17);
    payload.insert(payload.end(), text.begin(), text.end());
    payload.push_back(0);
    return payload;
}

std::vector<uint8_t> FriendListBytes(const std::vector<FriendSpec>& friends) {
    std::vector<uint8_t> bytes(CCommunityLists::kFriendListBytes);
    for (size_t i = 0; i < friends.size() && i < CCommunityLists::kFriends; ++i) {
        CByteWriter w(bytes.data() + i * FriendEntry::kBytes, FriendEntry::kBytes);
        w.WriteText(friends[i].name.c_str(), kNicknameField);
        w.WriteU8(friends[i].state);
    }
    return bytes;
}

std::vector<uint8_t> BlockListBytes(const std::vector<std::string>& names) {
    std::vector<uint8_t> bytes(CCommunityLists::kBlockListBytes);
    for (size_t i = 0; i < names.size() && i < CCommunityLists::kBlocked; ++i)
        CByteWriter(bytes.data() + i * kNicknameField, kNicknameField).WriteText(names[i].c_str(), kNicknameField);
    return bytes;
}

std::vector<uint8_t> GuildRosterBytes(const std::vector<RosterSpec>& members) {
    std::vector<uint8_t> bytes(CCommunityLists::kGuildListBytes);
    for (size_t i = 0; i < members.size() && i < CCommunityLists::kGuildMembers; ++i) {
        CByteWriter w(bytes.data() + i * GuildMemberEntry::kBytes, GuildMemberEntry::kBytes);
        w.WriteText(members[i].name.c_str(), kNicknameField);
        w.WriteU8(members[i].online);
        w.WriteU32(members[i].number);
    }
    return bytes;
}

std::vector<uint8_t> CommunityAnswer(uint8_t result, int8_t reason, const std::vector<uint8_t>& body) {
    return ResultThen(result, static_cast<uint8_t>(reason), body.data(), body.size());
}

std::vector<uint8_t> NamedListAnswer(uint8_t result, int8_t reason, const std::string& name,
                                     const std::vector<uint8_t>& list) {
    std::vector<uint8_t> body(kNicknameField);
    CByteWriter(body.data(), kNicknameField).WriteText(name.c_str(), kNicknameField);
    body.insert(body.end(), list.begin(), list.end());
    return CommunityAnswer(result, reason, body);
}

std::vector<uint8_t> GuildInfoPayload(uint8_t result, int8_t reason, uint32_t number, uint8_t state,
                                      const std::string& name, int32_t cra) {
    std::vector<uint8_t> payload(kGuildInfoAnswerSize);
    CByteWriter w(payload.data(), payload.size());
    w.WriteU8(result);
    w.WriteU8(static_cast<uint8_t>(reason));
    w.WriteU32(number);
    w.WriteU8(state);
    w.WriteText(name.c_str(), kNicknameField);
    w.WriteI32(cra);
    return payload;
}

std::vector<uint8_t> NameListPayload(uint8_t result, const std::vector<std::string>& names) {
    std::vector<uint8_t> payload(kNameListAnswerSize);
    payload[0] = result;
    for (size_t i = 0; i < names.size() && i < kAnswerNames; ++i)
        CByteWriter(payload.data() + 2 + i * kNicknameField, kNicknameField).WriteText(names[i].c_str(), kNicknameField);
    return payload;
}

std::vector<uint8_t> GuildDataPayload(const GuildDataBlock& block) {
    std::vector<uint8_t> payload(2 + GuildDataBlock::kBytes);
    payload[0] = 1;
    WriteGuildDataBlock(block, payload.data() + 2);
    return payload;
}

GuildDataBlock SampleGuildData() {
    GuildDataBlock block;
    block.guildName = "Clan";
    block.masterName = "Hero";
    block.memberLimit = 38;
    block.memberCount = 40;
    block.points = 1234;
    block.notice = "Welcome";
    return block;
}
