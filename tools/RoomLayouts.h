// The waiting room's and hero select's layouts with every control their
// windows bind, and the sample folder's files for them: textures, the
// guardian-time list and the music.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

LayoutFileSpec WaitRoomLayout();
LayoutFileSpec HeroSelectLayout();

// "WAITROOM.DUI" and "SELECT_HERO.DUI".
int AddRoomLayouts(CPackageWriter& layouts);
// The room's and hero select's textures and music into the texture package,
// "GUARDIANTIME.DAT" into the information package.
int AddRoomMedia(CPackageWriter& textures, CPackageWriter& info);
// The guardian-time choices the sample room offers.
std::vector<std::string> SampleGuardianTimes();
