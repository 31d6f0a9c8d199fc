// The preloaded hit sounds of the game data block: 15 rows of 6 sound file
// names. An attack plays the cell of the attacker's row and the target's column.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "engine/resource/Resource.h"

class CFileStream;

class CPreloadTable {
public:
    static constexpr uint32_t kRows = 15;
    static constexpr uint32_t kColumns = 6;
    static constexpr uint32_t kCells = kRows * kColumns;

    CPreloadTable() = default;
    ~CPreloadTable() { Release(); }
    CPreloadTable(const CPreloadTable&) = delete;
    CPreloadTable& operator=(const CPreloadTable&) = delete;

    // The 90 names, row by row, by the stream's mode.
    bool Serialize(CFileStream& stream);
    // Loads the sounds; while sound is unavailable each name leaves "Sound
    // load fail" in the error report and the load goes on. Adds step / 90 to
    // *progress after each cell when progress is given (another thread may
    // watch it). 0 at the first sound that cannot be made.
    int Load(std::atomic<float>* progress, float step);
    // Drops one reference of every loaded sound.
    void Release();

    // The sound of an attack: cell attackerRow x 6 + targetColumn; null out of range.
    CResource* HitSound(uint32_t attackerRow, uint32_t targetColumn) const;

    std::array<std::string, kCells> names;
    std::array<CResource*, kCells> sounds{};
};
