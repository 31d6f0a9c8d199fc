// The room record's fields at their offsets, the practice room, and the room
// updates the waiting room and the market share.
#include <cstring>
#include <vector>

#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetPacket.h"
#include "net/SharedRoomPackets.h"
#include "tests/net/ChatFixture.h"
#include "tests/servers/RoomPackets.h"
#include "tests/ui/RecordingScreenHost.h"
#include "ui/Screen.h"

namespace {

NetPacket Packet(uint16_t id, const std::vector<uint8_t>& payload) {
    NetPacket packet;
    packet.id = id;
    packet.length = static_cast<uint16_t>(payload.size());
    if (!payload.empty()) std::memcpy(packet.payload.data(), payload.data(), payload.size());
    return packet;
}

std::vector<uint8_t> U16(uint16_t v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}; }

TEST(RoomRecordTest, ReadsEveryFieldTheBuilderWrites) {
    RoomSpec spec;
    spec.number = 0x1234;
    spec.title = "a room title";
    spec.password = "pw";
    spec.lowerRank = 7;
    spec.upperRank = 93;
    spec.mode = 1;
    spec.mapId = 0xBEEF;
    spec.memberLimit = 9;
    spec.teamChange = 2;
    spec.guardianChoice = 3;
    spec.hostSlot = 11;
    for (int i = 0; i < 12; ++i) {
        spec.slots[static_cast<size_t>(i)] = {2, static_cast<uint8_t>(i % 2), static_cast<uint8_t>(i % 3 == 0),
                                              static_cast<uint8_t>(i == 4), 0};
        spec.members[static_cast<size_t>(i)] = {
            "nick" + std::to_string(i),    "guild" + std::to_string(i), 10 + i, 1000 + i,
            static_cast<uint16_t>(30 * i), static_cast<uint8_t>(i == 5)};
    }
    const std::vector<uint8_t> bytes = RoomInfoPayload(spec);
    ASSERT_EQ(bytes.size(), RoomRecord::kBytes);
    RoomRecord room;
    ASSERT_EQ(room.Assign(bytes.data(), bytes.size()), 1);
    EXPECT_EQ(room.Number(), 0x1234);
    EXPECT_EQ(room.Title(), "a room title");
    EXPECT_EQ(room.Password(), "pw");
    EXPECT_EQ(room.LowerRank(), 7);
    EXPECT_EQ(room.UpperRank(), 93);
    EXPECT_EQ(room.Mode(), 1);
    EXPECT_EQ(room.MapId(), 0xBEEF);
    EXPECT_EQ(room.MemberLimit(), 9);
    EXPECT_EQ(room.TeamChange(), 2);
    EXPECT_EQ(room.GuardianChoice(), 3);
    EXPECT_EQ(room.HostSlotIndex(), 11);
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(room.SlotShownState(i), 2);
        EXPECT_EQ(room.SlotTeam(i), i % 2);
        EXPECT_EQ(room.SlotReady(i), i % 3 == 0);
        EXPECT_EQ(room.SlotChangingTeam(i), i == 4);
        EXPECT_EQ(room.MemberNickname(i), "nick" + std::to_string(i));
        EXPECT_EQ(room.MemberGuild(i), "guild" + std::to_string(i));
        EXPECT_EQ(room.MemberRank(i), 10 + i);
        EXPECT_EQ(room.MemberRankPoints(i), 1000 + i);
        EXPECT_EQ(room.MemberDisconnectPoints(i), 30 * i);
        EXPECT_EQ(room.MemberNoPenalty(i), i == 5);
    }
    EXPECT_EQ(room.Assign(bytes.data(), bytes.size() - 1), 0);
}

TEST(RoomRecordTest, HostileValuesAreReadSafely) {
    RoomSpec spec;
    spec.hostSlot = 200;
    spec.memberLimit = -5;
    spec.slots[0] = {9, 0, 0, 0, 0};
    spec.slots[1] = {2, 7, 0, 0, 0};
    spec.Seat(2, "low", false, 0).Seat(3, "high", false, 1000);
    const std::vector<uint8_t> bytes = RoomInfoPayload(spec);
    RoomRecord room;
    ASSERT_EQ(room.Assign(bytes.data(), bytes.size()), 1);
    EXPECT_EQ(room.HostSlotIndex(), -1);
    EXPECT_EQ(room.MemberLimit(), 0);
    EXPECT_EQ(room.SlotShownState(0), RoomRecord::kOpen);
    EXPECT_EQ(room.SlotShownState(1), RoomRecord::kOpen);
    EXPECT_EQ(room.MemberRank(2), 1);
    EXPECT_EQ(room.MemberRank(3), 100);
    EXPECT_EQ(GuardianSeconds(99), 0);
}

TEST(RoomRecordTest, PracticeRoomHoldsOnlyTheOwnPlayer) {
    MemberEntry own;
    own.SetNickname("me");
    RoomRecord room;
    room.bytes.fill(0xAB);
    BuildPracticeRoom(room, 6, own, 0x0102, 2);
    EXPECT_EQ(room.HostSlotIndex(), 6);
    EXPECT_EQ(room.MapId(), 0x0102);
    EXPECT_EQ(room.GuardianChoice(), 2);
    EXPECT_EQ(room.Number(), 0);
    EXPECT_EQ(room.Title(), "");
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(room.SlotTeam(i), i < 6 ? 0 : 1);
        EXPECT_EQ(room.SlotState(i), i == 6 ? RoomRecord::kOccupied : RoomRecord::kOpen);
        EXPECT_FALSE(room.SlotReady(i));
        EXPECT_EQ(room.MemberNickname(i), i == 6 ? "me" : "");
    }
}

TEST(RoomRecordTest, GuardianChoicesGiveTheirSeconds) {
    const int expected[] = {0, 1800, 2400, 3000, 3600, 0};
    for (int choice = 0; choice < 6; ++choice) EXPECT_EQ(GuardianSeconds(choice), expected[choice]) << choice;
    EXPECT_EQ(GuardianSeconds(-1), 0);
}

class RecordingRoom : public IRoomPacketScreen {
public:
    void OnRoomRecord() override { calls.push_back("record"); }
    void OnSlotStates() override { calls.push_back("slots"); }
    void OnOwnSlotRemoved() override { calls.push_back("removed"); }
    void OnMapChanged() override { calls.push_back("map"); }
    void OnGuardianChanged() override { calls.push_back("guardian"); }
    std::vector<std::string> calls;
};

class SharedRoomPacketsTest : public ChatTest {
protected:
    void SetUp() override {
        ChatTest::SetUp();
        for (int n : {MSG_WAITROOM_ENTER_PLAYER, MSG_WAITROOM_EXIT_PLAYER, MSG_WAITROOM_LEAVE_PLAYER})
            messages.SetMsg(n, "m" + std::to_string(n) + " %s");
        session.nickname = "me";
        g_pClientSession = &session;
        spec.Seat(0, "me", false).Seat(6, "other", true);
        Handle(PK_ROOM_INFO, RoomInfoPayload(spec));
        list.ClearItems();
        room.calls.clear();
    }
    void TearDown() override {
        g_pClientSession = nullptr;
        ChatTest::TearDown();
    }
    int Handle(uint16_t id, const std::vector<uint8_t>& payload) {
        return HandleSharedRoomPackets(screen, Packet(id, payload), &list, &room);
    }

    CRecordingScreenHost host;
    CScreen screen;
    RecordingRoom room;
    RoomSpec spec;
};

TEST_F(SharedRoomPacketsTest, RoomInfoNamesOnlyNewOccupants) {
    spec.Seat(1, "newcomer").Seat(7, "moved");
    // "other" changes slot: occupied again, but was in the room before.
    spec.slots[6] = {};
    spec.members[6] = {};
    spec.Seat(8, "other");
    EXPECT_EQ(Handle(PK_ROOM_INFO, RoomInfoPayload(spec)), 0);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"</C=ffffff>m139 newcomer", "</C=ffffff>m139 moved"}));
    EXPECT_EQ(room.calls, std::vector<std::string>{"record"});
    EXPECT_EQ(session.room.MemberNickname(8), "other");
}

TEST_F(SharedRoomPacketsTest, RemovalOfAnotherSlotSilencesTheNextLeave) {
    EXPECT_EQ(Handle(PK_ROOM_SLOT_REMOVED, U16(6)), 0);
    EXPECT_EQ(Lines(), std::vector<std::string>{"</C=ffffff>m140 other"});
    EXPECT_TRUE(room.skipNextLeave);
    EXPECT_EQ(Handle(PK_PLAYER_OUT, U16(6)), 0);
    EXPECT_EQ(Lines().size(), 1u);
    EXPECT_FALSE(room.skipNextLeave);
    EXPECT_EQ(Handle(PK_PLAYER_OUT, U16(6)), 0);
    EXPECT_EQ(LastLine(), "</C=ffffff>m141 other");
}

TEST_F(SharedRoomPacketsTest, RemovalOfTheOwnSlotLeaves) {
    EXPECT_EQ(Handle(PK_ROOM_SLOT_REMOVED, U16(0)), 0);
    EXPECT_EQ(room.calls, std::vector<std::string>{"removed"});
    EXPECT_TRUE(session.leaveToLobby);
    EXPECT_TRUE(Lines().empty());
}

TEST_F(SharedRoomPacketsTest, ChangeAnswersStoreTheirValue) {
    struct Case {
        uint16_t id;
        std::vector<uint8_t> payload;
        uint16_t mapId, guardian;
        std::vector<std::string> calls;
    } cases[] = {
        {PK_ROOM_MAP_CHANGE_RESULT, {1, 0, 0x34, 0x12}, 0x1234, 0, {"map"}},
        {PK_ROOM_TIME_CHANGE_RESULT, {1, 0, 3, 0}, 0x1234, 3, {"guardian"}},
        {PK_ROOM_TIME_CHANGE_RESULT, {0, 5, 4, 0}, 0x1234, 3, {}},
        {PK_ROOM_MAP_CHANGE_RESULT, {1, 0, 9}, 0x1234, 3, {}},
    };
    for (const Case& c : cases) {
        room.calls.clear();
        EXPECT_EQ(Handle(c.id, c.payload), 0);
        EXPECT_EQ(session.room.MapId(), c.mapId);
        EXPECT_EQ(session.room.GuardianChoice(), c.guardian);
        EXPECT_EQ(room.calls, c.calls);
    }
}

TEST_F(SharedRoomPacketsTest, HostileAndForeignPackets) {
    // Slots out of the room, cut packets: nothing shown, nothing stored.
    EXPECT_EQ(Handle(PK_PLAYER_OUT, U16(40)), 0);
    EXPECT_EQ(Handle(PK_ROOM_SLOT_REMOVED, U16(12)), 0);
    EXPECT_EQ(Handle(PK_ROOM_SLOT_REMOVED, {1}), 0);
    EXPECT_EQ(Handle(PK_ROOM_INFO, std::vector<uint8_t>(500, 2)), 0);
    EXPECT_EQ(Handle(PK_ROOM_SLOT_STATES, std::vector<uint8_t>(59, 2)), 0);
    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(room.calls.empty());
    EXPECT_EQ(session.room.MemberNickname(0), "me");
    RoomSpec states = spec;
    states.slots[3].state = 1;
    EXPECT_EQ(Handle(PK_ROOM_SLOT_STATES, SlotStatesPayload(states)), 0);
    EXPECT_EQ(session.room.SlotState(3), RoomRecord::kClosed);
    EXPECT_EQ(room.calls, std::vector<std::string>{"slots"});
    for (uint16_t id : {uint16_t{PK_CHAT_LINE}, uint16_t{PK_NOTICE}, uint16_t{PK_HERO_CHOICES}, uint16_t{0}})
        EXPECT_NE(Handle(id, {1, 0}), 0) << id;
}

}  // namespace
