// The first screen until the start-up screen exists: it clears the screen to
// a dark blue and ends the program on Escape or when the window is closed.
#pragma once

#include "ui/Screen.h"

class CStandInScreen : public CScreen {
public:
    static constexpr uint32_t kClearColor = 0xFF102040u;

    CStandInScreen() = default;
    // A stand-in for a screen still to come says on the standard error that
    // the program got there, so a tester sees the flow reached it.
    explicit CStandInScreen(const char* standsFor) : m_standsFor(standsFor) {}
    void Enter() override;
    const char* StandsFor() const { return m_standsFor; }

    int Update() override;
    void Render() override;
    intptr_t MsgProc(const platform::WindowMessage& message) override;

private:
    bool m_closeAsked = false;
    const char* m_standsFor = nullptr;
};
