// Where every data file of the client lies: a loose file of the game folder,
// or an entry of one of the package files listed in "PACKAGELIST.DRL".
//
// "PACKAGELIST.DRL", little-endian:
//   u32 count
//   count records of 32 bytes:
//     u32 nameHash     NameHash of the file name as the game spells it
//     u32 packageHash  NameHash of the package file's name (a .DRP of the folder tree)
//     16 bytes         not read by the client (written as zeros)
//     u32 length       bytes of the entry, its trailing 16-byte MD5 digest included
//     u32 offset       where the entry starts in the package file
// A package file is the entries back to back with no header of its own. The
// last 16 bytes of an entry (and of a loose data file that is checked) are the
// MD5 digest of the bytes before them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/HashTable.h"
#include "platform/Md5.h"

struct PackageEntry {
    uint32_t packageHash = 0;
    uint32_t offset = 0;
    uint32_t length = 0;
};

// True for the extensions the folder scan indexes (case-insensitive test).
bool IsIndexedExtension(std::string_view fileName);

// MD5 of a file range. size 0 means from offset to the end of the file. With
// compare, the last 16 bytes of the range are left out of the sum and must
// equal it. 1 on success (and a match), 0 otherwise.
int Md5FileRange(uint8_t digestOut[16], uint32_t size, platform::Md5Context& ctx, const char* path, uint32_t offset,
                 bool compare);

class CFileIndex {
public:
    CFileIndex();
    virtual ~CFileIndex();
    CFileIndex(const CFileIndex&) = delete;
    CFileIndex& operator=(const CFileIndex&) = delete;

    // Registers the indexable files of a folder and its sub-folders, depth-first
    // in name order; the first file found under a name wins. "." is the base folder.
    void ScanFolder(const char* folder);
    void ClearFolders();
    bool HasFile(const char* fileName) const;

    // Replaces the package entries with those of the named list. A missing list
    // leaves no entries and is no error (every file is then loose). A list whose
    // count does not fit its size is refused whole (0, error report set); a
    // record whose package is not indexed, or whose range lies outside its
    // package, is dropped.
    int LoadPackageList(const char* name);
    bool HasPackages() const { return !m_packageMap.Empty(); }
    size_t PackageEntryCount() const { return m_packageMap.Size(); }
    const PackageEntry* FindPackageEntry(const char* name) const;

    // The path to open for a file name and, for a package entry, its offset and
    // size (0 for a loose file read whole). Either out-parameter may be null.
    // Empty when the file is nowhere.
    std::string ResolvePath(const char* name, uint32_t* offset, uint32_t* size) const;

    // MD5 of a file or package entry; with compare, checks it against the
    // digest stored in its last 16 bytes.
    int ComputeFileDigest(const char* name, uint8_t digestOut[16], bool compare) const;

    // The value of [section] key of an INI file found by name (loose, or an
    // entry of a package read within its range); "" when the key or the file
    // is absent. A package entry that ends in the digest of its text is read
    // without the digest.
    std::string GetProfileString(const char* section, const char* key, const char* iniPath) const;

    const std::string& BaseFolder() const { return m_baseFolder; }
    // The folder "." stands for in scans (tests point it at their own folder).
    void SetBaseFolder(std::string folder) { m_baseFolder = std::move(folder); }

private:
    struct LooseFile {
        std::string name;  // as found on disk; compared on look-up so a hash collision never yields another file
        std::string path;
        int32_t next = -1;  // the next file whose name has the same hash
    };
    const LooseFile* FindLoose(std::string_view name, uint32_t hash) const;
    const LooseFile* FindLooseByHash(uint32_t hash) const;

    std::string m_baseFolder;
    CHashTable<int32_t> m_folderMap;  // name hash -> first index into m_looseFiles, plus one
    std::vector<LooseFile> m_looseFiles;
    CHashTable<PackageEntry> m_packageMap;
};

extern CFileIndex* g_pFileIndex;
