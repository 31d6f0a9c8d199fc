#include "tests/patcher_window/PatchWindowSupport.h"

#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/File.h"
#include "tests/patcher/PatchTestSupport.h"

void Settle(int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) Fl::wait(0.01);
}

uint32_t Screenshot::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFFu;
    size_t at = (static_cast<size_t>(y) * width + x) * 3;
    return static_cast<uint32_t>(rgb[at]) << 16 | static_cast<uint32_t>(rgb[at + 1]) << 8 | rgb[at + 2];
}

Screenshot TakeScreenshot(Fl_Window& window) {
    Fl::flush();
    XSync(fl_display, False);
    Screenshot shot;
    window.make_current();
    uchar* pixels = fl_read_image(nullptr, 0, 0, window.w(), window.h());
    if (!pixels) return shot;
    shot.width = window.w();
    shot.height = window.h();
    shot.rgb.assign(pixels, pixels + static_cast<size_t>(shot.width) * shot.height * 3);
    delete[] pixels;
    return shot;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8) {
        int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        if (d > tolerance || d < -tolerance) return false;
    }
    return true;
}

bool XdoTool(const std::vector<std::string>& args) {
    XSync(fl_display, False);
    int pid = StartChild("/usr/bin/xdotool", args, platform::WorkingFolder(), "/dev/null");
    if (pid <= 0) return false;
    int status = 0;
    bool ended = PumpUntil(10000, [&] { return ::waitpid(pid, &status, WNOHANG) == pid; });
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return false;
    }
    // Let FLTK take the events the tool caused.
    Settle(100);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool ClickAt(Fl_Window& window, int x, int y, int count) {
    std::string id = std::to_string(fl_xid(&window));
    std::vector<std::string> args{"mousemove",       "--window", id,    std::to_string(x),
                                  std::to_string(y), "sleep",    "0.1", "click"};
    if (count > 1) {
        args.push_back("--repeat");
        args.push_back(std::to_string(count));
        args.push_back("--delay");
        args.push_back("60");
    }
    args.push_back("1");
    return XdoTool(args);
}

unsigned long WindowId(Fl_Window& window) { return window.shown() ? fl_xid(&window) : 0; }

void FocusWindow(Fl_Window& window) {
    XSetInputFocus(fl_display, fl_xid(&window), RevertToParent, CurrentTime);
    XSync(fl_display, False);
    Settle(100);
}

void SendDeleteWindow(Fl_Window& window) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = fl_xid(&window);
    ev.xclient.message_type = XInternAtom(fl_display, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(fl_display, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(fl_display, fl_xid(&window), False, NoEventMask, &ev);
    XFlush(fl_display);
    Settle(100);
}
