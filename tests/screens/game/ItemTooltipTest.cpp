// The item tooltip's colours and values, the cool-down atlas cell and the
// count badge's place.
#include "screens/game/ItemTooltip.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/core/MessageTable.h"
#include "tests/fixtures/SampleTexts.h"
#include "world/ItemData.h"

namespace {

std::unique_ptr<CItemData> Item(uint32_t grade, uint32_t price, uint32_t stack, uint32_t level) {
    auto made = std::make_unique<CItemData>();
    CItemData& item = *made;
    item.text = "Sword";
    item.itemText2 = "Sharp.";
    item.kind = grade;
    item.itemWord[1] = price;
    item.itemWord[2] = level;
    item.itemWord[3] = stack;
    return made;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ItemTooltip, ColoursValuesAndHelpLines) {
    SampleTexts texts;
    struct Case {
        const char* what;
        uint32_t grade, price, stack, level;
        int buying;
        int32_t count, gold;
        const char* nameColour;
        const char* priceColour;
        int32_t value;
        int helpLine;  // 0 none, 1 buy, 2 inventory
    };
    const Case cases[] = {
        {"unaffordable grade 3", 3, 500, 1, 1, 1, 0, 100, "/C=ffffff", "/C=ff0000", 500, 1},
        {"affordable grade 1", 1, 500, 1, 1, 1, 0, 500, "/C=ff99ff", "/C=ffff00", 500, 1},
        {"sale of a 100-gold item", 2, 100, 1, 1, 0, 1, 0, "/C=0000ff", "/C=ffff00", 90, 2},
        {"part of a grade-0 stack", 0, 100, 10, 1, 0, 3, 0, "/C=ffff00", "/C=ffff00", 27, 2},
        {"a stack size of 0 counts as 1", 0, 100, 0, 1, 0, 1, 0, "/C=ffff00", "/C=ffff00", 90, 2},
        {"a grade past 4 is white", 9, 100, 1, 1, 0, 0, 0, "/C=ffffff", "/C=ffff00", 100, 2},
        {"a negative count adds no help", 4, 100, 1, 1, 0, -1, 0, "/C=ff00ff", "/C=ffff00", 100, 0},
    };
    for (const Case& c : cases) {
        const std::string text = BuildItemTooltip(*Item(c.grade, c.price, c.stack, c.level), c.buying, c.count, c.gold);
        EXPECT_TRUE(Has(text, std::string("<") + c.nameColour + ">Sword")) << c.what << ": " << text;
        EXPECT_TRUE(Has(text, std::string("<") + c.priceColour + ">" + std::to_string(c.value))) << c.what << ": " << text;
        EXPECT_EQ(Has(text, GetMessageText(MSG_GAMEPLAY_SHOP_BUY_TOOLTIP)), c.helpLine == 1) << c.what;
        EXPECT_EQ(Has(text, GetMessageText(MSG_GAMEPLAY_INVEN_HELP_TOOLTIP)), c.helpLine == 2) << c.what;
    }
    // A required level above 1 uses the level line; 0 and 1 both mean none.
    const std::string levelled = BuildItemTooltip(*Item(1, 10, 1, 7), 1, 0, 100);
    const std::string plain = BuildItemTooltip(*Item(1, 10, 1, 0), 1, 0, 100);
    EXPECT_TRUE(Has(levelled, "7"));
    EXPECT_NE(levelled, plain);
    EXPECT_EQ(plain, BuildItemTooltip(*Item(1, 10, 1, 1), 1, 0, 100));
}

TEST(ItemTooltip, CooldownCellsAndTheBadgePlace) {
    struct Case {
        float elapsed, total;
        bool drawn;
        float u, v;
    };
    const Case cases[] = {
        {0, 10, true, 0, 0},         {9.99f, 10, true, 0.9f, 0.9f}, {2.37f, 10, true, 0.3f, 0.2f},
        {50, 10, true, 0.9f, 0.9f},  {-3, 10, true, 0, 0},          {5, 0, false, 0, 0},
        {5, -1, false, 0, 0},
    };
    for (const Case& c : cases) {
        const CooldownCell cell = CooldownAtlasCell(c.elapsed, c.total);
        EXPECT_EQ(cell.drawn, c.drawn) << c.elapsed << "/" << c.total;
        EXPECT_NEAR(cell.u, c.u, 1e-5f) << c.elapsed;
        EXPECT_NEAR(cell.v, c.v, 1e-5f) << c.elapsed;
    }
    float x = 0, y = 0;
    CountBadgePlace(100, 200, 32, 40, &x, &y);
    EXPECT_FLOAT_EQ(x, 121.0f);
    EXPECT_FLOAT_EQ(y, 229.0f);
}

}  // namespace
