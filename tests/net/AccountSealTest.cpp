// HMAC-MD5, the account record's fields and its sealing.
#include <cstring>
#include <string>

#include "net/AccountSeal.h"
#include "net/HmacMd5.h"
#include "tests/net/NetFixture.h"
#include "tests/servers/FakeGameServer.h"
#include "tools/ProtocolTablesWriter.h"

namespace {

std::string Hex(const uint8_t* d, size_t n) {
    std::string s;
    char b[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(b, sizeof(b), "%02x", d[i]);
        s += b;
    }
    return s;
}

TEST(HmacMd5, Rfc2202Vectors) {
    struct Case {
        std::string key, data;
        const char* digest;
    } cases[] = {
        {std::string(16, '\x0b'), "Hi There", "9294727a3638bb1c13f48ef8158bfc9d"},
        {"Jefe", "what do ya want for nothing?", "750c783e6ab0b503eaa86e310a5db738"},
        {std::string(16, '\xaa'), std::string(50, '\xdd'), "56be34521d144c88dbb8c733f0e8b3f6"},
        {std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13\x14\x15\x16"
                     "\x17\x18\x19",
                     25),
         std::string(50, '\xcd'), "697eaf0aca3a3aea3a75164746ffaa79"},
        {std::string(16, '\x0c'), "Test With Truncation", "56461ef2342edc00f9bab995690efd4c"},
        {std::string(80, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
         "6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd"},
        {std::string(80, '\xaa'), "Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data",
         "6f630fad67cda0ee1fb1f562db3aa53e"},
    };
    for (const Case& c : cases) {
        uint8_t digest[16];
        HmacMd5(c.data.data(), c.data.size(), c.key.data(), c.key.size(), digest);
        EXPECT_EQ(Hex(digest, 16), c.digest) << c.data;
    }
}

class AccountSealTest : public NetTest {
protected:
    void SetUp() override {
        NetTest::SetUp();
        SampleProtocolTables t = MakeSampleProtocolTables();
        ASSERT_EQ(tables.Set(t.permutation, t.experience), 1);
    }
    CProtocolTables tables;
};

TEST_F(AccountSealTest, SealThenOpenGivesTheRecordBack) {
    const AccountRecord record = MakeAccountRecord("player01", "secret", 0xA1B2C3D4u);
    std::array<uint8_t, kSealedRecordSize> sealed;
    ASSERT_EQ(SealAccountRecord(record, sealed), 1);
    AccountRecord opened;
    ASSERT_TRUE(OpenSealedRecord(sealed, tables.GetPermutation(), &opened));
    EXPECT_STREQ(opened.userId, "player01");
    EXPECT_STREQ(opened.password, "secret");
    EXPECT_EQ(opened.key, 0xA1B2C3D4u);
    EXPECT_EQ(opened.versionMajor, 1);
    EXPECT_EQ(opened.versionMinor, 3);
    // A flipped byte no longer matches the digest.
    sealed[5] ^= 1;
    EXPECT_FALSE(OpenSealedRecord(sealed, tables.GetPermutation(), &opened));
}

TEST_F(AccountSealTest, SealingLeavesTheRecordAloneAndRepeats) {
    const AccountRecord record = MakeAccountRecord("player01", "secret", 0x01020304u);
    std::array<uint8_t, kSealedRecordSize> first, second;
    ASSERT_EQ(SealAccountRecord(record, first), 1);
    EXPECT_STREQ(record.userId, "player01");
    EXPECT_STREQ(record.password, "secret");
    ASSERT_EQ(SealAccountRecord(record, second), 1);
    EXPECT_EQ(first, second);
}

TEST_F(AccountSealTest, SealedBytesBeforeThePermutation) {
    // With the identity permutation the sealed layout can be read directly.
    CProtocolTables::Permutation identity;
    for (uint32_t i = 0; i < identity.size(); ++i) identity[i] = i;
    ASSERT_EQ(tables.Set(identity, tables.GetExperience()), 1);
    const AccountRecord record = MakeAccountRecord("AB", "c", 0x44332211u);
    std::array<uint8_t, kSealedRecordSize> sealed;
    ASSERT_EQ(SealAccountRecord(record, sealed), 1);
    auto swapped = [](uint8_t b) { return static_cast<uint8_t>((b << 4) | (b >> 4)); };
    EXPECT_EQ(sealed[0], swapped('A' ^ 0x11));
    EXPECT_EQ(sealed[1], swapped('B' ^ 0x22));
    EXPECT_EQ(sealed[2], swapped(0x33));         // the id's NUL padding
    EXPECT_EQ(sealed[51], swapped('c' ^ 0x11));  // the password starts again at key byte 0
    EXPECT_EQ(Hex(sealed.data() + 72, 8), "1122334401000300");
    uint8_t plain[kAccountRecordSize];
    WriteAccountRecord(record, plain);
    uint8_t digest[16];
    HmacMd5(plain, sizeof(plain), plain + 72, 4, digest);
    EXPECT_EQ(Hex(sealed.data() + 80, 16), Hex(digest, 16));
}

TEST_F(AccountSealTest, TextsAreCutToTheirFields) {
    struct Case {
        std::string id;
        std::string password;
        std::string storedId;
        std::string storedPassword;
    } cases[] = {
        {std::string(50, 'a'), "pw", std::string(50, 'a'), "pw"},
        {std::string(70, 'b'), std::string(30, 'p'), std::string(50, 'b'), std::string(20, 'p')},
        // A double-byte character that would straddle the end is left out whole.
        {std::string(49, 'c') + "\xb0\xa1", "", std::string(49, 'c'), ""},
        {std::string(48, 'c') + "\xb0\xa1", "", std::string(48, 'c') + "\xb0\xa1", ""},
    };
    for (const Case& c : cases) {
        const AccountRecord r = MakeAccountRecord(c.id.c_str(), c.password.c_str(), 1);
        uint8_t plain[kAccountRecordSize];
        WriteAccountRecord(r, plain);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(plain)), c.storedId);
        EXPECT_EQ(plain[50], 0);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(plain + 51)), c.storedPassword);
        EXPECT_EQ(plain[71], 0);
    }
    const AccountRecord noPassword = MakeAccountRecord("id", nullptr, 1);
    for (char ch : noPassword.password) EXPECT_EQ(ch, 0);
}

TEST_F(AccountSealTest, PermutationRoundTrip) {
    std::array<uint8_t, kSealedRecordSize> b, original;
    for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i * 3 + 5);
    original = b;
    PermuteRecord96(b, 1, tables.GetPermutation());
    EXPECT_NE(b, original);
    EXPECT_EQ(b[tables.GetPermutation()[0]], original[0]);
    PermuteRecord96(b, 0, tables.GetPermutation());
    EXPECT_EQ(b, original);
}

TEST_F(AccountSealTest, EnterServerPayload) {
    std::array<uint8_t, kSealedRecordSize> sealed;
    sealed.fill(0xEE);
    for (bool reentry : {false, true}) {
        std::array<uint8_t, kEnterServerSize> payload;
        payload.fill(0x55);
        BuildEnterServerPayload(sealed, reentry, payload);
        EXPECT_EQ(payload[0], 1);
        EXPECT_EQ(payload[1], 0);
        EXPECT_TRUE(std::equal(sealed.begin(), sealed.end(), payload.begin() + 2));
        EXPECT_EQ(payload[98], reentry ? 1 : 0);
        for (size_t i = 99; i < payload.size(); ++i) EXPECT_EQ(payload[i], 0) << i;
    }
}

TEST_F(NetTest, SealingWithoutTablesFails) {
    std::array<uint8_t, kSealedRecordSize> sealed;
    sealed.fill(1);
    EXPECT_EQ(SealAccountRecord(MakeAccountRecord("a", "b", 1), sealed), 0);
    EXPECT_EQ(report.GetCode(), static_cast<uint32_t>(ERR_DATA));
    for (uint8_t b : sealed) EXPECT_EQ(b, 0);
}

}  // namespace
