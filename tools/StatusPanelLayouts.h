// The play screen's column of hero portraits in the sample folder:
// "PLAY_PLAYER_LIST.DUI" with its twelve ally rows and six enemy rows, and
// the cover drawn over the face of a player who left.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

LayoutFileSpec StatusPanelLayout();
// "PLAY_PLAYER_LIST.DUI".
int AddStatusPanelLayouts(CPackageWriter& layouts);
// "PLAY_STATUS_COVER.DDS".
int AddStatusPanelTextures(CPackageWriter& textures);
