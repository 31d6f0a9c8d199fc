#include "engine/core/NameHash.h"

#include <cstring>

size_t LastBackslash(std::string_view path) {
    size_t p = path.rfind('\\');
    return p == std::string_view::npos ? 0 : p;
}

std::string FileNamePart(std::string_view path) {
    size_t p = path.rfind('\\');
    return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

const char* FileNamePart(const char* path, char* out, size_t capacity) {
    if (!out || capacity == 0) return out;
    std::string part = FileNamePart(std::string_view(path ? path : ""));
    size_t n = part.size() < capacity - 1 ? part.size() : capacity - 1;
    std::memcpy(out, part.data(), n);
    out[n] = '\0';
    return out;
}

void SplitPath(std::string_view path, std::string* folder, std::string* name, std::string* ext) {
    size_t slash = path.rfind('\\');
    std::string_view dir = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
    std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
    size_t dot = file.rfind('.');
    if (folder) *folder = std::string(dir);
    // Without a '.', the whole file part is the name and the extension is empty.
    if (name) *name = std::string(dot == std::string_view::npos ? file : file.substr(0, dot));
    if (ext) *ext = dot == std::string_view::npos ? std::string() : std::string(file.substr(dot + 1));
}
