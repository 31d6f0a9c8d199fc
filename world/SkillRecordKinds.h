// The SKILL kinds 1-8: each adds its own fields after the common part, its
// resources and its checks.
#pragma once

#include "world/SkillRecord.h"

// Kind 1: one effect on the caster, one on the other.
class CEffectOtherSelfSkillRecord : public CSkillRecord {
public:
    CEffectOtherSelfSkillRecord() : CSkillRecord(1, 16, 0) {}
    uint32_t selfWord = 0;
    std::string selfEffect;
    CResource* selfEffectResource = nullptr;
    uint32_t otherWord = 0xFFFFFFFFu;
    std::string otherEffect;
    CResource* otherEffectResource = nullptr;
    uint32_t kindWord = 0xFFFFFFFFu;

protected:
    bool SerializeKind(CFileStream& s) override;
    int LinkKindResources() override;
    void ReleaseKindResources() override;
    int CheckKind() override;
};

// Kind 2: an aura that puts its listed effects on units around.
class CEffectAuraSkillRecord : public CSkillRecord {
public:
    CEffectAuraSkillRecord() : CSkillRecord(2, 32, 0) {}
    std::string auraEffect;
    CResource* auraEffectResource = nullptr;
    uint32_t auraWord = 0, kindWord = 0;

protected:
    bool SerializeKind(CFileStream& s) override;
    int LinkKindResources() override;
    void ReleaseKindResources() override;
    int CheckKind() override;
};

// Kind 3: an aura that damages.
class CDamageAuraSkillRecord : public CSkillRecord {
public:
    CDamageAuraSkillRecord() : CSkillRecord(3, 64, 0) {}
    std::string auraEffect;
    CResource* auraEffectResource = nullptr;
    uint32_t auraWord = 0;
    std::string hitEffect;
    CResource* hitEffectResource = nullptr;
    uint32_t hitWord = 0, kindWord1 = 1, kindWord2 = 0;

protected:
    bool SerializeKind(CFileStream& s) override;
    int LinkKindResources() override;
    void ReleaseKindResources() override;
    int CheckKind() override;
};

// Kind 4: fires a shot object (ShootInfo's model) at the target.
class CDirectAttackSkillRecord : public CSkillRecord {
public:
    CDirectAttackSkillRecord() : CSkillRecord(4, 16, 1) {}
    std::array<uint32_t, 5> kindWord{0, 1, 0, 0, 0};  // kindWord[1]..[4]

protected:
    bool SerializeKind(CFileStream& s) override;
    int CheckKind() override;
};

// Kind 5: a shot that comes back (ReturnShootInfo).
class CObjectEffectSkillRecord : public CSkillRecord {
public:
    CObjectEffectSkillRecord() : CSkillRecord(5, 16, 1) {}
    std::array<uint32_t, 4> kindWord{0, 1, 1, 0};  // kindWord[1]..[3]
    VisualRef returnShootInfo;

protected:
    bool SerializeKind(CFileStream& s) override;
    void ReleaseKindResources() override;
    int LinkKind() override;
};

// Kind 6: two effects per level.
class CSkillRecord6 : public CSkillRecord {
public:
    CSkillRecord6() : CSkillRecord(6, 16, 1) {}
    uint32_t kindWord1 = 1, kindWord2 = 0;

protected:
    bool SerializeKind(CFileStream& s) override;
};

// Kind 7: departs and arrives elsewhere with an effect and a sound at each end.
class CTeleportSkillRecord : public CSkillRecord {
public:
    CTeleportSkillRecord() : CSkillRecord(7, 16, 0) {}
    std::string departEffect;
    CResource* departEffectResource = nullptr;
    uint32_t departWord = 0;
    std::string arriveEffect;
    CResource* arriveEffectResource = nullptr;
    uint32_t arriveWord = 0, kindWord1 = 0;
    std::string departSound, arriveSound;
    CResource* departSoundResource = nullptr;
    CResource* arriveSoundResource = nullptr;
    uint32_t kindWord3 = 0;
    std::string teleportText;
    uint32_t kindWord4 = 100;

protected:
    bool SerializeKind(CFileStream& s) override;
    int LinkKindResources() override;
    void ReleaseKindResources() override;
    int CheckKind() override;
};

// Kind 8: reflects damage, with an aura.
class CReflectionSkillRecord : public CSkillRecord {
public:
    CReflectionSkillRecord() : CSkillRecord(8, 32, 1) {}
    std::string reflectionEffect;
    CResource* reflectionEffectResource = nullptr;
    uint32_t reflectionWord = 0;
    std::string auraEffect;
    CResource* auraEffectResource = nullptr;
    uint32_t auraWord = 0;

protected:
    bool SerializeKind(CFileStream& s) override;
    int LinkKindResources() override;
    void ReleaseKindResources() override;
    int CheckKind() override;
};
