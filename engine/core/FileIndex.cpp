#include "engine/core/FileIndex.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <unordered_map>

#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "platform/File.h"
#include "platform/Ini.h"

CFileIndex* g_pFileIndex = nullptr;

namespace {

constexpr size_t kListRecordSize = 32;

uint32_t LoadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

bool EndsWithNoCase(std::string_view name, std::string_view ext) {
    if (name.size() < ext.size()) return false;
    std::string_view tail = name.substr(name.size() - ext.size());
    for (size_t i = 0; i < ext.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(tail[i])) != ext[i]) return false;
    }
    return true;
}

}  // namespace

bool IsIndexedExtension(std::string_view fileName) {
    static constexpr std::string_view kFour[] = {".SRD", ".INI", ".FXO", ".DAT", ".DRA", ".DRC", ".DRM",
                                                 ".DRT", ".DRR", ".XMM", ".DRG", ".DRE", ".DRD", ".DUI",
                                                 ".DDS", ".WAV", ".OGG", ".DRP", ".DRL", ".DLL"};
    if (fileName.size() < 5) return false;
    for (std::string_view ext : kFour) {
        if (EndsWithNoCase(fileName, ext)) return true;
    }
    return EndsWithNoCase(fileName, ".FX");
}

int Md5FileRange(uint8_t digestOut[16], uint32_t size, platform::Md5Context& ctx, const char* path, uint32_t offset,
                 bool compare) {
    platform::File file;
    if (!path || !file.Open(path, platform::File::Mode::Read)) return 0;
    int64_t fileSize = file.Size();
    if (fileSize < 0 || offset > fileSize) return 0;
    uint64_t range = size ? size : static_cast<uint64_t>(fileSize) - offset;
    if (offset + range > static_cast<uint64_t>(fileSize)) return 0;  // the range must lie inside the file
    if (compare && range < 16) return 0;                              // no room for a stored digest
    if (!file.Seek(offset, platform::File::Origin::Begin)) return 0;

    uint64_t toSum = compare ? range - 16 : range;
    std::vector<uint8_t> block(64 * 1024);
    while (toSum > 0) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(toSum, block.size()));
        size_t done = 0;
        if (!file.Read(block.data(), want, &done) || done != want) return 0;
        platform::Md5Update(ctx, block.data(), done);
        toSum -= done;
    }
    uint8_t digest[16];
    platform::Md5Final(ctx, digest);
    if (digestOut) std::memcpy(digestOut, digest, 16);
    if (!compare) return 1;

    uint8_t stored[16];
    size_t done = 0;
    if (!file.Read(stored, 16, &done) || done != 16) return 0;
    return std::memcmp(stored, digest, 16) == 0 ? 1 : 0;
}

CFileIndex::CFileIndex() : m_baseFolder(platform::WorkingFolder()) {
    // On this platform the programs live apart from the game data; the game
    // folder is the working folder both programs are started in.
    if (!g_pFileIndex) g_pFileIndex = this;
}

CFileIndex::~CFileIndex() {
    if (g_pFileIndex == this) g_pFileIndex = nullptr;
}

const CFileIndex::LooseFile* CFileIndex::FindLoose(std::string_view name, uint32_t hash) const {
    const int32_t* first = m_folderMap.Find(hash);
    for (int32_t i = first ? *first - 1 : -1; i >= 0; i = m_looseFiles[static_cast<size_t>(i)].next) {
        const LooseFile& f = m_looseFiles[static_cast<size_t>(i)];
        if (f.name == name) return &f;
    }
    return nullptr;
}

const CFileIndex::LooseFile* CFileIndex::FindLooseByHash(uint32_t hash) const {
    const int32_t* first = m_folderMap.Find(hash);
    if (!first) return nullptr;
    // Package lists name packages by hash only; prefer a package file when
    // two names share the hash.
    for (int32_t i = *first - 1; i >= 0; i = m_looseFiles[static_cast<size_t>(i)].next) {
        const LooseFile& f = m_looseFiles[static_cast<size_t>(i)];
        if (EndsWithNoCase(f.name, ".DRP")) return &f;
    }
    return &m_looseFiles[static_cast<size_t>(*first - 1)];
}

void CFileIndex::ClearFolders() {
    m_folderMap.Clear();
    m_looseFiles.clear();
}

bool CFileIndex::HasFile(const char* fileName) const {
    std::string_view name(fileName ? fileName : "");
    return FindLoose(name, NameHash(name)) != nullptr;
}

void CFileIndex::ScanFolder(const char* folder) {
    std::string root = (folder == nullptr || std::strcmp(folder, ".") == 0) ? m_baseFolder : std::string(folder);
    for (const platform::FolderEntry& e : platform::ListFolder(root)) {
        if (e.name.empty() || e.name[0] == '.') continue;
        std::string path = root + "\\" + e.name;
        if (e.isFolder) {
            ScanFolder(path.c_str());
            continue;
        }
        if (!IsIndexedExtension(e.name)) continue;
        uint32_t hash = NameHash(e.name);
        if (FindLoose(e.name, hash)) continue;  // the first file found under a name wins
        int32_t& first = m_folderMap.Insert(hash);
        m_looseFiles.push_back(LooseFile{e.name, std::move(path), first - 1});
        first = static_cast<int32_t>(m_looseFiles.size());
    }
}

int CFileIndex::LoadPackageList(const char* name) {
    m_packageMap.Clear();
    std::string listName = name ? name : "";
    const LooseFile* loose = FindLoose(listName, NameHash(listName));
    std::string path = loose ? loose->path : listName;
    std::vector<uint8_t> bytes;
    if (!platform::FileExists(path) || !platform::ReadWholeFile(path, bytes)) return 1;  // no list: all files loose

    if (bytes.size() < 4) {
        ErrorReport().SetError(ERR_DATA, "%s : broken package list", listName);
        return 0;
    }
    uint32_t count = LoadLe32(bytes.data());
    if (count > (bytes.size() - 4) / kListRecordSize) {
        ErrorReport().SetError(ERR_DATA, "%s : broken package list (%u entries announced)", listName, count);
        return 0;
    }

    std::unordered_map<uint32_t, int64_t> packageSizes;
    uint32_t dropped = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* r = bytes.data() + 4 + static_cast<size_t>(i) * kListRecordSize;
        uint32_t nameHash = LoadLe32(r);
        PackageEntry entry;
        entry.packageHash = LoadLe32(r + 4);
        entry.length = LoadLe32(r + 24);
        entry.offset = LoadLe32(r + 28);

        auto known = packageSizes.find(entry.packageHash);
        if (known == packageSizes.end()) {
            const LooseFile* package = FindLooseByHash(entry.packageHash);
            int64_t size = package ? platform::FileSize(package->path) : -1;
            known = packageSizes.emplace(entry.packageHash, size).first;
        }
        int64_t packageSize = known->second;
        if (packageSize < 0 || static_cast<uint64_t>(entry.offset) + entry.length > static_cast<uint64_t>(packageSize)) {
            ++dropped;  // its package is missing or too short: the name falls back to a loose file
            continue;
        }
        m_packageMap.Insert(nameHash) = entry;  // a later record of the same name replaces the earlier
    }
    if (dropped) {
        ErrorReport().SetError(ERR_DATA, "%s : %u entries outside their packages were left out", listName, dropped);
    }
    return 1;
}

const PackageEntry* CFileIndex::FindPackageEntry(const char* name) const {
    return m_packageMap.Find(NameHash(name));
}

std::string CFileIndex::ResolvePath(const char* name, uint32_t* offset, uint32_t* size) const {
    if (offset) *offset = 0;
    if (size) *size = 0;
    std::string_view n(name ? name : "");
    uint32_t hash = NameHash(n);
    if (const PackageEntry* entry = m_packageMap.Find(hash)) {
        // Every kept entry's package was indexed when the list was loaded.
        if (const LooseFile* package = FindLooseByHash(entry->packageHash)) {
            if (offset) *offset = entry->offset;
            if (size) *size = entry->length;
            return package->path;
        }
    }
    if (const LooseFile* loose = FindLoose(n, hash)) return loose->path;
    if (!n.empty() && platform::FileExists(n)) return std::string(n);
    return std::string();
}

int CFileIndex::ComputeFileDigest(const char* name, uint8_t digestOut[16], bool compare) const {
    if (!name || !*name) return 0;
    uint32_t offset = 0, size = 0;
    std::string path = ResolvePath(name, &offset, &size);
    if (path.empty()) return 0;
    platform::Md5Context ctx;
    platform::Md5Init(ctx);
    return Md5FileRange(digestOut, size, ctx, path.c_str(), offset, compare);
}

std::string CFileIndex::GetProfileString(const char* section, const char* key, const char* iniPath) const {
    std::string_view s(section ? section : ""), k(key ? key : "");
    uint32_t offset = 0, size = 0;
    std::string path = ResolvePath(iniPath, &offset, &size);
    if (path.empty()) return std::string();
    if (!FindPackageEntry(iniPath ? iniPath : "")) return platform::GetProfileString(s, k, "", path);

    if (size >= 16) {
        // Package entries are stored with the MD5 digest of their bytes after
        // them; those 16 bytes are no INI text and would cling to a last line
        // that lacks its line break.
        platform::Md5Context ctx;
        platform::Md5Init(ctx);
        if (Md5FileRange(nullptr, size, ctx, path.c_str(), offset, true)) size -= 16;
    }
    if (size == 0) return std::string();  // an empty entry, not the rest of its package
    return platform::GetProfileStringRange(s, k, "", path, offset, size);
}
