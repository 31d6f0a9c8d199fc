#include "tests/program/XdoInput.h"

#include <chrono>
#include <thread>

#include "tests/program/ProgramRun.h"

namespace {
// Longer than a frame of the slowest build the tests run.
constexpr std::chrono::milliseconds kHold(250);
}  // namespace

bool XdoInput::Run(const std::vector<std::string>& args) {
    const pid_t child = StartProgram({"/usr/bin/xdotool", args, "/", {}, "/dev/null"});
    return child > 0 && WaitForProgram(child, std::chrono::seconds(20)) == 0;
}

bool XdoInput::Click(int x, int y) {
    if (!Run({"mousemove", "--window", std::to_string(m_window), std::to_string(x), std::to_string(y)})) return false;
    std::this_thread::sleep_for(kHold);
    if (!Run({"mousedown", "1"})) return false;
    std::this_thread::sleep_for(kHold);
    const bool up = Run({"mouseup", "1"});
    std::this_thread::sleep_for(kHold);
    return up;
}

bool XdoInput::Key(const std::string& name) {
    if (!Run({"keydown", name})) return false;
    std::this_thread::sleep_for(kHold);
    const bool up = Run({"keyup", name});
    std::this_thread::sleep_for(kHold);
    return up;
}

bool XdoInput::Type(const std::string& text) {
    const bool typed = Run({"type", "--delay", "40", text});
    std::this_thread::sleep_for(kHold);
    return typed;
}
