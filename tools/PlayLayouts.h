// The play screen's own layouts and music in the sample folder: the help
// window's layout, the guardians' theme and the music of each race.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

LayoutFileSpec PlayHelpLayout();

// "PLAY_HELP.DUI".
int AddPlayLayouts(CPackageWriter& layouts);
// "TUTELARIES.OGG" and the races' music into the texture package.
int AddPlayMusic(CPackageWriter& textures);
