// The pools of a match's world, one per pooled class, with the size of the
// first block the world object manager gives each. Effect kinds that share a
// pool are instances of one effect class.
#pragma once

#include <cstdint>

enum PoolKind : int32_t {
    POOL_INVENTORY_ITEM,
    POOL_ORDER_RECORD,
    POOL_LIST_ENTRY,  // the small entries a world object keeps and saves with the map
    POOL_EFFECT_A,    // effect kind 0
    POOL_EFFECT_B,    // effect kinds 1, 2, 4, 6
    POOL_EFFECT_C,    // 5
    POOL_EFFECT_D,    // 7
    POOL_EFFECT_E,    // 11
    POOL_EFFECT_F,    // 8, 10
    POOL_EFFECT_G,    // 9
    POOL_EFFECT_H,    // 3
    POOL_EFFECT_I,    // 12
    POOL_EFFECT_J,    // 13
    POOL_EFFECT_K,    // 14
    POOL_EFFECT_L,    // 15
    POOL_EFFECT_M,    // 16
    POOL_EFFECT_N,    // 17
    POOL_EFFECT_O,    // 18
    POOL_EFFECT_P,    // 19
    POOL_EFFECT_Q,    // 20
    POOL_EFFECT_R,    // 21
    POOL_EFFECT_S,    // 22
    POOL_EFFECT_T,    // 23
    POOL_UNIT,
    POOL_BUILDING,
    POOL_DECORATION,
    POOL_ITEM_OBJECT,
    POOL_SKILL_2,
    POOL_SKILL_3,
    POOL_SKILL_5,
    POOL_SKILL_1,
    POOL_SKILL_0,
    POOL_SKILL_7,
    POOL_SKILL_4,
    POOL_SKILL_6,
    POOL_SKILL_8,
    POOL_COUNT
};

// First block sizes in PoolKind order.
inline constexpr int32_t kPoolFirstBlock[POOL_COUNT] = {
    100, 101, 50,                                                                  // items, orders, list entries
    30,  20,  20, 20, 10, 15, 20, 15, 10, 10, 10, 30, 10, 20, 30, 20, 20, 20, 15, 15,  // effects A-T
    50,  50,  50, 30,                                                              // objects
    30,  30,  30, 30, 30, 30, 30, 30, 20,                                          // skill kinds
};

// The pool of an effect kind 0..23, of a skill kind 0..8, of an object type 0..3; -1 outside.
inline constexpr int32_t EffectPool(int32_t kind) {
    constexpr int32_t table[24] = {POOL_EFFECT_A, POOL_EFFECT_B, POOL_EFFECT_B, POOL_EFFECT_H, POOL_EFFECT_B,
                                   POOL_EFFECT_C, POOL_EFFECT_B, POOL_EFFECT_D, POOL_EFFECT_F, POOL_EFFECT_G,
                                   POOL_EFFECT_F, POOL_EFFECT_E, POOL_EFFECT_I, POOL_EFFECT_J, POOL_EFFECT_K,
                                   POOL_EFFECT_L, POOL_EFFECT_M, POOL_EFFECT_N, POOL_EFFECT_O, POOL_EFFECT_P,
                                   POOL_EFFECT_Q, POOL_EFFECT_R, POOL_EFFECT_S, POOL_EFFECT_T};
    return kind >= 0 && kind < 24 ? table[kind] : -1;
}
inline constexpr int32_t SkillPool(int32_t kind) {
    constexpr int32_t table[9] = {POOL_SKILL_0, POOL_SKILL_1, POOL_SKILL_2, POOL_SKILL_3, POOL_SKILL_4,
                                  POOL_SKILL_5, POOL_SKILL_6, POOL_SKILL_7, POOL_SKILL_8};
    return kind >= 0 && kind < 9 ? table[kind] : -1;
}
inline constexpr int32_t ObjectTypePool(int32_t type) {
    return type >= 0 && type < 4 ? POOL_UNIT + type : -1;
}
