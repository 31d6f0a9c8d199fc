// Serializing single records to and from bytes for the record tests.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/FileStream.h"
#include "world/GameDataRecord.h"
#include "world/GameDataRegistry.h"

inline std::vector<uint8_t> RecordBytes(CGameDataRecord& record) {
    CFileStream s;
    s.OpenMemoryWrite("RECORD");
    record.Serialize(s);
    return s.Bytes();
}

// Reads a record as the block loader does (the kind of a SKILL or EFFECT
// first); null when it does not read whole.
inline std::unique_ptr<CGameDataRecord> ReadRecord(uint32_t category, const std::vector<uint8_t>& bytes) {
    CFileStream s;
    s.OpenMemory(bytes, "RECORD");
    uint32_t kind = 0;
    if (category == CAT_SKILL || category == CAT_EFFECT) s.ReadU32(kind);
    std::unique_ptr<CGameDataRecord> record = CGameDataRegistry::CreateRecord(category, kind);
    if (!record || !record->Serialize(s) || s.Failed() || s.Remaining() != 0) return nullptr;
    return record;
}
