#include "ui/UiFreeTypeFont.h"

void CUiFreeTypeFont::Measure(std::string_view text, int32_t* width, int32_t* height) const {
    TextSize size{};
    m_font->MeasureText(text, &size);
    if (width) *width = size.width;
    if (height) *height = size.height;
}

void CUiFreeTypeFont::Draw(int32_t x, int32_t y, std::string_view text, uint32_t argb) {
    m_font->RenderText(x, y, argb, text);
}
