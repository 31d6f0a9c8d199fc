// Colour mark-up of the game's texts and the character walk every text routine
// shares. A text is mark-up only when it begins with a tag: "</>" (back to the
// caller's colour) or "</C=" with six hexadecimal digits (red, green, blue; the
// caller's alpha) or eight (alpha first) and ">". Any other text is plain, and
// tag characters in it are ordinary characters. Inside mark-up, "</" opens a
// tag that runs to its '>': a 'C' before the '>' makes it a colour tag (the
// digits after "C="), otherwise it returns to the caller's colour.
//
// Texts are code-page-949 bytes. A character is one byte below 0x80, or a lead
// byte with the trail byte after it; a lead byte without a valid trail byte (at
// the end of a text, say) is a character of its own, so no walk ever runs past
// the end or swallows the next character. A carriage return ends a text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Bytes of the character at pos (1 or 2; 0 at or past the end).
size_t CharLengthAt(std::string_view text, size_t pos);
// The cache key of a character: its byte, or (lead << 8) | trail.
uint16_t CharCodeAt(std::string_view text, size_t pos, size_t length);

// True when text begins with "</>" or with a well-formed colour tag.
bool BeginsWithColorTag(std::string_view text);

// The colour of a tag's value: a value without alpha (top byte 0) takes the
// alpha of the caller's colour.
uint32_t TagColor(uint32_t value, uint32_t defaultColor);

// Reads mark-up one piece at a time. Plain texts come out as one run (up to
// a carriage return).
class CColorMarkupReader {
public:
    enum class Kind { End, Run, Color, Reset, Newline };
    struct Piece {
        Kind kind = Kind::End;
        std::string_view text;  // Run: the bytes; Color: the whole tag
        uint32_t value = 0;     // Color: the tag's value as written (see TagColor)
    };

    explicit CColorMarkupReader(std::string_view text);

    bool IsMarkup() const { return m_markup; }
    // The next piece; Kind::End at the end (and after it).
    Piece Next();

private:
    std::string_view m_text;
    size_t m_pos = 0;
    bool m_markup;
};

// The text without its tags and line breaks; a plain text comes back whole.
std::string StripColorTags(std::string_view text);
