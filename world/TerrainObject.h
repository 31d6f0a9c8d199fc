// One 160 x 160 terrain patch: a 9 x 9 vertex grid at 20-unit spacing (8 x 8
// quads, 128 triangles over the terrain's shared index list), placed by a
// translation to its lower corner. It answers the ground height and ray picks
// under it, keeps its texture layers (an index mesh and a 64 x 64 blend map
// per layer after the base one), a fog overlay raised over the map's
// placement blocks, and draws itself in the terrain's passes.
//
// Map record (the terrain section, one per patch): the 8 corners of the
// bounding box (8 x 3 floats), then the 81 vertices as position and normal
// (6 floats each), row by row along z, column along x: 1,944 bytes.
// Side record (the ".DRT" file, one per patch): for every layer after the
// first, a u32 present flag and, when it is not 0, 64 x 64 texels of 4 bytes
// (A8R8G8B8, top row first): the layer's blend map.
//
// A shared patch keeps no position-and-normal vertices and no layer meshes of
// its own: it is drawn from its draw mesh (RenderPass2, DrawTextured).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/render/SceneObject.h"
#include "engine/render/StaticMesh32.h"
#include "world/GroundMesh.h"

class CFileStream;
class CPlacementBlock;
class CTextureResource;

// A mesh of indices only: its vertices come from a buffer its owner binds.
class CTerrainIndexMesh : public CZEMMesh {
public:
    using CZEMMesh::CZEMMesh;
    void SetupIndices(const uint16_t* indices, uint32_t vertexCount, uint32_t indexCount);
    int Restore();
    const void* GetVertices() const override { return nullptr; }
};

class CTerrainObject : public CSceneObject {
public:
    static constexpr int kSide = 9;
    static constexpr int kVertexCount = 81;
    static constexpr int kIndexCount = 384;
    static constexpr float kPatchSize = 160.0f;
    static constexpr float kCellSize = 20.0f;
    static constexpr int kBlendSide = 64;
    static constexpr uint32_t kBlendBytes = kBlendSide * kBlendSide * 4;
    static constexpr uint32_t kRecordBytes = 8 * 12 + kVertexCount * 24;
    static constexpr float kOverlayLift = 3.0f;

    // Neighbour slots of FitOverlayToBlocks; -1 where there is none.
    enum Neighbour { N_PLUS_Z, N_MINUS_Z, N_MINUS_X, N_PLUS_X, N_PZ_MX, N_PZ_PX, N_MZ_MX, N_MZ_PX, N_COUNT };

    explicit CTerrainObject(platform::CGfxDevice* device = nullptr);
    ~CTerrainObject() override;

    void Build(uint32_t shared, uint32_t collision, const platform::Vec3& corner, const uint16_t* indices,
               const std::vector<CTextureResource*>* layerTextures, CTextureResource* texture);
    // The ground height at a world point over the patch (cells clamped to the patch).
    float GetHeight(const platform::Vec3& point, int useCollision) const;
    MeshVertex32 GetDrawVertex(int row, int column) const;
    // Sets a vertex (patch space) wherever the patch keeps it (the map writer's heights).
    void SetVertex(int index, const platform::Vec3& position, const platform::Vec3& normal);
    // The map record by the stream's mode; 0 on a short read.
    int Serialize(CFileStream& stream);
    // The side record (blend maps of layers 1..layerCount-1) by the stream's mode.
    int SerializeSide(CFileStream& stream, uint32_t layerCount);
    void AddLayerSlot();
    // A layer's 64 x 64 blend map (kBlendBytes texels), as the side record holds it.
    void SetBlendMap(size_t n, std::vector<uint8_t> texels);
    void ReleaseLayer(uint32_t n);
    int CountPrimitives() override;
    // First hit of a ray on the patch's triangles: distance along the
    // normalised direction and the point.
    bool Pick(const platform::Vec3& origin, const platform::Vec3& direction, float* distance,
              platform::Vec3* hit) const;
    void FitOverlayToBlocks(int32_t selfIndex, const int32_t neighbours[N_COUNT],
                            const std::vector<CPlacementBlock*>& blocks);
    // Refills the overlay buffer (when there is one) from the overlay positions.
    void RefillOverlay();
    int RestoreDeviceObjects();
    void InvalidateDeviceObjects();
    void Render() override;
    void RenderPass2();
    void DrawTextured();
    void DrawOverlay();
    void Free();

    // A vertex's position in patch space, from the source GetHeight reads.
    platform::Vec3 VertexPosition(int index, int useCollision) const;
    platform::Vec3 VertexNormal(int index) const;
    const platform::Vec3& OverlayPosition(int index) const { return m_overlay[static_cast<size_t>(index)]; }
    size_t LayerSlots() const { return m_layerMeshes.size(); }
    bool HasLayerMesh(size_t n) const { return n < m_layerMeshes.size() && m_layerMeshes[n]; }
    bool HasBlendMap(size_t n) const { return n < m_blendData.size() && !m_blendData[n].empty(); }
    uint32_t IsShared() const { return m_shared; }
    CTextureResource* PatchTexture() const { return m_texture; }
    // The baked texture DrawTextured applies (the patch holds the reference).
    void SetPatchTexture(CTextureResource* texture);
    const platform::Vec3* Box() const { return m_box; }

private:
    struct PositionNormal {
        platform::Vec3 position;
        platform::Vec3 normal;
    };
    void SetBox(const platform::Vec3 corners[8]);
    bool HasCollision() const { return m_collision || !m_shared; }
    int CreateBuffer(platform::CGfxVertexBuffer** buffer, const void* data, uint32_t bytes, uint32_t fvf, int line);
    bool DrawReady() const;

    platform::CGfxDevice* m_device;
    std::vector<std::unique_ptr<CTerrainIndexMesh>> m_layerMeshes;
    CStaticMesh32 m_drawMesh;
    CTerrainIndexMesh m_overlayMesh;
    std::unique_ptr<CTerrainIndexMesh> m_collisionMesh;
    std::vector<platform::CGfxTexture*> m_blendMaps;
    std::vector<std::vector<uint8_t>> m_blendData;
    const std::vector<CTextureResource*>* m_layerTextures = nullptr;
    CTextureResource* m_texture = nullptr;
    std::vector<PositionNormal> m_vertices;
    std::vector<platform::Vec3> m_overlay;
    std::vector<platform::Vec3> m_collisionPositions;
    const uint16_t* m_indices = nullptr;
    uint32_t m_vertexCount = 0;
    uint32_t m_shared = 0, m_collision = 0;
    platform::CGfxVertexBuffer* m_vertexBuffer = nullptr;
    platform::CGfxVertexBuffer* m_overlayBuffer = nullptr;
    platform::CGfxVertexBuffer* m_collisionBuffer = nullptr;
    platform::Vec3 m_box[8];
};
