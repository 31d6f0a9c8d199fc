#include "world/SkillRecord.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "world/EffectRecord.h"
#include "world/GameDataRegistry.h"
#include "world/SkillRecordKinds.h"

namespace {
// The smallest level record: the common fields with an empty text.
constexpr uint32_t kMinLevelBytes = 16;
}  // namespace

CSkillRecord::CSkillRecord(uint32_t skillKind, uint32_t typeMask, uint32_t useType)
    : CGameDataRecord(CAT_SKILL, typeMask), skillWord1(useType) {
    kind = skillKind;
}

int CSkillRecord::Serialize(CFileStream& s) {
    if (s.mode() == CFileStream::MODE_WRITE) s.Serialize(kind);
    SerializeWords(s, {&skillWord2, &skillWord3, &flags, &value2});
    SerializeName(s);
    for (std::string* str : {&text, &skillText2, &icon, &iconDisabled}) s.Serialize(*str);
    uint32_t levelCount = static_cast<uint32_t>(levels.size());
    SerializeWords(s, {&excludeMask1, &excludeMask2, &skillWord6, &skillWord1, &skillWord7, &levelCount});
    if (s.Failed() || !CountFits(s, levelCount, kMinLevelBytes)) return 0;
    if (s.mode() == CFileStream::MODE_READ) {
        levels.clear();
        for (uint32_t i = 0; i < levelCount; ++i) levels.push_back(CreateSkillLevel(kind));
    }
    for (auto& level : levels)
        if (!level || !level->Serialize(s)) return 0;
    if (!SerializeNameList(s, effects) || !SerializeVisualRef(shootInfo, s)) return 0;
    return SerializeKind(s) && !s.Failed() ? 1 : 0;
}

bool CSkillRecord::SerializeKind(CFileStream& s) { return SerializeWords(s, {&kindWord1, &kindWord2, &kindWord3}); }

int CSkillRecord::Check() {
    for (RecordName& entry : effects)
        if (!ResolveRecord(CAT_EFFECT, entry.name, entry.record)) return 0;
    for (auto& level : levels)
        if (!level->Check()) return 0;
    return CheckKind();
}

int CSkillRecord::LinkBody() {
    if (!AcquireResource(icon, RES_TEXTURE, iconResource) ||
        !AcquireResource(iconDisabled, RES_TEXTURE, iconDisabledResource)) {
        ErrorReport().Chain("SKILL : %s", name);
        return 0;
    }
    if (!LinkKindResources() || !Check()) return 0;
    for (RecordName& entry : effects) {
        if (!entry.record->Link()) {
            ErrorReport().Chain("SKILL : %s", name);
            return 0;
        }
    }
    if (!LinkVisualRef(shootInfo)) {
        ErrorReport().Chain("SKILL : %s - ShootInfo", name);
        return 0;
    }
    return LinkKind();
}

int CSkillRecord::LinkKind() {
    if (kind != 0 && kind != 5 && kind != 6) return 1;
    if (kind == 0 && !Check()) return 0;
    for (size_t i = 0; i < levels.size(); ++i) {
        if (!levels[i]->Link()) {
            ErrorReport().Chain("SKILL : %s [lv %d]", name, static_cast<int>(i + 1));
            return 0;
        }
    }
    return 1;
}

void CSkillRecord::ReleaseBody() {
    DropResource(iconResource);
    DropResource(iconDisabledResource);
    for (RecordName& entry : effects)
        if (CGameDataRecord* effect = FindGameRecord(CAT_EFFECT, NameHash(entry.name))) effect->ReleaseResources();
    ReleaseVisualRef(shootInfo);
    for (auto& level : levels) level->ReleaseResources();
    ReleaseKindResources();
}

int CSkillRecord::FailKindLink(const char* label) {
    ErrorReport().Set(ErrorReport().GetCode(), ErrorReport().Text() + "\n<-" + label + ": " + name);
    return 0;
}

int CSkillRecord::CheckPassiveEffects(const char* label, float minimum) {
    for (const RecordName& entry : effects) {
        const auto* effect = dynamic_cast<const CEffectRecord*>(entry.record);
        if (!effect) continue;
        for (size_t i = 0; i < effect->params.size(); ++i) {
            const float duration = effect->params[i]->duration;
            if (duration > 0.0f && duration < minimum)
                return FailCheck(ERR_DATA,
                                 FormatText("[%s]용 [%s]효과[LV%d]지속 시간은 0을 제외한 [%.2f]초 미만은 사용할 수 없습니다.",
                                            label, effect->name, static_cast<int>(i + 1), minimum));
        }
        if (!(effect->flags & CEffectRecord::kFlagNoStack))
            return FailCheck(ERR_DATA,
                             FormatText("[%s]용 [%s]효과의 [이름 중복 가능]은 사용할 수 없습니다", label, effect->name));
    }
    return 1;
}

std::unique_ptr<CSkillRecord> CreateSkillRecord(uint32_t kind) {
    switch (kind) {
        case 0: return std::make_unique<CSkillRecord>();
        case 1: return std::make_unique<CEffectOtherSelfSkillRecord>();
        case 2: return std::make_unique<CEffectAuraSkillRecord>();
        case 3: return std::make_unique<CDamageAuraSkillRecord>();
        case 4: return std::make_unique<CDirectAttackSkillRecord>();
        case 5: return std::make_unique<CObjectEffectSkillRecord>();
        case 6: return std::make_unique<CSkillRecord6>();
        case 7: return std::make_unique<CTeleportSkillRecord>();
        case 8: return std::make_unique<CReflectionSkillRecord>();
        default: return nullptr;
    }
}
