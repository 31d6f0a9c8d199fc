// Where the card shop keeps its data in the game data block. A card is an
// item catalogue entry (found by card id / 100); a shop entry is an item text
// entry (found by its shop code). The block's entries are generic, so this
// file is the one place that names their fields.
//
// Card (ItemCatalogueEntry): texts 0 name, 1 description, 2 icon texture;
// values 0 kind (0 day, 1 count, 2 game, 3 all), 1 refund price per unit,
// 2 unit price, 3 flag bits, 4 class (0 a base card that combination
// upgrades, 1 a hero card, anything else a material); text4 the linked
// unit's name (hero cards).
//
// Shop entry (ItemTextEntry): texts 0 name, 1 icon texture, 2 description;
// values 0 category (1..4), 1 flag bits, 2 Cra price, 3 Cash price;
// values2 0..3 the contained card ids (0 none).
#pragma once

#include <cstdint>
#include <string>

#include "world/GameDataRegistry.h"
#include "world/InventorySlot.h"

namespace card {

enum Kind : uint32_t { KIND_DAY = 0, KIND_COUNT = 1, KIND_GAME = 2, KIND_ALL = 3 };
enum Class : uint32_t { CLASS_BASE = 0, CLASS_HERO = 1, CLASS_MATERIAL = 2 };

// Card flag bits.
constexpr uint32_t kNotRefundable = 0x10;
constexpr uint32_t kCountCard = 0x20;
constexpr uint32_t kNotForSale = 0x40;
constexpr uint32_t kNotUsableHere = 0x100000;
// Shop entry flag bits: three marks shown beside the entry, sold out, hidden.
constexpr uint32_t kMarkOne = 0x1;
constexpr uint32_t kMarkTwo = 0x10;
constexpr uint32_t kMarkThree = 0x20;
constexpr uint32_t kSoldOut = 0x100;
constexpr uint32_t kHidden = 0x1000;
constexpr int kShopContents = 4;

inline const std::string& Name(const ItemCatalogueEntry& c) { return c.texts[0]; }
inline const std::string& Description(const ItemCatalogueEntry& c) { return c.texts[1]; }
inline const std::string& Icon(const ItemCatalogueEntry& c) { return c.texts[2]; }
inline uint32_t KindOf(const ItemCatalogueEntry& c) { return c.values[0]; }
inline uint32_t RefundPrice(const ItemCatalogueEntry& c) { return c.values[1]; }
inline uint32_t UnitPrice(const ItemCatalogueEntry& c) { return c.values[2]; }
inline uint32_t Flags(const ItemCatalogueEntry& c) { return c.values[3]; }
inline uint32_t ClassOf(const ItemCatalogueEntry& c) { return c.values[4]; }
inline const std::string& LinkedUnit(const ItemCatalogueEntry& c) { return c.text4; }
// The record's code as a card id: its level or full-stack count is code % 100.
inline uint32_t FullCount(const ItemCatalogueEntry& c) { return c.code % 100; }

inline const std::string& Name(const ItemTextEntry& e) { return e.texts[0]; }
inline const std::string& Icon(const ItemTextEntry& e) { return e.texts[1]; }
inline uint32_t Category(const ItemTextEntry& e) { return e.values[0]; }
inline uint32_t Flags(const ItemTextEntry& e) { return e.values[1]; }
inline uint32_t CraPrice(const ItemTextEntry& e) { return e.values[2]; }
inline uint32_t CashPrice(const ItemTextEntry& e) { return e.values[3]; }
inline uint32_t Content(const ItemTextEntry& e, int n) { return e.values2[static_cast<size_t>(n)]; }

// Card ids are unsigned: the jewels are above INT32_MAX.
inline uint32_t Level(uint32_t cardId) { return cardId % 100; }
constexpr uint32_t kJewelFamily = 310;
inline bool IsJewel(uint32_t cardId) { return cardId / 10000000u == kJewelFamily; }
constexpr uint32_t kJewelLow = 3100011000u, kJewelMid = 3100021000u, kJewelTop = 3100031000u;
// The jewel a base card of this level needs, 0 at level 12 and above.
inline uint32_t JewelForLevel(uint32_t level) {
    return level < 4 ? kJewelLow : level < 8 ? kJewelMid : level < 12 ? kJewelTop : 0;
}
// The five prize cards, opened by the server rather than put in use.
bool IsPrizeCard(uint32_t cardId);

}  // namespace card
