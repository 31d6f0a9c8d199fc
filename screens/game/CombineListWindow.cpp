// The combination list window.
#include "screens/game/CombineListWindow.h"

#include <algorithm>
#include <string>

#include "engine/core/TextFormat.h"
#include "engine/resource/Resource.h"
#include "screens/game/PlayScreen.h"
#include "ui/UiButton.h"
#include "ui/UiStatic.h"
#include "world/GameDataRegistry.h"
#include "world/ItemData.h"

namespace {

bool Linked(const CGameDataRecord* record) { return record && record->linked; }

// Every record of the recipe is loaded for this match.
bool Usable(const ItemCombination& recipe) {
    return Linked(recipe.resultItem) && std::all_of(recipe.members.begin(), recipe.members.end(), Linked);
}

bool Uses(const ItemCombination& recipe, uint32_t itemId) {
    if (recipe.resultItem->id == itemId) return true;
    return std::any_of(recipe.members.begin(), recipe.members.end(),
                       [&](const CGameDataRecord* m) { return m->id == itemId; });
}

// The icon of an ITEM record with its name as the tooltip; the id it stands for.
uint32_t ShowIcon(CUiStatic* icon, const CGameDataRecord* record) {
    if (!icon) return 0;
    if (!record || record->category != CAT_ITEM) {
        SetShown(icon, false);
        return 0;
    }
    const auto* item = static_cast<const CItemData*>(record);
    if (item->iconResource) item->iconResource->AddRef();
    icon->SetImage(item->iconResource, item->icon);
    icon->CUiObject::SetText(item->text);
    SetShown(icon, true);
    return item->id;
}
}  // namespace

CCombineListWindow::CCombineListWindow(CPlayScreen& play) : m_play(play) { m_recipes.reserve(50); }

int CCombineListWindow::OnLayoutLoaded() {
    bool ok = true;
    for (int r = 0; r < kRows; ++r) {
        Row& row = rows[static_cast<size_t>(r)];
        ok = (row.result = static_cast<CUiStatic*>(
                  Bind(FormatText("ID_STATIC_ITEM_COMBINATION%d", r + 1).c_str(), UI_TYPE_STATIC))) != nullptr &&
             ok;
        for (int i = 0; i < kIngredients; ++i)
            ok = (row.ingredients[static_cast<size_t>(i)] = static_cast<CUiStatic*>(
                      Bind(FormatText("ID_STATIC_ITEM_SET%d_%d", r + 1, i + 1).c_str(), UI_TYPE_STATIC))) != nullptr &&
                 ok;
    }
    prevPage = static_cast<CUiButton*>(Bind("ID_BUTTON_PREV_PAGE", UI_TYPE_BUTTON));
    nextPage = static_cast<CUiButton*>(Bind("ID_BUTTON_NEXT_PAGE", UI_TYPE_BUTTON));
    pageCount = static_cast<CUiStatic*>(Bind("ID_STATIC_PAGE_COUNT", UI_TYPE_STATIC));
    close = static_cast<CUiButton*>(Bind("ID_BUTTON_CLOSE", UI_TYPE_BUTTON));
    all = static_cast<CUiButton*>(Bind("ID_BUTTON_ALL", UI_TYPE_BUTTON));
    return ok && prevPage && nextPage && pageCount && close && all ? 1 : 0;
}

void CCombineListWindow::ShowRecipes(const CGameDataRecord* item) {
    m_recipes.clear();
    const uint32_t itemId = item ? item->id : 0;
    if (g_pGameDataRegistry)
        for (const auto& recipe : g_pGameDataRegistry->Combinations())
            if (recipe && Usable(*recipe) && (!item || Uses(*recipe, itemId))) m_recipes.push_back(recipe.get());
    if (!m_shown || itemId != m_shownItem || (!item && m_pageCount == 0)) {
        m_page = 0;
        m_pageCount = static_cast<int>((m_recipes.size() + kRows - 1) / kRows);
    }
    // A list that shrank since (records released) keeps its page in range.
    m_page = std::clamp(m_page, 0, std::max(m_pageCount - 1, 0));
    m_shownItem = itemId;
    m_shown = true;
    ShowRows();
}

void CCombineListWindow::ShowRows() {
    for (int r = 0; r < kRows; ++r) {
        Row& row = rows[static_cast<size_t>(r)];
        const size_t index = static_cast<size_t>(m_page) * kRows + static_cast<size_t>(r);
        const ItemCombination* recipe = index < m_recipes.size() ? m_recipes[index] : nullptr;
        row.resultId = ShowIcon(row.result, recipe ? recipe->resultItem : nullptr);
        for (size_t i = 0; i < kIngredients; ++i) {
            const CGameDataRecord* member = recipe && i < recipe->members.size() ? recipe->members[i] : nullptr;
            row.ingredientIds[i] = ShowIcon(row.ingredients[i], member);
        }
    }
    const bool paged = m_pageCount >= 2;
    SetShown(prevPage, paged);
    SetShown(nextPage, paged);
    SetShown(pageCount, paged);
    if (pageCount)
        pageCount->SetText(m_recipes.empty() ? std::string("0/0") : FormatText("%d/%d", m_page + 1, m_pageCount));
}

bool CCombineListWindow::IconItem(const CUiObject* control, uint32_t* itemId) const {
    for (const Row& row : rows) {
        if (control == row.result && row.resultId) return *itemId = row.resultId, true;
        for (size_t i = 0; i < kIngredients; ++i)
            if (control == row.ingredients[i] && row.ingredientIds[i]) return *itemId = row.ingredientIds[i], true;
    }
    return false;
}

void CCombineListWindow::OnLButtonClick(CUiObject* control) {
    const int mode = m_play.InputMode();
    if (!control || mode == CPlayScreen::INPUT_DRAG || mode == CPlayScreen::INPUT_ITEM ||
        mode == CPlayScreen::INPUT_UI_ONLY)
        return;
    if (uint32_t itemId = 0; IconItem(control, &itemId)) {
        if (itemId != m_shownItem) ShowRecipes(FindGameRecord(CAT_ITEM, itemId));
        return;
    }
    if (control == close) {
        m_play.ToggleWindow(CPlayScreen::WINDOW_COMBINATION, 0);
    } else if (control == prevPage && m_page > 0) {
        --m_page;
        ShowRows();
    } else if (control == nextPage && m_page < m_pageCount - 1) {
        ++m_page;
        ShowRows();
    } else if (control == all) {
        ShowRecipes(nullptr);
    }
}
