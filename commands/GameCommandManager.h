// The one owner of every command record of a match: a pool per record type,
// the local queue of records waiting to run, the five outgoing frames of a
// networked match, the unpacking of frames the server relays, and the
// recording and playback of executed records for replays.
//
// Online, a record a client makes with its send flag set goes only into the
// outgoing frames; it runs when the server sends the frame back to every
// player, the sender included, so every client runs the same records in the
// same order. Offline and in playback, records go straight into the queue.
//
// The main thread alone uses the manager. The replay writer and
// ClearRecording also run on the loader thread, but only while the screen that
// started that job waits for it, so nothing here takes a lock.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "commands/CommandFrame.h"
#include "commands/CommandQueue.h"
#include "commands/CommandRecords.h"
#include "commands/Replay.h"
#include "engine/core/BlockPool.h"
#include "platform/Math.h"

class CGameCommandManager {
public:
    static constexpr int kFrames = 5;
    static constexpr int kSlots = 12;
    static constexpr size_t kRecordingReserve = 3000;
    // Every pool block has room for at least this many record bytes.
    static constexpr size_t kMinBlockBytes = 24;

    CGameCommandManager();
    virtual ~CGameCommandManager();
    CGameCommandManager(const CGameCommandManager&) = delete;
    CGameCommandManager& operator=(const CGameCommandManager&) = delete;

    // A zeroed record of the type from its pool, type and size stamped; null
    // for a type above 33. It is not queued: the caller queues or frees it.
    CGameCommand* CreateCommand(uint32_t type) {
        if (type >= kGameCommandTypes) return nullptr;
        uint8_t* bytes = static_cast<uint8_t*>(m_pools[type].Take());
        if (!bytes) return nullptr;
        const uint8_t size = kGameCommandTable[type].size;
        // Zeroing a constant span compiles to a few stores; only the two
        // largest types need more (a variable memset costs more than the pool).
        std::memset(bytes, 0, kMinBlockBytes);
        if (size > kMinBlockBytes) std::memset(bytes + kMinBlockBytes, 0, size - kMinBlockBytes);
        bytes[0] = static_cast<uint8_t>(type);
        bytes[1] = size;
        return reinterpret_cast<CGameCommand*>(bytes);
    }
    // Back to the pool of the type in its first byte.
    void FreeCommand(CGameCommand* record) {
        if (record && record->Type() < kGameCommandTypes) m_pools[record->Type()].Release(record);
    }
    // A record reserved in the current outgoing frame (moving on to the next
    // frame when it is full), or null when all five are full or size is not
    // the type's size. The caller writes the fields in place.
    CGameCommand* PackCommand(uint32_t size, uint32_t type);
    // Appends a record to the back of the local queue.
    void QueueCommand(CGameCommand* record);

    // Re-creates the records of a received frame (length bytes) in the local
    // queue, in the frame's order, through the builders. A damaged frame or
    // record ends the frame: the records before it are kept and one line is
    // logged. Returns the number of records queued.
    int UnpackFrame(const uint8_t* frame, size_t length);

    // Starts a match. clock is the match clock the play screen advances; the
    // local team and each slot's team serve the recording's team-chat filter.
    void BeginSession(uint32_t packing, const float* clock, uint32_t recording, int32_t localTeam,
                      const std::array<int32_t, kSlots>& slotTeams);
    void SetScenarioValue(uint32_t value) { m_scenarioValue = value; }
    uint32_t ScenarioValue() const { return m_scenarioValue; }

    // The dispatcher's loop: NextCommand until null, run the record, then
    // ReleaseDispatched, or DeferCommand when its unit cannot take it now.
    CGameCommand* NextCommand() {
        if (!m_playback && m_playbackIndex < 1) return m_queue.empty() ? nullptr : m_queue.pop_front();
        return NextRecorded();
    }
    void ReleaseDispatched(CGameCommand* record) {
        if (!record || m_playback) return;
        if (m_recording)
            Record(record);
        else
            FreeCommand(record);
    }
    // A refused record waits: live, it goes back to the front of the queue so
    // that no later record overtakes it; in playback the index steps back.
    void DeferCommand(CGameCommand* record);

    // Frees every queued record and clears the playback flag.
    void ClearQueue();
    // Frees every recorded record and clears the playback flag. Also runs on
    // the loader thread while the main thread waits for the job.
    void ClearRecording();

    // The outgoing frames: the sender stamps and sends every non-empty frame
    // up to the current one, then resets them.
    CommandFrame& Frame(int index) { return m_frames[static_cast<size_t>(index)]; }
    const CommandFrame& Frame(int index) const { return m_frames[static_cast<size_t>(index)]; }
    int CurrentFrameIndex() const { return m_frameIndex; }
    void ResetFrames();

    // Builders, one per type but 2, 4, 30 and 31: online with the send flag
    // set the record is packed into the frames, otherwise it is created and
    // appended to the local queue. Null when no record could be had. Points
    // are truncated toward zero to 16 bits (x and z; the height is not sent).
    CGameCommand* BuildUnitOrder(int32_t unitId, float hitPoints, uint32_t kind, uint32_t subKind,
                                 const platform::Vec3& point, const platform::Vec3& position, int32_t targetId,
                                 int32_t extraId, int send);
    CGameCommand* BuildUnitOrderQueued(int32_t unitId, uint32_t kind, uint32_t subKind, uint32_t mode,
                                       const platform::Vec3& point, int32_t targetId, int send);
    CGameCommand* BuildHeroRevive(int32_t unitId, uint32_t baseId, int send);
    CGameCommand* BuildUnitKilled(int32_t victimId, int32_t killerId, int send);
    CGameCommand* BuildHpChange(uint32_t kind, uint32_t textOnly, int32_t targetId, int32_t sourceId, float amount,
                                int send);
    CGameCommand* BuildCreateObject(uint32_t value, uint32_t recordId, const platform::Vec3& point, uint32_t objectId,
                                    int send);
    CGameCommand* BuildTriggerControl(uint32_t operation, uint32_t triggerHash, int send);
    CGameCommand* BuildSpawnUnit(uint32_t count, uint32_t actionIndex, const platform::Vec3& point,
                                 uint32_t triggerHash, uint32_t lordRecordId, uint32_t owner, int send);
    CGameCommand* BuildGrantReward(uint32_t kind, int32_t id, int32_t amount, int send);
    // count ids (at most seven are kept).
    CGameCommand* BuildGrantRewardGroup(uint32_t kind, const int32_t* ids, int count, int32_t amount, int send);
    CGameCommand* BuildSkillSlotAction(uint32_t slot, int32_t unitId, uint32_t skillIndex, int send);
    CGameCommand* BuildBuyItem(uint32_t slot, uint32_t count, int32_t objectId, uint32_t kind, uint32_t itemId,
                               int send);
    CGameCommand* BuildUiCue(uint32_t kind, uint32_t flag, const platform::Vec3& point, float strength, float range,
                             float time, int send);
    // At most 127 characters of text are sent; the record always ends its text.
    CGameCommand* BuildChat(uint32_t slot, uint32_t allFlag, const char* text, uint32_t color, int send);
    CGameCommand* BuildMoveItem(uint32_t slot, uint32_t value, int32_t sourceId, int32_t destinationId,
                                uint32_t sourceIsArmy, uint32_t destinationIsArmy, uint32_t sourcePlace,
                                uint32_t destinationPlace, int send);
    CGameCommand* BuildCastSkill(uint32_t casterIndex, int32_t unitId, int32_t targetId, const platform::Vec3& point,
                                 uint32_t ownerSlot, uint32_t value, int send);
    CGameCommand* BuildMapAlert(int32_t unitId, const platform::Vec3& point, uint32_t kind, int send);
    CGameCommand* BuildUnitFlags(int32_t unitId, uint32_t set, uint32_t mask, int send);
    CGameCommand* BuildGameEvent(uint32_t kind, int32_t value1, int32_t value2, int send);
    CGameCommand* BuildPlayerEvent(uint32_t kind, uint32_t slot, int send);
    CGameCommand* BuildSkillAction(int32_t index, int32_t unitId, int32_t casterIndex, const platform::Vec3& point,
                                   int send);
    CGameCommand* BuildTargetQuery(uint32_t slot, int32_t objectId1, int32_t objectId2, int send);
    CGameCommand* BuildItemSlotAction(int32_t id, const ItemSlotFields& fields, int send);
    CGameCommand* BuildUseItem(int32_t unitId, uint32_t ownerSlot, uint32_t inventorySlot, int send);
    CGameCommand* BuildFollowerAction(uint32_t action, int32_t unitId, uint32_t value1, uint32_t value2, int send);
    CGameCommand* BuildRunTrigger(uint32_t value1, uint32_t triggerHash, uint32_t value2, int send);
    CGameCommand* BuildRestoreUnit(int32_t unitId, const platform::Vec3& point, int send);
    // count ids (at most six are kept).
    CGameCommand* BuildUnitTargetList(int32_t unitId, const int32_t* ids, int count, uint32_t value, int send);
    // newObjectId 0xFFFFFFFF is a request that the host expands.
    CGameCommand* BuildSummon(uint32_t level, uint32_t casterSlot, int32_t casterId, const platform::Vec3& point,
                              int32_t targetId, uint32_t effectRecordId, uint32_t newObjectId, int send);
    CGameCommand* BuildUnitToArea(int32_t unitId, uint32_t triggerHash, int send);

    // Three ids or more: CMD_GRANT_REWARD_GROUP records of seven ids each in
    // list order and one for the rest; one or two ids: one CMD_GRANT_REWARD each.
    void EmitRewardCommands(const std::vector<int32_t>& ids, uint32_t kind, int32_t amount, int send);

    // Replays. WriteReplay does nothing unless recording; it runs on the
    // loader thread while the main thread waits. LoadReplay clears the
    // recording, then reads the whole file; only a sound file (version 1.3,
    // and with check set the map's check value and block) fills the
    // recording and world and switches to playback. 1 loaded, 0 not.
    int WriteReplay(const char* path, const char* mapName, uint32_t checkValue, const uint8_t checkBlock[16],
                    const ReplayWorldState& world);
    int LoadReplay(int check, const char* path, uint32_t checkValue, const uint8_t checkBlock[16],
                   ReplayWorldState* world);
    // 1 when the file opens and its version is 1.3; mapName gets the stored
    // map name's part after its last backslash or slash.
    int ReadReplayHeader(const char* path, std::string* mapName);

    // The per-slot values a replay keeps (filled when a match is prepared).
    std::array<uint32_t, kSlots> heroIds{};
    std::array<uint32_t, kSlots> bonusLevels{};
    std::array<std::string, kSlots> playerNames;

    uint32_t IsPacking() const { return m_packing; }
    uint32_t IsRecording() const { return m_recording; }
    uint32_t IsPlayback() const { return m_playback; }
    int32_t PlaybackIndex() const { return m_playbackIndex; }
    size_t QueueSize() const { return m_queue.size(); }
    const CCommandQueue& Queue() const { return m_queue; }
    const std::vector<CGameCommand*>& Recorded() const { return m_recorded; }
    const std::vector<float>& RecordedTimes() const { return m_recordedTimes; }
    const CBlockPool<CGameCommand>& Pool(uint32_t type) const { return m_pools[type]; }
    // Records dropped from damaged frames since the manager was made.
    uint32_t RejectedRecords() const { return m_rejected; }

private:
    // From the frames (online, send set) or the pool (then queued).
    CGameCommand* Begin(uint32_t type, int send);
    float Clock() const { return m_clock ? *m_clock : 0.0f; }
    bool KeepInRecording(const CGameCommand& record) const;
    // Playback: the next recorded record due by the clock.
    CGameCommand* NextRecorded();
    // Live play while recording: kept with the clock, or freed by the filter.
    void Record(CGameCommand* record);
    // Re-creates one validated record through its builder.
    CGameCommand* Rebuild(const CGameCommand& in);

    CCommandQueue m_queue;
    uint32_t m_packing = 0;
    int32_t m_frameIndex = 0;
    std::array<CommandFrame, kFrames> m_frames;
    const float* m_clock = nullptr;
    std::vector<CGameCommand*> m_recorded;
    std::vector<float> m_recordedTimes;
    uint32_t m_playback = 0;
    int32_t m_playbackIndex = 0;
    uint32_t m_recording = 0;
    uint32_t m_scenarioValue = 0;
    int32_t m_localTeam = 0;
    std::array<int32_t, kSlots> m_slotTeams{};
    std::vector<CBlockPool<CGameCommand>> m_pools;
    uint32_t m_rejected = 0;
};

extern CGameCommandManager* g_pGameCommandManager;
