// The portraits of the main panel and the unit information window: made
// with the device, drawn after the world into their own targets.
#include "screens/game/PlayMainPanel.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/UnitInfoWindow.h"
#include "ui/UiButton.h"

namespace {
// The viewer shows the picture in its normal and its hover look.
constexpr int kViewerStates[] = {0, 1};
}  // namespace

void CPlayMainPanel::DetachPortrait() {
    if (!viewer) return;
    for (int state : kViewerStates)
        if (viewer->StateImage(state) == m_portrait.Picture()) viewer->SetImage(state, nullptr, false);
}

int CPlayMainPanel::RestorePortrait() {
    const int made = m_portrait.Restore();
    if (viewer)
        for (int state : kViewerStates)
            if (viewer->StateImage(state) != m_portrait.Picture()) viewer->SetImage(state, m_portrait.Picture(), false);
    return made;
}

void CPlayMainPanel::RenderPortrait() {
    if (m_selectedObject < 0 || !viewer || viewer->HasFlags(UI_HIDDEN)) return;
    m_portrait.Render();
}

void CPlayScreen::RenderPortraits() {
    if (m_mainPanel) m_mainPanel->RenderPortrait();
    if (m_unitInfo) m_unitInfo->RenderPreview();
}

// A portrait the device refuses stays empty; the match goes on without it.
void CPlayScreen::RestorePortraits() {
    if (m_mainPanel) m_mainPanel->RestorePortrait();
    if (m_unitInfo) m_unitInfo->RestorePreview();
}

void CPlayScreen::InvalidatePortraits() {
    if (m_mainPanel) m_mainPanel->InvalidatePortrait();
    if (m_unitInfo) m_unitInfo->InvalidatePreview();
}
