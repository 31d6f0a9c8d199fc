// The ground of a match: a grid of 160-unit terrain patches, row by row
// (index = z x across + x), with the texture layers, the walk grid (the path
// finder, 5-unit cells) and the sight grid (10-unit cells), height and ray
// questions, the decals that follow the world objects and the ground marker
// of aimed area skills, and the projected passes of decals and the fog of war. One engine exists at a time; the
// process-wide pointer names it.
//
// Map section "TerrainEngine" (read and written by LoadSection):
//   u32 patches across (1..64), u32 patches deep (1..64), u32 patch parameter
//   (non-zero: shared patches),
//   game form:   u32 N, N strings: the baked texture of each patch in patch order;
//   editor form: u32 L, L strings: the layer textures (the first the base);
//                u32 N, N strings: as above;
//   one record per patch (CTerrainObject), then the walk grid (CWalkGrid).
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/BlockPool.h"
#include "platform/Math.h"
#include "world/GroundMesh.h"
#include "world/PathFinder.h"
#include "world/SightGrid.h"
#include "world/TerrainObject.h"

class CFileStream;
class CPlacementBlock;
class CSpatialTree;
class CTextureResource;
class CWorldObject;

// A projected decal that follows a world object: its ground mesh is made from
// the patch vertices under its box whenever the object moved.
struct CTerrainDecal {
    platform::Vec3 position;
    CWorldObject* owner = nullptr;
    float width = 0, depth = 0;
    float strength = 0;
    uint32_t flagA = 0, flagB = 0;
    CGroundMesh* mesh = nullptr;
    bool moved = true;
};

class CTerrainEngine {
public:
    static constexpr float kPatchSize = 160.0f;
    static constexpr int32_t kMaxPatches = 64;
    static constexpr int32_t kFogSide = 128;
    static constexpr float kFogRefresh = 0.2f;

    explicit CTerrainEngine(platform::CGfxDevice* device = nullptr);
    virtual ~CTerrainEngine();
    CTerrainEngine(const CTerrainEngine&) = delete;
    CTerrainEngine& operator=(const CTerrainEngine&) = delete;

    void SetDevice(platform::CGfxDevice* device) { m_device = device; }
    platform::CGfxDevice* Device() const { return m_device; }

    // The section by the stream's mode; progress (may be null) advances by span.
    int LoadSection(CFileStream& stream, uint32_t gameForm, std::atomic<float>* progress, float span);
    // 0 with the error report for sizes outside 1..64 or a missing quadtree depth.
    int BuildTree(int32_t across, int32_t deep, uint32_t gameForm, uint32_t patchParameter);
    void LinkPatches();
    // The neighbours of a patch in the order of CTerrainObject::Neighbour (-1 past an edge).
    void Neighbours(int32_t index, int32_t out[CTerrainObject::N_COUNT]) const;
    // The side file's records after its leading u32 (the number of layers they hold).
    int LoadSideRecords(CFileStream& stream, uint32_t layerCount);
    int SaveSideRecords(CFileStream& stream);
    void FitOverlays(const std::vector<CPlacementBlock*>& blocks);
    void AddLayer(CTextureResource* texture, const std::string& name = std::string());
    void RemoveLayer(uint32_t index);
    void Clear();
    int CreateDeviceObjects();
    void InvalidateDeviceObjects();

    // The patch under a point and the height there; null outside the terrain.
    CTerrainObject* GetHeightAt(const platform::Vec3& point, float* height) const;
    // 1 with the first ground point along the ray.
    int PickTerrain(const platform::Vec3& origin, const platform::Vec3& direction, platform::Vec3* hit) const;
    void PlaceOnGround(CSceneObject* object);
    void FillSightHeights(const std::list<CWorldObject*>& objects);
    void ClearSightHeights(CWorldObject* object);
    // Sets the sight grid up for a team and opens the layers of the teams in play.
    int SetupSight(int32_t team, uint32_t gradeFlag, const bool teamInPlay[12]);

    // Decals of a registered object (3 x radius at 1.5 inside, 4 x radius at 0.3 outside).
    CTerrainDecal* AddDecal(CWorldObject* owner, float size, float strength, uint32_t flag);
    void RemoveDecal(CTerrainDecal* decal);
    // A registered object's two decals (its terrain handles): the inner one
    // when it asks for it, the outer one unless it is a building or an item
    // or kind flag 3 is set; and their return when it leaves the world.
    void AddToObjectSets(CWorldObject* object, int addToTerrain);
    void RemoveFromObjectSets(CWorldObject* object);
    const std::list<CTerrainDecal*>& Decals() const { return m_decals; }

    // The ground marker of an aimed area skill: one decal without an owner,
    // with its own picture, that the play screen shows, moves and sizes. It
    // starts hidden; Clear takes it with the other decals. A second create
    // replaces the first. 0 when the pools are exhausted.
    int CreateGroundMarker(CTextureResource* picture, float size, const platform::Vec3& position);
    void RemoveGroundMarker();
    const CTerrainDecal* GroundMarker() const { return m_marker; }
    CTextureResource* GroundMarkerPicture() const { return m_markerPicture; }
    void ShowGroundMarker(bool shown) { m_markerShown = shown; }
    bool GroundMarkerShown() const { return m_marker && m_markerShown; }
    // Both mark the mesh for a rebuild only when the value changes.
    void MoveGroundMarker(const platform::Vec3& position);
    void SizeGroundMarker(float size);

    void RenderTextured();
    void RenderOverlays();
    void RenderProjectedPass(platform::CGfxTexture* texture);
    void RenderProjectedLayer(CTerrainDecal& decal, const platform::Matrix& inverseView);
    // The shown ground marker with its picture, whatever the shadow setting;
    // the device states it changes are put back afterwards.
    void RenderGroundMarker();
    void RenderFogOfWar(float elapsed);
    void ForceFogRefresh() { m_fogForced = 1; }

    int32_t across() const { return m_across; }
    int32_t deep() const { return m_deep; }
    int32_t patchCount() const { return m_count; }
    float worldWidth() const { return m_worldWidth; }
    float worldDepth() const { return m_worldDepth; }
    int32_t cellsAcross() const { return m_cellsAcross; }
    int32_t cellsDeep() const { return m_cellsDeep; }
    uint32_t gameForm() const { return m_gameForm; }
    CTerrainObject* Patch(int32_t index) const {
        return index >= 0 && index < m_count ? m_patches[static_cast<size_t>(index)].get() : nullptr;
    }
    const std::vector<CTextureResource*>& LayerTextures() const { return m_layers; }
    std::vector<std::string>& LayerNames() { return m_layerNames; }
    std::vector<std::string>& PatchTextureNames() { return m_patchTextureNames; }
    CPathFinder& PathFinder() { return m_pathFinder; }
    CSightGrid* SightGrid() const { return m_sight.get(); }
    uint32_t sightReady() const { return m_sightReady; }
    void SetSightReady(uint32_t ready) { m_sightReady = ready; }
    int32_t QuadtreeDepth() const { return m_treeDepth; }
    platform::CGfxTexture* FogTexture() const { return m_fogTexture; }
    uint32_t drawDecals = 0;

private:
    int ReadTextures(CFileStream& stream, std::vector<std::string>& names, bool layers);
    void PushSightCell(int32_t cellZ, int32_t cellX);
    void ObstacleQuarters(CWorldObject* object, float height);
    void RebuildDecalMesh(CTerrainDecal& decal);
    // A decal from the pool with a mesh (a spare one first), in no list.
    CTerrainDecal* NewDecal(CWorldObject* owner, float size, float strength, uint32_t flag);
    // Its mesh emptied into the spares, the decal back to the pool.
    void FreeDecal(CTerrainDecal* decal);

    platform::CGfxDevice* m_device;
    std::vector<std::unique_ptr<CTerrainObject>> m_patches;
    int32_t m_across = 0, m_deep = 0, m_count = 0;
    float m_worldWidth = 0, m_worldDepth = 0;
    int32_t m_cellsAcross = 0, m_cellsDeep = 0;
    uint32_t m_gameForm = 0;
    uint32_t m_patchParameter = 0;
    int32_t m_treeDepth = 0;
    // The quadtree the patches were put into (the process-wide one of the time).
    CSpatialTree* m_tree = nullptr;
    std::vector<uint16_t> m_indices;
    std::list<CTerrainDecal*> m_decals;
    std::deque<CGroundMesh*> m_spareMeshes;
    CBlockPool<CTerrainDecal> m_decalPool{20};
    CBlockPool<CGroundMesh> m_meshPool{200};
    CTerrainDecal* m_marker = nullptr;
    // Borrowed: the play resources hold the picture for longer than any
    // match, and it is read only while the marker draws.
    CTextureResource* m_markerPicture = nullptr;
    bool m_markerShown = false;
    std::vector<CTextureResource*> m_layers;
    std::vector<std::string> m_layerNames;
    std::vector<std::string> m_patchTextureNames;
    CPathFinder m_pathFinder;
    std::unique_ptr<CSightGrid> m_sight;
    uint32_t m_sightReady = 0;
    // Ground and quarter obstacle heights of every sight cell.
    std::vector<float> m_sightGround, m_sightQuarters;
    platform::CGfxTexture* m_fogTexture = nullptr;
    float m_fogTimer = kFogRefresh;
    uint32_t m_fogForced = 0;
};

// Null while no terrain engine exists.
extern CTerrainEngine* g_pTerrainEngine;
