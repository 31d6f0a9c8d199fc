// The walk grid as the engine sees it: one word per cell, row-major
// (index = width * z + x), with its size and the world units per cell. Bit 4
// of a word means occupied and bits 5-27 count the further occupants (the
// game objects' footprints); bits 28 and above are the grid's own flags.
// The world's walk grid owns the words and publishes this view while a map is
// loaded; the path searches that read the grid are the world's.
#pragma once

#include <cstdint>

class CWalkGridView {
public:
    uint32_t* cells = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    float cellSize = 0;
};

// Null while no map's grid exists.
extern CWalkGridView* g_pWalkGridView;
