#include "world/Trigger.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "world/TriggerElements.h"

std::unique_ptr<CTriggerCondition> CTriggerCondition::Create(uint32_t kind) {
    switch (kind) {
        case 0: return std::make_unique<CTimerCondition>();
        case 1: return std::make_unique<CAreaClearedCondition>();
        case 2: return std::make_unique<CAreaAlertCondition>();
        case 3: return std::make_unique<CObjectDeadCondition>();
        case 4: return std::make_unique<CGameTimeCondition>();
        case 5: return std::make_unique<CIntervalCondition>();
        case 6: return std::make_unique<CBoundUnitCondition>();
        case 7:
        case 8: return std::make_unique<CWorldFlagCondition>(kind);
        default: return nullptr;
    }
}

std::unique_ptr<CTriggerAction> CTriggerAction::Create(uint32_t kind) {
    switch (kind) {
        case 0:
        case 6: return std::make_unique<CTriggerSpawnAction>();
        case 1:
        case 8: return std::make_unique<CAreaMarkerAction>();
        case 2: return std::make_unique<CMakeTargetableAction>();
        case 3: return std::make_unique<CObjectMarkerAction>();
        case 4:
        case 15:
        case 16: return std::make_unique<CTriggerControlAction>(kind);
        case 5: return std::make_unique<CPlayerEventAction>();
        case 7: return std::make_unique<CTeamRewardAction>();
        case 9: return std::make_unique<CSystemMessageAction>();
        case 10: return std::make_unique<CMapAlertAction>();
        case 11: return std::make_unique<CPlaySoundAction>();
        case 12:
        case 14: return std::make_unique<CObjectAction>(kind);
        case 13: return std::make_unique<CSendUnitToAreaAction>();
        default: return nullptr;
    }
}

void CTrigger::SetName(const std::string& text) {
    name = text;
    hash = NameHash(name);
}

namespace {

int Damaged(const CTrigger& trigger, const char* what) {
    ErrorReport().SetError(ERR_DATA, "Trigger %s: %s", trigger.name, what);
    return 0;
}

}  // namespace

int CTrigger::Serialize(CFileStream& stream) {
    if (stream.mode() != CFileStream::MODE_READ) {
        bool ok = stream.WriteString(name.c_str()) != 0;
        ok = ok && stream.WriteU32(static_cast<uint32_t>(conditions.size()));
        for (auto& condition : conditions) {
            ok = ok && stream.WriteU32(condition->Kind());
            ok = ok && condition->Serialize(stream, nullptr);
        }
        ok = ok && stream.WriteU32(static_cast<uint32_t>(actions.size()));
        for (auto& action : actions) {
            ok = ok && stream.WriteU32(action->Kind());
            ok = ok && action->Serialize(stream, nullptr);
        }
        return ok ? 1 : 0;
    }
    std::string text;
    stream.ReadString(text);
    if (stream.Failed()) return Damaged(*this, "name");
    SetName(text);
    uint32_t count = 0;
    if (!stream.ReadU32(count) || count > kMaxElements) return Damaged(*this, "condition count");
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t kind = 0;
        if (!stream.ReadU32(kind)) return Damaged(*this, "condition kind");
        // An unknown kind has a body of unknown size: nothing after it can be read.
        std::unique_ptr<CTriggerCondition> condition = CTriggerCondition::Create(kind);
        if (!condition) return Damaged(*this, "unknown condition kind");
        conditions.push_back(std::move(condition));
        if (!conditions.back()->Serialize(stream, this) || stream.Failed()) return Damaged(*this, "condition");
    }
    if (!stream.ReadU32(count) || count > kMaxElements) return Damaged(*this, "action count");
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t kind = 0;
        if (!stream.ReadU32(kind)) return Damaged(*this, "action kind");
        std::unique_ptr<CTriggerAction> action = CTriggerAction::Create(kind);
        if (!action) return Damaged(*this, "unknown action kind");
        action->trigger = this;
        actions.push_back(std::move(action));
        if (!actions.back()->Serialize(stream, this) || stream.Failed()) return Damaged(*this, "action");
    }
    return 1;
}

int CTrigger::Evaluate(float elapsed) {
    if (!enabled) return 1;
    for (auto& condition : conditions)
        if (!condition->Test(elapsed)) return 1;
    if (actions.empty()) return 1;
    bool spent = false;
    for (auto& action : actions)
        if (!action->Execute()) spent = true;
    return spent ? 0 : 1;
}

int CTrigger::AreActionsReady() {
    for (auto& action : actions)
        if (!action->LinkResources()) return 0;
    return 1;
}

int CTrigger::CheckReferences() {
    for (auto& condition : conditions)
        if (!condition->LinkReferences()) return 0;
    for (auto& action : actions)
        if (!action->CheckReferences()) return 0;
    return 1;
}

void CTrigger::NotifyConditions(uint32_t kind, uint32_t value) {
    for (auto& condition : conditions) condition->Notify(kind, value);
}

int32_t CTrigger::FindActionIndex(const CTriggerAction* action) const {
    for (size_t i = 0; i < actions.size(); ++i)
        if (actions[i].get() == action) return static_cast<int32_t>(i);
    return -1;
}

void CTrigger::AddCondition(std::unique_ptr<CTriggerCondition> condition) {
    if (condition) conditions.push_back(std::move(condition));
}

void CTrigger::AddAction(std::unique_ptr<CTriggerAction> action) {
    if (!action) return;
    action->trigger = this;
    actions.push_back(std::move(action));
}
