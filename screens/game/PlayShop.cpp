// The play screen's side of the item shop and the combination list: their
// windows, the V and C keys, the script's restock and the CMD_BUY_ITEM
// handler that adds what was bought on every machine.
//
// CMD_BUY_ITEM (13): +2 u8 player slot, +3 u8 count, +4 i16 object id, +6 i16
// kind, +8 u32 ITEM record id. Kinds: 1 a combination's result into the
// storage, 2 a purchase into the storage, 3 a unit of the field back into the
// storage (with the record's count), 4 a purchase for the hero of the object
// id. The buyer's own machine spent the gold when the order was given; the
// others take it when the record arrives.
#include <algorithm>

#include "commands/GameCommandManager.h"
#include "engine/core/MessageTable.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "net/PlayerSlot.h"
#include "screens/game/CombineListWindow.h"
#include "screens/game/ItemShopWindow.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "ui/UiManager.h"
#include "world/GameDataRegistry.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

namespace {
constexpr uint32_t kBuyCombination = 1, kBuyForUnit = 4;
constexpr uint32_t kBuyToStorage = 2, kBuyFromField = 3;
constexpr int kSlots = 12;

void Place(CUiWindow* window, float x, float y) {
    if (!window) return;
    window->SetPosition(x, y);
    if (!g_pUiManager) return;
    g_pUiManager->ShowWindow(window, false);
    g_pUiManager->SendToBack(window);
}
}  // namespace

int CPlayScreen::LoadShopLayouts() {
    CResourceManager* resources = g_pResourceManager;
    if (!resources) return 0;
    // A layout that fails takes its window with it.
    if (!m_shopLayout) {
        m_shopWindow = new CItemShopWindow(*this, m_context.shop);
        m_shopLayout = resources->GetResource(CItemShopWindow::kLayout, RES_LAYOUT, m_shopWindow, 1);
        if (!m_shopLayout) {
            m_shopWindow = nullptr;
            return 0;
        }
        const float panelHeight = m_mainPanel ? m_mainPanel->Size().y : 0.0f;
        const UiPoint size = m_shopWindow->Size();
        Place(m_shopWindow, CPlayMainPanel::kScreenWidth - size.x,
              CPlayMainPanel::kScreenHeight - panelHeight - size.y);
    }
    if (!m_combineLayout) {
        m_combineList = new CCombineListWindow(*this);
        m_combineLayout = resources->GetResource(CCombineListWindow::kLayout, RES_LAYOUT, m_combineList, 1);
        if (!m_combineLayout) {
            m_combineList = nullptr;
            return 0;
        }
        Place(m_combineList, CPlayMainPanel::kScreenWidth - m_combineList->Size().x, CCombineListWindow::kTop);
    }
    return 1;
}

void CPlayScreen::ReleaseShopLayouts() {
    if (!g_pResourceManager) return;
    g_pResourceManager->ReleaseResource(m_shopLayout);
    g_pResourceManager->ReleaseResource(m_combineLayout);
    m_shopLayout = m_combineLayout = nullptr;
    m_shopWindow = nullptr;
    m_combineList = nullptr;
}

void CPlayScreen::ShopNotice(int messageId) {
    m_lastShopNotice = messageId;
    ShowNotice(GetMessageText(messageId), 0xFFFF0000u);
}

void CPlayScreen::RestockShopItem(uint32_t itemId) {
    if (m_shopWindow) m_shopWindow->RestockShopItem(itemId);
}

void CPlayScreen::ToggleShop() {
    if (!m_shopWindow) return;
    ToggleWindow(WINDOW_SHOP, -1);
}

void CPlayScreen::ToggleCombinationList() {
    if (!m_combineList) return;
    const CGameDataRecord* item = m_selectedItemId ? FindGameRecord(CAT_ITEM, m_selectedItemId) : nullptr;
    const bool shown = !m_combineList->HasFlags(UI_HIDDEN);
    if (shown && (!item || item->id == m_combineList->ShownItem())) {
        ToggleWindow(WINDOW_COMBINATION, 0);
        return;
    }
    m_combineList->ShowRecipes(item);
    ToggleWindow(WINDOW_COMBINATION, 1);
}

void CPlayScreen::OnBuyItem(CGameCommand& r) {
    const int32_t slot = r.U8(2);
    const uint32_t kind = r.U16(6);
    CWorldObjectManager* world = g_pWorldObjectManager;
    if (slot >= kSlots || kind < kBuyCombination || kind > kBuyForUnit || !g_pClientSession || !world) return;
    const uint32_t recordId = r.U32(8);
    CGameDataRecord* found = recordId ? FindGameRecord(CAT_ITEM, recordId) : nullptr;
    if (recordId && !found) return;
    const bool local = slot == LocalSlot();
    if (local) m_inputMode = INPUT_NORMAL;
    // A combination that made nothing still gives the player the input back.
    if (!found) return;
    auto& record = static_cast<CItemData&>(*found);
    CPlayerSlot& player = g_pClientSession->slots[static_cast<size_t>(slot)];
    const bool watching = world->gameMode == 3 || world->gameMode == 4;
    const int32_t price = CItemShopWindow::PriceOf(record);
    const int32_t goldBefore = player.gold;
    // The buyer's own machine paid when the order was given.
    auto pay = [&] {
        if (!local || watching) player.LoseGold(price);
    };
    if (kind != kBuyForUnit && player.FirstFreeItemSlot() < 0) {
        if (!local) return;
        // Only what this machine spent comes back; a watcher spent nothing.
        if (kind == kBuyToStorage && !watching) {
            player.gold += price;
            player.goldTally += price;
        }
        ShopNotice(MSG_ITEM_BUY_FULL_INVENTORY);
    } else if (kind == kBuyForUnit) {
        pay();
        CWorldObject* object = world->GetObjectById(r.I16(4));
        if (object && object->IsUnit() && object->owner == slot) {
            auto& hero = static_cast<CUnit&>(*object);
            CInventoryItem probe;
            probe.record = &record;
            probe.recordId = record.id;
            int32_t place = -1;
            if (hero.CanAcquireItem(probe, -1, &place) == -1) {
                CInventoryItem* item = world->CreateInventoryItem(&record, record.id, record.StackSize());
                if (item) hero.SetInventoryItem(place, item);
                if (item && hero.Item(place) != item) world->FreeInventoryItem(item);
                if (m_mainPanel && m_mainPanel->SelectedIndex() == hero.id) m_mainPanel->Refresh(-1);
            }
        }
    } else if (kind == kBuyFromField) {
        CWorldObject* object = world->GetObjectById(r.I16(4));
        if (object && !object->unregistered && object->alive) object->Die();
        player.AddItem(&record, record.id, r.U8(3));
    } else {
        if (kind == kBuyToStorage) pay();
        player.AddItem(&record, record.id, record.StackSize());
    }
    if (local && m_mainPanel && (kind != kBuyForUnit || watching)) {
        m_mainPanel->Refresh(-1);
        m_mainPanel->RefreshStorage();
    }
    // The tooltips' price colours follow the local player's gold.
    if (local && player.gold != goldBefore && m_shopWindow && !m_shopWindow->HasFlags(UI_HIDDEN))
        m_shopWindow->ShowCategoryPage(-1, 0);
}
