// The sample game folder's map: 2 x 2 patches with hills, a blocked ridge
// with a gap (its corners become way-points), the start areas "Team1" and
// "Team2", water on one patch, one blend layer in its side file, and the
// water frames and minimap hero icon that play needs beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/MapWriter.h"

class CPackageWriter;

constexpr const char* kSampleMap = "VALLEY.DRM";
constexpr const char* kSampleMapSide = "VALLEY.DRT";
constexpr const char* kSampleMinimapIcon = "MINIMAP_HERO.DDS";
// The picture the loading screen shows while the map loads, one colour all over.
constexpr const char* kSampleMapLoadingPicture = "VALLEY_LOADING.DDS";
constexpr uint32_t kSampleMapLoadingColour = 0xFF2060C0u;
constexpr int kSampleWaterFrames = 45;
// The lords appear at this game time at their altars, the towers of these
// ids (the Light's lord's first).
constexpr float kSampleLordTime = 150.0f;
constexpr int32_t kLordAltarIds[2] = {60, 61};

MapDescription SampleMapDescription();
// The map, its side file, the ground texture, the 45 "WATER%02d.DDS" frames and the minimap hero icon.
bool AddSampleMap(CPackageWriter& package);
