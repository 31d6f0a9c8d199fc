// A SKILL record (category 4): icons, levels, the EFFECT records it applies,
// its shot (ShootInfo) and a part of its kind's own. CSkillRecord is the
// common part and kind 0 (the recall-unit skill); the other kinds derive from
// it (SkillRecordKinds.h).
#pragma once

#include <memory>
#include <vector>

#include "world/GameDataRecord.h"
#include "world/SkillLevelRecord.h"
#include "world/VisualRef.h"

class CSkillRecord : public CGameDataRecord {
public:
    static constexpr uint32_t kKindCount = 9;
    static constexpr uint32_t kFlagPassive = 0x20;        // bit 5
    static constexpr uint32_t kFlagActivePassive = 0x10;  // bit 4

    // Kind 0; the kinds' constructors set their own defaults.
    CSkillRecord() : CSkillRecord(0, 16, 2) {}

    int Serialize(CFileStream& stream) override;
    // The effect list (EFFECT map only), every level, then the kind's checks.
    int Check() override;

    size_t LevelCount() const { return levels.size(); }
    const CSkillLevelRecord* Level(size_t index) const { return index < levels.size() ? levels[index].get() : nullptr; }

    uint32_t skillWord1;  // the use type
    uint32_t skillWord2 = 0, skillWord3 = 0;
    std::string skillText2;
    std::string icon, iconDisabled;  // textures (type 7)
    CResource* iconResource = nullptr;
    CResource* iconDisabledResource = nullptr;
    uint32_t excludeMask1 = 1573002u, excludeMask2 = 0x003C0000u;
    uint32_t skillWord6 = 0, skillWord7 = 0;
    std::vector<std::unique_ptr<CSkillLevelRecord>> levels;
    std::vector<RecordName> effects;  // EFFECT records
    VisualRef shootInfo;
    // Kind 0's own words.
    uint32_t kindWord1 = 0, kindWord2 = 1, kindWord3 = 0;

protected:
    CSkillRecord(uint32_t kind, uint32_t flags, uint32_t useType);
    int LinkBody() override;
    void ReleaseBody() override;
    // The kind part after ShootInfo.
    virtual bool SerializeKind(CFileStream& s);
    // The kind's resources (before the check, so that it sees their types);
    // 0 with the kind's own text.
    virtual int LinkKindResources() { return 1; }
    virtual void ReleaseKindResources() {}
    virtual int CheckKind() { return 1; }
    // Kinds 0, 5 and 6 link their levels after the common link.
    virtual int LinkKind();
    // "%s\n<-<label>: %s" with the skill's name.
    int FailKindLink(const char* label);
    // Whether a listed effect's durations and stacking suit a passive skill.
    int CheckPassiveEffects(const char* label, float minimum);
};

// The record class of a skill kind; null past kind 8.
std::unique_ptr<CSkillRecord> CreateSkillRecord(uint32_t kind);
