#include "screens/lobby/GuildWindows.h"

#include <string>

#include "engine/core/MessageTable.h"
#include "engine/core/TextFormat.h"
#include "net/CommunityMessages.h"
#include "ui/UiButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

namespace {

const UiColor kListDefault{1.0f, 1.0f, 1.0f, CUiListBox::kDefaultColourAlpha};

std::string ChosenText(const CUiListBox* list) {
    if (!list) return {};
    const char* text = list->GetItemText(list->Selected());
    return text ? text : "";
}

}  // namespace

int CLatchWindow::OnLayoutLoaded() {
    m_buttons.clear();
    for (const char* name : m_names) {
        CUiButton* button = static_cast<CUiButton*>(Bind(name, UI_TYPE_BUTTON));
        if (!button) return 0;
        m_buttons.push_back(button);
    }
    m_latches.assign(m_buttons.size(), 0);
    return BindControls();
}

void CLatchWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (control == m_buttons[i]) m_latches[i] = 1;
}

int CLatchWindow::TakeLatch(size_t n) {
    if (n >= m_latches.size() || !m_latches[n]) return 0;
    m_latches.assign(m_latches.size(), 0);
    return 1;
}

void CLatchWindow::Open() {
    if (!g_pUiManager) return;
    g_pUiManager->ShowWindow(this, true);
    g_pUiManager->BringToFront(this);
}

void CLatchWindow::Close() {
    m_latches.assign(m_latches.size(), 0);
    if (!g_pUiManager) return;
    g_pUiManager->ShowWindow(this, false);
    g_pUiManager->SendToBack(this);
}

int CAddFriendWindow::BindControls() {
    m_edit = static_cast<CUiEditBox*>(Bind("ID_EDIT_NICKNAME", UI_TYPE_EDITBOX));
    m_friendTitle = static_cast<CUiStatic*>(Bind("ID_STATIC_TITLE_ADD_FRIEND", UI_TYPE_STATIC));
    m_blockedTitle = static_cast<CUiStatic*>(Bind("ID_STATIC_TITLE_ADD_OUTSIDE", UI_TYPE_STATIC));
    return m_edit && m_friendTitle && m_blockedTitle;
}

void CAddFriendWindow::ShowTitle(bool friends) {
    if (friends) {
        m_friendTitle->ClearFlags(UI_HIDDEN);
        m_blockedTitle->AddFlags(UI_HIDDEN);
    } else {
        m_friendTitle->AddFlags(UI_HIDDEN);
        m_blockedTitle->ClearFlags(UI_HIDDEN);
    }
}

int CCreateGuildWindow::BindControls() {
    m_edit = static_cast<CUiEditBox*>(Bind("ID_EDIT_GUILD_NAME", UI_TYPE_EDITBOX));
    return m_edit && Bind("ID_STATIC_GUILD_DOC", UI_TYPE_STATIC);
}

int CGuildWaitListWindow::BindControls() {
    m_list = static_cast<CUiListBox*>(Bind("ID_LIST_GUILD_MEMBER", UI_TYPE_LISTBOX));
    return m_list != nullptr;
}

int CGuildWaitListWindow::ShowApplicants(const std::vector<std::string>& names) {
    m_list->Clear();
    int rows = 0;
    for (const std::string& name : names) {
        if (name.empty()) continue;
        m_list->AddItem(name, kListDefault);
        ++rows;
    }
    return rows;
}

std::string CGuildWaitListWindow::ChosenName() const { return ChosenText(m_list); }

int CJoinGuildWindow::BindControls() {
    m_edit = static_cast<CUiEditBox*>(Bind("ID_EDIT_GUILD_NAME", UI_TYPE_EDITBOX));
    m_list = static_cast<CUiListBox*>(Bind("ID_LIST_GUILD_NAME", UI_TYPE_LISTBOX));
    return m_edit && m_list && Bind("ID_STATIC_GUILD_DOC", UI_TYPE_STATIC);
}

void CJoinGuildWindow::AddGuildName(const std::string& name) { m_list->AddItem(name, kListDefault); }

std::string CJoinGuildWindow::ChosenName() const { return ChosenText(m_list); }

int CGuildDataWindow::BindControls() {
    for (int i = 0; i < kLines; ++i) {
        const std::string name = "ID_STATIC_GUILD_DATA_" + std::to_string(i + 1);
        m_lines[i] = static_cast<CUiStatic*>(Bind(name.c_str(), UI_TYPE_STATIC));
        if (!m_lines[i]) return 0;
    }
    return 1;
}

void CGuildDataWindow::ShowGuildData(const GuildDataBlock& data) {
    const std::string texts[kLines] = {
        FormatText(GetMessageText(MSG_GUILD_UI_INFO_1), data.guildName),
        FormatText(GetMessageText(MSG_GUILD_UI_INFO_2), data.masterName),
        FormatText(GetMessageText(MSG_GUILD_UI_INFO_3), static_cast<int>(data.memberCount)),
        FormatText(GetMessageText(MSG_GUILD_UI_INFO_4), data.points),
        FormatText(GetMessageText(MSG_GUILD_UI_INFO_5), data.notice),
    };
    for (int i = 0; i < kLines; ++i) {
        m_lines[i]->SetText(texts[i]);
        // Without a font nothing was measured: the layout's size stays.
        const UiPoint label = m_lines[i]->LabelSize();
        if (label.x > 0.0f && label.y > 0.0f) m_lines[i]->SetSize(label.x, label.y);
    }
}
