// The replay file (".SRD"): the command records a match executed, with what
// is needed to set the same match up again. Little-endian; a string is an i32
// length counting its NUL, then the bytes with the NUL (the empty string is
// the i32 0 alone).
//
//   string     map file name of the match
//   f32        version 1.3 (bits 0x3FA66666), compared exactly
//   u32        map check value (the map-list entry's value)
//   16 bytes   map check block (the map-list entry's block)
//   f32        match length (the match clock when the match ended)
//   12 x u32   hero data id of each player slot (0 = no player)
//   12 x u32   bonus level of each player slot
//   12 x str   player names
//   u32        the map scenario's value saved when the match began
//   u32        local player slot when recorded
//   u32        N, the number of records
//   N x entry  u32 match time (f32 bits), u32 record type, the record's bytes
//              (as many as its size byte, type and size included)
//   12 x list  per slot: u32 count, then count x u32 game data record ids
//
// There is no trailer and no checksum. The reader takes the whole file apart
// into temporaries first and applies nothing unless every field is sound.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

class CBlockReader;

constexpr int kReplaySlots = 12;
constexpr float kReplayVersion = 1.3f;
// Longest stored map name and player name the reader takes.
constexpr size_t kMaxReplayMapName = 4096;
constexpr size_t kMaxReplayPlayerName = 256;

// The world's part of a replay: the match length, the local slot, the map
// scenario's value and each slot's list of game data record ids. The command
// manager knows nothing of the world: the result screen gathers this for the
// writer, and the caller of LoadReplay applies what the reader gives back.
struct ReplayWorldState {
    float matchLength = 0.0f;
    uint32_t localSlot = 0;
    uint32_t scenarioValue = 0;
    std::array<std::vector<uint32_t>, kReplaySlots> slotRecordIds;
};

// Everything of a replay file but its records, plus where each record lies in
// the file's bytes.
struct ReplayContents {
    std::string mapName;
    float version = 0.0f;
    uint32_t checkValue = 0;
    std::array<uint8_t, 16> checkBlock{};
    std::array<uint32_t, kReplaySlots> heroIds{};
    std::array<uint32_t, kReplaySlots> bonusLevels{};
    std::array<std::string, kReplaySlots> names;
    ReplayWorldState world;
    struct Entry {
        float time;
        size_t offset;  // of the record's type byte in the file's bytes
    };
    std::vector<Entry> entries;
};

// Takes a replay file's bytes apart: true only when the version is 1.3, every
// field is there, every record's type is known and its stored type and size
// bytes match the type. Entry offsets point into in's bytes. Nothing is read
// past the end.
bool ParseReplay(CBlockReader& in, ReplayContents& out);

// "<folder>\REPLAY_YYYYMMDDhhmmss.SRD" for a local time.
std::string ReplayFilePath(const char* folder, const std::tm& localTime);
// The same for the local time now (localtime_r).
std::string ReplayFilePath(const char* folder);
