// Code page 949 conversions through glibc's iconv. See CodePage.h.
#include "platform/CodePage.h"

#include <iconv.h>

#include <cerrno>

namespace platform {
namespace {

// One open converter per direction and thread: opening one loads a gconv
// module, too slow to repeat for every text drawn.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(::iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != kBad) ::iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // How many bytes a bad input character at p spans (at least 1, at most left).
    using SkipFn = size_t (*)(const char* p, size_t left);

    // Converts in, replacing each bad input character (and each character the
    // target lacks) with replacement.
    std::string Run(std::string_view in, std::string_view replacement, SkipFn skip) {
        std::string out;
        if (m_cd == kBad) return out;
        ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // fresh shift state
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[1024];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof(buffer);
            size_t r = ::iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            int err = errno;
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (r != static_cast<size_t>(-1)) break;
            if (err == E2BIG) continue;
            if (err == EILSEQ || err == EINVAL) {
                // Not convertible, or cut off at the end: skip the character.
                out.append(replacement);
                size_t n = skip(src, srcLeft);
                src += n;
                srcLeft -= n;
                ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
                continue;
            }
            break;  // unknown failure: keep what was converted
        }
        char* dst = buffer;
        size_t dstLeft = sizeof(buffer);
        ::iconv(m_cd, nullptr, nullptr, &dst, &dstLeft);  // flush any shift sequence
        out.append(buffer, static_cast<size_t>(dst - buffer));
        return out;
    }

private:
    static inline const iconv_t kBad = reinterpret_cast<iconv_t>(-1);
    iconv_t m_cd;
};

size_t SkipByte(const char*, size_t) { return 1; }

// A whole UTF-8 sequence: its first byte and the continuation bytes after it.
size_t SkipUtf8(const char* p, size_t left) {
    size_t n = 1;
    while (n < left && n < 4 && (static_cast<uint8_t>(p[n]) & 0xC0) == 0x80) ++n;
    return n;
}

size_t SkipUtf32(const char*, size_t left) { return left < 4 ? left : 4; }

constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr std::string_view kUtf32Replacement = std::string_view("\xFD\xFF\x00\x00", 4);

Converter& ToUtf8() {
    thread_local Converter c("UTF-8", "CP949");
    return c;
}
Converter& FromUtf8() {
    thread_local Converter c("CP949", "UTF-8");
    return c;
}
Converter& ToUtf32() {
    thread_local Converter c("UTF-32LE", "CP949");
    return c;
}
Converter& FromUtf32() {
    thread_local Converter c("CP949", "UTF-32LE");
    return c;
}

}  // namespace

std::string Cp949ToUtf8(std::string_view cp949) { return ToUtf8().Run(cp949, kUtf8Replacement, SkipByte); }

std::string Utf8ToCp949(std::string_view utf8) { return FromUtf8().Run(utf8, "?", SkipUtf8); }

std::u32string Cp949ToUtf32(std::string_view cp949) {
    std::string bytes = ToUtf32().Run(cp949, kUtf32Replacement, SkipByte);
    std::u32string out;
    out.reserve(bytes.size() / 4);
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + i);
        out.push_back(static_cast<char32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24)));
    }
    return out;
}

std::string Utf32ToCp949(std::u32string_view utf32) {
    std::string bytes;
    bytes.reserve(utf32.size() * 4);
    for (char32_t c : utf32) {
        uint32_t u = static_cast<uint32_t>(c);
        for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((u >> shift) & 0xFF);
    }
    // Units that are no characters (surrogates, above U+10FFFF) are refused by
    // iconv and replaced like unmappable ones.
    return FromUtf32().Run(bytes, "?", SkipUtf32);
}

bool IsCp949LeadByte(uint8_t b) { return b >= 0x81 && b <= 0xFE; }

bool IsCp949TrailByte(uint8_t b) {
    return (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A) || (b >= 0x81 && b <= 0xFE);
}

size_t Cp949CutLength(std::string_view text, size_t maxBytes) {
    size_t i = 0;
    while (i < text.size()) {
        size_t width = 1;
        if (IsCp949LeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size() &&
            IsCp949TrailByte(static_cast<uint8_t>(text[i + 1]))) {
            width = 2;
        }
        if (i + width > maxBytes) break;
        i += width;
    }
    return i;
}

std::string Cp949Cut(std::string_view text, size_t maxBytes) {
    return std::string(text.substr(0, Cp949CutLength(text, maxBytes)));
}

}  // namespace platform
