// Files and folders in the game's own path form. The game spells paths with
// backslashes and expects the case-insensitive lookup of its original file
// system; this layer maps both onto POSIX so the rest of the code never has to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Turns a game path ("DATA\\MESH\\A.DRM") into a host path: backslashes become
// slashes and every component that does not exist as spelled is matched
// case-insensitively against its folder. Components that match nothing are
// kept as spelled, so the result can name a file that is about to be created.
std::string HostPath(std::string_view gamePath);

// Names compared the way the game's file system and profile files compare
// them: ASCII letters without regard to case, every other byte exactly.
bool EqualsNoCase(std::string_view a, std::string_view b);

bool FileExists(std::string_view gamePath);
bool FolderExists(std::string_view gamePath);
// Size of a file in bytes, or -1 when it cannot be read.
int64_t FileSize(std::string_view gamePath);
bool DeleteFile(std::string_view gamePath);
bool RenameFile(std::string_view from, std::string_view to);
// Creates one folder; true also when it already exists.
bool CreateFolder(std::string_view gamePath);
// Creates a folder and every missing parent.
bool CreateFolders(std::string_view gamePath);

struct FolderEntry {
    std::string name;
    bool isFolder = false;
    uint64_t size = 0;
};
// The entries of a folder, "." and ".." left out, sorted by name (byte order)
// so that a walk gives the same order on every machine.
std::vector<FolderEntry> ListFolder(std::string_view gamePath);

// Full path of the running program, and of the folder that holds it.
std::string ExecutablePath();
std::string ExecutableFolder();
std::string WorkingFolder();
bool SetWorkingFolder(std::string_view gamePath);

// Whole-file helpers for small files.
bool ReadWholeFile(std::string_view gamePath, std::vector<uint8_t>& out);
bool WriteWholeFile(std::string_view gamePath, const void* data, size_t size);
// Writes a temporary file beside the file and renames it over the file, so a
// reader (or a crash) sees the old content or the new, never part of either.
bool ReplaceWholeFile(std::string_view gamePath, const void* data, size_t size);

// An open file. Reads report how many bytes really came, so a short read is
// never mistaken for a full one.
class File {
public:
    enum class Mode {
        Read,       // existing file, read only
        Write,      // created or truncated, write only
        ReadWrite,  // existing file, read and write
        Append,     // created when missing, writes go to the end
    };
    enum class Origin { Begin, Current, End };

    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    bool Open(std::string_view gamePath, Mode mode);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    // Reads up to size bytes; *done receives the count read (0 at the end).
    // Returns false only on an I/O error.
    bool Read(void* buffer, size_t size, size_t* done);
    // Writes all bytes; *done receives the count written.
    bool Write(const void* data, size_t size, size_t* done);
    bool Seek(int64_t offset, Origin origin);
    int64_t Tell() const;
    int64_t Size() const;
    bool Flush();

private:
    int m_fd = -1;
};

}  // namespace platform
