// Texts inside the programs are Korean code-page-949 bytes (files, hashes,
// packets, fixed-size fields); these conversions are used only at the edges,
// where a text meets the font renderer, SDL or the terminal.
//
// Bad input never stops a conversion: a byte sequence that is not valid in the
// source encoding is skipped one byte at a time and replaced by one
// replacement character (U+FFFD towards Unicode, '?' towards code page 949),
// and so is a character that code page 949 cannot express.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

std::string Cp949ToUtf8(std::string_view cp949);
std::string Utf8ToCp949(std::string_view utf8);
std::u32string Cp949ToUtf32(std::string_view cp949);
std::string Utf32ToCp949(std::u32string_view utf32);

// A byte that starts a double-byte character, and one that may end it.
bool IsCp949LeadByte(uint8_t b);
bool IsCp949TrailByte(uint8_t b);

// The length of the longest start of text that has at most maxBytes bytes and
// does not end inside a double-byte character. A lead byte counts as the start
// of a pair only when a valid trail byte follows it, so a stray lead byte can
// never swallow the next character.
size_t Cp949CutLength(std::string_view text, size_t maxBytes);
std::string Cp949Cut(std::string_view text, size_t maxBytes);

}  // namespace platform
