#include "world/EffectParams.h"

#include <cstdio>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "world/GameDataRegistry.h"

namespace {

bool Words(CFileStream& s, CEffectParam& e, std::initializer_list<int> order) {
    // -1 stands for the duration in a kind's order.
    for (int i : order) {
        if (i < 0)
            s.Serialize(e.duration);
        else
            s.Serialize(e.p[static_cast<size_t>(i)]);
    }
    return !s.Failed();
}

constexpr int D = -1;

}  // namespace

bool CEffectParam::Serialize(CFileStream& s) { return Words(s, *this, {D}); }

void CEffectParam::Assign(const CEffectParam& other) {
    linked = other.linked;
    duration = other.duration;
    p = other.p;
}

int CEffectParam::Check(const std::string&) { return 1; }

bool CEffectParamStats::Serialize(CFileStream& s) {
    return SerializeBlock(s, statBlockA) && SerializeBlock(s, statBlockB) && Words(s, *this, {D});
}

void CEffectParamStats::Assign(const CEffectParam& other) {
    CEffectParam::Assign(other);
    if (const auto* o = dynamic_cast<const CEffectParamStats*>(&other)) {
        statBlockA = o->statBlockA;
        statBlockB = o->statBlockB;
    }
}

bool CEffectParam7::Serialize(CFileStream& s) { return Words(s, *this, {1, 2, 3, D, 4, 5, 6, 7}); }

bool CEffectParamReflect::Serialize(CFileStream& s) { return Words(s, *this, {1, 2, 3, D}); }

int CEffectParamReflect::Check(const std::string& effectName) {
    // The effect stays usable: only the data's author needs to hear of it.
    if (ReflectChance() <= 0.0f)
        std::fprintf(stderr, "EFFECT : %s 데미지 반사 확률이 0이하입니다.\n", effectName.c_str());
    return 1;
}

bool CEffectParamOverTime::Serialize(CFileStream& s) { return Words(s, *this, {1, 2, 3, 4, D, 5, 6, 7, 8, 9}); }

bool CEffectParam4::Serialize(CFileStream& s) { return Words(s, *this, {1, 2, 3, 4, D}); }

bool CEffectParamTail1::Serialize(CFileStream& s) { return Words(s, *this, {D, 1}); }

bool CEffectParamNamed::Serialize(CFileStream& s) {
    s.Serialize(targetName);
    return Words(s, *this, {D, 1});
}

void CEffectParamNamed::Assign(const CEffectParam& other) {
    CEffectParam::Assign(other);
    if (const auto* o = dynamic_cast<const CEffectParamNamed*>(&other)) {
        targetName = o->targetName;
        target = o->target;
    }
}

int CEffectParamNamed::Link() {
    if (!ResolveRecord(CAT_EFFECT, targetName, target)) return 0;
    linked = 1;
    return 1;
}

bool CEffectParamCount::Serialize(CFileStream& s) { return Words(s, *this, {1, 2, D}); }

int CEffectParamCount::Check(const std::string&) {
    if (Count() <= kMaxCount) return 1;
    return FailCheck(ERR_DATA,
                     FormatText("EFFECT : 공격 회수가 %d 회수를 넘을 수 없습니다.", static_cast<int>(kMaxCount)));
}

bool CEffectParamRecall::Serialize(CFileStream& s) {
    Words(s, *this, {1, 2, 3});
    s.Serialize(recallUnit);
    return Words(s, *this, {D, 4, 5, 6});
}

void CEffectParamRecall::Assign(const CEffectParam& other) {
    CEffectParam::Assign(other);
    if (const auto* o = dynamic_cast<const CEffectParamRecall*>(&other)) {
        recallUnit = o->recallUnit;
        recallRecord = o->recallRecord;
    }
}

int CEffectParamRecall::Check(const std::string&) {
    if (recallUnit.empty()) return p[4] != 0 ? 1 : FailCheck(ERR_DATA, "Recall Unit");
    return ResolveRecord(CAT_UNIT, recallUnit, recallRecord);
}

int CEffectParamRecall::Link() {
    if (recallRecord && !recallRecord->Link()) return 0;
    linked = 1;
    return 1;
}

void CEffectParamRecall::ReleaseResources() {
    if (CGameDataRecord* unit = recallUnit.empty() ? nullptr : FindGameRecord(CAT_UNIT, NameHash(recallUnit)))
        unit->ReleaseResources();
    linked = 0;
}

bool CEffectParam2::Serialize(CFileStream& s) { return Words(s, *this, {1, 2, D}); }

bool CEffectParam1::Serialize(CFileStream& s) { return Words(s, *this, {1, D}); }

std::unique_ptr<CEffectParam> CreateEffectParam(uint32_t kind) {
    switch (kind) {
        case 0: return std::make_unique<CEffectParamStats>();
        case 1:
        case 2:
        case 4:
        case 6: return std::make_unique<CEffectParam7>();
        case 3: return std::make_unique<CEffectParamReflect>();
        case 5:
        case 12: return std::make_unique<CEffectParamOverTime>();
        case 7:
        case 10:
        case 13:
        case 15:
        case 16:
        case 23: return std::make_unique<CEffectParam>();
        case 8: return std::make_unique<CEffectParam4>();
        case 9: return std::make_unique<CEffectParamTail1>();
        case 11: return std::make_unique<CEffectParamNamed>();
        case 14: return std::make_unique<CEffectParamCount>();
        case 17: return std::make_unique<CEffectParamRecall>();
        case 18:
        case 21: return std::make_unique<CEffectParam2>();
        case 19:
        case 20:
        case 22: return std::make_unique<CEffectParam1>();
        default: return nullptr;
    }
}
