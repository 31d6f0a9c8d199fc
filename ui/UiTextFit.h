// Fitting a text into a row: the text is measured character by character (a
// byte with the high bit set starts a two-byte character, kept whole; mark-up
// from "<" to ">" takes no width), and once the running width passes the
// room the text is cut before that character and "..." is appended.
#pragma once

#include <string>

class IUiFont;

std::string FitTextToWidth(const IUiFont& font, const std::string& text, float room);
// Bytes of the longest prefix of text that is at most maxBytes long and ends
// between two characters.
size_t CharacterPrefixBytes(const std::string& text, size_t maxBytes);
