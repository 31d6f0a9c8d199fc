// The content encodings of mail parts: base64, uuencode and quoted-printable.
// Attachments are encoded block by block as they are read, so each encoder is
// a stream that keeps what a block left unfinished (a partial base64 group, a
// part of a uuencode line, a blank that may end the data) until the next
// block or the end: the text is the same as if the whole file were encoded at
// once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Base64 (RFC 2045 alphabet, "=" padding) in lines of 76 characters
// separated by CRLF (none after the last).
std::string Base64Encode(const void* data, size_t size);

class CBase64Stream {
public:
    static constexpr size_t kLineLength = 76;
    void Feed(const uint8_t* data, size_t size, std::string& out);
    void Finish(std::string& out);

private:
    void Group(const uint8_t* in, size_t n, std::string& out);
    uint8_t m_carry[3] = {};
    size_t m_carried = 0;
    size_t m_column = 0;
};

// uuencode: "begin 666 <name>" and lines of 45 bytes in the characters "`"
// (0) to "_", then the empty line "`" and "end", every line ended by CRLF.
class CUuencodeStream {
public:
    static constexpr size_t kLineBytes = 45;
    explicit CUuencodeStream(std::string_view fileName) : m_name(fileName) {}
    void Feed(const uint8_t* data, size_t size, std::string& out);
    void Finish(std::string& out);

private:
    void Begin(std::string& out);
    void Line(const uint8_t* in, size_t n, std::string& out);
    std::string m_name;
    bool m_begun = false;
    uint8_t m_line[kLineBytes] = {};
    size_t m_filled = 0;
};

// Quoted-printable for files: every byte is kept exactly, so CR and LF are
// escaped too, and lines are broken softly ("=" at the end) to at most 76
// characters. "=", bytes outside 33..126 and a blank that ends the data are
// written as "=" and two upper-case hex digits. The text always ends in a soft
// break without CRLF, so the line break before the next boundary adds nothing.
class CQuotedPrintableStream {
public:
    static constexpr size_t kLineLength = 76;
    void Feed(const uint8_t* data, size_t size, std::string& out);
    void Finish(std::string& out);

private:
    void Token(const char* text, size_t n, std::string& out);
    void Escaped(uint8_t b, std::string& out);
    int m_pendingBlank = -1;
    size_t m_column = 0;
};

std::string QuotedPrintableEncode(const void* data, size_t size);
std::string Uuencode(std::string_view fileName, const void* data, size_t size);
