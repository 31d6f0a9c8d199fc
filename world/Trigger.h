// A map trigger: a named rule whose conditions are tested every frame and
// whose actions run, all of them, on a frame on which every condition holds.
// Its record in the map file is read and written by the same routine; each
// condition and action writes its kind and then its own body.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CFileStream;
class CTrigger;

// Elements of a trigger. The trigger argument of Serialize is the owner when
// reading and null when writing.
class CTriggerCondition {
public:
    static constexpr uint32_t kKinds = 9;

    virtual ~CTriggerCondition() = default;
    virtual uint32_t Test(float elapsed) = 0;
    virtual uint32_t Kind() const = 0;
    virtual uint32_t Serialize(CFileStream& stream, CTrigger* trigger) = 0;
    // 0 when a referenced object or area is missing (error report set).
    virtual uint32_t LinkReferences() { return 1; }
    virtual std::unique_ptr<CTriggerCondition> Clone() const = 0;
    virtual void Notify(uint32_t /*kind*/, uint32_t /*value*/) {}

    // The object the condition names (kind 3 and 6); -1 for the others.
    virtual int32_t ObjectId() const { return -1; }
    // The game time of kind 4; 0 for the others.
    virtual float Time() const { return 0; }

    static std::unique_ptr<CTriggerCondition> Create(uint32_t kind);
};

class CTriggerAction {
public:
    static constexpr uint32_t kKinds = 17;

    virtual ~CTriggerAction() = default;
    // 0: the trigger has done its work and is to be destroyed.
    virtual uint32_t Execute() = 0;
    virtual uint32_t Serialize(CFileStream& stream, CTrigger* trigger) = 0;
    virtual uint32_t Kind() const = 0;
    // 0 when a data record's resources failed to link (error report set).
    virtual uint32_t LinkResources() { return 1; }
    // 0 when a referenced area, trigger, object or record is missing.
    virtual uint32_t CheckReferences() { return 1; }
    virtual std::unique_ptr<CTriggerAction> Clone() const = 0;

    static std::unique_ptr<CTriggerAction> Create(uint32_t kind);

    // The owning trigger, set when it is read (null for one built in code
    // until it is added to a trigger).
    CTrigger* trigger = nullptr;
};

class CTrigger {
public:
    // Counts above these are damaged data, not maps.
    static constexpr uint32_t kMaxElements = 4096;

    CTrigger() = default;
    CTrigger(const CTrigger&) = delete;
    CTrigger& operator=(const CTrigger&) = delete;

    // Reads or writes the record by the stream's mode; 1, or 0 with the error
    // report set (the elements read so far stay).
    int Serialize(CFileStream& stream);
    void SetName(const std::string& text);
    // 0 when the trigger is spent and is to be destroyed.
    int Evaluate(float elapsed);
    int AreActionsReady();
    // 0 at the first element whose references are missing.
    int CheckReferences();
    void NotifyConditions(uint32_t kind, uint32_t value);
    int32_t FindActionIndex(const CTriggerAction* action) const;

    // Adds elements built in code (tools, tests); the trigger owns them.
    void AddCondition(std::unique_ptr<CTriggerCondition> condition);
    void AddAction(std::unique_ptr<CTriggerAction> action);

    std::string name;
    uint32_t hash = 5381;
    uint32_t enabled = 1;
    std::vector<std::unique_ptr<CTriggerCondition>> conditions;
    std::vector<std::unique_ptr<CTriggerAction>> actions;
};
