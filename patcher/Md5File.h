// The MD5 digest of a whole file, the patcher's test of an installed file
// against the list.
#pragma once

#include <cstdint>
#include <string_view>

class CMd5File {
public:
    // Digests the file at a host path; Ok() is false when it cannot be opened or read.
    explicit CMd5File(std::string_view hostPath);

    bool Ok() const { return m_ok; }
    const uint8_t* Digest() const { return m_digest; }
    bool Equals(const uint8_t other[16]) const;

private:
    bool m_ok = false;
    uint8_t m_digest[16] = {};
};
