// INI files read with the rules of the original's profile-string calls:
// section and key names match without regard to case, blanks around names and
// values are trimmed, a value is cut at 511 bytes, and a missing key gives the
// default (normally ""). An INI can be read from a whole file or from a byte
// range of one (an entry of a package file).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// GetPrivateProfileString: the value of [section] key in the file, or def.
std::string GetProfileString(std::string_view section, std::string_view key, std::string_view def,
                             std::string_view gamePath);
// The same over the byte range [offset, offset + size) of a file; size 0 reads to the end.
std::string GetProfileStringRange(std::string_view section, std::string_view key, std::string_view def,
                                  std::string_view gamePath, uint64_t offset, uint64_t size);
// GetPrivateProfileInt: the leading decimal number of the value, or def.
// The text of an INI file, or of [offset, offset + size) of it (size 0: to
// the end), for a reader that looks up many keys in it: false when it cannot
// be read.
bool ReadProfileText(std::string_view gamePath, uint64_t offset, uint64_t size, std::string* text);
// A key's value in INI text read by ReadProfileText, as GetProfileString gives it.
std::string GetProfileStringFromText(std::string_view text, std::string_view section, std::string_view key,
                                     std::string_view def);

int GetProfileInt(std::string_view section, std::string_view key, int def, std::string_view gamePath);
// WritePrivateProfileString: sets (or adds) [section] key=value, creating the
// file and the section as needed. The file is replaced atomically.
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        std::string_view gamePath);

}  // namespace platform
