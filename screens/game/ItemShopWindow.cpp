// The item shop window: pages, restock timers, purchases and sales.
#include "screens/game/ItemShopWindow.h"

#include <algorithm>
#include <bit>
#include <string>

#include "commands/GameCommandManager.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/resource/Resource.h"
#include "engine/sound/SoundEffect.h"
#include "net/ClientSession.h"
#include "net/PlayerSlot.h"
#include "screens/game/CombineListWindow.h"
#include "screens/game/ItemTooltip.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/SelectionSet.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiImage.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

namespace {
constexpr uint32_t kWhite = 0xFFFFFFFFu;
const float kFullUv[8] = {0, 0, 1, 0, 0, 1, 1, 1};

// A play-resource picture stretched over a control in white.
void DrawOver(CUiObject& control, int texture) {
    if (!g_pUiManager || !g_pPlayResources) return;
    const UiImageInfo image = UiImageOf(g_pPlayResources->textures[static_cast<size_t>(texture)]);
    if (!image.texture) return;
    const UiPoint at = control.GetAbsolutePos();
    g_pUiManager->DrawQuad(kWhite, kFullUv, image.texture, at.x, at.y, control.Size().x, control.Size().y);
}

void PlayShopSound(int sound) {
    if (g_pPlayResources && sound >= 0) g_pPlayResources->PlaySound(static_cast<size_t>(sound));
}

CPlayerSlot* PlayerSlot(int32_t slot) {
    if (!g_pClientSession || slot < 0 || slot >= CClientSession::kPlayerSlots) return nullptr;
    return &g_pClientSession->slots[static_cast<size_t>(slot)];
}

int GameMode() { return g_pWorldObjectManager ? g_pWorldObjectManager->gameMode : 0; }
bool ReplayOrObserver() { return GameMode() == 3 || GameMode() == 4; }
}  // namespace

CItemShopWindow::CItemShopWindow(CPlayScreen& play, ItemShop* shop) : m_play(play), m_shop(shop) {}

float CItemShopWindow::RestockTime(const CItemData& entry) {
    // The record keeps the seconds as the bits of a float; anything but a
    // positive time (a damaged record's NaN too) never restocks.
    const float seconds = std::bit_cast<float>(entry.itemWord6);
    return seconds > 0 ? seconds : 0.0f;
}

int32_t CItemShopWindow::PriceOf(const CItemData& entry) {
    return static_cast<int32_t>(std::min<uint32_t>(entry.Price(), INT32_MAX));
}

bool CItemShopWindow::Ready(const CItemData& entry) { return entry.restockElapsed >= RestockTime(entry); }

int CItemShopWindow::OnLayoutLoaded() {
    bool ok = true;
    for (int i = 0; i < kButtons; ++i)
        ok = (items[static_cast<size_t>(i)] = static_cast<CUiButton*>(
                  Bind(FormatText("ID_BUTTON_ITEM%d", i + 1).c_str(), UI_TYPE_BUTTON))) != nullptr &&
             ok;
    for (int i = 0; i < kCategories; ++i)
        ok = (categories[static_cast<size_t>(i)] = static_cast<CUiCheckButton*>(
                  Bind(FormatText("ID_CHECKBUTTON_CATEGORY%d", i + 1).c_str(), UI_TYPE_CHECKBUTTON))) != nullptr &&
             ok;
    buy = static_cast<CUiButton*>(Bind("ID_BUTTON_BUY", UI_TYPE_BUTTON));
    close = static_cast<CUiButton*>(Bind("ID_BUTTON_CANCLE", UI_TYPE_BUTTON));
    prev = static_cast<CUiButton*>(Bind("ID_BUTTON_PREV", UI_TYPE_BUTTON));
    next = static_cast<CUiButton*>(Bind("ID_BUTTON_NEXT", UI_TYPE_BUTTON));
    pageNumber = static_cast<CUiStatic*>(Bind("ID_STATIC_NUM", UI_TYPE_STATIC));
    if (!ok || !buy || !close || !prev || !next || !pageNumber) return 0;
    AddFlags(UI_HIDDEN);
    SetPosition(0, 0);
    // An empty shop shows no buttons at all.
    for (CUiButton* button : items) SetShown(button, false);
    m_category = 0;
    ShowCategoryPage(0, 0);
    // Entries with a restock time are sold only once that time has passed in the match.
    ForEachEntry([](CItemData& entry) { entry.restockElapsed = 0; });
    m_allRestocked = false;
    m_selection = -1;
    return 1;
}

const std::vector<CGameDataRecord*>* CItemShopWindow::OwnList() const {
    const int32_t slot = m_play.LocalPlayerSlot();
    if (!g_pWorldObjectManager || slot < 0 || slot >= CClientSession::kPlayerSlots) return nullptr;
    return &g_pWorldObjectManager->PlayerRecords(slot);
}

size_t CItemShopWindow::ListSize(int category) const {
    if (category == kOwnList) {
        const auto* own = OwnList();
        return own ? own->size() : 0;
    }
    if (!m_shop || category < 0 || static_cast<size_t>(category) >= m_shop->categories.size()) return 0;
    return m_shop->categories[static_cast<size_t>(category)].size();
}

CItemData* CItemShopWindow::ListEntry(int category, size_t index) const {
    if (index >= ListSize(category)) return nullptr;
    if (category == kOwnList) {
        CGameDataRecord* record = (*OwnList())[index];
        return record && record->category == CAT_ITEM ? static_cast<CItemData*>(record) : nullptr;
    }
    return m_shop->categories[static_cast<size_t>(category)][index];
}

CItemData* CItemShopWindow::EntryAt(int button) const {
    if (button < 0 || button >= kButtons) return nullptr;
    return ListEntry(m_category, static_cast<size_t>(m_firstIndex + button));
}

template <typename Visit>
void CItemShopWindow::ForEachEntry(Visit visit) {
    // A record listed twice is still one entry with one timer.
    std::vector<CItemData*> seen;
    auto once = [&](CItemData* entry) {
        if (!entry || std::find(seen.begin(), seen.end(), entry) != seen.end()) return;
        seen.push_back(entry);
        visit(*entry);
    };
    if (m_shop)
        for (auto& list : m_shop->categories)
            for (CItemData* entry : list) once(entry);
    if (const auto* own = OwnList())
        for (CGameDataRecord* record : *own)
            if (record && record->category == CAT_ITEM) once(static_cast<CItemData*>(record));
}

void CItemShopWindow::ShowCategoryPage(int category, int keepPage) {
    if (!m_shop || category >= static_cast<int>(m_shop->categories.size()) || category < -1) return;
    if (category != -1) {
        m_category = category;
        ClearSelection();
        if (!keepPage) {
            const int n = static_cast<int>(ListSize(category));
            m_lastPage = n / kButtons - (n % kButtons == 0 ? 1 : 0);
            m_page = 0;
            for (int i = 0; i < kCategories; ++i)
                if (CUiCheckButton* button = categories[static_cast<size_t>(i)]) {
                    if (i == category)
                        button->AddFlags(CUiCheckButton::kStyleChecked);
                    else
                        button->ClearFlags(CUiCheckButton::kStyleChecked);
                }
        }
        const bool paged = m_lastPage > 0;
        if (paged && pageNumber) pageNumber->SetText(FormatText("%d/%d", m_page + 1, m_lastPage + 1));
        SetShown(pageNumber, paged);
        SetShown(prev, paged);
        SetShown(next, paged);
        m_firstIndex = m_page * kButtons;
    }
    const int32_t slot = m_play.LocalPlayerSlot();
    if (slot < 0 || slot >= CClientSession::kPlayerSlots) return;
    const CPlayerSlot* player = PlayerSlot(slot);
    const int32_t gold = player ? player->gold : 0;
    const int available = static_cast<int>(ListSize(m_category)) - m_firstIndex;
    for (int i = 0; i < kButtons; ++i) {
        CUiButton* button = items[static_cast<size_t>(i)];
        if (!button) continue;
        CItemData* entry = i < available ? EntryAt(i) : nullptr;
        if (!entry) {
            button->SetImage(CUiButton::STATE_NORMAL, nullptr, false);
            button->SetImage(CUiButton::STATE_HOVER, nullptr, false);
            SetShown(button, false);
            continue;
        }
        if (entry->iconResource) entry->iconResource->AddRef();
        button->SetImage(CUiButton::STATE_NORMAL, entry->iconResource, true, entry->icon);
        SetShown(button, true);
        button->SetText(BuildItemTooltip(*entry, 1, -1, gold));
    }
}

void CItemShopWindow::TickRestock(float dt) {
    if (m_allRestocked) return;
    bool running = false;
    ForEachEntry([&](CItemData& entry) {
        if (RestockTime(entry) <= 0 || Ready(entry)) return;
        entry.restockElapsed += dt;
        running = true;
    });
    if (!running) m_allRestocked = true;
}

void CItemShopWindow::RestockShopItem(uint32_t itemId) {
    ForEachEntry([&](CItemData& entry) {
        if (entry.id == itemId) entry.restockElapsed = RestockTime(entry);
    });
}

CUiObject* CItemShopWindow::ProcessInput(float dt, CZEMDXInput& input) {
    m_input = &input;
    return CUiWindow::ProcessInput(dt, input);
}

void CItemShopWindow::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN)) return;
    CUiWindow::Render();
    if (!m_shop) return;
    m_selection = -1;
    for (int i = 0; i < kButtons; ++i) {
        CUiButton* button = items[static_cast<size_t>(i)];
        const CItemData* entry = EntryAt(i);
        if (!button || !entry) continue;
        if (button->PointerInside() && !button->HasFlags(UI_HIDDEN)) DrawOver(*button, CPlayResources::TEX_SELECT_OVER);
        if (!m_allRestocked && !Ready(*entry))
            DrawCooldownOverlay(*button, entry->restockElapsed, RestockTime(*entry),
                                g_pPlayResources ? g_pPlayResources->textures[CPlayResources::TEX_COOLTIMER] : nullptr);
        if (entry->id == m_play.SelectedItemId()) {
            m_selection = i;
            DrawOver(*button, CPlayResources::TEX_SELECT_SKILL);
        }
        if (entry->Grade() == 0) DrawCountBadge(*button, static_cast<int32_t>(entry->itemWord[3]));
    }
}

bool CItemShopWindow::Blocked() const { return ReplayOrObserver() || m_play.Waiting(); }

void CItemShopWindow::DropCursorModes() {
    const int mode = m_play.InputMode();
    if (mode == CPlayScreen::INPUT_ITEM) {
        if (CPlayMainPanel* panel = m_play.MainPanel()) panel->ClearHeld();
        m_play.SetInputMode(CPlayScreen::INPUT_NORMAL);
    } else if (mode == CPlayScreen::INPUT_COMBINATION) {
        if (CPlayMainPanel* panel = m_play.MainPanel()) panel->CancelCombination();
        m_play.SetInputMode(CPlayScreen::INPUT_NORMAL);
    }
}

void CItemShopWindow::ClearSelection() {
    m_selection = -1;
    m_play.SetSelectedItemId(0);
}

void CItemShopWindow::SelectButton(int button) {
    CItemData* entry = EntryAt(button);
    if (!entry) return;
    m_selection = button;
    m_play.SetSelectedItemId(entry->id);
    if (CCombineListWindow* list = m_play.CombineList()) list->ShowRecipes(entry);
}

void CItemShopWindow::OnLButtonClick(CUiObject* control) {
    if (!control || m_play.InputMode() == CPlayScreen::INPUT_UI_ONLY) return;
    if (!Blocked() && m_play.InputMode() == CPlayScreen::INPUT_ITEM) SellHeldItem();
    if (const int c = SlotIndex(categories, control); c >= 0) {
        DropCursorModes();
        ShowCategoryPage(c, 0);
        return;
    }
    if (control == close) {
        DropCursorModes();
        m_play.ToggleWindow(CPlayScreen::WINDOW_SHOP, 0);
        return;
    }
    if (control == next || control == prev) {
        m_play.CancelInputMode();
        if (control == next && m_page < m_lastPage) {
            ++m_page;
            ShowCategoryPage(m_category, 1);
        } else if (control == prev && m_page != 0) {
            --m_page;
            ShowCategoryPage(m_category, 1);
        }
        return;
    }
    if (const int i = SlotIndex(items, control); i >= 0) {
        if (Blocked()) return;
        m_play.CancelInputMode();
        if (!items[static_cast<size_t>(i)]->StateImage(CUiButton::STATE_NORMAL)) return;
        SelectButton(i);
        return;
    }
    if (control == buy) {
        m_play.CancelInputMode();
        if (m_selection < 0) {
            m_play.ShopNotice(MSG_ITEM_BUY_SELECT_ITEM);
            return;
        }
        BuyWhenReady(EntryAt(m_selection), false);
    }
}

void CItemShopWindow::OnRButtonClick(CUiObject* control) {
    if (m_selection >= 0) {
        ClearSelection();
        return;
    }
    if (!control || m_play.InputMode() == CPlayScreen::INPUT_UI_ONLY || Blocked()) return;
    if (m_play.InputMode() == CPlayScreen::INPUT_ITEM) {
        SellHeldItem();
        return;
    }
    const int i = SlotIndex(items, control);
    if (i < 0) return;
    m_play.CancelInputMode();
    BuyWhenReady(EntryAt(i), m_input && m_input->KeyDown(platform::DIK_LSHIFT));
}

void CItemShopWindow::BuyWhenReady(CItemData* entry, bool forUnit) {
    if (!entry) return;
    if (!Ready(*entry)) {
        m_play.ShopNotice(MSG_ITEM_BUY_NOT_TIME);
        return;
    }
    BuyItem(*entry, forUnit);
}

int CItemShopWindow::BuyItem(CItemData& entry, bool forUnit) {
    const int32_t slot = m_play.LocalPlayerSlot();
    CPlayerSlot* player = PlayerSlot(slot);
    CGameCommandManager* commands = g_pGameCommandManager;
    if (!player || !commands) return 0;
    if (!forUnit && player->itemCount > kStorageLimit) {
        m_play.ShopNotice(MSG_ITEM_BUY_FULL_INVENTORY);
        return 0;
    }
    const int32_t price = PriceOf(entry);
    if (static_cast<int64_t>(player->gold) - price < 0) {
        m_play.ShopNotice(MSG_ITEM_BUY_NOT_MONEY);
        return 0;
    }
    CPlayMainPanel* panel = m_play.MainPanel();
    int32_t unitId = 0xFFFF;
    if (forUnit) {
        CWorldObject* shown = panel ? panel->GetSelectedObject() : nullptr;
        if (!shown || shown->owner != slot) {
            m_play.ShopNotice(MSG_ITEM_CHECK_NOT_GIVE);
            return 0;
        }
        if (!shown->IsUnit()) {
            m_play.ShopNotice(MSG_ITEM_CHECK_NOT_HERO);
            return 0;
        }
        CInventoryItem probe;
        probe.record = &entry;
        probe.recordId = entry.id;
        int32_t place = -1;
        if (const int32_t code = static_cast<CUnit*>(shown)->CanAcquireItem(probe, -1, &place); code != -1) {
            m_play.ShopNotice(code);
            return 0;
        }
        unitId = shown->id;
    }
    if (!commands->BuildBuyItem(static_cast<uint32_t>(slot), 0xFF, unitId, forUnit ? kToUnit : kToStorage, entry.id, 1))
        return 0;
    if (panel) {
        panel->Refresh(-1);
        panel->CancelSkillTarget();
    }
    // Until the record comes back, the shop and the panel take no more orders.
    m_play.SetInputMode(CPlayScreen::INPUT_UI_ONLY);
    SpendGold(*player, price);
    ShowCategoryPage(-1, 0);
    PlayShopSound(CPlayResources::SND_GET_ITEM);
    return 1;
}

void CItemShopWindow::SellHeldItem() {
    CPlayMainPanel* panel = m_play.MainPanel();
    if (panel && panel->Held().item) {
        const CPlayMainPanel::HeldItem held = panel->Held();
        m_play.SetInputMode(CPlayScreen::INPUT_UI_ONLY);
        panel->CancelSkillTarget();
        m_play.ItemSlotAction(m_play.LocalPlayerSlot(), held.holder, held.fromStorage, held.index, 2, 1);
        ShowCategoryPage(-1, 0);
        if (!held.fromStorage) panel->Refresh(-1);
        PlayShopSound(CPlayResources::SND_SELL_ITEM);
    }
    m_play.SetInputMode(CPlayScreen::INPUT_NORMAL);
    if (panel) panel->ClearHeld();
}
