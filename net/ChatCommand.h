// Slash commands of the chat line: the parser that turns a typed line into a
// command number with its text, nickname and argument, and the two text
// helpers the chat input uses before it.
#pragma once

#include <string>
#include <string_view>

enum ChatCommand : int {
    CHAT_CMD_NONE = 0,
    CHAT_CMD_ALL = 1,
    CHAT_CMD_TEAM = 2,
    CHAT_CMD_WHISPER = 3,
    CHAT_CMD_REPLY = 4,
    CHAT_CMD_GUILD = 5,
    CHAT_CMD_FRIEND_ADD = 6,
    CHAT_CMD_BLOCK_ADD = 7,
    CHAT_CMD_KILLGAME = 8,
    CHAT_CMD_USERSEARCH = 9,
    CHAT_CMD_BAN = 10,
    CHAT_CMD_REPORT = 11,
    CHAT_CMD_ROOMCRY = 12,
    CHAT_CMD_CHATOFF = 13,
    CHAT_CMD_CHATON = 14,
    CHAT_CMD_NOTICE = 15,
    CHAT_CMD_CURRENTUSER = 16,
    CHAT_CMD_BANOFF = 17,
    CHAT_CMD_ERROR = 19,
};

struct ParsedChatCommand {
    int command = CHAT_CMD_NONE;
    std::string text;      // the text to send; for CHAT_CMD_ERROR the message entry's text
    std::string nickname;  // a valid nickname, for the commands that name a user
    std::string argument;  // the reason of "/killgame"
    int errorEntry = 0;    // the message entry of CHAT_CMD_ERROR
    int number = 0;        // the room number or the ban days
};

// Parses a typed line (colour mark-up already stripped). Operator commands
// count only when ownNickname begins with "[". Words are separated by one blank.
ParsedChatCommand ParseChatCommand(std::string_view line, std::string_view ownNickname);

// The text without any part from "</C=" to the next ">" (a tag without its
// ">" drops the rest of the line).
std::string StripColourTags(std::string_view text);

// 1 when the text holds a character other than a blank.
int IsNonBlankText(std::string_view text);
