#include "screens/lobby/RoomRowView.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kLowestRank = 1;
constexpr int kHighestRank = 100;

std::string Format(const char* format, int a, int b) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}
}  // namespace

RoomRowView MakeRoomRowView(const RoomListRecord& room, uint16_t listKind, const std::string& emptySlotText) {
    RoomRowView row;
    if (room.state == 0) {
        if (listKind != ROOM_LIST_ALL) return row;
        row.shown = true;
        row.number = Format("%03d", room.number + 1, 0);
        row.title = emptySlotText;
        return row;
    }
    row.shown = true;
    row.number = Format("%03d", room.number + 1, 0);
    row.title = room.title;
    row.members = Format("(%d/%d)", room.players, room.capacity);
    row.randomTeamShown = room.randomTeams == 1;
    row.playStateShown = true;
    row.playing = room.state >= 2;
    row.modeIcon = room.mode <= 1 ? room.mode : -1;
    row.passwordShown = room.password == 1;
    if (room.lowestRank != kLowestRank || room.highestRank != kHighestRank)
        row.levelLimit = RankRangeText(room.lowestRank, room.highestRank);
    return row;
}

std::string RoomPageText(bool allChecked, bool waitingChecked, int allPage, int waitingPage) {
    if (allChecked) return Format("%d/99", allPage + 1, 0);
    if (waitingChecked) return Format("%d/99", waitingPage + 1, 0);
    return {};
}

RankRange MakeRankRange(int rank, int choice) {
    RankRange range;
    if (choice < 0) return range;
    rank = std::clamp(rank, kLowestRank, kHighestRank);
    range.lowest = std::max(kLowestRank, rank - choice - 1);
    range.highest = std::min(kHighestRank, rank + choice + 1);
    return range;
}

std::string RankRangeText(int lowest, int highest) { return Format("Rk.%d ~ Rk.%d", lowest, highest); }
