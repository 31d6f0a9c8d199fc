// The one rule for what a nickname may hold, shared by the chat commands, the
// nickname screen and the community windows.
#pragma once

#include <string_view>

// 1 when the nickname is 4 to 16 bytes of code page 949 and every character
// is a digit, a character from 'A' (0x41) to 'z' (0x7A) or a Hangul syllable.
int IsValidNickname(std::string_view nickname);

// ASCII-only upper-casing of one code point, plus the full-width letters
// (U+FF41-FF5A); Hangul has no case. The same in every locale.
char32_t UpperCaseChar(char32_t c);
