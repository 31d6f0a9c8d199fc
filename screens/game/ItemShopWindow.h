// The in-match item shop ("PLAY_MARKET.DUI"): twelve item buttons a page over
// the shop's category lists (or the local player's own item list), a buy
// button, page buttons and five category buttons. Items are bought with the
// local player slot's match gold into the slot's storage or, with Left Shift,
// into the inventory of the unit the main panel shows; an item held on the
// cursor is sold by clicking the shop.
//
// A purchase is a CMD_BUY_ITEM record: online it goes into the outgoing frame
// and changes the storage only when the server relays it back, so every
// machine adds the item in the same order. The gold is spent at once on the
// buyer's own machine so that a second click cannot spend it twice.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ui/UiWindow.h"

class CGameDataRecord;
class CItemData;
class CPlayScreen;
class CUiButton;
class CUiCheckButton;
class CUiStatic;
class CZEMDXInput;

// What the shop sells: category lists of ITEM records in display order; a
// null entry shows as an empty button and keeps its place.
struct ItemShop {
    std::vector<std::vector<CItemData*>> categories;
};

class CItemShopWindow : public CUiWindow {
public:
    static constexpr const char* kLayout = "PLAY_MARKET.DUI";
    static constexpr int kButtons = 12;
    static constexpr int kCategories = 5;
    // Category 4 shows the local player's own item list.
    static constexpr int kOwnList = 4;
    // The storage stops taking purchases at this many items.
    static constexpr uint32_t kStorageLimit = 11;
    // Destinations of CMD_BUY_ITEM.
    static constexpr uint32_t kToStorage = 2;
    static constexpr uint32_t kToUnit = 4;

    // shop may be null: the window then shows nothing to buy.
    CItemShopWindow(CPlayScreen& play, ItemShop* shop);

    int OnLayoutLoaded() override;
    void Render() override;
    void OnLButtonClick(CUiObject* control) override;
    // The item action: buys the item under the pointer (Left Shift: for the shown unit).
    void OnRButtonClick(CUiObject* control) override;
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;

    // category 0..4, or -1 to redraw the current page; keepPage keeps the
    // page index and the category buttons.
    void ShowCategoryPage(int category, int keepPage);
    void TickRestock(float dt);
    // Every entry of the item becomes ready at once.
    void RestockShopItem(uint32_t itemId);
    // 1 when the record went out (or into the local queue).
    int BuyItem(CItemData& entry, bool forUnit);
    void SellHeldItem();

    int Category() const { return m_category; }
    int Page() const { return m_page; }
    int LastPage() const { return m_lastPage; }
    int FirstIndex() const { return m_firstIndex; }
    int Selection() const { return m_selection; }
    bool AllRestocked() const { return m_allRestocked; }
    // The entry shown on a button of the current page, or null.
    CItemData* EntryAt(int button) const;
    // An entry is ready when its restock time has passed (a time of 0 always is).
    static bool Ready(const CItemData& entry);
    static float RestockTime(const CItemData& entry);
    // The price in gold (a price past the gold's range never fits).
    static int32_t PriceOf(const CItemData& entry);
    // The Left Shift state the item action reads (the frame's input; tests set it).
    void SetInput(CZEMDXInput* input) { m_input = input; }

    std::array<CUiButton*, kButtons> items{};
    std::array<CUiCheckButton*, kCategories> categories{};
    CUiButton* buy = nullptr;
    CUiButton* close = nullptr;
    CUiButton* prev = nullptr;
    CUiButton* next = nullptr;
    CUiStatic* pageNumber = nullptr;

private:
    // The list a category shows; null when there is none.
    const std::vector<CGameDataRecord*>* OwnList() const;
    size_t ListSize(int category) const;
    CItemData* ListEntry(int category, size_t index) const;
    // Every entry of the shop and of the own list, for the restock timers.
    template <typename Visit>
    void ForEachEntry(Visit visit);
    // The held item dropped and a combination pick cancelled.
    void DropCursorModes();
    void SelectButton(int button);
    void ClearSelection();
    // Buys the entry when it is ready, else tells the player.
    void BuyWhenReady(CItemData* entry, bool forUnit);
    bool Blocked() const;

    CPlayScreen& m_play;
    ItemShop* m_shop = nullptr;
    int m_category = 0;
    int m_page = 0;
    int m_lastPage = -1;
    int m_firstIndex = 0;
    int m_selection = -1;
    bool m_allRestocked = false;
    CZEMDXInput* m_input = nullptr;
};
