#include "screens/lobby/ReplayListWindow.h"

#include <cctype>

#include "engine/resource/ResourceManager.h"
#include "platform/File.h"
#include "ui/UiButton.h"
#include "ui/UiListBox.h"

int CReplayListWindow::OnLayoutLoaded() {
    m_list = static_cast<CUiListBox*>(Bind("ID_LIST_MAIN", UI_TYPE_LISTBOX));
    m_startButton = static_cast<CUiButton*>(Bind("ID_BUTTON_START", UI_TYPE_BUTTON));
    m_exitButton = static_cast<CUiButton*>(Bind("ID_BUTTON_EXIT", UI_TYPE_BUTTON));
    return m_list && m_startButton && m_exitButton ? 1 : 0;
}

void CReplayListWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    if (control == m_startButton && GetSelectedName()) m_start = 1;
    if (control == m_exitButton) m_exit = 1;
}

void CReplayListWindow::OnLButtonDoubleClick(CUiObject* control) {
    if (control && control == m_list && GetSelectedName()) m_start = 1;
}

const char* CReplayListWindow::GetSelectedName() const {
    if (!m_list || m_list->Selected() < 0) return nullptr;
    return m_list->GetItemText(m_list->Selected());
}

void ScanReplayFiles(CReplayListWindow& window, const std::string& folder) {
    CUiListBox* list = window.List();
    if (!list) return;
    list->ClearItems();
    list->UpdateScroll();
    const UiColor white{1.0f, 1.0f, 1.0f, 0.95f};
    for (const platform::FolderEntry& entry : platform::ListFolder(folder)) {
        if (entry.isFolder || entry.name.size() < 5) continue;
        if (g_pResourceManager && g_pResourceManager->FileIndex().HasFile(entry.name.c_str())) continue;
        std::string tail = entry.name.substr(entry.name.size() - 4);
        for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (tail == ".SRD") list->AddItem(entry.name, white);
    }
    list->UpdateScroll();
}
