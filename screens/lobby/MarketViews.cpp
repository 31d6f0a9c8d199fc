// The market's views: what the shop list, the inventory row, the combination
// places, the search page and the own listings show, filled from the session
// and the game data whenever either changes.
#include <algorithm>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "net/ClientSession.h"
#include "screens/lobby/CardRecord.h"
#include "screens/lobby/CombineWindow.h"
#include "screens/lobby/ItemChecks.h"
#include "screens/lobby/LobbySteps.h"
#include "screens/lobby/MarketScreen.h"
#include "screens/lobby/MarketWindows.h"
#include "ui/UiCheckButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiStatic.h"

namespace {

const CGameDataRegistry* Registry() { return g_pGameDataRegistry; }
const ItemCatalogueEntry* CardRecord(uint32_t id) { return id && Registry() ? Registry()->FindItemRecord(id) : nullptr; }

// The control releases its image when it changes: it gets a reference of its own.
void Lend(CUiObject* control, CResource* image, const std::string& name) {
    if (!control) return;
    if (image) image->AddRef();
    control->SetImage(image, name);
}

void SetTooltip(CUiObject* control, const std::string& text) {
    if (control) control->CUiObject::SetText(text);
}

void Hide(const CardPlace& p) {
    for (CUiStatic* s : {p.name, p.icon, p.data}) {
        if (!s) continue;
        s->SetText("");
        SetShown(s, false);
    }
    if (p.icon) p.icon->SetImage(nullptr, "");
    SetTooltip(p.button, "");
    if (p.button) p.button->SetAlpha(0.0f, false);
}

void Show(const CardPlace& p, const std::string& name, CResource* icon, const std::string& iconName,
          const std::string& data, const std::string& tooltip) {
    lobby::SetLabel(p.name, name);
    lobby::SetLabel(p.data, data);
    Lend(p.icon, icon, iconName);
    for (CUiStatic* s : {p.name, p.icon, p.data}) SetShown(s, true);
    if (p.icon) p.icon->SetAlpha(icon ? 1.0f : 0.0f, false);
    SetTooltip(p.button, tooltip);
    if (p.button) {
        p.button->SetAlpha(1.0f, false);
        SetShown(p.button, true);
    }
}

}  // namespace

void CMarketScreen::RefreshItemSlots(int view) {
    if (!m_shop || !g_pClientSession) return;
    switch (view) {
        case 0:
            return RefreshShopList();
        case 1:
            return RefreshInventory();
        case 2:
            return RefreshCombination();
        case 3:
            return RefreshSearchPage();
        case 4:
            return RefreshOwnListings();
        default:
            return;
    }
}

void CMarketScreen::RefreshShopList() {
    m_shopCodes.fill(0);
    for (int n = 0; n < kShopPlaces; ++n) {
        Hide(m_shop->ShopPlace(n));
        m_shop->SetPlaceMarks(true, n, 0, 0);
    }
    const int category = m_shop->Category() + 1;
    int listed = 0;
    int shown = 0;
    if (Registry()) {
        for (const auto& entry : Registry()->ItemTexts().Entries()) {
            const int entryCategory = static_cast<int>(std::min<uint32_t>(card::Category(*entry), 3u));
            if (card::Category(*entry) == 0 || entryCategory != std::min(category, 3) ||
                (card::Flags(*entry) & card::kHidden))
                continue;
            const int index = listed++;
            if (index < m_shopPage * kShopPlaces || shown >= kShopPlaces) continue;
            Show(m_shop->ShopPlace(shown), card::Name(*entry), Icon(card::Icon(*entry)), card::Icon(*entry),
                 ShopPriceText(card::CraPrice(*entry), card::CashPrice(*entry)),
                 ShopEntryTooltip(*entry, *Registry()));
            m_shop->SetPlaceMarks(true, shown, card::Flags(*entry), 0);
            m_shopCodes[static_cast<size_t>(shown++)] = entry->code;
        }
    }
    const int pages = (listed + kShopPlaces - 1) / kShopPlaces;
    m_shopLastPage = std::max(pages - 1, 0);
    lobby::SetLabel(m_shop->ShopPage(), PageText(m_shopPage, pages));
    ShowMoney();
}

void CMarketScreen::RefreshInventory() {
    const InventoryTable& inventory = g_pClientSession->inventory;
    const auto& row = inventory[static_cast<size_t>(std::clamp(m_row, 0, kLastRow))];
    for (int n = 0; n < CShopWindow::kInventoryPlaces; ++n) {
        const CardPlace& place = m_shop->InventoryPlace(n);
        const InventorySlot& slot = row[static_cast<size_t>(n)];
        const ItemCatalogueEntry* record = CardRecord(slot.cardId);
        m_shop->SetCombinedPlace(n, m_req.combine.FindSlot(m_row, n) >= 0);
        m_shop->SetPlaceMarks(false, n, record ? card::Flags(*record) : 0, record ? card::Level(slot.cardId) : 0);
        if (!record) {
            Hide(place);
            continue;
        }
        std::string tooltip;
        BuildCardTooltip(*record, slot.inUse ? slot.remaining : card::Level(slot.cardId), !slot.inUse,
                         IsInventorySlotLocked(slot) != 0, tooltip);
        Show(place, card::Name(*record), Icon(card::Icon(*record)), card::Icon(*record),
             InventorySlotDataText(slot, *record), tooltip);
    }
    lobby::SetLabel(m_shop->InventoryPage(), PageText(m_row, kLastRow + 1));
    ShowMoney();
}

void CMarketScreen::RefreshCombination() {
    if (!m_combine) return;
    const InventoryTable& inventory = g_pClientSession->inventory;
    for (int n = 0; n < CCombineWindow::kPlaces; ++n) Hide(m_combine->Place(n));
    for (int n = 0; n < CShopWindow::kInventoryPlaces; ++n) {
        const CardPlace& place = m_shop->InventoryPlace(n);
        if (place.button) place.button->ClearFlags(CShopWindow::kPlacedMark);
        m_shop->SetCombinedPlace(n, false);
    }
    for (int n = 0; n < CCombineWindow::kPlaces; ++n) {
        const CCombineTable::Entry& e = m_req.combine.At(n);
        if (e.Empty()) continue;
        const InventorySlot& slot = inventory[static_cast<size_t>(e.row)][static_cast<size_t>(e.column)];
        const ItemCatalogueEntry* record = CardRecord(slot.cardId);
        if (!record) continue;
        std::string tooltip;
        BuildCardTooltip(*record, slot.inUse ? slot.remaining : card::Level(slot.cardId), false,
                         IsInventorySlotLocked(slot) != 0, tooltip);
        Show(m_combine->Place(n), card::Name(*record), Icon(card::Icon(*record)), card::Icon(*record),
             InventorySlotDataText(slot, *record), tooltip);
        if (e.row == m_row) {
            const CardPlace& place = m_shop->InventoryPlace(e.column);
            if (place.button) place.button->AddFlags(CShopWindow::kPlacedMark);
            m_shop->SetCombinedPlace(e.column, true);
        }
    }
}

void CMarketScreen::RefreshSearchPage() {
    m_searchValid = true;
    // A new page puts other listings under the places: the old choice goes.
    m_shop->ClearShopPick();
    for (int n = 0; n < kShopPlaces; ++n) Hide(m_shop->ShopPlace(n));
    for (int n = 0; n < kShopPlaces; ++n) {
        const MarketRecord& listing = m_req.search[static_cast<size_t>(n)];
        const ItemCatalogueEntry* record = CardRecord(listing.cardId);
        // The market page marks a listing with its level only.
        m_shop->SetPlaceMarks(true, n, 0, record ? card::Level(listing.cardId) : 0);
        if (!record) {
            // An empty place or a card this client does not know: nothing to offer there.
            if (listing.cardId) m_searchValid = false;
            continue;
        }
        std::string tooltip;
        BuildCardTooltip(*record, card::FullCount(*record), true, false, tooltip);
        tooltip += FormatText("</>\xb5\xee\xb7\xcf\xc0\xda : %s\n", listing.seller);
        Show(m_shop->ShopPlace(n), card::Name(*record), Icon(card::Icon(*record)), card::Icon(*record),
             FormatText(GetMessageText(MSG_OUTSHOP_CARD_CRA), listing.price) +
                 CardKindWord(*record, card::KindOf(*record), listing.shownNumber),
             tooltip);
    }
    lobby::SetLabel(m_shop->ShopPage(), FormatText("%d", m_req.listPage + 1));
}

void CMarketScreen::RefreshOwnListings() {
    if (!m_market) return;
    const InventoryTable& inventory = g_pClientSession->inventory;
    const InventorySlot* chosen =
        m_req.registration.Valid()
            ? &inventory[static_cast<size_t>(m_req.registration.row)][static_cast<size_t>(m_req.registration.column)]
            : nullptr;
    const ItemCatalogueEntry* chosenRecord = chosen ? CardRecord(chosen->cardId) : nullptr;
    if (chosenRecord) {
        lobby::SetLabel(m_market->RegisteredName(), card::Name(*chosenRecord));
        Lend(m_market->LevelIcon(), Icon(card::Icon(*chosenRecord)), card::Icon(*chosenRecord));
        std::string tooltip;
        BuildCardTooltip(*chosenRecord, card::FullCount(*chosenRecord), true, false, tooltip);
        SetTooltip(m_market->LevelIcon(), tooltip);
        for (CUiStatic* s : {m_market->RegisteredName(), m_market->LevelIcon()}) SetShown(s, true);
    } else {
        if (m_market->PriceEdit()) m_market->PriceEdit()->SetText("");
        for (CUiStatic* s : {m_market->RegisteredName(), m_market->LevelIcon()}) {
            s->SetText("");
            s->SetImage(nullptr, "");
            SetShown(s, false);
        }
    }
    m_market->ClearSelection();
    m_ownListings = 0;
    for (int n = 0; n < CMarketWindow::kRows; ++n) {
        const CMarketWindow::Row& row = m_market->RowAt(n);
        for (CUiStatic* s : {row.item, row.level, row.name, row.wanted}) SetShown(s, false);
        SetShown(row.bar, false);
        const MarketRecord& listing = m_req.own[static_cast<size_t>(n)];
        const ItemCatalogueEntry* record = CardRecord(listing.cardId);
        if (!record) continue;
        ++m_ownListings;
        lobby::SetLabel(row.name, card::Name(*record));
        Lend(row.item, Icon(card::Icon(*record)), card::Icon(*record));
        lobby::SetLabel(row.wanted, FormatText(GetMessageText(MSG_OUTSHOP_CARD_CRA), listing.price));
        const uint32_t level = card::Level(listing.cardId);
        lobby::SetLabel(row.level, level ? FormatText("+%d", level) : std::string());
        std::string tooltip;
        BuildCardTooltip(*record, card::FullCount(*record), true, false, tooltip);
        SetTooltip(row.bar, tooltip);
        for (CUiObject* c : {static_cast<CUiObject*>(row.item), static_cast<CUiObject*>(row.name),
                             static_cast<CUiObject*>(row.wanted), static_cast<CUiObject*>(row.bar)})
            SetShown(c, true);
        SetShown(row.level, level != 0);
    }
}
