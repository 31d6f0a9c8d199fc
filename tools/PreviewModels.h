// The models of the lobby's hero previews in the sample game folder:
//   CHA_SELECT_RANDOM.DRC  the figure of a random pick: the sample model's
//                          column, two-sided ("CHA_SELECT_RANDOM.DRM"), its
//                          animation and the actions "IDLE", "POSE",
//                          "SWING" and "TURN" (0-3)
//   UI_CHA_SELECT_H_BG.DRC and UI_CHA_SELECT_V_BG.DRC  the backdrops of the
//                          two sides: a two-sided wall of 100 x 100 units
//                          standing on y = -40, each with its own colour
//                          ("BACKDROP_H.DDS", "BACKDROP_V.DDS")
// The colours are dark and blue so that the green sample figure stands out
// from them in a picture.
#pragma once

#include <cstdint>

class CPackageWriter;

constexpr uint32_t kPreviewBackdropH = 0xFF182848u;
constexpr uint32_t kPreviewBackdropV = 0xFF201838u;

void AddPreviewModels(CPackageWriter& package);
