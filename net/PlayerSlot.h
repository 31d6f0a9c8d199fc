// One of the twelve player positions of a match (0-5 Light, 6-11 Darkness):
// what the player brings in (hero, bonus level, nickname) and what the match
// adds up for them (gold, stash items, counters).
#pragma once

#include <array>
#include <cstdint>
#include <string>

class CInventoryItem;
class CGameDataRecord;

class CPlayerSlot {
public:
    static constexpr int kItems = 12;

    CPlayerSlot() = default;
    virtual ~CPlayerSlot();
    CPlayerSlot(const CPlayerSlot&) = delete;
    CPlayerSlot& operator=(const CPlayerSlot&) = delete;

    // Ready for a new match: gold and counters cleared (the hero level to 1),
    // items released; the hero, bonus level, names and loading values stay.
    void Reset();
    // Frees every stash item through the world object manager.
    void ReleaseItems();
    // 0..11, or -1 when all twelve entries are taken.
    int FirstFreeItemSlot() const;
    // A new stash item of the ITEM record into the first free entry; nothing
    // when the stash is full or the item cannot be made.
    void AddItem(CGameDataRecord* record, uint32_t dataId, int32_t charges);
    // Takes gold away, never below 0, and adds what was taken to the lost tally.
    void LoseGold(int32_t amount);
    const char* GetNickname() const { return nickname.c_str(); }

    uint32_t heroId = 0;     // UNIT record of the hero; 0 = no hero here
    int32_t bonusLevel = 0;  // 2 % of the hero's base attributes a point
    uint32_t position = 0;   // 0..11
    uint32_t itemCount = 0;
    std::array<CInventoryItem*, kItems> items{};
    uint32_t cardLevel = 0;  // loading value A
    uint32_t heroFlag = 0;
    uint32_t observer = 0;  // loading value B
    int32_t gold = 0;
    int32_t points = 0;         // c0
    int32_t heroKills = 0;      // c1
    int32_t unitKills = 0;      // c2
    int32_t buildingKills = 0;  // c3
    int32_t deaths = 0;         // c4
    int32_t extraPoints = 0;    // c5
    int32_t level = 1;          // c6
    int32_t score = 0;          // c7
    int32_t counter8 = 0;       // c8
    int32_t goldEarned = 0;
    int32_t goldTally = 0;
    int32_t goldLost = 0;
    int32_t experience = 0;
    int32_t streak = 0;
    uint32_t excluded = 0;
    uint32_t randomHero = 0;
    std::string nickname;
    std::string secondName;
};
