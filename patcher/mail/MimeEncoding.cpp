#include "patcher/mail/MimeEncoding.h"

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHex[] = "0123456789ABCDEF";

char UuChar(unsigned v) { return v == 0 ? '`' : static_cast<char>(' ' + (v & 0x3F)); }

}  // namespace

void CBase64Stream::Group(const uint8_t* in, size_t n, std::string& out) {
    const uint32_t v =
        static_cast<uint32_t>(in[0]) << 16 | (n > 1 ? static_cast<uint32_t>(in[1]) << 8 : 0u) | (n > 2 ? in[2] : 0u);
    const char group[4] = {kBase64[v >> 18 & 63], kBase64[v >> 12 & 63], n > 1 ? kBase64[v >> 6 & 63] : '=',
                           n > 2 ? kBase64[v & 63] : '='};
    if (m_column >= kLineLength) {
        out += "\r\n";
        m_column = 0;
    }
    out.append(group, 4);
    m_column += 4;
}

void CBase64Stream::Feed(const uint8_t* data, size_t size, std::string& out) {
    size_t at = 0;
    while (m_carried && m_carried < 3 && at < size) m_carry[m_carried++] = data[at++];
    if (m_carried == 3) {
        Group(m_carry, 3, out);
        m_carried = 0;
    }
    for (; at + 3 <= size; at += 3) Group(data + at, 3, out);
    while (at < size) m_carry[m_carried++] = data[at++];
}

void CBase64Stream::Finish(std::string& out) {
    if (m_carried) Group(m_carry, m_carried, out);
    m_carried = 0;
    m_column = 0;
}

std::string Base64Encode(const void* data, size_t size) {
    std::string out;
    CBase64Stream s;
    s.Feed(static_cast<const uint8_t*>(data), size, out);
    s.Finish(out);
    return out;
}

void CUuencodeStream::Begin(std::string& out) {
    if (m_begun) return;
    out += "begin 666 " + m_name + "\r\n";
    m_begun = true;
}

void CUuencodeStream::Line(const uint8_t* in, size_t n, std::string& out) {
    out += UuChar(static_cast<unsigned>(n));
    for (size_t i = 0; i < n; i += 3) {
        const unsigned a = in[i], b = i + 1 < n ? in[i + 1] : 0, c = i + 2 < n ? in[i + 2] : 0;
        out += UuChar(a >> 2);
        out += UuChar((a << 4 | b >> 4) & 0x3F);
        out += UuChar((b << 2 | c >> 6) & 0x3F);
        out += UuChar(c & 0x3F);
    }
    out += "\r\n";
}

void CUuencodeStream::Feed(const uint8_t* data, size_t size, std::string& out) {
    Begin(out);
    for (size_t at = 0; at < size; ++at) {
        m_line[m_filled++] = data[at];
        if (m_filled == kLineBytes) {
            Line(m_line, m_filled, out);
            m_filled = 0;
        }
    }
}

void CUuencodeStream::Finish(std::string& out) {
    Begin(out);
    if (m_filled) Line(m_line, m_filled, out);
    m_filled = 0;
    out += "`\r\nend\r\n";
}

std::string Uuencode(std::string_view fileName, const void* data, size_t size) {
    std::string out;
    CUuencodeStream s(fileName);
    s.Feed(static_cast<const uint8_t*>(data), size, out);
    s.Finish(out);
    return out;
}

void CQuotedPrintableStream::Token(const char* text, size_t n, std::string& out) {
    // One column stays free for the "=" of a soft break.
    if (m_column + n > kLineLength - 1) {
        out += "=\r\n";
        m_column = 0;
    }
    out.append(text, n);
    m_column += n;
}

void CQuotedPrintableStream::Escaped(uint8_t b, std::string& out) {
    const char t[3] = {'=', kHex[b >> 4], kHex[b & 15]};
    Token(t, 3, out);
}

void CQuotedPrintableStream::Feed(const uint8_t* data, size_t size, std::string& out) {
    for (size_t at = 0; at < size; ++at) {
        const uint8_t b = data[at];
        // A blank is literal only when something follows it, which the next byte shows.
        if (m_pendingBlank >= 0) {
            const char blank = static_cast<char>(m_pendingBlank);
            Token(&blank, 1, out);
            m_pendingBlank = -1;
        }
        if (b == ' ' || b == '\t') {
            m_pendingBlank = b;
        } else if (b >= 33 && b <= 126 && b != '=') {
            const char c = static_cast<char>(b);
            Token(&c, 1, out);
        } else {
            Escaped(b, out);
        }
    }
}

void CQuotedPrintableStream::Finish(std::string& out) {
    if (m_pendingBlank >= 0) Escaped(static_cast<uint8_t>(m_pendingBlank), out);
    m_pendingBlank = -1;
    out += "=";
    m_column = 0;
}

std::string QuotedPrintableEncode(const void* data, size_t size) {
    std::string out;
    CQuotedPrintableStream s;
    s.Feed(static_cast<const uint8_t*>(data), size, out);
    s.Finish(out);
    return out;
}
