// Terrain patches and the terrain engine: heights, picks, the overlay fit over
// placement blocks, layers and their drawing, device objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/core/FileStream.h"
#include "platform/GfxRecordingDevice.h"
#include "platform/NameHash.h"
#include "world/GroundMesh.h"
#include "world/NamedArea.h"
#include "world/PlacementBlock.h"
#include "world/SpatialTree.h"
#include "world/TerrainEngine.h"

using platform::Vec3;

namespace {

// The engine's shared index list.
std::vector<uint16_t> CellIndices() {
    std::vector<uint16_t> indices;
    for (int c = 0; c < 64; ++c) {
        const uint16_t v = static_cast<uint16_t>(c + c / 8);
        for (uint16_t k : {v, static_cast<uint16_t>(v + 10), static_cast<uint16_t>(v + 1), v,
                           static_cast<uint16_t>(v + 9), static_cast<uint16_t>(v + 10)})
            indices.push_back(k);
    }
    return indices;
}

// Patch-space height of the test slope.
float Slope(float x, float z) { return 0.5f * x + 0.25f * z + 10.0f; }

TEST(TerrainObject, HeightsOnASlopedPatchAndAtItsFarEdge) {
    std::vector<uint16_t> indices = CellIndices();
    for (uint32_t shared : {0u, 1u}) {
        CTerrainObject patch;
        patch.Build(shared, 0, Vec3(160, 0, 320), indices.data(), nullptr, nullptr);
        for (int i = 0; i < 81; ++i) {
            const float x = static_cast<float>(i % 9) * 20, z = static_cast<float>(i / 9) * 20;
            patch.SetVertex(i, Vec3(x, Slope(x, z), z), Vec3(0, 1, 0));
        }
        // Vertices, both triangles of a cell, the far edge and just below it.
        const float points[][2] = {{0, 0}, {20, 40}, {25, 31}, {35, 22}, {160, 160}, {159.99f, 100}, {160, 0}};
        for (const auto& p : points)
            EXPECT_NEAR(patch.GetHeight(Vec3(160 + p[0], 0, 320 + p[1]), 0), Slope(p[0], p[1]), 1e-3)
                << shared << " " << p[0] << " " << p[1];
        // Outside by a rounding hair still reads the edge cell.
        EXPECT_NEAR(patch.GetHeight(Vec3(160 - 0.0001f, 0, 320), 0), Slope(0, 0), 1e-2);
    }
}

TEST(TerrainObject, HeightUsesTheTriangleOfTheAntiDiagonal) {
    std::vector<uint16_t> indices = CellIndices();
    CTerrainObject patch;
    patch.Build(0, 0, Vec3(0, 0, 0), indices.data(), nullptr, nullptr);
    // Raise the (+x, +z) corner of cell 0 only: the lower triangle (v, v+1, v+9) stays flat.
    patch.SetVertex(10, Vec3(20, 20, 20), Vec3(0, 1, 0));
    EXPECT_FLOAT_EQ(patch.GetHeight(Vec3(5, 0, 5), 0), 0.0f);
    EXPECT_FLOAT_EQ(patch.GetHeight(Vec3(15, 0, 15), 0), 10.0f);
}

TEST(TerrainObject, PrimitivesLayersAndGroundMeshCounts) {
    std::vector<uint16_t> indices = CellIndices();
    CTerrainObject patch;
    patch.Build(0, 0, Vec3(), indices.data(), nullptr, nullptr);
    EXPECT_EQ(patch.CountPrimitives(), 256);
    patch.AddLayerSlot();
    EXPECT_EQ(patch.LayerSlots(), 2u);
    EXPECT_EQ(patch.CountPrimitives(), 256);

    CGroundMesh a(nullptr), b(nullptr);
    a.Create(8, 36, 0);
    b.Create(8, 36, 30);
    EXPECT_EQ(a.PrimitiveCount(), 12u);
    EXPECT_EQ(b.IndexCount(), 30u);
    EXPECT_EQ(b.PrimitiveCount(), 10u);
    EXPECT_EQ(a.Stride(), 24u);
    CGroundMesh empty(nullptr);
    EXPECT_EQ(empty.RestoreDeviceObjects(), 1);
}

// A row of W x H patches' placement blocks and the fit of one patch.
struct OverlayFit : ::testing::Test {
    static constexpr int32_t W = 2, H = 2;
    std::vector<uint16_t> indices = CellIndices();
    std::vector<std::unique_ptr<CPlacementBlock>> owned;
    std::vector<CPlacementBlock*> blocks = std::vector<CPlacementBlock*>(W * H, nullptr);
    CTerrainEngine engine;

    void SetCell(int32_t patch, int x, int z, float height) {
        if (!blocks[static_cast<size_t>(patch)]) {
            owned.push_back(std::make_unique<CPlacementBlock>());
            blocks[static_cast<size_t>(patch)] = owned.back().get();
        }
        auto& cell = blocks[static_cast<size_t>(patch)]->At(x, z);
        cell.used = 1;
        cell.height = height;
    }
    float Fit(int32_t patch, int row, int column) {
        engine.FitOverlays(blocks);
        return engine.Patch(patch)->OverlayPosition(row * 9 + column).y;
    }
    void SetUp() override { ASSERT_EQ(engine.BuildTree(W, H, 1, 0), 1); }
};

TEST_F(OverlayFit, NoBlocksKeepsThreeAndLowBlocksChangeNothing) {
    EXPECT_FLOAT_EQ(Fit(0, 4, 4), 3.0f);
    SetCell(0, 3, 3, 2.0f);
    SetCell(0, 4, 4, 2.0f);
    EXPECT_FLOAT_EQ(Fit(0, 4, 4), 3.0f);
}

TEST_F(OverlayFit, AHigherBlockRaisesEveryTouchingVertex) {
    SetCell(0, 3, 3, 5.0f);
    engine.FitOverlays(blocks);
    for (int r : {3, 4})
        for (int c : {3, 4}) EXPECT_FLOAT_EQ(engine.Patch(0)->OverlayPosition(r * 9 + c).y, 8.0f);
    EXPECT_FLOAT_EQ(engine.Patch(0)->OverlayPosition(5 * 9 + 5).y, 3.0f);
}

TEST_F(OverlayFit, EdgesReadTheirNeighbours) {
    // The +x edge of patch 0 takes cell x 0 of patch 1.
    SetCell(1, 0, 2, 6.0f);
    EXPECT_FLOAT_EQ(Fit(0, 2, 8), 9.0f);
    // Patch 1 is on the map's last column: its +x edge has only its own cells.
    EXPECT_FLOAT_EQ(Fit(1, 2, 8), 3.0f);
    // Corner (8, 8) of patch 0 reads the (+z, +x) corner neighbour (patch 3).
    SetCell(3, 0, 0, 7.0f);
    EXPECT_FLOAT_EQ(Fit(0, 8, 8), 10.0f);
    int32_t n[CTerrainObject::N_COUNT];
    engine.Neighbours(0, n);
    EXPECT_EQ(n[CTerrainObject::N_PLUS_Z], 2);
    EXPECT_EQ(n[CTerrainObject::N_MINUS_Z], -1);
    EXPECT_EQ(n[CTerrainObject::N_MINUS_X], -1);
    EXPECT_EQ(n[CTerrainObject::N_PLUS_X], 1);
    EXPECT_EQ(n[CTerrainObject::N_PZ_PX], 3);
    EXPECT_EQ(n[CTerrainObject::N_PZ_MX], -1);
    EXPECT_EQ(n[CTerrainObject::N_MZ_PX], -1);
}

TEST(TerrainObject, RenderSkipsLayersWithoutGeometryAndRestoreMakesOnlyWhatIsMissing) {
    platform::CGfxRecordingDevice device;
    CTerrainEngine engine(&device);
    ASSERT_EQ(engine.BuildTree(1, 1, 0, 0), 1);
    engine.AddLayer(nullptr);
    engine.AddLayer(nullptr);
    // A blend map for layer 2 only: layer 1 has no geometry.
    CFileStream out;
    out.OpenMemoryWrite("side");
    for (uint32_t present : {0u, 1u}) {
        out.WriteU32(present);
        if (present) out.Write(std::vector<uint8_t>(CTerrainObject::kBlendBytes, 0x80).data(), CTerrainObject::kBlendBytes);
    }
    CFileStream in;
    in.OpenMemory(out.Bytes(), "side");
    ASSERT_EQ(engine.LoadSideRecords(in, 3), 1);
    CTerrainObject& patch = *engine.Patch(0);
    EXPECT_FALSE(patch.HasLayerMesh(1));
    EXPECT_TRUE(patch.HasLayerMesh(2));
    ASSERT_EQ(engine.CreateDeviceObjects(), 1);
    device.ClearLog();
    patch.Render();
    EXPECT_EQ(device.DrawCount(), 2u);
    EXPECT_EQ(patch.CountPrimitives(), 128 * 3);

    // Restoring with everything present changes nothing; after a loss it makes the buffers again.
    EXPECT_EQ(patch.RestoreDeviceObjects(), 1);
    patch.InvalidateDeviceObjects();
    device.ClearLog();
    patch.Render();
    EXPECT_EQ(device.DrawCount(), 2u);
    EXPECT_EQ(patch.RestoreDeviceObjects(), 1);
    patch.Render();
    EXPECT_EQ(device.DrawCount(), 4u);
}

TEST(TerrainEngine, GridSizesDepthAndRefusals) {
    CSpatialTree tree;
    CTerrainEngine engine;
    EXPECT_EQ(engine.BuildTree(0, 1, 1, 0), 0);
    EXPECT_EQ(engine.BuildTree(65, 1, 1, 0), 0);
    ASSERT_EQ(engine.BuildTree(1, 1, 1, 0), 1);
    EXPECT_EQ(engine.QuadtreeDepth(), 0);
    ASSERT_EQ(engine.BuildTree(16, 16, 1, 0), 1);
    EXPECT_EQ(engine.QuadtreeDepth(), 4);
    EXPECT_EQ(tree.LeavesPerSide(), 16);
    EXPECT_EQ(engine.PathFinder().walkGrid().width(), 16 * 32);
    EXPECT_FLOAT_EQ(engine.worldWidth(), 2560.0f);
}

TEST(TerrainEngine, HeightsAndPicksOnAFlatMap) {
    CTerrainEngine engine;
    ASSERT_EQ(engine.BuildTree(2, 2, 1, 0), 1);
    float h = -1;
    EXPECT_EQ(engine.GetHeightAt(Vec3(320, 0, 10), &h), nullptr);
    EXPECT_EQ(engine.GetHeightAt(Vec3(-0.01f, 0, 10), &h), nullptr);
    EXPECT_EQ(engine.GetHeightAt(Vec3(319.99f, 0, 319.99f), &h), engine.Patch(3));
    EXPECT_FLOAT_EQ(h, 0.0f);

    Vec3 hit;
    // Slanted: from above patch 0 toward patch 3.
    ASSERT_EQ(engine.PickTerrain(Vec3(10, 100, 10), Vec3(1, -0.4f, 1), &hit), 1);
    EXPECT_NEAR(hit.y, 0.0f, 1e-3);
    EXPECT_NEAR(hit.x, 10 + 100 / 0.4f, 1e-2);
    // Vertical, straight down onto patch 1.
    ASSERT_EQ(engine.PickTerrain(Vec3(200, 50, 30), Vec3(0, -1, 0), &hit), 1);
    EXPECT_NEAR(hit.x, 200.0f, 1e-3);
    EXPECT_NEAR(hit.z, 30.0f, 1e-3);
    // Leaves the grid before reaching the ground; looks away from it.
    EXPECT_EQ(engine.PickTerrain(Vec3(300, 500, 300), Vec3(1, -0.1f, 0), &hit), 0);
    EXPECT_EQ(engine.PickTerrain(Vec3(-50, 10, 10), Vec3(-1, -1, 0), &hit), 0);
    // From outside the terrain into it.
    ASSERT_EQ(engine.PickTerrain(Vec3(-100, 100, 300), Vec3(1, -0.5f, -0.5f), &hit), 1);
    EXPECT_NEAR(hit.x, 100.0f, 1e-2);
}

TEST(PlacementBlock, RoundTripsItsSevenHundredSixtyEightBytes) {
    CPlacementBlock block;
    for (int x = 0; x < 8; ++x)
        for (int z = 0; z < 8; ++z) block.At(x, z) = {static_cast<uint32_t>(x & 1), x * 10.0f + z, 0xFF000000u + 8u * x + z};
    CFileStream out;
    out.OpenMemoryWrite("block");
    ASSERT_EQ(block.Serialize(out), 1);
    ASSERT_EQ(out.Bytes().size(), 768u);
    // Record 8 x (cell x) + (cell z).
    EXPECT_EQ(out.Bytes()[(8 * 3 + 5) * 12 + 8], 8 * 3 + 5);
    CPlacementBlock back;
    CFileStream in;
    in.OpenMemory(out.Bytes(), "block");
    ASSERT_EQ(back.Serialize(in), 1);
    CFileStream again;
    again.OpenMemoryWrite("again");
    back.Serialize(again);
    EXPECT_EQ(again.Bytes(), out.Bytes());
    CFileStream cut;
    cut.OpenMemory(std::vector<uint8_t>(out.Bytes().begin(), out.Bytes().end() - 1), "cut");
    EXPECT_EQ(back.Serialize(cut), 0);
}

TEST(NamedArea, CornersAndRadius) {
    CNamedArea wide, deep;
    wide.Set(Vec3(100, 5, 200), "Team1", 100, 40);
    deep.Set(Vec3(0, 0, 0), "Team2", 40, 100);
    EXPECT_FLOAT_EQ(wide.radius, 50.0f);
    EXPECT_FLOAT_EQ(deep.radius, 50.0f);
    EXPECT_FLOAT_EQ(wide.minCorner.x, 50.0f);
    EXPECT_FLOAT_EQ(wide.maxCorner.z, 220.0f);
    EXPECT_EQ(wide.nameHash, platform::NameHash("Team1"));
}

}  // namespace

namespace {

TEST(TerrainEngine, PlaceOnGroundKeepsMovedObjectsOnTheTerrain) {
    CSpatialTree tree;
    CTerrainEngine engine;
    ASSERT_EQ(engine.BuildTree(2, 2, 1, 0), 1);
    for (int i = 0; i < 81; ++i) {
        const float x = static_cast<float>(i % 9) * 20, z = static_cast<float>(i / 9) * 20;
        engine.Patch(3)->SetVertex(i, Vec3(x, 12.0f, z), Vec3(0, 1, 0));
    }
    EXPECT_FLOAT_EQ(engine.Patch(3)->GetDrawVertex(4, 4).position.y, 12.0f);
    CSceneObject object;
    object.position = {200, 0, 200};
    object.flags = SO_PLACED | SO_POSITION_CHANGED;
    engine.PlaceOnGround(&object);
    EXPECT_FLOAT_EQ(object.position.y, 12.0f);
    // Frozen, not moved, or keeping its own height (bit 10): left alone.
    for (uint32_t flags : {SO_PLACED | SO_POSITION_CHANGED | SO_FROZEN, uint32_t(SO_POSITION_CHANGED),
                           SO_PLACED | SO_POSITION_CHANGED | 0x400u}) {
        object.position.y = 1.0f;
        object.flags = flags;
        engine.PlaceOnGround(&object);
        EXPECT_FLOAT_EQ(object.position.y, 1.0f) << flags;
    }
    // The move put it into the quadtree.
    EXPECT_EQ(tree.ObjectCount(), 4 + 1);
    tree.Remove(&object);
}

}  // namespace
