#include "screens/lobby/HeroSelectWindow.h"

#include <cstdio>
#include <string>

#include "engine/core/MessageTable.h"
#include "screens/lobby/LobbySteps.h"
#include "engine/core/TextFormat.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

namespace {

constexpr uint32_t kTeamPromptColour = 0xffff00;

}  // namespace

int CHeroSelectWindow::OnLayoutLoaded() {
    auto stat = [this](const char* name) { return static_cast<CUiStatic*>(Bind(name, UI_TYPE_STATIC)); };
    m_portrait = stat("ID_STATIC_CHAR");
    m_heroName = stat("ID_STATIC_CHARNAME");
    m_title = stat("ID_STATIC_JOB");
    m_raceIcon = stat("ID_STATIC_RACEICON");
    m_classIcon = stat("ID_STATIC_STATICON");
    const char* stats[] = {"ID_STATIC_STR",    "ID_STATIC_DEX",         "ID_STATIC_INT",
                           "ID_STATIC_ATTACK", "ID_STATIC_DEFENCE",     "ID_STATIC_HP",
                           "ID_STATIC_MANA",   "ID_STATIC_ATTACKSPEED", "ID_STATIC_HPMP"};
    for (size_t i = 0; i < m_stats.size(); ++i) m_stats[i] = stat(stats[i]);
    m_description = static_cast<CUiListBox*>(Bind("ID_LIST_CHARINFO", UI_TYPE_LISTBOX));
    m_detail = stat("ID_STATIC_DETAIL");
    m_page = stat("ID_STATIC_PAGE");
    m_limit = stat("ID_STATIC_LIMITTIME");
    for (int i = 0; i < kRows; ++i) {
        PlayerRow& row = m_rows[static_cast<size_t>(i)];
        row.nick = stat(lobby::NumberedName("ID_STATIC_NICK_%d", i).c_str());
        row.grade = stat(lobby::NumberedName("ID_STATIC_CLASS_%d", i).c_str());
        row.raceName = stat(lobby::NumberedName("ID_STATIC_RACENAME_%d", i).c_str());
        row.portrait = stat(lobby::NumberedName("ID_STATIC_IMAGE_%d", i).c_str());
    }
    m_hunterLabel = stat("ID_STATIC_TAB_HUN");
    const char* tabs[] = {"ID_CHECKBUTTON_HUN", "ID_CHECKBUTTON_VAM", "ID_CHECKBUTTON_WOLF", "ID_CHECKBUTTON_MAGE",
                          "ID_CHECKBUTTON_HIDDEN"};
    for (int i = 0; i < kRaceTabs; ++i)
        m_tabs[static_cast<size_t>(i)] = static_cast<CUiCheckButton*>(Bind(tabs[i], UI_TYPE_CHECKBUTTON));
    m_before = static_cast<CUiButton*>(Bind("ID_BUTTON_BEFORE", UI_TYPE_BUTTON));
    m_next = static_cast<CUiButton*>(Bind("ID_BUTTON_NEXT", UI_TYPE_BUTTON));
    for (int i = 0; i < kHeroButtons; ++i)
        m_heroes[static_cast<size_t>(i)] =
            static_cast<CUiButton*>(Bind(lobby::NumberedName("ID_BUTTON_CHAR_%d", i).c_str(), UI_TYPE_BUTTON));
    m_random = static_cast<CUiButton*>(Bind("ID_BUTTON_RANDOM", UI_TYPE_BUTTON));
    m_ok = static_cast<CUiButton*>(Bind("ID_BUTTON_OK", UI_TYPE_BUTTON));
    m_cancel = static_cast<CUiButton*>(Bind("ID_BUTTON_CANCEL", UI_TYPE_BUTTON));
    m_chatList = static_cast<CUiListBox*>(Bind("ID_LIST_CHAT", UI_TYPE_LISTBOX));
    m_chatEdit = static_cast<CUiEditBox*>(Bind("ID_EDIT_CHAT", UI_TYPE_EDITBOX));
    m_prompt = stat("ID_STATIC_MESSAGE");
    m_halves = {static_cast<CUiCheckButton*>(Bind("ID_CHECKBUTTON_TEAM1", UI_TYPE_CHECKBUTTON)),
                static_cast<CUiCheckButton*>(Bind("ID_CHECKBUTTON_TEAM2", UI_TYPE_CHECKBUTTON))};
    for (CUiButton* b : m_heroes)
        if (!b) return 0;
    for (CUiCheckButton* t : m_tabs)
        if (!t) return 0;
    if (!m_random || !m_ok || !m_cancel || !m_chatList || !m_chatEdit || !m_detail) return 0;
    if (m_prompt) {
        // The prompt sits right above the chat edit.
        m_prompt->SetPosition(m_chatEdit->Position().x, m_chatEdit->Position().y - m_prompt->Size().y);
    }
    if (!m_marks.Load()) return 0;
    SetChatMode(0);
    return 1;
}

void CHeroSelectWindow::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN)) return;
    CUiWindow::Render();
    for (size_t i = 0; i < m_heroes.size(); ++i) m_marks.DrawCard(m_heroes[i], !notOwned[i], cardLevel[i]);
    for (size_t row = 0; row < m_rows.size(); ++row) CHeroCardMarks::DrawLevel(m_rows[row].portrait, rowCardLevel[row]);
}

void CHeroSelectWindow::OnLButtonClick(CUiObject* control) {
    if (!control) return;
    for (int i = 0; i < kHeroButtons; ++i)
        if (control == m_heroes[static_cast<size_t>(i)]) return PressHero(i);
    for (int i = 0; i < kRaceTabs; ++i) {
        if (control != m_tabs[static_cast<size_t>(i)]) continue;
        SelectRaceTab(i);
        m_tabPressed = true;
        return;
    }
    for (int i = 0; i < 2; ++i) {
        if (control != m_halves[static_cast<size_t>(i)]) continue;
        m_halves[static_cast<size_t>(i)]->SetChecked(true);
        if (m_halves[static_cast<size_t>(1 - i)]) m_halves[static_cast<size_t>(1 - i)]->SetChecked(false);
        m_halfPressed = i;
        return;
    }
    if (control == m_before) m_flags[FLAG_BEFORE] = 1;
    if (control == m_next) m_flags[FLAG_NEXT] = 1;
    if (control == m_random) m_flags[FLAG_RANDOM] = 1;
    if (control == m_ok) m_flags[FLAG_OK] = 1;
    if (control == m_cancel) m_flags[FLAG_CANCEL] = 1;
}

int CHeroSelectWindow::TakeCommand(int index) {
    if (index < 0 || index >= kFlags || !m_flags[static_cast<size_t>(index)]) return 0;
    m_flags.fill(0);
    return 1;
}

int CHeroSelectWindow::TakeHeroButton() {
    if (!m_heroPressed) return -1;
    m_heroPressed = false;
    return m_pressedHero;
}

int CHeroSelectWindow::TakeRaceTab() {
    if (!m_tabPressed) return -1;
    m_tabPressed = false;
    return m_raceTab;
}

int CHeroSelectWindow::TakeHalfButton() {
    const int half = m_halfPressed;
    m_halfPressed = -1;
    return half;
}

void CHeroSelectWindow::ClearRaceTabs() {
    for (CUiCheckButton* tab : m_tabs)
        if (tab) tab->SetChecked(false);
}

void CHeroSelectWindow::SelectRaceTab(int tab) {
    if (tab < 0 || tab >= kRaceTabs) return;
    ClearRaceTabs();
    m_raceTab = tab;
    m_tabs[static_cast<size_t>(tab)]->SetChecked(true);
}

void CHeroSelectWindow::SetChatMode(int mode) {
    m_chatMode = mode;
    if (!m_prompt) return;
    if (mode == 1)
        m_prompt->SetText(GetMessageText(MSG_CHAT_SEND_TO_ALL));
    else
        m_prompt->SetText(FormatText(GetMessageText(MSG_CHAT_SEND_TO_TEAM), kTeamPromptColour));
}

void CHeroSelectWindow::OnChatModeKey() {
    if (g_pUiManager && g_pUiManager->Focus() == m_chatEdit) SetChatMode(m_chatMode ? 0 : 1);
}
