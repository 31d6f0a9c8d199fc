#include "screens/game/DragIconWindow.h"

#include "engine/resource/Resource.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"

CDragIconWindow::CDragIconWindow() {
    SetName("DRAG_ICON");
    SetSize(kSide, kSide);
    SetColor(0xFFFFFFFFu);
    AddFlags(UI_HIDDEN);
}

void CDragIconWindow::Hold(const HeldItem& held) {
    m_held = held;
    justPicked = 1;
    dropDone = 0;
    CResource* icon = held.item && held.item->record ? held.item->record->iconResource : nullptr;
    if (icon) icon->AddRef();
    SetImage(icon, held.item && held.item->record ? held.item->record->icon : std::string());
    if (held.item)
        ClearFlags(UI_HIDDEN);
    else
        AddFlags(UI_HIDDEN);
}

void CDragIconWindow::Drop() {
    m_held = {};
    justPicked = 0;
    dropDone = 1;
    ReleaseImage();
    AddFlags(UI_HIDDEN);
}

void CDragIconWindow::Follow(int32_t cursorX, int32_t cursorY) {
    // Centred on the pointer, as the item seems to hang from it.
    SetPosition(static_cast<float>(cursorX) - kSide * 0.5f, static_cast<float>(cursorY) - kSide * 0.5f);
}

CUiObject* CDragIconWindow::ProcessInput(float, CZEMDXInput&) { return nullptr; }
