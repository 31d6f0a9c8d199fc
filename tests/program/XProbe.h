// What the whole-program test does through the X server, kept apart from the
// test code (Xlib's macros clash with other headers): find a top-level window
// by title, read a pixel of it, and ask it to close as a window manager does.
#pragma once

#include <cstdint>
#include <string>

class XProbe {
public:
    XProbe();  // the display named by DISPLAY
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    bool Connected() const { return m_display != nullptr; }
    // The top-level window with the title, or 0.
    unsigned long FindWindow(const std::string& title);
    // The pixel at the window's centre as 0xRRGGBB; ~0 while it cannot be read.
    uint32_t CentrePixel(unsigned long window);
    // The pixel at x, y of the window as 0xRRGGBB; ~0 while it cannot be read.
    uint32_t Pixel(unsigned long window, int x, int y);
    // The close request (WM_DELETE_WINDOW) a window manager sends for the close button.
    void SendCloseRequest(unsigned long window);

private:
    void* m_display = nullptr;
};
