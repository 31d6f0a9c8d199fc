// Items between a hero's eight places and a player's twelve storage places.
// A container is named by an id and an army flag: a hero by its object id
// (army flag 0), a storage by its player slot (army flag 1). Every id and
// place is checked before use, so a record from a peer can never reach a
// place that does not exist.
#include <algorithm>

#include "commands/GameCommandManager.h"
#include "net/ClientSession.h"
#include "screens/game/ItemTooltip.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

namespace {
constexpr int32_t kSlots = CPlayerSlot::kItems;  // twelve players, twelve storage places

bool ReplayOrObserver(const CWorldObjectManager& world) { return world.gameMode == 3 || world.gameMode == 4; }

CUnit* HeroOf(int32_t id) {
    CWorldObject* o = id >= 0 && g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(id) : nullptr;
    return o && o->IsUnit() ? static_cast<CUnit*>(o) : nullptr;
}
CPlayerSlot* StorageOf(int32_t slot) {
    return slot >= 0 && slot < kSlots && g_pClientSession ? &g_pClientSession->slots[static_cast<size_t>(slot)]
                                                          : nullptr;
}
// Whether the place exists: below 8 on a hero that is a unit, below 12 in a storage.
bool ValidPlace(int32_t id, int armyFlag, int32_t index) {
    if (armyFlag) return StorageOf(id) && index >= 0 && index < kSlots;
    return HeroOf(id) && index >= 0 && index < CUnit::kInventorySlots;
}
}  // namespace

bool CPlayScreen::AppliesRecordOf(int32_t slot, int send) const {
    const CWorldObjectManager* world = g_pWorldObjectManager;
    return send || slot != LocalSlot() || (world && ReplayOrObserver(*world));
}

CInventoryItem* CPlayScreen::ContainerItem(int32_t id, int armyFlag, int32_t index) const {
    if (!ValidPlace(id, armyFlag, index)) return nullptr;
    if (armyFlag) return StorageOf(id)->items[static_cast<size_t>(index)];
    return HeroOf(id)->Item(index);
}

void CPlayScreen::SetArmyItem(int32_t id, int armyFlag, int32_t index, CInventoryItem* item) {
    if (!item || !ValidPlace(id, armyFlag, index)) return;
    if (!armyFlag) {
        HeroOf(id)->SetInventoryItem(index, item);
        return;
    }
    CPlayerSlot& storage = *StorageOf(id);
    CInventoryItem*& place = storage.items[static_cast<size_t>(index)];
    if (place) return;
    place = item;
    ++storage.itemCount;
}

// Takes the item out of its place without freeing it.
static CInventoryItem* TakeItem(int32_t id, int armyFlag, int32_t index) {
    if (!ValidPlace(id, armyFlag, index)) return nullptr;
    if (!armyFlag) {
        CUnit* hero = HeroOf(id);
        CInventoryItem* item = hero->Item(index);
        hero->RemoveInventoryItem(index);
        return item;
    }
    CPlayerSlot& storage = *StorageOf(id);
    CInventoryItem* item = storage.items[static_cast<size_t>(index)];
    if (!item) return nullptr;
    storage.items[static_cast<size_t>(index)] = nullptr;
    if (storage.itemCount > 0) --storage.itemCount;
    return item;
}

void CPlayScreen::FreeContainerItem(int32_t id, int armyFlag, int32_t index) {
    CInventoryItem* item = TakeItem(id, armyFlag, index);
    if (item && g_pWorldObjectManager) g_pWorldObjectManager->FreeInventoryItem(item);
}

int CPlayScreen::MoveItem(int32_t slot, int32_t sourceId, int sourceIsArmy, int32_t targetId, int targetIsArmy,
                          int32_t sourceIndex, int32_t targetIndex, int send) {
    if (slot < 0 || slot >= kSlots || !ValidPlace(sourceId, sourceIsArmy, sourceIndex) ||
        !ValidPlace(targetId, targetIsArmy, targetIndex))
        return 0;
    if (sourceId == targetId && sourceIsArmy == targetIsArmy && sourceIndex == targetIndex) return 0;
    if (!AppliesRecordOf(slot, send)) return 1;
    CInventoryItem* source = ContainerItem(sourceId, sourceIsArmy, sourceIndex);
    if (!source) return 0;
    if (send && g_pGameCommandManager)
        g_pGameCommandManager->BuildMoveItem(static_cast<uint32_t>(slot), 0, sourceId, targetId,
                                             sourceIsArmy ? 1 : 0, targetIsArmy ? 1 : 0,
                                             static_cast<uint32_t>(sourceIndex), static_cast<uint32_t>(targetIndex), 1);

    int result = 1;
    CInventoryItem* target = ContainerItem(targetId, targetIsArmy, targetIndex);
    const CItemData* record = source->record;
    if (target && record && target->record == record && record->Grade() == 0 &&
        source->charges < record->StackSize() && target->charges < record->StackSize()) {
        // Copies of one consumable stack up to the stack size; the rest stays.
        const int32_t total = source->charges + target->charges;
        target->charges = std::min(total, record->StackSize());
        source->charges = total - target->charges;
        if (source->charges > 0)
            result = 0;
        else
            FreeContainerItem(sourceId, sourceIsArmy, sourceIndex);
    } else {
        TakeItem(sourceId, sourceIsArmy, sourceIndex);
        if (target) TakeItem(targetId, targetIsArmy, targetIndex);
        SetArmyItem(targetId, targetIsArmy, targetIndex, source);
        if (target) SetArmyItem(sourceId, sourceIsArmy, sourceIndex, target);
    }

    if (send && m_mainPanel) {
        const bool ownStorage = (sourceIsArmy && sourceId == LocalSlot()) || (targetIsArmy && targetId == LocalSlot());
        if (ownStorage) m_mainPanel->RefreshStorage();
        const int32_t shown = m_mainPanel->SelectedIndex();
        if (ownStorage || (!sourceIsArmy && sourceId == shown) || (!targetIsArmy && targetId == shown))
            m_mainPanel->Refresh(-1);
    }
    return result;
}

void CPlayScreen::ItemSlotAction(int32_t slot, int32_t id, int armyFlag, int32_t index, int32_t kind, int send) {
    CWorldObjectManager* world = g_pWorldObjectManager;
    CPlayerSlot* player = StorageOf(slot);
    if (!world || !player || !ValidPlace(id, armyFlag, index) || !AppliesRecordOf(slot, send)) return;
    CInventoryItem* item = ContainerItem(id, armyFlag, index);
    if (!item) return;
    if (send && !ReplayOrObserver(*world) && g_pGameCommandManager)
        g_pGameCommandManager->BuildItemSlotAction(id, {0, armyFlag ? 1u : 0u, kind, slot, index}, 1);
    if (kind == 2 && item->record) {
        const int32_t value = ItemSaleValue(*item->record, item->charges);
        player->gold += value;
        player->goldTally += value;
    }
    FreeContainerItem(id, armyFlag, index);
    if (!m_mainPanel) return;
    if (armyFlag && id == LocalSlot()) m_mainPanel->RefreshStorage();
    if ((send && !armyFlag && id == m_mainPanel->SelectedIndex()) || (ReplayOrObserver(*world) && slot == LocalSlot()))
        m_mainPanel->Refresh(-1);
}

void CPlayScreen::OnMoveItem(CGameCommand& r) {
    const int32_t slot = r.U8(2);
    if (slot == LocalSlot()) m_inputMode = 0;
    MoveItem(slot, r.I16(4), r.U8(8), r.I16(6), r.U8(9), r.U8(10), r.U8(11), 0);
    if (slot == LocalSlot() && ReplayOrObserver(*g_pWorldObjectManager) && m_mainPanel) m_mainPanel->Refresh(-1);
}

void CPlayScreen::OnItemSlotAction(CGameCommand& r) {
    const ItemSlotFields f = UnpackItemSlot(r.U32(4));
    if (f.slot == LocalSlot() && f.kind != 1) m_inputMode = 0;
    ItemSlotAction(f.slot, r.I16(2), f.storage ? 1 : 0, f.index, f.kind, 0);
}
