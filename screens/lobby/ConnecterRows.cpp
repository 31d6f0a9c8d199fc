#include "screens/lobby/ConnecterRows.h"

#include <cstdio>

namespace {
constexpr uint32_t kOwnColour = 0xffcc00;
constexpr uint32_t kOperatorColour = 0xff00ff;
// "</C=rrggbb>"
constexpr size_t kTagLength = 11;

std::string Tagged(uint32_t colour, const std::string& name) {
    char tag[kTagLength + 1];
    std::snprintf(tag, sizeof tag, "</C=%06x>", colour);
    return tag + name;
}

bool HasColourTag(std::string_view row) {
    return row.size() >= kTagLength && row.substr(0, 4) == "</C=" && row[kTagLength - 1] == '>';
}
}  // namespace

std::vector<std::string> MakeConnecterRows(const LobbyUserList& users, std::string_view ownNickname) {
    std::vector<std::string> rows;
    rows.reserve(users.names.size());
    for (const std::string& name : users.names) {
        if (name == ownNickname) {
            rows.push_back(Tagged(kOwnColour, name));
        } else if (name.find('[') != std::string::npos) {
            rows.push_back(Tagged(kOperatorColour, name));
        } else {
            rows.push_back(name);
        }
    }
    return rows;
}

std::string ConnecterName(std::string_view row) {
    if (HasColourTag(row)) row.remove_prefix(kTagLength);
    return std::string(row);
}

bool IsOwnConnecterRow(std::string_view row, std::string_view ownNickname) {
    return HasColourTag(row) && row.substr(kTagLength) == ownNickname;
}
