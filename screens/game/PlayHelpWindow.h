// The play screen's help window ("PLAY_HELP.DUI"): three lines of help text,
// hidden until the player asks for it.
#pragma once

#include <array>

#include "ui/UiWindow.h"

class CUiStatic;

class CPlayHelpWindow : public CUiWindow {
public:
    int OnLayoutLoaded() override;

    std::array<CUiStatic*, 3> lines{};
};
