// The condition and action kinds of map triggers. Each reads and writes its
// own body after the kind word; areas are kept as the name hash of a map area
// and found through the scenario's area source when needed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "world/Trigger.h"

class CGameDataRecord;
class CResource;

template <typename Derived, typename Base>
class CTriggerElementOf : public Base {
public:
    std::unique_ptr<Base> Clone() const override { return std::make_unique<Derived>(static_cast<const Derived&>(*this)); }
};

// Kind 0: fires after firstDelay, then every interval; a repeat count of n
// fires n - 1 times per round and stays silent once.
class CTimerCondition : public CTriggerElementOf<CTimerCondition, CTriggerCondition> {
public:
    uint32_t Test(float elapsed) override;
    uint32_t Kind() const override { return 0; }
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;

    float firstDelay = 0;
    float interval = 0;
    uint32_t repeatCount = 0;
    float clock = 0;
    uint32_t started = 0;
    uint32_t fired = 0;
};

// Kind 1: on the timer's clock, holds when the owners of the trigger's spawn
// actions have no live unit left in their areas.
class CAreaClearedCondition : public CTriggerElementOf<CAreaClearedCondition, CTriggerCondition> {
public:
    uint32_t Test(float elapsed) override;
    uint32_t Kind() const override { return 1; }
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;

    float firstDelay = 0;
    float interval = 0;
    float clock = 0;
    uint32_t started = 0;
    CTrigger* owner = nullptr;
};

// Kind 2: every half second, alerts the map at the first enemy hero that entered the area.
class CAreaAlertCondition : public CTriggerElementOf<CAreaAlertCondition, CTriggerCondition> {
public:
    uint32_t Test(float elapsed) override;
    uint32_t Kind() const override { return 2; }
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t LinkReferences() override;

    uint32_t areaHash = 0;
    uint32_t filter = 0;
    float clock = 0;
};

// Kind 3: holds once its object is dead; the lord scan reads its object.
class CObjectDeadCondition : public CTriggerElementOf<CObjectDeadCondition, CTriggerCondition> {
public:
    uint32_t Test(float elapsed) override;
    uint32_t Kind() const override { return 3; }
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t LinkReferences() override;
    int32_t ObjectId() const override { return static_cast<int32_t>(objectId); }

    uint32_t objectId = 0;
};

// Kind 4: holds from a game time on; the lord scan reads the time.
class CGameTimeCondition : public CTriggerElementOf<CGameTimeCondition, CTriggerCondition> {
public:
    uint32_t Test(float elapsed) override;
    uint32_t Kind() const override { return 4; }
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    float Time() const override { return gameTime; }

    float gameTime = 0;
};

// Kind 5: holds once every interval.
class CIntervalCondition : public CTriggerElementOf<CIntervalCondition, CTriggerCondition> {
public:
    uint32_t Test(float elapsed) override;
    uint32_t Kind() const override { return 5; }
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;

    float interval = 0;
    float clock = 0;
};

// Kind 6: never holds; a unit bound to the trigger reports through Notify
// (the run-trigger command), and the condition answers with restores.
class CBoundUnitCondition : public CTriggerElementOf<CBoundUnitCondition, CTriggerCondition> {
public:
    CBoundUnitCondition() = default;
    CBoundUnitCondition(const CBoundUnitCondition& other);
    CBoundUnitCondition& operator=(const CBoundUnitCondition&) = delete;
    ~CBoundUnitCondition() override;
    uint32_t Test(float elapsed) override;
    uint32_t Kind() const override { return 6; }
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t LinkReferences() override;
    void Notify(uint32_t kind, uint32_t value) override;
    int32_t ObjectId() const override { return static_cast<int32_t>(objectId); }

    uint32_t objectId = 0;
    float cooldown = 0;
    std::vector<uint32_t> areaHashes;
    std::string soundName;
    CResource* sound = nullptr;
    float clock = 10000.0f;
    uint32_t triggerHash = 0;
};

// Kinds 7 and 8: the object manager's world flags (A clear or set, B set).
class CWorldFlagCondition : public CTriggerElementOf<CWorldFlagCondition, CTriggerCondition> {
public:
    explicit CWorldFlagCondition(uint32_t kind) : kind(kind) {}
    uint32_t Test(float elapsed) override;
    uint32_t Kind() const override { return kind; }
    uint32_t Serialize(CFileStream&, CTrigger*) override { return 1; }

    uint32_t kind;
};

// Kinds 0 and 6: spawns count units of its record (or of a spawn group) at
// its area; kind 6 when it spawns from a group.
class CTriggerSpawnAction : public CTriggerElementOf<CTriggerSpawnAction, CTriggerAction> {
public:
    struct Drop {
        uint32_t itemId = 0;
        uint32_t value = 0;
        CGameDataRecord* record = nullptr;
        uint32_t nameHash = 0;
    };
    static constexpr uint32_t kMaxDrops = 1024;

    uint32_t Execute() override;
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t Kind() const override { return lordFlag ? 6 : 0; }
    uint32_t LinkResources() override;
    uint32_t CheckReferences() override;

    uint32_t areaHash = 0;
    uint32_t unitId = 0;
    CGameDataRecord* unit = nullptr;
    std::vector<Drop> drops;
    uint32_t dropBase = 100;
    uint32_t count = 0;
    uint32_t extraValue = 0;
    uint32_t owner = 0;
    uint32_t lordFlag = 0;
    uint32_t lordIndex = 0;
    uint32_t fixedOwnerFlag = 0;
};

// Kinds 1 and 8: names the area the send-to-area command walks units to; kind 8 when value > 0.
class CAreaMarkerAction : public CTriggerElementOf<CAreaMarkerAction, CTriggerAction> {
public:
    uint32_t Execute() override { return 1; }
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t Kind() const override { return static_cast<int32_t>(value) > 0 ? 8 : 1; }
    uint32_t CheckReferences() override;

    uint32_t value = 0;
    uint32_t areaHash = 0;
};

// Kind 2: once, clears the untargetable bit of its object on every machine.
class CMakeTargetableAction : public CTriggerElementOf<CMakeTargetableAction, CTriggerAction> {
public:
    uint32_t Execute() override;
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t Kind() const override { return 2; }
    uint32_t CheckReferences() override;

    uint32_t objectId = 0;
    uint32_t pending = 1;
};

// Kind 3: marks an object for the map's own use; does nothing when run.
class CObjectMarkerAction : public CTriggerElementOf<CObjectMarkerAction, CTriggerAction> {
public:
    uint32_t Execute() override { return 1; }
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t Kind() const override { return 3; }
    uint32_t CheckReferences() override;

    uint32_t objectId = 0;
    uint32_t values[3] = {0, 0, 0};
};

// Kinds 4, 15 and 16: remove, enable or disable another trigger.
class CTriggerControlAction : public CTriggerElementOf<CTriggerControlAction, CTriggerAction> {
public:
    explicit CTriggerControlAction(uint32_t kind) : kind(kind) {}
    uint32_t Execute() override;
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t Kind() const override { return kind; }
    uint32_t CheckReferences() override;

    uint32_t kind;
    uint32_t targetHash = 0;
    uint32_t done = 0;
};

// Kind 5: once, a player event of kind 0 (game over) for a slot.
class CPlayerEventAction : public CTriggerElementOf<CPlayerEventAction, CTriggerAction> {
public:
    uint32_t Execute() override;
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t Kind() const override { return 5; }

    uint32_t slot = 0;
    uint32_t done = 0;
};

// Kind 7: rewards the heroes of a team, shared among the players when asked.
class CTeamRewardAction : public CTriggerElementOf<CTeamRewardAction, CTriggerAction> {
public:
    uint32_t Execute() override;
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t Kind() const override { return 7; }

    uint32_t team = 0;
    uint32_t amount = 0;
    uint32_t rewardKind = 0;
    uint32_t onceFlag = 0;
    uint32_t shareFlag = 0;
};

// Kind 9: a system chat line on this machine.
class CSystemMessageAction : public CTriggerElementOf<CSystemMessageAction, CTriggerAction> {
public:
    uint32_t Execute() override;
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t Kind() const override { return 9; }

    std::string text;
    uint32_t onceFlag = 0;
};

// Kind 10: a map alert at a point on this machine.
class CMapAlertAction : public CTriggerElementOf<CMapAlertAction, CTriggerAction> {
public:
    uint32_t Execute() override;
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t Kind() const override { return 10; }

    uint32_t value = 0;
    float x = 0;
    float z = 0;
};

// Kind 11: plays a sound.
class CPlaySoundAction : public CTriggerElementOf<CPlaySoundAction, CTriggerAction> {
public:
    uint32_t Execute() override;
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t Kind() const override { return 11; }

    std::string soundName;
    CResource* sound = nullptr;  // held by the scenario
};

// Kinds 12 and 14: kill an object, or set it to its model's first action.
class CObjectAction : public CTriggerElementOf<CObjectAction, CTriggerAction> {
public:
    explicit CObjectAction(uint32_t kind) : kind(kind) {}
    uint32_t Execute() override;
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t Kind() const override { return kind; }

    uint32_t kind;
    uint32_t objectId = 0;
    uint32_t value = 0;  // kind 14 only
};

// Kind 13: sends a unit to the trigger's marked area, then disables the trigger.
class CSendUnitToAreaAction : public CTriggerElementOf<CSendUnitToAreaAction, CTriggerAction> {
public:
    uint32_t Execute() override;
    uint32_t Serialize(CFileStream& stream, CTrigger* trigger) override;
    uint32_t Kind() const override { return 13; }

    uint32_t objectId = 0;
};
