// Fuzz target: a typed chat line. Whatever the bytes, the parser and the
// mark-up stripper read nothing past them, and every nickname a command names
// passes the nickname rule, so it fits its 17-byte field.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "net/ChatCommand.h"
#include "net/ChatLines.h"
#include "net/Nickname.h"
#include "ui/UiListBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const std::string stripped = StripColourTags(line);
    if (stripped.size() > size) __builtin_trap();
    for (std::string_view own : {"[GM]abcd", "abcd"}) {
        const ParsedChatCommand r = ParseChatCommand(stripped, own);
        if (r.command < 0 || r.command > CHAT_CMD_ERROR || r.command == 18) __builtin_trap();
        if (!r.nickname.empty() && !IsValidNickname(r.nickname)) __builtin_trap();
    }
    CUiListBox list;
    list.CreateEx(nullptr, "ID_CHAT", 0, 0, 120, 100, 1, 5);
    AddChatLine(&list, line, 0xff5093);
    return 0;
}
