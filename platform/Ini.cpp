// Profile strings over INI text, with the rules of the original's profile calls
// (see Ini.h). Lines end in "\n", "\r\n" or "\r"; a line is a section header
// "[name]", a "key=value" pair, a comment starting with ';', or anything else,
// which is ignored. Sections of the same name count as one, in file order; the
// first pair of a key wins.
#include "platform/Ini.h"

#include <vector>

#include "platform/CodePage.h"
#include "platform/File.h"

namespace platform {
namespace {

// The original read into a 512-byte buffer: 511 bytes and the terminating zero.
constexpr size_t kMaxValueBytes = 511;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Calls visit(line, start offset, end offset) for each line of text, the line
// end not included; stops when visit returns false.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    size_t i = 0;
    while (i < text.size()) {
        size_t end = i;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        if (!visit(text.substr(i, end - i), i, end)) return;
        i = end;
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
    }
}

// The name of a section header line, or false when line is no header.
bool SectionName(std::string_view line, std::string_view* name) {
    if (line.empty() || line.front() != '[') return false;
    size_t close = line.rfind(']');
    if (close == std::string_view::npos) return false;
    *name = Trim(line.substr(1, close - 1));
    return true;
}

// The key and value of a "key=value" line, both trimmed.
bool KeyValue(std::string_view line, std::string_view* key, std::string_view* value) {
    if (line.empty() || line.front() == ';') return false;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    *key = Trim(line.substr(0, eq));
    *value = Trim(line.substr(eq + 1));
    return true;
}

// A value as the caller receives it: one pair of matching quotes around it
// removed, then cut to the buffer the original read into without splitting a
// double-byte character.
std::string Deliver(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return Cp949Cut(value, kMaxValueBytes);
}

std::string LookUp(std::string_view text, std::string_view section, std::string_view key, std::string_view def) {
    bool inSection = false;
    std::string_view found;
    bool have = false;
    ForEachLine(text, [&](std::string_view raw, size_t, size_t) {
        std::string_view line = Trim(raw);
        std::string_view name, value;
        if (SectionName(line, &name)) {
            inSection = EqualsNoCase(name, section);
        } else if (inSection && KeyValue(line, &name, &value) && EqualsNoCase(name, key)) {
            found = value;
            have = true;
        }
        return !have;
    });
    return Deliver(have ? found : def);
}

// Reads [offset, offset + size) of a file (size 0: to the end). Text past the
// range is never read, so an INI kept in a package cannot run into the next entry.
bool ReadRange(std::string_view gamePath, uint64_t offset, uint64_t size, std::string* out) {
    File file;
    if (!file.Open(gamePath, File::Mode::Read)) return false;
    int64_t fileSize = file.Size();
    if (fileSize < 0 || offset > static_cast<uint64_t>(fileSize)) return false;
    uint64_t available = static_cast<uint64_t>(fileSize) - offset;
    uint64_t want = size == 0 || size > available ? available : size;
    if (!file.Seek(static_cast<int64_t>(offset), File::Origin::Begin)) return false;
    out->resize(static_cast<size_t>(want));
    size_t done = 0;
    if (!file.Read(out->data(), out->size(), &done)) return false;
    out->resize(done);
    return true;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

std::string GetProfileString(std::string_view section, std::string_view key, std::string_view def,
                             std::string_view gamePath) {
    return GetProfileStringRange(section, key, def, gamePath, 0, 0);
}

std::string GetProfileStringRange(std::string_view section, std::string_view key, std::string_view def,
                                  std::string_view gamePath, uint64_t offset, uint64_t size) {
    std::string text;
    if (!ReadRange(gamePath, offset, size, &text)) return Deliver(def);
    return GetProfileStringFromText(text, section, key, def);
}

bool ReadProfileText(std::string_view gamePath, uint64_t offset, uint64_t size, std::string* text) {
    return ReadRange(gamePath, offset, size, text);
}

std::string GetProfileStringFromText(std::string_view text, std::string_view section, std::string_view key,
                                     std::string_view def) {
    return LookUp(text, Trim(section), Trim(key), def);
}

int GetProfileInt(std::string_view section, std::string_view key, int def, std::string_view gamePath) {
    std::string value = GetProfileString(section, key, "", gamePath);
    if (value.empty()) return def;
    // A sign and the digits after it; anything else ends the number (no digits: 0).
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
    uint32_t n = 0;  // wraps on overflow instead of overflowing a signed int
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        n = n * 10u + static_cast<uint32_t>(value[i] - '0');
    }
    if (negative) n = 0u - n;
    return static_cast<int>(n);
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        std::string_view gamePath) {
    // A line break would let a value add keys or sections of its own; names
    // must also survive being read back as names.
    std::string_view trimmedSection = Trim(section);
    std::string_view trimmedKey = Trim(key);
    if (trimmedSection.empty() || trimmedKey.empty() || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value) || section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos ||
        trimmedKey.front() == ';' || trimmedKey.front() == '[') {
        return false;
    }

    std::string text;
    std::vector<uint8_t> bytes;
    if (FileExists(gamePath)) {
        if (!ReadWholeFile(gamePath, bytes)) return false;
        text.assign(bytes.begin(), bytes.end());
    }
    std::string_view eol = text.empty() || text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    std::string pair = std::string(trimmedKey) + "=" + std::string(value);

    // Find the key's line, or else the end of the last non-blank line of the
    // first matching section, where a new key goes.
    bool inSection = false;
    bool inFirst = false;  // inside the first matching section
    bool sectionSeen = false;
    size_t insertAt = std::string::npos;
    size_t replaceFrom = std::string::npos, replaceTo = 0;
    ForEachLine(text, [&](std::string_view raw, size_t start, size_t end) {
        std::string_view line = Trim(raw);
        std::string_view name, v;
        if (SectionName(line, &name)) {
            inSection = EqualsNoCase(name, trimmedSection);
            inFirst = inSection && !sectionSeen;
            if (inFirst) {
                sectionSeen = true;
                insertAt = end;
            }
        } else if (inSection) {
            if (KeyValue(line, &name, &v) && EqualsNoCase(name, trimmedKey)) {
                replaceFrom = start;
                replaceTo = end;
                pair = std::string(name) + "=" + std::string(value);  // the key keeps its spelling
                return false;
            }
            if (inFirst && !line.empty()) insertAt = end;  // new keys go after the section's last line
        }
        return true;
    });

    if (replaceFrom != std::string::npos) {
        text.replace(replaceFrom, replaceTo - replaceFrom, pair);
    } else if (sectionSeen) {
        text.insert(insertAt, std::string(eol) + pair);
    } else {
        if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += eol;
        text.append("[").append(trimmedSection).append("]").append(eol).append(pair).append(eol);
    }
    return ReplaceWholeFile(gamePath, text.data(), text.size());
}

}  // namespace platform
