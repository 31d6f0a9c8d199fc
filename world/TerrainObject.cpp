#include "world/TerrainObject.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/render/DeviceStates.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "world/PlacementBlock.h"
#include "world/TerrainRayWalker.h"

using namespace platform;

namespace {
constexpr uint32_t kFvfPosition = FVF_XYZ;
constexpr uint32_t kFvfPositionNormal = FVF_XYZ | FVF_NORMAL;

platform::Vec3 GridPosition(int index, float y) {
    return {static_cast<float>(index % CTerrainObject::kSide) * CTerrainObject::kCellSize, y,
            static_cast<float>(index / CTerrainObject::kSide) * CTerrainObject::kCellSize};
}

bool SerializeVec3(CFileStream& s, Vec3& v) { return s.Serialize(v.x) && s.Serialize(v.y) && s.Serialize(v.z); }
}  // namespace

void CTerrainIndexMesh::SetupIndices(const uint16_t* indices, uint32_t vertexCount, uint32_t indexCount) {
    Setup(vertexCount, indexCount, 0, 0, 0);
    if (indices) std::copy(indices, indices + indexCount, m_indices.begin());
    SetPrimitiveCount(indexCount / 3);
}

int CTerrainIndexMesh::Restore() {
    if (m_indexBuffer) return 1;
    return CreateIndexBuffer(m_indexCount) && FillIndexBuffer(m_indices.data());
}

CTerrainObject::CTerrainObject(CGfxDevice* device) : m_device(device), m_drawMesh(device), m_overlayMesh(device) {
    flags = 0x10004;
    material.Get().ambient = {0.7f, 0.7f, 0.7f, 1.0f};
}

CTerrainObject::~CTerrainObject() { Free(); }

void CTerrainObject::Build(uint32_t shared, uint32_t collision, const Vec3& corner, const uint16_t* indices,
                           const std::vector<CTextureResource*>* layerTextures, CTextureResource* texture) {
    position = corner;
    flags |= 0x9000;
    world = MatrixTranslation(corner.x, corner.y, corner.z);
    const float far = kPatchSize - 0.0001f;
    const Vec3 box[8] = {{corner.x, 0, corner.z + far},       {corner.x + far, 0, corner.z + far},
                         {corner.x + far, 0, corner.z},       {corner.x, 0, corner.z},
                         {corner.x, 0.1f, corner.z + far},    {corner.x + far, 0.1f, corner.z + far},
                         {corner.x + far, 0.1f, corner.z},    {corner.x, 0.1f, corner.z}};
    SetBox(box);
    m_vertexCount = kVertexCount;
    m_indices = indices;
    m_shared = shared;
    m_collision = collision;
    m_texture = texture;
    if (!shared) {
        m_layerTextures = layerTextures;
        m_vertices.resize(kVertexCount);
        for (int i = 0; i < kVertexCount; ++i) m_vertices[static_cast<size_t>(i)] = {GridPosition(i, 0), {0, 1, 0}};
        auto base = std::make_unique<CTerrainIndexMesh>(m_device);
        base->SetupIndices(indices, kVertexCount, kIndexCount);
        m_layerMeshes.push_back(std::move(base));
        m_blendMaps.push_back(nullptr);
        m_blendData.emplace_back();
    }
    m_drawMesh.Setup(kVertexCount, kIndexCount, 0, sizeof(MeshVertex32), kFvfMesh32);
    m_drawMesh.SetPrimitiveCount(kIndexCount / 3);
    for (int i = 0; i < kVertexCount; ++i) {
        MeshVertex32& v = m_drawMesh.Vertices()[static_cast<size_t>(i)];
        v.position = GridPosition(i, 0);
        v.normal = {0, 1, 0};
        v.u = static_cast<float>(i % kSide) * 0.125f;
        v.v = 1.0f - static_cast<float>(i / kSide) * 0.125f;
    }
    if (indices) std::copy(indices, indices + kIndexCount, m_drawMesh.Indices().begin());
    m_overlay.resize(kVertexCount);
    for (int i = 0; i < kVertexCount; ++i) m_overlay[static_cast<size_t>(i)] = GridPosition(i, kOverlayLift);
    m_overlayMesh.SetupIndices(indices, kVertexCount, kIndexCount);
    if (HasCollision()) {
        m_collisionPositions.resize(kVertexCount);
        for (int i = 0; i < kVertexCount; ++i) m_collisionPositions[static_cast<size_t>(i)] = GridPosition(i, 0);
        m_collisionMesh = std::make_unique<CTerrainIndexMesh>(m_device);
        m_collisionMesh->SetupIndices(indices, kVertexCount, kIndexCount);
    }
}

void CTerrainObject::SetBox(const Vec3 corners[8]) {
    Vec3 lo = corners[0], hi = corners[0];
    for (int i = 0; i < 8; ++i) {
        m_box[i] = corners[i];
        bounds.innerBox[i] = bounds.outerBox[i] = corners[i];
        lo = {std::min(lo.x, corners[i].x), std::min(lo.y, corners[i].y), std::min(lo.z, corners[i].z)};
        hi = {std::max(hi.x, corners[i].x), std::max(hi.y, corners[i].y), std::max(hi.z, corners[i].z)};
    }
    bounds.boxMin = lo;
    bounds.boxMax = hi;
    bounds.center = (lo + hi) * 0.5f;
    const Vec3 half = (hi - lo) * 0.5f;
    bounds.radius = std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z);
    bounds.horizontalRadius = std::sqrt(half.x * half.x + half.z * half.z);
    bounds.halfDepth = half.z;
    bounds.halfHeight = half.y;
    bounds.centerHeight = bounds.center.y;
}

Vec3 CTerrainObject::VertexPosition(int index, int useCollision) const {
    const size_t i = static_cast<size_t>(index);
    if (m_shared) {
        if (m_collision && i < m_collisionPositions.size()) return m_collisionPositions[i];
        return i < m_drawMesh.Vertices().size() ? m_drawMesh.Vertices()[i].position : Vec3();
    }
    if (useCollision && i < m_collisionPositions.size()) return m_collisionPositions[i];
    return i < m_vertices.size() ? m_vertices[i].position : Vec3();
}

Vec3 CTerrainObject::VertexNormal(int index) const {
    const size_t i = static_cast<size_t>(index);
    if (!m_shared && i < m_vertices.size()) return m_vertices[i].normal;
    return i < m_drawMesh.Vertices().size() ? m_drawMesh.Vertices()[i].normal : Vec3(0, 1, 0);
}

float CTerrainObject::GetHeight(const Vec3& point, int useCollision) const {
    const float x = point.x - position.x, z = point.z - position.z;
    // A point on the far edge (or a hair outside after rounding) belongs to the last cell.
    const int i = std::clamp(static_cast<int>(x / kCellSize), 0, kSide - 2);
    const int j = std::clamp(static_cast<int>(z / kCellSize), 0, kSide - 2);
    const float fx = x - static_cast<float>(i) * kCellSize, fz = z - static_cast<float>(j) * kCellSize;
    const int v = i + kSide * j;
    Vec3 a, b, c;
    if (kCellSize - fx < fz) {
        a = VertexPosition(v + 1, useCollision);
        b = VertexPosition(v + kSide, useCollision);
        c = VertexPosition(v + kSide + 1, useCollision);
    } else {
        a = VertexPosition(v, useCollision);
        b = VertexPosition(v + 1, useCollision);
        c = VertexPosition(v + kSide, useCollision);
    }
    const Plane plane = PlaneFromPoints(a, b, c);
    if (plane.b == 0) return a.y;
    return -(plane.a * x + plane.c * z + plane.d) / plane.b;
}

MeshVertex32 CTerrainObject::GetDrawVertex(int row, int column) const {
    const size_t i = static_cast<size_t>(row * kSide + column);
    return i < m_drawMesh.Vertices().size() ? m_drawMesh.Vertices()[i] : MeshVertex32{};
}

void CTerrainObject::SetVertex(int index, const Vec3& p, const Vec3& n) {
    const size_t k = static_cast<size_t>(index);
    if (k >= m_drawMesh.Vertices().size()) return;
    if (!m_shared && k < m_vertices.size()) m_vertices[k] = {p, n};
    m_drawMesh.Vertices()[k].position = p;
    m_drawMesh.Vertices()[k].normal = n;
    if (k < m_collisionPositions.size()) m_collisionPositions[k] = p;
    Vec3 box[8];
    for (int i = 0; i < 8; ++i) box[i] = m_box[i];
    for (int i = 4; i < 8; ++i) box[i].y = std::max(box[i].y, p.y);
    for (int i = 0; i < 4; ++i) box[i].y = std::min(box[i].y, p.y);
    SetBox(box);
}

int CTerrainObject::Serialize(CFileStream& stream) {
    Vec3 box[8];
    for (int i = 0; i < 8; ++i) {
        box[i] = m_box[i];
        SerializeVec3(stream, box[i]);
    }
    std::vector<MeshVertex32>& draw = m_drawMesh.Vertices();
    if (draw.size() != kVertexCount) return 0;
    for (int i = 0; i < kVertexCount; ++i) {
        const size_t k = static_cast<size_t>(i);
        Vec3 p = m_shared ? draw[k].position : m_vertices[k].position;
        Vec3 n = m_shared ? draw[k].normal : m_vertices[k].normal;
        SerializeVec3(stream, p);
        SerializeVec3(stream, n);
        if (stream.mode() != CFileStream::MODE_READ || stream.Failed()) continue;
        if (!m_shared) m_vertices[k] = {p, n};
        draw[k].position = p;
        draw[k].normal = n;
        if (HasCollision()) m_collisionPositions[k] = p;
    }
    if (stream.Failed()) return 0;
    if (stream.mode() == CFileStream::MODE_READ) SetBox(box);
    return 1;
}

int CTerrainObject::SerializeSide(CFileStream& stream, uint32_t layerCount) {
    for (uint32_t n = 1; n < layerCount; ++n) {
        while (m_blendData.size() <= n) AddLayerSlot();
        std::vector<uint8_t>& data = m_blendData[n];
        uint32_t present = data.empty() ? 0 : 1;
        if (!stream.Serialize(present)) return 0;
        if (!present) continue;
        if (stream.mode() == CFileStream::MODE_READ) {
            std::vector<uint8_t> texels(kBlendBytes);
            if (!stream.Read(texels.data(), kBlendBytes)) return 0;
            SetBlendMap(n, std::move(texels));
        } else if (!stream.Write(data.data(), kBlendBytes)) {
            return 0;
        }
    }
    return 1;
}

void CTerrainObject::SetBlendMap(size_t n, std::vector<uint8_t> texels) {
    if (n == 0 || texels.size() != kBlendBytes) return;
    while (m_blendData.size() <= n) AddLayerSlot();
    m_blendData[n] = std::move(texels);
    if (m_blendMaps[n]) m_blendMaps[n]->Release();
    m_blendMaps[n] = nullptr;
    if (!m_shared && !m_layerMeshes[n]) {
        m_layerMeshes[n] = std::make_unique<CTerrainIndexMesh>(m_device);
        m_layerMeshes[n]->SetupIndices(m_indices, kVertexCount, kIndexCount);
    }
}

void CTerrainObject::AddLayerSlot() {
    m_layerMeshes.push_back(nullptr);
    m_blendMaps.push_back(nullptr);
    m_blendData.emplace_back();
}

void CTerrainObject::ReleaseLayer(uint32_t n) {
    if (m_layerMeshes.empty()) return;
    size_t i = n == 0 ? m_layerMeshes.size() - 1 : n;
    if (i >= m_layerMeshes.size()) return;
    m_layerMeshes.erase(m_layerMeshes.begin() + static_cast<std::ptrdiff_t>(i));
    if (i < m_blendMaps.size()) {
        if (m_blendMaps[i]) m_blendMaps[i]->Release();
        m_blendMaps.erase(m_blendMaps.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (i < m_blendData.size()) m_blendData.erase(m_blendData.begin() + static_cast<std::ptrdiff_t>(i));
}

int CTerrainObject::CountPrimitives() {
    int count = static_cast<int>(m_overlayMesh.PrimitiveCount());
    for (const auto& mesh : m_layerMeshes)
        if (mesh) count += static_cast<int>(mesh->PrimitiveCount());
    return count;
}

bool CTerrainObject::Pick(const Vec3& origin, const Vec3& direction, float* distance, Vec3* hit) const {
    if (!m_indices) return false;
    const float length = std::sqrt(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z);
    if (!(length > 0)) return false;
    const Vec3 dir = direction * (1.0f / length);
    auto testQuad = [&](int cx, int cz) {
        const uint16_t* quad = m_indices + 6 * (cx + 8 * cz);
        for (int t = 0; t < 2; ++t) {
            Vec3 p[3];
            for (int k = 0; k < 3; ++k) p[k] = VertexPosition(quad[3 * t + k] % kVertexCount, 0) + position;
            float u = 0, v = 0, d = 0;
            if (IntersectTri(p[0], p[1], p[2], origin, dir, &u, &v, &d)) {
                if (distance) *distance = d;
                if (hit) *hit = origin + dir * d;
                return true;
            }
        }
        return false;
    };
    CTerrainRayWalker walker;
    const Vec3 local = origin - position;
    if (!walker.Start(local, dir, kCellSize)) {
        // Straight down or up: only the quad under the origin can be hit.
        const int cx = walker.CellX(), cz = walker.CellZ();
        return cx >= 0 && cz >= 0 && cx < 8 && cz < 8 && testQuad(cx, cz);
    }
    // A walk from outside the patch reaches it within 16 + 16 steps or never.
    for (int guard = 0; guard < 4 * 64 && !walker.LeftGrid(8, 8); ++guard, walker.Step()) {
        const int cx = walker.CellX(), cz = walker.CellZ();
        if (cx < 0 || cz < 0 || cx >= 8 || cz >= 8) continue;
        if (testQuad(cx, cz)) return true;
    }
    return false;
}

void CTerrainObject::FitOverlayToBlocks(int32_t selfIndex, const int32_t neighbours[N_COUNT],
                                        const std::vector<CPlacementBlock*>& blocks) {
    if (m_overlay.size() != kVertexCount) return;
    // Patch index of a side: by the side along x (-1, 0, +1) and along z.
    auto patchOf = [&](int sx, int sz) -> int32_t {
        if (sx == 0 && sz == 0) return selfIndex;
        if (sx == 0) return neighbours[sz > 0 ? N_PLUS_Z : N_MINUS_Z];
        if (sz == 0) return neighbours[sx > 0 ? N_PLUS_X : N_MINUS_X];
        if (sz > 0) return neighbours[sx > 0 ? N_PZ_PX : N_PZ_MX];
        return neighbours[sx > 0 ? N_MZ_PX : N_MZ_MX];
    };
    for (int r = 0; r < kSide; ++r) {
        for (int c = 0; c < kSide; ++c) {
            const int cells[4][2] = {{c - 1, r}, {c, r}, {c - 1, r - 1}, {c, r - 1}};
            float running = -1000.0f;
            bool found = false;
            for (int k = 0; k < 4; ++k) {
                int cx = cells[k][0], cz = cells[k][1];
                const int sx = cx < 0 ? -1 : cx > 7 ? 1 : 0;
                const int sz = cz < 0 ? -1 : cz > 7 ? 1 : 0;
                const int32_t patch = patchOf(sx, sz);
                if (patch < 0 || static_cast<size_t>(patch) >= blocks.size() || !blocks[static_cast<size_t>(patch)])
                    continue;
                cx = (cx + 8) % 8;
                cz = (cz + 8) % 8;
                const auto& cell = blocks[static_cast<size_t>(patch)]->At(cx, cz);
                if (cell.used == 0) continue;
                if (k == 0 || cell.height > running) {
                    running = cell.height;
                    found = true;
                }
            }
            Vec3& v = m_overlay[static_cast<size_t>(r * kSide + c)];
            if (found && running > v.y) v.y = running + kOverlayLift;
        }
    }
}

void CTerrainObject::RefillOverlay() {
    if (!m_overlayBuffer) return;
    void* data = nullptr;
    if (GfxFailed(m_overlayBuffer->Lock(0, 0, &data, 0))) return;
    std::memcpy(data, m_overlay.data(), std::min<size_t>(m_overlayBuffer->GetLength(), m_overlay.size() * 12));
    m_overlayBuffer->Unlock();
}

int CTerrainObject::CreateBuffer(CGfxVertexBuffer** buffer, const void* data, uint32_t bytes, uint32_t fvf,
                                 int line) {
    if (*buffer) return 1;
    if (!m_device) {
        ErrorReport().SetDxError(ERR_DEVICE_CALL, "ZEMTerrainObject", line, GFXERR_INVALIDCALL);
        return 0;
    }
    GfxResult r = m_device->CreateVertexBuffer(bytes, 0, fvf, POOL_MANAGED, buffer);
    if (GfxFailed(r)) {
        *buffer = nullptr;
        ErrorReport().SetDxError(ERR_DEVICE_CALL, "ZEMTerrainObject", line, r);
        return 0;
    }
    void* target = nullptr;
    if (GfxFailed((*buffer)->Lock(0, 0, &target, 0))) return 0;
    std::memcpy(target, data, std::min<size_t>((*buffer)->GetLength(), bytes));
    (*buffer)->Unlock();
    return 1;
}

int CTerrainObject::RestoreDeviceObjects() {
    if (!m_shared) {
        if (!CreateBuffer(&m_vertexBuffer, m_vertices.data(), kVertexCount * 24, kFvfPositionNormal, __LINE__))
            return 0;
        for (const auto& mesh : m_layerMeshes)
            if (mesh && !mesh->Restore()) return 0;
    }
    if (!CreateBuffer(&m_overlayBuffer, m_overlay.data(), kVertexCount * 12, kFvfPosition, __LINE__)) return 0;
    if (!m_overlayMesh.Restore()) return 0;
    if (HasCollision() && m_collisionMesh) {
        if (!CreateBuffer(&m_collisionBuffer, m_collisionPositions.data(), kVertexCount * 12, kFvfPosition,
                          __LINE__))
            return 0;
        if (!m_collisionMesh->Restore()) return 0;
    }
    if (!m_drawMesh.CreateBuffers()) return 0;
    for (size_t n = 1; n < m_blendData.size(); ++n) {
        if (m_blendData[n].empty() || m_blendMaps[n] || !m_device) continue;
        CGfxTexture* texture = nullptr;
        GfxResult r = m_device->CreateTexture(kBlendSide, kBlendSide, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &texture);
        if (GfxFailed(r)) {
            ErrorReport().SetDxError(ERR_DEVICE_CALL, "ZEMTerrainObject", __LINE__, r);
            return 0;
        }
        GfxLockedRect locked;
        if (GfxSucceeded(texture->LockRect(0, &locked, nullptr, 0))) {
            for (int row = 0; row < kBlendSide; ++row)
                std::memcpy(static_cast<uint8_t*>(locked.bits) + static_cast<size_t>(row) * locked.pitch,
                            m_blendData[n].data() + static_cast<size_t>(row) * kBlendSide * 4, kBlendSide * 4);
            texture->UnlockRect(0);
        }
        m_blendMaps[n] = texture;
    }
    return 1;
}

void CTerrainObject::InvalidateDeviceObjects() {
    for (CGfxVertexBuffer** b : {&m_vertexBuffer, &m_overlayBuffer, &m_collisionBuffer}) {
        if (*b) (*b)->Release();
        *b = nullptr;
    }
    for (const auto& mesh : m_layerMeshes)
        if (mesh) mesh->ReleaseBuffers();
    m_overlayMesh.ReleaseBuffers();
    if (m_collisionMesh) m_collisionMesh->ReleaseBuffers();
    m_drawMesh.ReleaseBuffers();
}

void CTerrainObject::Render() {
    if (!m_device || !m_vertexBuffer) return;
    CGfxDevice& device = *m_device;
    device.SetTransform(TS_WORLD, &world);
    device.SetStreamSource(0, m_vertexBuffer, 0, 24);
    SetFvfCached(device, kFvfPositionNormal);
    device.SetMaterial(&material.Get());
    for (size_t n = 0; n < m_layerMeshes.size(); ++n) {
        CTerrainIndexMesh* mesh = m_layerMeshes[n].get();
        CTextureResource* layer = m_layerTextures && n < m_layerTextures->size() ? (*m_layerTextures)[n] : nullptr;
        if (n == 0) {
            if (!mesh) continue;
            SetTextureCached(device, 1, nullptr);
            SetTextureCached(device, 0, layer ? layer->Texture() : nullptr);
            mesh->DrawIndexed();
            continue;
        }
        if (!mesh || n >= m_blendMaps.size() || !m_blendMaps[n]) continue;
        SetTextureCached(device, 0, layer ? layer->Texture() : nullptr);
        SetTextureCached(device, 1, m_blendMaps[n]);
        mesh->DrawIndexed();
    }
}

void CTerrainObject::RenderPass2() {
    if (!m_device) return;
    CGfxDevice& device = *m_device;
    device.SetTransform(TS_WORLD, &world);
    if (m_shared && m_collision) {
        if (!m_collisionBuffer || !m_collisionMesh) return;
        device.SetStreamSource(0, m_collisionBuffer, 0, 12);
        SetFvfCached(device, kFvfPosition);
        m_collisionMesh->DrawIndexed();
        return;
    }
    if (m_shared) {
        m_drawMesh.Draw();
        return;
    }
    if (!m_vertexBuffer || m_layerMeshes.empty() || !m_layerMeshes[0]) return;
    device.SetStreamSource(0, m_vertexBuffer, 0, 24);
    SetFvfCached(device, kFvfPositionNormal);
    m_layerMeshes[0]->DrawIndexed();
}

void CTerrainObject::DrawTextured() {
    if (!m_device) return;
    m_device->SetMaterial(&material.Get());
    m_device->SetTransform(TS_WORLD, &world);
    SetTextureCached(*m_device, 0, m_texture ? m_texture->Texture() : nullptr);
    m_drawMesh.Draw();
}

void CTerrainObject::DrawOverlay() {
    if (!m_device || !m_overlayBuffer) return;
    m_device->SetTransform(TS_WORLD, &world);
    m_device->SetStreamSource(0, m_overlayBuffer, 0, 12);
    SetFvfCached(*m_device, kFvfPosition);
    m_overlayMesh.DrawIndexed();
}

void CTerrainObject::SetPatchTexture(CTextureResource* texture) {
    if (m_texture && m_texture != texture && g_pResourceManager) g_pResourceManager->ReleaseResource(m_texture);
    m_texture = texture;
}

void CTerrainObject::Free() {
    InvalidateDeviceObjects();
    m_vertices.clear();
    m_overlay.clear();
    m_collisionPositions.clear();
    m_layerMeshes.clear();
    m_drawMesh.Clear();
    m_overlayMesh.Clear();
    m_collisionMesh.reset();
    for (CGfxTexture* t : m_blendMaps)
        if (t) t->Release();
    m_blendMaps.clear();
    m_blendData.clear();
    if (m_texture && g_pResourceManager) g_pResourceManager->ReleaseResource(m_texture);
    m_texture = nullptr;
}
