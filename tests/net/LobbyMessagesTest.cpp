// The lobby's wire formats: golden bytes of every request, and the readers on
// well-formed and hostile answers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "net/ByteWriter.h"
#include "net/LobbyMessages.h"
#include "net/MessageSizeTable.h"

namespace {

std::vector<uint8_t> Bytes(const uint8_t* data, size_t size) { return {data, data + size}; }

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16At(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
std::string TextAt(const std::vector<uint8_t>& b, size_t at, size_t field) {
    std::string s(reinterpret_cast<const char*>(b.data() + at), field);
    return s.substr(0, s.find('\0'));
}

// One room record of 1006 as the server writes it.
void PutRoom(uint8_t* at, uint16_t number, uint16_t state, const char* title, uint16_t players, uint16_t capacity,
             int32_t low, int32_t high, uint8_t password, uint8_t mode, uint8_t random, bool terminate = true) {
    CByteWriter w(at, kRoomRecordSize);
    w.WriteU16(number);
    w.WriteU16(state);
    if (terminate) {
        w.WriteText(title, kRoomTitleField);
    } else {
        w.WriteBytes(title, kRoomTitleField);  // 31 bytes, no NUL
    }
    w.WriteU16(players);
    w.WriteU16(capacity);
    w.WriteI32(low);
    w.WriteI32(high);
    w.WriteU8(password);
    w.WriteU8(mode);
    w.WriteU8(0xee);
    w.WriteU8(random);
    ASSERT_TRUE(w.Ok());
}

}  // namespace

TEST(LobbyMessages, RequestsHaveTheirGoldenBytes) {
    uint8_t buf[128];

    ASSERT_EQ(WriteLobbyEnter(buf, sizeof buf, "account01", "Hero"), kLobbyEnterSize);
    std::vector<uint8_t> b = Bytes(buf, kLobbyEnterSize);
    EXPECT_EQ(TextAt(b, 0, 51), "account01");
    EXPECT_EQ(TextAt(b, 51, 17), "Hero");
    EXPECT_EQ(U16At(b, 68), 0);

    ASSERT_EQ(WriteRoomListRequest(buf, sizeof buf, ROOM_LIST_WAITING, 7), kRoomListRequestSize);
    EXPECT_EQ(Bytes(buf, 4), (std::vector<uint8_t>{1, 0, 7, 0}));
    ASSERT_EQ(WriteKeepAlive(buf, sizeof buf), kKeepAliveSize);
    EXPECT_EQ(Bytes(buf, 2), (std::vector<uint8_t>{0, 0}));
    ASSERT_EQ(WriteLobbyQuit(buf, sizeof buf, "account01"), kLobbyQuitSize);

    // 1017: 17 bytes of sender, then the CP949 text and its NUL.
    const std::string hello = "\xbe\xc8\xb3\xe7";  // "안녕" in CP949
    ASSERT_EQ(WriteLobbyChat(buf, sizeof buf, "Hero", hello), 17 + hello.size() + 1);
    b = Bytes(buf, 17 + hello.size() + 1);
    EXPECT_EQ(TextAt(b, 0, 17), "Hero");
    EXPECT_EQ(TextAt(b, 17, hello.size() + 1), hello);
    EXPECT_EQ(b.back(), 0);

    MakeRoomRequest room;
    room.title = "\xc3\xca\xba\xb8\xb9\xe6";  // "초보방"
    room.password = "secret";
    room.lowestRank = 3;
    room.highestRank = 9;
    room.mapSum = 0xdeadbeef;
    room.mode = 0;
    room.randomTeams = 1;
    ASSERT_EQ(WriteMakeRoom(buf, sizeof buf, room), kMakeRoomSize);
    b = Bytes(buf, kMakeRoomSize);
    EXPECT_EQ(TextAt(b, 0, 31), room.title);
    EXPECT_EQ(TextAt(b, 31, 13), "secret");
    EXPECT_EQ(U16At(b, 44), 3);
    EXPECT_EQ(U16At(b, 46), 9);
    EXPECT_EQ(U32At(b, 48), 0x3F809082u);
    EXPECT_EQ(U32At(b, 52), 0xdeadbeefu);
    EXPECT_EQ(b[56], 0);
    EXPECT_EQ(b[57], 1);
    room.mode = 1;  // random teams only travel in mode 0
    ASSERT_EQ(WriteMakeRoom(buf, sizeof buf, room), kMakeRoomSize);
    EXPECT_EQ(buf[56], 1);
    EXPECT_EQ(buf[57], 0);

    ASSERT_EQ(WriteJoinRoom(buf, sizeof buf, 0x1234, "pw", 77), kJoinRoomSize);
    b = Bytes(buf, kJoinRoomSize);
    EXPECT_EQ(U16At(b, 0), 0x1234);
    EXPECT_EQ(TextAt(b, 2, 13), "pw");
    EXPECT_EQ(U32At(b, 15), kClientVersionBits);
    EXPECT_EQ(U32At(b, 19), 77u);
    ASSERT_EQ(WriteJoinRoom(buf, sizeof buf, 5, "", 0), kJoinRoomSize);
    for (size_t i = 2; i < 15; ++i) EXPECT_EQ(buf[i], 0) << i;

    ASSERT_EQ(WriteQuickJoin(buf, sizeof buf, true, 99, 0, 1), kQuickJoinSize);
    b = Bytes(buf, kQuickJoinSize);
    EXPECT_EQ(U16At(b, 0), 1);
    EXPECT_EQ(U16At(b, 2), 1);
    EXPECT_EQ(U16At(b, 4), 100);
    EXPECT_EQ(U32At(b, 6), kClientVersionBits);
    EXPECT_EQ(U32At(b, 10), 99u);
    EXPECT_EQ(b[14], 0);
    EXPECT_EQ(b[15], 1);
    ASSERT_EQ(WriteQuickJoin(buf, sizeof buf, false, 99, 1, 1), kQuickJoinSize);
    EXPECT_EQ(U16At(Bytes(buf, 16), 0), 0);
    EXPECT_EQ(buf[15], 0);

    // Every fixed request matches the size the protocol table gives its id.
    const struct {
        uint16_t id;
        size_t size;
    } sizes[] = {{2005, kLobbyEnterSize}, {1005, kRoomListRequestSize}, {2039, kKeepAliveSize},
                 {2001, kLobbyQuitSize},  {2006, kMakeRoomSize},        {2007, kJoinRoomSize},
                 {2018, kQuickJoinSize},  {1006, kRoomListSize},        {3005, kLobbyEnterResultSize},
                 {3039, kLobbyUserListSize}};
    ResetMessageSizeTable();
    for (const auto& s : sizes) EXPECT_EQ(GetMessageSize(s.id).size, s.size) << s.id;
}

TEST(LobbyMessages, RequestsRefuseASmallBufferAndCutLongTexts) {
    uint8_t buf[128];
    EXPECT_EQ(WriteMakeRoom(buf, 57, MakeRoomRequest{}), 0u);
    EXPECT_EQ(WriteLobbyChat(buf, 20, "Hero", "far too long a line"), 0u);
    MakeRoomRequest room;
    room.title = std::string(40, 'T');
    room.password = std::string(20, 'p');
    ASSERT_EQ(WriteMakeRoom(buf, sizeof buf, room), kMakeRoomSize);
    const std::vector<uint8_t> b = Bytes(buf, kMakeRoomSize);
    EXPECT_EQ(TextAt(b, 0, 31), std::string(30, 'T'));
    EXPECT_EQ(TextAt(b, 31, 13), std::string(12, 'p'));
}

TEST(LobbyMessages, RoomListRecordsAreReadBounded) {
    uint8_t page[kRoomListSize] = {};
    PutRoom(page, 4, 1, "Beginners", 3, 8, 1, 100, 1, 0, 1);
    PutRoom(page + 51, 9, 2, "0123456789012345678901234567890", 8, 8, -5, 500, 0, 7, 0, false);
    PutRoom(page + 102, 0, 9, "", 0, 0, 0, 0, 0, 1, 0);
    RoomPage rooms;
    ASSERT_EQ(ReadRoomList(page, sizeof page, &rooms), 1);
    EXPECT_EQ(rooms[0].number, 4);
    EXPECT_EQ(rooms[0].state, 1);
    EXPECT_EQ(rooms[0].title, "Beginners");
    EXPECT_EQ(rooms[0].players, 3);
    EXPECT_EQ(rooms[0].capacity, 8);
    EXPECT_EQ(rooms[0].lowestRank, 1);
    EXPECT_EQ(rooms[0].highestRank, 100);
    EXPECT_EQ(rooms[0].password, 1);
    EXPECT_EQ(rooms[0].randomTeams, 1);
    // An unterminated title stops at its field, and the next field is intact.
    EXPECT_EQ(rooms[1].title.size(), 31u);
    EXPECT_EQ(rooms[1].players, 8);
    EXPECT_EQ(rooms[1].lowestRank, -5);
    EXPECT_EQ(rooms[1].highestRank, 500);
    EXPECT_EQ(rooms[1].mode, 7);
    EXPECT_EQ(rooms[2].state, 9);
    EXPECT_EQ(rooms[9].state, 0);
    EXPECT_EQ(ReadRoomList(page, sizeof page - 1, &rooms), 0);
}

TEST(LobbyMessages, LobbyUserListKeepsTheNamesSentAndTheCount) {
    uint8_t list[kLobbyUserListSize] = {};
    CByteWriter w(list, sizeof list);
    w.WriteU8(1);
    w.WriteU8(0);
    w.WriteU16(5000);  // more players than names sent
    w.WriteText("Alpha", 17);
    w.WriteZeros(17);
    w.WriteBytes("[GM]Operator12345", 17);  // unterminated
    ASSERT_TRUE(w.Ok());
    LobbyUserList users;
    ASSERT_EQ(ReadLobbyUserList(list, sizeof list, &users), 1);
    EXPECT_EQ(users.count, 5000);
    ASSERT_EQ(users.names.size(), 2u);
    EXPECT_EQ(users.names[0], "Alpha");
    EXPECT_EQ(users.names[1], "[GM]Operator12345");
    EXPECT_EQ(ReadLobbyUserList(list, 100, &users), 0);
}

TEST(LobbyMessages, ChatLineSenderAndTextAreBounded) {
    std::string sender, text;
    const uint8_t full[] = {'B', 'o', 'b', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'h', 'i', 0, 'x'};
    ASSERT_EQ(ReadLobbyChat(full, sizeof full, &sender, &text), 1);
    EXPECT_EQ(sender, "Bob");
    EXPECT_EQ(text, "hi");
    std::vector<uint8_t> hostile(17 + 5, 'A');  // no NUL anywhere
    ASSERT_EQ(ReadLobbyChat(hostile.data(), hostile.size(), &sender, &text), 1);
    EXPECT_EQ(sender.size(), 17u);
    EXPECT_EQ(text, "AAAAA");
    EXPECT_EQ(ReadLobbyChat(full, 16, &sender, &text), 0);
}

TEST(LobbyMessages, EntryResultCarriesThePlayerRecord) {
    std::vector<uint8_t> answer(kLobbyEnterResultSize, 0);
    answer[0] = 1;
    answer[1] = 61;
    uint8_t* record = answer.data() + 2;
    std::memcpy(record + PlayerRecord::kGuildNameAt, "Knights", 7);
    std::memcpy(record + PlayerRecord::kNicknameAt, "Hero", 4);
    record[PlayerRecord::kTutorialAt] = 1;
    CByteWriter(record + PlayerRecord::kCraAt, 8).WriteU64(0x0000000500000001ull);
    CByteWriter(record + PlayerRecord::kGuildNumberAt, 4).WriteU32(4242);
    record[PlayerRecord::kGuildMasterAt] = 1;
    record[PlayerRecord::kGuildStateAt] = 2;

    LobbyEnterResult result;
    ASSERT_EQ(ReadLobbyEnterResult(answer.data(), answer.size(), &result), 1);
    EXPECT_EQ(result.result, 1);
    EXPECT_EQ(result.reason, 61);
    EXPECT_EQ(result.record.GuildName(), "Knights");
    EXPECT_EQ(result.record.Nickname(), "Hero");
    EXPECT_EQ(result.record.TutorialDone(), 1);
    EXPECT_EQ(result.record.Cra(), 0x0000000500000001ll);
    EXPECT_EQ(result.record.GuildNumber(), 4242u);
    EXPECT_EQ(result.record.GuildMaster(), 1);
    EXPECT_EQ(result.record.GuildState(), 2);
    result.record.SetCra(-7);
    EXPECT_EQ(result.record.Cra(), -7);

    EXPECT_EQ(ReadLobbyEnterResult(answer.data(), 10, &result), 0);

    // Notice codes: 58..67 but 65 are kept for a later screen.
    for (int code : {58, 61, 64, 66, 67}) EXPECT_TRUE(IsPendingLobbyNotice(static_cast<uint8_t>(code))) << code;
    for (int code : {0, 57, 65, 68, 200}) EXPECT_FALSE(IsPendingLobbyNotice(static_cast<uint8_t>(code))) << code;
}
