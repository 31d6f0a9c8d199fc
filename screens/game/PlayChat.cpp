// The play screen's side of the chat: the chat box's layout and place, the
// Enter key that opens and closes the line, input mode 5 while typing, and the
// CMD_CHAT records that bring every player's lines, the own ones included.
#include <cstring>
#include <string_view>

#include "commands/CommandRecords.h"
#include "engine/core/MessageBoxHost.h"
#include "engine/core/TextFormat.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/resource/ResourceManager.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "platform/CodePage.h"
#include "screens/game/PlayChatWindow.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "ui/ScreenHost.h"
#include "ui/UiManager.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {
CWorldObjectManager* World() { return g_pWorldObjectManager; }
constexpr int kPlayerSlots = 12;
// Operators' lines stand out in magenta; their nicknames carry "[".
constexpr uint32_t kOperatorColour = 0xFF00FF;
}  // namespace

int CPlayScreen::LoadChatLayout() {
    if (m_chatLayout) return 1;
    if (!g_pResourceManager) return 0;
    m_chatWindow = new CPlayChatWindow(*this);
    m_chatLayout = g_pResourceManager->GetResource(CPlayChatWindow::kLayout, RES_LAYOUT, m_chatWindow, 1);
    // A layout that failed took its window with it.
    if (!m_chatLayout) {
        m_chatWindow = nullptr;
        return 0;
    }
    PlaceChatWindow();
    return 1;
}

void CPlayScreen::ReleaseChatLayout() {
    if (g_pResourceManager) g_pResourceManager->ReleaseResource(m_chatLayout);
    m_chatLayout = nullptr;
    m_chatWindow = nullptr;
}

void CPlayScreen::PlaceChatWindow() {
    if (!m_chatWindow) return;
    IScreenHost* host = ScreenHost();
    const float bottom = host ? static_cast<float>(host->BackBufferHeight()) : 768.0f;
    m_chatWindow->PlaceAbove(m_mainPanel ? m_mainPanel->GetAbsolutePos().y : bottom);
}

void CPlayScreen::HandleChatKey() {
    CZEMDXInput* in = InputDevice();
    if (!in || !m_chatWindow || !World() || World()->gameMode == 3) return;
    // The waiting room's box stays up while the players load; chat goes on under it.
    if (IMessageBoxHost* box = MessageBox(); box && box->Visible() && Phase() != PHASE_WAITING) return;
    const bool enter = (in->KeyPressed(DIK_RETURN) && !in->KeyDown(DIK_LMENU) && !in->KeyDown(DIK_RMENU)) ||
                       in->KeyPressed(DIK_NUMPADENTER);
    if (!enter) return;
    if (m_chatWindow->EditFocused()) {
        m_chatWindow->Close();
    } else {
        if (in->KeyDown(DIK_LSHIFT))
            m_chatWindow->SetTarget(CPlayChatWindow::TARGET_ALL);
        else if (in->KeyDown(DIK_LCONTROL))
            m_chatWindow->SetTarget(CPlayChatWindow::TARGET_TEAM);
        m_inputMode = INPUT_CHAT;
        m_chatWindow->Open();
    }
    PlaceChatWindow();
}

void CPlayScreen::InputModeChat() {
    SetCursor(13);
    CZEMDXInput* in = InputDevice();
    if (!in) return;
    if (in->MousePressed(0) || in->MousePressed(1) || in->MousePressed(2)) {
        if (!m_chatWindow || !m_chatWindow->Owns(m_uiHit)) CloseChat();
        return;
    }
    if (in->KeyPressed(DIK_ESCAPE)) CloseChat();
}

void CPlayScreen::CloseChat() {
    m_inputMode = INPUT_NORMAL;
    if (m_chatWindow) m_chatWindow->Close();
    PlaceChatWindow();
}

void CPlayScreen::ShowChatLine(const std::string& line, uint32_t colour) {
    // The match's own record of what the box showed, as long as the box keeps lines.
    if (m_playChatLines.size() >= kChatListCap) m_playChatLines.erase(m_playChatLines.begin());
    m_playChatLines.push_back(line);
    if (m_chatWindow) m_chatWindow->AddLine(colour, line);
}

void CPlayScreen::OnChat(CGameCommand& r) {
    // The text ends at its NUL, at the latest after 127 bytes, and never inside
    // a double-byte character, whatever the sender put into the field.
    std::string_view text(reinterpret_cast<const char*>(r.Bytes() + kChatTextOffset), kChatTextField);
    text = text.substr(0, text.find('\0'));
    text = text.substr(0, Cp949CutLength(text, kMaxChatText));
    const uint8_t slot = r.U8(2);
    if (slot >= kPlayerSlots) {
        // Lines of the scenario and the system: no sender, no filter, no colour.
        ShowChatLine(std::string(text), 0);
        return;
    }
    CClientSession* session = g_pClientSession;
    CWorldObjectManager* world = World();
    if (!session || !world) return;
    const char* nickname = session->slots[slot].GetNickname();
    if (IsBlockedUser(*session, nickname)) return;
    const uint32_t colour = std::strchr(nickname, '[') ? kOperatorColour : r.U32(132);
    if (r.U8(3) == 0 && world->ownerTeam[slot] != world->localTeam) return;
    std::string shown;
    if (!session->words.FilterChatWords(text, session->nickname, nickname, shown)) return;
    ShowChatLine(FormatText("%s : %s", nickname, shown), colour);
}
