#include "screens/game/ResultWindow.h"

#include <cstdio>

#include "ui/UiButton.h"
#include "ui/UiStatic.h"

int CResultWindow::OnLayoutLoaded() {
    auto statics = [this](const char* name) { return static_cast<CUiStatic*>(Bind(name, UI_TYPE_STATIC)); };
    win = statics("ID_STATIC_WIN");
    lose = statics("ID_STATIC_LOSE");
    m_ok = static_cast<CUiButton*>(Bind("ID_BUTTON_OK", UI_TYPE_BUTTON));
    if (!win || !lose || !m_ok) return 0;
    const struct {
        const char* format;
        CUiStatic* Row::*member;
    } columns[] = {
        {"ID_STATIC_D_BACK_%d", &Row::darkBack},  {"ID_STATIC_L_BACK_%d", &Row::lightBack},
        {"ID_STATIC_CLASS_%d", &Row::classIcon},  {"ID_STATIC_NICK_%d", &Row::nick},
        {"ID_STATIC_HERO_%d", &Row::hero},        {"ID_STATIC_LEVEL_%d", &Row::level},
        {"ID_STATIC_KILL_%d", &Row::kills},       {"ID_STATIC_DEATH_%d", &Row::deaths},
        {"ID_STATIC_BUILD_%d", &Row::buildings},  {"ID_STATIC_TOTAL_%d", &Row::total},
        {"ID_STATIC_CRA_%d", &Row::money},        {"ID_STATIC_CRA_SUB_%d", &Row::moneyDetail},
        {"ID_STATIC_WINPOINT_%d", &Row::winPoints},
    };
    char name[40];
    for (int r = 0; r < kRows; ++r)
        for (const auto& column : columns) {
            std::snprintf(name, sizeof(name), column.format, r + 1);
            if (!(rows[static_cast<size_t>(r)].*column.member = statics(name))) return 0;
        }
    time = statics("ID_STATIC_TIME");
    playTime = statics("ID_STATIC_PLAYTIME");
    return time && playTime ? 1 : 0;
}
