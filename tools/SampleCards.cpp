#include "tools/SampleCards.h"

#include <memory>
#include <string>

#include "screens/lobby/CardRecord.h"
#include "world/GameDataRegistry.h"

namespace sample_cards {

namespace {

struct CardSpec {
    uint32_t id;
    const char* name;
    uint32_t kind, refund, price, flags, cardClass;
    const char* icon;
    const char* unit;
};

struct ShopSpec {
    uint32_t code;
    const char* name;
    uint32_t category, flags, cra, cash;
    uint32_t cards[card::kShopContents];
};

}  // namespace

void AddSampleCards(CGameDataRegistry& registry) {
    // A hero card carries its hero's name, by which hero select finds it.
    const CardSpec cards[] = {
        {kDayCard, "Day card", card::KIND_DAY, 10, 20, 0, card::CLASS_MATERIAL, kCardIcon, ""},
        {kCountCard, "Count card", card::KIND_COUNT, 0, 15, card::kCountCard, card::CLASS_MATERIAL, kCardIcon, ""},
        {kGameCard, "Game card", card::KIND_GAME, 5, 12, 0, card::CLASS_MATERIAL, kCardIcon, ""},
        {kAllCard, "All card", card::KIND_ALL, 0, 500, 0, card::CLASS_MATERIAL, kCardIcon, ""},
        {kHeroCard, "Knight", card::KIND_DAY, 10, 40, 0, card::CLASS_HERO, kCardIcon, "Knight"},
        {kBaseCard, "Base card", card::KIND_ALL, 0, 100, 0, card::CLASS_BASE, kCardIcon, ""},
        {kJewel1, "Jewel I", card::KIND_ALL, 0, 30, 0, card::CLASS_MATERIAL, kJewelIcon, ""},
        {kJewel2, "Jewel II", card::KIND_ALL, 0, 60, 0, card::CLASS_MATERIAL, kJewelIcon, ""},
        {kJewel3, "Jewel III", card::KIND_ALL, 0, 90, 0, card::CLASS_MATERIAL, kJewelIcon, ""},
        {3010020100u, "Prize card I", card::KIND_ALL, 0, 0, 0, card::CLASS_MATERIAL, kCardIcon, ""},
        {3010030100u, "Prize card II", card::KIND_ALL, 0, 0, 0, card::CLASS_MATERIAL, kCardIcon, ""},
        {3010040100u, "Prize card III", card::KIND_ALL, 0, 0, 0, card::CLASS_MATERIAL, kCardIcon, ""},
        {3010050100u, "Prize card IV", card::KIND_ALL, 0, 0, 0, card::CLASS_MATERIAL, kCardIcon, ""},
        {3010060100u, "Prize card V", card::KIND_ALL, 0, 0, 0, card::CLASS_MATERIAL, kCardIcon, ""},
    };
    for (const CardSpec& c : cards) {
        auto entry = std::make_unique<ItemCatalogueEntry>();
        entry->code = c.id / 100;
        entry->texts = {c.name, std::string(c.name) + " of the sample shop", c.icon};
        entry->values = {c.kind, c.refund, c.price, c.flags, c.cardClass};
        entry->text4 = c.unit;
        registry.AddCatalogueEntry(std::move(entry));
    }
    const ShopSpec shop[] = {
        {kShopDayCard, "Day card x5", 1, card::kMarkOne, 100, 0, {kDayCard, 0, 0, 0}},
        {kShopCash, "Count card x10", 2, card::kMarkTwo, 0, 50, {kCountCard, 0, 0, 0}},
        {kShopBoth, "Knight card", 3, card::kMarkOne | card::kMarkThree, 300, 30, {kHeroCard, 0, 0, 0}},
        {kShopFourth, "Game card x3", 4, 0, 120, 0, {kGameCard, 0, 0, 0}},
        {kShopSoldOut, "All card", 1, card::kSoldOut, 500, 0, {kAllCard, 0, 0, 0}},
        {kShopHidden, "Hidden card", 1, card::kHidden, 1, 0, {kDayCard, 0, 0, 0}},
        {kShopBundle, "Starter bundle", 1, 0, 150, 0, {kDayCard, kGameCard, 0, 0}},
        {kShopPrize, "Prize card", 1, 0, 200, 0, {kPrizeCard, 0, 0, 0}},
    };
    for (const ShopSpec& s : shop) {
        auto entry = std::make_unique<ItemTextEntry>();
        entry->code = s.code;
        entry->texts = {s.name, kCardIcon, ""};
        entry->values = {s.category, s.flags, s.cra, s.cash};
        for (int n = 0; n < card::kShopContents; ++n) entry->values2[static_cast<size_t>(n)] = s.cards[n];
        registry.AddTextEntry(std::move(entry));
    }
}

}  // namespace sample_cards
