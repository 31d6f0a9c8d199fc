#include "screens/lobby/LobbyOptions.h"

#include "engine/core/Options.h"
#include "engine/resource/ResourceManager.h"
#include "screens/game/OptionsWindow.h"
#include "screens/game/PlayScreen.h"
#include "screens/lobby/LobbySteps.h"
#include "ui/ScreenHost.h"
#include "ui/UiManager.h"

CLobbyOptions::~CLobbyOptions() {
    if (!g_pResourceManager) return;
    // Each layout takes its window with it.
    g_pResourceManager->ReleaseResource(m_windowLayout);
    g_pResourceManager->ReleaseResource(m_backdropLayout);
}

int CLobbyOptions::Load() {
    IScreenHost* host = ScreenHost();
    if (!host || !g_pResourceManager) return 0;
    m_backdrop = new CUiWindow();
    m_backdropLayout = g_pResourceManager->GetResource(kBackdropLayout, RES_LAYOUT, m_backdrop, 1);
    if (!m_backdropLayout) {
        m_backdrop = nullptr;
        return 0;
    }
    m_window = new COptionsWindow();
    m_windowLayout = g_pResourceManager->GetResource(CPlayScreen::kOptionsLayout, RES_LAYOUT, m_window, 1);
    if (!m_windowLayout) {
        m_window = nullptr;
        return 0;
    }
    lobby::CentreWindow(m_window, *host);
    host->Ui().ShowWindow(m_backdrop, false);
    host->Ui().ShowWindow(m_window, false);
    return 1;
}

bool CLobbyOptions::Shown() const { return m_window && !m_window->HasFlags(UI_HIDDEN); }

void CLobbyOptions::Open() {
    IScreenHost* host = ScreenHost();
    if (!host || !m_window) return;
    // What another screen changed shows as it is now.
    m_window->RefreshFromOptions();
    for (CUiWindow* window : {m_backdrop, static_cast<CUiWindow*>(m_window)}) {
        host->Ui().ShowWindow(window, true);
        host->Ui().BringToFront(window);
    }
}

void CLobbyOptions::Close() {
    if (IScreenHost* host = ScreenHost()) {
        host->Ui().ShowWindow(m_window, false);
        host->Ui().ShowWindow(m_backdrop, false);
        if (host->Options().loaded) host->Options().SaveOptions();
    }
}

int CLobbyOptions::Update(bool escape) {
    if (!m_window) return 0;
    if (m_window->TakeClosed()) {
        Close();
        return 0;
    }
    if (!Shown()) return 0;
    if (escape) Close();
    return 1;
}
