// The community requests byte for byte, and the answers' readers on short,
// unterminated and out-of-range input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "net/CommunityMessages.h"
#include "net/MessageIds.h"
#include "tests/servers/LobbyPackets.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Name(const std::string& text) {
    Bytes field(kNicknameField, 0);
    std::memcpy(field.data(), text.data(), text.size());
    return field;
}
Bytes Number(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(CommunityMessages, RequestsByteForByte) {
    CommunityRequestFields fields;
    fields.own = "Hero";
    fields.name = "Other";
    fields.guildNumber = 0x01020304;
    const Bytes own = Name("Hero"), other = Name("Other"), guild = Number(0x01020304);
    const struct {
        uint16_t id;
        Bytes expected;
    } cases[] = {
        {PK_GUILD_ROSTER_REQUEST, guild},
        {PK_GUILD_INFO_REQUEST, own},
        {PK_GUILD_CREATE, Cat({own, other})},
        {PK_GUILD_JOIN, Cat({own, other})},
        {PK_GUILD_JOIN_CANCEL, own},
        {PK_GUILD_ACCEPT, Cat({own, other})},
        {PK_GUILD_REFUSE, Cat({own, other})},
        {PK_GUILD_BANISH, Cat({own, other})},
        {PK_GUILD_LEAVE, Cat({own, guild})},
        {PK_GUILD_DATA_REQUEST, Cat({own, guild})},
        {PK_GUILD_APPLICANTS_REQUEST, Cat({own, guild})},
        {PK_GUILD_SEARCH, other},
        {PK_GUILD_MASTER_CHANGE, Cat({own, other, guild})},
        {PK_FRIEND_LIST_REQUEST, own},
        {PK_FRIEND_DELETE, Cat({own, other})},
        {PK_BLOCK_LIST_REQUEST, own},
        {PK_BLOCK_DELETE, Cat({own, other})},
    };
    for (const auto& c : cases) {
        uint8_t out[kCommunityRequestMax];
        const size_t n = WriteCommunityRequest(c.id, fields, out, sizeof out);
        EXPECT_EQ(Bytes(out, out + n), c.expected) << c.id;
    }
    uint8_t out[kCommunityRequestMax];
    EXPECT_EQ(WriteCommunityRequest(PK_FRIEND_ADD, fields, out, sizeof out), 0u) << "sent by the shared sender";
    EXPECT_EQ(WriteCommunityRequest(PK_GUILD_MASTER_CHANGE, fields, out, 37), 0u) << "too small a buffer";
    // A name longer than its field is cut, never run into the next one.
    fields.name = std::string(40, 'n');
    ASSERT_EQ(WriteCommunityRequest(PK_GUILD_BANISH, fields, out, sizeof out), 34u);
    EXPECT_EQ(out[33], 0);
}

TEST(CommunityMessages, AnswersStayInTheirFields) {
    GuildInfoAnswer info;
    ASSERT_EQ(ReadGuildInfoAnswer(GuildInfoPayload(1, 0, 77, 7, "Clan", -5).data(), kGuildInfoAnswerSize, &info), 1);
    EXPECT_EQ(info.guildNumber, 77u);
    EXPECT_EQ(info.guildName, "Clan");
    EXPECT_EQ(info.cra, -5);
    EXPECT_EQ(KnownGuildState(info.guildState), 0) << "state 7 counts as none";
    EXPECT_EQ(KnownGuildState(2), 2);
    EXPECT_EQ(ReadGuildInfoAnswer(GuildInfoPayload(1, 0, 77, 2, "Clan", 0).data(), 27, &info), 0);

    Bytes names = NameListPayload(1, {});
    std::fill(names.begin() + 2, names.end(), 'x');
    AnswerNames read;
    ASSERT_EQ(ReadNameListAnswer(names.data(), names.size(), &read), 1);
    for (const std::string& name : read) EXPECT_EQ(name, std::string(16, 'x'));
    EXPECT_EQ(ReadNameListAnswer(names.data(), names.size() - 1, &read), 0);

    std::string master;
    EXPECT_EQ(ReadAnswerName(CommunityAnswer(1, 0).data(), 2, &master), 0) << "a bare head carries no name";

    const Bytes payload = GuildDataPayload(SampleGuildData());
    GuildDataBlock back;
    ASSERT_EQ(ReadGuildDataBlock(payload.data() + 2, GuildDataBlock::kBytes, &back), 1);
    EXPECT_EQ(back.guildName, "Clan");
    EXPECT_EQ(back.masterName, "Hero");
    EXPECT_EQ(back.memberLimit, 38);
    EXPECT_EQ(back.memberCount, 40);
    EXPECT_EQ(back.points, 1234u);
    EXPECT_EQ(back.notice, "Welcome");
    const Bytes noNul(GuildDataBlock::kBytes, 'z');
    ASSERT_EQ(ReadGuildDataBlock(noNul.data(), noNul.size(), &back), 1);
    EXPECT_EQ(back.guildName.size(), 16u);
    EXPECT_EQ(back.masterName.size(), 16u);
    EXPECT_EQ(back.notice.size(), 29u);
    EXPECT_EQ(ReadGuildDataBlock(noNul.data(), 75, &back), 0);
}

}  // namespace
