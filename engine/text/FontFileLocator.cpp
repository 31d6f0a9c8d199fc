#include "engine/text/FontFileLocator.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/FileIndex.h"
#include "engine/core/MessageTable.h"
#include "platform/File.h"
#include "platform/Md5.h"

#include <cstring>

namespace {

// Windows' Korean fonts are collections: Gulim, GulimChe, Dotum and DotumChe in
// one file, Batang, BatangChe, Gungsuh and GungsuhChe in another. The fixed-
// pitch faces ("Che") become the Nanum coding font; the others the Nanum face
// of the same style. A substitute file holds one face, so its face is 0.
constexpr FontSubstitute kSubstitutes[] = {
    {"gulim.ttc", 0, "NanumGothic.ttf"},       {"gulim.ttc", 1, "NanumGothicCoding.ttf"},
    {"gulim.ttc", 2, "NanumGothic.ttf"},       {"gulim.ttc", 3, "NanumGothicCoding.ttf"},
    {"batang.ttc", 0, "NanumMyeongjo.ttf"},    {"batang.ttc", 1, "NanumGothicCoding.ttf"},
    {"batang.ttc", 2, "NanumMyeongjo.ttf"},    {"batang.ttc", 3, "NanumGothicCoding.ttf"},
    {"malgun.ttf", -1, "NanumGothic.ttf"},     {"malgunbd.ttf", -1, "NanumGothicBold.ttf"},
    {"arial.ttf", -1, "NanumGothic.ttf"},      {"arialbd.ttf", -1, "NanumGothicBold.ttf"},
    {"tahoma.ttf", -1, "NanumGothic.ttf"},     {"tahomabd.ttf", -1, "NanumGothicBold.ttf"},
    {"verdana.ttf", -1, "NanumGothic.ttf"},    {"verdanab.ttf", -1, "NanumGothicBold.ttf"},
    {"times.ttf", -1, "NanumMyeongjo.ttf"},    {"timesbd.ttf", -1, "NanumMyeongjoBold.ttf"},
    {"cour.ttf", -1, "NanumGothicCoding.ttf"}, {"courbd.ttf", -1, "NanumGothicCodingBold.ttf"},
};

// Font folders nest by foundry and family; deeper trees are not font folders.
constexpr int kMaxFolderDepth = 4;

std::string_view FileNamePart(std::string_view name) {
    size_t cut = name.find_last_of("\\/");
    return cut == std::string_view::npos ? name : name.substr(cut + 1);
}

std::string SearchFolder(const std::string& folder, std::string_view name, int depth) {
    std::vector<platform::FolderEntry> entries = platform::ListFolder(folder);
    for (const auto& e : entries) {
        if (!e.isFolder && platform::EqualsNoCase(e.name, name)) return folder + "/" + e.name;
    }
    if (depth >= kMaxFolderDepth) return std::string();
    for (const auto& e : entries) {
        if (!e.isFolder) continue;
        std::string found = SearchFolder(folder + "/" + e.name, name, depth + 1);
        if (!found.empty()) return found;
    }
    return std::string();
}

// A package entry's bytes. Entries are stored with the MD5 digest of their
// bytes after them; the digest is no part of the font.
bool ReadPackageEntry(const std::string& path, uint32_t offset, uint32_t size, std::vector<uint8_t>* out) {
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read)) return false;
    int64_t fileSize = file.Size();
    if (fileSize < 0 || static_cast<uint64_t>(offset) + size > static_cast<uint64_t>(fileSize)) return false;
    if (!file.Seek(offset, platform::File::Origin::Begin)) return false;
    out->resize(size);
    size_t done = 0;
    if (size && (!file.Read(out->data(), size, &done) || done != size)) return false;
    if (size >= 16) {
        uint8_t digest[16];
        platform::Md5(out->data(), size - 16, digest);
        if (std::memcmp(digest, out->data() + size - 16, 16) == 0) out->resize(size - 16);
    }
    return true;
}

}  // namespace

const FontSubstitute* CFontFileLocator::FindSubstitute(std::string_view name, int32_t faceIndex) {
    for (const FontSubstitute& s : kSubstitutes) {
        if (platform::EqualsNoCase(s.windowsName, name) && (s.windowsFace < 0 || s.windowsFace == faceIndex)) return &s;
    }
    return nullptr;
}

std::string CFontFileLocator::FindInSystemFolder(std::string_view name) const {
    if (m_systemFolder.empty() || name.empty() || !platform::FolderExists(m_systemFolder)) return std::string();
    return SearchFolder(m_systemFolder, name, 0);
}

int CFontFileLocator::Locate(const char* name, int32_t faceIndex, FontFile* out) const {
    const char* n = name ? name : "";
    *out = FontFile();
    out->faceIndex = faceIndex;

    uint32_t offset = 0, size = 0;
    std::string path;
    if (g_pFileIndex) {
        path = g_pFileIndex->ResolvePath(n, &offset, &size);
        if (!path.empty() && g_pFileIndex->FindPackageEntry(n)) {
            if (ReadPackageEntry(path, offset, size, &out->bytes)) return 1;
            path.clear();
        }
    } else if (*n && platform::FileExists(n)) {
        path = n;
    }
    if (path.empty()) path = FindInSystemFolder(FileNamePart(n));
    if (path.empty()) {
        if (const FontSubstitute* s = FindSubstitute(FileNamePart(n), faceIndex)) {
            path = FindInSystemFolder(s->installedName);
            if (!path.empty()) out->faceIndex = 0;
        }
    }
    if (path.empty()) {
        ErrorReport().SetError(ERR_FILE_NOT_FOUND, FileNotFoundFormat(), n);
        return 0;
    }
    out->path = std::move(path);
    return 1;
}
