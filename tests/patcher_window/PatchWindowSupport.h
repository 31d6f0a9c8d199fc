// Driving the patch dialog in a real window under Xvfb: pumping FLTK until a
// condition holds, reading the window's pixels, and real mouse and key events
// through xdotool (run as a child while FLTK keeps handling events).
#pragma once

#include <FL/Fl.H>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class Fl_Window;

// Runs FLTK's loop until pred holds or timeoutMs has passed; pred's last value.
template <typename Pred>
bool PumpUntil(int timeoutMs, Pred pred) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        Fl::wait(0.01);
    }
    return true;
}

// Pumps FLTK for a short while so that queued events and redraws are done.
void Settle(int ms = 150);

struct Screenshot {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    // The pixel as 0xRRGGBB.
    uint32_t At(int x, int y) const;
};
Screenshot TakeScreenshot(Fl_Window& window);

// True when the colours differ by at most tolerance in each channel.
bool Near(uint32_t a, uint32_t b, int tolerance = 8);

// Runs "xdotool args..." to its end, pumping FLTK meanwhile; true on exit 0.
bool XdoTool(const std::vector<std::string>& args);
// Clicks (count clicks) at a point of the window, in window coordinates.
bool ClickAt(Fl_Window& window, int x, int y, int count = 1);
// The X window of a shown window (0 before it is shown).
unsigned long WindowId(Fl_Window& window);
// Gives the window the keyboard (Xvfb has no window manager to do it).
void FocusWindow(Fl_Window& window);
// The window manager's close: WM_DELETE_WINDOW sent to the window.
void SendDeleteWindow(Fl_Window& window);
