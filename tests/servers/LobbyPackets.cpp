#include "tests/servers/LobbyPackets.h"

#include <algorithm>
#include <cstring>

#include "net/ByteWriter.h"

std::vector<uint8_t> LobbyEnterAnswer(uint8_t result, uint8_t reason, const LobbyPlayerSpec& player) {
    PlayerRecord record;
    CByteWriter(record.bytes.data() + PlayerRecord::kGuildNameAt, 17).WriteText(player.guildName.c_str(), 17);
    CByteWriter(record.bytes.data() + PlayerRecord::kNicknameAt, 17).WriteText(player.nickname.c_str(), 17);
    record.bytes[PlayerRecord::kTutorialAt] = player.tutorialDone;
    record.SetCra(player.cra);
    CByteWriter(record.bytes.data() + PlayerRecord::kGuildNumberAt, 4).WriteU32(player.guildNumber);
    record.bytes[PlayerRecord::kGuildMasterAt] = player.guildMaster;
    record.bytes[PlayerRecord::kGuildStateAt] = player.guildState;
    std::vector<uint8_t> payload{result, reason};
    payload.insert(payload.end(), record.bytes.begin(), record.bytes.end());
    return payload;
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
