#include "world/SkillRecordKinds.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"

namespace {

int FailRefusedType(const char* label, const std::string& skill) {
    return FailCheck(ERR_DATA, FormatText("%s: %s, 이펙트 타입이 다릅니다.", label, skill));
}

}  // namespace

bool CEffectOtherSelfSkillRecord::SerializeKind(CFileStream& s) {
    s.Serialize(selfWord);
    s.Serialize(selfEffect);
    s.Serialize(otherWord);
    s.Serialize(otherEffect);
    s.Serialize(kindWord);
    return !s.Failed();
}

int CEffectOtherSelfSkillRecord::LinkKindResources() {
    if (AcquireResource(selfEffect, RES_EFFECT, selfEffectResource) &&
        AcquireResource(otherEffect, RES_EFFECT, otherEffectResource))
        return 1;
    return FailKindLink("EFFECT_OTHERSELF");
}

void CEffectOtherSelfSkillRecord::ReleaseKindResources() {
    DropResource(selfEffectResource);
    DropResource(otherEffectResource);
}

int CEffectOtherSelfSkillRecord::CheckKind() {
    if (EffectHasRefusedType(selfEffectResource) || EffectHasRefusedType(otherEffectResource))
        return FailRefusedType("EFFECT_OTHERSELF", name);
    for (auto [resource, effectName] : {std::pair{selfEffectResource, &selfEffect}, {otherEffectResource, &otherEffect}})
        if (EffectIsEndless(resource))
            return FailCheck(ERR_DATA,
                             FormatText("EFFECT_OTHERSELF: 무한 방출 이펙트를 사용할 수 없습니다.[%s]", *effectName));
    return 1;
}

bool CEffectAuraSkillRecord::SerializeKind(CFileStream& s) {
    s.Serialize(auraEffect);
    s.Serialize(auraWord);
    s.Serialize(kindWord);
    return !s.Failed();
}

int CEffectAuraSkillRecord::LinkKindResources() {
    return AcquireResource(auraEffect, RES_EFFECT, auraEffectResource) ? 1 : FailKindLink("EFFECT_AURORA_SKILL");
}

void CEffectAuraSkillRecord::ReleaseKindResources() { DropResource(auraEffectResource); }

int CEffectAuraSkillRecord::CheckKind() {
    if (flags & kFlagPassive) {
        if (!CheckPassiveEffects("패시브 스킬", 1.5f)) return 0;
    } else if (flags & kFlagActivePassive) {
        if (!CheckPassiveEffects("액티브형 패시브 스킬", 0.5f)) return 0;
    }
    return EffectHasRefusedType(auraEffectResource) ? FailRefusedType("EFFECT_AURORA", name) : 1;
}

bool CDamageAuraSkillRecord::SerializeKind(CFileStream& s) {
    s.Serialize(auraEffect);
    s.Serialize(auraWord);
    s.Serialize(hitEffect);
    return SerializeWords(s, {&hitWord, &kindWord1, &kindWord2});
}

int CDamageAuraSkillRecord::LinkKindResources() {
    if (AcquireResource(auraEffect, RES_EFFECT, auraEffectResource) &&
        AcquireResource(hitEffect, RES_EFFECT, hitEffectResource))
        return 1;
    return FailKindLink("DAMAGE_AURORA_SKILL");
}

void CDamageAuraSkillRecord::ReleaseKindResources() {
    DropResource(auraEffectResource);
    DropResource(hitEffectResource);
}

int CDamageAuraSkillRecord::CheckKind() {
    if (EffectHasRefusedType(auraEffectResource) || EffectHasRefusedType(hitEffectResource))
        return FailRefusedType("DAMAGE_AURORA", name);
    for (auto [resource, effectName] : {std::pair{auraEffectResource, &auraEffect}, {hitEffectResource, &hitEffect}})
        if (EffectIsEndless(resource))
            return FailCheck(ERR_DATA, FormatText("DAMAGE_AURORA: 무한 방출 이펙트를 넣을 수 없습니다.[%s]", *effectName));
    return 1;
}

bool CDirectAttackSkillRecord::SerializeKind(CFileStream& s) {
    return SerializeWords(s, {&kindWord[1], &kindWord[2], &kindWord[3], &kindWord[4]});
}

int CDirectAttackSkillRecord::CheckKind() {
    if (!shootInfo.modelName.empty()) return 1;
    return FailCheck(ERR_DATA, FormatText("DATASKILL_DIRECT_ATTACK_ShootingObject: 없음[%s]", name));
}

bool CObjectEffectSkillRecord::SerializeKind(CFileStream& s) {
    return SerializeWords(s, {&kindWord[1], &kindWord[2], &kindWord[3]}) && SerializeVisualRef(returnShootInfo, s);
}

void CObjectEffectSkillRecord::ReleaseKindResources() { ReleaseVisualRef(returnShootInfo); }

int CObjectEffectSkillRecord::LinkKind() {
    if (!CSkillRecord::LinkKind()) return 0;
    if (LinkVisualRef(returnShootInfo)) return 1;
    ErrorReport().Chain("OBJECT_EFFECT[%s] - RETURN SHOOT_INFO", name);
    return 0;
}

bool CSkillRecord6::SerializeKind(CFileStream& s) { return SerializeWords(s, {&kindWord1, &kindWord2}); }

bool CTeleportSkillRecord::SerializeKind(CFileStream& s) {
    s.Serialize(departEffect);
    s.Serialize(departWord);
    s.Serialize(arriveEffect);
    SerializeWords(s, {&arriveWord, &kindWord1});
    s.Serialize(departSound);
    s.Serialize(arriveSound);
    s.Serialize(kindWord3);
    s.Serialize(teleportText);
    s.Serialize(kindWord4);
    return !s.Failed();
}

int CTeleportSkillRecord::LinkKindResources() {
    if (AcquireResource(departEffect, RES_EFFECT, departEffectResource) &&
        AcquireResource(arriveEffect, RES_EFFECT, arriveEffectResource) &&
        AcquireSound(departSound, departSoundResource) && AcquireSound(arriveSound, arriveSoundResource))
        return 1;
    return FailKindLink("TELEPORT_SKILL");
}

void CTeleportSkillRecord::ReleaseKindResources() {
    for (CResource** r : {&departEffectResource, &arriveEffectResource, &departSoundResource, &arriveSoundResource})
        DropResource(*r);
}

int CTeleportSkillRecord::CheckKind() {
    if (EffectHasRefusedType(departEffectResource) || EffectHasRefusedType(arriveEffectResource))
        return FailRefusedType("TELEPORT", name);
    return 1;
}

bool CReflectionSkillRecord::SerializeKind(CFileStream& s) {
    s.Serialize(reflectionEffect);
    s.Serialize(reflectionWord);
    s.Serialize(auraEffect);
    s.Serialize(auraWord);
    return !s.Failed();
}

int CReflectionSkillRecord::LinkKindResources() {
    if (!AcquireResource(reflectionEffect, RES_EFFECT, reflectionEffectResource))
        return FailKindLink("ReflectionSkill[ReflectionEffect]");
    if (!AcquireResource(auraEffect, RES_EFFECT, auraEffectResource)) return FailKindLink("ReflectionSkill[AuroraEffect]");
    return 1;
}

void CReflectionSkillRecord::ReleaseKindResources() {
    DropResource(reflectionEffectResource);
    DropResource(auraEffectResource);
}

int CReflectionSkillRecord::CheckKind() {
    if (EffectHasRefusedType(reflectionEffectResource) || EffectHasRefusedType(auraEffectResource))
        return FailRefusedType("ReflectionSkill", name);
    if (EffectIsEndless(reflectionEffectResource))
        return FailCheck(ERR_DATA, FormatText("ReflectionSkill[ReflectionEffect]: 무한 방출 이펙트를 사용할 수 없습니다.[%s]",
                                              reflectionEffect));
    return 1;
}
