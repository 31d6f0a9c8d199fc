#include "tools/MenuLayouts.h"

#include <cstdio>

#include "tools/PackageWriter.h"
#include "tools/UiLayouts.h"

LayoutFileSpec OptionsLayout() {
    LayoutFileSpec spec = WindowLayout("WND_PLAY_CONFIG", 312, 184, 400, 400);
    Tint(spec.window, 0.25f, 0.3f, 0.35f);
    const char* sliders[] = {"ID_SLIDER_CONFIG_GAME",   "ID_SLIDER_CONFIG_SOUND1", "ID_SLIDER_CONFIG_SOUND2",
                             "ID_SLIDER_CONFIG_VIDEO1", "ID_SLIDER_CONFIG_VIDEO2", "ID_SLIDER_CONFIG_VIDEO3",
                             "ID_SLIDER_CONFIG_VIDEO4"};
    float y = 20;
    for (const char* name : sliders) {
        spec.children.push_back(SliderRecord(name, 150, y, 220, 16, 12));
        y += 32;
    }
    const struct {
        const char* name;
        const char* caption;
        float x, y;
    } checks[] = {{"ID_CHECKBUTTON_LIFE_ON", "On", 150, 250},   {"ID_CHECKBUTTON_LIFE_OFF", "Off", 260, 250},
                  {"ID_CHECKBUTTON_SOUND_ON", "On", 150, 280},  {"ID_CHECKBUTTON_SOUND_OFF", "Off", 260, 280},
                  {"ID_CHECKBUTTON_16BIT", "16 bit", 150, 310}, {"ID_CHECKBUTTON_32BIT", "32 bit", 260, 310}};
    for (const auto& check : checks)
        spec.children.push_back(CheckButtonRecord(check.name, check.x, check.y, 20, 20, check.caption));
    spec.children.push_back(ButtonRecord("ID_BUTTON_DEFAULT", 60, 350, 120, 32, "Default"));
    spec.children.push_back(ButtonRecord("ID_BUTTON_CLOSE", 220, 350, 120, 32, "Close"));
    return spec;
}

LayoutFileSpec GameMenuLayout() {
    LayoutFileSpec spec = WindowLayout("WND_PLAY_MENU", 351, 177, 322, 414);
    // A deep blue that a screenshot finds.
    Tint(spec.window, 0.1f, 0.15f, 0.6f);
    const struct {
        const char* name;
        const char* caption;
        float y;
    } buttons[] = {{"ID_BUTTON_RETURN", "Back to the game", 30},
                   {"ID_BUTTON_PAUSE", "Pause", 85},
                   // Shown in the pause button's place while the match is paused.
                   {"ID_BUTTON_PAUSE_CANCEL", "Resume", 85},
                   {"ID_BUTTON_NOCONTEST", "No contest", 140},
                   {"ID_BUTTON_KEYS", "Keys", 195},
                   {"ID_BUTTON_GAMECONFIG", "Options", 250},
                   {"ID_BUTTON_QUIT", "Quit", 340}};
    for (const auto& button : buttons) spec.children.push_back(ButtonRecord(button.name, 41, button.y, 240, 44, button.caption));
    return spec;
}

LayoutFileSpec PlayerRankLayout() {
    LayoutFileSpec spec = WindowLayout("WND_PLAY_PLAYER_RANK", 664, 0, 360, 300);
    Tint(spec.window, 0.12f, 0.12f, 0.12f);
    spec.children.push_back(StaticRecord("ID_STATIC_TITLE", 10, 6, 340, 24, "Players"));
    spec.children.push_back(StaticRecord("ID_HERO_NAME", 10, 36, 230, 256));
    spec.children.push_back(StaticRecord("ID_HERO_KILL", 246, 36, 50, 256));
    spec.children.push_back(StaticRecord("ID_HERO_RESURRECTION", 300, 36, 50, 256));
    return spec;
}

LayoutFileSpec ReplayControlLayout() {
    LayoutFileSpec spec = WindowLayout("WND_PLAY_REPLAY", 212, 40, 600, 96);
    Tint(spec.window, 0.2f, 0.2f, 0.25f);
    spec.children.push_back(StaticRecord("ID_STATIC_MAIN", 0, 0, 600, 20, "Replay"));
    spec.children.push_back(StaticRecord("ID_STATIC_TIME", 10, 24, 180, 20));
    spec.children.push_back(StaticRecord("ID_STATIC_SPEED", 200, 24, 120, 20));
    spec.children.push_back(GaugeRecord("ID_PROGRESS_PLAYGAUGE", 10, 48, 310, 12, 4));
    spec.children.push_back(ComboBoxRecord("ID_COMBO_PLAYERLIST", 340, 24, 250, 22, 22, 200, 12));
    const char* captions[] = {"||", ">>", "<<", "Opt", "Quit", "Menu"};
    char name[32];
    for (int i = 0; i < 6; ++i) {
        std::snprintf(name, sizeof(name), "ID_BUTTON_TYPE_%d", i + 1);
        spec.children.push_back(ButtonRecord(name, 10.0f + 52.0f * static_cast<float>(i), 66, 48, 24, captions[i]));
    }
    return spec;
}

LayoutFileSpec LobbyOptionBackLayout() {
    LayoutFileSpec spec = WindowLayout("WND_LOBBY_OPTION_BACK", 0, 0, 1024, 768);
    spec.window.colour[0] = spec.window.colour[1] = spec.window.colour[2] = 0.0f;
    spec.window.colour[3] = 0.5f;
    return spec;
}

int AddMenuLayouts(CPackageWriter& layouts) {
    bool ok = layouts.Add("PLAY_CONFIG.DUI", BuildLayout(OptionsLayout()), false) != 0;
    ok = ok && layouts.Add("PLAY_MENU.DUI", BuildLayout(GameMenuLayout()), false) != 0;
    ok = ok && layouts.Add("PLAY_PLAYER_RANK.DUI", BuildLayout(PlayerRankLayout()), false) != 0;
    ok = ok && layouts.Add("UI_PLAY_REPLAY.DUI", BuildLayout(ReplayControlLayout()), false) != 0;
    ok = ok && layouts.Add("LOBBY_OPTION_BACK.DUI", BuildLayout(LobbyOptionBackLayout()), false) != 0;
    return ok ? 1 : 0;
}
