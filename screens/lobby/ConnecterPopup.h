// The lobby's popup menu over a chosen player ("CONNECTER_POPUP"). Its items
// depend on the list the player was chosen in; each choice is taken once.
#pragma once

#include <initializer_list>

#include "engine/core/MessageTable.h"
#include "ui/UiPopupMenu.h"

class CConnecterPopup : public CUiPopupMenu {
public:
    // The items of the lobby's player list.
    enum Item { ITEM_WHISPER, ITEM_FRIEND, ITEM_BLOCK };

    using CUiPopupMenu::CUiPopupMenu;

    // Empties the menu and adds the message-table entries as its items.
    void Fill(std::initializer_list<int> entries) {
        m_list.Clear();
        m_menuWidth = 0.0f;
        m_selected = -1;
        for (int entry : entries) AddItem(GetMessageText(entry), UiColor{0.5f, 0.8f, 1.0f, 1.0f});
    }

    // The item chosen since the last take, or -1.
    int TakeSelected() {
        const int chosen = m_selected;
        m_selected = -1;
        return chosen;
    }
};
