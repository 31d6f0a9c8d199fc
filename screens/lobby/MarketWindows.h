// The windows of the market screen: the shop window (shop list, inventory,
// money, chat; "SHOP.DUI"), the market window (listings and the registration
// of a card for sale; "MARKET.DUI"), the search window ("SEARCH.DUI") and the
// split window ("ISOLATION.DUI"). They only record what was clicked in
// latches; the market screen takes them in its update and does the rest.
#pragma once

#include <array>
#include <cstdint>

#include "ui/UiWindow.h"

class CResource;
class CUiButton;
class CUiCheckButton;
class CUiEditBox;
class CUiListBox;
class CUiStatic;

// A click remembered until the screen takes it.
class CLatch {
public:
    void Set(int index = 0) { m_index = index; }
    // The index set since the last take, or -1.
    int Take() {
        const int was = m_index;
        m_index = -1;
        return was;
    }
    bool Taken() { return Take() >= 0; }
    bool Pending() const { return m_index >= 0; }

private:
    int m_index = -1;
};

// One place of a card list: its button, name, icon and data text.
struct CardPlace {
    CUiCheckButton* button = nullptr;
    CUiStatic* name = nullptr;
    CUiStatic* icon = nullptr;
    CUiStatic* data = nullptr;
};

class CShopWindow : public CUiWindow {
public:
    static constexpr int kShopPlaces = 6;
    static constexpr int kInventoryPlaces = 9;
    static constexpr int kCategories = 4;
    // The style bit of an inventory place whose card sits in the combination.
    static constexpr uint32_t kPlacedMark = 0x1000000u;
    enum Button {
        BTN_SHOP_PREV,
        BTN_SHOP_NEXT,
        BTN_BUY,
        BTN_INVEN_PREV,
        BTN_INVEN_NEXT,
        BTN_SHOP_MYINFO,
        BTN_SELL,
        BTN_DELETE,
        BTN_USE,
        BTN_SHOP_EXIT,
        BTN_COMB,
        BTN_SEARCH,
        BTN_MYMARKET,
        BTN_COUNT
    };

    ~CShopWindow() override;
    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnDrag(CUiObject* control) override;
    // The controls, then over each place that shows a card its marks, its
    // sold-out picture, its level and the highlight of a card in the combination.
    void Render() override;

    // What the render draws over a place: the flag bits of its marks and
    // sold-out picture, and its level (0: none). Cleared for every place.
    void SetPlaceMarks(bool shopPlace, int n, uint32_t flags, uint32_t level);
    void ClearPlaceMarks();

    // Whether the screen holds a card on the cursor and which inventory
    // places show cards of the combination; the window asks before it picks.
    void SetHolding(bool holding) { m_holding = holding; }
    void SetCombinedPlace(int place, bool combined) { m_combined[static_cast<size_t>(place)] = combined; }

    CLatch& ButtonLatch(Button b) { return m_buttons[static_cast<size_t>(b)]; }
    CLatch& CategoryLatch() { return m_category; }
    CLatch& ShopPickLatch() { return m_shopPick; }
    CLatch& InventoryPickLatch() { return m_inventoryPick; }
    CLatch& DragLatch() { return m_drag; }
    CLatch& ShopAreaLatch() { return m_shopArea; }
    CLatch& InventoryAreaLatch() { return m_inventoryArea; }
    int ShopPick() const { return m_shopPickIndex; }
    int InventoryPick() const { return m_inventoryPickIndex; }
    int Category() const { return m_categoryIndex; }
    void SelectCategory(int index);
    void ClearPicks();
    void ClearShopPick();

    CUiButton* ButtonAt(Button b) const { return m_buttonControls[static_cast<size_t>(b)]; }
    const CardPlace& ShopPlace(int n) const { return m_shop[static_cast<size_t>(n)]; }
    const CardPlace& InventoryPlace(int n) const { return m_inventory[static_cast<size_t>(n)]; }
    CUiStatic* LeftTitle() const { return m_titleLeft; }
    CUiStatic* ShopPage() const { return m_shopPage; }
    CUiStatic* InventoryPage() const { return m_inventoryPage; }
    CUiStatic* Money() const { return m_money; }
    CUiStatic* Cash() const { return m_cash; }
    CUiListBox* ChatList() const { return m_chatList; }
    CUiEditBox* ChatEdit() const { return m_chatEdit; }
    CUiStatic* ChatModeLabel() const { return m_messageTo; }
    // The enable group of the buttons that leave or change cards.
    void EnableCardButtons(bool enabled, bool marketButton);

private:
    struct PlaceMarks {
        uint32_t flags = 0;
        uint32_t level = 0;
    };
    void PickShop(int n);
    void PickInventory(int n);
    void DrawPlaceMarks(const CardPlace& place, const PlaceMarks& marks, bool highlight) const;

    std::array<CResource*, 4> m_pictures{};
    std::array<PlaceMarks, kShopPlaces> m_shopMarks{};
    std::array<PlaceMarks, kInventoryPlaces> m_inventoryMarks{};

    std::array<CardPlace, kShopPlaces> m_shop{};
    std::array<CardPlace, kInventoryPlaces> m_inventory{};
    std::array<CUiCheckButton*, kCategories> m_categories{};
    std::array<CUiButton*, BTN_COUNT> m_buttonControls{};
    std::array<CLatch, BTN_COUNT> m_buttons{};
    std::array<bool, kInventoryPlaces> m_combined{};
    CLatch m_category, m_shopPick, m_inventoryPick, m_drag, m_shopArea, m_inventoryArea;
    int m_shopPickIndex = -1, m_inventoryPickIndex = -1, m_categoryIndex = 0;
    bool m_holding = false;
    CUiStatic* m_titleLeft = nullptr;
    CUiStatic* m_shopPage = nullptr;
    CUiStatic* m_inventoryPage = nullptr;
    CUiStatic* m_money = nullptr;
    CUiStatic* m_cash = nullptr;
    CUiStatic* m_shopBack = nullptr;
    CUiStatic* m_inventoryBack = nullptr;
    CUiListBox* m_chatList = nullptr;
    CUiEditBox* m_chatEdit = nullptr;
    CUiStatic* m_messageTo = nullptr;
};

class CMarketWindow : public CUiWindow {
public:
    static constexpr int kRows = 5;
    struct Row {
        CUiCheckButton* bar = nullptr;
        CUiStatic* item = nullptr;
        CUiStatic* level = nullptr;
        CUiStatic* name = nullptr;
        CUiStatic* wanted = nullptr;
    };

    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;

    CLatch& RowLatch() { return m_row; }
    CLatch& AcceptLatch() { return m_accept; }
    CLatch& CancelLatch() { return m_cancel; }
    CLatch& QuitLatch() { return m_quit; }
    CLatch& IconLatch() { return m_icon; }
    int SelectedRow() const { return m_selected; }
    void ClearSelection();
    // Empties every row and the registration controls.
    void Reset();
    const Row& RowAt(int n) const { return m_rows[static_cast<size_t>(n)]; }
    CUiEditBox* PriceEdit() const { return m_price; }
    CUiStatic* LevelIcon() const { return m_levelIcon; }
    CUiStatic* RegisteredName() const { return m_registeredName; }
    CUiButton* IconButton() const { return m_iconButton; }
    CUiStatic* Title() const { return m_title; }

private:
    std::array<Row, kRows> m_rows{};
    CLatch m_row, m_accept, m_cancel, m_quit, m_icon;
    int m_selected = -1;
    CUiStatic* m_title = nullptr;
    CUiEditBox* m_price = nullptr;
    CUiStatic* m_levelIcon = nullptr;
    CUiStatic* m_registeredName = nullptr;
    CUiButton* m_acceptButton = nullptr;
    CUiButton* m_cancelButton = nullptr;
    CUiButton* m_quitButton = nullptr;
    CUiButton* m_iconButton = nullptr;
};

// The search window and the split window: a title, an edit and two buttons.
class CEditDialogWindow : public CUiWindow {
public:
    CEditDialogWindow(const char* edit, const char* ok, const char* cancel)
        : m_editName(edit), m_okName(ok), m_cancelName(cancel) {}
    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnEnter(CUiObject* control) override;

    CLatch& OkLatch() { return m_ok; }
    CLatch& CancelLatch() { return m_cancelLatch; }
    CUiEditBox* Edit() const { return m_edit; }
    // Shown in front with the focus on the empty edit.
    void Open();
    void Close();

private:
    const char* m_editName;
    const char* m_okName;
    const char* m_cancelName;
    CLatch m_ok, m_cancelLatch;
    CUiEditBox* m_edit = nullptr;
    CUiButton* m_okButton = nullptr;
    CUiButton* m_cancel = nullptr;
};

class CMarketSearchWindow : public CEditDialogWindow {
public:
    CMarketSearchWindow() : CEditDialogWindow("ID_EDIT_ITEMNAME", "ID_BUTTON_SEARCH", "ID_BUTTON_CANCEL") {}
};

class CIsolationWindow : public CEditDialogWindow {
public:
    CIsolationWindow()
        : CEditDialogWindow("ID_EDIT_ITEM_ISOLATION_COUNT", "ID_BUTTON_ITEM_ISOLATION_OK",
                            "ID_BUTTON_ITEM_ISOLATION_CANCLE") {}
};
