// The room and hero-select messages a fake server sends, built field by
// field: the 973-byte room record (1007), the slot-state table (1008) and the
// heroes chosen so far or finally (1019, 1020).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct RoomMemberSpec {
    std::string nickname;
    std::string guild;
    int32_t rank = 1;
    int32_t rankPoints = 0;
    uint16_t disconnectPoints = 0;
    uint8_t noPenalty = 0;
};

struct RoomSlotSpec {
    uint8_t state = 0;  // 0 open, 1 closed, 2 occupied
    uint8_t team = 0;
    uint8_t ready = 0;
    uint8_t changingTeam = 0;
    uint8_t unused = 0;
};

struct RoomSpec {
    uint16_t number = 0;
    uint16_t unused2 = 0;
    std::string title = "room";
    std::string password;
    uint16_t lowerRank = 1;
    uint16_t upperRank = 100;
    uint8_t mode = 0;
    uint16_t mapId = 0;
    uint8_t unused55 = 0;
    int8_t memberLimit = 12;
    uint8_t teamChange = 2;
    uint16_t guardianChoice = 0;
    uint8_t hostSlot = 0;
    // Slots 0-5 team 0 and 6-11 team 1, all open, until a test sets them.
    std::array<RoomSlotSpec, 12> slots{};
    std::array<RoomMemberSpec, 12> members{};

    RoomSpec();
    // Puts a player into the slot (occupied, of the slot's team).
    RoomSpec& Seat(int slot, const std::string& nickname, bool ready = false, int32_t rank = 1);
};

std::vector<uint8_t> RoomInfoPayload(const RoomSpec& room);
// 1008: the twelve 5-byte slot entries.
std::vector<uint8_t> SlotStatesPayload(const RoomSpec& room);
// 1019 and 1020: twelve u32 choices (0 none, 1 random, else a hero) and twelve card levels.
std::vector<uint8_t> HeroChoicesPayload(const std::array<uint32_t, 12>& choices,
                                        const std::array<uint8_t, 12>& levels = {});
