// The sample game folder's tutorial script ("TUTORIAL.DAT"): two missions on
// a map with the areas "Team1" and "Team2" and the UNIT record "Creep".
#pragma once

#include <string>

std::string SampleTutorialScript(const std::string& mapFile);
