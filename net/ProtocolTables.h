// The servers' protocol data that the client needs: the permutation that
// scrambles a sealed account record, and the experience needed for each
// account level. Both belong to the servers' configuration, so they are read
// from a data file in the game folder and checked when loaded.
//
// File layout ("PROTOCOL.DAT", little-endian, through CFileStream):
//   float  version (1.0)
//   u32    permutation count (96), then 96 u32: a permutation of 0..95
//   u32    level count (101), then 101 u32: experience per level; entry 0 is
//          unused, entries 1..100 rise strictly from 0
#pragma once

#include <array>
#include <cstdint>

class CProtocolTables {
public:
    static constexpr const char* kFileName = "PROTOCOL.DAT";
    static constexpr float kVersion = 1.0f;
    static constexpr int kPermutationSize = 96;
    static constexpr int kLevelCount = 101;
    static constexpr int kMaxLevel = 100;

    using Permutation = std::array<uint32_t, kPermutationSize>;
    using Experience = std::array<uint32_t, kLevelCount>;

    // Registers itself as the process-wide tables when none is registered.
    CProtocolTables();
    ~CProtocolTables();
    CProtocolTables(const CProtocolTables&) = delete;
    CProtocolTables& operator=(const CProtocolTables&) = delete;

    // 1 loaded, 0 with the error report set (missing file, wrong version, a
    // permutation that is not one of 0..95, experience that does not rise).
    int Load(const char* path = kFileName);
    // Takes tables that are already in memory, checked as on load.
    int Set(const Permutation& permutation, const Experience& experience);

    bool IsLoaded() const { return m_loaded; }
    const Permutation& GetPermutation() const { return m_permutation; }
    const Experience& GetExperience() const { return m_experience; }

    // 1 when the tables are usable, 0 with the error report naming the fault.
    static int Check(const Permutation& permutation, const Experience& experience, const char* source);

private:
    int Take(const Permutation& permutation, const Experience& experience, const char* source);

    Permutation m_permutation{};
    Experience m_experience{};
    bool m_loaded = false;
    bool m_registered = false;
};

extern CProtocolTables* g_pProtocolTables;

// Progress from the start of a level to the next, 0..100; 0 below level 1 or
// without tables, 100 from level 100 on.
int LevelProgressPercent(int level, int64_t experience);
