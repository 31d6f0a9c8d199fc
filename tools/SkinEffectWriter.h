// "ZEMSKIN.FXO", the skinning effect the shader set loads, written in the
// render device's effect format: technique "SkinShader" blends up to four
// bone influences from a palette of 45 matrices and lights the result by one
// directional light when "bLightEnable" is set (else MaterialDiffuse alone).
#pragma once

#include <cstdint>
#include <vector>

std::vector<uint8_t> SkinEffectFile();
