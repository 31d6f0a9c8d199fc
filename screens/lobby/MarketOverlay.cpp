#include "screens/lobby/MarketOverlay.h"

#include "engine/resource/TextureResource.h"
#include "screens/lobby/CardRecord.h"
#include "ui/UiManager.h"

namespace shop_overlay {

std::vector<Quad> PlaceQuads(uint32_t flags, float x, float y, float width, float height) {
    std::vector<Quad> quads;
    constexpr struct {
        uint32_t bit;
        Picture picture;
    } kMarks[] = {{card::kMarkOne, MARK_ONE}, {card::kMarkTwo, MARK_TWO}, {card::kMarkThree, MARK_THREE}};
    float markX = x;
    for (const auto& mark : kMarks) {
        if (!(flags & mark.bit)) continue;
        quads.push_back({mark.picture, markX, y + kMarkDrop, kMarkWidth, kMarkHeight});
        markX += kMarkWidth + kMarkGap;
    }
    if (flags & card::kSoldOut) quads.push_back({SOLD_OUT, x, y, width, height});
    return quads;
}

}  // namespace shop_overlay

void CMarketHeldItemWindow::Hold(CResource* icon, float x, float y) {
    if (icon) icon->AddRef();
    SetImage(icon, icon ? icon->Name() : std::string());
    Follow(x, y);
    if (g_pUiManager) g_pUiManager->ShowWindow(this, true);
}

void CMarketHeldItemWindow::Follow(float x, float y) { SetPosition(x - kIconSize / 2, y - kIconSize / 2); }

void CMarketHeldItemWindow::Release() {
    SetImage(nullptr, "");
    if (g_pUiManager) g_pUiManager->ShowWindow(this, false);
}

void CMarketHeldItemWindow::Render() {
    if (HasFlags(UI_HIDDEN) || !Image() || !g_pUiManager) return;
    auto* texture = static_cast<CTextureResource*>(Image());
    g_pUiManager->DrawQuad(0xFFFFFFFFu, nullptr, texture->Texture(), Position().x, Position().y, kIconSize, kIconSize);
}
