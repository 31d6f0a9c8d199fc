#include "patcher/mail/AddressList.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The end of a quoted string that opens at `at` (one past the closing quote,
// or the end of the text when it never closes).
size_t SkipQuoted(std::string_view s, size_t at) {
    for (++at; at < s.size(); ++at) {
        if (s[at] == '\\') {
            ++at;
        } else if (s[at] == '"') {
            return at + 1;
        }
    }
    return s.size();
}

// The end of an RFC 2047 encoded word "=?charset?enc?text?=" opening at `at`, or `at` when none opens there.
size_t SkipEncodedWord(std::string_view s, size_t at) {
    if (s.compare(at, 2, "=?") != 0) return at;
    int marks = 0;
    for (size_t i = at + 2; i + 1 < s.size(); ++i) {
        if (s[i] != '?') continue;
        if (marks == 2 && s[i + 1] == '=') return i + 2;
        if (++marks > 2) return at;
    }
    return at;
}

void AddEntry(std::string_view entry, bool bare, std::vector<std::string>& out) {
    entry = Trim(entry);
    if (entry.empty()) return;
    if (!bare) {
        out.emplace_back(entry);
        return;
    }
    size_t at = 0;
    while (at < entry.size()) {
        while (at < entry.size() && IsBlank(entry[at])) ++at;
        size_t end = at;
        while (end < entry.size() && !IsBlank(entry[end])) ++end;
        if (end > at) out.emplace_back(entry.substr(at, end - at));
        at = end;
    }
}

}  // namespace

std::vector<std::string> ParseAddressList(std::string_view text) {
    std::vector<std::string> out;
    size_t start = 0;
    bool angle = false;
    bool bare = true;
    for (size_t at = 0; at <= text.size();) {
        if (at == text.size() || (!angle && (text[at] == ',' || text[at] == ';'))) {
            AddEntry(text.substr(start, at - start), bare, out);
            start = ++at;
            bare = true;
            continue;
        }
        const char c = text[at];
        if (c == '"' && !angle) {
            bare = false;
            at = SkipQuoted(text, at);
            continue;
        }
        if (c == '<') {
            angle = true;
            bare = false;
        } else if (c == '>') {
            angle = false;
        }
        ++at;
    }
    return out;
}

std::string EnvelopeAddress(std::string_view entry) {
    for (size_t at = 0; at < entry.size();) {
        if (entry[at] == '"') {
            at = SkipQuoted(entry, at);
            continue;
        }
        const size_t word = SkipEncodedWord(entry, at);
        if (word != at) {
            at = word;
            continue;
        }
        if (entry[at] == '<') {
            const size_t close = entry.find('>', at + 1);
            const size_t end = close == std::string_view::npos ? entry.size() : close;
            return std::string(Trim(entry.substr(at + 1, end - at - 1)));
        }
        ++at;
    }
    return std::string(Trim(entry));
}

std::string ExtractEnvelopeAddresses(std::string_view headerValue) {
    std::string out;
    for (const std::string& entry : ParseAddressList(headerValue)) {
        const std::string address = EnvelopeAddress(entry);
        if (address.empty()) continue;
        if (!out.empty()) out += ',';
        out += address;
    }
    return out;
}
