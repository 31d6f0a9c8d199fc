// The account record a client proves itself with, and its sealing under the
// 4-byte key the server sends first (PK_AUTH_KEY). The login server gets the
// user id and password; game and channel servers get the user id alone.
//
// Plain record (80 bytes): char[51] user id, char[21] password (both
// NUL-padded), u32 key, u16 protocol version words 1 and 3.
// Sealed record (96 bytes, then scrambled by the protocol's permutation):
// user id and password each XOR-ed with the key bytes and nibble-swapped, the
// key and version words unchanged, and the HMAC-MD5 of the plain record under
// the key at 80.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "net/ProtocolTables.h"

constexpr int kAccountIdSize = 51;
constexpr int kAccountPasswordSize = 21;
constexpr int kAccountRecordSize = 80;
constexpr int kSealedRecordSize = 96;
constexpr int kEnterServerSize = 134;

struct AccountRecord {
    char userId[kAccountIdSize] = {};
    char password[kAccountPasswordSize] = {};
    uint32_t key = 0;
    uint16_t versionMajor = 1;
    uint16_t versionMinor = 3;
};

uint16_t GetNetVersionMajor();
uint16_t GetNetVersionMinor();

// A record with the texts cut to their fields (never inside a double-byte
// character), the key and the protocol's version words. A null password
// leaves the password field zero, as for game and channel servers.
AccountRecord MakeAccountRecord(const char* userId, const char* password, uint32_t key);
// The plain 80 bytes of a record.
void WriteAccountRecord(const AccountRecord& record, std::span<uint8_t, kAccountRecordSize> out);

// Seals a copy of the record: the caller's record stays as it was, so sealing
// twice gives the same bytes. 1, or 0 with the error report set when the
// protocol tables are not loaded.
int SealAccountRecord(const AccountRecord& record, std::span<uint8_t, kSealedRecordSize> out);
// The payload of PK_ENTER_SERVER: 1, 0, the sealed record, the re-entry flag
// (1 when coming back to the game server from a channel), zeroes to 134.
void BuildEnterServerPayload(std::span<const uint8_t, kSealedRecordSize> sealed, bool reentry,
                             std::span<uint8_t, kEnterServerSize> out);

// Direction 1: out[T[i]] = in[i]; direction 0 undoes it.
void PermuteRecord96(std::span<uint8_t, kSealedRecordSize> buffer, int direction,
                     const CProtocolTables::Permutation& table);
void XorWithKey(uint8_t* buffer, size_t size, const uint8_t* key, size_t keyLength);
void SwapNibbles(uint8_t* buffer, size_t size);
