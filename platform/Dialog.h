// The patcher's dialogs run on FLTK 1.3. This module starts FLTK for them and
// shows their message boxes. FLTK ends the whole process when it cannot open
// the display, so the display is checked here first, by Xlib, before FLTK is
// ever asked. Titles and texts are code-page-949 texts.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// True when an X display can be opened.
bool DialogDisplayAvailable();

// Opens FLTK's display and turns on its lock for worker threads (Fl::awake).
// False, with nothing touched, when there is no display.
bool StartDialogs();

// An OK box.
void DialogMessage(std::string_view title, std::string_view text);
// A Yes/No box with the stop icon; true for Yes.
bool DialogAsk(std::string_view title, std::string_view text);

// Tests receive every box instead: the hook's result is the answer (Yes or OK).
struct DialogBox {
    std::string title;
    std::string text;
    bool question = false;
};
using DialogHook = std::function<bool(const DialogBox& box)>;
void SetDialogHook(DialogHook hook);

// A text of the game (code page 949) for FLTK, and FLTK's input back; a
// page that is already valid UTF-8 passes unchanged.
std::string DialogText(std::string_view cp949);
std::string FromDialogText(std::string_view utf8);
bool IsValidUtf8(std::string_view text);

}  // namespace platform
