#include "patcher/mail/MimeHeader.h"

#include "patcher/mail/MimeEncoding.h"

std::string HeaderValue(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

std::string HeaderParameter(std::string_view value) {
    std::string out;
    for (char c : HeaderValue(value))
        if (c != '"' && c != '\\') out += c;
    return out;
}

std::string HeaderText(std::string_view value, std::string_view charset) {
    const std::string line = HeaderValue(value);
    bool plain = true;
    for (char c : line)
        if (static_cast<unsigned char>(c) >= 0x80) plain = false;
    if (plain) return line;
    std::string encoded = Base64Encode(line.data(), line.size());
    std::string joined;
    for (char c : encoded)
        if (c != '\r' && c != '\n') joined += c;
    return "=?" + std::string(charset) + "?B?" + joined + "?=";
}
