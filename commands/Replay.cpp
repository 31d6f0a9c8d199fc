// The replay writer and reader of the command manager, and the reader's
// checks. A replay is read whole into memory first and taken apart there, so
// a short, cut or hostile file changes nothing: the recording and the world
// state are filled only from a file that passed every check.
#include "commands/Replay.h"

#include <cstdio>
#include <cstring>

#include "commands/GameCommandManager.h"
#include "engine/core/BlockReader.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/MessageKeys.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"

namespace {

// Smallest stored entry: time, type and the smallest record.
constexpr size_t kMinEntryBytes = 8 + 4;
// A replay is a few megabytes; a larger file is not one of ours.
constexpr uint32_t kMaxReplayBytes = 256u << 20;

}  // namespace

bool ParseReplay(CBlockReader& in, ReplayContents& out) {
    if (!in.String(out.mapName, kMaxReplayMapName)) return false;
    out.version = in.Float();
    if (in.Failed() || out.version != kReplayVersion) return false;
    out.checkValue = in.U32();
    in.Bytes(out.checkBlock.data(), out.checkBlock.size());
    out.world.matchLength = in.Float();
    for (uint32_t& id : out.heroIds) id = in.U32();
    for (uint32_t& level : out.bonusLevels) level = in.U32();
    for (std::string& name : out.names)
        if (!in.String(name, kMaxReplayPlayerName)) return false;
    out.world.scenarioValue = in.U32();
    out.world.localSlot = in.U32();
    const uint32_t count = in.U32();
    if (in.Failed() || count > in.Remaining() / kMinEntryBytes) return false;

    out.entries.clear();
    out.entries.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const float time = in.Float();
        const uint32_t type = in.U32();
        const uint8_t size = GameCommandSize(type);
        if (in.Failed() || size == 0 || in.Remaining() < size) return false;
        // The record's own head must agree with its type: it decides the pool
        // the record goes back to.
        const size_t at = in.Position();
        if (in.Data()[at] != type || in.Data()[at + 1] != size) return false;
        in.Skip(size);
        out.entries.push_back({time, at});
    }

    for (std::vector<uint32_t>& ids : out.world.slotRecordIds) {
        const uint32_t n = in.U32();
        if (in.Failed() || n > in.Remaining() / 4) return false;
        ids.resize(n);
        for (uint32_t& id : ids) id = in.U32();
    }
    return !in.Failed();
}

std::string ReplayFilePath(const char* folder, const std::tm& t) {
    char name[64];
    std::snprintf(name, sizeof(name), "REPLAY_%04d%02d%02d%02d%02d%02d.SRD", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return std::string(folder ? folder : "") + "\\" + name;
}

std::string ReplayFilePath(const char* folder) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return ReplayFilePath(folder, local);
}

// Runs on the loader thread while the main thread waits for the job.
int CGameCommandManager::WriteReplay(const char* path, const char* mapName, uint32_t checkValue,
                                     const uint8_t checkBlock[16], const ReplayWorldState& world) {
    if (!m_recording) return 0;
    CFileStream s;
    if (!s.OpenWrite(path)) return 0;
    s.WriteString(mapName);
    s.WriteFloat(kReplayVersion);
    s.WriteU32(checkValue);
    uint8_t block[16] = {};
    if (checkBlock) std::memcpy(block, checkBlock, sizeof(block));
    s.Write(block, sizeof(block));
    s.WriteFloat(world.matchLength);
    for (uint32_t id : heroIds) s.WriteU32(id);
    for (uint32_t level : bonusLevels) s.WriteU32(level);
    for (const std::string& name : playerNames) s.WriteString(name.c_str());
    s.WriteU32(m_scenarioValue);
    s.WriteU32(world.localSlot);
    s.WriteU32(static_cast<uint32_t>(m_recorded.size()));
    for (size_t i = 0; i < m_recorded.size(); ++i) {
        s.WriteFloat(m_recordedTimes[i]);
        s.WriteU32(m_recorded[i]->Type());
        s.Write(m_recorded[i]->Bytes(), m_recorded[i]->Size());
    }
    for (const std::vector<uint32_t>& ids : world.slotRecordIds) {
        s.WriteU32(static_cast<uint32_t>(ids.size()));
        for (uint32_t id : ids) s.WriteU32(id);
    }
    const bool ok = !s.Failed();
    s.Close();
    return ok ? 1 : 0;
}

int CGameCommandManager::LoadReplay(int check, const char* path, uint32_t checkValue, const uint8_t checkBlock[16],
                                    ReplayWorldState* world) {
    ClearRecording();
    CFileStream s;
    if (!s.OpenRead(path)) return 0;
    const std::string name = FileNamePart(s.path());
    if (s.Remaining() > kMaxReplayBytes) {
        ErrorReport().SetError(ERR_DATA, GetMessageText(MSG_ERROR_WRONG_DATA_FILE), name);
        return 0;
    }
    CBlockReader in(s, s.Remaining());
    s.Close();
    ReplayContents c;
    if (in.Failed() || !ParseReplay(in, c)) {
        if (c.version != 0.0f && c.version != kReplayVersion)
            ErrorReport().SetError(ERR_FILE_VERSION, GetMessageText(MSG_ERROR_FILE_VERSION), name);
        else
            ErrorReport().SetError(ERR_DATA, GetMessageText(MSG_ERROR_WRONG_DATA_FILE), name);
        return 0;
    }
    if (check && (c.checkValue != checkValue || !checkBlock ||
                  std::memcmp(c.checkBlock.data(), checkBlock, c.checkBlock.size()) != 0)) {
        ErrorReport().SetError(ERR_DATA, GetMessageText(MSG_ERROR_WRONG_DATA_FILE), name);
        return 0;
    }

    m_recorded.reserve(c.entries.size());
    m_recordedTimes.reserve(c.entries.size());
    for (const ReplayContents::Entry& e : c.entries) {
        CGameCommand* record = CreateCommand(in.Data()[e.offset]);
        if (!record) {
            ClearRecording();
            return 0;
        }
        std::memcpy(record->Bytes(), in.Data() + e.offset, record->Size());
        m_recorded.push_back(record);
        m_recordedTimes.push_back(e.time);
    }
    heroIds = c.heroIds;
    bonusLevels = c.bonusLevels;
    playerNames = c.names;
    m_scenarioValue = c.world.scenarioValue;
    if (world) *world = std::move(c.world);
    m_packing = 0;
    m_playback = 1;
    m_playbackIndex = 0;
    return 1;
}

int CGameCommandManager::ReadReplayHeader(const char* path, std::string* mapName) {
    if (mapName) mapName->clear();
    CFileStream s;
    if (!s.OpenRead(path)) return 0;
    std::string stored;
    s.ReadString(stored, kMaxReplayMapName);
    float version = 0.0f;
    s.ReadFloat(version);
    if (s.Failed() || version != kReplayVersion) return 0;
    const size_t cut = stored.find_last_of("\\/");
    if (mapName) *mapName = cut == std::string::npos ? stored : stored.substr(cut + 1);
    return 1;
}
