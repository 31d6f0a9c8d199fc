// Header values made safe to write: a value from a file or a person never
// breaks a header line or closes a quoted parameter early.
#pragma once

#include <string>
#include <string_view>

// The value on one line: CR and LF become blanks.
std::string HeaderValue(std::string_view value);
// A quoted parameter's text: also without quotes and backslashes.
std::string HeaderParameter(std::string_view value);
// A free-text value (the subject): on one line, and as an RFC 2047 encoded
// word in the given charset when it holds bytes outside ASCII.
std::string HeaderText(std::string_view value, std::string_view charset);
