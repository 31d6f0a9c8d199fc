// The bounds-checked byte reader under every packet handler: the input is
// both the bytes and, from its first bytes, the order of reads made on them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "net/ByteReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    size_t ops = data[0] % 32;
    if (size < 1 + ops) return 0;
    const uint8_t* plan = data + 1;
    CByteReader r(data + 1 + ops, size - 1 - ops);
    char text[64];
    std::vector<uint8_t> out(256);
    for (size_t i = 0; i < ops; ++i) {
        uint8_t op = plan[i];
        switch (op % 9) {
            case 0: r.ReadU8(); break;
            case 1: r.ReadU16(); break;
            case 2: r.ReadU32(); break;
            case 3: r.ReadU64(); break;
            case 4: r.ReadBytes(out.data(), op % out.size()); break;
            case 5: r.ReadText(text, 1 + op % sizeof(text), op / 4); break;
            case 6: r.Skip(op / 9); break;
            case 7: r.Seek(op / 9); break;
            default: r.ReadI32(); break;
        }
        if (r.Remaining() > size) __builtin_trap();  // the position never passes the end
    }
    return 0;
}
