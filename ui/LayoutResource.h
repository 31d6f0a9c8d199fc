// The cached layout of one window (resource type 6): loading it reads the
// *.DUI file into the owner window and puts the window in the UI manager's
// lower layer. The resource owns the window from its construction on: a
// failed load, or the release of the last reference, takes the window out of
// the layers and deletes it. The cache keys layouts by file name and owner, so
// two windows that use the same file each load their own controls.
#pragma once

#include "engine/resource/Resource.h"

class CResourceManager;
class CUiWindow;

class CLayoutResource : public CResource {
public:
    explicit CLayoutResource(CUiWindow* owner);
    ~CLayoutResource() override;

    int Load(const char* path, int flag) override;
    void Unload() override;

    CUiWindow* Window() const { return m_window; }
    // The window is being deleted by someone else (the UI manager's clean-up).
    // The resource stops answering for its address, which a new window may get.
    void ForgetWindow() {
        m_window = nullptr;
        SetCacheOwner(this);
    }

private:
    void DeleteWindow();

    CUiWindow* m_window;
};

// Registers the layout factory (type 6) with a resource manager.
void RegisterLayoutResource(CResourceManager& manager);
