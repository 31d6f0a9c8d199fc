// The lobby's popup menu over a chosen player ("CONNECTER_POPUP"): whisper,
// add as a friend, block. Each choice is taken once.
#pragma once

#include "ui/UiPopupMenu.h"

class CConnecterPopup : public CUiPopupMenu {
public:
    enum Item { ITEM_WHISPER, ITEM_FRIEND, ITEM_BLOCK };

    using CUiPopupMenu::CUiPopupMenu;

    // The item chosen since the last take, or -1.
    int TakeSelected() {
        const int chosen = m_selected;
        m_selected = -1;
        return chosen;
    }
};
