#include "net/ChatCommand.h"

#include <vector>

#include "engine/core/MessageTable.h"
#include "net/Nickname.h"
#include "platform/CodePage.h"

namespace {

struct CommandForm {
    const char* utf8;
    int command;
};

// The Hangul forms are the same keys typed on a two-set Korean layout.
constexpr CommandForm kWholeLine[] = {
    {"/a", 1}, {"/A", 1}, {"/ㅁ", 1}, {"/p", 2}, {"/P", 2}, {"/ㅔ", 2},
    {"/r", 4}, {"/R", 4}, {"/ㄱ", 4}, {"/g", 5}, {"/G", 5}, {"/ㅎ", 5},
};
constexpr CommandForm kPrefixes[] = {
    {"/a ", 1},  {"/A ", 1},  {"/ㅁ ", 1},  {"/p ", 2},  {"/P ", 2},  {"/ㅔ ", 2},   {"/w ", 3},
    {"/W ", 3},  {"/ㅈ ", 3}, {"/r ", 4},   {"/R ", 4},  {"/ㄱ ", 4}, {"/g ", 5},    {"/G ", 5},
    {"/ㅎ ", 5}, {"/fa ", 6}, {"/FA ", 6},  {"/ㄻ ", 6}, {"/sq ", 7}, {"/SQ ", 7},   {"/ㄴㅂ ", 7},
};
constexpr CommandForm kOperator[] = {
    {"/killgame ", 8}, {"/usersearch ", 9}, {"/ban ", 10},    {"/report ", 11}, {"/roomcry ", 12},
    {"/chatoff ", 13}, {"/chaton ", 14},    {"/notice ", 15}, {"/banoff ", 17},
};
constexpr const char* kCurrentUser = "/currentuser";

struct Form {
    std::string bytes;
    int command;
};

template <size_t N>
std::vector<Form> Convert(const CommandForm (&forms)[N]) {
    std::vector<Form> out;
    for (const CommandForm& f : forms) out.push_back({platform::Utf8ToCp949(f.utf8), f.command});
    return out;
}

// Converted to code page 949 once.
const std::vector<Form>& WholeLineForms() {
    static const std::vector<Form> forms = Convert(kWholeLine);
    return forms;
}
const std::vector<Form>& PrefixForms() {
    static const std::vector<Form> forms = Convert(kPrefixes);
    return forms;
}

// The word that starts at pos (up to the next blank) and the position after
// that blank (npos when the line ends first).
std::string_view NextWord(std::string_view line, size_t pos, size_t* next) {
    if (pos >= line.size()) {
        *next = std::string_view::npos;
        return {};
    }
    const size_t blank = line.find(' ', pos);
    if (blank == std::string_view::npos) {
        *next = std::string_view::npos;
        return line.substr(pos);
    }
    *next = blank + 1;
    return line.substr(pos, blank - pos);
}

std::string_view Rest(std::string_view line, size_t pos) {
    return pos == std::string_view::npos || pos >= line.size() ? std::string_view() : line.substr(pos);
}

// A number of at most maxDigits digits from low to high; -1 otherwise.
int Number(std::string_view word, size_t maxDigits, int low, int high) {
    if (word.empty() || word.size() > maxDigits) return -1;
    int n = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n >= low && n <= high ? n : -1;
}

// Room numbers: 1 to 4 characters, 1 to 1000. Ban days: 0 to 100.
int RoomNumber(std::string_view word) { return Number(word, 4, 1, 1000); }
int BanDays(std::string_view word) { return Number(word, 3, 0, 100); }

ParsedChatCommand Error(int entry) {
    ParsedChatCommand r;
    r.command = CHAT_CMD_ERROR;
    r.errorEntry = entry;
    r.text = GetMessageText(entry);
    return r;
}

bool StartsWith(std::string_view line, std::string_view prefix) {
    return line.size() >= prefix.size() && line.compare(0, prefix.size(), prefix) == 0;
}

ParsedChatCommand ParseArguments(std::string_view line, int command, size_t start) {
    ParsedChatCommand r;
    r.command = command;
    size_t next = 0;
    switch (command) {
    case CHAT_CMD_WHISPER: {
        const std::string_view nick = NextWord(line, start, &next);
        if (!IsValidNickname(nick)) return Error(MSG_CHAT_NOT_FOUND_NICK);
        r.nickname.assign(nick);
        r.text.assign(Rest(line, next));
        return r;
    }
    case CHAT_CMD_FRIEND_ADD:
    case CHAT_CMD_BLOCK_ADD:
    case CHAT_CMD_USERSEARCH: {
        const std::string_view nick = Rest(line, start);
        if (!IsValidNickname(nick)) return Error(MSG_CHAT_NOT_FOUND_NICK);
        r.nickname.assign(nick);
        r.text.assign(nick);
        return r;
    }
    case CHAT_CMD_KILLGAME:
    case CHAT_CMD_ROOMCRY: {
        const std::string_view number = NextWord(line, start, &next);
        r.number = RoomNumber(number);
        if (r.number < 0) return Error(MSG_CHAT_MGR_KILLGAME_1000);
        const std::string_view rest = Rest(line, next);
        if (rest.empty()) return Error(command == CHAT_CMD_KILLGAME ? MSG_CHAT_MGR_REASON_ERROR
                                                                    : MSG_CHAT_MGR_ROOM_CRY_ERROR);
        if (command == CHAT_CMD_KILLGAME) {
            r.text.assign(number);
            r.argument.assign(rest);
        } else {
            r.text.assign(rest);
        }
        return r;
    }
    case CHAT_CMD_BAN: {
        const std::string_view nick = NextWord(line, start, &next);
        if (!IsValidNickname(nick)) return Error(MSG_CHAT_MGR_USER_BAN_ERROR);
        size_t after = 0;
        r.number = BanDays(NextWord(line, next, &after));
        if (r.number < 0) return Error(MSG_CHAT_MGR_USER_BAN_ERROR);
        const std::string_view reason = Rest(line, after);
        if (reason.empty()) return Error(MSG_CHAT_MGR_REASON_ERROR);
        r.nickname.assign(nick);
        r.text.assign(reason);
        return r;
    }
    case CHAT_CMD_REPORT:
    case CHAT_CMD_CHATOFF:
    case CHAT_CMD_CHATON:
    case CHAT_CMD_BANOFF: {
        const std::string_view nick = NextWord(line, start, &next);
        if (!IsValidNickname(nick)) return Error(MSG_CHAT_NOT_FOUND_NICK);
        const std::string_view text = Rest(line, next);
        if (text.empty()) return Error(MSG_CHAT_MGR_REASON_ERROR);
        r.nickname.assign(nick);
        r.text.assign(text);
        return r;
    }
    default:
        r.text.assign(Rest(line, start));
        return r;
    }
}

}  // namespace

ParsedChatCommand ParseChatCommand(std::string_view line, std::string_view ownNickname) {
    ParsedChatCommand r;
    // Only the part before a NUL is the line.
    line = line.substr(0, line.find('\0'));
    if (line.empty() || line[0] != '/') {
        r.text.assign(line);
        return r;
    }
    for (const Form& f : WholeLineForms())
        if (line == f.bytes) {
            r.command = f.command;
            return r;
        }
    for (const Form& f : PrefixForms())
        if (StartsWith(line, f.bytes)) return ParseArguments(line, f.command, f.bytes.size());
    if (!ownNickname.empty() && ownNickname[0] == '[') {
        if (line == kCurrentUser) {
            r.command = CHAT_CMD_CURRENTUSER;
            return r;
        }
        for (const CommandForm& f : kOperator) {
            const std::string_view word = f.utf8;
            if (line.size() > word.size() && StartsWith(line, word)) return ParseArguments(line, f.command, word.size());
        }
    }
    r.text.assign(line);
    return r;
}

std::string StripColourTags(std::string_view text) {
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t tag = text.find("</C=", pos);
        if (tag == std::string_view::npos) break;
        out.append(text.substr(pos, tag - pos));
        const size_t end = text.find('>', tag + 4);
        if (end == std::string_view::npos) return out;
        pos = end + 1;
    }
    if (pos < text.size()) out.append(text.substr(pos));
    return out;
}

int IsNonBlankText(std::string_view text) {
    for (char c : text) {
        if (c == '\0') break;
        if (c != ' ') return 1;
    }
    return 0;
}
