// Where the patch dialog's controls go: the [PATCH] keys of "VAZE.INI", each
// "a, b, c, d". Controls take x, y, width, height in client coordinates;
// BASE_DIALOG is the outer rectangle (left, top, right, bottom) of a window
// whose frame is 6 pixels wider and 26 higher than its client area.
#pragma once

#include <functional>
#include <string>

struct LayoutRect {
    int x = 0, y = 0, w = 0, h = 0;
};

struct DialogLayout {
    LayoutRect web, fileStatic, totalProgress, fileProgress, startButton, repatchButton, homepageStatic;
    LayoutRect window;  // x, y: the frame's left and top; w, h: the client area, at least 1 x 1
};

// readKey gives the text of a [PATCH] key ("" when missing). Button sizes of 0
// take their image's size; a negative size becomes 0; a right or bottom of 0
// takes the background's size and the frame.
DialogLayout ComputeDialogLayout(const std::function<std::string(const char* key)>& readKey, int backgroundWidth,
                                 int backgroundHeight, int startWidth, int startHeight, int repatchWidth,
                                 int repatchHeight);
