// What the UI needs of a font: the size of a text and drawing it. The font
// table of the UI manager holds these; the application fills it with adapters
// over its FreeType fonts (one per font of the game's font keys, in order), and
// tests use fixed-width fakes. Texts are code-page-949 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class IUiFont {
public:
    virtual ~IUiFont() = default;
    // Width and height in pixels of one line of text.
    virtual void Measure(std::string_view text, int32_t* width, int32_t* height) const = 0;
    // Draws the text with its top-left corner at (x, y) in the colour 0xAARRGGBB.
    virtual void Draw(int32_t x, int32_t y, std::string_view text, uint32_t argb) = 0;
    // Height of a line of this font.
    virtual int32_t LineHeight() const = 0;
    // Space the controls leave between their edge and the text.
    virtual int32_t LeftMargin() const { return 0; }
    virtual int32_t TopMargin() const { return 0; }
    virtual int32_t RightMargin() const { return 0; }
    // The text broken into lines of at most widthPx pixels. This default breaks
    // at blanks (dropped) or, for a word longer than a line, between
    // characters, never inside a double-byte one; fonts with their own line
    // breaking override it.
    virtual std::vector<std::string> WrapText(std::string_view text, int32_t widthPx) const;
};
