// The first screen until the start-up screen exists: it clears the screen to
// a dark blue and ends the program on Escape or when the window is closed.
#pragma once

#include "ui/Screen.h"

class CStandInScreen : public CScreen {
public:
    static constexpr uint32_t kClearColor = 0xFF102040u;

    int Update() override;
    void Render() override;
    intptr_t MsgProc(const platform::WindowMessage& message) override;

private:
    bool m_closeAsked = false;
};
