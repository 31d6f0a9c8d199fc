// The layouts of the play screen's HUD strips for the sample game folder:
// the top bar ("PLAY_UPPER.DUI"), with every control the panel binds.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

LayoutFileSpec TopBarLayout();
int AddHudLayouts(CPackageWriter& layouts);
