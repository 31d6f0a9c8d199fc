// Mail address lists as a person writes them in a header or in VAZE.INI:
// 'QOR Team <a@x>, "Kim, J." <b@y>, c@z'.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a list at commas (and semicolons) outside quotes and "<" ">". A
// quoted display name ("...", with backslash escapes) stays with its address.
// An entry with neither a quote nor "<" is a run of bare addresses and is also
// split at blanks. Entries are trimmed; empty ones are dropped.
std::vector<std::string> ParseAddressList(std::string_view text);

// The address of one entry for the envelope: the text inside "<" ">" (quoted
// strings and RFC 2047 encoded words are skipped when looking for it), or,
// when there is none, the entry as it stands (trimmed). "" when the
// entry holds no address.
std::string EnvelopeAddress(std::string_view entry);

// The envelope addresses of a header value, joined by ",".
std::string ExtractEnvelopeAddresses(std::string_view headerValue);
