#include "screens/game/PlayResources.h"

#include "engine/resource/ResourceManager.h"
#include "ui/LayoutResource.h"
#include "ui/UiManager.h"
#include "ui/UiMessageBox.h"

CPlayResources* g_pPlayResources = nullptr;

namespace {

void Drop(CResource*& resource) {
    if (resource && g_pResourceManager) g_pResourceManager->ReleaseResource(resource);
    resource = nullptr;
}

// The window a layout resource loaded, or null once the UI manager deleted it.
CUiWindow* WindowOf(CResource* layout) {
    return layout ? static_cast<CLayoutResource*>(layout)->Window() : nullptr;
}

}  // namespace

CPlayResources::CPlayResources() {
    if (!g_pPlayResources) g_pPlayResources = this;
}

CPlayResources::~CPlayResources() {
    Release();
    if (g_pPlayResources == this) g_pPlayResources = nullptr;
}

int CPlayResources::Load() {
    if (!g_pResourceManager) return 0;
    Release();
    // The layout resource owns the window from here on: a failed load deletes it.
    m_tooltipLayout = g_pResourceManager->GetResource(kTooltipLayout, RES_LAYOUT, new CUiFramedWindow, 1);
    m_messageBoxLayout =
        m_tooltipLayout ? g_pResourceManager->GetResource(kMessageBoxLayout, RES_LAYOUT, new CUiMessageBox, 1) : nullptr;
    if (!m_tooltipLayout || !m_messageBoxLayout) {
        Release();
        return 0;
    }
    ambientEffects[0] = g_pResourceManager->GetResource(kRainEffect, RES_EFFECT, nullptr, 1);
    ambientEffects[1] = ambientEffects[0] ? g_pResourceManager->GetResource(kSnowEffect, RES_EFFECT, nullptr, 1) : nullptr;
    if (!ambientEffects[0] || !ambientEffects[1]) {
        Release();
        return 0;
    }
    // Without sound the weather falls silently.
    if (g_pResourceManager->SoundDeviceUsable())
        ambientSound = g_pResourceManager->GetResource(kRainSound, RES_SOUND_EFFECT, nullptr, 1);
    if (g_pUiManager) {
        g_pUiManager->SetTooltip(Tooltip());
        g_pUiManager->SetMessageBox(MessageBox());
        // Drawn last, above every screen's windows.
        g_pUiManager->AddUpperWindow(Tooltip());
        g_pUiManager->AddUpperWindow(MessageBox());
    }
    return 1;
}

void CPlayResources::Release() {
    for (CResource*& r : selectionMarkers) Drop(r);
    for (CResource*& r : ambientEffects) Drop(r);
    Drop(ambientSound);
    Drop(itemIconFrame);
    // Releasing a layout deletes its window, which leaves the UI manager's layers and pointers.
    Drop(m_messageBoxLayout);
    Drop(m_tooltipLayout);
}

CUiFramedWindow* CPlayResources::Tooltip() const { return static_cast<CUiFramedWindow*>(WindowOf(m_tooltipLayout)); }

CUiMessageBox* CPlayResources::MessageBox() const {
    return static_cast<CUiMessageBox*>(WindowOf(m_messageBoxLayout));
}
