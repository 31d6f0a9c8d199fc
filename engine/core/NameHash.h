// The key of every name-indexed table, and the path helpers that cut names
// out of the game's backslash paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/NameHash.h"

using platform::NameHash;

// The part after the last backslash (the whole path when it has none).
std::string FileNamePart(std::string_view path);
// Copies that part into out (capacity bytes, always terminated) and returns out.
const char* FileNamePart(const char* path, char* out, size_t capacity);
// Index of the last backslash, 0 when there is none.
size_t LastBackslash(std::string_view path);

// Folder before the last backslash, name up to the last '.', extension after
// it. Any output may be null. Only the backslash separates folders.
void SplitPath(std::string_view path, std::string* folder, std::string* name, std::string* ext);
