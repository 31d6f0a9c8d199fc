// The patch server's "FILELIST.DAT": any bytes are refused or read, never more.
#include <cstddef>
#include <cstdint>

#include "patcher/FileList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFileList list;
    std::string badName;
    if (list.Parse(data, size, &badName) == CFileList::ParseError::None) {
        for (const auto& [key, entry] : list.Files()) {
            (void)key;
            if (!CFileList::IsSafeName(entry.name) || entry.name.size() > CFileList::kMaxNameLength) __builtin_trap();
        }
    }
    return 0;
}
