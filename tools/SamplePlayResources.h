// The play resources of the sample game folder: the HUD and marker textures,
// the level, race, class and disabled-state icons, the pinned panel textures,
// the level-up, aura and water-footprint effects, the click-marker models, the
// sounds and the six name lists. Small solid pictures and short tones: enough
// for every member to load and show; the ground marker is a ring.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CPackageWriter;

// The names of the six text lists, in load order, with their sample lines.
struct SampleTextList {
    const char* name;
    std::vector<std::string> lines;
};
std::vector<SampleTextList> SamplePlayTextLists();

// The textures, effects, models and sounds; the text lists go to textLists
// (stored without a digest, as every text file).
int AddSamplePlayResources(CPackageWriter& package, CPackageWriter& textLists);

// A ring of one colour on a clear ground, side x side texels (0xAARRGGBB, top
// row first), whose clear texels carry the ring's colour so that filtering
// leaves no dark fringe: the ground marker's picture.
std::vector<uint32_t> RingPicture(uint32_t side, uint32_t argb);
