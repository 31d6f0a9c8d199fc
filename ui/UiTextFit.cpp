#include "ui/UiTextFit.h"

#include <cstdint>
#include <vector>

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

std::string CutTextToBytes(const std::string& text, size_t maxBytes) {
    size_t end = 0;
    while (end < text.size()) {
        const size_t bytes = TextCharacterBytes(text, end);
        if (end + bytes > maxBytes) break;
        end += bytes;
    }
    return text.substr(0, end);
}

std::vector<std::string> IUiFont::WrapText(std::string_view view, int32_t widthPx) const {
    const std::string text(view);
    std::vector<std::string> lines;
    std::string line;
    auto widthOf = [this](const std::string& s) {
        int32_t w = 0, h = 0;
        Measure(s, &w, &h);
        return w;
    };
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            ++at;
            continue;
        }
        if (text[at] == ' ') {
            if (!line.empty() && widthOf(line + ' ') <= widthPx) line += ' ';
            ++at;
            continue;
        }
        size_t end = at;
        while (end < text.size() && text[end] != ' ' && text[end] != '\n') end += TextCharacterBytes(text, end);
        const std::string word = text.substr(at, end - at);
        if (widthOf(line + word) <= widthPx) {
            line += word;
            at = end;
            continue;
        }
        if (!line.empty()) {
            while (!line.empty() && line.back() == ' ') line.pop_back();
            lines.push_back(std::move(line));
            line.clear();
            if (widthOf(word) <= widthPx) continue;
        }
        // A word wider than a line: as many whole characters as fit, at least one.
        size_t cut = at;
        while (cut < end) {
            const size_t bytes = TextCharacterBytes(text, cut);
            if (cut > at && widthOf(text.substr(at, cut + bytes - at)) > widthPx) break;
            cut += bytes;
        }
        lines.push_back(text.substr(at, cut - at));
        at = cut;
    }
    if (!line.empty() || lines.empty()) lines.push_back(std::move(line));
    return lines;
}
