#include "screens/game/LoadingWindow.h"

#include <cstdio>

#include "ui/UiEditBox.h"
#include "ui/UiGauge.h"
#include "ui/UiListBox.h"
#include "ui/UiStatic.h"

int CLoadingWindow::OnLayoutLoaded() {
    loadText = static_cast<CUiStatic*>(Bind("ID_STATIC_LOAD", UI_TYPE_STATIC));
    tip = static_cast<CUiStatic*>(Bind("ID_STATIC_TOOLTIP", UI_TYPE_STATIC));
    progress = static_cast<CUiGauge*>(Bind("ID_PROGRESS_LOAD", UI_TYPE_GAUGE));
    chatEdit = static_cast<CUiEditBox*>(Bind("ID_EDIT_CHAT", UI_TYPE_EDITBOX));
    chatList = static_cast<CUiListBox*>(Bind("ID_LIST_CHAT", UI_TYPE_LISTBOX));
    help = static_cast<CUiStatic*>(Bind("ID_STATIC_HELP", UI_TYPE_STATIC));
    messageTo = static_cast<CUiStatic*>(Bind("ID_STATIC_MESSAGETO", UI_TYPE_STATIC));
    chatTitle = static_cast<CUiStatic*>(Bind("ID_STATIC_CHAT", UI_TYPE_STATIC));
    if (!loadText || !tip || !progress || !chatEdit || !chatList || !help || !messageTo || !chatTitle) return 0;
    char name[64];
    for (int i = 0; i < kRows; ++i) {
        Row& row = rows[static_cast<size_t>(i)];
        std::snprintf(name, sizeof(name), "ID_STATIC_PLAYERNAME_%d", i + 1);
        row.name = static_cast<CUiStatic*>(Bind(name, UI_TYPE_STATIC));
        std::snprintf(name, sizeof(name), "ID_STATIC_OTHERPLAYER_LOADING_TEXT%d", i + 1);
        row.text = static_cast<CUiStatic*>(Bind(name, UI_TYPE_STATIC));
        std::snprintf(name, sizeof(name), "ID_STATIC_PLAYER_LOADING_SHEL_%d", i + 1);
        row.shell = static_cast<CUiStatic*>(Bind(name, UI_TYPE_STATIC));
        std::snprintf(name, sizeof(name), "ID_PROGRESS_PLAYER_LOADING_%d", i + 1);
        row.gauge = static_cast<CUiGauge*>(Bind(name, UI_TYPE_GAUGE));
        if (!row.name || !row.text || !row.shell || !row.gauge) return 0;
        row.gauge->SetPercent(0.0f);
        row.gauge->UpdateBar();
    }
    loadText->AddFlags(UI_HIDDEN);
    return 1;
}

void CLoadingWindow::OnEnter(CUiObject* control) {
    if (control && control == chatEdit) m_chatRequest = true;
}

void CLoadingWindow::OnTab(CUiObject* control) {
    if (control && control == chatEdit) m_modeRequest = true;
}

int CLoadingWindow::TakeChatRequest() {
    const bool raised = m_chatRequest;
    m_chatRequest = false;
    return raised ? 1 : 0;
}

int CLoadingWindow::TakeModeRequest() {
    const bool raised = m_modeRequest;
    m_modeRequest = false;
    return raised ? 1 : 0;
}
