#include "screens/lobby/MarketWindows.h"

#include <functional>
#include <string>

#include "engine/core/TextFormat.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/MarketOverlay.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

namespace {

constexpr const char* kShopButtons[CShopWindow::BTN_COUNT] = {
    "ID_BUTTON_SHOP_PREV", "ID_BUTTON_SHOP_NEXT", "ID_BUTTON_BUY",       "ID_BUTTON_INVEN_PREV",
    "ID_BUTTON_INVEN_NEXT", "ID_BUTTON_SHOP_MYINFO", "ID_BUTTON_SELL",   "ID_BUTTON_DELETE",
    "ID_BUTTON_USE",       "ID_BUTTON_SHOP_EXIT", "ID_BUTTON_COMB",      "ID_BUTTON_SEARCH",
    "ID_BUTTON_MYMARKET"};

// The market's clicks count only under the normal cursor: under the wait
// cursor a request is out and its reply will change what was clicked.
bool NormalCursor() { return !g_pUiManager || g_pUiManager->CursorIndex() == lobby::kNormalCursor; }

bool BindPlace(CardPlace& place, const std::function<CUiObject*(const std::string&, uint32_t)>& bind,
               const char* button, const char* name, const char* icon, const char* data, int n) {
    place.button = static_cast<CUiCheckButton*>(bind(lobby::NumberedName(button, n), UI_TYPE_CHECKBUTTON));
    place.name = static_cast<CUiStatic*>(bind(lobby::NumberedName(name, n), UI_TYPE_STATIC));
    place.icon = static_cast<CUiStatic*>(bind(lobby::NumberedName(icon, n), UI_TYPE_STATIC));
    place.data = static_cast<CUiStatic*>(bind(lobby::NumberedName(data, n), UI_TYPE_STATIC));
    return place.button && place.name && place.icon && place.data;
}

constexpr const char* kPictureNames[shop_overlay::PICTURE_COUNT] = {"OUTSHOP_TAILS.DDS", "OUTSHOP_TAILS2.DDS",
                                                                    "OUTSHOP_TAILS3.DDS", "OUTSHOP_SOLDOUT.DDS"};
constexpr uint32_t kPlacedHighlight = 0x6080C0FFu;
constexpr uint32_t kLevelColour = 0xFFFFFF00u;

}  // namespace

CShopWindow::~CShopWindow() {
    if (!g_pResourceManager) return;
    for (CResource*& picture : m_pictures) g_pResourceManager->ReleaseResource(picture);
}

int CShopWindow::OnLayoutLoaded() {
    for (int i = 0; i < shop_overlay::PICTURE_COUNT; ++i) {
        if (!g_pResourceManager) break;
        CResource*& picture = m_pictures[static_cast<size_t>(i)];
        if (!picture) picture = g_pResourceManager->GetResource(kPictureNames[i], RES_TEXTURE, nullptr, 1);
        if (!picture) return 0;
    }
    auto bind = [this](const std::string& name, uint32_t type) { return Bind(name.c_str(), type); };
    for (int n = 1; n <= kShopPlaces; ++n)
        if (!BindPlace(m_shop[static_cast<size_t>(n - 1)], bind, "ID_CHECKBUTTON_SHOP_ITEM%d",
                       "ID_STATIC_SHOP_ITEM_NAME%d", "ID_STATIC_SHOP_ITEM%d", "ID_STATIC_SHOP_ITEM_DATA%d", n))
            return 0;
    for (int n = 1; n <= kInventoryPlaces; ++n)
        if (!BindPlace(m_inventory[static_cast<size_t>(n - 1)], bind, "ID_CHECKBUTTON_INVEN_ITEM%d",
                       "ID_STATIC_INVEN_ITEM_NAME%d", "ID_STATIC_INVEN_ITEM%d", "ID_STATIC_INVEN_ITEM_DATA%d", n))
            return 0;
    for (int n = 1; n <= kCategories; ++n) {
        m_categories[static_cast<size_t>(n - 1)] = static_cast<CUiCheckButton*>(
            Bind(lobby::NumberedName("ID_CHBUTTON_SHOP_CATEGORY%d", n).c_str(), UI_TYPE_CHECKBUTTON));
        if (!m_categories[static_cast<size_t>(n - 1)]) return 0;
    }
    for (int b = 0; b < BTN_COUNT; ++b) {
        m_buttonControls[static_cast<size_t>(b)] = static_cast<CUiButton*>(Bind(kShopButtons[b], UI_TYPE_BUTTON));
        if (!m_buttonControls[static_cast<size_t>(b)]) return 0;
    }
    m_titleLeft = static_cast<CUiStatic*>(Bind("ID_STATIC_TITLE_LEFT", UI_TYPE_STATIC));
    m_shopPage = static_cast<CUiStatic*>(Bind("ID_STATIC_SHOP_PAGE", UI_TYPE_STATIC));
    m_inventoryPage = static_cast<CUiStatic*>(Bind("ID_STATIC_INVEN_PAGE", UI_TYPE_STATIC));
    m_money = static_cast<CUiStatic*>(Bind("ID_STATIC_MONEY_1", UI_TYPE_STATIC));
    m_cash = static_cast<CUiStatic*>(Bind("ID_STATIC_CASH", UI_TYPE_STATIC));
    m_shopBack = static_cast<CUiStatic*>(Bind("ID_STATIC_SHOP_BACK", UI_TYPE_STATIC));
    m_inventoryBack = static_cast<CUiStatic*>(Bind("ID_STATIC_INVEN_BACK", UI_TYPE_STATIC));
    m_chatList = static_cast<CUiListBox*>(Bind("ID_LIST_CHAT", UI_TYPE_LISTBOX));
    m_chatEdit = static_cast<CUiEditBox*>(Bind("ID_EDIT_CHAT", UI_TYPE_EDITBOX));
    m_messageTo = static_cast<CUiStatic*>(Bind("ID_STATIC_MESSAGE_TO", UI_TYPE_STATIC));
    if (!m_titleLeft || !m_shopPage || !m_inventoryPage || !m_money || !m_chatList || !m_chatEdit) return 0;
    SelectCategory(0);
    return 1;
}

void CShopWindow::SetPlaceMarks(bool shopPlace, int n, uint32_t flags, uint32_t level) {
    const size_t count = shopPlace ? m_shopMarks.size() : m_inventoryMarks.size();
    if (n < 0 || static_cast<size_t>(n) >= count) return;
    PlaceMarks& marks = shopPlace ? m_shopMarks[static_cast<size_t>(n)] : m_inventoryMarks[static_cast<size_t>(n)];
    marks = {flags, level};
}

void CShopWindow::ClearPlaceMarks() {
    m_shopMarks.fill({});
    m_inventoryMarks.fill({});
}

void CShopWindow::Render() {
    CUiWindow::Render();
    if (HasFlags(UI_HIDDEN) || !g_pUiManager) return;
    for (size_t n = 0; n < m_shop.size(); ++n) DrawPlaceMarks(m_shop[n], m_shopMarks[n], false);
    for (size_t n = 0; n < m_inventory.size(); ++n)
        DrawPlaceMarks(m_inventory[n], m_inventoryMarks[n], m_inventory[n].button->HasFlags(kPlacedMark));
}

void CShopWindow::DrawPlaceMarks(const CardPlace& place, const PlaceMarks& marks, bool highlight) const {
    // Only a place that shows a card carries marks.
    if (place.icon->HasFlags(UI_HIDDEN) || place.icon->Colour().a <= 0.0f) return;
    const UiPoint at = place.button->GetAbsolutePos();
    for (const shop_overlay::Quad& q :
         shop_overlay::PlaceQuads(marks.flags, at.x, at.y, place.button->Size().x, place.button->Size().y)) {
        auto* texture = static_cast<CTextureResource*>(m_pictures[static_cast<size_t>(q.picture)]);
        g_pUiManager->DrawQuad(0xFFFFFFFFu, nullptr, texture ? texture->Texture() : nullptr, q.x, q.y, q.width,
                               q.height);
    }
    if (highlight)
        g_pUiManager->DrawQuad(kPlacedHighlight, nullptr, nullptr, at.x, at.y, place.button->Size().x,
                               place.button->Size().y);
    if (!marks.level) return;
    IUiFont* font = place.data->Font() ? place.data->Font() : g_pUiManager->GetFont(0);
    if (!font) return;
    const UiPoint label = place.data->GetAbsolutePos();
    font->Draw(static_cast<int32_t>(label.x + place.data->Size().x) - 20, static_cast<int32_t>(label.y),
               FormatText("+%d", marks.level), kLevelColour);
}

void CShopWindow::SelectCategory(int index) {
    for (int n = 0; n < kCategories; ++n) m_categories[static_cast<size_t>(n)]->SetChecked(n == index);
    m_categoryIndex = index;
}

void CShopWindow::ClearPicks() {
    ClearShopPick();
    for (const CardPlace& p : m_inventory) p.button->SetChecked(false);
    m_inventoryPickIndex = -1;
}

void CShopWindow::ClearShopPick() {
    for (const CardPlace& p : m_shop) p.button->SetChecked(false);
    m_shopPickIndex = -1;
}

void CShopWindow::PickShop(int n) {
    ClearPicks();
    m_shop[static_cast<size_t>(n)].button->SetChecked(true);
    m_shopPickIndex = n;
    m_shopPick.Set(n);
}

void CShopWindow::PickInventory(int n) {
    ClearPicks();
    m_inventory[static_cast<size_t>(n)].button->SetChecked(true);
    m_inventoryPickIndex = n;
    m_inventoryPick.Set(n);
}

void CShopWindow::OnLButtonClick(CUiObject* control) {
    if (!control || !NormalCursor()) return;
    for (int n = 0; n < kCategories; ++n) {
        if (control != m_categories[static_cast<size_t>(n)]) continue;
        ClearPicks();
        SelectCategory(n);
        m_category.Set(n);
        return;
    }
    for (int n = 0; n < kShopPlaces; ++n) {
        if (control != m_shop[static_cast<size_t>(n)].button) continue;
        if (m_holding) {
            m_shopArea.Set();
        } else {
            PickShop(n);
        }
        return;
    }
    for (int n = 0; n < kInventoryPlaces; ++n) {
        const CardPlace& place = m_inventory[static_cast<size_t>(n)];
        if (control != place.button) continue;
        if (m_combined[static_cast<size_t>(n)]) {
            place.button->SetChecked(false);
            m_inventoryArea.Set();
        } else if (place.icon->Colour().a > 0.0f || m_holding) {
            PickInventory(n);
        } else {
            place.button->SetChecked(false);
        }
        return;
    }
    if (control == m_shopBack) return m_shopArea.Set();
    if (control == m_inventoryBack) return m_inventoryArea.Set();
    for (int b = 0; b < BTN_COUNT; ++b)
        if (control == m_buttonControls[static_cast<size_t>(b)]) return m_buttons[static_cast<size_t>(b)].Set();
}

void CShopWindow::OnDrag(CUiObject* control) {
    if (!control || !NormalCursor() || m_holding) return;
    for (int n = 0; n < kInventoryPlaces; ++n) {
        if (control != m_inventory[static_cast<size_t>(n)].button) continue;
        if (m_combined[static_cast<size_t>(n)]) return m_inventoryArea.Set();
        return m_drag.Set(n);
    }
}

void CShopWindow::EnableCardButtons(bool enabled, bool marketButton) {
    for (Button b : {BTN_SHOP_MYINFO, BTN_USE, BTN_SELL, BTN_DELETE, BTN_SHOP_EXIT})
        m_buttonControls[static_cast<size_t>(b)]->SetEnabled(enabled ? 1 : 0);
    if (marketButton) m_buttonControls[BTN_MYMARKET]->SetEnabled(enabled ? 1 : 0);
}

int CMarketWindow::OnLayoutLoaded() {
    for (int n = 1; n <= kRows; ++n) {
        Row& row = m_rows[static_cast<size_t>(n - 1)];
        row.bar = static_cast<CUiCheckButton*>(
            Bind(lobby::NumberedName("ID_CHECKBUTTON_BAR_%d", n).c_str(), UI_TYPE_CHECKBUTTON));
        row.item = static_cast<CUiStatic*>(Bind(lobby::NumberedName("ID_STATIC_ITEM_%d", n).c_str(), UI_TYPE_STATIC));
        row.level = static_cast<CUiStatic*>(Bind(lobby::NumberedName("ID_STATIC_LEVEL_%d", n).c_str(), UI_TYPE_STATIC));
        row.name = static_cast<CUiStatic*>(Bind(lobby::NumberedName("ID_STATIC_NAME_%d", n).c_str(), UI_TYPE_STATIC));
        row.wanted =
            static_cast<CUiStatic*>(Bind(lobby::NumberedName("ID_STATIC_WANTED_%d", n).c_str(), UI_TYPE_STATIC));
        if (!row.bar || !row.item || !row.level || !row.name || !row.wanted) return 0;
    }
    m_title = static_cast<CUiStatic*>(Bind("ID_STATIC_TITLE", UI_TYPE_STATIC));
    m_price = static_cast<CUiEditBox*>(Bind("ID_EDIT_PRICE", UI_TYPE_EDITBOX));
    m_levelIcon = static_cast<CUiStatic*>(Bind("ID_STATIC_LEVEL_ICON", UI_TYPE_STATIC));
    m_registeredName = static_cast<CUiStatic*>(Bind("ID_STATIC_ITEMNAME_REGISTED", UI_TYPE_STATIC));
    m_acceptButton = static_cast<CUiButton*>(Bind("ID_BUTTON_ACCEPT", UI_TYPE_BUTTON));
    m_cancelButton = static_cast<CUiButton*>(Bind("ID_BUTTON_CANCEL", UI_TYPE_BUTTON));
    m_quitButton = static_cast<CUiButton*>(Bind("ID_BUTTON_QUIT", UI_TYPE_BUTTON));
    m_iconButton = static_cast<CUiButton*>(Bind("ID_BUTTON_ICON", UI_TYPE_BUTTON));
    return m_price && m_levelIcon && m_registeredName && m_acceptButton && m_cancelButton && m_quitButton &&
                   m_iconButton
               ? 1
               : 0;
}

void CMarketWindow::OnLButtonClick(CUiObject* control) {
    if (!control || !NormalCursor()) return;
    for (int n = 0; n < kRows; ++n) {
        if (control != m_rows[static_cast<size_t>(n)].bar) continue;
        for (const Row& row : m_rows) row.bar->SetChecked(false);
        m_rows[static_cast<size_t>(n)].bar->SetChecked(true);
        m_selected = n;
        return m_row.Set(n);
    }
    if (control == m_acceptButton) return m_accept.Set();
    if (control == m_cancelButton) return m_cancel.Set();
    if (control == m_quitButton) return m_quit.Set();
    if (control == m_iconButton) return m_icon.Set();
}

void CMarketWindow::ClearSelection() {
    for (const Row& row : m_rows)
        if (row.bar) row.bar->SetChecked(false);
    m_selected = -1;
}

void CMarketWindow::Reset() {
    ClearSelection();
    for (const Row& row : m_rows) {
        for (CUiStatic* s : {row.item, row.level, row.name, row.wanted}) {
            s->SetText("");
            s->SetImage(nullptr, "");
            SetShown(s, false);
        }
        SetShown(row.bar, false);
    }
    for (CUiStatic* s : {m_levelIcon, m_registeredName}) {
        s->SetText("");
        s->SetImage(nullptr, "");
    }
    if (m_price) m_price->SetText("");
}

int CEditDialogWindow::OnLayoutLoaded() {
    m_edit = static_cast<CUiEditBox*>(Bind(m_editName, UI_TYPE_EDITBOX));
    m_okButton = static_cast<CUiButton*>(Bind(m_okName, UI_TYPE_BUTTON));
    m_cancel = static_cast<CUiButton*>(Bind(m_cancelName, UI_TYPE_BUTTON));
    return m_edit && m_okButton && m_cancel ? 1 : 0;
}

void CEditDialogWindow::OnLButtonClick(CUiObject* control) {
    if (!control || !NormalCursor()) return;
    if (control == m_okButton) m_ok.Set();
    if (control == m_cancel) m_cancelLatch.Set();
}

void CEditDialogWindow::OnEnter(CUiObject* control) {
    if (control == m_edit && lobby::EnterPressed()) m_ok.Set();
}

void CEditDialogWindow::Open() {
    m_ok.Take();
    m_cancelLatch.Take();
    if (m_edit) m_edit->SetText("");
    if (!g_pUiManager) return;
    g_pUiManager->ShowWindow(this, true);
    g_pUiManager->BringToFront(this);
    g_pUiManager->SetFocus(m_edit);
}

void CEditDialogWindow::Close() {
    if (!g_pUiManager) return;
    if (g_pUiManager->Focus() == m_edit) g_pUiManager->SetFocus(nullptr);
    g_pUiManager->ShowWindow(this, false);
}
