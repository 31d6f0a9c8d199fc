// The UI's view of one of the game's FreeType fonts: the UI manager's font
// table holds these, in the order the fonts were created, so a layout's font
// index names the same font as the rest of the client.
#pragma once

#include "engine/text/FreeTypeFont.h"
#include "ui/UiFont.h"

class CUiFreeTypeFont : public IUiFont {
public:
    explicit CUiFreeTypeFont(CFreeTypeFont* font) : m_font(font) {}

    void Measure(std::string_view text, int32_t* width, int32_t* height) const override;
    void Draw(int32_t x, int32_t y, std::string_view text, uint32_t argb) override;
    int32_t LineHeight() const override { return m_font->LineHeight(); }
    // The font's own pen offsets are the room controls leave around its text.
    int32_t LeftMargin() const override { return m_font->OffsetX(); }
    int32_t TopMargin() const override { return m_font->OffsetY(); }
    int32_t RightMargin() const override { return m_font->OffsetX(); }
    std::vector<std::string> WrapText(std::string_view text, int32_t widthPx) const override {
        return m_font->WrapText(text, widthPx);
    }

private:
    CFreeTypeFont* m_font;
};
