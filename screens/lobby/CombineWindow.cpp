#include "screens/lobby/CombineWindow.h"

#include "engine/core/MessageTable.h"
#include "screens/lobby/LobbySteps.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

int CCombineWindow::OnLayoutLoaded() {
    for (int n = 1; n <= kPlaces; ++n) {
        CardPlace& p = m_places[static_cast<size_t>(n - 1)];
        p.button = static_cast<CUiCheckButton*>(
            Bind(lobby::NumberedName("ID_CHECKBUTTON_COMBI_ITEM%d", n).c_str(), UI_TYPE_CHECKBUTTON));
        p.name = static_cast<CUiStatic*>(
            Bind(lobby::NumberedName("ID_STATIC_COMBI_ITEM_NAME%d", n).c_str(), UI_TYPE_STATIC));
        p.icon = static_cast<CUiStatic*>(Bind(lobby::NumberedName("ID_STATIC_COMBI_ITEM%d", n).c_str(), UI_TYPE_STATIC));
        p.data = static_cast<CUiStatic*>(
            Bind(lobby::NumberedName("ID_STATIC_COMBI_ITEM_DATA%d", n).c_str(), UI_TYPE_STATIC));
        if (!p.button || !p.name || !p.icon || !p.data) return 0;
    }
    m_title = static_cast<CUiStatic*>(Bind("ID_STATIC_TITLE", UI_TYPE_STATIC));
    m_closeButton = static_cast<CUiButton*>(Bind("ID_BUTTON_CLOSE", UI_TYPE_BUTTON));
    m_combineButton = static_cast<CUiButton*>(Bind("ID_BUTTON_COMB", UI_TYPE_BUTTON));
    if (!m_closeButton || !m_combineButton) return 0;
    m_closeButton->SetCaption(GetMessageText(MSG_CLOSE));
    return 1;
}

void CCombineWindow::SetTitle(int kind) {
    lobby::SetLabel(m_title, GetMessageText(kind ? MSG_COMBINATION_JEWEL_COMBINATION : MSG_COMBINATION_CHAR_COMBINATION));
}

void CCombineWindow::ClearSlotMarks() {
    for (const CardPlace& p : m_places) p.button->SetChecked(false);
}

void CCombineWindow::OnLButtonClick(CUiObject* control) {
    if (!control || (g_pUiManager && g_pUiManager->CursorIndex() != lobby::kNormalCursor)) return;
    for (int n = 0; n < kPlaces; ++n) {
        const CardPlace& p = m_places[static_cast<size_t>(n)];
        if (control != p.button) continue;
        ClearSlotMarks();
        if (p.icon->Colour().a > 0.0f || m_holding) {
            p.button->SetChecked(true);
            m_pick.Set(n);
        }
        return;
    }
    if (m_holding) return;
    if (control == m_closeButton) m_close.Set();
    if (control == m_combineButton) m_combine.Set();
}
