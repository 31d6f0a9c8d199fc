#include "screens/lobby/RoomSettings.h"

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "net/LobbyMessages.h"

namespace {
std::string RankName(const std::vector<std::string>& names, int rank) {
    if (rank < 1 || static_cast<size_t>(rank) > names.size()) return {};
    return names[static_cast<size_t>(rank - 1)];
}
}  // namespace

void CRoomSettings::LevelTexts(int rank, const std::vector<std::string>& rankNames, std::string* range,
                               std::string* info) const {
    if (m_choice < 0) {
        *range = GetMessageText(MSG_LOBBY_NO_LIMIT_LEVEL);
        *info = GetMessageText(MSG_LOBBY_NO_LIMIT_LEVEL_MESSAGE);
        return;
    }
    const RankRange r = Range(rank);
    *range = RankRangeText(r.lowest, r.highest);
    *info = FormatText(GetMessageText(MSG_LOBBY_LIMIT_LEVEL_MESSAGE2), RankName(rankNames, r.lowest),
                       RankName(rankNames, r.highest));
}

RoomInputCheck CheckRoomInput(const std::string& title, const std::string& password, std::string* message) {
    message->clear();
    if (title.empty()) return ROOM_INPUT_NO_TITLE;
    if (title.size() > kRoomTitleMax) {
        *message = FormatText(GetMessageText(MSG_LOBBY_MAX_ROOMNAME), static_cast<int>(kRoomTitleMax));
        return ROOM_INPUT_TITLE_TOO_LONG;
    }
    if (password.size() > kRoomPasswordMax) {
        *message = FormatText(GetMessageText(MSG_LOBBY_MAX_ROOMPASS), static_cast<int>(kRoomPasswordMax));
        return ROOM_INPUT_PASSWORD_TOO_LONG;
    }
    return ROOM_INPUT_OK;
}
