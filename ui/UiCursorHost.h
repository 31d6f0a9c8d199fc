// Mouse cursors of the game window as the UI manager uses them: load one by its
// resource id, select one and show or hide the cursor. The window layer
// supplies the real one; tests record the calls.
#pragma once

#include <cstdint>

class IUiCursorHost {
public:
    virtual ~IUiCursorHost() = default;
    // A handle for the cursor with that resource id; 0 when it cannot be loaded.
    virtual uintptr_t LoadCursor(uint32_t resourceId) = 0;
    virtual void SetCursor(uintptr_t handle) = 0;
    virtual void ShowCursor(bool show) = 0;
};
