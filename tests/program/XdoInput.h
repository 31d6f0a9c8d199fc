// A player's mouse and keyboard on the X server, through xdotool (XTEST):
// the events reach the program as real ones of its window. The client reads
// its devices once a frame, so every button and key stays down for a while
// that spans a frame of a slow (sanitized, software-rendered) build.
#pragma once

#include <string>
#include <vector>

class XdoInput {
public:
    explicit XdoInput(unsigned long window) : m_window(window) {}

    // A left click at x, y of the window.
    bool Click(int x, int y);
    // One key, by its X name ("Return", "Tab", "F10", "Print", "space").
    bool Key(const std::string& name);
    // Plain text, as typed on the keyboard.
    bool Type(const std::string& text);

private:
    bool Run(const std::vector<std::string>& args);

    unsigned long m_window;
};
