// The sample game folder in a temp folder with its data loaded headless (see
// CHeadlessGameData), for the link tests of the game data.
#pragma once

#include "tests/fixtures/TempFolder.h"
#include "tools/HeadlessGameData.h"
#include "tools/SampleGameFolder.h"

// Written before the data on it is opened.
struct WrittenSampleFolder {
    WrittenSampleFolder() : made(MakeSampleGameFolder(tmp.path()) != 0) {}
    TempFolder tmp;
    bool made = false;
};

struct GameDataFolder : WrittenSampleFolder, CHeadlessGameData {
    GameDataFolder() : CHeadlessGameData(tmp.path()) {}
};
