#include "net/AccountSeal.h"

#include <algorithm>
#include <cstring>

#include "engine/core/ErrorReport.h"
#include "net/ByteWriter.h"
#include "net/HmacMd5.h"
#include "platform/CodePage.h"

namespace {

constexpr uint16_t kVersionMajor = 1;
constexpr uint16_t kVersionMinor = 3;
constexpr int kKeyOffset = 72;

void CopyField(char* field, size_t fieldSize, const char* text) {
    std::memset(field, 0, fieldSize);
    if (!text) return;
    std::memcpy(field, text, platform::Cp949CutLength(text, fieldSize - 1));
}

}  // namespace

uint16_t GetNetVersionMajor() { return kVersionMajor; }
uint16_t GetNetVersionMinor() { return kVersionMinor; }

AccountRecord MakeAccountRecord(const char* userId, const char* password, uint32_t key) {
    AccountRecord r;
    CopyField(r.userId, sizeof(r.userId), userId);
    CopyField(r.password, sizeof(r.password), password);
    r.key = key;
    r.versionMajor = kVersionMajor;
    r.versionMinor = kVersionMinor;
    return r;
}

void WriteAccountRecord(const AccountRecord& record, std::span<uint8_t, kAccountRecordSize> out) {
    CByteWriter w(out);
    w.WriteBytes(record.userId, sizeof(record.userId));
    w.WriteBytes(record.password, sizeof(record.password));
    w.WriteU32(record.key);
    w.WriteU16(record.versionMajor);
    w.WriteU16(record.versionMinor);
}

int SealAccountRecord(const AccountRecord& record, std::span<uint8_t, kSealedRecordSize> out) {
    std::fill(out.begin(), out.end(), uint8_t{0});
    if (!g_pProtocolTables || !g_pProtocolTables->IsLoaded()) {
        ErrorReport().SetError(ERR_DATA, "The protocol tables (%s) are not loaded.", CProtocolTables::kFileName);
        return 0;
    }
    std::array<uint8_t, kAccountRecordSize> plain{};
    WriteAccountRecord(record, plain);
    const uint8_t* key = plain.data() + kKeyOffset;

    HmacMd5(plain.data(), plain.size(), key, 4, out.data() + kAccountRecordSize);
    std::memcpy(out.data(), plain.data(), kKeyOffset);
    // The id and the password are scrambled separately, each from key byte 0.
    XorWithKey(out.data(), kAccountIdSize, key, 4);
    XorWithKey(out.data() + kAccountIdSize, kAccountPasswordSize, key, 4);
    SwapNibbles(out.data(), kKeyOffset);
    std::memcpy(out.data() + kKeyOffset, key, kAccountRecordSize - kKeyOffset);
    PermuteRecord96(out, 1, g_pProtocolTables->GetPermutation());
    return 1;
}

void BuildEnterServerPayload(std::span<const uint8_t, kSealedRecordSize> sealed, bool reentry,
                             std::span<uint8_t, kEnterServerSize> out) {
    CByteWriter w(out);
    w.WriteU8(1);
    w.WriteU8(0);
    w.WriteBytes(sealed.data(), sealed.size());
    w.WriteU8(reentry ? 1 : 0);
    w.WriteZeros(out.size() - w.Position());
}

void PermuteRecord96(std::span<uint8_t, kSealedRecordSize> buffer, int direction,
                     const CProtocolTables::Permutation& table) {
    std::array<uint8_t, kSealedRecordSize> tmp{};
    for (size_t i = 0; i < tmp.size(); ++i) {
        // The tables are checked on load; the modulo keeps a stray entry in range.
        const size_t t = table[i] % kSealedRecordSize;
        if (direction == 1)
            tmp[t] = buffer[i];
        else
            tmp[i] = buffer[t];
    }
    std::copy(tmp.begin(), tmp.end(), buffer.begin());
}

void XorWithKey(uint8_t* buffer, size_t size, const uint8_t* key, size_t keyLength) {
    if (!keyLength) return;
    for (size_t i = 0; i < size; ++i) buffer[i] ^= key[i % keyLength];
}

void SwapNibbles(uint8_t* buffer, size_t size) {
    for (size_t i = 0; i < size; ++i) buffer[i] = static_cast<uint8_t>((buffer[i] << 4) | (buffer[i] >> 4));
}
