#include "patcher/Md5File.h"

#include <cstring>
#include <vector>

#include "platform/File.h"
#include "platform/Md5.h"

CMd5File::CMd5File(std::string_view hostPath) {
    platform::File file;
    if (!file.Open(hostPath, platform::File::Mode::Read)) return;
    platform::Md5Context ctx;
    platform::Md5Init(ctx);
    // Large blocks: a game folder is gigabytes, and each read is a system call.
    std::vector<uint8_t> block(1 << 20);
    while (true) {
        size_t done = 0;
        if (!file.Read(block.data(), block.size(), &done)) return;
        if (done == 0) break;
        platform::Md5Update(ctx, block.data(), done);
    }
    platform::Md5Final(ctx, m_digest);
    m_ok = true;
}

bool CMd5File::Equals(const uint8_t other[16]) const { return m_ok && std::memcmp(m_digest, other, 16) == 0; }
