#include "screens/lobby/RoomSlotView.h"

#include <algorithm>
#include <cmath>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"

namespace room_view {

std::string ColouredNickname(std::string_view nickname, std::string_view own) {
    const std::string name(nickname);
    if (!own.empty() && nickname == own) return FormatText("</C=%06x>%s</>", kOwnColour, name);
    if (nickname.find('[') != std::string_view::npos) return FormatText("</C=%06x>%s</>", kOperatorColour, name);
    return name;
}

SlotText DescribeSlot(const RoomRecord& room, int slot, std::string_view own) {
    SlotText out;
    const uint8_t state = room.SlotShownState(slot);
    if (state == RoomRecord::kOccupied) {
        out.occupied = true;
        out.nickname = ColouredNickname(room.MemberNickname(slot), own);
    }
    if (room.SlotChangingTeam(slot))
        out.statusEntry = MSG_WAITROOM_CHANGE_SLOT;
    else if (state == RoomRecord::kOpen)
        out.statusEntry = MSG_WAITROOM_OPEN_SLOT;
    else if (state == RoomRecord::kClosed)
        out.statusEntry = MSG_WAITROOM_CLOSE_SLOT;
    else if (room.HostSlotIndex() == slot)
        out.statusEntry = MSG_WAITROOM_SLOT_STATUS_HOST;
    else
        out.statusEntry = room.SlotReady(slot) ? MSG_WAITROOM_SLOT_STATUS_READY : MSG_WAITROOM_SLOT_STATUS_WAIT;
    return out;
}

int DisgraceGrade(uint16_t points, bool noPenalty) {
    if (noPenalty) return 0;
    return std::min(points / 30, kMaxDisgraceGrade);
}

TeamSums SumTeams(const RoomRecord& room) {
    TeamSums sums;
    for (int slot = 0; slot < RoomRecord::kSlots; ++slot) {
        if (room.SlotShownState(slot) != RoomRecord::kOccupied) continue;
        const int team = slot < 6 ? 0 : 1;
        ++sums.count[team];
        sums.rankSum[team] += room.MemberRank(slot);
    }
    return sums;
}

WinPoints ComputeWinPoints(int own, int ownCount, int otherSum, int otherCount) {
    WinPoints out;
    if (otherCount <= 0 || ownCount <= 0) return out;
    const double average = static_cast<double>(otherSum) / otherCount;
    // A stronger other team and a smaller own one raise the stake; each
    // rank of difference moves it by a tenth, each seat by an eleventh.
    const double seats = 1.0 + (otherCount - ownCount) / 11.0;
    const double gap = (average - own) * 0.1;
    const double win = (10.0 + gap) * seats + 4.0 * 0.01 * average;
    const double lose = (5.0 - gap) * seats + 4.0 * 0.01 * own;
    auto whole = [](double v) { return std::isfinite(v) ? static_cast<int>(std::max(0.0, std::floor(v))) / 2 : 0; };
    out.win = whole(win);
    out.lose = whole(lose);
    return out;
}

int StartTestEntry(const RoomRecord& room, int mode) {
    const int host = room.HostSlotIndex();
    for (int slot = 0; slot < RoomRecord::kSlots; ++slot)
        if (slot != host && room.SlotShownState(slot) == RoomRecord::kOccupied && !room.SlotReady(slot))
            return MSG_WAITROOM_NOT_READY;
    const TeamSums sums = SumTeams(room);
    if (mode != 1 && sums.count[0] != sums.count[1]) return MSG_WAITROOM_NOT_SAME_PLAYERNUM;
    if (mode == 1 && sums.count[0] + sums.count[1] > room.MemberLimit()) return MSG_WAITROOM_MAP_LIMIT_ERROR;
    return 0;
}

namespace {

constexpr uint32_t kCampColour = 0xe6d599;

// Team byte 0 is the dark camp, 1 the light one.
int ColumnCamp(const RoomRecord& room, int column) {
    for (int slot = column * 6; slot < column * 6 + 6; ++slot)
        if (room.SlotState(slot) == RoomRecord::kOccupied) return room.SlotTeam(slot) ? 1 : 0;
    return column;
}

}  // namespace

int TeamLabelLayout(const RoomRecord& room) {
    const int left = ColumnCamp(room, 0), right = ColumnCamp(room, 1);
    if (left != right) return LAYOUT_MIXED;
    return left ? LAYOUT_BOTH_LIGHT : LAYOUT_BOTH_DARK;
}

TeamLabel DescribeTeamLabel(const RoomRecord& room, int column, std::string_view darkName,
                            std::string_view lightName) {
    TeamLabel label;
    label.light = ColumnCamp(room, column) == 1;
    const std::string name(label.light ? lightName : darkName);
    label.text = TeamLabelLayout(room) == LAYOUT_MIXED ? FormatText("</C=%x>%s</>", kCampColour, name)
                                                        : FormatText("</C=%x>%s</> %d", kCampColour, name, column + 1);
    return label;
}

}  // namespace room_view
