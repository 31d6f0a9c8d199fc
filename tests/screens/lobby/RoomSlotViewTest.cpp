// The waiting room's slot rows, win points and start test from room records
// the fake server's builder writes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/core/MessageTable.h"
#include "screens/lobby/RoomSlotView.h"
#include "tests/servers/RoomPackets.h"

using namespace room_view;

namespace {

RoomRecord Room(const RoomSpec& spec) {
    RoomRecord room;
    const std::vector<uint8_t> bytes = RoomInfoPayload(spec);
    room.Assign(bytes.data(), bytes.size());
    return room;
}

TEST(RoomSlotViewTest, StatusTextsOfEverySlotKind) {
    RoomSpec spec;
    spec.hostSlot = 0;
    spec.Seat(0, "host").Seat(1, "waiter").Seat(2, "ready", true).Seat(3, "mover", true);
    spec.slots[3].changingTeam = 1;
    spec.slots[4].state = 1;
    spec.slots[5].changingTeam = 1;  // an empty slot that is changing team shows the change too
    spec.slots[7].state = 9;
    const RoomRecord room = Room(spec);
    struct Case {
        int slot;
        int entry;
        bool occupied;
    } cases[] = {
        {0, MSG_WAITROOM_SLOT_STATUS_HOST, true},  {1, MSG_WAITROOM_SLOT_STATUS_WAIT, true},
        {2, MSG_WAITROOM_SLOT_STATUS_READY, true}, {3, MSG_WAITROOM_CHANGE_SLOT, true},
        {4, MSG_WAITROOM_CLOSE_SLOT, false},       {5, MSG_WAITROOM_CHANGE_SLOT, false},
        {6, MSG_WAITROOM_OPEN_SLOT, false},        {7, MSG_WAITROOM_OPEN_SLOT, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        const SlotText text = DescribeSlot(room, c.slot, "nobody");
        EXPECT_EQ(text.statusEntry, c.entry);
        EXPECT_EQ(text.occupied, c.occupied);
    }
}

TEST(RoomSlotViewTest, OwnColourBeatsTheOperatorColour) {
    EXPECT_EQ(ColouredNickname("[GM]me", "[GM]me"), "</C=ffcc00>[GM]me</>");
    EXPECT_EQ(ColouredNickname("[GM]op", "me"), "</C=ff00ff>[GM]op</>");
    EXPECT_EQ(ColouredNickname("plain", "me"), "plain");
}

TEST(RoomSlotViewTest, DisgraceGradeIsCappedAndWaived) {
    EXPECT_EQ(DisgraceGrade(0, false), 0);
    EXPECT_EQ(DisgraceGrade(29, false), 0);
    EXPECT_EQ(DisgraceGrade(30, false), 1);
    EXPECT_EQ(DisgraceGrade(179, false), 5);
    EXPECT_EQ(DisgraceGrade(180, false), 6);
    EXPECT_EQ(DisgraceGrade(65535, false), 6);
    EXPECT_EQ(DisgraceGrade(500, true), 0);
}

TEST(RoomSlotViewTest, WinPointsStayFiniteAndNeverNegative) {
    EXPECT_EQ(ComputeWinPoints(50, 1, 0, 0).win, 0);
    EXPECT_EQ(ComputeWinPoints(50, 1, 0, 0).lose, 0);
    const WinPoints even = ComputeWinPoints(50, 2, 100, 2);
    EXPECT_GT(even.win, 0);
    EXPECT_GT(even.lose, 0);
    // A stronger other team is worth more and costs less.
    const WinPoints stronger = ComputeWinPoints(10, 2, 180, 2);
    EXPECT_GT(stronger.win, even.win);
    EXPECT_LE(stronger.lose, even.lose);
    const WinPoints weaker = ComputeWinPoints(100, 6, 6, 6);
    EXPECT_GE(weaker.win, 0);
    EXPECT_GE(weaker.lose, 0);
    const WinPoints huge = ComputeWinPoints(std::numeric_limits<int>::max(), 1, std::numeric_limits<int>::min(), 1);
    EXPECT_GE(huge.win, 0);
    EXPECT_GE(huge.lose, 0);
}

TEST(RoomSlotViewTest, StartTestReasons) {
    RoomSpec spec;
    spec.hostSlot = 0;
    spec.memberLimit = 2;
    spec.Seat(0, "host").Seat(6, "guest", false);
    EXPECT_EQ(StartTestEntry(Room(spec), 0), MSG_WAITROOM_NOT_READY);
    spec.slots[6].ready = 1;
    EXPECT_EQ(StartTestEntry(Room(spec), 0), 0);
    spec.Seat(7, "third", true);
    EXPECT_EQ(StartTestEntry(Room(spec), 0), MSG_WAITROOM_NOT_SAME_PLAYERNUM);
    EXPECT_EQ(StartTestEntry(Room(spec), 1), MSG_WAITROOM_MAP_LIMIT_ERROR);
    spec.memberLimit = 3;
    EXPECT_EQ(StartTestEntry(Room(spec), 1), 0);
    // The host need not be ready; a host byte naming no slot makes nobody the host.
    spec.hostSlot = 200;
    EXPECT_EQ(StartTestEntry(Room(spec), 1), MSG_WAITROOM_NOT_READY);
}

}  // namespace

TEST(RoomSlotViewTest, CampLabelsOfTheTwoColumns) {
    struct Case {
        const char* what;
        int leftTeam, rightTeam;  // -1: the column is empty
        int layout;
        bool leftLight, rightLight;
        const char *leftText, *rightText;
    };
    const Case cases[] = {
        {"empty room", -1, -1, LAYOUT_MIXED, false, true, "</C=e6d599>Dark</>", "</C=e6d599>Light</>"},
        {"both dark", 0, 0, LAYOUT_BOTH_DARK, false, false, "</C=e6d599>Dark</> 1", "</C=e6d599>Dark</> 2"},
        {"both light", 1, 1, LAYOUT_BOTH_LIGHT, true, true, "</C=e6d599>Light</> 1", "</C=e6d599>Light</> 2"},
        {"swapped", 1, 0, LAYOUT_MIXED, true, false, "</C=e6d599>Light</>", "</C=e6d599>Dark</>"},
        {"only the right column, dark", -1, 0, LAYOUT_BOTH_DARK, false, false, "</C=e6d599>Dark</> 1",
         "</C=e6d599>Dark</> 2"},
    };
    for (const Case& c : cases) {
        RoomSpec spec;
        // An occupied slot after an empty one still names the column's camp.
        if (c.leftTeam >= 0) spec.Seat(2, "left").slots[2].team = static_cast<uint8_t>(c.leftTeam);
        if (c.rightTeam >= 0) spec.Seat(9, "right").slots[9].team = static_cast<uint8_t>(c.rightTeam);
        const RoomRecord room = Room(spec);
        EXPECT_EQ(TeamLabelLayout(room), c.layout) << c.what;
        const TeamLabel left = DescribeTeamLabel(room, 0, "Dark", "Light");
        const TeamLabel right = DescribeTeamLabel(room, 1, "Dark", "Light");
        EXPECT_EQ(left.light, c.leftLight) << c.what;
        EXPECT_EQ(right.light, c.rightLight) << c.what;
        EXPECT_EQ(left.text, c.leftText) << c.what;
        EXPECT_EQ(right.text, c.rightText) << c.what;
    }
}
