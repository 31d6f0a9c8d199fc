// One font of the game at one size: a FreeType face whose characters are
// rasterised once into white ARGB glyph bitmaps (the draw colour tints them;
// shadows and outlines stay black), and the routines that measure, cut, wrap
// and draw code-page-949 texts with colour mark-up (engine/text/ColorMarkup.h).
//
// A run of text is drawn by writing its glyphs into one of the shared scratch
// textures (engine/text/ZEMFTFontTexture.h) and drawing that texture as one
// screen-space quad, so a run costs one draw call. Glyphs live in system
// memory and survive a lost device.
//
// Pen rules, shared by drawing, measuring, cutting and wrapping: a newline
// starts a new line lineAdvance lower; a carriage return ends the text; a blank
// advances gapNarrow + size / 2; the full-width blank (0xA1A1) advances
// gapWide + size and has no glyph; another single byte advances gapNarrow plus
// its glyph's width, plus one when the glyph is narrower than half the size;
// another double-byte character advances its width plus gapWide.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text/FontFileLocator.h"
#include "engine/core/TextFormat.h"

class CZEMFTFontTexture;

struct TextSize {
    int32_t width = 0;
    int32_t height = 0;
};

class CFreeTypeFont {
public:
    enum OutlineMode { OUTLINE_NONE = 0, OUTLINE_SHADOW = 1, OUTLINE_FULL = 2 };

    // A rasterised character. top: rows from the line's top to the first row.
    struct GlyphEntry {
        int32_t top = 0;
        int32_t width = 0;
        int32_t height = 0;
        std::vector<uint32_t> pixels;  // width x height ARGB, row after row
    };

    CFreeTypeFont();
    ~CFreeTypeFont();
    CFreeTypeFont(const CFreeTypeFont&) = delete;
    CFreeTypeFont& operator=(const CFreeTypeFont&) = delete;

    // Opens the face of file at the pixel size (FreeType's size at 96 dpi).
    // offsetY and offsetX are kept only for sizes of 10 and more. 1 on success;
    // 0 with the error report set (FreeType's error code in the text), and
    // nothing of FreeType left open.
    int Create(int32_t outlineMode, int32_t size, FontFile file, float bold1, float bold2, int32_t gapNarrow,
               int32_t gapWide, int32_t offsetY, int32_t offsetX);
    // Emboldening strengths in pixels, kept as FreeType 26.6 values (negative ones as 0).
    void SetEmbolden(float x, float y);
    // Frees the glyphs and FreeType's face and library.
    void Destroy();

    // The scratch textures (and through them the device) that drawing uses.
    void SetTextures(CZEMFTFontTexture* textures) { m_textures = textures; }

    // Draws text with its mark-up; colour is ARGB.
    void RenderText(int32_t x, int32_t y, uint32_t colour, std::string_view text);
    template <typename... Args>
    void RenderTextF(int32_t x, int32_t y, uint32_t colour, const char* format, const Args&... args) {
        RenderText(x, y, colour, FormatText(format ? format : "", args...));
    }
    // Draws text as it is, tags and all.
    void RenderPlainText(int32_t x, int32_t y, uint32_t colour, std::string_view text);

    // Size of plain text, at most maxBytes of it when 0 < maxBytes (cut between
    // characters). 1 on success; 0 and (0, 0) when a glyph cannot be made.
    int MeasureRun(std::string_view text, int32_t maxBytes, TextSize* out);
    // Size of text with its mark-up (tags take no room).
    int MeasureText(std::string_view text, TextSize* out);

    // The text cut to maxWidth pixels with "..." after it; a text that fits
    // comes back whole. When a single-byte character overflows, the character
    // before it gives way too, to make room for the dots.
    std::string EllipsizeText(std::string_view text, int32_t maxWidth);

    // The text broken into lines of at most widthPx pixels: at blanks (which
    // are dropped) or between two double-byte characters; a word without such
    // a place is cut between characters. Line breaks of the text are kept and
    // tags take no room. In mark-up, every line after the first begins with
    // the colour tag open at its start ("</>" when none), so that each line
    // draws alone in the right colours.
    std::vector<std::string> WrapText(std::string_view text, int32_t widthPx);

    // The glyph of a character code (cached), or null when FreeType fails.
    const GlyphEntry* Glyph(uint16_t code);
    bool IsCached(uint16_t code) const { return m_glyphs[code] != nullptr; }

    int32_t Size() const { return m_size; }
    int32_t LineHeight() const { return m_lineHeight; }
    int32_t LineAdvance() const { return m_lineAdvance; }
    int32_t OutlineMode() const { return m_outlineMode; }
    int32_t TexWidth() const { return m_texWidth; }
    int32_t TexHeight() const { return m_texHeight; }
    int32_t EmboldenX() const { return m_emboldenX; }
    int32_t EmboldenY() const { return m_emboldenY; }
    int32_t OffsetX() const { return m_offsetX; }
    int32_t OffsetY() const { return m_offsetY; }

private:
    struct Face;

    // Moves the pen x over one character (not a newline or carriage return). False when its glyph fails.
    bool Advance(uint16_t code, size_t length, int32_t* x);
    std::unique_ptr<GlyphEntry> Rasterise(uint16_t code);
    void DrawRun(int32_t x, int32_t y, uint32_t colour, std::string_view run);
    void BeginStates(bool colourOp);
    void EndStates();

    int32_t m_size = 12;
    int32_t m_lineHeight = 20;
    int32_t m_outlineMode = OUTLINE_FULL;
    int32_t m_lineAdvance = 22;
    int32_t m_outlineWidth = 1;
    int32_t m_offsetY = 0, m_offsetX = 0;
    int32_t m_gapNarrow = 0, m_gapWide = 0;
    int32_t m_emboldenX = 0, m_emboldenY = 0;
    std::unique_ptr<Face> m_face;
    int32_t m_texWidth = 0, m_texHeight = 0;
    std::vector<std::unique_ptr<GlyphEntry>> m_glyphs;  // 65,536 slots, one per character code
    CZEMFTFontTexture* m_textures = nullptr;
    uint32_t m_blendWasOn = 0;
};
