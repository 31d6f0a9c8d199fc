// The file stream's field and string reads, the base of every data file: the
// input is the file, read as a run of strings (both forms, several
// capacities) and fields until the stream fails or ends.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/core/FileStream.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::UseReports();
    const std::string path = fuzz::WriteInput("STREAM.DAT", data, size);
    static const size_t kCapacities[] = {1, 2, 16, 64, 260, CFileStream::kMaxString};
    for (int pass = 0; pass < 2; ++pass) {
        CFileStream s;
        if (!s.OpenRead(path.c_str())) return 0;
        char buffer[CFileStream::kMaxString];
        for (int i = 0; !s.Failed() && s.Remaining() > 0 && i < 4096; ++i) {
            size_t capacity = kCapacities[static_cast<size_t>(i + pass) % 6];
            uint32_t before = s.Tell();
            std::string text;
            if (pass == 0) {
                s.ReadString(text, capacity);
                if (text.size() >= capacity) __builtin_trap();
            } else {
                s.ReadString(buffer, capacity);
                if (std::strlen(buffer) >= capacity) __builtin_trap();
            }
            uint32_t u = 0;
            float f = 0;
            uint16_t h = 0;
            uint8_t b = 0;
            s.ReadU32(u);
            s.ReadFloat(f);
            s.Serialize(h);
            s.Serialize(b);
            if (s.Tell() == before) break;
        }
    }
    return 0;
}
