// Two small drawables of the map: a layer mesh (coloured, textured vertices
// of 24 bytes, format 0x142, under a world matrix) and a flat mesh object (a
// model's mesh scaled in x and z, standing at a fixed height).
#pragma once

#include <cstdint>

#include "engine/render/Material.h"
#include "engine/render/PlacementGrid.h"

class CModelResource;
class CTextureResource;

class CMapLayerMesh {
public:
    static constexpr uint32_t kFvf = platform::FVF_XYZ | platform::FVF_DIFFUSE | platform::FVF_TEX1;

    explicit CMapLayerMesh(platform::CGfxDevice* device) : m_mesh(device) {}
    CPlacementGridMesh& Mesh() { return m_mesh; }
    // World transform, stream 0 of stride 24, the format when the device holds another, one indexed list.
    void Render() { Draw(m_mesh, world); }
    // What Render does, for any placement-grid mesh under a world matrix.
    static void Draw(CPlacementGridMesh& mesh, const platform::Matrix& world);

    platform::Matrix world = platform::Matrix::Identity();

private:
    CPlacementGridMesh m_mesh;
};

class CMapMeshObject {
public:
    void Set(const platform::Vec3& position, int32_t value, CModelResource* model, float scaleX, float scaleZ,
             float height);
    // x and z of the position at the object's own height.
    void SetPosition(const platform::Vec3& position);
    // The model's mesh with the object's material and texture; nothing without either.
    void Draw(platform::CGfxDevice& device);

    platform::Vec3 position;
    float height = 0;
    float scaleX = 1, scaleZ = 1;
    int32_t value = 0;
    CModelResource* model = nullptr;
    CTextureResource* texture = nullptr;
    CMaterial material;
    platform::Matrix world = platform::Matrix::Identity();
};
