// Fitting a text into a row: the text is measured character by character (a
// byte with the high bit set starts a two-byte character, kept whole; mark-up
// from "<" to ">" takes no width), and once the running width passes the
// room the text is cut before that character and "..." is appended.
#pragma once

#include <string>

class IUiFont;

std::string FitTextToWidth(const IUiFont& font, const std::string& text, float room);
// Bytes of the character at `at`: 2 for a byte with the high bit set that has
// a byte after it, else 1.
size_t TextCharacterBytes(const std::string& text, size_t at);
// The text cut to at most maxBytes bytes without splitting a double-byte character.
std::string CutTextToBytes(const std::string& text, size_t maxBytes);
