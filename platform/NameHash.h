// The key of every name-indexed table: the packages' entries, the data files'
// tables and the patcher's file list all store it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// djb2 over the bytes read as signed chars: h = 5381, h = h * 33 + c. Case
// matters, and Korean bytes (0x80 and above) add negative values, exactly as
// the stored keys of every data file were computed.
constexpr uint32_t NameHash(std::string_view text) {
    uint32_t h = 5381u;
    for (char ch : text) {
        int32_t c = static_cast<int32_t>(static_cast<signed char>(ch));
        h = h * 33u + static_cast<uint32_t>(c);
    }
    return h;
}
inline uint32_t NameHash(const char* text) { return NameHash(std::string_view(text ? text : "")); }
inline uint32_t NameHash(const std::string& text) { return NameHash(std::string_view(text)); }

}  // namespace platform
