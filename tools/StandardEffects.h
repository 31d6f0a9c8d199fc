// The two effect files the engine loads: "ZEMSKIN.FXO" (skinning and lighting
// of animated models) and "ZEMGAUSS.FXO" (the glow post effect), with the
// parameter and technique names the engine sets.
#pragma once

#include <cstdint>
#include <vector>

// Technique "SkinShader"; parameters mView, mProj, lightDir, mWorld, mInvWorld,
// MaterialDiffuse, MaterialAmbient, DayNightAmbient, mWorldMatrixArray (45
// bone matrices, already in world space), bLightEnable. Vertices of the 64-byte
// skinned format: position, normal, texture set 0, weights in set 1, palette
// indices in set 2. The texture is the device's stage 0.
std::vector<uint8_t> SkinEffectFile();

// Techniques LUMINANCE, GAUSSX, GAUSSY, BLIT over a quad of float2 positions
// (-1..1); parameters NormalTex, SmallTex, vPixelSize, vOffsetX and vOffsetY
// (7 float2 each, as 14 floats), vWeight (7 float4).
std::vector<uint8_t> GaussEffectFile();
