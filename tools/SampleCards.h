// The cards and shop entries of the sample game data: one card of each kind,
// a hero card, a base card that combination upgrades, the three jewels, the
// five prize cards, and shop entries of categories 1-4 priced in Cra, Cash or
// both, one sold out, one hidden and one holding two cards. Tests take the
// ids from here so that the shop they see is the sample folder's.
#pragma once

#include <cstdint>

class CGameDataRegistry;

namespace sample_cards {

// Card ids (the record is id / 100, the level or count id % 100). A record's
// key ends in its full count, so that a full stack is key % 100.
constexpr uint32_t kDayCard = 2000010505u;     // 5 days, refund 10, price 20
constexpr uint32_t kCountCard = 2000021010u;   // 10 uses
constexpr uint32_t kGameCard = 2000030303u;    // 3 games
constexpr uint32_t kAllCard = 2000040101u;     // price 500
constexpr uint32_t kHeroCard = 2000100101u;    // Knight
constexpr uint32_t kBaseCard = 2000200100u;    // level 0; + n for level n
constexpr uint32_t kJewel1 = 3100011000u, kJewel2 = 3100021000u, kJewel3 = 3100031000u;
constexpr uint16_t kJewelStack = 10;
constexpr uint32_t kPrizeCard = 3010020100u;
constexpr const char* kCardIcon = "CARD_ICON.DDS";
constexpr const char* kJewelIcon = "JEWEL_ICON.DDS";

// Shop codes.
constexpr uint32_t kShopDayCard = 1;   // category 1, 100 Cra
constexpr uint32_t kShopCash = 2;      // category 2, 50 Cash
constexpr uint32_t kShopBoth = 3;      // category 3, 300 Cra & 30 Cash
constexpr uint32_t kShopFourth = 4;    // category 4 (listed with 3)
constexpr uint32_t kShopSoldOut = 5;   // category 1, sold out
constexpr uint32_t kShopHidden = 6;    // category 1, hidden
constexpr uint32_t kShopBundle = 7;    // category 1, two cards
constexpr uint32_t kShopPrize = 8;     // category 1, a prize card

void AddSampleCards(CGameDataRegistry& registry);

}  // namespace sample_cards
