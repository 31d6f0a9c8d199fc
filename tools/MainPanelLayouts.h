// The play screen's bottom bar in the sample folder: "PLAY_MAIN.DUI" with
// every control the main panel binds, and its key-number textures.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

LayoutFileSpec MainPanelLayout();
// "PLAY_MAIN.DUI".
int AddMainPanelLayouts(CPackageWriter& layouts);
// "KEYNUM1.DDS" (5 cells) and "KEYNUM2.DDS" (8 cells).
int AddMainPanelTextures(CPackageWriter& textures);
