// The room rows the lobby shows for a page of room records, and the rank
// ranges of the make-room window's level choices.
#include <gtest/gtest.h>

#include "screens/lobby/RoomRowView.h"

namespace {

RoomListRecord Room(uint16_t number, uint16_t state, int low = 1, int high = 100, uint8_t password = 0, uint8_t mode = 0,
                uint8_t random = 0) {
    RoomListRecord r;
    r.number = number;
    r.state = state;
    r.title = "Room";
    r.players = 3;
    r.capacity = 8;
    r.lowestRank = low;
    r.highestRank = high;
    r.password = password;
    r.mode = mode;
    r.randomTeams = random;
    return r;
}

TEST(RoomRowView, RowsByStateListAndMarks) {
    struct Case {
        const char* name;
        RoomListRecord room;
        uint16_t kind;
        RoomRowView want;
    } cases[] = {
        {"empty slot, all rooms", Room(6, 0), ROOM_LIST_ALL, {true, "007", "empty", "", false, false, -1, false, "", false}},
        {"empty slot, waiting list", Room(6, 0), ROOM_LIST_WAITING, {}},
        {"waiting, no limit", Room(0, 1), ROOM_LIST_WAITING, {true, "001", "Room", "(3/8)", true, false, 0, false, "", false}},
        {"playing with password, PVM", Room(41, 2, 1, 100, 1, 1), ROOM_LIST_ALL,
         {true, "042", "Room", "(3/8)", true, true, 1, true, "", false}},
        {"state 9, mode 7, hostile ranks, random", Room(998, 9, -5, 500, 0, 7, 1), ROOM_LIST_ALL,
         {true, "999", "Room", "(3/8)", true, true, -1, false, "Rk.-5 ~ Rk.500", true}},
        {"level limit", Room(1, 1, 10, 20), ROOM_LIST_ALL,
         {true, "002", "Room", "(3/8)", true, false, 0, false, "Rk.10 ~ Rk.20", false}},
        {"upper bound only", Room(1, 1, 1, 99), ROOM_LIST_ALL,
         {true, "002", "Room", "(3/8)", true, false, 0, false, "Rk.1 ~ Rk.99", false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RoomRowView row = MakeRoomRowView(c.room, c.kind, "empty");
        EXPECT_EQ(row.shown, c.want.shown);
        EXPECT_EQ(row.number, c.want.number);
        EXPECT_EQ(row.title, c.want.title);
        EXPECT_EQ(row.members, c.want.members);
        EXPECT_EQ(row.playStateShown, c.want.playStateShown);
        EXPECT_EQ(row.playing, c.want.playing);
        EXPECT_EQ(row.modeIcon, c.want.modeIcon);
        EXPECT_EQ(row.passwordShown, c.want.passwordShown);
        EXPECT_EQ(row.levelLimit, c.want.levelLimit);
        EXPECT_EQ(row.randomTeamShown, c.want.randomTeamShown);
    }
    EXPECT_EQ(RoomPageText(true, false, 4, 9), "5/99");
    EXPECT_EQ(RoomPageText(false, true, 4, 9), "10/99");
    EXPECT_EQ(RoomPageText(false, false, 4, 9), "");
}

TEST(RoomRowView, RankRangesOfTheLevelChoices) {
    struct Case {
        int rank, choice, lowest, highest;
    } cases[] = {
        {98, 4, 93, 100}, {2, 0, 1, 3}, {50, -1, 1, 100}, {0, 0, 1, 2}, {150, 2, 97, 100}, {-40, 4, 1, 6}, {50, 1, 48, 52},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rank << " " << c.choice);
        const RankRange r = MakeRankRange(c.rank, c.choice);
        EXPECT_EQ(r.lowest, c.lowest);
        EXPECT_EQ(r.highest, c.highest);
    }
    EXPECT_EQ(RankRangeText(93, 100), "Rk.93 ~ Rk.100");
}

}  // namespace
