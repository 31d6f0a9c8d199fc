// The walk grid as the engine sees it: one word per cell, row-major
// (index = width * z + x), with its size and the world units per cell. Bit 4
// of a word means occupied and bits 5-27 count the further occupants (the
// game objects' footprints); bits 28 and above are the grid's own flags.
// The path searches that read the grid are the world's.
#pragma once

#include <cstdint>

class CPathFinder {
public:
    uint32_t* cells = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    float cellSize = 0;
};

extern CPathFinder* g_pPathFinder;
