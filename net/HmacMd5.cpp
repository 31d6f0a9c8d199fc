#include "net/HmacMd5.h"

#include <cstring>

#include "platform/Md5.h"

void HmacMd5(const void* data, size_t dataLength, const void* key, size_t keyLength, uint8_t digest[16]) {
    constexpr size_t kBlock = 64;
    uint8_t keyBlock[kBlock] = {};
    if (keyLength > kBlock) {
        platform::Md5(key, keyLength, keyBlock);  // a long key is replaced by its digest
    } else if (keyLength > 0) {
        std::memcpy(keyBlock, key, keyLength);
    }
    uint8_t inner[kBlock];
    uint8_t outer[kBlock];
    for (size_t i = 0; i < kBlock; ++i) {
        inner[i] = keyBlock[i] ^ 0x36;
        outer[i] = keyBlock[i] ^ 0x5c;
    }
    uint8_t innerDigest[16];
    platform::Md5Context ctx;
    platform::Md5Init(ctx);
    platform::Md5Update(ctx, inner, kBlock);
    platform::Md5Update(ctx, data, dataLength);
    platform::Md5Final(ctx, innerDigest);
    platform::Md5Init(ctx);
    platform::Md5Update(ctx, outer, kBlock);
    platform::Md5Update(ctx, innerDigest, sizeof(innerDigest));
    platform::Md5Final(ctx, digest);
}
