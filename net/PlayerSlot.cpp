#include "net/PlayerSlot.h"

#include "world/WorldObjectManager.h"

CPlayerSlot::~CPlayerSlot() { ReleaseItems(); }

void CPlayerSlot::Reset() {
    gold = 0;
    points = heroKills = unitKills = buildingKills = deaths = extraPoints = score = counter8 = 0;
    level = 1;
    goldEarned = goldTally = goldLost = experience = streak = 0;
    ReleaseItems();
}

void CPlayerSlot::ReleaseItems() {
    for (CInventoryItem*& item : items) {
        if (!item) continue;
        // Without a manager the pool that made the item is gone with it.
        if (g_pWorldObjectManager) g_pWorldObjectManager->FreeInventoryItem(item);
        item = nullptr;
    }
    itemCount = 0;
}

int CPlayerSlot::FirstFreeItemSlot() const {
    for (int i = 0; i < kItems; ++i)
        if (!items[static_cast<size_t>(i)]) return i;
    return -1;
}

void CPlayerSlot::AddItem(CGameDataRecord* record, uint32_t dataId, int32_t charges) {
    int free = FirstFreeItemSlot();
    if (free < 0 || !g_pWorldObjectManager) return;
    CInventoryItem* item = g_pWorldObjectManager->CreateInventoryItem(record, dataId, charges);
    if (!item) return;
    items[static_cast<size_t>(free)] = item;
    ++itemCount;
}

void CPlayerSlot::LoseGold(int32_t amount) {
    if (amount <= 0) return;
    int32_t taken = amount < gold ? amount : gold;
    if (taken < 0) taken = 0;
    gold -= taken;
    goldLost += taken;
}
