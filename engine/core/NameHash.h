// The key of every name-indexed table, and the path helpers that cut names
// out of the game's backslash paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

// The part after the last backslash (the whole path when it has none).
std::string FileNamePart(std::string_view path);
// Copies that part into out (capacity bytes, always terminated) and returns out.
const char* FileNamePart(const char* path, char* out, size_t capacity);
// Index of the last backslash, 0 when there is none.
size_t LastBackslash(std::string_view path);

// Folder before the last backslash, name up to the last '.', extension after
// it. Any output may be null. Only the backslash separates folders.
void SplitPath(std::string_view path, std::string* folder, std::string* name, std::string* ext);
