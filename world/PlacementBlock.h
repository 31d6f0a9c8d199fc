// One terrain patch's block of 8 x 8 placement cells of 20 units, stored in the
// map file as 64 records of 12 bytes (used flag, height, colour), record
// 8 x (cell x) + (cell z), no header: 768 bytes. The map keeps one per
// watered patch; the used cells are water at their height, drawn as the
// placement grid's mesh translated to the patch's corner.
#pragma once

#include <cstdint>

#include "engine/render/PlacementGrid.h"

class CFileStream;
class CSceneObject;

class CPlacementBlock {
public:
    static constexpr uint32_t kRecordBytes = 12;
    static constexpr uint32_t kBytes = 64 * kRecordBytes;

    explicit CPlacementBlock(platform::CGfxDevice* device = nullptr) : m_grid(device) {}

    // Reads or writes the 64 records by the stream's mode; 0 on a short read.
    int Serialize(CFileStream& stream);

    CPlacementGrid::Cell& At(int cellX, int cellZ) { return m_grid.At(cellX, cellZ); }
    const CPlacementGrid::Cell& At(int cellX, int cellZ) const {
        return const_cast<CPlacementGrid&>(m_grid).At(cellX, cellZ);
    }

    // The patch the block lies on (its corner places the mesh) and whether it is drawn.
    void Link(CSceneObject* patch, int32_t patchX, int32_t patchZ);
    CSceneObject* Patch() const { return m_patch; }
    // Makes the mesh and its buffers anew from the cells; 1 when there is nothing to make.
    int RestoreDeviceObjects();
    void InvalidateDeviceObjects();
    // World transform, FVF 0x142 and one indexed draw of the used cells.
    void Render(platform::CGfxDevice& device);
    const CPlacementGrid& Grid() const { return m_grid; }

private:
    CPlacementGrid m_grid;
    CSceneObject* m_patch = nullptr;
    platform::Matrix m_world = platform::Matrix::Identity();
};
