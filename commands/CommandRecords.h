// Game command records: every order and rule outcome of a match is one of
// these records. The same bytes travel in the command frames, run through the
// dispatcher and are stored in replays, so the layout is a wire and file
// format:
//
//   +0 u8 type (0..33)   +1 u8 size of the whole record (fixed per type)
//   +2 ...               the type's fields, little-endian, no padding
//
// Unit and object ids are 16-bit; -1 (as i16) means none. A point is a world
// X/Z position as two i16 truncated toward zero; the height is 0 on the way
// back. Bytes a type does not name are zero.
//
// A CGameCommand is never constructed: a pointer to one points at the type
// byte of a record, either in a pool block or inside an outgoing frame, and
// every field is read and written byte by byte at its offset.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/Math.h"

enum GameCommandType : uint8_t {
    CMD_UNIT_ORDER = 0,
    CMD_UNIT_ORDER_QUEUED = 1,
    CMD_UNIT_STOP = 2,
    CMD_HERO_REVIVE = 3,
    CMD_UNIT_NEXT_ORDER = 4,
    CMD_UNIT_KILLED = 5,
    CMD_HP_CHANGE = 6,
    CMD_CREATE_OBJECT = 7,
    CMD_TRIGGER_CONTROL = 8,
    CMD_SPAWN_UNIT = 9,
    CMD_GRANT_REWARD = 10,
    CMD_GRANT_REWARD_GROUP = 11,
    CMD_SKILL_SLOT_ACTION = 12,
    CMD_BUY_ITEM = 13,
    CMD_UI_CUE = 14,
    CMD_CHAT = 15,
    CMD_MOVE_ITEM = 16,
    CMD_CAST_SKILL = 17,
    CMD_MAP_ALERT = 18,
    CMD_UNIT_FLAGS = 19,
    CMD_GAME_EVENT = 20,
    CMD_PLAYER_EVENT = 21,
    CMD_SKILL_ACTION = 22,
    CMD_TARGET_QUERY = 23,
    CMD_ITEM_SLOT_ACTION = 24,
    CMD_USE_ITEM = 25,
    CMD_FOLLOWER_ACTION = 26,
    CMD_RUN_TRIGGER = 27,
    CMD_RESTORE_UNIT = 28,
    CMD_UNIT_TARGET_LIST = 29,
    CMD_PLAYER_SLOT_STATE = 30,
    CMD_UNIT_EFFECTS_RESET = 31,
    CMD_SUMMON = 32,
    CMD_UNIT_TO_AREA = 33,
};

constexpr int kGameCommandTypes = 34;

// One row per type: the builders, the pools, frame validation and the replay
// reader all take sizes from here.
struct GameCommandInfo {
    uint8_t type;
    const char* name;
    uint8_t size;
    uint8_t blocksPerChunk;
};

inline constexpr std::array<GameCommandInfo, kGameCommandTypes> kGameCommandTable = {{
    {CMD_UNIT_ORDER, "CMD_UNIT_ORDER", 24, 40},
    {CMD_UNIT_ORDER_QUEUED, "CMD_UNIT_ORDER_QUEUED", 16, 16},
    {CMD_UNIT_STOP, "CMD_UNIT_STOP", 4, 12},
    {CMD_HERO_REVIVE, "CMD_HERO_REVIVE", 8, 4},
    {CMD_UNIT_NEXT_ORDER, "CMD_UNIT_NEXT_ORDER", 4, 8},
    {CMD_UNIT_KILLED, "CMD_UNIT_KILLED", 8, 8},
    {CMD_HP_CHANGE, "CMD_HP_CHANGE", 12, 20},
    {CMD_CREATE_OBJECT, "CMD_CREATE_OBJECT", 16, 4},
    {CMD_TRIGGER_CONTROL, "CMD_TRIGGER_CONTROL", 8, 4},
    {CMD_SPAWN_UNIT, "CMD_SPAWN_UNIT", 20, 40},
    {CMD_GRANT_REWARD, "CMD_GRANT_REWARD", 8, 16},
    {CMD_GRANT_REWARD_GROUP, "CMD_GRANT_REWARD_GROUP", 20, 8},
    {CMD_SKILL_SLOT_ACTION, "CMD_SKILL_SLOT_ACTION", 8, 4},
    {CMD_BUY_ITEM, "CMD_BUY_ITEM", 12, 4},
    {CMD_UI_CUE, "CMD_UI_CUE", 28, 4},
    {CMD_CHAT, "CMD_CHAT", 136, 4},
    {CMD_MOVE_ITEM, "CMD_MOVE_ITEM", 12, 8},
    {CMD_CAST_SKILL, "CMD_CAST_SKILL", 16, 8},
    {CMD_MAP_ALERT, "CMD_MAP_ALERT", 8, 8},
    {CMD_UNIT_FLAGS, "CMD_UNIT_FLAGS", 12, 12},
    {CMD_GAME_EVENT, "CMD_GAME_EVENT", 8, 8},
    {CMD_PLAYER_EVENT, "CMD_PLAYER_EVENT", 4, 8},
    {CMD_SKILL_ACTION, "CMD_SKILL_ACTION", 12, 12},
    {CMD_TARGET_QUERY, "CMD_TARGET_QUERY", 8, 12},
    {CMD_ITEM_SLOT_ACTION, "CMD_ITEM_SLOT_ACTION", 8, 8},
    {CMD_USE_ITEM, "CMD_USE_ITEM", 8, 8},
    {CMD_FOLLOWER_ACTION, "CMD_FOLLOWER_ACTION", 12, 8},
    {CMD_RUN_TRIGGER, "CMD_RUN_TRIGGER", 12, 8},
    {CMD_RESTORE_UNIT, "CMD_RESTORE_UNIT", 8, 8},
    {CMD_UNIT_TARGET_LIST, "CMD_UNIT_TARGET_LIST", 20, 4},
    {CMD_PLAYER_SLOT_STATE, "CMD_PLAYER_SLOT_STATE", 4, 12},
    {CMD_UNIT_EFFECTS_RESET, "CMD_UNIT_EFFECTS_RESET", 4, 4},
    {CMD_SUMMON, "CMD_SUMMON", 20, 4},
    {CMD_UNIT_TO_AREA, "CMD_UNIT_TO_AREA", 8, 12},
}};

// The record size of a type; 0 for a type the game does not have.
constexpr uint8_t GameCommandSize(uint32_t type) {
    return type < kGameCommandTypes ? kGameCommandTable[type].size : 0;
}

// The largest record (CMD_CHAT).
constexpr size_t kMaxGameCommandSize = 136;
// CMD_CHAT's text field and the longest text it carries.
constexpr size_t kChatTextOffset = 4;
constexpr size_t kChatTextField = 128;
constexpr size_t kMaxChatText = 127;
// CMD_GRANT_REWARD_GROUP and CMD_UNIT_TARGET_LIST id arrays.
constexpr int kRewardGroupIds = 7;
constexpr int kTargetListIds = 6;

// Little-endian fields at a byte address: records and frame headers alike.
inline uint16_t LoadU16(const uint8_t* b) { return static_cast<uint16_t>(b[0] | b[1] << 8); }
inline uint32_t LoadU32(const uint8_t* b) {
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}
inline float LoadF32(const uint8_t* b) {
    const uint32_t u = LoadU32(b);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}
inline void StoreU16(uint8_t* b, uint32_t v) {
    b[0] = static_cast<uint8_t>(v);
    b[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreU32(uint8_t* b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void StoreF32(uint8_t* b, float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    StoreU32(b, u);
}

class CGameCommand {
public:
    CGameCommand() = delete;
    CGameCommand(const CGameCommand&) = delete;
    CGameCommand& operator=(const CGameCommand&) = delete;

    uint8_t Type() const { return Bytes()[0]; }
    uint8_t Size() const { return Bytes()[1]; }

    const uint8_t* Bytes() const { return reinterpret_cast<const uint8_t*>(this); }
    uint8_t* Bytes() { return reinterpret_cast<uint8_t*>(this); }

    uint8_t U8(size_t at) const { return Bytes()[at]; }
    uint16_t U16(size_t at) const { return LoadU16(Bytes() + at); }
    int16_t I16(size_t at) const { return static_cast<int16_t>(U16(at)); }
    uint32_t U32(size_t at) const { return LoadU32(Bytes() + at); }
    int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }
    float F32(size_t at) const { return LoadF32(Bytes() + at); }
    // A stored point as floats with height 0.
    platform::Vec3 Point(size_t at) const { return {float(I16(at)), 0.0f, float(I16(at + 2))}; }

    void SetU8(size_t at, uint32_t v) { Bytes()[at] = static_cast<uint8_t>(v); }
    void SetU16(size_t at, uint32_t v) { StoreU16(Bytes() + at, v); }
    void SetU32(size_t at, uint32_t v) { StoreU32(Bytes() + at, v); }
    void SetF32(size_t at, float v) { StoreF32(Bytes() + at, v); }
    // Two i16 at at and at + 2, each coordinate truncated toward zero.
    void SetPoint(size_t at, const platform::Vec3& p);

private:
    // The record is a view over its pool block: this only gives the class the
    // header's size; the bytes are reached through Bytes().
    [[maybe_unused]] uint8_t m_head[2];
};

// A float truncated toward zero into 16 bits; beyond the range it stops at
// the nearest end, and NaN gives 0.
int16_t TruncateToI16(float v);
// The same into 32 bits.
int32_t TruncateToI32(float v);
// Sign extension of the low bits of a packed field.
int32_t SignExtend(uint32_t value, int bits);

// CMD_MAP_ALERT's packed word: x in bits 0-14, z in bits 15-29 (each a signed
// 15-bit whole number), the alert kind in bits 30-31.
uint32_t PackMapAlert(const platform::Vec3& point, uint32_t kind);
struct MapAlertFields {
    int32_t x, z;
    uint32_t kind;
};
MapAlertFields UnpackMapAlert(uint32_t packed);

// CMD_ITEM_SLOT_ACTION's packed word: bit 0 flag, bit 1 storage flag, bits 2-5
// kind (signed 4-bit), bits 6-11 slot (signed 6-bit), bits 12-31 index
// (signed 20-bit).
struct ItemSlotFields {
    uint32_t flag, storage;
    int32_t kind, slot, index;
};
uint32_t PackItemSlot(const ItemSlotFields& f);
ItemSlotFields UnpackItemSlot(uint32_t packed);

// CMD_GAME_EVENT's keep flag: whether a replay keeps the event.
constexpr uint8_t GameEventKeepFlag(uint32_t kind) { return kind != 7 && (kind < 9 || kind > 10) ? 1 : 0; }
