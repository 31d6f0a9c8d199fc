#include "net/CommunityMessages.h"

#include <cstring>

#include "net/ByteReader.h"
#include "net/ByteWriter.h"
#include "net/MessageIds.h"

namespace {

constexpr size_t kHeadBytes = 2;
constexpr size_t kGuildNameAt = 4;
constexpr size_t kMasterNameAt = 21;
constexpr size_t kLimitAt = 38;
constexpr size_t kNoticeAt = 46;
constexpr size_t kNoticeField = GuildDataBlock::kBytes - kNoticeAt;

enum class Shape { Nickname, NicknameGuild, TwoNames, TwoNamesGuild, GuildOnly, None };

Shape ShapeOf(uint16_t id) {
    switch (id) {
        case PK_GUILD_INFO_REQUEST:
        case PK_GUILD_JOIN_CANCEL:
        case PK_FRIEND_LIST_REQUEST:
        case PK_BLOCK_LIST_REQUEST:
            return Shape::Nickname;
        case PK_GUILD_SEARCH:
            // The search text travels alone, in the place of a nickname.
            return Shape::Nickname;
        case PK_GUILD_LEAVE:
        case PK_GUILD_DATA_REQUEST:
        case PK_GUILD_APPLICANTS_REQUEST:
            return Shape::NicknameGuild;
        case PK_GUILD_CREATE:
        case PK_GUILD_JOIN:
        case PK_GUILD_ACCEPT:
        case PK_GUILD_REFUSE:
        case PK_GUILD_BANISH:
        case PK_FRIEND_DELETE:
        case PK_BLOCK_DELETE:
            return Shape::TwoNames;
        case PK_GUILD_MASTER_CHANGE:
            return Shape::TwoNamesGuild;
        case PK_GUILD_ROSTER_REQUEST:
            return Shape::GuildOnly;
        default:
            return Shape::None;
    }
}

// The text up to its first NUL, as the writer cuts it to its field.
std::string UpToNul(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string ReadField(CByteReader& reader, size_t field) {
    // A field without its NUL keeps its last byte for one, as the tables do.
    char text[GuildDataBlock::kBytes] = {};
    reader.ReadText(text, field, field);
    return text;
}

}  // namespace

size_t WriteCommunityRequest(uint16_t id, const CommunityRequestFields& fields, uint8_t* out, size_t capacity) {
    const Shape shape = ShapeOf(id);
    if (shape == Shape::None) return 0;
    CByteWriter w(out, capacity);
    const std::string first = UpToNul(id == PK_GUILD_SEARCH ? fields.name : fields.own);
    if (shape != Shape::GuildOnly) w.WriteText(first.c_str(), kNicknameField);
    if (shape == Shape::TwoNames || shape == Shape::TwoNamesGuild) w.WriteText(UpToNul(fields.name).c_str(), kNicknameField);
    if (shape == Shape::NicknameGuild || shape == Shape::TwoNamesGuild || shape == Shape::GuildOnly)
        w.WriteU32(fields.guildNumber);
    return w.Ok() ? w.Position() : 0;
}

int ReadCommunityAnswerHead(const uint8_t* payload, size_t size, CommunityAnswerHead* out) {
    CByteReader r(payload, size);
    out->result = r.ReadU8();
    out->reason = static_cast<int8_t>(r.ReadU8());
    return r.Ok() ? 1 : 0;
}

int ReadGuildInfoAnswer(const uint8_t* payload, size_t size, GuildInfoAnswer* out) {
    CByteReader r(payload, size);
    r.Seek(kHeadBytes);
    out->guildNumber = r.ReadU32();
    out->guildState = r.ReadU8();
    out->guildName = ReadField(r, kNicknameField);
    out->cra = r.ReadI32();
    return r.Ok() ? 1 : 0;
}

uint8_t KnownGuildState(uint8_t state) { return state <= 2 ? state : 0; }

int ReadNameListAnswer(const uint8_t* payload, size_t size, AnswerNames* out) {
    CByteReader r(payload, size);
    r.Seek(kHeadBytes);
    for (std::string& name : *out) name = ReadField(r, kNicknameField);
    return r.Ok() ? 1 : 0;
}

int ReadAnswerName(const uint8_t* payload, size_t size, std::string* out) {
    CByteReader r(payload, size);
    r.Seek(kHeadBytes);
    *out = ReadField(r, kNicknameField);
    return r.Ok() ? 1 : 0;
}

int ReadGuildDataBlock(const uint8_t* block, size_t size, GuildDataBlock* out) {
    if (size < GuildDataBlock::kBytes) return 0;
    CByteReader r(block, GuildDataBlock::kBytes);
    r.Seek(kGuildNameAt);
    out->guildName = ReadField(r, kNicknameField);
    out->masterName = ReadField(r, kNicknameField);
    out->memberLimit = r.ReadU16();
    out->memberCount = r.ReadU16();
    out->points = r.ReadU32();
    out->notice = ReadField(r, kNoticeField);
    if (!r.Ok()) return 0;
    std::memcpy(out->bytes.data(), block, GuildDataBlock::kBytes);
    return 1;
}

void WriteGuildDataBlock(const GuildDataBlock& data, uint8_t* out) {
    CByteWriter w(out, GuildDataBlock::kBytes);
    w.WriteZeros(kGuildNameAt);
    w.WriteText(UpToNul(data.guildName).c_str(), kNicknameField);
    w.WriteText(UpToNul(data.masterName).c_str(), kNicknameField);
    w.WriteU16(data.memberLimit);
    w.WriteU16(data.memberCount);
    w.WriteU32(data.points);
    w.WriteText(UpToNul(data.notice).c_str(), kNoticeField);
    static_assert(kLimitAt == kMasterNameAt + kNicknameField);
}
