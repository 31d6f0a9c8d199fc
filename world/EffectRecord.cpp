#include "world/EffectRecord.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "world/GameDataRegistry.h"

namespace {
// The smallest parameter record: the duration alone.
constexpr uint32_t kMinParamBytes = 4;
}  // namespace

CEffectRecord::CEffectRecord(uint32_t effectKind) : CGameDataRecord(CAT_EFFECT, 0) { kind = effectKind; }

int CEffectRecord::Serialize(CFileStream& s) {
    if (s.mode() == CFileStream::MODE_WRITE) s.Serialize(kind);
    SerializeWords(s, {&flags, &value2});
    SerializeName(s);
    for (std::string* str : {&text, &effectText2, &icon}) s.Serialize(*str);
    SerializeWords(s, {&effectWord1, &effectWord2, &effectWord3});
    s.Serialize(startEffect);
    s.Serialize(startWord);
    s.Serialize(endEffect);
    SerializeWords(s, {&effectWord4, &effectWord5, &effectWord6, &effectWord7});
    uint32_t count = static_cast<uint32_t>(values.size());
    if (!s.Serialize(count) || !CountFits(s, count, 4)) return 0;
    if (s.mode() == CFileStream::MODE_READ) values.assign(count, 0);
    for (uint32_t& v : values) s.Serialize(v);
    uint32_t levelCount = static_cast<uint32_t>(params.size());
    if (!s.Serialize(levelCount) || !CountFits(s, levelCount, kMinParamBytes)) return 0;
    if (s.mode() == CFileStream::MODE_READ) {
        params.clear();
        for (uint32_t i = 0; i < levelCount; ++i) {
            std::unique_ptr<CEffectParam> param = CreateEffectParam(kind);
            // A kind without parameters could not be read on: the rest would be misaligned.
            if (!param) {
                ErrorReport().SetError(ERR_DATA, "EFFECT : %s : kind %u", name, kind);
                return 0;
            }
            params.push_back(std::move(param));
        }
    }
    for (auto& param : params)
        if (!param->Serialize(s)) return 0;
    return SerializeChildren(s) && !s.Failed() ? 1 : 0;
}

int CEffectRecord::Check() {
    for (auto& param : params) {
        if (kind == 6 && BitsFloat(param->p[2]) <= 0.0f)
            return FailCheck(ERR_DATA, FormatText("EFFECT : %s 확률이 0이하입니다.", name));
        if (kind == 5 && EffectIsEndless(startEffectResource)) {
            const auto* overTime = dynamic_cast<const CEffectParamOverTime*>(param.get());
            if (overTime && (overTime->Interval() == 0.0f || overTime->duration == 0.0f))
                return FailCheck(ERR_DATA, FormatText("EFFECT : 회복 시간 간격 또는 지속 시간이 '0'이면 무한 방출 "
                                                      "이펙트를 넣을 수 없습니다.[%s]",
                                                      startEffect));
        }
        if (!param->Check(name)) {
            ErrorReport().Chain("EFFECT : %s", name);
            return 0;
        }
    }
    if (EffectHasRefusedType(startEffectResource) || EffectHasRefusedType(endEffectResource))
        return FailCheck(ERR_DATA, FormatText("EFFECT : %s", name));
    if (EffectIsEndless(endEffectResource))
        return FailCheck(ERR_DATA, FormatText("EFFECT : 소멸 효과에 무한 방출 이펙트를 넣을 수 없습니다.[%s]", endEffect));
    return 1;
}

int CEffectRecord::LinkBody() {
    if (!AcquireResource(icon, RES_TEXTURE, iconResource) ||
        !AcquireResource(startEffect, RES_EFFECT, startEffectResource) ||
        !AcquireResource(endEffect, RES_EFFECT, endEffectResource)) {
        ErrorReport().Chain("EFFECT : %s", name);
        return 0;
    }
    if (!Check()) return 0;
    for (auto& param : params) {
        if (!param->Link()) {
            ErrorReport().Chain("EFFECT : %s", name);
            return 0;
        }
    }
    if (!LinkChildren()) {
        ErrorReport().Chain("EFFECT : %s", name);
        return 0;
    }
    return 1;
}

void CEffectRecord::ReleaseBody() {
    DropResource(iconResource);
    DropResource(startEffectResource);
    DropResource(endEffectResource);
    for (auto& param : params) param->ReleaseResources();
}

bool CEffectRecordWithChildren::SerializeChildren(CFileStream& s) { return SerializeKeyList(s, children); }

int CEffectRecordWithChildren::Check() {
    if (!CEffectRecord::Check()) return 0;
    for (RecordKey& child : children) {
        child.record = FindGameRecord(CAT_EFFECT, child.key);
        if (!child.record) return FailCheck(ERR_RESOURCE_LINK, FormatText("EFFECT : %s 자식효과를 찾을수 없습니다.", name));
    }
    return 1;
}

int CEffectRecordWithChildren::LinkChildren() {
    for (RecordKey& child : children)
        if (!child.record->Link()) return 0;
    return 1;
}

void CEffectRecordWithChildren::ReleaseBody() {
    CEffectRecord::ReleaseBody();
    for (RecordKey& child : children)
        if (CGameDataRecord* record = FindGameRecord(CAT_EFFECT, child.key)) record->ReleaseResources();
}

bool EffectKindHasChildren(uint32_t kind) { return kind == 1 || kind == 2 || kind == 8 || kind == 11 || kind == 12; }

std::unique_ptr<CEffectRecord> CreateEffectRecord(uint32_t kind) {
    if (EffectKindHasChildren(kind)) return std::make_unique<CEffectRecordWithChildren>(kind);
    return std::make_unique<CEffectRecord>(kind);
}
