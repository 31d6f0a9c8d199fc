#include "world/MapLayerMesh.h"

#include "engine/render/DeviceStates.h"
#include "engine/render/MeshResource.h"
#include "engine/render/ModelResource.h"
#include "engine/resource/TextureResource.h"

using namespace platform;

void CMapLayerMesh::Draw(CPlacementGridMesh& mesh, const Matrix& world) {
    CGfxDevice* device = mesh.Device();
    if (!device || !mesh.VertexBuffer() || !mesh.IndexBuffer() || mesh.PrimitiveCount() == 0) return;
    device->SetTransform(TS_WORLD, &world);
    device->SetStreamSource(0, mesh.VertexBuffer(), 0, sizeof(PlacementVertex));
    SetFvfCached(*device, kFvf);
    mesh.DrawIndexed();
}

void CMapMeshObject::Set(const Vec3& p, int32_t v, CModelResource* m, float sx, float sz, float h) {
    position = p;
    value = v;
    model = m;
    scaleX = sx;
    scaleZ = sz;
    height = h;
    world = MatrixScaling(scaleX, 1.0f, scaleZ) * MatrixTranslation(p.x, p.y, p.z);
}

void CMapMeshObject::SetPosition(const Vec3& p) {
    position = {p.x, height, p.z};
    world.m[3][0] = position.x;
    world.m[3][1] = position.y;
    world.m[3][2] = position.z;
}

void CMapMeshObject::Draw(CGfxDevice& device) {
    CMeshResource* mesh = model ? model->Mesh() : nullptr;
    if (!mesh || !texture) return;
    device.SetMaterial(&material.Get());
    SetTextureCached(device, 0, texture->Texture());
    device.SetTransform(TS_WORLD, &world);
    for (uint32_t part = 0; part < mesh->PartCount(); ++part) mesh->DrawPart(part, nullptr, nullptr, 0);
}
