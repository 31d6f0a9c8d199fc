// FLTK start-up and message boxes. See Dialog.h.
#include "platform/Dialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/CodePage.h"

namespace platform {
namespace {

std::mutex g_hookMutex;
DialogHook g_hook;

bool Hooked(const DialogBox& box, bool* answer) {
    DialogHook hook;
    {
        std::lock_guard<std::mutex> lock(g_hookMutex);
        hook = g_hook;
    }
    if (!hook) return false;
    *answer = hook(box);
    return true;
}

}  // namespace

bool DialogDisplayAvailable() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    Display* display = XOpenDisplay(name);
    if (!display) return false;
    XCloseDisplay(display);
    return true;
}

bool StartDialogs() {
    static bool started = false;
    if (started) return true;
    if (!DialogDisplayAvailable()) return false;
    Fl::lock();
    fl_open_display();
    Fl::visual(FL_DOUBLE | FL_RGB);
    started = true;
    return true;
}

void DialogMessage(std::string_view title, std::string_view text) {
    DialogBox box{std::string(title), std::string(text), false};
    bool answer = false;
    if (Hooked(box, &answer)) return;
    if (!StartDialogs()) {
        std::fprintf(stderr, "%s: %s\n", Cp949ToUtf8(title).c_str(), Cp949ToUtf8(text).c_str());
        return;
    }
    std::string utf8Title = Cp949ToUtf8(title);
    fl_message_title(utf8Title.c_str());
    fl_message("%s", Cp949ToUtf8(text).c_str());
}

bool DialogAsk(std::string_view title, std::string_view text) {
    DialogBox box{std::string(title), std::string(text), true};
    bool answer = false;
    if (Hooked(box, &answer)) return answer;
    if (!StartDialogs()) {
        std::fprintf(stderr, "%s: %s\n", Cp949ToUtf8(title).c_str(), Cp949ToUtf8(text).c_str());
        return false;
    }
    std::string utf8Title = Cp949ToUtf8(title);
    fl_message_title(utf8Title.c_str());
    // The stop icon: a white cross on red, in the box's icon place.
    Fl_Widget* icon = fl_message_icon();
    const char* oldLabel = icon->label();
    Fl_Color oldColor = icon->color(), oldLabelColor = icon->labelcolor();
    icon->label("X");
    icon->color(FL_RED);
    icon->labelcolor(FL_WHITE);
    int choice = fl_choice("%s", fl_no, fl_yes, nullptr, Cp949ToUtf8(text).c_str());
    icon->label(oldLabel);
    icon->color(oldColor);
    icon->labelcolor(oldLabelColor);
    return choice == 1;
}

void SetDialogHook(DialogHook hook) {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    g_hook = std::move(hook);
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        auto b = static_cast<unsigned char>(text[i]);
        size_t extra;
        uint32_t min;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1;
            min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            min = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i <= extra) return false;
        uint32_t cp = b & (0x3F >> extra);
        for (size_t k = 1; k <= extra; ++k) {
            auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

std::string DialogText(std::string_view cp949) { return Cp949ToUtf8(cp949); }
std::string FromDialogText(std::string_view utf8) { return Utf8ToCp949(utf8); }

}  // namespace platform
