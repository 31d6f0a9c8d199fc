// The per-level parameters of an EFFECT record. The effect's kind (0..23)
// picks the class; each class reads and writes `duration` and its values in
// its kind's file order. p[1]..p[9] hold the values as stored (integers or
// floats by kind; the unit effects read them).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "world/GameDataRecord.h"

class CFileStream;

class CEffectParam {
public:
    CEffectParam() = default;
    virtual ~CEffectParam() = default;
    CEffectParam(const CEffectParam&) = delete;
    CEffectParam& operator=(const CEffectParam&) = delete;

    // Kinds 7, 10, 13, 15, 16 and 23: the duration alone.
    virtual bool Serialize(CFileStream& stream);
    // Copies every value of a parameter record of the same class.
    virtual void Assign(const CEffectParam& other);
    virtual int Link() {
        linked = 1;
        return 1;
    }
    virtual void ReleaseResources() { linked = 0; }
    // 1 when usable; effectName names the owning EFFECT record in messages.
    virtual int Check(const std::string& effectName);

    uint32_t linked = 0;
    float duration = 0;  // seconds; 0 or less: no end
    std::array<uint32_t, 10> p{};
};

// Kind 0: an add block and a multiply block of the 17 stats.
class CEffectParamStats : public CEffectParam {
public:
    bool Serialize(CFileStream& s) override;
    void Assign(const CEffectParam& other) override;
    StatBlock statBlockA{}, statBlockB{};
};

// Kinds 1, 2, 4, 6: seven values (p2 is kind 6's chance).
class CEffectParam7 : public CEffectParam {
public:
    CEffectParam7() { p[5] = 1; }
    bool Serialize(CFileStream& s) override;
};

// Kind 3: a reflect chance and two values.
class CEffectParamReflect : public CEffectParam {
public:
    bool Serialize(CFileStream& s) override;
    // A chance of 0 or less is logged, not refused.
    int Check(const std::string& effectName) override;
    float ReflectChance() const { return BitsFloat(p[1]); }
};

// Kinds 5 and 12: values over time, applied every `interval` seconds (p[4]).
class CEffectParamOverTime : public CEffectParam {
public:
    CEffectParamOverTime() { p[7] = p[8] = 1; }
    bool Serialize(CFileStream& s) override;
    float Interval() const { return BitsFloat(p[4]); }
};

// Kind 8.
class CEffectParam4 : public CEffectParam {
public:
    bool Serialize(CFileStream& s) override;
};

// Kind 9: the value after the duration.
class CEffectParamTail1 : public CEffectParam {
public:
    bool Serialize(CFileStream& s) override;
};

// Kind 11: names an EFFECT record.
class CEffectParamNamed : public CEffectParam {
public:
    bool Serialize(CFileStream& s) override;
    void Assign(const CEffectParam& other) override;
    int Link() override;
    std::string targetName;
    CGameDataRecord* target = nullptr;
};

// Kind 14: a count of attacks, at most kMaxCount.
class CEffectParamCount : public CEffectParam {
public:
    static constexpr uint32_t kMaxCount = 6;
    CEffectParamCount() { p[2] = 1; }
    bool Serialize(CFileStream& s) override;
    int Check(const std::string& effectName) override;
    uint32_t Count() const { return p[2]; }
};

// Kind 17: summons copies of a UNIT (p1 summon kind, p2 unit count, p3 level,
// p4 copy-target flag, p5 attribute factor, p6 second flag; duration = life time).
class CEffectParamRecall : public CEffectParam {
public:
    bool Serialize(CFileStream& s) override;
    void Assign(const CEffectParam& other) override;
    int Link() override;
    void ReleaseResources() override;
    int Check(const std::string& effectName) override;
    std::string recallUnit;
    CGameDataRecord* recallRecord = nullptr;
};

// Kinds 18 and 21.
class CEffectParam2 : public CEffectParam {
public:
    bool Serialize(CFileStream& s) override;
};

// Kinds 19, 20 and 22.
class CEffectParam1 : public CEffectParam {
public:
    bool Serialize(CFileStream& s) override;
};

// The parameter class of an effect kind; null past kind 23.
std::unique_ptr<CEffectParam> CreateEffectParam(uint32_t kind);
