// MD5 message digest (RFC 1321). Package entries, map files, the patcher's file
// list and the network's HMAC all use it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct Md5Context {
    uint32_t state[4];
    uint32_t count[2];  // bits summed, low word first
    uint8_t buffer[64];
};

void Md5Init(Md5Context& ctx);
void Md5Update(Md5Context& ctx, const void* data, size_t size);
void Md5Final(Md5Context& ctx, uint8_t digest[16]);
void Md5(const void* data, size_t size, uint8_t digest[16]);

}  // namespace platform
