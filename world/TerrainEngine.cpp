#include "world/TerrainEngine.h"

#include <algorithm>
#include <cmath>

#include "engine/core/ErrorReport.h"
#include "world/LoadProgress.h"
#include "engine/core/FileStream.h"
#include "engine/render/DeviceStates.h"
#include "engine/render/Material.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "world/SpatialTree.h"
#include "world/TerrainRayWalker.h"
#include "world/WorldObject.h"

using namespace platform;

CTerrainEngine* g_pTerrainEngine = nullptr;

namespace {
// Texture resources of the section: loaded without decoding when no device draws them.
CTextureResource* LoadTexture(const std::string& name) {
    if (name.empty() || !g_pResourceManager) return nullptr;
    return static_cast<CTextureResource*>(g_pResourceManager->GetResource(name.c_str(), RES_TEXTURE, nullptr, 1));
}

void ReleaseTexture(CTextureResource* texture) {
    if (texture && g_pResourceManager) g_pResourceManager->ReleaseResource(texture);
}

// Sight-grid quarter heights: 2 x 2 quarters of 5 units per 10-unit cell, [z parity][x parity].
size_t QuarterIndex(int32_t sizeX, int32_t cellZ, int32_t cellX, int32_t qz, int32_t qx) {
    return (static_cast<size_t>(cellZ) * static_cast<size_t>(sizeX) + static_cast<size_t>(cellX)) * 4 +
           static_cast<size_t>(qz * 2 + qx);
}
}  // namespace

CTerrainEngine::CTerrainEngine(CGfxDevice* device) : m_device(device) {
    g_pTerrainEngine = this;
    // The current terrain engine, whichever that is when an object moves.
    g_pGroundPlacer = [](CSceneObject& object) {
        if (g_pTerrainEngine) g_pTerrainEngine->PlaceOnGround(&object);
    };
    m_decalPool.Grow();
    m_meshPool.Grow();
}

CTerrainEngine::~CTerrainEngine() {
    Clear();
    if (g_pTerrainEngine == this) g_pTerrainEngine = nullptr;
}

int CTerrainEngine::BuildTree(int32_t across, int32_t deep, uint32_t gameForm, uint32_t patchParameter) {
    if (across < 1 || deep < 1 || across > kMaxPatches || deep > kMaxPatches) {
        ErrorReport().SetError(ERR_DATA, "terrain of %d x %d patches", across, deep);
        return 0;
    }
    Clear();
    m_across = across;
    m_deep = deep;
    m_count = across * deep;
    m_gameForm = gameForm;
    m_patchParameter = patchParameter;
    m_worldWidth = static_cast<float>(across) * kPatchSize;
    m_worldDepth = static_cast<float>(deep) * kPatchSize;
    m_cellsAcross = across * 8;
    m_cellsDeep = deep * 8;
    m_layers.push_back(nullptr);
    m_layerNames.emplace_back();

    m_indices.resize(CTerrainObject::kIndexCount);
    for (int c = 0; c < 64; ++c) {
        const uint16_t v = static_cast<uint16_t>(c + c / 8);
        const uint16_t tri[6] = {v, static_cast<uint16_t>(v + 10), static_cast<uint16_t>(v + 1),
                                 v, static_cast<uint16_t>(v + 9),  static_cast<uint16_t>(v + 10)};
        std::copy(tri, tri + 6, m_indices.begin() + 6 * c);
    }

    m_patches.reserve(static_cast<size_t>(m_count));
    for (int32_t z = 0; z < deep; ++z) {
        for (int32_t x = 0; x < across; ++x) {
            auto patch = std::make_unique<CTerrainObject>(m_device);
            patch->Build(patchParameter != 0, 0,
                         Vec3(static_cast<float>(x) * kPatchSize, 0, static_cast<float>(z) * kPatchSize),
                         m_indices.data(), &m_layers, nullptr);
            m_patches.push_back(std::move(patch));
        }
    }

    m_treeDepth = 0;
    for (int32_t n = across; n > 1; n /= 2) ++m_treeDepth;
    m_tree = g_pSpatialTree;
    if (m_tree) {
        m_tree->Build(m_treeDepth, m_worldWidth, m_worldDepth, -100.0f, 160.0f);
        for (const auto& patch : m_patches) m_tree->Insert(patch.get());
    }

    // Walk cells of 5 units: four per 20-unit terrain cell on each axis.
    if (!m_pathFinder.Setup(m_cellsAcross * 4, m_cellsDeep * 4, 5.0f)) return 0;
    m_sight = std::make_unique<CSightGrid>();
    m_sightReady = 1;
    return 1;
}

int CTerrainEngine::ReadTextures(CFileStream& stream, std::vector<std::string>& names, bool layers) {
    uint32_t count = static_cast<uint32_t>(names.size());
    if (!stream.Serialize(count)) return 0;
    if (stream.mode() == CFileStream::MODE_READ) {
        // Every name takes at least its length field.
        if (count > stream.Remaining() / 4) {
            ErrorReport().SetError(ERR_DATA, "%u textures", count);
            return 0;
        }
        names.assign(count, std::string());
    }
    for (std::string& name : names)
        if (!stream.Serialize(name)) return 0;
    if (stream.mode() != CFileStream::MODE_READ || !layers) return 1;
    for (uint32_t i = 0; i < count; ++i) {
        CTextureResource* texture = LoadTexture(names[i]);
        if (!names[i].empty() && !texture) return 0;
        if (i == 0) {
            ReleaseTexture(m_layers[0]);
            m_layers[0] = texture;
        } else {
            AddLayer(texture);
        }
    }
    return 1;
}

int CTerrainEngine::LoadSection(CFileStream& stream, uint32_t gameForm, std::atomic<float>* progress, float span) {
    auto fail = [&]() {
        if (stream.Failed() && ErrorReport().GetCode() != ERR_DATA) ErrorReport().SetError(ERR_DATA, "%s", stream.path());
        ErrorReport().Chain("%s", "TerrainEngine");
        return 0;
    };
    const bool reading = stream.mode() == CFileStream::MODE_READ;
    int32_t across = m_across, deep = m_deep;
    uint32_t parameter = m_patchParameter;
    stream.Serialize(across);
    stream.Serialize(deep);
    if (!stream.Serialize(parameter)) return fail();
    if (reading && !BuildTree(across, deep, gameForm, parameter)) return fail();
    if (reading) {
        m_layerNames.clear();
        m_patchTextureNames.clear();
    }
    std::vector<std::string> layerNames = m_layerNames;
    if (!gameForm) {
        if (!ReadTextures(stream, layerNames, true)) return fail();
        if (reading) m_layerNames = layerNames;
    }
    if (!ReadTextures(stream, m_patchTextureNames, false)) return fail();
    if (reading) {
        for (size_t i = 0; i < m_patchTextureNames.size() && i < m_patches.size(); ++i) {
            CTextureResource* texture = LoadTexture(m_patchTextureNames[i]);
            if (!m_patchTextureNames[i].empty() && !texture) return fail();
            m_patches[i]->SetPatchTexture(texture);
        }
    }
    const float patchShare = m_count > 0 ? span * 0.4f / static_cast<float>(m_count) : 0.0f;
    for (const auto& patch : m_patches) {
        if (!patch->Serialize(stream)) return fail();
        AddLoadProgress(progress, patchShare);
    }
    if (!m_pathFinder.walkGrid().Serialize(stream)) return fail();
    if (reading) {
        if (!m_pathFinder.waypointGraph().Build()) return fail();
        m_pathFinder.waypointGraph().BuildDistanceTable(progress, span * 0.6f);
    } else {
        AddLoadProgress(progress, span * 0.6f);
    }
    return 1;
}

void CTerrainEngine::Neighbours(int32_t p, int32_t out[CTerrainObject::N_COUNT]) const {
    const int32_t w = m_across, n = m_count;
    const int32_t pz = p + w < n ? p + w : -1;
    const int32_t mz = p - w >= 0 ? p - w : -1;
    const int32_t mx = p % w != 0 ? p - 1 : -1;
    const int32_t px = (p + 1) % w != 0 ? p + 1 : -1;
    out[CTerrainObject::N_PLUS_Z] = pz;
    out[CTerrainObject::N_MINUS_Z] = mz;
    out[CTerrainObject::N_MINUS_X] = mx;
    out[CTerrainObject::N_PLUS_X] = px;
    out[CTerrainObject::N_PZ_MX] = pz >= 0 && mx >= 0 ? pz - 1 : -1;
    out[CTerrainObject::N_PZ_PX] = pz >= 0 && px >= 0 ? pz + 1 : -1;
    out[CTerrainObject::N_MZ_MX] = mz >= 0 && mx >= 0 ? mz - 1 : -1;
    out[CTerrainObject::N_MZ_PX] = mz >= 0 && px >= 0 ? mz + 1 : -1;
}

void CTerrainEngine::LinkPatches() {
    // The patches need nothing from their neighbours beyond the overlay fit,
    // which asks the engine for them; linking leaves them as they are.
}

void CTerrainEngine::FitOverlays(const std::vector<CPlacementBlock*>& blocks) {
    int32_t neighbours[CTerrainObject::N_COUNT];
    for (int32_t i = 0; i < m_count; ++i) {
        Neighbours(i, neighbours);
        m_patches[static_cast<size_t>(i)]->FitOverlayToBlocks(i, neighbours, blocks);
        m_patches[static_cast<size_t>(i)]->RefillOverlay();
    }
}

int CTerrainEngine::LoadSideRecords(CFileStream& stream, uint32_t layerCount) {
    while (m_layers.size() < layerCount) AddLayer(nullptr);
    for (const auto& patch : m_patches)
        if (!patch->SerializeSide(stream, layerCount)) return 0;
    return 1;
}

int CTerrainEngine::SaveSideRecords(CFileStream& stream) {
    uint32_t layers = static_cast<uint32_t>(m_layers.size());
    if (!stream.Serialize(layers)) return 0;
    for (const auto& patch : m_patches)
        if (!patch->SerializeSide(stream, layers)) return 0;
    return 1;
}

void CTerrainEngine::AddLayer(CTextureResource* texture, const std::string& name) {
    m_layers.push_back(texture);
    m_layerNames.push_back(name);
    for (const auto& patch : m_patches)
        if (!patch->IsShared()) patch->AddLayerSlot();
}

void CTerrainEngine::RemoveLayer(uint32_t index) {
    if (index >= m_layers.size()) return;
    ReleaseTexture(m_layers[index]);
    if (index == 0 && m_layers.size() == 1) {
        m_layers[0] = nullptr;
        return;
    }
    m_layers.erase(m_layers.begin() + index);
    if (index < m_layerNames.size()) m_layerNames.erase(m_layerNames.begin() + index);
    for (const auto& patch : m_patches) patch->ReleaseLayer(index);
}

void CTerrainEngine::Clear() {
    m_count = 0;
    InvalidateDeviceObjects();
    if (m_tree)
        for (const auto& patch : m_patches) m_tree->Remove(patch.get());
    m_tree = nullptr;
    m_patches.clear();
    m_indices.clear();
    m_pathFinder.Free();
    m_sight.reset();
    m_sightReady = 0;
    m_sightGround.clear();
    m_sightQuarters.clear();
    RemoveGroundMarker();
    for (CTerrainDecal* decal : m_decals) {
        if (decal->owner) {
            for (void*& handle : decal->owner->terrainHandles)
                if (handle == decal) handle = nullptr;
        }
        if (decal->mesh) m_meshPool.Destroy(decal->mesh);
        m_decalPool.Destroy(decal);
    }
    m_decals.clear();
    for (CGroundMesh* mesh : m_spareMeshes) m_meshPool.Destroy(mesh);
    m_spareMeshes.clear();
    for (CTextureResource* texture : m_layers) ReleaseTexture(texture);
    m_layers.clear();
    m_layerNames.clear();
    m_patchTextureNames.clear();
    m_across = m_deep = 0;
    m_worldWidth = m_worldDepth = 0;
    m_cellsAcross = m_cellsDeep = 0;
    m_fogTimer = kFogRefresh;
}

int CTerrainEngine::CreateDeviceObjects() {
    for (CTerrainDecal* decal : m_decals)
        if (decal->mesh && !decal->mesh->RestoreDeviceObjects()) return 0;
    if (m_marker && m_marker->mesh && !m_marker->mesh->RestoreDeviceObjects()) return 0;
    for (const auto& patch : m_patches)
        if (!patch->RestoreDeviceObjects()) return 0;
    if (m_sightReady && m_sight && m_device) {
        if (!m_fogTexture) {
            GfxResult r = m_device->CreateTexture(kFogSide, kFogSide, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &m_fogTexture);
            if (GfxFailed(r)) {
                m_fogTexture = nullptr;
                ErrorReport().SetDxError(ERR_DEVICE_CALL, "TerrainEngine", __LINE__, r);
                return 0;
            }
            m_fogForced = 1;
        }
        if (m_sight->sizeX() > 0 && m_sight->sizeZ() > 0 && !m_sight->texture() &&
            !m_sight->CreateTexture(m_device, m_cellsAcross, m_cellsDeep))
            return 0;
    }
    return 1;
}

void CTerrainEngine::InvalidateDeviceObjects() {
    for (const auto& patch : m_patches) patch->InvalidateDeviceObjects();
    for (CTerrainDecal* decal : m_decals)
        if (decal->mesh) decal->mesh->ReleaseBuffers();
    if (m_marker && m_marker->mesh) m_marker->mesh->ReleaseBuffers();
    if (m_fogTexture) m_fogTexture->Release();
    m_fogTexture = nullptr;
}

CTerrainObject* CTerrainEngine::GetHeightAt(const Vec3& point, float* height) const {
    if (!(point.x >= 0 && point.x < m_worldWidth && point.z >= 0 && point.z < m_worldDepth)) return nullptr;
    const int32_t column = std::min(static_cast<int32_t>(point.x) / 160, m_across - 1);
    const int32_t row = std::min(static_cast<int32_t>(point.z) / 160, m_deep - 1);
    CTerrainObject* patch = m_patches[static_cast<size_t>(row * m_across + column)].get();
    if (height) *height = patch->GetHeight(point, 0);
    return patch;
}

int CTerrainEngine::PickTerrain(const Vec3& origin, const Vec3& direction, Vec3* hit) const {
    if (m_count == 0) return 0;
    CTerrainRayWalker walker;
    float distance = 0;
    if (!walker.Start(origin, direction, kPatchSize)) {
        CTerrainObject* patch = Patch(walker.CellZ() * m_across + walker.CellX());
        const bool inside = walker.CellX() >= 0 && walker.CellZ() >= 0 && walker.CellX() < m_across &&
                            walker.CellZ() < m_deep;
        return inside && patch->Pick(origin, direction, &distance, hit) ? 1 : 0;
    }
    for (int32_t guard = 0; guard < 4 * (m_across + m_deep) + 8 && !walker.LeftGrid(m_across, m_deep);
         ++guard, walker.Step()) {
        const int32_t x = walker.CellX(), z = walker.CellZ();
        if (x < 0 || z < 0 || x >= m_across || z >= m_deep) continue;
        if (m_patches[static_cast<size_t>(z * m_across + x)]->Pick(origin, direction, &distance, hit)) return 1;
    }
    return 0;
}

void CTerrainEngine::PlaceOnGround(CSceneObject* object) {
    if (!object || !(object->flags & SO_PLACED) || (object->flags & SO_FROZEN)) return;
    if ((object->flags & (SO_POSITION_CHANGED | SO_AXES_CHANGED)) && g_pSpatialTree) g_pSpatialTree->Move(object);
    if ((object->flags & SO_POSITION_CHANGED) && !(object->flags & 0x400)) {
        float height = 0;
        if (GetHeightAt(object->position, &height)) object->SetHeight(height);
    }
}

int CTerrainEngine::SetupSight(int32_t team, uint32_t gradeFlag, const bool teamInPlay[12]) {
    if (!m_sight) m_sight = std::make_unique<CSightGrid>();
    if (!m_sight->Setup(m_cellsDeep, m_cellsAcross, 20.0f, 8, gradeFlag, team)) return 0;
    for (int32_t t = 0; t < 12; ++t)
        if (!teamInPlay || teamInPlay[t]) m_sight->OpenLayer(t, 0);
    m_sightReady = 1;
    return 1;
}

void CTerrainEngine::PushSightCell(int32_t cellZ, int32_t cellX) {
    const size_t cell = static_cast<size_t>(cellZ) * static_cast<size_t>(m_sight->sizeX()) + static_cast<size_t>(cellX);
    m_sight->SetHeights(cellZ, cellX, m_sightGround[cell], &m_sightQuarters[cell * 4]);
}

void CTerrainEngine::ObstacleQuarters(CWorldObject* object, float height) {
    const int32_t sizeZ = m_sight->sizeZ(), sizeX = m_sight->sizeX();
    // Footprint in 5-unit quarters, clipped to the grid.
    const auto& box = object->bounds.innerBox;
    float x0 = box[0].x, x1 = box[0].x, z0 = box[0].z, z1 = box[0].z;
    for (int i = 1; i < 4; ++i) {
        x0 = std::min(x0, box[i].x);
        x1 = std::max(x1, box[i].x);
        z0 = std::min(z0, box[i].z);
        z1 = std::max(z1, box[i].z);
    }
    const int32_t q0x = std::max(0, static_cast<int32_t>(x0 * 0.2f));
    const int32_t q1x = std::min(sizeX * 2 - 1, static_cast<int32_t>(x1 * 0.2f));
    const int32_t q0z = std::max(0, static_cast<int32_t>(z0 * 0.2f));
    const int32_t q1z = std::min(sizeZ * 2 - 1, static_cast<int32_t>(z1 * 0.2f));
    for (int32_t qz = q0z; qz <= q1z; ++qz) {
        for (int32_t qx = q0x; qx <= q1x; ++qx) {
            m_sightQuarters[QuarterIndex(sizeX, qz / 2, qx / 2, qz % 2, qx % 2)] = height;
            PushSightCell(qz / 2, qx / 2);
        }
    }
}

void CTerrainEngine::FillSightHeights(const std::list<CWorldObject*>& objects) {
    if (!m_sight || m_sight->sizeX() <= 0) return;
    const int32_t sizeZ = m_sight->sizeZ(), sizeX = m_sight->sizeX();
    const size_t cells = static_cast<size_t>(sizeZ) * static_cast<size_t>(sizeX);
    m_sightGround.assign(cells, 0.0f);
    m_sightQuarters.assign(cells * 4, 0.0f);
    const float size = m_sight->cellSize();
    for (int32_t j = 0; j < sizeZ; ++j) {
        for (int32_t i = 0; i < sizeX; ++i) {
            float height = 0;
            GetHeightAt(Vec3(size * static_cast<float>(i) + size / 2, 0, size * static_cast<float>(j) + size / 2),
                        &height);
            m_sightGround[static_cast<size_t>(j) * static_cast<size_t>(sizeX) + static_cast<size_t>(i)] = height;
            PushSightCell(j, i);
        }
    }
    for (CWorldObject* object : objects) {
        if (!object || !(object->flags & WO_DECORATION) || (object->flags & SO_FROZEN) ||
            !(object->stateFlags & 0x08000000))
            continue;
        ObstacleQuarters(object, 2.0f * object->bounds.scale * object->bounds.radius);
    }
}

void CTerrainEngine::ClearSightHeights(CWorldObject* object) {
    if (!object || !m_sight || m_sightQuarters.empty()) return;
    ObstacleQuarters(object, 0.0f);
}

CTerrainDecal* CTerrainEngine::NewDecal(CWorldObject* owner, float size, float strength, uint32_t flag) {
    CTerrainDecal* decal = m_decalPool.Construct();
    if (!decal) return nullptr;
    decal->owner = owner;
    decal->position = owner ? owner->position : Vec3();
    decal->width = decal->depth = size;
    decal->strength = strength;
    decal->flagA = decal->flagB = flag;
    if (!m_spareMeshes.empty()) {
        decal->mesh = m_spareMeshes.front();
        m_spareMeshes.pop_front();
    } else {
        decal->mesh = m_meshPool.Construct(m_device);
    }
    return decal;
}

void CTerrainEngine::FreeDecal(CTerrainDecal* decal) {
    if (decal->mesh) {
        decal->mesh->Clear();
        m_spareMeshes.push_back(decal->mesh);
    }
    m_decalPool.Destroy(decal);
}

CTerrainDecal* CTerrainEngine::AddDecal(CWorldObject* owner, float size, float strength, uint32_t flag) {
    CTerrainDecal* decal = NewDecal(owner, size, strength, flag);
    if (decal) m_decals.push_back(decal);
    return decal;
}

void CTerrainEngine::RemoveDecal(CTerrainDecal* decal) {
    auto it = std::find(m_decals.begin(), m_decals.end(), decal);
    if (it == m_decals.end()) return;
    m_decals.erase(it);
    FreeDecal(decal);
}

int CTerrainEngine::CreateGroundMarker(CTextureResource* picture, float size, const Vec3& position) {
    RemoveGroundMarker();
    m_marker = NewDecal(nullptr, size, 1.0f, 0);
    if (!m_marker) return 0;
    m_marker->position = position;
    m_markerShown = false;
    m_markerPicture = picture;
    return 1;
}

void CTerrainEngine::RemoveGroundMarker() {
    if (m_marker) FreeDecal(m_marker);
    m_marker = nullptr;
    m_markerShown = false;
    m_markerPicture = nullptr;
}

void CTerrainEngine::MoveGroundMarker(const Vec3& position) {
    if (!m_marker || (m_marker->position.x == position.x && m_marker->position.z == position.z)) return;
    m_marker->position = position;
    m_marker->moved = true;
}

void CTerrainEngine::SizeGroundMarker(float size) {
    if (!m_marker || (m_marker->width == size && m_marker->depth == size)) return;
    m_marker->width = m_marker->depth = size;
    m_marker->moved = true;
}

void CTerrainEngine::AddToObjectSets(CWorldObject* object, int addToTerrain) {
    if (!object) return;
    const float radius = object->bounds.radius;
    if (addToTerrain && !object->terrainHandles[0]) object->terrainHandles[0] = AddDecal(object, 3.0f * radius, 1.5f, 0);
    if (!(object->flags & (WO_BUILDING | WO_ITEM | 0x8)) && !object->terrainHandles[1])
        object->terrainHandles[1] = AddDecal(object, 4.0f * radius, 0.3f, 1);
}

void CTerrainEngine::RemoveFromObjectSets(CWorldObject* object) {
    if (!object) return;
    for (void*& handle : object->terrainHandles) {
        if (handle) RemoveDecal(static_cast<CTerrainDecal*>(handle));
        handle = nullptr;
    }
}

void CTerrainEngine::RebuildDecalMesh(CTerrainDecal& decal) {
    CGroundMesh& mesh = *decal.mesh;
    mesh.Clear();
    // The 20-unit terrain vertices under the decal's box, clipped to the terrain.
    const int32_t c0 = std::max(0, static_cast<int32_t>(std::floor((decal.position.x - decal.width / 2) / 20)));
    const int32_t c1 = std::min(m_cellsAcross, static_cast<int32_t>(std::ceil((decal.position.x + decal.width / 2) / 20)));
    const int32_t r0 = std::max(0, static_cast<int32_t>(std::floor((decal.position.z - decal.depth / 2) / 20)));
    const int32_t r1 = std::min(m_cellsDeep, static_cast<int32_t>(std::ceil((decal.position.z + decal.depth / 2) / 20)));
    if (c1 <= c0 || r1 <= r0) return;
    const uint32_t columns = static_cast<uint32_t>(c1 - c0 + 1), rows = static_cast<uint32_t>(r1 - r0 + 1);
    if (columns * rows > 65535) return;
    mesh.Create(columns * rows, (columns - 1) * (rows - 1) * 6, 0);
    for (uint32_t r = 0; r < rows; ++r) {
        for (uint32_t c = 0; c < columns; ++c) {
            const int32_t gx = c0 + static_cast<int32_t>(c), gz = r0 + static_cast<int32_t>(r);
            const int32_t px = std::min(gx / 8, m_across - 1), pz = std::min(gz / 8, m_deep - 1);
            const CTerrainObject& patch = *m_patches[static_cast<size_t>(pz * m_across + px)];
            const int vertex = (gz - pz * 8) * CTerrainObject::kSide + (gx - px * 8);
            mesh.Vertices()[r * columns + c] = {patch.VertexPosition(vertex, 0) + patch.position,
                                                patch.VertexNormal(vertex)};
        }
    }
    uint32_t k = 0;
    for (uint32_t r = 0; r + 1 < rows; ++r) {
        for (uint32_t c = 0; c + 1 < columns; ++c) {
            const uint16_t v = static_cast<uint16_t>(r * columns + c);
            const uint16_t up = static_cast<uint16_t>(v + columns);
            const uint16_t quad[6] = {v, static_cast<uint16_t>(up + 1), static_cast<uint16_t>(v + 1),
                                      v, up, static_cast<uint16_t>(up + 1)};
            for (uint16_t index : quad) mesh.Indices()[k++] = index;
        }
    }
    mesh.RestoreDeviceObjects();
    decal.moved = false;
}

void CTerrainEngine::RenderTextured() {
    for (const auto& patch : m_patches)
        if (patch->IsVisible()) patch->DrawTextured();
}

void CTerrainEngine::RenderOverlays() {
    for (const auto& patch : m_patches) patch->DrawOverlay();
}

namespace {
// Camera space back to world space, then world units to patch units.
Matrix PatchSpaceFromCamera(CGfxDevice& device, float unitsPerTexture) {
    Matrix view = Matrix::Identity(), inverse = Matrix::Identity();
    device.GetTransform(TS_VIEW, &view);
    MatrixInverse(view, &inverse);
    return inverse * MatrixScaling(1.0f / unitsPerTexture, 1.0f / unitsPerTexture, 1.0f / unitsPerTexture);
}

// World x and z to texture u and v; v runs toward -z for images whose top
// row lies at the far edge, toward +z for the sight grid's rows.
Matrix GroundToTexture(float originU, float originV, bool vTowardMinusZ = true) {
    Matrix m = Matrix::Identity();
    m.m[0][0] = 1;
    m.m[1][0] = 0;
    m.m[2][0] = 0;
    m.m[0][1] = 0;
    m.m[1][1] = 0;
    m.m[2][1] = vTowardMinusZ ? -1.0f : 1.0f;
    m.m[3][0] = originU;
    m.m[3][1] = originV;
    return m;
}
}  // namespace

void CTerrainEngine::RenderProjectedPass(CGfxTexture* texture) {
    if (!m_device || m_count == 0) return;
    CGfxDevice& device = *m_device;
    SetSourceAlphaBlend(device);
    SetStageStateCached(device, 0, TSS_TEXCOORDINDEX, TCI_CAMERASPACEPOSITION);
    SetStageStateCached(device, 0, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT2);
    SetStageStateCached(device, 0, TSS_COLOROP, TOP_MODULATE);
    SetStageStateCached(device, 0, TSS_ALPHAOP, TOP_MODULATE);
    SetStageStateCached(device, 1, TSS_TEXCOORDINDEX, TCI_CAMERASPACEPOSITION | 1);
    SetStageStateCached(device, 1, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT2);
    SetStageStateCached(device, 1, TSS_COLOROP, TOP_SELECTARG1);
    SetStageStateCached(device, 1, TSS_COLORARG1, TA_CURRENT);
    SetStageStateCached(device, 1, TSS_ALPHAOP, TOP_MODULATE);
    SetStageStateCached(device, 1, TSS_ALPHAARG1, TA_CURRENT);
    SetStageStateCached(device, 1, TSS_ALPHAARG2, TA_TEXTURE);
    const Matrix inverse = PatchSpaceFromCamera(device, kPatchSize);
    SetTextureCached(device, 0, texture);
    for (const auto& patch : m_patches) {
        if (!patch->IsVisible()) continue;
        const Matrix m = inverse * GroundToTexture(-patch->position.x / kPatchSize, patch->position.z / kPatchSize + 1.0f);
        device.SetTransform(TS_TEXTURE0, &m);
        device.SetTransform(TS_TEXTURE1, &m);
        patch->RenderPass2();
    }
    SetStageStateCached(device, 1, TSS_TEXTURETRANSFORMFLAGS, TTFF_DISABLE);
    SetStageStateCached(device, 1, TSS_TEXCOORDINDEX, 1);
    SetStageStateCached(device, 1, TSS_COLOROP, TOP_DISABLE);
    SetStageStateCached(device, 1, TSS_ALPHAOP, TOP_DISABLE);
    SetTextureCached(device, 1, nullptr);
    const CMaterial defaults;
    device.SetMaterial(&defaults.Get());
    SetSamplerStateCached(device, 0, SAMP_ADDRESSU, TADDRESS_CLAMP);
    SetSamplerStateCached(device, 0, SAMP_ADDRESSV, TADDRESS_CLAMP);
    if (!drawDecals) return;
    const Matrix cameraToWorld = PatchSpaceFromCamera(device, 1.0f);
    for (CTerrainDecal* decal : m_decals) {
        if (decal->owner && (decal->moved || decal->owner->position.x != decal->position.x ||
                             decal->owner->position.z != decal->position.z)) {
            decal->position = decal->owner->position;
            decal->moved = true;
        }
        if (decal->moved) RebuildDecalMesh(*decal);
        if (decal->mesh && decal->mesh->VertexBuffer()) RenderProjectedLayer(*decal, cameraToWorld);
    }
}

void CTerrainEngine::RenderProjectedLayer(CTerrainDecal& decal, const Matrix& inverseView) {
    if (!m_device || !decal.mesh) return;
    const float scale = decal.owner ? decal.owner->bounds.scale : 1.0f;
    const float radius = decal.width / 2 * (scale > 0 ? scale : 1.0f);
    const float k = 1.0f / (radius > 0 ? radius : 1.0f);
    // Decal space: the owner's position at the texture's centre, one radius to each side.
    const Matrix m = inverseView * MatrixTranslation(-decal.position.x, 0, -decal.position.z) *
                     MatrixScaling(k * 0.5f, k * 0.5f, k * 0.5f) * GroundToTexture(0.5f, 0.5f);
    m_device->SetTransform(TS_TEXTURE0, &m);
    const Matrix identity = Matrix::Identity();
    m_device->SetTransform(TS_WORLD, &identity);
    decal.mesh->Draw();
}

namespace {
// The states one draw changes, read before it and put back after it in the
// reverse order, so that the passes around it find the device as they left it.
class CStatesKept {
public:
    explicit CStatesKept(CGfxDevice& device) : m_device(device) {
        m_texture = device.GetTexture(0);
        device.GetTransform(TS_TEXTURE0, &m_textureTransform);
        device.GetTransform(TS_WORLD, &m_world);
    }
    ~CStatesKept() {
        for (auto it = m_kept.rbegin(); it != m_kept.rend(); ++it) {
            switch (it->kind) {
                case RENDER:
                    SetRenderStateCached(m_device, it->type, it->value);
                    break;
                case STAGE:
                    SetStageStateCached(m_device, it->stage, it->type, it->value);
                    break;
                case SAMPLER:
                    SetSamplerStateCached(m_device, it->stage, it->type, it->value);
                    break;
            }
        }
        SetTextureCached(m_device, 0, m_texture);
        m_device.SetTransform(TS_TEXTURE0, &m_textureTransform);
        m_device.SetTransform(TS_WORLD, &m_world);
    }
    CStatesKept(const CStatesKept&) = delete;
    CStatesKept& operator=(const CStatesKept&) = delete;

    void Render(uint32_t type, uint32_t value) {
        Keep(RENDER, 0, type);
        SetRenderStateCached(m_device, type, value);
    }
    void Stage(uint32_t stage, uint32_t type, uint32_t value) {
        Keep(STAGE, stage, type);
        SetStageStateCached(m_device, stage, type, value);
    }
    void Sampler(uint32_t sampler, uint32_t type, uint32_t value) {
        Keep(SAMPLER, sampler, type);
        SetSamplerStateCached(m_device, sampler, type, value);
    }

private:
    enum Kind { RENDER, STAGE, SAMPLER };
    struct Kept {
        Kind kind;
        uint32_t stage, type, value;
    };
    void Keep(Kind kind, uint32_t stage, uint32_t type) {
        uint32_t value = 0;
        if (kind == RENDER) m_device.GetRenderState(type, &value);
        if (kind == STAGE) m_device.GetTextureStageState(stage, type, &value);
        if (kind == SAMPLER) m_device.GetSamplerState(stage, type, &value);
        m_kept.push_back({kind, stage, type, value});
    }

    CGfxDevice& m_device;
    std::vector<Kept> m_kept;
    CGfxTexture* m_texture = nullptr;
    Matrix m_textureTransform = Matrix::Identity(), m_world = Matrix::Identity();
};
}  // namespace

void CTerrainEngine::RenderGroundMarker() {
    if (!m_device || !m_marker || !m_markerShown || m_count == 0) return;
    CTerrainDecal& marker = *m_marker;
    if (marker.moved) RebuildDecalMesh(marker);
    // Without its picture the marker would be a plain box over the ground.
    CGfxTexture* picture = m_markerPicture ? m_markerPicture->Texture() : nullptr;
    if (!picture || !marker.mesh || !marker.mesh->VertexBuffer()) return;
    CGfxDevice& device = *m_device;
    CStatesKept kept(device);
    // The picture as it is, whatever the light and the terrain's shading:
    // the marker is a sign on the ground, not a part of it.
    kept.Render(RS_LIGHTING, 0);
    kept.Render(RS_ALPHABLENDENABLE, 1);
    kept.Render(RS_SRCBLEND, BLEND_SRCALPHA);
    kept.Render(RS_DESTBLEND, BLEND_INVSRCALPHA);
    kept.Stage(0, TSS_TEXCOORDINDEX, TCI_CAMERASPACEPOSITION);
    kept.Stage(0, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT2);
    kept.Stage(0, TSS_COLOROP, TOP_SELECTARG1);
    kept.Stage(0, TSS_COLORARG1, TA_TEXTURE);
    kept.Stage(0, TSS_ALPHAOP, TOP_SELECTARG1);
    kept.Stage(0, TSS_ALPHAARG1, TA_TEXTURE);
    kept.Stage(1, TSS_COLOROP, TOP_DISABLE);
    kept.Stage(1, TSS_ALPHAOP, TOP_DISABLE);
    // The mesh reaches past the marker's box to whole terrain cells: the
    // picture's clear edge is stretched over the rest.
    kept.Sampler(0, SAMP_ADDRESSU, TADDRESS_CLAMP);
    kept.Sampler(0, SAMP_ADDRESSV, TADDRESS_CLAMP);
    SetTextureCached(device, 0, picture);
    RenderProjectedLayer(marker, PatchSpaceFromCamera(device, 1.0f));
}

void CTerrainEngine::RenderFogOfWar(float elapsed) {
    if (!m_sightReady || !m_sight || !m_device || m_count == 0) return;
    CGfxDevice& device = *m_device;
    float minX = m_worldWidth, minZ = m_worldDepth, maxX = 0, maxZ = 0;
    for (const auto& patch : m_patches) {
        if (!patch->IsVisible()) continue;
        minX = std::min(minX, patch->position.x);
        minZ = std::min(minZ, patch->position.z);
        maxX = std::max(maxX, patch->position.x + kPatchSize);
        maxZ = std::max(maxZ, patch->position.z + kPatchSize);
    }
    const float span = static_cast<float>(kFogSide) * 10.0f;
    // The fog texture's rows run from the bounds' lowest z on, one 10-unit sight cell a texel.
    const Matrix m = PatchSpaceFromCamera(device, span) * GroundToTexture(-minX / span, -minZ / span, false);
    SetStageStateCached(device, 0, TSS_TEXCOORDINDEX, TCI_CAMERASPACEPOSITION);
    SetStageStateCached(device, 0, TSS_TEXTURETRANSFORMFLAGS, TTFF_COUNT2);
    device.SetTransform(TS_TEXTURE0, &m);
    SetSourceAlphaBlend(device);
    SetStageStateCached(device, 0, TSS_COLOROP, TOP_MODULATE);
    SetStageStateCached(device, 0, TSS_ALPHAOP, TOP_MODULATE);
    m_fogTimer += elapsed;
    if (m_fogTexture && (m_fogTimer >= kFogRefresh || m_fogForced)) {
        m_sight->UpdateFog(m_fogTimer);
        m_sight->WriteRegion(m_fogTexture, static_cast<int32_t>(minZ / 10.0f), static_cast<int32_t>(minX / 10.0f));
        m_fogForced = 0;
        m_fogTimer = 0;
    }
    SetTextureCached(device, 0, m_fogTexture);
    for (const auto& patch : m_patches)
        if (patch->IsVisible()) patch->DrawOverlay();
    SetStageStateCached(device, 0, TSS_TEXTURETRANSFORMFLAGS, TTFF_DISABLE);
    SetStageStateCached(device, 0, TSS_TEXCOORDINDEX, 0);
}
