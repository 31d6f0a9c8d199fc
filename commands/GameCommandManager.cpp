#include "commands/GameCommandManager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/CodePage.h"

CGameCommandManager* g_pGameCommandManager = nullptr;

CGameCommandManager::CGameCommandManager() {
    g_pGameCommandManager = this;
    m_recorded.reserve(kRecordingReserve);
    m_recordedTimes.reserve(kRecordingReserve);
    m_pools.reserve(kGameCommandTypes);
    for (const GameCommandInfo& info : kGameCommandTable) {
        m_pools.emplace_back(info.blocksPerChunk, std::max<size_t>(info.size, kMinBlockBytes));
        m_pools.back().Grow();
    }
}

CGameCommandManager::~CGameCommandManager() {
    ClearQueue();
    ClearRecording();
    if (g_pGameCommandManager == this) g_pGameCommandManager = nullptr;
}

CGameCommand* CGameCommandManager::PackCommand(uint32_t size, uint32_t type) {
    // A record of another size would be refused by every receiver.
    if (type >= kGameCommandTypes || size != kGameCommandTable[type].size) return nullptr;
    if (!m_frames[static_cast<size_t>(m_frameIndex)].Fits(size)) {
        if (m_frameIndex + 1 >= kFrames) return nullptr;
        ++m_frameIndex;
    }
    return m_frames[static_cast<size_t>(m_frameIndex)].Reserve(static_cast<uint8_t>(type), static_cast<uint8_t>(size));
}

void CGameCommandManager::QueueCommand(CGameCommand* record) {
    if (record) m_queue.push_back(record);
}

void CGameCommandManager::ResetFrames() {
    for (CommandFrame& f : m_frames) f.Reset();
    m_frameIndex = 0;
}

void CGameCommandManager::BeginSession(uint32_t packing, const float* clock, uint32_t recording, int32_t localTeam,
                                       const std::array<int32_t, kSlots>& slotTeams) {
    m_packing = packing;
    m_clock = clock;
    m_recording = recording;
    m_localTeam = localTeam;
    m_slotTeams = slotTeams;
    m_playbackIndex = 0;
    if (m_packing) ResetFrames();
}

CGameCommand* CGameCommandManager::NextRecorded() {
    const size_t index = m_playbackIndex < 0 ? 0 : static_cast<size_t>(m_playbackIndex);
    if (index < m_recorded.size() && m_recordedTimes[index] <= Clock()) {
        ++m_playbackIndex;
        return m_recorded[index];
    }
    return nullptr;
}

bool CGameCommandManager::KeepInRecording(const CGameCommand& record) const {
    if (record.Type() == CMD_GAME_EVENT) return record.U8(3) != 0;
    if (record.Type() == CMD_CHAT && record.U8(3) == 0) {
        // Another team's team chat is not ours to keep; a system line (slot 12 or more) is.
        const uint8_t slot = record.U8(2);
        return slot >= kSlots || m_slotTeams[slot] == m_localTeam;
    }
    return true;
}

void CGameCommandManager::Record(CGameCommand* record) {
    if (!KeepInRecording(*record)) {
        FreeCommand(record);
        return;
    }
    m_recorded.push_back(record);
    m_recordedTimes.push_back(Clock());
}

void CGameCommandManager::DeferCommand(CGameCommand* record) {
    if (!record) return;
    if (m_playback) {
        if (m_playbackIndex > 0) --m_playbackIndex;
        return;
    }
    m_queue.push_front(record);
}

void CGameCommandManager::ClearQueue() {
    while (!m_queue.empty()) FreeCommand(m_queue.pop_front());
    m_playback = 0;
}

void CGameCommandManager::ClearRecording() {
    for (CGameCommand* record : m_recorded) FreeCommand(record);
    m_recorded.clear();
    m_recordedTimes.clear();
    m_playback = 0;
}

// ---- Frames from the server ----

int CGameCommandManager::UnpackFrame(const uint8_t* frame, size_t length) {
    if (!frame || length < CommandFrame::kHeaderSize || length > CommandFrame::kCapacity) {
        std::fprintf(stderr, "command frame dropped: %zu bytes\n", length);
        ++m_rejected;
        return 0;
    }
    const size_t count = frame[0];
    const size_t used = LoadU16(frame + 2);
    if (used < CommandFrame::kHeaderSize || used > length) {
        std::fprintf(stderr, "command frame dropped: %zu used bytes of %zu\n", used, length);
        m_rejected += static_cast<uint32_t>(count);
        return 0;
    }
    size_t offset = CommandFrame::kHeaderSize;
    int queued = 0;
    for (size_t i = 0; i < count; ++i) {
        // A record of unknown type or a wrong size ends the frame: where the
        // next record begins cannot be trusted.
        const uint8_t type = offset + 2 <= used ? frame[offset] : 0xFF;
        const uint8_t size = offset + 2 <= used ? frame[offset + 1] : 0;
        if (offset + 2 > used || type >= kGameCommandTypes || size != kGameCommandTable[type].size ||
            offset + size > used) {
            std::fprintf(stderr, "command frame cut at record %zu of %zu (offset %zu, type %u, size %u)\n", i, count,
                         offset, unsigned{type}, unsigned{size});
            m_rejected += static_cast<uint32_t>(count - i);
            break;
        }
        if (Rebuild(*reinterpret_cast<const CGameCommand*>(frame + offset))) ++queued;
        offset += size;
    }
    return queued;
}

CGameCommand* CGameCommandManager::Rebuild(const CGameCommand& r) {
    switch (r.Type()) {
        case CMD_UNIT_ORDER:
            return BuildUnitOrder(r.I16(8), r.F32(20), r.U8(2), r.U8(3), r.Point(12), r.Point(16), r.I16(10),
                                  r.I16(6), 0);
        case CMD_UNIT_ORDER_QUEUED:
            return BuildUnitOrderQueued(r.I16(8), r.U8(2), r.U8(3), r.U16(4), r.Point(12), r.I16(10), 0);
        case CMD_HERO_REVIVE:
            return BuildHeroRevive(r.I16(2), r.U32(4), 0);
        case CMD_UNIT_KILLED:
            return BuildUnitKilled(r.I16(2), r.I32(4), 0);
        case CMD_HP_CHANGE:
            return BuildHpChange(r.U8(2), r.U8(3), r.I16(4), r.I16(6), r.F32(8), 0);
        case CMD_CREATE_OBJECT:
            return BuildCreateObject(r.U16(2), r.U32(4), r.Point(8), r.U32(12), 0);
        case CMD_TRIGGER_CONTROL:
            return BuildTriggerControl(r.U16(2), r.U32(4), 0);
        case CMD_SPAWN_UNIT:
            return BuildSpawnUnit(r.U8(2), r.U8(3), r.Point(4), r.U32(8), r.U32(12), r.U32(16), 0);
        case CMD_GRANT_REWARD:
            return BuildGrantReward(r.U8(2), r.I16(4), r.I16(6), 0);
        case CMD_GRANT_REWARD_GROUP: {
            int32_t ids[kRewardGroupIds];
            for (int i = 0; i < kRewardGroupIds; ++i) ids[i] = r.I16(4 + 2 * static_cast<size_t>(i));
            return BuildGrantRewardGroup(r.U8(2), ids, r.U8(3), r.I16(18), 0);
        }
        case CMD_SKILL_SLOT_ACTION:
            return BuildSkillSlotAction(r.U8(2), r.I16(4), r.U16(6), 0);
        case CMD_BUY_ITEM:
            return BuildBuyItem(r.U8(2), r.U8(3), r.I16(4), r.U16(6), r.U32(8), 0);
        case CMD_UI_CUE:
            return BuildUiCue(r.U8(2), r.U8(3), {r.F32(4), r.F32(8), r.F32(12)}, r.F32(16), r.F32(20), r.F32(24), 0);
        case CMD_CHAT: {
            // The sender's text need not end inside its field.
            char text[kChatTextField + 1];
            std::memcpy(text, r.Bytes() + kChatTextOffset, kChatTextField);
            text[kChatTextField] = '\0';
            return BuildChat(r.U8(2), r.U8(3), text, r.U32(132), 0);
        }
        case CMD_MOVE_ITEM:
            return BuildMoveItem(r.U8(2), r.U8(3), r.I16(4), r.I16(6), r.U8(8), r.U8(9), r.U8(10), r.U8(11), 0);
        case CMD_CAST_SKILL:
            return BuildCastSkill(r.U16(2), r.I16(4), r.I16(6), r.Point(8), r.U16(12), r.U16(14), 0);
        case CMD_MAP_ALERT: {
            const MapAlertFields f = UnpackMapAlert(r.U32(4));
            return BuildMapAlert(r.I16(2), {float(f.x), 0.0f, float(f.z)}, f.kind, 0);
        }
        case CMD_UNIT_FLAGS:
            return BuildUnitFlags(r.I16(4), r.U16(6), r.U32(8), 0);
        case CMD_GAME_EVENT:
            return BuildGameEvent(r.U8(2), r.I16(4), r.I16(6), 0);
        case CMD_SKILL_ACTION:
            return BuildSkillAction(r.I16(2), r.I16(4), r.I16(6), r.Point(8), 0);
        case CMD_TARGET_QUERY:
            return BuildTargetQuery(r.U8(2), r.I16(4), r.I16(6), 0);
        case CMD_ITEM_SLOT_ACTION:
            return BuildItemSlotAction(r.I16(2), UnpackItemSlot(r.U32(4)), 0);
        case CMD_USE_ITEM:
            return BuildUseItem(r.I16(4), r.U8(6), r.U8(7), 0);
        case CMD_FOLLOWER_ACTION:
            return BuildFollowerAction(r.U16(2), r.I16(4), r.U16(6), r.U32(8), 0);
        case CMD_RUN_TRIGGER:
            return BuildRunTrigger(r.U16(2), r.U32(4), r.U32(8), 0);
        case CMD_RESTORE_UNIT:
            return BuildRestoreUnit(r.I16(2), r.Point(4), 0);
        case CMD_UNIT_TARGET_LIST: {
            int32_t ids[kTargetListIds];
            for (int i = 0; i < kTargetListIds; ++i) ids[i] = r.I16(4 + 2 * static_cast<size_t>(i));
            return BuildUnitTargetList(r.I16(16), ids, r.U8(2), r.U8(3), 0);
        }
        case CMD_SUMMON:
            return BuildSummon(r.U8(2), r.U8(3), r.I16(4), r.Point(6), r.I16(10), r.U32(12), r.U32(16), 0);
        case CMD_UNIT_TO_AREA:
            return BuildUnitToArea(r.I16(2), r.U32(4), 0);
        default: {
            // Types without a builder (2, 4, 21, 30, 31) carry two bytes of fields.
            CGameCommand* out = CreateCommand(r.Type());
            if (!out) return nullptr;
            out->SetU8(2, r.U8(2));
            out->SetU8(3, r.U8(3));
            QueueCommand(out);
            return out;
        }
    }
}

// ---- Builders ----

CGameCommand* CGameCommandManager::Begin(uint32_t type, int send) {
    if (m_packing && send) return PackCommand(GameCommandSize(type), type);
    CGameCommand* record = CreateCommand(type);
    QueueCommand(record);
    return record;
}

CGameCommand* CGameCommandManager::BuildUnitOrder(int32_t unitId, float hitPoints, uint32_t kind, uint32_t subKind,
                                                  const platform::Vec3& point, const platform::Vec3& position,
                                                  int32_t targetId, int32_t extraId, int send) {
    CGameCommand* r = Begin(CMD_UNIT_ORDER, send);
    if (!r) return nullptr;
    r->SetU8(2, kind);
    r->SetU8(3, subKind);
    r->SetU16(6, static_cast<uint32_t>(extraId));
    r->SetU16(8, static_cast<uint32_t>(unitId));
    r->SetU16(10, static_cast<uint32_t>(targetId));
    r->SetPoint(12, point);
    r->SetPoint(16, position);
    r->SetF32(20, hitPoints);
    return r;
}

CGameCommand* CGameCommandManager::BuildUnitOrderQueued(int32_t unitId, uint32_t kind, uint32_t subKind,
                                                        uint32_t mode, const platform::Vec3& point, int32_t targetId,
                                                        int send) {
    CGameCommand* r = Begin(CMD_UNIT_ORDER_QUEUED, send);
    if (!r) return nullptr;
    r->SetU8(2, kind);
    r->SetU8(3, subKind);
    r->SetU16(4, mode);
    r->SetU16(8, static_cast<uint32_t>(unitId));
    r->SetU16(10, static_cast<uint32_t>(targetId));
    r->SetPoint(12, point);
    return r;
}

CGameCommand* CGameCommandManager::BuildHeroRevive(int32_t unitId, uint32_t baseId, int send) {
    CGameCommand* r = Begin(CMD_HERO_REVIVE, send);
    if (!r) return nullptr;
    r->SetU16(2, static_cast<uint32_t>(unitId));
    r->SetU32(4, baseId);
    return r;
}

CGameCommand* CGameCommandManager::BuildUnitKilled(int32_t victimId, int32_t killerId, int send) {
    CGameCommand* r = Begin(CMD_UNIT_KILLED, send);
    if (!r) return nullptr;
    r->SetU16(2, static_cast<uint32_t>(victimId));
    r->SetU32(4, static_cast<uint32_t>(killerId));
    return r;
}

CGameCommand* CGameCommandManager::BuildHpChange(uint32_t kind, uint32_t textOnly, int32_t targetId,
                                                 int32_t sourceId, float amount, int send) {
    CGameCommand* r = Begin(CMD_HP_CHANGE, send);
    if (!r) return nullptr;
    r->SetU8(2, kind);
    r->SetU8(3, textOnly);
    r->SetU16(4, static_cast<uint32_t>(targetId));
    r->SetU16(6, static_cast<uint32_t>(sourceId));
    r->SetF32(8, amount);
    return r;
}

CGameCommand* CGameCommandManager::BuildCreateObject(uint32_t value, uint32_t recordId, const platform::Vec3& point,
                                                     uint32_t objectId, int send) {
    CGameCommand* r = Begin(CMD_CREATE_OBJECT, send);
    if (!r) return nullptr;
    r->SetU16(2, value);
    r->SetU32(4, recordId);
    r->SetPoint(8, point);
    r->SetU32(12, objectId);
    return r;
}

CGameCommand* CGameCommandManager::BuildTriggerControl(uint32_t operation, uint32_t triggerHash, int send) {
    CGameCommand* r = Begin(CMD_TRIGGER_CONTROL, send);
    if (!r) return nullptr;
    r->SetU16(2, operation);
    r->SetU32(4, triggerHash);
    return r;
}

CGameCommand* CGameCommandManager::BuildSpawnUnit(uint32_t count, uint32_t actionIndex, const platform::Vec3& point,
                                                  uint32_t triggerHash, uint32_t lordRecordId, uint32_t owner,
                                                  int send) {
    CGameCommand* r = Begin(CMD_SPAWN_UNIT, send);
    if (!r) return nullptr;
    r->SetU8(2, count);
    r->SetU8(3, actionIndex);
    r->SetPoint(4, point);
    r->SetU32(8, triggerHash);
    r->SetU32(12, lordRecordId);
    r->SetU32(16, owner);
    return r;
}

CGameCommand* CGameCommandManager::BuildGrantReward(uint32_t kind, int32_t id, int32_t amount, int send) {
    CGameCommand* r = Begin(CMD_GRANT_REWARD, send);
    if (!r) return nullptr;
    r->SetU8(2, kind);
    r->SetU16(4, static_cast<uint32_t>(id));
    r->SetU16(6, static_cast<uint32_t>(amount));
    return r;
}

CGameCommand* CGameCommandManager::BuildGrantRewardGroup(uint32_t kind, const int32_t* ids, int count,
                                                         int32_t amount, int send) {
    CGameCommand* r = Begin(CMD_GRANT_REWARD_GROUP, send);
    if (!r) return nullptr;
    const int n = ids ? std::clamp(count, 0, kRewardGroupIds) : 0;
    r->SetU8(2, kind);
    r->SetU8(3, static_cast<uint32_t>(n));
    for (int i = 0; i < n; ++i) r->SetU16(4 + 2 * static_cast<size_t>(i), static_cast<uint32_t>(ids[i]));
    r->SetU16(18, static_cast<uint32_t>(amount));
    return r;
}

CGameCommand* CGameCommandManager::BuildSkillSlotAction(uint32_t slot, int32_t unitId, uint32_t skillIndex,
                                                        int send) {
    CGameCommand* r = Begin(CMD_SKILL_SLOT_ACTION, send);
    if (!r) return nullptr;
    r->SetU8(2, slot);
    r->SetU16(4, static_cast<uint32_t>(unitId));
    r->SetU16(6, skillIndex);
    return r;
}

CGameCommand* CGameCommandManager::BuildBuyItem(uint32_t slot, uint32_t count, int32_t objectId, uint32_t kind,
                                                uint32_t itemId, int send) {
    CGameCommand* r = Begin(CMD_BUY_ITEM, send);
    if (!r) return nullptr;
    r->SetU8(2, slot);
    r->SetU8(3, count);
    r->SetU16(4, static_cast<uint32_t>(objectId));
    r->SetU16(6, kind);
    r->SetU32(8, itemId);
    return r;
}

CGameCommand* CGameCommandManager::BuildUiCue(uint32_t kind, uint32_t flag, const platform::Vec3& point,
                                              float strength, float range, float time, int send) {
    CGameCommand* r = Begin(CMD_UI_CUE, send);
    if (!r) return nullptr;
    r->SetU8(2, kind);
    r->SetU8(3, flag);
    r->SetF32(4, point.x);
    r->SetF32(8, point.y);
    r->SetF32(12, point.z);
    r->SetF32(16, strength);
    r->SetF32(20, range);
    r->SetF32(24, time);
    return r;
}

CGameCommand* CGameCommandManager::BuildChat(uint32_t slot, uint32_t allFlag, const char* text, uint32_t color,
                                             int send) {
    CGameCommand* r = Begin(CMD_CHAT, send);
    if (!r) return nullptr;
    r->SetU8(2, slot);
    r->SetU8(3, allFlag);
    // At most 127 bytes, never ending inside a double-byte character; the
    // rest of the field stays zero, so the text always ends in it.
    const size_t n = text ? platform::Cp949CutLength(std::string_view(text), kMaxChatText) : 0;
    if (n) std::memcpy(r->Bytes() + kChatTextOffset, text, n);
    r->SetU32(132, color);
    return r;
}

CGameCommand* CGameCommandManager::BuildMoveItem(uint32_t slot, uint32_t value, int32_t sourceId,
                                                 int32_t destinationId, uint32_t sourceIsArmy,
                                                 uint32_t destinationIsArmy, uint32_t sourcePlace,
                                                 uint32_t destinationPlace, int send) {
    CGameCommand* r = Begin(CMD_MOVE_ITEM, send);
    if (!r) return nullptr;
    r->SetU8(2, slot);
    r->SetU8(3, value);
    r->SetU16(4, static_cast<uint32_t>(sourceId));
    r->SetU16(6, static_cast<uint32_t>(destinationId));
    r->SetU8(8, sourceIsArmy);
    r->SetU8(9, destinationIsArmy);
    r->SetU8(10, sourcePlace);
    r->SetU8(11, destinationPlace);
    return r;
}

CGameCommand* CGameCommandManager::BuildCastSkill(uint32_t casterIndex, int32_t unitId, int32_t targetId,
                                                  const platform::Vec3& point, uint32_t ownerSlot, uint32_t value,
                                                  int send) {
    CGameCommand* r = Begin(CMD_CAST_SKILL, send);
    if (!r) return nullptr;
    r->SetU16(2, casterIndex);
    r->SetU16(4, static_cast<uint32_t>(unitId));
    r->SetU16(6, static_cast<uint32_t>(targetId));
    r->SetPoint(8, point);
    r->SetU16(12, ownerSlot);
    r->SetU16(14, value);
    return r;
}

CGameCommand* CGameCommandManager::BuildMapAlert(int32_t unitId, const platform::Vec3& point, uint32_t kind,
                                                 int send) {
    CGameCommand* r = Begin(CMD_MAP_ALERT, send);
    if (!r) return nullptr;
    r->SetU16(2, static_cast<uint32_t>(unitId));
    r->SetU32(4, PackMapAlert(point, kind));
    return r;
}

CGameCommand* CGameCommandManager::BuildUnitFlags(int32_t unitId, uint32_t set, uint32_t mask, int send) {
    CGameCommand* r = Begin(CMD_UNIT_FLAGS, send);
    if (!r) return nullptr;
    r->SetU16(4, static_cast<uint32_t>(unitId));
    r->SetU16(6, set);
    r->SetU32(8, mask);
    return r;
}

CGameCommand* CGameCommandManager::BuildGameEvent(uint32_t kind, int32_t value1, int32_t value2, int send) {
    CGameCommand* r = Begin(CMD_GAME_EVENT, send);
    if (!r) return nullptr;
    r->SetU8(2, kind);
    r->SetU8(3, GameEventKeepFlag(kind & 0xFFu));
    r->SetU16(4, static_cast<uint32_t>(value1));
    r->SetU16(6, static_cast<uint32_t>(value2));
    return r;
}

CGameCommand* CGameCommandManager::BuildPlayerEvent(uint32_t kind, uint32_t slot, int send) {
    CGameCommand* r = Begin(CMD_PLAYER_EVENT, send);
    if (!r) return nullptr;
    r->SetU8(2, kind);
    r->SetU8(3, slot);
    return r;
}

CGameCommand* CGameCommandManager::BuildSkillAction(int32_t index, int32_t unitId, int32_t casterIndex,
                                                    const platform::Vec3& point, int send) {
    CGameCommand* r = Begin(CMD_SKILL_ACTION, send);
    if (!r) return nullptr;
    r->SetU16(2, static_cast<uint32_t>(index));
    r->SetU16(4, static_cast<uint32_t>(unitId));
    r->SetU16(6, static_cast<uint32_t>(casterIndex));
    r->SetPoint(8, point);
    return r;
}

CGameCommand* CGameCommandManager::BuildTargetQuery(uint32_t slot, int32_t objectId1, int32_t objectId2, int send) {
    CGameCommand* r = Begin(CMD_TARGET_QUERY, send);
    if (!r) return nullptr;
    r->SetU8(2, slot);
    r->SetU16(4, static_cast<uint32_t>(objectId1));
    r->SetU16(6, static_cast<uint32_t>(objectId2));
    return r;
}

CGameCommand* CGameCommandManager::BuildItemSlotAction(int32_t id, const ItemSlotFields& fields, int send) {
    CGameCommand* r = Begin(CMD_ITEM_SLOT_ACTION, send);
    if (!r) return nullptr;
    r->SetU16(2, static_cast<uint32_t>(id));
    r->SetU32(4, PackItemSlot(fields));
    return r;
}

CGameCommand* CGameCommandManager::BuildUseItem(int32_t unitId, uint32_t ownerSlot, uint32_t inventorySlot,
                                                int send) {
    CGameCommand* r = Begin(CMD_USE_ITEM, send);
    if (!r) return nullptr;
    r->SetU16(4, static_cast<uint32_t>(unitId));
    r->SetU8(6, ownerSlot);
    r->SetU8(7, inventorySlot);
    return r;
}

CGameCommand* CGameCommandManager::BuildFollowerAction(uint32_t action, int32_t unitId, uint32_t value1,
                                                       uint32_t value2, int send) {
    CGameCommand* r = Begin(CMD_FOLLOWER_ACTION, send);
    if (!r) return nullptr;
    r->SetU16(2, action);
    r->SetU16(4, static_cast<uint32_t>(unitId));
    r->SetU16(6, value1);
    r->SetU32(8, value2);
    return r;
}

CGameCommand* CGameCommandManager::BuildRunTrigger(uint32_t value1, uint32_t triggerHash, uint32_t value2, int send) {
    CGameCommand* r = Begin(CMD_RUN_TRIGGER, send);
    if (!r) return nullptr;
    r->SetU16(2, value1);
    r->SetU32(4, triggerHash);
    r->SetU32(8, value2);
    return r;
}

CGameCommand* CGameCommandManager::BuildRestoreUnit(int32_t unitId, const platform::Vec3& point, int send) {
    CGameCommand* r = Begin(CMD_RESTORE_UNIT, send);
    if (!r) return nullptr;
    r->SetU16(2, static_cast<uint32_t>(unitId));
    r->SetPoint(4, point);
    return r;
}

CGameCommand* CGameCommandManager::BuildUnitTargetList(int32_t unitId, const int32_t* ids, int count, uint32_t value,
                                                       int send) {
    CGameCommand* r = Begin(CMD_UNIT_TARGET_LIST, send);
    if (!r) return nullptr;
    const int n = ids ? std::clamp(count, 0, kTargetListIds) : 0;
    r->SetU8(2, static_cast<uint32_t>(n));
    r->SetU8(3, value);
    for (int i = 0; i < n; ++i) r->SetU16(4 + 2 * static_cast<size_t>(i), static_cast<uint32_t>(ids[i]));
    r->SetU16(16, static_cast<uint32_t>(unitId));
    return r;
}

CGameCommand* CGameCommandManager::BuildSummon(uint32_t level, uint32_t casterSlot, int32_t casterId,
                                               const platform::Vec3& point, int32_t targetId, uint32_t effectRecordId,
                                               uint32_t newObjectId, int send) {
    CGameCommand* r = Begin(CMD_SUMMON, send);
    if (!r) return nullptr;
    r->SetU8(2, level);
    r->SetU8(3, casterSlot);
    r->SetU16(4, static_cast<uint32_t>(casterId));
    r->SetPoint(6, point);
    r->SetU16(10, static_cast<uint32_t>(targetId));
    r->SetU32(12, effectRecordId);
    r->SetU32(16, newObjectId);
    return r;
}

CGameCommand* CGameCommandManager::BuildUnitToArea(int32_t unitId, uint32_t triggerHash, int send) {
    CGameCommand* r = Begin(CMD_UNIT_TO_AREA, send);
    if (!r) return nullptr;
    r->SetU16(2, static_cast<uint32_t>(unitId));
    r->SetU32(4, triggerHash);
    return r;
}

void CGameCommandManager::EmitRewardCommands(const std::vector<int32_t>& ids, uint32_t kind, int32_t amount,
                                             int send) {
    if (ids.size() < 3) {
        for (int32_t id : ids) BuildGrantReward(kind, id, amount, send);
        return;
    }
    for (size_t at = 0; at < ids.size(); at += kRewardGroupIds) {
        const int n = static_cast<int>(std::min<size_t>(kRewardGroupIds, ids.size() - at));
        BuildGrantRewardGroup(kind, ids.data() + at, n, amount, send);
    }
}
