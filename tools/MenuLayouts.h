// The match's menu windows of the sample folder: the options
// ("PLAY_CONFIG.DUI"), the game menu ("PLAY_MENU.DUI"), the players' board
// ("PLAY_PLAYER_RANK.DUI"), a replay's control bar ("UI_PLAY_REPLAY.DUI") and
// the lobby's backdrop of the options ("LOBBY_OPTION_BACK.DUI").
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

// Seven sliders, the three pairs of check buttons, close and default.
LayoutFileSpec OptionsLayout();
// 322 x 414, so that centring it on 1024 x 768 puts it at (351, 177).
LayoutFileSpec GameMenuLayout();
// The title and the three columns.
LayoutFileSpec PlayerRankLayout();
// Six buttons, the time and speed texts, the gauge and the player list.
LayoutFileSpec ReplayControlLayout();
// The dim backdrop behind the options in the lobby (1024 x 768).
LayoutFileSpec LobbyOptionBackLayout();

// The layouts above.
int AddMenuLayouts(CPackageWriter& layouts);
