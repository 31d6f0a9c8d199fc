// What a waiting-room slot row shows, worked out from the room record alone
// so that the window only puts texts into controls: the status text, the
// nickname's colour, the disgrace grade, the win and loss points of a rated
// room, and the host's start test.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "net/RoomRecord.h"

namespace room_view {

constexpr uint32_t kOwnColour = 0xffcc00;
constexpr uint32_t kOperatorColour = 0xff00ff;
constexpr int kMaxDisgraceGrade = 6;

struct SlotText {
    int statusEntry = -1;  // message-table entry of the status text
    bool occupied = false;
    std::string nickname;  // with its colour mark-up, empty unless occupied
};

// The status and nickname of slot n for the player named own.
SlotText DescribeSlot(const RoomRecord& room, int slot, std::string_view own);
// "</C=%06x>%s</>" for the own player and operators (a "[" in the name), else the name.
std::string ColouredNickname(std::string_view nickname, std::string_view own);
// min(points / 30, 6); 0 for a member with the no-penalty byte.
int DisgraceGrade(uint16_t points, bool noPenalty);

struct TeamSums {
    int count[2] = {};
    int rankSum[2] = {};
};
// Members and rank sums of slots 0-5 (team 0) and 6-11 (team 1).
TeamSums SumTeams(const RoomRecord& room);

struct WinPoints {
    int win = 0;
    int lose = 0;
};
// The points a member of rank value own in a team of ownCount wins or loses
// against otherCount members whose ranks add up to otherSum. An empty other
// team gives 0 and 0.
WinPoints ComputeWinPoints(int own, int ownCount, int otherSum, int otherCount);

// The camps of a member-limit room's two columns: 0 both dark (their
// members play side 0), 1 both light, 2 one of each. A column's camp is the
// team byte of its first occupied slot (the left column dark and the right
// one light while empty).
enum TeamLayout { LAYOUT_BOTH_DARK, LAYOUT_BOTH_LIGHT, LAYOUT_MIXED };
int TeamLabelLayout(const RoomRecord& room);
// The label of column 0 or 1: which of its two camp labels shows (true: the
// light one) and its text, "</C=e6d599>camp</> n" when both columns share a
// camp, else "</C=e6d599>camp</>".
struct TeamLabel {
    bool light = false;
    std::string text;
};
TeamLabel DescribeTeamLabel(const RoomRecord& room, int column, std::string_view darkName, std::string_view lightName);

// The host's start test: 0 when the game may start, else the entry of the
// reason (134 not all ready, 135 uneven teams, 155 over the member limit).
int StartTestEntry(const RoomRecord& room, int mode);

}  // namespace room_view
