#include "engine/text/ColorMarkup.h"

#include "platform/CodePage.h"

namespace {

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

uint32_t HexValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
    return static_cast<uint32_t>(c - 'A' + 10);
}

// Reads hexadecimal digits as "%x" would: an optional "0x", then digits up to
// the first other character; the low 32 bits are kept.
uint32_t ParseHex(std::string_view s) {
    size_t i = 0;
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) i = 2;
    uint32_t v = 0;
    for (; i < s.size() && IsHexDigit(s[i]); ++i) v = (v << 4) | HexValue(s[i]);
    return v;
}

}  // namespace

size_t CharLengthAt(std::string_view text, size_t pos) {
    if (pos >= text.size()) return 0;
    auto b = static_cast<uint8_t>(text[pos]);
    if (b < 0x80) return 1;
    if (pos + 1 < text.size() && platform::IsCp949LeadByte(b) &&
        platform::IsCp949TrailByte(static_cast<uint8_t>(text[pos + 1])))
        return 2;
    return 1;
}

uint16_t CharCodeAt(std::string_view text, size_t pos, size_t length) {
    auto lead = static_cast<uint8_t>(text[pos]);
    if (length < 2) return lead;
    return static_cast<uint16_t>((lead << 8) | static_cast<uint8_t>(text[pos + 1]));
}

bool BeginsWithColorTag(std::string_view text) {
    if (text.starts_with("</>")) return true;
    if (!text.starts_with("</C=")) return false;
    size_t digits = 0;
    while (4 + digits < text.size() && IsHexDigit(text[4 + digits])) ++digits;
    return (digits == 6 || digits == 8) && 4 + digits < text.size() && text[4 + digits] == '>';
}

uint32_t TagColor(uint32_t value, uint32_t defaultColor) {
    return (value & 0xFF000000u) ? value : (value | (defaultColor & 0xFF000000u));
}

CColorMarkupReader::CColorMarkupReader(std::string_view text) : m_text(text), m_markup(BeginsWithColorTag(text)) {}

CColorMarkupReader::Piece CColorMarkupReader::Next() {
    Piece piece;
    size_t n = m_text.size();
    if (m_pos >= n || m_text[m_pos] == '\r') {
        m_pos = n;
        return piece;
    }
    size_t start = m_pos;
    if (!m_markup) {
        size_t end = m_text.find('\r', start);
        m_pos = end == std::string_view::npos ? n : end;
        piece.kind = Kind::Run;
        piece.text = m_text.substr(start, m_pos - start);
        return piece;
    }
    if (m_text[start] == '\n') {
        m_pos = start + 1;
        piece.kind = Kind::Newline;
        return piece;
    }
    if (m_text.compare(start, 2, "</") == 0) {
        // The tag runs to its '>' (or the end). Walked by characters: a 'C' or
        // '>' byte may not be taken from inside a double-byte character.
        size_t i = start + 2, colorAt = std::string_view::npos;
        while (i < n && m_text[i] != '>') {
            if (m_text[i] == 'C' && colorAt == std::string_view::npos) colorAt = i;
            i += CharLengthAt(m_text, i);
        }
        m_pos = i < n ? i + 1 : n;
        piece.text = m_text.substr(start, m_pos - start);
        if (colorAt == std::string_view::npos) {
            piece.kind = Kind::Reset;
        } else {
            size_t digits = colorAt + 1;
            if (digits < i && m_text[digits] == '=') ++digits;
            piece.kind = Kind::Color;
            piece.value = ParseHex(m_text.substr(digits, i - digits));
        }
        return piece;
    }
    size_t i = start;
    while (i < n && m_text[i] != '\n' && m_text[i] != '\r' && m_text.compare(i, 2, "</") != 0)
        i += CharLengthAt(m_text, i);
    m_pos = i;
    piece.kind = Kind::Run;
    piece.text = m_text.substr(start, i - start);
    return piece;
}

std::string StripColorTags(std::string_view text) {
    CColorMarkupReader reader(text);
    if (!reader.IsMarkup()) return std::string(text);
    std::string out;
    for (auto piece = reader.Next(); piece.kind != CColorMarkupReader::Kind::End; piece = reader.Next()) {
        if (piece.kind == CColorMarkupReader::Kind::Run) out += piece.text;
    }
    return out;
}
