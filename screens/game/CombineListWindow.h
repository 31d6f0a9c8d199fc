// The combination list ("PLAY_COM_LIST.DUI"): the item recipes of the match,
// five a page, each a result icon and up to four ingredient icons. The shop
// asks it for the recipes of the item the player picked; a click on an icon
// lists the recipes of that item.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ui/UiWindow.h"

class CGameDataRecord;
class CPlayScreen;
class CUiButton;
class CUiStatic;
struct ItemCombination;

class CCombineListWindow : public CUiWindow {
public:
    static constexpr const char* kLayout = "PLAY_COM_LIST.DUI";
    static constexpr int kRows = 5;
    static constexpr int kIngredients = 4;
    // The window stands at the right edge of the screen, this far down.
    static constexpr float kTop = 10.0f;

    explicit CCombineListWindow(CPlayScreen& play);

    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;

    // The recipes that make or use the item (every recipe for null) whose
    // records are all loaded for this match.
    void ShowRecipes(const CGameDataRecord* item);

    int Page() const { return m_page; }
    int PageCount() const { return m_pageCount; }
    // The item whose recipes are listed (0: every recipe).
    uint32_t ShownItem() const { return m_shownItem; }
    const std::vector<const ItemCombination*>& Recipes() const { return m_recipes; }

    struct Row {
        CUiStatic* result = nullptr;
        std::array<CUiStatic*, kIngredients> ingredients{};
        uint32_t resultId = 0;
        std::array<uint32_t, kIngredients> ingredientIds{};
    };
    std::array<Row, kRows> rows{};
    CUiButton* prevPage = nullptr;
    CUiButton* nextPage = nullptr;
    CUiStatic* pageCount = nullptr;
    CUiButton* close = nullptr;
    CUiButton* all = nullptr;

private:
    void ShowRows();
    // The item an icon stands for; false when the control is no shown icon.
    bool IconItem(const CUiObject* control, uint32_t* itemId) const;

    CPlayScreen& m_play;
    int m_page = 0;
    int m_pageCount = 0;
    uint32_t m_shownItem = 0;
    bool m_shown = false;
    std::vector<const ItemCombination*> m_recipes;
};
