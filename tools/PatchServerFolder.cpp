#include "tools/PatchServerFolder.h"

#include <zlib.h>

#include "platform/File.h"
#include "tools/FileListWriter.h"

namespace {

bool IsPackage(const std::string& name) {
    return name.size() >= 4 && name.compare(name.size() - 4, 4, ".DRP") == 0;
}

// Adds every file below folder (host path) whose list name starts with prefix.
bool AddFolder(const std::string& folder, const std::string& prefix, const std::string& serverFolder,
               CFileListWriter& list) {
    for (const platform::FolderEntry& e : platform::ListFolder(folder)) {
        std::string path = folder + "/" + e.name;
        std::string name = prefix + e.name;
        std::string target = serverFolder + "/" + e.name;
        if (e.isFolder) {
            if (!platform::CreateFolders(target) || !AddFolder(path, name + "\\", target, list)) return false;
            continue;
        }
        std::vector<uint8_t> bytes;
        if (!platform::ReadWholeFile(path, bytes)) return false;
        list.AddFile(name, bytes);
        if (IsPackage(name)) {
            std::vector<uint8_t> packed = CompressDrz(bytes);
            if (!platform::WriteWholeFile(target + ".DRZ", packed.data(), packed.size())) return false;
        } else if (!platform::WriteWholeFile(target, bytes.data(), bytes.size())) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<uint8_t> CompressDrz(const std::vector<uint8_t>& bytes) {
    uLongf size = compressBound(bytes.size());
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, bytes.data(), bytes.size(), Z_BEST_COMPRESSION) != Z_OK) return {};
    out.resize(size);
    return out;
}

int MakePatchServerFolder(const std::string& game, const std::string& server, const std::string& rootPath,
                          uint32_t level) {
    std::string root = rootPath.empty() ? server : server + "/" + rootPath;
    if (!platform::FolderExists(game) || !platform::CreateFolders(root)) return 0;
    CFileListWriter list(level);
    if (!AddFolder(platform::HostPath(game), ".\\", platform::HostPath(root), list)) return 0;
    return list.Write(root + "/FILELIST.DAT") ? 1 : 0;
}
