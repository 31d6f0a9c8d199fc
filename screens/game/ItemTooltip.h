// Three drawing and text helpers of the HUD windows that show items and
// skills: an item's tooltip (name in its grade's colour, price or sale value,
// description and the help line), a count badge in a button's corner, and the
// cool-down overlay cut from a 10 x 10 atlas of progress cells.
#pragma once

#include <cstdint>
#include <string>

class CItemData;
class CResource;
class CUiObject;

// The tooltip of an item; buying shows the price against the gold, otherwise a
// count of 0 or more shows the sale value of that many (a negative count
// leaves out the help line).
std::string BuildItemTooltip(const CItemData& item, int buying, int32_t count, int32_t gold);
// The grade's colour mark-up without its leading "<"; an unknown grade is white.
const char* ItemGradeColour(uint32_t grade);
// What selling count of the item brings: 90 % of the price, for a consumable
// the share of its stack.
int32_t ItemSaleValue(const CItemData& item, int32_t count);

struct CooldownCell {
    float u = 0, v = 0;
    bool drawn = false;
};
// The atlas cell of elapsed out of total; not drawn for a total of 0 or less.
CooldownCell CooldownAtlasCell(float elapsed, float total);

// Where the badge's 10 x 10 box goes on a control at (x, y) of that size.
void CountBadgePlace(float x, float y, float width, float height, float* boxX, float* boxY);
void DrawCountBadge(CUiObject& control, int32_t number);
void DrawCooldownOverlay(CUiObject& control, float elapsed, float total, CResource* atlas);
