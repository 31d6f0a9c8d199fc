// The fog of war of a match: one layer of visibility counters per player slot
// (12 layers), each cell 10 x 10 world units. Every seeing object adds its
// sight to its side's layer and takes it back before it moves or when it
// stops seeing; a cell is visible to a layer while at least one source lights
// it. Sight is a plain disc or a disc cut by line of sight over the ground
// heights (recursive shadow casting in eight octants). The terrain turns the
// shared layers into alpha textures: the whole-grid sight texture the minimap
// draws and a region of the grid for the view.
//
// Cell values: -1 never seen, 0 seen before but not now, n >= 1 lit by n
// sources. Fog alpha: 0 visible, 180 explored, 255 never seen. Texel rows run
// from cell z 0 at the top.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/GfxDevice.h"
#include "platform/Math.h"

// What one seeing object keeps of its last AddSight, so that RemoveSight takes
// back exactly what was given.
struct SightSource {
    std::vector<uint8_t> lit;  // cells lit by the last line-of-sight cast, (2r+1) x (2r+1)
    platform::Vec3 position;
    float range = 0;
    int32_t layer = -1;
    int32_t mode = 0;
    bool added = false;
};

class CSightGrid {
public:
    static constexpr int32_t kLayerCount = 12;
    // Stencils exist up to this radius in cells (400 world units); larger ranges are clamped.
    static constexpr int32_t kMaxRadius = 40;
    // The map loader's limit: 64 patches of 16 cells a side.
    static constexpr int32_t kMaxSide = 1024;
    enum Mode : int32_t { MODE_LINE_OF_SIGHT = 0, MODE_DISC = 1 };
    // A cell hides what lies behind it when its ground stands this far above the eye.
    static constexpr float kEyeClearance = 19.9f;
    // Fog alpha moves this much per second of frame time with smooth fading.
    static constexpr float kFadePerSecond = 360.0f;

    CSightGrid() = default;
    virtual ~CSightGrid();
    CSightGrid(const CSightGrid&) = delete;
    CSightGrid& operator=(const CSightGrid&) = delete;

    // Sizes the grid from the terrain's tile counts (tileSize 20, divisor 8:
    // 10-unit cells) and opens the local side's layer as shared. 0 with the
    // error report for sizes past the map limit or a divisor outside 1..16.
    int Setup(int32_t zTiles, int32_t xTiles, float tileSize, int32_t cellsPerTileDivisor, uint32_t smoothFade,
              int32_t current);
    void OpenLayer(int32_t layer, uint32_t shared);
    void Free();

    // Value of the cell under a position (-1 = the current layer), -2 outside the grid or for a closed layer.
    int32_t GetCell(const platform::Vec3& position, int32_t layer) const;
    // 1 when a cell of the square around the position is lit, else the highest value met (-2 when none).
    int32_t AnySeen(int32_t layer, const platform::Vec3& position, float radius, uint32_t anyShared) const;
    // Layer 0..11 (anything else does nothing); mode 0 line of sight, 1 plain disc.
    void AddSight(SightSource* source, const platform::Vec3& position, float range, int32_t layer, int32_t mode);
    // Takes back the source's last AddSight. The source keeps what it added
    // (position, range, layer, mode), which decides; the arguments are the
    // caller's copy of the same and are not trusted over it.
    void RemoveSight(SightSource* source, const platform::Vec3& position, float range, int32_t layer, int32_t mode);

    void SetSmoothFade(uint32_t flag);
    // Draw from every shared layer at once, without fading.
    void SetAllLayers(uint32_t flag) { m_allLayers = flag; }
    // The ground height and the four quarter heights of a cell; the highest blocks sight.
    void SetHeights(int32_t cellZ, int32_t cellX, float ground, const float quarters[4]);

    // The whole-grid sight texture: xTiles / 8 x 8 by zTiles / 8 x 8 texels
    // (one per 2 x 2 cells, the most visible of them), centred in a square.
    int CreateTexture(platform::CGfxDevice* device, int32_t xTiles, int32_t zTiles);
    // Recomputes the fog from the shared layers and steps the fade by the frame time.
    void UpdateFog(float frameTime);
    // UpdateFog, then writes the sight texture.
    int UpdateTexture(float frameTime);
    // Writes a texture (the view's fog, 128 x 128) with one texel per cell
    // from the cell origin on; cells outside the grid are unexplored.
    int WriteRegion(platform::CGfxTexture* texture, int32_t cellZ, int32_t cellX) const;
    platform::CGfxTexture* texture() const { return m_texture; }
    // Writes the whole-grid sight texture from the fog as it stands (no fade step).
    int RefreshTexture() const;
    // The part of the whole-grid texture the grid covers, as texture
    // coordinates; false before the texture exists.
    bool TextureArea(float* u0, float* v0, float* u1, float* v1) const;

    int32_t sizeZ() const { return m_sizeZ; }
    int32_t sizeX() const { return m_sizeX; }
    float cellSize() const { return m_cellSize; }
    int32_t current() const { return m_current; }
    bool IsLayerActive(int32_t layer) const { return layer >= 0 && layer < kLayerCount && m_layers[layer].active; }
    // Alpha of a cell as it would be drawn now.
    uint8_t FogAlpha(int32_t cellZ, int32_t cellX) const;

private:
    struct Layer {
        uint32_t active = 0;
        uint32_t shared = 0;
        std::vector<int16_t> values;
    };
    // The footprint of one call: the clipped square and where it sits in the unclipped one.
    struct Footprint {
        int32_t cz, cx, r;
        int32_t z0, z1, x0, x1;  // clipped, inclusive
    };

    Footprint MakeFootprint(const platform::Vec3& position, float range) const;
    size_t Index(int32_t z, int32_t x) const { return static_cast<size_t>(z) * static_cast<size_t>(m_sizeX) + x; }
    const uint8_t* Stencil(int32_t r) const { return m_stencils[static_cast<size_t>(r)].data(); }
    int32_t ResolveLayer(int32_t layer) const { return layer == -1 ? m_current : layer; }
    uint8_t TargetAlpha(size_t index) const;
    uint8_t CurrentAlpha(size_t index) const;

    // Line-of-sight casting state.
    struct Cast {
        int16_t* values;
        uint8_t* lit;
        const uint8_t* stencil;
        const Footprint* fp;
        float blockAbove;
    };
    void CastLineOfSight(Cast& cast);
    template <bool kClipped>
    void CastOctant(Cast& cast, int32_t row, float start, float end, int32_t px, int32_t pz, int32_t qx, int32_t qz);
    bool Blocks(const Cast& cast, int32_t z, int32_t x) const { return m_blockHeight[Index(z, x)] > cast.blockAbove; }
    void Light(Cast& cast, int32_t z, int32_t x);
    // One more source on every cell of the footprint whose mark is set.
    void AddToCells(int16_t* values, const uint8_t* marks, const Footprint& fp);
    int WriteTexels(platform::CGfxTexture* texture, int32_t originZ, int32_t originX, int32_t cellsPerTexel,
                    int32_t marginZ, int32_t marginX, int32_t texelsZ, int32_t texelsX) const;

    Layer m_layers[kLayerCount];
    int32_t m_current = 0;
    int32_t m_sizeZ = 0, m_sizeX = 0;
    float m_cellSize = 0;
    uint32_t m_smoothFade = 0, m_allLayers = 0;
    std::vector<uint8_t> m_fogTarget, m_fogShown;
    std::vector<float> m_blockHeight;
    // The highest cell of every 8 x 8 block: most casts see no blocking cell
    // at all and light the plain disc.
    static constexpr int32_t kBlock = 8;
    std::vector<float> m_blockMax;
    int32_t m_blocksX = 0;
    std::vector<std::vector<uint8_t>> m_stencils;  // radius 0..40
    std::vector<float> m_slopeLow, m_slopeHigh;    // by row and column of an octant
    platform::CGfxTexture* m_texture = nullptr;
    int32_t m_textureSide = 0, m_marginZ = 0, m_marginX = 0, m_texelsZ = 0, m_texelsX = 0;
};
