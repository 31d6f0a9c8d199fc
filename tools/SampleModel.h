// The small animated model of the sample game folder: a skinned, textured
// column of two bones that bends over a two-second clip.
//   SAMPLE.DRC  the model (mesh, animation, the actions "STAND" and "SWING" over the
//               whole clip; the swing leaves a ribbon trail from its twenty samples)
//   SAMPLE.DRM  one skinned part "BODY" (2 x 4 quads, 2 x 4 units) with texture slot 0,
//               and the ribbon frames "RIBBON_01" and "RIBBON_02"
//   SAMPLE.DRA  tracks "Bip01" and its child "Bip01 Spine1", 3 keys over 2 seconds
//   SAMPLE.DDS  its 64 x 64 texture
#pragma once

class CPackageWriter;

void AddSampleModel(CPackageWriter& package);
