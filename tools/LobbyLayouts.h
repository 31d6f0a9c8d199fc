// The lobby's layouts with every control its windows bind: the lobby window
// ("LOBBY2.DUI"). Used by the lobby tests and the sample game folder.
#pragma once

#include "tools/LayoutWriter.h"

LayoutFileSpec LobbyLayout();
