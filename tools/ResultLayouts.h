// The end-of-match windows of the sample folder: the result table
// ("RESULT.DUI"), the two image boxes ("IMAGE_BOX.DUI", "IMAGE_BOX_2.DUI"),
// the reward pictures and the result music.
#pragma once

#include "tools/LayoutWriter.h"

class CPackageWriter;

// The picture grid of the image boxes' image statics (columns x rows).
constexpr uint32_t kImageBoxGridColumns = 4, kImageBoxGridRows = 4;

LayoutFileSpec ImageBoxLayout();
LayoutFileSpec ImageBox2Layout();
// 1024 x 768: the caption statics, OK, twelve rows of thirteen controls and the two time texts.
LayoutFileSpec ResultLayout();

// "RESULT.DUI", "IMAGE_BOX.DUI" and "IMAGE_BOX_2.DUI".
int AddResultLayouts(CPackageWriter& layouts);
// "GOLDRANDOM.DDS", "SILVERRANDOM.DDS", "BGM-RESULT-WIN.OGG" and "BGM-RESULT-LOSE.OGG".
int AddResultMedia(CPackageWriter& textures);
