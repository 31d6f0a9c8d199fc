// Fuzz target: the bytes of a replay file. The reader reads nothing past
// them, and every entry it accepts lies inside them with its type's size.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "commands/CommandRecords.h"
#include "commands/Replay.h"
#include "engine/core/BlockReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CBlockReader in(std::vector<uint8_t>(data, data + size));
    ReplayContents contents;
    if (!ParseReplay(in, contents)) return 0;
    for (const ReplayContents::Entry& e : contents.entries) {
        if (e.offset + 2 > size) __builtin_trap();
        const uint8_t type = data[e.offset];
        const uint8_t length = GameCommandSize(type);
        if (length == 0 || data[e.offset + 1] != length || e.offset + length > size) __builtin_trap();
    }
    return 0;
}
