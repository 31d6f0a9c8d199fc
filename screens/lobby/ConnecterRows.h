// The rows of the lobby's player list: the own nickname and operators marked
// with a colour tag, and the nickname back from a row the player chose.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/LobbyMessages.h"

// One row per nickname: the own one as "</C=ffcc00>name", an operator's
// ("[" in it) as "</C=ff00ff>name", any other as it is.
std::vector<std::string> MakeConnecterRows(const LobbyUserList& users, std::string_view ownNickname);
// The nickname of a row: a leading colour tag is taken off, so whispers and
// requests reach the real name.
std::string ConnecterName(std::string_view row);
// The own line, which offers no popup.
bool IsOwnConnecterRow(std::string_view row, std::string_view ownNickname);
