// The item tooltip and the button overlays.
#include "screens/game/ItemTooltip.h"

#include <algorithm>
#include <cmath>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/resource/TextureResource.h"
#include "ui/UiManager.h"
#include "ui/UiObject.h"
#include "world/ItemData.h"

namespace {
constexpr float kBadgeSize = 10.0f;
constexpr float kCellSize = 0.1f;
constexpr uint32_t kOverlayColour = 0x88000000u;

int32_t StackSize(const CItemData& item) {
    // A record without a stack size counts as one piece.
    return std::max<int32_t>(1, item.StackSize());
}
}  // namespace

const char* ItemGradeColour(uint32_t grade) {
    static const char* const kColours[] = {"/C=ffff00", "/C=ff99ff", "/C=0000ff", "/C=ffffff", "/C=ff00ff"};
    return grade < 5 ? kColours[grade] : "/C=ffffff";
}

int32_t ItemSaleValue(const CItemData& item, int32_t count) {
    int32_t value = static_cast<int32_t>(static_cast<float>(item.Price()) * 0.9f);
    if (item.Grade() == 0) value = static_cast<int32_t>(static_cast<double>(value) / StackSize(item) * count);
    return value;
}

std::string BuildItemTooltip(const CItemData& item, int buying, int32_t count, int32_t gold) {
    const char* nameColour = ItemGradeColour(item.Grade());
    const char* priceColour = "/C=ffff00";
    int32_t value = static_cast<int32_t>(item.Price());
    if (buying) {
        if (gold < value) priceColour = "/C=ff0000";
    } else if (count > 0) {
        value = ItemSaleValue(item, count);
    }
    const uint32_t level = item.RequiredLevel();
    std::string text =
        level <= 1 ? FormatText(GetMessageText(MSG_GAMEPLAY_ITEM_DESC), nameColour, item.text, priceColour, value,
                                item.itemText2)
                   : FormatText(GetMessageText(MSG_GAMEPLAY_ITME_DESC_LIMIT_LEVEL), nameColour, item.text,
                                priceColour, value, item.itemText2, static_cast<int32_t>(level));
    if (buying)
        text += GetMessageText(MSG_GAMEPLAY_SHOP_BUY_TOOLTIP);
    else if (count >= 0)
        text += GetMessageText(MSG_GAMEPLAY_INVEN_HELP_TOOLTIP);
    return text;
}

CooldownCell CooldownAtlasCell(float elapsed, float total) {
    CooldownCell cell;
    if (!(total > 0)) return cell;
    const float ratio = elapsed / total * 100.0f;
    // A clock past its total, or before its start, stays on the last or first cell.
    const int32_t percent =
        std::isfinite(ratio) ? std::clamp(static_cast<int32_t>(std::clamp(ratio, -1.0f, 100.0f)), 0, 99) : 0;
    cell.u = static_cast<float>(percent % 10) * kCellSize;
    cell.v = static_cast<float>(percent / 10) * kCellSize;
    cell.drawn = true;
    return cell;
}

void CountBadgePlace(float x, float y, float width, float height, float* boxX, float* boxY) {
    *boxX = x + width - (kBadgeSize + 1);
    *boxY = y + height - (kBadgeSize + 1);
}

void DrawCountBadge(CUiObject& control, int32_t number) {
    if (!g_pUiManager) return;
    const UiPoint at = control.GetAbsolutePos();
    float x = 0, y = 0;
    CountBadgePlace(at.x, at.y, control.Size().x, control.Size().y, &x, &y);
    g_pUiManager->DrawQuad(0xFF000000u, nullptr, nullptr, x, y, kBadgeSize, kBadgeSize);
    if (IUiFont* font = control.Font() ? control.Font() : g_pUiManager->GetFont(0))
        font->Draw(static_cast<int32_t>(x) + 2, static_cast<int32_t>(y), FormatText("%d", number), 0xFFFFFFFFu);
}

void DrawCooldownOverlay(CUiObject& control, float elapsed, float total, CResource* atlas) {
    const CooldownCell cell = CooldownAtlasCell(elapsed, total);
    if (!cell.drawn || !g_pUiManager) return;
    // Corners in strip order: top left, top right, bottom left, bottom right.
    const float uv[8] = {cell.u, cell.v, cell.u + kCellSize, cell.v, cell.u, cell.v + kCellSize,
                         cell.u + kCellSize, cell.v + kCellSize};
    auto* texture = static_cast<CTextureResource*>(atlas);
    const UiPoint at = control.GetAbsolutePos();
    g_pUiManager->DrawQuad(kOverlayColour, uv, texture ? texture->Texture() : nullptr, at.x, at.y, control.Size().x,
                           control.Size().y);
}
