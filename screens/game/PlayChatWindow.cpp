#include "screens/game/PlayChatWindow.h"

#include <string>

#include "commands/GameCommandManager.h"
#include "engine/core/MessageTable.h"
#include "net/ChatCommand.h"
#include "net/ChatInputProcess.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "platform/CodePage.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/WorldObjectManager.h"

namespace {
// The addressee label is built in a buffer of 256 bytes.
constexpr size_t kLabelBytes = 255;
// The candidate list opens this far above the main panel.
constexpr float kCandidateLift = 10.0f;
}  // namespace

CPlayChatWindow::CPlayChatWindow(CPlayScreen& owner) : m_owner(owner) {}

int CPlayChatWindow::BindControls() {
    m_list = static_cast<CUiListBox*>(Bind("ID_LIST_CHAT", UI_TYPE_LISTBOX));
    m_edit = static_cast<CUiEditBox*>(Bind("ID_EDIT_CHAT", UI_TYPE_EDITBOX));
    m_main = static_cast<CUiStatic*>(Bind("ID_STATIC_MAIN", UI_TYPE_STATIC));
    m_to = static_cast<CUiStatic*>(Bind("ID_STATIC_TO", UI_TYPE_STATIC));
    m_alarm = static_cast<CUiStatic*>(Bind("ID_STATIC_ALARM", UI_TYPE_STATIC));
    if (!m_list || !m_edit || !m_main || !m_to || !m_alarm) return 0;
    m_scroll = &m_list->ScrollBar();
    CPlayMainPanel* panel = m_owner.MainPanel();
    const float panelY = panel ? panel->GetAbsolutePos().y : 0.0f;
    m_candidateX = static_cast<int32_t>(m_size.x + m_edit->GetAbsolutePos().x);
    m_candidateY = static_cast<int32_t>(panelY - kCandidateLift);

    SetTarget(TARGET_TEAM);
    Close();
    SetListAlphas(0.0f, kBackgroundAlpha);
    m_scroll->SetAlpha(kBackgroundAlpha, false);
    if (g_pUiManager) g_pUiManager->SetFocus(nullptr);
    m_edit->SetByteLimit(kEditLimit);
    return 1;
}

void CPlayChatWindow::SetListAlphas(float text, float background) {
    m_textAlpha = text;
    m_backgroundAlpha = background;
    if (!m_list) return;
    m_list->SetTextAlpha(text);
    m_list->SetAlpha(background, false);
}

void CPlayChatWindow::SetTarget(uint32_t target) {
    m_target = target;
    if (m_to)
        m_to->SetText(target == TARGET_ALL ? std::string(GetMessageText(MSG_CHAT_SEND_TO_ALL))
                                           : platform::Cp949Cut(ChatTeamLabel(), kLabelBytes));
    if (g_pUiManager && m_edit) g_pUiManager->SetFocus(m_edit);
}

void CPlayChatWindow::ToggleTarget() {
    if (EditFocused()) SetTarget(m_target == TARGET_TEAM ? TARGET_ALL : TARGET_TEAM);
}

bool CPlayChatWindow::EditFocused() const { return g_pUiManager && m_edit && g_pUiManager->Focus() == m_edit; }

bool CPlayChatWindow::IsOpen() const { return m_main && !m_main->HasFlags(UI_HIDDEN); }

void CPlayChatWindow::OnEnter(CUiObject*) {
    // Enter on the closed box is the play screen's key that opens it.
    if (IsOpen()) SendLine();
}

void CPlayChatWindow::SendLine() {
    if (!m_edit || !g_pUiManager) return;
    if (EditFocused() && m_owner.InputMode() == CPlayScreen::INPUT_CHAT) {
        const std::string typed = m_edit->GetText();
        const ChatRecord* record = nullptr;
        if (!typed.empty() && IsNonBlankText(typed) && g_pClientSession)
            record = ProcessChatInput(m_to, *g_pClientSession, typed, m_list);
        if (record) {
            // A command whose own message could not be sent lost the connection.
            if (record->text == "CHAT_SEND_ERROR") {
                m_owner.ShowErrorPopup(1);
                return;
            }
            m_target = record->mode;
            const uint32_t colour = record->mode != 0 ? kAllColour : kTeamColour;
            CWorldObjectManager* world = g_pWorldObjectManager;
            if (world && world->IsNetworkGame()) {
                // Shown when the server relays it; full pools or frames drop it.
                if (g_pGameCommandManager)
                    g_pGameCommandManager->BuildChat(static_cast<uint32_t>(world->localSlot), record->mode,
                                                     record->text.c_str(), colour, 1);
            } else {
                std::string shown;
                // A refused line keeps the box open with its text.
                if (!g_pClientSession->words.FilterChatWords(record->text, g_pClientSession->nickname, nullptr,
                                                             shown))
                    return;
                AddLine(colour, shown);
            }
        }
        m_owner.SetInputMode(CPlayScreen::INPUT_NORMAL);
        if (CPlayMainPanel* panel = m_owner.MainPanel()) panel->CancelSkillTarget();
        m_edit->SetText("");
    }
    if (!EditFocused()) g_pUiManager->SetFocus(m_edit);
}

void CPlayChatWindow::AddLine(uint32_t colour, std::string_view text) {
    AddChatLine(m_list, text, colour);
    Wake();
}

void CPlayChatWindow::Wake() {
    SetListAlphas(1.0f, kBackgroundAlpha);
    m_idle = 0.0f;
}

CUiObject* CPlayChatWindow::ProcessInput(float dt, CZEMDXInput& input) {
    if (m_textAlpha > 0.0f && !IsOpen()) {
        m_idle += dt;
        if (m_idle > kFadeStart) {
            if (m_idle < kFadeEnd) {
                SetListAlphas((kFadeEnd - m_idle) * 0.333f, (kFadeEnd - m_idle) * 0.1f);
            } else {
                m_idle = 0.0f;
                SetListAlphas(0.0f, 0.0f);
            }
        }
    }
    CUiObject* took = CUiWindow::ProcessInput(dt, input);
    // Pointing at the scroll bar brings the lines back to read them.
    if (m_scroll && IsOpen() && m_scroll->PointerInside()) Wake();
    return took;
}

void CPlayChatWindow::OnLButtonClick(CUiObject*) {
    if (!IsOpen()) return;
    Wake();
    if (g_pUiManager && m_edit) g_pUiManager->SetFocus(m_edit);
}

void CPlayChatWindow::Open() {
    ClearFlags(UI_HIT_DRAG_AREA);
    for (CUiStatic* s : {m_main, m_to, m_alarm})
        if (s) s->ClearFlags(UI_HIDDEN);
    if (g_pUiManager) g_pUiManager->BringToFront(this);
    if (m_edit) {
        m_edit->ClearFlags(UI_HIDDEN);
        if (g_pUiManager) {
            g_pUiManager->SetFocus(m_edit);
            g_pUiManager->Ime().SetCaretRect(m_candidateX, m_candidateY, 1, static_cast<int32_t>(m_edit->Size().y));
        }
    }
    if (m_list) m_list->ClearFlags(UI_HIT_DRAG_AREA);
    Wake();
}

void CPlayChatWindow::Close() {
    AddFlags(UI_HIT_DRAG_AREA);
    for (CUiStatic* s : {m_main, m_to, m_alarm})
        if (s) s->AddFlags(UI_HIDDEN);
    if (g_pUiManager) {
        g_pUiManager->SetFocus(nullptr);
        g_pUiManager->Ime().SetEditText("");
    }
    if (m_edit) {
        m_edit->SetText("");
        m_edit->AddFlags(UI_HIDDEN);
    }
    if (m_list) m_list->AddFlags(UI_HIT_DRAG_AREA);
}

void CPlayChatWindow::PlaceAbove(float panelY) { SetPosition(0.0f, panelY - m_size.y + 10.0f); }

bool CPlayChatWindow::Owns(const CUiObject* control) const {
    for (const CUiObject* o = control; o; o = o->Parent())
        if (o == this) return true;
    return false;
}
