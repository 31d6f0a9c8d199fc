// The result table of "RESULT.DUI": the victory and defeat captions, OK, the
// time texts and twelve rows of thirteen controls (two row backgrounds, class
// icon, nickname, hero picture, level, kills, deaths, buildings, total, money,
// money detail and win points). OK is latched until the screen takes it.
#pragma once

#include <array>

#include "screens/game/ImageBoxWindow.h"

class CUiStatic;

class CResultWindow : public COkLatchWindow {
public:
    static constexpr int kRows = 12;
    struct Row {
        CUiStatic* darkBack = nullptr;
        CUiStatic* lightBack = nullptr;
        CUiStatic* classIcon = nullptr;
        CUiStatic* nick = nullptr;
        CUiStatic* hero = nullptr;
        CUiStatic* level = nullptr;
        CUiStatic* kills = nullptr;
        CUiStatic* deaths = nullptr;
        CUiStatic* buildings = nullptr;
        CUiStatic* total = nullptr;
        CUiStatic* money = nullptr;
        CUiStatic* moneyDetail = nullptr;
        CUiStatic* winPoints = nullptr;
    };

    int OnLayoutLoaded() override;
    CUiStatic* win = nullptr;
    CUiStatic* lose = nullptr;
    CUiStatic* time = nullptr;
    CUiStatic* playTime = nullptr;
    std::array<Row, kRows> rows{};
};
