// What one row of the lobby's room list shows for a room record, and the page
// text: kept apart from the window's controls so that the rules (empty slots
// on each list, the level-limit text, the icons) are checked on their own.
#pragma once

#include <cstdint>
#include <string>

#include "net/LobbyMessages.h"

struct RoomRowView {
    bool shown = false;  // the row bar (and its texts)
    std::string number;  // "%03d" of the room number plus one
    std::string title;
    std::string members;  // "(%d/%d)"
    bool playStateShown = false;
    bool playing = false;  // the play-state box checked
    int modeIcon = -1;     // 0 "SM.DDS", 1 "PVM.DDS", -1 none
    bool passwordShown = false;
    std::string levelLimit;  // empty: hidden
    bool randomTeamShown = false;
};

// emptySlotText: what an empty slot of the all-rooms list shows as its title.
RoomRowView MakeRoomRowView(const RoomListRecord& room, uint16_t listKind, const std::string& emptySlotText);
// "%d/99" with the current list's page plus one; empty when neither list box is checked.
std::string RoomPageText(bool allChecked, bool waitingChecked, int allPage, int waitingPage);

// The rank range of a level choice (-1 no limit, 0..4 the distance from the
// player's rank), the player's rank clamped to 1..100 first.
struct RankRange {
    int lowest = 1;
    int highest = 100;
};
RankRange MakeRankRange(int rank, int choice);
// "Rk.%d ~ Rk.%d".
std::string RankRangeText(int lowest, int highest);
