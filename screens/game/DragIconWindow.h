// The small window that carries an item on the cursor while the player moves
// it between the hero's places, the storage and other units. It holds what
// is carried (the item, where it came from) and shows the item's icon at
// the pointer; it never takes input itself, so the world and the panel under
// the pointer still see the clicks that drop the item.
#pragma once

#include <cstdint>

#include "ui/UiWindow.h"

class CInventoryItem;

class CDragIconWindow : public CUiWindow {
public:
    static constexpr float kSide = 38.0f;

    struct HeldItem {
        CInventoryItem* item = nullptr;
        int32_t index = -1;
        // The object id of the source unit, or the player slot for the storage.
        int32_t holder = -1;
        int fromStorage = 0;
    };

    CDragIconWindow();

    // Starts carrying an item: its icon is shown from the next frame on.
    void Hold(const HeldItem& held);
    // Ends the carrying: nothing held, the window hidden.
    void Drop();
    // Places the icon at the pointer.
    void Follow(int32_t cursorX, int32_t cursorY);
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;

    const HeldItem& Held() const { return m_held; }
    // The frame of the pick-up: its button release is not a drop.
    int justPicked = 0;
    int dropDone = 0;

private:
    HeldItem m_held;
};
