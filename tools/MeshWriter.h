// Writes mesh files exactly as CMeshResource reads them, and builds the small
// shapes that tests, benchmarks and the sample game folder draw.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/MeshResource.h"

struct MeshFile {
    float version = CMeshResource::kVersion;
    platform::Vec3 boundsMin{-1, -1, -1}, boundsMax{1, 1, 1};
    uint32_t twoSided = 0;
    uint32_t alwaysBlend = 0;
    std::vector<std::string> textures;
    std::vector<MeshFilePart> parts;
};

std::vector<uint8_t> WriteMeshFile(const MeshFile& file);

// A rigid part: a grid of columns x rows quads in the x/y plane, one unit
// each, as a triangle list.
MeshFilePart MakeGridPart(const std::string& name, uint32_t columns, uint32_t rows);
// The same grid as a skinned part: each vertex follows bone 0 and bone 1 of
// the palette with weights going from bone 0 at the bottom to bone 1 at the
// top (influences count influences, 1 to 4, the rest split evenly).
MeshFilePart MakeSkinnedGridPart(const std::string& name, uint32_t columns, uint32_t rows, uint32_t influences,
                                 const std::vector<uint32_t>& palette);
