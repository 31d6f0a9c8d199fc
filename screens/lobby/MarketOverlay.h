// What the market draws over its windows besides their controls: the marks
// and the sold-out picture of a card place, its level number and the
// highlight of a place whose card sits in the combination, and the card held
// on the cursor.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/UiWindow.h"

class CResource;

namespace shop_overlay {

enum Picture { MARK_ONE, MARK_TWO, MARK_THREE, SOLD_OUT, PICTURE_COUNT };
constexpr float kMarkWidth = 29.0f;
constexpr float kMarkHeight = 15.0f;
constexpr float kMarkGap = 4.0f;
constexpr float kMarkDrop = 105.0f;

struct Quad {
    Picture picture;
    float x, y, width, height;
};

// The quads of one place at (x, y) of the given size: a row of marks for the
// flag bits below it, left to right in bit order, and the sold-out picture
// over the whole place.
std::vector<Quad> PlaceQuads(uint32_t flags, float x, float y, float width, float height);

}  // namespace shop_overlay

// The card on the cursor while it is dragged: its icon follows the pointer.
// A window of no size in the upper layer, so that it never takes a click.
class CMarketHeldItemWindow : public CUiWindow {
public:
    static constexpr float kIconSize = 48.0f;

    // Shows the icon (a reference of its own is kept) with its centre at the point.
    void Hold(CResource* icon, float x, float y);
    void Follow(float x, float y);
    void Release();
    bool Holding() const { return !HasFlags(UI_HIDDEN); }
    void Render() override;
};
