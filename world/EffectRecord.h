// An EFFECT record (category 5): a timed state that skills and items put on
// a unit, with its icon, start and end visual effects and one parameter record
// per level. CEffectRecordWithChildren (kinds 1, 2, 8, 11, 12) also names
// child EFFECT records by key.
#pragma once

#include <memory>
#include <vector>

#include "world/EffectParams.h"
#include "world/GameDataRecord.h"

class CEffectRecord : public CGameDataRecord {
public:
    static constexpr uint32_t kKindCount = 24;
    static constexpr uint32_t kFlagNoStack = 1u << 23;  // does not stack under one name

    explicit CEffectRecord(uint32_t effectKind);

    int Serialize(CFileStream& stream) override;
    int Check() override;

    std::string effectText2;
    std::string icon;  // texture (type 7)
    CResource* iconResource = nullptr;
    uint32_t effectWord1 = 0, effectWord2 = 1573002u, effectWord3 = 0x003C0000u;
    std::string startEffect;  // effect resource (type 1)
    CResource* startEffectResource = nullptr;
    uint32_t startWord = 0;
    std::string endEffect;  // effect resource (type 1): shown when the state ends
    CResource* endEffectResource = nullptr;
    uint32_t effectWord4 = 0, effectWord5 = 0, effectWord6 = 0, effectWord7 = 0;
    std::vector<uint32_t> values;
    std::vector<std::unique_ptr<CEffectParam>> params;  // one per level

protected:
    int LinkBody() override;
    void ReleaseBody() override;
    // The child list of the record with children; nothing here.
    virtual bool SerializeChildren(CFileStream&) { return true; }
    virtual int LinkChildren() { return 1; }
};

class CEffectRecordWithChildren : public CEffectRecord {
public:
    explicit CEffectRecordWithChildren(uint32_t effectKind) : CEffectRecord(effectKind) {}
    // The record's checks, then every child key must name an EFFECT record.
    int Check() override;

    std::vector<RecordKey> children;

protected:
    bool SerializeChildren(CFileStream& s) override;
    int LinkChildren() override;
    void ReleaseBody() override;
};

// Kinds 1, 2, 8, 11 and 12 carry children.
bool EffectKindHasChildren(uint32_t kind);
std::unique_ptr<CEffectRecord> CreateEffectRecord(uint32_t kind);
