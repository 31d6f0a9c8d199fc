#include "tests/fuzz/FuzzSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "tests/fixtures/TempFolder.h"

namespace fuzz {

namespace {

std::unique_ptr<TempFolder>& Folder() {
    static std::unique_ptr<TempFolder> folder;
    return folder;
}

}  // namespace

const std::string& Workspace() {
    std::unique_ptr<TempFolder>& folder = Folder();
    if (!folder) {
        // Millions of small writes: memory-backed storage keeps them off the disk.
        if (::access("/dev/shm", W_OK) == 0) ::setenv("TMPDIR", "/dev/shm", 1);
        folder = std::make_unique<TempFolder>();
        std::atexit([] { Folder().reset(); });
    }
    return folder->path();
}

std::string WriteInput(const std::string& relative, const uint8_t* data, size_t size) {
    std::filesystem::path p = Workspace() + "/" + relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return p.string();
}

void UseReports() {
    static CErrorReport report{true};
    static CMessageTable messages;
    static bool set = false;
    if (set) return;
    set = true;
    messages.SetMsg(MSG_ERROR_FILE_NOT_FOUND, "File not found : %s");
    messages.SetMsg(MSG_ERROR_FILE_VERSION, "Wrong file version : %s");
    messages.SetMsg(MSG_ERROR_FILE_NOT_READ, "File not read : %s");
}

std::vector<uint8_t> SplitInput(const uint8_t* data, size_t size, const char* separator, std::vector<uint8_t>* rest) {
    const uint8_t* end = data + size;
    const size_t n = std::strlen(separator);
    const uint8_t* at = std::search(data, end, separator, separator + n);
    if (rest) rest->clear();
    if (at == end) return std::vector<uint8_t>(data, end);
    if (rest) rest->assign(at + n, end);
    return std::vector<uint8_t>(data, at);
}

NetPacket PacketFromInput(const uint16_t* ids, size_t idCount, const uint8_t* data, size_t size) {
    NetPacket packet;
    packet.id = ids[data[0] % idCount];
    const size_t length = size - 1 < packet.payload.size() ? size - 1 : packet.payload.size();
    packet.length = static_cast<uint16_t>(length);
    if (length) std::memcpy(packet.payload.data(), data + 1, length);
    return packet;
}

}  // namespace fuzz
