#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/render/PlacementGrid.h"
#include "engine/render/SharedVertexMesh.h"
#include "engine/render/StaticMesh32.h"
#include "engine/render/TrailBuffer.h"
#include "platform/GfxRecordingDevice.h"

using namespace platform;

namespace {

// One quad as two listed triangles.
void FillQuad(CStaticMesh32& mesh) {
    mesh.Setup(4, 6, 0, 0, 0);
    for (uint32_t i = 0; i < 4; ++i) mesh.Vertices()[i].position = Vec3(static_cast<float>(i), 0, 0);
    const uint16_t idx[6] = {0, 1, 2, 2, 1, 3};
    std::copy(idx, idx + 6, mesh.Indices().begin());
}

}  // namespace

TEST(MeshBuffers, CreatesFilledManagedBuffersOnceAndDrawsThem) {
    CErrorReport report;
    CGfxRecordingDevice device;
    CStaticMesh32 mesh(&device);
    FillQuad(mesh);
    EXPECT_EQ(mesh.Stride(), 32u);
    EXPECT_EQ(mesh.Fvf(), 0x112u);
    EXPECT_EQ(mesh.PrimitiveCount(), 2u);
    ASSERT_EQ(mesh.CreateBuffers(), 1) << report.Text();
    CGfxVertexBuffer* vb = mesh.VertexBuffer();
    ASSERT_NE(vb, nullptr);
    ASSERT_NE(mesh.IndexBuffer(), nullptr);
    EXPECT_EQ(vb->GetLength(), 4u * 32u);
    EXPECT_EQ(mesh.IndexBuffer()->GetLength(), 12u);
    EXPECT_EQ(mesh.IndexBuffer()->GetFormat(), static_cast<uint32_t>(FMT_INDEX16));
    EXPECT_EQ(std::memcmp(vb->Data(), mesh.GetVertices(), 128), 0);
    EXPECT_EQ(std::memcmp(mesh.IndexBuffer()->Data(), mesh.Indices().data(), 12), 0);
    // A second creation leaves the existing buffers alone.
    EXPECT_EQ(mesh.CreateBuffers(), 1);
    EXPECT_EQ(mesh.VertexBuffer(), vb);

    device.ClearLog();
    mesh.Draw();
    mesh.Draw();
    EXPECT_EQ(device.Count("Fvf"), 1u);  // the format reaches the device once
    EXPECT_EQ(device.Count("Draw 4 prims 2 indexed stream stride 32 fvf 274"), 2u);

    mesh.ReleaseBuffers();
    EXPECT_EQ(mesh.VertexBuffer(), nullptr);
    device.ClearLog();
    mesh.Draw();  // no buffers: nothing drawn
    EXPECT_EQ(device.Count("Draw"), 0u);
    ASSERT_EQ(mesh.CreateBuffers(), 1);
    mesh.SetPrimitiveCount(0);
    mesh.Draw();  // no primitives: nothing drawn
    EXPECT_EQ(device.Count("Draw"), 0u);
}

TEST(MeshBuffers, SetupCountsAndFailedCreation) {
    CErrorReport report;
    CGfxRecordingDevice device;
    CTrailBuffer trail(&device);
    trail.Setup(5, 9, 10, 20, FVF_XYZ | FVF_DIFFUSE);
    EXPECT_EQ(trail.IndexCount(), 10u);  // a strip's count wins
    EXPECT_EQ(trail.Vertices().size(), 100u);
    ASSERT_EQ(trail.CreateBuffers(), 1);
    EXPECT_NE(trail.VertexBuffer(), nullptr);
    EXPECT_EQ(trail.IndexBuffer(), nullptr);  // trails draw without indices

    CStaticMesh32 empty(&device);
    empty.Setup(0, 0, 0, 0, 0);
    EXPECT_EQ(empty.CreateBuffers(), 0);
    EXPECT_EQ(report.GetCode(), static_cast<uint32_t>(ERR_DEVICE_CALL));
    EXPECT_NE(report.Text().find("ZEMMesh"), std::string::npos);
    EXPECT_EQ(empty.VertexBuffer(), nullptr);

    CStaticMesh32 cleared(&device);
    FillQuad(cleared);
    ASSERT_EQ(cleared.CreateBuffers(), 1);
    cleared.Clear();
    EXPECT_EQ(cleared.VertexBuffer(), nullptr);
    EXPECT_EQ(cleared.VertexCount(), 0u);
    EXPECT_TRUE(cleared.Indices().empty());
}

TEST(MeshBuffers, SharedVertexMeshDrawsFromTheOwnersStream) {
    CErrorReport report;
    CGfxRecordingDevice device;
    CStaticMesh32 owner(&device);
    FillQuad(owner);
    ASSERT_EQ(owner.CreateBuffers(), 1);
    CSharedVertexMesh part(&device);
    part.Setup(4, 3, 0, 32, kFvfMesh32);
    EXPECT_EQ(part.PrimitiveCount(), 1u);
    part.Indices() = {0, 1, 2};
    ASSERT_EQ(part.CreateBuffers(), 1);
    EXPECT_EQ(part.VertexBuffer(), nullptr);
    device.SetStreamSource(0, owner.VertexBuffer(), 0, 32);
    device.SetFVF(kFvfMesh32);
    part.Draw();
    EXPECT_EQ(device.Count("Draw 4 prims 1 indexed"), 1u);
}

TEST(PlacementGrid, BuildsOneQuadPerUsedCellInRowOrder) {
    CErrorReport report;
    CGfxRecordingDevice device;
    CPlacementGrid grid(&device);
    grid.BuildMesh();
    ASSERT_NE(grid.Mesh(), nullptr);
    EXPECT_EQ(grid.Mesh()->VertexCount(), 0u);
    EXPECT_EQ(grid.Mesh()->IndexCount(), 0u);
    EXPECT_EQ(grid.UsedCount(), 0u);

    grid.At(3, 5) = {1, 2.5f, 0xFF00FF00u};
    grid.At(7, 0) = {1, -1.0f, 0xFFFF0000u};
    grid.At(0, 0) = {0, 9.0f, 0};
    grid.BuildMesh();
    CPlacementGridMesh* mesh = grid.Mesh();
    EXPECT_EQ(grid.UsedCount(), 2u);
    ASSERT_EQ(mesh->VertexCount(), 8u);
    EXPECT_EQ(mesh->Stride(), 24u);
    // Row 0 comes first: cell (7, 0), then (3, 5).
    const PlacementVertex& first = mesh->Vertices()[0];
    EXPECT_EQ(first.position.x, 140.0f);
    EXPECT_EQ(first.position.y, -1.0f);
    EXPECT_EQ(first.position.z, 0.0f);
    const PlacementVertex& last = mesh->Vertices()[7];
    EXPECT_EQ(last.position.x, 80.0f);
    EXPECT_EQ(last.position.z, 120.0f);
    EXPECT_EQ(last.color, 0xFF00FF00u);
    EXPECT_EQ(last.u, 1.0f);
    EXPECT_EQ(last.v, 1.0f);
    EXPECT_EQ(mesh->Vertices()[5].u, 1.0f);
    EXPECT_EQ(mesh->Vertices()[5].v, 0.0f);
    std::vector<uint16_t> expect = {0, 2, 1, 1, 2, 3, 4, 6, 5, 5, 6, 7};
    EXPECT_EQ(mesh->Indices(), expect);
    EXPECT_EQ(grid.IndexCopy(), expect);
    EXPECT_NE(mesh->VertexBuffer(), nullptr);
}
