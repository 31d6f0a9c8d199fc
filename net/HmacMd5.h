// HMAC (RFC 2104) over MD5: the digest that proves a sealed account record
// was made with the key the server sent.
#pragma once

#include <cstddef>
#include <cstdint>

void HmacMd5(const void* data, size_t dataLength, const void* key, size_t keyLength, uint8_t digest[16]);
