// The window's message queue and the test window. The SDL window is in SdlWindow.cpp.
#include "platform/Window.h"

namespace platform {

bool CWindow::PeekMessage(WindowMessage* message, bool remove) {
    if (m_queue.empty()) PumpEvents();
    if (m_queue.empty()) return false;
    *message = m_queue.front();
    if (remove) m_queue.pop_front();
    return true;
}

void CWindow::PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    m_queue.push_back({message, wParam, lParam});
}

CTestWindow::CTestWindow(int width, int height, bool windowed)
    : m_width(width), m_height(height), m_fullscreen(!windowed) {}

bool CTestWindow::SetFullscreen(bool fullscreen) {
    m_fullscreen = fullscreen;
    return true;
}

WindowRect CTestWindow::GetWindowRect() const { return {m_x, m_y, m_x + m_width, m_y + m_height}; }

void CTestWindow::GetClientSize(int* width, int* height) const {
    *width = m_minimised ? 0 : m_width;
    *height = m_minimised ? 0 : m_height;
}

void CTestWindow::SetPlacement(int x, int y, int width, int height) {
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
}

void CTestWindow::Minimise() {
    m_minimised = true;
    QueueEvent(WM_SIZE, SIZE_MINIMIZED);
}

void CTestWindow::Restore() {
    m_minimised = false;
    QueueEvent(WM_SIZE, SIZE_RESTORED, (static_cast<intptr_t>(m_height) << 16) | m_width);
}

void CTestWindow::SetFocus(bool focus) {
    m_focus = focus;
    QueueEvent(focus ? WM_SETFOCUS : WM_KILLFOCUS);
    QueueEvent(WM_ACTIVATEAPP, focus ? 1 : 0);
}

void CTestWindow::QueueEvent(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    m_events.push_back({message, wParam, lParam});
}

void CTestWindow::PumpEvents() {
    while (!m_events.empty()) {
        const WindowMessage m = m_events.front();
        m_events.pop_front();
        PostMessage(m.message, m.wParam, m.lParam);
    }
}

}  // namespace platform
