// The map's water: per terrain patch a flag and, where it is set, a water
// block of 8 x 8 cells with a flag and a water height each, and the animated
// frame textures the water is drawn with. One water layer exists at a time;
// the process-wide pointer names it.
//
// Map section: one u32 per terrain patch in patch order (index = z x across
// + x), then the water block (768 bytes, CPlacementBlock) of every flagged
// patch in the same order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "world/PlacementBlock.h"

class CFileStream;
class CTerrainEngine;
class CTextureResource;

class CMapWater {
public:
    static constexpr float kNoWater = -100.0f;

    CMapWater();
    virtual ~CMapWater();
    CMapWater(const CMapWater&) = delete;
    CMapWater& operator=(const CMapWater&) = delete;

    // Reads (after clearing) or writes the section for a terrain's patches by
    // the stream's mode; a block that fails ends it with 0.
    int Serialize(CFileStream& stream, const CTerrainEngine& terrain, platform::CGfxDevice* device);
    void ClearBlocks();
    // Frames "format % i" for i below count, each period / count seconds.
    int CreateFrames(int32_t count, float period, const char* format);
    void ReleaseFrames();
    int RestoreDeviceObjects();
    void InvalidateDeviceObjects();
    void Render(platform::CGfxDevice& device, float elapsed);
    bool IsWaterAt(const platform::Vec3& point) const;
    float GetWaterHeight(const platform::Vec3& point) const;

    // A patch's block, made when missing (the map writer's water cells).
    CPlacementBlock* Block(int32_t patch, bool create);
    const std::vector<std::unique_ptr<CPlacementBlock>>& Blocks() const { return m_blocks; }
    // The blocks by patch index (null without water), as the overlay fit reads them.
    std::vector<CPlacementBlock*> BlockList() const;
    const std::vector<CTextureResource*>& Frames() const { return m_frames; }
    int32_t CurrentFrame() const { return m_frame; }
    float runningTime() const { return m_time; }
    // Sizes the flags for a terrain (the writer; reading does it itself).
    void SetTerrainSize(int32_t across, int32_t count);

private:
    const CPlacementGrid::Cell* CellAt(const platform::Vec3& point) const;

    std::vector<CTextureResource*> m_frames;
    float m_frameTime = 0, m_period = 0, m_time = 0;
    int32_t m_frame = 0;
    int32_t m_across = 0;
    std::vector<uint32_t> m_flags;
    std::vector<std::unique_ptr<CPlacementBlock>> m_blocks;
};

// Null while no water layer exists.
extern CMapWater* g_pMapWater;
