#include "ui/LayoutResource.h"

#include "engine/core/ErrorReport.h"
#include "engine/resource/ResourceManager.h"
#include "ui/UiManager.h"
#include "ui/UiWindow.h"

CLayoutResource::CLayoutResource(CUiWindow* owner) : CResource(RES_LAYOUT), m_window(owner) {}

CLayoutResource::~CLayoutResource() { DeleteWindow(); }

void CLayoutResource::DeleteWindow() {
    CUiWindow* window = m_window;
    if (!window) return;
    m_window = nullptr;
    window->SetLayoutResource(nullptr);
    if (g_pUiManager)
        g_pUiManager->DeleteWindow(window);
    else
        delete window;
}

int CLayoutResource::Load(const char* path, int) {
    if (!m_window) {
        ErrorReport().SetError(ERR_DATA, "Layout %s has no window to load into", Name());
        return 0;
    }
    m_window->SetLayoutResource(this);
    if (!m_window->LoadLayout(path, Offset(), Size())) return 0;
    if (g_pUiManager) g_pUiManager->AddLowerWindow(m_window);
    SetState(1);
    return 1;
}

void CLayoutResource::Unload() {
    DeleteWindow();
    CResource::Unload();
}

void RegisterLayoutResource(CResourceManager& manager) {
    manager.SetFactory(RES_LAYOUT, [](CUiWindow* owner) { return new CLayoutResource(owner); });
}
