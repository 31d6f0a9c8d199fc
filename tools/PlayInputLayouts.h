// The layouts of the play screen's input windows in the sample folder: the
// unit label and the unit information window.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

LayoutFileSpec UnitTooltipLayout();
LayoutFileSpec UnitInfoLayout();

// "PLAY_UNITID.DUI" and "PLAY_UNITINFO.DUI".
int AddPlayInputLayouts(CPackageWriter& layouts);
