#include "platform/Md5.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {
std::string Hex(const uint8_t d[16]) {
    std::string s;
    char b[3];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(b, sizeof(b), "%02x", d[i]);
        s += b;
    }
    return s;
}
}  // namespace

TEST(Md5, Rfc1321TestSuite) {
    struct Case {
        const char* input;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const Case& c : cases) {
        uint8_t d[16];
        platform::Md5(c.input, std::char_traits<char>::length(c.input), d);
        EXPECT_EQ(Hex(d), c.digest) << c.input;
    }
}

TEST(Md5, PiecewiseUpdatesEqualOneUpdate) {
    std::string text(1000, 'x');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 7);
    uint8_t whole[16];
    platform::Md5(text.data(), text.size(), whole);
    for (size_t step : {1u, 3u, 63u, 64u, 65u, 200u}) {
        platform::Md5Context ctx;
        platform::Md5Init(ctx);
        for (size_t i = 0; i < text.size(); i += step)
            platform::Md5Update(ctx, text.data() + i, std::min(step, text.size() - i));
        uint8_t d[16];
        platform::Md5Final(ctx, d);
        EXPECT_EQ(Hex(d), Hex(whole)) << step;
    }
}
