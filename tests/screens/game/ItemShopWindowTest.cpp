// The item shop, its CMD_BUY_ITEM records and the combination list, on the
// sample map with a fixture shop (the sample match has no shop of its own).
// A Knight of the local player stands beside the Creep hero so that
// purchases for a unit have a hero to go to.
#include "screens/game/ItemShopWindow.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <vector>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "screens/game/CombineListWindow.h"
#include "screens/game/ItemTooltip.h"
#include "screens/game/PlayMainPanel.h"
#include "tests/screens/game/PlayScreenFixture.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiStatic.h"
#include "world/GameDataRegistry.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/Unit.h"

namespace {

class ItemShopTest : public PlayScreenTest {
protected:
    void SetUp() override {
        PlayScreenTest::SetUp();
        if (HasFatalFailure()) return;
        potion = Item("Potion");
        sword = Item("Sword");
        elixir = Item("Elixir");
        ASSERT_TRUE(potion && sword && elixir);
        // As the loading screen does: icons and use skills are there to show.
        for (CItemData* item : {potion, sword, elixir}) ASSERT_TRUE(item->Link()) << ErrorReport().GetText();
        potion->itemWord[1] = 3;  // the price
        sword->itemWord[1] = 1;   // within the level-1 Knight's reach
        // The elixir restocks for five seconds from the start of the match.
        elixir->itemWord6 = std::bit_cast<uint32_t>(5.0f);
        shop.categories.assign(5, {});
        shop.categories[0] = {potion, sword, elixir};
        knight = harness.SpawnUnit("Knight", {140, 0, 100}, 0, 0);
        Make(1, &shop);
        Step();
        ASSERT_EQ(screen->Phase(), CPlayScreen::PHASE_PLAY) << ErrorReport().GetText();
        window = screen->ShopWindow();
        ASSERT_NE(window, nullptr);
        window->SetInput(&host.input);
        Drain();
        session.slots[0].gold = 1000;
    }
    void TearDown() override {
        for (CPlayerSlot& slot : session.slots) slot.ReleaseItems();
        PlayScreenTest::TearDown();
    }

    static CItemData* Item(const char* name) {
        return static_cast<CItemData*>(g_pGameDataRegistry->FindRecord(CAT_ITEM, NameHash(name)));
    }
    // The bytes of every queued record of the type; the queue is left empty.
    std::vector<std::vector<uint8_t>> Drain(uint8_t type = CMD_BUY_ITEM) {
        std::vector<std::vector<uint8_t>> out;
        while (CGameCommand* r = Commands().NextCommand()) {
            if (r->Type() == type) out.emplace_back(r->Bytes(), r->Bytes() + r->Size());
            Commands().FreeCommand(r);
        }
        return out;
    }
    static std::vector<uint8_t> BuyBytes(uint8_t slot, uint16_t objectId, uint8_t kind, uint32_t id) {
        return {CMD_BUY_ITEM,
                12,
                slot,
                0xFF,
                static_cast<uint8_t>(objectId),
                static_cast<uint8_t>(objectId >> 8),
                kind,
                0,
                static_cast<uint8_t>(id),
                static_cast<uint8_t>(id >> 8),
                static_cast<uint8_t>(id >> 16),
                static_cast<uint8_t>(id >> 24)};
    }
    void Press(uint8_t key) {
        input->SetKey(key, false);
        host.input.UpdateInput(0.016f, 1);
        input->SetKey(key, true);
        host.input.UpdateInput(0.016f, 1);
    }
    void HoldShift(bool down) {
        input->SetKey(platform::DIK_LSHIFT, down);
        host.input.UpdateInput(0.016f, 1);
    }
    void FillStorage(int32_t slot) {
        for (int i = 0; i < CPlayerSlot::kItems; ++i)
            session.slots[static_cast<size_t>(slot)].AddItem(potion, potion->id, 1);
        ASSERT_EQ(session.slots[static_cast<size_t>(slot)].FirstFreeItemSlot(), -1);
    }
    void ShowKnightOnThePanel() {
        screen->Selection().selected.assign(1, knight);
        screen->MainPanel()->Refresh(knight);
        ASSERT_EQ(screen->MainPanel()->GetSelectedObject(), harness.Object(0, knight));
    }
    CUnit& Knight() { return *harness.Unit(0, knight); }
    int ShownButtons() const {
        int n = 0;
        for (CUiButton* b : window->items) n += b->HasFlags(UI_HIDDEN) ? 0 : 1;
        return n;
    }

    ItemShop shop;
    CItemData* potion = nullptr;
    CItemData* sword = nullptr;
    CItemData* elixir = nullptr;
    int32_t knight = -1;
    CItemShopWindow* window = nullptr;
};

TEST_F(ItemShopTest, PagesOfTwelveWithTheirTextAndButtons) {
    shop.categories[1].clear();
    shop.categories[2].assign(12, potion);
    shop.categories[3].assign(13, potion);
    const struct {
        int category, lastPage, shown;
        bool paged;
    } cases[] = {{1, -1, 0, false}, {2, 0, 12, false}, {3, 1, 12, true}};
    for (const auto& c : cases) {
        window->ShowCategoryPage(c.category, 0);
        EXPECT_EQ(window->LastPage(), c.lastPage) << c.category;
        EXPECT_EQ(ShownButtons(), c.shown) << c.category;
        for (CUiObject* pager : {static_cast<CUiObject*>(window->prev), static_cast<CUiObject*>(window->next),
                                 static_cast<CUiObject*>(window->pageNumber)})
            EXPECT_EQ(!pager->HasFlags(UI_HIDDEN), c.paged) << c.category;
        for (int i = 0; i < CItemShopWindow::kCategories; ++i)
            EXPECT_EQ(window->categories[static_cast<size_t>(i)]->Checked(), i == c.category);
    }
    EXPECT_EQ(window->pageNumber->GetText(), "1/2");

    // Next turns to the last page; there, Next only leaves the input mode.
    window->OnLButtonClick(window->next);
    EXPECT_EQ(window->Page(), 1);
    EXPECT_EQ(window->FirstIndex(), 12);
    EXPECT_EQ(window->pageNumber->GetText(), "2/2");
    EXPECT_EQ(ShownButtons(), 1);
    EXPECT_TRUE(window->categories[3]->Checked());
    screen->SetInputMode(CPlayScreen::INPUT_COMBINATION);
    window->OnLButtonClick(window->next);
    EXPECT_EQ(window->Page(), 1);
    EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_NORMAL);
    window->OnLButtonClick(window->prev);
    window->OnLButtonClick(window->prev);
    EXPECT_EQ(window->Page(), 0);
}

TEST_F(ItemShopTest, NullEntriesKeepTheirPlaceAndUnknownCategoriesChangeNothing) {
    shop.categories[1] = {potion, nullptr, sword};
    window->ShowCategoryPage(1, 0);
    EXPECT_FALSE(window->items[0]->HasFlags(UI_HIDDEN));
    EXPECT_TRUE(window->items[1]->HasFlags(UI_HIDDEN));
    EXPECT_EQ(window->items[1]->StateImage(CUiButton::STATE_NORMAL), nullptr);
    EXPECT_FALSE(window->items[2]->HasFlags(UI_HIDDEN));
    EXPECT_EQ(window->EntryAt(2), sword);

    // A picked item survives a redraw but not a change of category.
    window->OnLButtonClick(window->items[2]);
    EXPECT_EQ(window->Selection(), 2);
    EXPECT_EQ(screen->SelectedItemId(), sword->id);
    window->ShowCategoryPage(-1, 0);
    EXPECT_EQ(screen->SelectedItemId(), sword->id);
    window->ShowCategoryPage(5, 0);  // the fixture shop has five lists: 0..4
    window->ShowCategoryPage(99, 0);
    EXPECT_EQ(window->Category(), 1);
    EXPECT_EQ(screen->SelectedItemId(), sword->id);
    window->OnLButtonClick(window->categories[0]);
    EXPECT_EQ(window->Category(), 0);
    EXPECT_EQ(window->Selection(), -1);
    EXPECT_EQ(screen->SelectedItemId(), 0u);

    // Without a shop the window shows nothing and takes no category.
    CItemShopWindow bare(*screen, nullptr);
    bare.ShowCategoryPage(0, 0);
    EXPECT_EQ(bare.LastPage(), -1);
}

TEST_F(ItemShopTest, GoldEqualToThePriceBuysIntoTheStorage) {
    session.slots[0].gold = 3;
    window->OnLButtonClick(window->buy);
    EXPECT_EQ(screen->LastShopNotice(), MSG_ITEM_BUY_SELECT_ITEM);
    window->OnLButtonClick(window->items[0]);
    window->OnLButtonClick(window->buy);
    EXPECT_EQ(session.slots[0].gold, 0);
    EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_UI_ONLY);
    // The record comes back through the dispatcher; the buyer paid already.
    screen->DispatchGameCommands(0.0f);
    EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_NORMAL);
    ASSERT_EQ(session.slots[0].itemCount, 1u);
    EXPECT_EQ(session.slots[0].items[0]->record, potion);
    EXPECT_EQ(session.slots[0].gold, 0);

    // One gold short: refused, nothing sent.
    session.slots[0].gold = 2;
    window->OnRButtonClick(window->items[0]);  // clears the pick
    window->OnRButtonClick(window->items[0]);
    EXPECT_EQ(screen->LastShopNotice(), MSG_ITEM_BUY_NOT_MONEY);
    EXPECT_TRUE(Drain().empty());
    EXPECT_EQ(session.slots[0].gold, 2);
}

TEST_F(ItemShopTest, TheRecordOfAStorageAndOfAUnitPurchase) {
    window->OnRButtonClick(window->items[0]);
    EXPECT_EQ(Drain(), (std::vector<std::vector<uint8_t>>{BuyBytes(0, 0xFFFF, 2, potion->id)}));
    EXPECT_EQ(session.slots[0].gold, 997);

    // A full storage refuses storage purchases but not those for a unit.
    screen->SetInputMode(CPlayScreen::INPUT_NORMAL);
    FillStorage(0);
    window->OnRButtonClick(window->items[1]);
    EXPECT_EQ(screen->LastShopNotice(), MSG_ITEM_BUY_FULL_INVENTORY);
    EXPECT_TRUE(Drain().empty());
    ShowKnightOnThePanel();
    HoldShift(true);
    window->OnRButtonClick(window->items[1]);
    HoldShift(false);
    const auto sent = Drain();
    EXPECT_EQ(sent, (std::vector<std::vector<uint8_t>>{BuyBytes(0, static_cast<uint16_t>(knight), 4, sword->id)}));
    EXPECT_EQ(session.slots[0].gold, 996);

    // Another player's unit is no place for the player's gold.
    screen->SetInputMode(CPlayScreen::INPUT_NORMAL);
    Knight().owner = 1;
    HoldShift(true);
    window->OnRButtonClick(window->items[1]);
    HoldShift(false);
    EXPECT_EQ(screen->LastShopNotice(), MSG_ITEM_CHECK_NOT_GIVE);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(ItemShopTest, RestockTimesGateTheSaleUntilTheyPass) {
    EXPECT_TRUE(CItemShopWindow::Ready(*potion));  // no restock time: always ready
    EXPECT_FALSE(CItemShopWindow::Ready(*elixir));
    window->OnRButtonClick(window->items[2]);
    EXPECT_EQ(screen->LastShopNotice(), MSG_ITEM_BUY_NOT_TIME);
    EXPECT_TRUE(Drain().empty());

    window->TickRestock(2.5f);
    window->TickRestock(2.5f);
    EXPECT_TRUE(CItemShopWindow::Ready(*elixir));
    EXPECT_FALSE(window->AllRestocked());
    window->TickRestock(1.0f);
    EXPECT_TRUE(window->AllRestocked());

    // The tutorial's script restocks an item at once through the play screen.
    elixir->restockElapsed = 0;
    IScriptHost& script = *screen;
    script.RestockShopItem(elixir->id);
    EXPECT_FLOAT_EQ(elixir->restockElapsed, 5.0f);
    window->OnRButtonClick(window->items[2]);
    EXPECT_EQ(Drain().size(), 1u);
}

TEST_F(ItemShopTest, ReplaysAndObserversNeitherPickNorBuy) {
    for (int mode : {3, 4}) {
        World().gameMode = mode;
        window->OnLButtonClick(window->items[0]);
        window->OnRButtonClick(window->items[0]);
        EXPECT_EQ(window->Selection(), -1) << mode;
        EXPECT_TRUE(Drain().empty()) << mode;
    }
}

TEST_F(ItemShopTest, AHeldItemIsSoldByClickingTheShop) {
    potion->itemWord[1] = 100;
    session.slots[0].AddItem(potion, potion->id, 1);
    screen->MainPanel()->OnRButtonClick(screen->MainPanel()->storage[0]);  // picked up
    ASSERT_EQ(screen->InputMode(), CPlayScreen::INPUT_ITEM);
    window->OnLButtonClick(window->buy);
    EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_NORMAL);
    EXPECT_EQ(session.slots[0].itemCount, 0u);
    EXPECT_EQ(session.slots[0].gold, 1000 + ItemSaleValue(*potion, 1));
    EXPECT_EQ(screen->MainPanel()->Held().item, nullptr);
    EXPECT_EQ(Drain(CMD_ITEM_SLOT_ACTION).size(), 1u);
}

// The handler on every machine: checks first, then by kind, with the
// payment rule and the full storage.
TEST_F(ItemShopTest, TheBuyHandlerByKindSlotAndStorage) {
    const int32_t creep = harness.SpawnUnit("Creep", {60, 0, 60}, 1, 0);
    for (CPlayerSlot& slot : session.slots) slot.gold = 100;
    auto run = [&](uint32_t slot, uint32_t count, int32_t object, uint32_t kind, uint32_t id) {
        Commands().BuildBuyItem(slot, count, object, kind, id, 0);
        screen->DispatchGameCommands(0.0f);
    };
    // Another player's storage purchase: paid here, on arrival.
    run(1, 0xFF, 0xFFFF, 2, potion->id);
    EXPECT_EQ(session.slots[1].gold, 97);
    EXPECT_EQ(session.slots[1].itemCount, 1u);
    // A unit of the field goes back into the storage with the record's count.
    run(1, 4, creep, 3, elixir->id);
    EXPECT_FALSE(harness.Object(0, creep)->alive);
    ASSERT_EQ(session.slots[1].itemCount, 2u);
    EXPECT_EQ(session.slots[1].items[1]->charges, 4);
    // An item for another player's hero.
    Knight().owner = 2;
    run(2, 0xFF, knight, 4, sword->id);
    EXPECT_EQ(session.slots[2].gold, 99);
    EXPECT_EQ(Knight().Item(0) ? Knight().Item(0)->record : nullptr, sword);

    // Full storages: only the local buyer hears of it and gets the price back.
    FillStorage(0);
    FillStorage(3);
    const int32_t field = harness.SpawnUnit("Creep", {80, 0, 80}, 0, 0);
    const int32_t tally = session.slots[0].goldTally;
    run(3, 0xFF, 0xFFFF, 2, potion->id);
    EXPECT_EQ(session.slots[3].gold, 100);
    EXPECT_EQ(screen->LastShopNotice(), -1);
    run(0, 0xFF, 0xFFFF, 2, potion->id);
    EXPECT_EQ(session.slots[0].gold, 103);
    EXPECT_EQ(session.slots[0].goldTally, tally + 3);
    EXPECT_EQ(screen->LastShopNotice(), MSG_ITEM_BUY_FULL_INVENTORY);
    run(0, 1, field, 3, potion->id);
    EXPECT_TRUE(harness.Object(0, field)->alive);
    EXPECT_EQ(session.slots[0].gold, 103);

    // Bad records change nothing, not even the input mode.
    screen->SetInputMode(CPlayScreen::INPUT_UI_ONLY);
    session.slots[1].ReleaseItems();
    run(12, 0xFF, 0xFFFF, 2, potion->id);
    run(1, 0xFF, 0xFFFF, 9, potion->id);
    run(0, 0xFF, 0xFFFF, 2, 0x12345678u);
    run(1, 0xFF, 0xFFFF, 2, NameHash("Knight"));  // a UNIT record is no item
    EXPECT_EQ(session.slots[1].itemCount, 0u);
    EXPECT_EQ(session.slots[1].gold, 97);
    EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_UI_ONLY);
    // A combination that made nothing (record 0) gives the input back.
    run(0, 0xFF, 0xFFFF, 1, 0);
    EXPECT_EQ(screen->InputMode(), CPlayScreen::INPUT_NORMAL);
}

TEST_F(ItemShopTest, VTogglesTheShopAndCListsThePickedItemsRecipes) {
    ASSERT_TRUE(window->HasFlags(UI_HIDDEN));
    Press(platform::DIK_V);
    screen->HandleHotkeys();
    EXPECT_FALSE(window->HasFlags(UI_HIDDEN));
    Press(platform::DIK_V);
    screen->HandleHotkeys();
    EXPECT_TRUE(window->HasFlags(UI_HIDDEN));

    CCombineListWindow* list = screen->CombineList();
    ASSERT_NE(list, nullptr);
    window->OnLButtonClick(window->items[2]);  // the elixir: its recipes are listed
    EXPECT_EQ(list->ShownItem(), elixir->id);
    Press(platform::DIK_C);
    screen->HandleHotkeys();
    EXPECT_FALSE(list->HasFlags(UI_HIDDEN));
    Press(platform::DIK_C);
    screen->HandleHotkeys();
    EXPECT_TRUE(list->HasFlags(UI_HIDDEN));
}

class CombineListTest : public ItemShopTest {
protected:
    void SetUp() override {
        ItemShopTest::SetUp();
        if (HasFatalFailure()) return;
        list = screen->CombineList();
        ASSERT_NE(list, nullptr);
    }
    // A recipe of these members for the result.
    void AddRecipe(CGameDataRecord* result, std::vector<CGameDataRecord*> members) {
        auto recipe = std::make_unique<ItemCombination>();
        recipe->resultItem = result;
        recipe->members = std::move(members);
        g_pGameDataRegistry->AddCombination(std::move(recipe));
    }
    int ShownRows() const {
        int n = 0;
        for (const auto& row : list->rows) n += row.result->HasFlags(UI_HIDDEN) ? 0 : 1;
        return n;
    }
    bool PagerShown() const { return !list->nextPage->HasFlags(UI_HIDDEN); }

    CCombineListWindow* list = nullptr;
};

TEST_F(CombineListTest, FiveRecipesAPage) {
    // The sample has one recipe with the elixir; four more make a full page.
    for (int i = 0; i < 4; ++i) AddRecipe(sword, {elixir, sword});
    list->ShowRecipes(elixir);
    EXPECT_EQ(list->Recipes().size(), 5u);
    EXPECT_EQ(list->PageCount(), 1);
    EXPECT_EQ(ShownRows(), 5);
    EXPECT_FALSE(PagerShown());
    EXPECT_EQ(list->rows[0].resultId, sword->id);
    EXPECT_TRUE(list->rows[0].ingredients[2]->HasFlags(UI_HIDDEN));
    EXPECT_EQ(list->rows[0].ingredientIds[2], 0u);

    AddRecipe(sword, {potion, elixir, potion});
    list->OnLButtonClick(list->all);
    list->ShowRecipes(elixir);
    EXPECT_EQ(list->PageCount(), 2);
    EXPECT_TRUE(PagerShown());
    EXPECT_EQ(list->pageCount->GetText(), "1/2");
    list->OnLButtonClick(list->nextPage);
    EXPECT_EQ(list->Page(), 1);
    EXPECT_EQ(list->pageCount->GetText(), "2/2");
    EXPECT_EQ(ShownRows(), 1);
    list->OnLButtonClick(list->nextPage);
    EXPECT_EQ(list->Page(), 1);

    // A click on an ingredient lists that item's recipes.
    list->OnLButtonClick(list->rows[0].ingredients[0]);
    EXPECT_EQ(list->ShownItem(), potion->id);
    EXPECT_EQ(list->Page(), 0);
}

TEST_F(CombineListTest, UnusedItemsAndUnlinkedMembersShowNoRecipe) {
    CItemData& stone = g_pGameDataRegistry->AddNamed(std::make_unique<CItemData>(), "Stone");
    stone.linked = 1;
    list->ShowRecipes(&stone);
    EXPECT_TRUE(list->Recipes().empty());
    EXPECT_EQ(ShownRows(), 0);
    EXPECT_EQ(list->pageCount->GetText(), "0/0");

    CItemData& unloaded = g_pGameDataRegistry->AddNamed(std::make_unique<CItemData>(), "Unloaded");
    AddRecipe(sword, {&unloaded, potion});
    AddRecipe(&unloaded, {potion, potion});
    list->ShowRecipes(nullptr);
    for (const ItemCombination* recipe : list->Recipes()) {
        EXPECT_NE(recipe->resultItem, &unloaded);
        EXPECT_EQ(std::count(recipe->members.begin(), recipe->members.end(), &unloaded), 0);
    }
    EXPECT_EQ(list->Recipes().size(), 2u);  // the sample's own two
}

}  // namespace
