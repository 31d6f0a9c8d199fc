// The play screen's side of the main panel: loading it with the match's
// windows and answering the mission script's questions through it.
#include "engine/resource/ResourceManager.h"
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "ui/UiManager.h"

int CPlayScreen::LoadMainPanel() {
    if (m_mainLayout) return 1;
    m_mainPanel = new CPlayMainPanel(*this);
    m_mainLayout = g_pResourceManager->GetResource(CPlayMainPanel::kLayout, RES_LAYOUT, m_mainPanel, 1);
    // A layout that failed took its window with it.
    if (!m_mainLayout) {
        m_mainPanel = nullptr;
        return 0;
    }
    // The panel's refusals are the red notices of the play screen.
    m_mainPanel->noticeSink = [this](const std::string& text) { ShowNotice(text.c_str(), 0xFFFF0000u); };
    // A click on the minimap names a ground point to the order modes.
    SetMinimapControl(&m_mainPanel->sight);
    // The game-over picture stands above the panel.
    SetMainPanelHeight(static_cast<int32_t>(m_mainPanel->Size().y));
    // The carried item's icon draws over the panel.
    if (g_pUiManager) g_pUiManager->AddLowerWindow(&m_mainPanel->dragIcon);
    CreateGroundMarker();
    return 1;
}

void CPlayScreen::SetControlsEnabled(bool enable) {
    if (m_mainPanel) m_mainPanel->SetControlsEnabled(enable ? 1 : 0);
}

bool CPlayScreen::HasStorageItem(uint32_t recordId) {
    return m_mainPanel && m_mainPanel->GetStorageButton(recordId) != nullptr;
}

bool CPlayScreen::HasInventoryItem(uint32_t recordId) {
    return m_mainPanel && m_mainPanel->GetInventoryButton(recordId) != nullptr;
}
