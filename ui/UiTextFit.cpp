#include "ui/UiTextFit.h"

#include <cstdint>

#include "ui/UiFont.h"

size_t TextCharacterBytes(const std::string& text, size_t at) {
    const bool lead = (static_cast<uint8_t>(text[at]) & 0x80) != 0;
    return lead && at + 1 < text.size() ? 2 : 1;
}

std::string FitTextToWidth(const IUiFont& font, const std::string& text, float room) {
    float width = 0.0f;
    bool inMarkup = false;
    for (size_t at = 0; at < text.size();) {
        const size_t bytes = TextCharacterBytes(text, at);
        if (text[at] == '<') inMarkup = true;
        if (!inMarkup) {
            int32_t w = 0, h = 0;
            font.Measure(std::string_view(text).substr(at, bytes), &w, &h);
            width += static_cast<float>(w);
            if (width > room) return text.substr(0, at) + "...";
        }
        if (text[at] == '>') inMarkup = false;
        at += bytes;
    }
    return text;
}
