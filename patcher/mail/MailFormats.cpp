#include "patcher/mail/MailFormats.h"

#include <cctype>
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/File.h"

namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::mutex g_typesMutex;
std::string g_typesPath = "/etc/mime.types";

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::string MailDate(time_t when) {
    struct tm t {};
    localtime_r(&when, &t);
    const long offset = t.tm_gmtoff;
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    char text[64];
    std::snprintf(text, sizeof(text), "%3s, %d %3s %4d %02d:%02d:%02d %c%02ld%02ld", kDays[(t.tm_wday % 7 + 7) % 7],
                  t.tm_mday, kMonths[(t.tm_mon % 12 + 12) % 12], t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec,
                  offset < 0 ? '-' : '+', minutes / 60 % 100, minutes % 60);
    return text;
}

void SetMimeTypesPath(std::string path) {
    std::lock_guard<std::mutex> lock(g_typesMutex);
    g_typesPath = path.empty() ? "/etc/mime.types" : std::move(path);
}

std::string ContentTypeForFile(std::string_view fileName) {
    const std::string fallback = "application/octet-stream";
    const size_t slash = fileName.find_last_of("/\\");
    const std::string_view base = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const size_t dot = base.rfind('.');
    if (dot == std::string_view::npos || dot + 1 == base.size()) return fallback;
    const std::string ext = Lower(base.substr(dot + 1));

    std::string path;
    {
        std::lock_guard<std::mutex> lock(g_typesMutex);
        path = g_typesPath;
    }
    std::vector<uint8_t> table;
    if (!platform::ReadWholeFile(path, table)) return fallback;
    // Lines are "type ext ext ...", "#" starts a comment.
    const std::string_view text(reinterpret_cast<const char*>(table.data()), table.size());
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (const size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        std::string_view type;
        size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
            size_t j = i;
            while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j]))) ++j;
            if (j == i) break;
            const std::string_view word = line.substr(i, j - i);
            if (type.empty())
                type = word;
            else if (Lower(word) == ext)
                return std::string(type);
            i = j;
        }
    }
    return fallback;
}

std::string CharsetForCodePage() { return "utf-8"; }
