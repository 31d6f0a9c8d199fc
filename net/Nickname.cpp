#include "net/Nickname.h"

#include <string>

#include "net/ChatInput.h"
#include "platform/CodePage.h"

namespace {
constexpr size_t kNicknameMin = 4;
}

int IsValidNickname(std::string_view nickname) {
    // A NUL inside would cut the name on the wire.
    if (nickname.find('\0') != std::string_view::npos) return 0;
    if (nickname.size() < kNicknameMin || nickname.size() > kNicknameMax) return 0;
    // A broken pair converts to U+FFFD, which no range below admits.
    for (char32_t c : platform::Cp949ToUtf32(nickname)) {
        const bool ok = (c >= U'0' && c <= U'9') || (c >= 0x41 && c <= 0x7A) || (c >= 0xAC00 && c <= 0xD7FF);
        if (!ok) return 0;
    }
    return 1;
}

char32_t UpperCaseChar(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - (U'a' - U'A');
    if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
    return c;
}
