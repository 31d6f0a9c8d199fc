#include "net/LobbyMessages.h"

#include <cstring>

#include "net/ByteReader.h"
#include "net/ByteWriter.h"
#include "net/ChatInput.h"

namespace {

std::string FieldText(const uint8_t* field, size_t fieldSize) {
    size_t n = 0;
    while (n < fieldSize && field[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(field), n);
}

std::string ReadField(CByteReader& reader, size_t fieldSize) {
    char text[64];
    reader.ReadText(text, sizeof(text), fieldSize);
    return text;
}

bool WriteField(CByteWriter& writer, std::string_view text, size_t fieldSize) {
    const std::string copy(text.substr(0, text.find('\0')));
    return writer.WriteText(copy.c_str(), fieldSize);
}

size_t Finish(const CByteWriter& writer) { return writer.Ok() ? writer.Position() : 0; }

}  // namespace

std::string PlayerRecord::GuildName() const { return FieldText(bytes.data() + kGuildNameAt, kNicknameField); }
std::string PlayerRecord::Nickname() const { return FieldText(bytes.data() + kNicknameAt, kNicknameField); }

int64_t PlayerRecord::Cra() const {
    CByteReader reader(bytes.data() + kCraAt, 8);
    return static_cast<int64_t>(reader.ReadU64());
}

void PlayerRecord::SetCra(int64_t cra) {
    CByteWriter writer(bytes.data() + kCraAt, 8);
    writer.WriteU64(static_cast<uint64_t>(cra));
}

uint32_t PlayerRecord::GuildNumber() const {
    CByteReader reader(bytes.data() + kGuildNumberAt, 4);
    return reader.ReadU32();
}

int ReadLobbyEnterResult(const uint8_t* payload, size_t size, LobbyEnterResult* out) {
    CByteReader reader(payload, size);
    LobbyEnterResult result;
    result.result = reader.ReadU8();
    result.reason = reader.ReadU8();
    reader.ReadBytes(result.record.bytes.data(), result.record.bytes.size());
    if (!reader.Ok()) return 0;
    *out = result;
    return 1;
}

bool IsPendingLobbyNotice(uint8_t code) { return code >= 58 && code <= 67 && code != 65; }

int ReadRoomList(const uint8_t* payload, size_t size, RoomPage* out) {
    if (size < kRoomListSize) return 0;
    CByteReader reader(payload, size);
    for (RoomListRecord& room : *out) {
        room.number = reader.ReadU16();
        room.state = reader.ReadU16();
        room.title = ReadField(reader, kRoomTitleField);
        room.players = reader.ReadU16();
        room.capacity = reader.ReadU16();
        room.lowestRank = reader.ReadI32();
        room.highestRank = reader.ReadI32();
        room.password = reader.ReadU8();
        room.mode = reader.ReadU8();
        reader.Skip(1);
        room.randomTeams = reader.ReadU8();
    }
    return reader.Ok() ? 1 : 0;
}

int ReadLobbyUserList(const uint8_t* payload, size_t size, LobbyUserList* out) {
    if (size < kLobbyUserListSize) return 0;
    CByteReader reader(payload, size);
    reader.Skip(2);
    out->count = reader.ReadU16();
    out->names.clear();
    for (int i = 0; i < kLobbyUsersShown; ++i) {
        std::string name = ReadField(reader, kNicknameField);
        if (!name.empty()) out->names.push_back(std::move(name));
    }
    return reader.Ok() ? 1 : 0;
}

int ReadLobbyChat(const uint8_t* payload, size_t size, std::string* sender, std::string* text) {
    if (size < kNicknameField) return 0;
    *sender = FieldText(payload, kNicknameField);
    *text = FieldText(payload + kNicknameField, size - kNicknameField);
    return 1;
}

size_t WriteLobbyEnter(uint8_t* out, size_t capacity, std::string_view accountId, std::string_view nickname) {
    CByteWriter writer(out, capacity);
    WriteField(writer, accountId, kAccountIdField);
    WriteField(writer, nickname, kNicknameField);
    writer.WriteU16(0);
    return Finish(writer);
}

size_t WriteRoomListRequest(uint8_t* out, size_t capacity, uint16_t kind, uint16_t page) {
    CByteWriter writer(out, capacity);
    writer.WriteU16(kind);
    writer.WriteU16(page);
    return Finish(writer);
}

size_t WriteKeepAlive(uint8_t* out, size_t capacity) {
    CByteWriter writer(out, capacity);
    writer.WriteU16(0);
    return Finish(writer);
}

size_t WriteLobbyQuit(uint8_t* out, size_t capacity, std::string_view accountId) {
    CByteWriter writer(out, capacity);
    WriteField(writer, accountId, kAccountIdField);
    return Finish(writer);
}

size_t WriteLobbyChat(uint8_t* out, size_t capacity, std::string_view nickname, std::string_view text) {
    text = text.substr(0, text.find('\0'));
    CByteWriter writer(out, capacity);
    WriteField(writer, nickname, kNicknameField);
    writer.WriteBytes(text.data(), text.size());
    writer.WriteU8(0);
    return Finish(writer);
}

size_t WriteMakeRoom(uint8_t* out, size_t capacity, const MakeRoomRequest& request) {
    CByteWriter writer(out, capacity);
    WriteField(writer, request.title, kRoomTitleField);
    WriteField(writer, request.password, kRoomPasswordField);
    writer.WriteU16(request.lowestRank);
    writer.WriteU16(request.highestRank);
    writer.WriteU32(kClientVersionBits);
    writer.WriteU32(request.mapSum);
    writer.WriteU8(request.mode);
    writer.WriteU8(request.mode == 0 ? request.randomTeams : 0);
    return Finish(writer);
}

size_t WriteJoinRoom(uint8_t* out, size_t capacity, uint16_t room, std::string_view password, uint32_t mapSum) {
    CByteWriter writer(out, capacity);
    writer.WriteU16(room);
    WriteField(writer, password, kRoomPasswordField);
    writer.WriteU32(kClientVersionBits);
    writer.WriteU32(mapSum);
    return Finish(writer);
}

size_t WriteQuickJoin(uint8_t* out, size_t capacity, bool nearMyRank, uint32_t mapSum, uint8_t mode,
                      uint8_t randomTeams) {
    CByteWriter writer(out, capacity);
    writer.WriteU16(nearMyRank ? 1 : 0);
    writer.WriteU16(1);
    writer.WriteU16(100);
    writer.WriteU32(kClientVersionBits);
    writer.WriteU32(mapSum);
    writer.WriteU8(mode);
    writer.WriteU8(mode == 0 ? randomTeams : 0);
    return Finish(writer);
}
