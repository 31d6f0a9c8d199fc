// One level of a SKILL record. The skill's kind picks the level's class,
// which reads and writes its own fields after the common ones; the skill
// record owns its levels.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/resource/Resource.h"

class CFileStream;
class CGameDataRecord;

class CSkillLevelRecord {
public:
    CSkillLevelRecord() = default;
    virtual ~CSkillLevelRecord() = default;
    CSkillLevelRecord(const CSkillLevelRecord&) = delete;
    CSkillLevelRecord& operator=(const CSkillLevelRecord&) = delete;

    // The common fields, then the kind's (SerializeKind).
    bool Serialize(CFileStream& stream);
    virtual int Link() {
        linked = 1;
        return 1;
    }
    virtual void ReleaseResources() { linked = 0; }
    // Copies every field of a level of the same class (nothing else).
    virtual void Assign(const CSkillLevelRecord& other);
    virtual int Check() { return 1; }
    virtual float GetLevelValue1() const { return 0.0f; }
    virtual float GetLevelValue2() const { return 0.0f; }
    virtual float GetLevelValue3() const { return 0.0f; }
    virtual float GetLevelValue4() const { return 0.0f; }
    // The radius of the ground a use aimed at a point covers there (the
    // ground marker's radius while it is aimed); 0 for a kind without one.
    virtual float AreaRadius() const { return 0.0f; }

    uint32_t linked = 0;
    float cooldown = 0;  // seconds; 0 = none
    std::string levelText;
    float manaCost = 0;
    uint32_t levelWord3 = 0;
    // The kind's amounts as stored (32-bit integers or floats by kind).
    std::array<uint32_t, 7> amount{};  // amount[1]..amount[6]
    float Amount(size_t i) const;

protected:
    virtual bool SerializeKind(CFileStream&) { return true; }
};

// Kind 0: units summoned (amount1), their count and values; the UNIT it recalls.
class CSkillLevelRecall : public CSkillLevelRecord {
public:
    CSkillLevelRecall();
    int Link() override;
    void ReleaseResources() override;
    void Assign(const CSkillLevelRecord& other) override;
    // Needs a recall unit that the UNIT map holds.
    int Check() override;
    float GetLevelValue1() const override { return Amount(3); }
    float GetLevelValue2() const override { return Amount(6); }
    float GetLevelValue3() const override { return Amount(4); }
    float GetLevelValue4() const override { return Amount(5); }

    std::string recallUnit;
    uint32_t recallKey = 0;
    CGameDataRecord* recallRecord = nullptr;

protected:
    bool SerializeKind(CFileStream& s) override;
};

// Kinds 1, 2, 3, 4, 7 (three amounts; kind 2 has two).
class CSkillLevelAmounts : public CSkillLevelRecord {
public:
    explicit CSkillLevelAmounts(uint32_t kind) : m_kind(kind) {}
    float GetLevelValue1() const override;
    float GetLevelValue2() const override;
    float GetLevelValue3() const override;
    float GetLevelValue4() const override;
    // Of the kinds aimed at the ground only the sweep (kind 4) hits around a
    // point: everything within amount3 of where it stands, the aimed point
    // last. The recall (kind 0) places its units on free spots near the
    // point instead, and the auras reach around their owner.
    float AreaRadius() const override { return m_kind == 4 ? Amount(3) : 0.0f; }

protected:
    bool SerializeKind(CFileStream& s) override;

private:
    uint32_t m_kind;
};

// Kind 5: four amounts, a rate (100.0 in a new level) and a count (1).
class CSkillLevelObjectEffect : public CSkillLevelRecord {
public:
    CSkillLevelObjectEffect();
    float GetLevelValue1() const override { return Amount(2); }

protected:
    bool SerializeKind(CFileStream& s) override;
};

// Kind 6: five amounts and two effects.
class CSkillLevelEffects : public CSkillLevelRecord {
public:
    int Link() override;
    void ReleaseResources() override;
    void Assign(const CSkillLevelRecord& other) override;
    // Fails (without a text of its own) on effect A of type 2 or effect B of type 3.
    int Check() override;
    float GetLevelValue1() const override { return Amount(1); }
    float GetLevelValue4() const override { return Amount(2); }

    std::string effectA, effectB;
    CResource* effectAResource = nullptr;
    CResource* effectBResource = nullptr;
    uint32_t levelWord4 = 0;

protected:
    bool SerializeKind(CFileStream& s) override;
};

// The level class of a skill kind (kind 8's levels have the common fields
// only); null past kind 8.
std::unique_ptr<CSkillLevelRecord> CreateSkillLevel(uint32_t kind);
