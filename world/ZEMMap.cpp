#include "world/ZEMMap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/ErrorReport.h"
#include "world/LoadProgress.h"
#include "engine/core/FileIndex.h"
#include "engine/core/FileStream.h"
#include "engine/core/MessageTable.h"
#include "engine/render/DeviceStates.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "world/GameDataRecord.h"
#include "world/GameDataRegistry.h"
#include "world/WorldObject.h"

using namespace platform;

CZEMMap* g_pZEMMap = nullptr;

namespace {
const CFileIndex* FileIndexInUse() {
    if (g_pFileIndex) return g_pFileIndex;
    return g_pResourceManager ? &g_pResourceManager->FileIndex() : nullptr;
}

// Opens a map or side file, loose or inside a package, positioned at its start.
int OpenMapFile(const std::string& name, CFileStream& stream) {
    uint32_t offset = 0, size = 0;
    std::string path;
    if (const CFileIndex* index = FileIndexInUse()) path = index->ResolvePath(name.c_str(), &offset, &size);
    if (path.empty()) path = name;
    return stream.OpenReadBuffered(path.c_str(), offset, size);
}

int VersionError(const char* fileName) {
    ErrorReport().SetError(ERR_FILE_VERSION, GetMessageText(MSG_ERROR_FILE_VERSION), fileName ? fileName : "");
    return 0;
}

// A damaged or cut map: the stream's own failure, named after the file.
int DataError(CFileStream& stream, const char* what) {
    if (stream.Failed() || ErrorReport().GetCode() == 0) ErrorReport().SetError(ERR_DATA, "%s", what);
    ErrorReport().Chain("%s", stream.path());
    return 0;
}

bool CountFitsStream(CFileStream& stream, uint32_t count, uint32_t minBytes) {
    return stream.mode() != CFileStream::MODE_READ || static_cast<uint64_t>(count) * minBytes <= stream.Remaining();
}
}  // namespace

CZEMMap::CZEMMap(CGfxDevice* device) : terrain(device), m_device(device) {
    static constexpr float kCorners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}};
    for (int i = 0; i < 4; ++i) {
        m_markTemplate[i].x = kCorners[i][0];
        m_markTemplate[i].y = kCorners[i][1];
    }
    scenario.SetAreas(&areas);
    g_pZEMMap = this;
}

CZEMMap::~CZEMMap() {
    Unload();
    if (g_pZEMMap == this) g_pZEMMap = nullptr;
}

void CZEMMap::ReleaseWaterEffects() {
    if (g_pResourceManager) {
        g_pResourceManager->ReleaseResource(footmarkEffect);
        g_pResourceManager->ReleaseResource(waterSound);
    }
    footmarkEffect = waterSound = nullptr;
    markerTextures = {};
}

void CZEMMap::SetDevice(CGfxDevice* device) {
    m_device = device;
    terrain.SetDevice(device);
}

float CZEMMap::GetHeightAt(const Vec3& point) {
    float height = 0;
    return terrain.GetHeightAt(point, &height) ? height : 0.0f;
}

int CZEMMap::ReadMapHeader(const char* fileName, std::string* name1, std::string* name2, std::string* name3,
                           uint32_t* stamp) {
    CFileStream stream;
    if (!OpenMapFile(fileName ? fileName : "", stream)) return 0;
    float version = 0;
    stream.ReadFloat(version);
    if (version != kVersion) return VersionError(fileName);
    uint32_t readStamp = 0;
    std::string texts[3];
    stream.Serialize(readStamp);
    for (std::string& text : texts) stream.Serialize(text);
    if (stream.Failed()) return DataError(stream, "map header");
    if (stamp) *stamp = readStamp;
    if (name1) *name1 = texts[0];
    if (name2) *name2 = texts[1];
    if (name3) *name3 = texts[2];
    return 1;
}

int CZEMMap::LoadMap(const char* fileName, int ownData, std::atomic<float>* progress, float span) {
    mapFileName = fileName ? fileName : "";
    CFileStream stream;
    if (!OpenMapFile(mapFileName, stream)) return 0;
    float version = 0;
    stream.ReadFloat(version);
    if (version != kVersion) return VersionError(mapFileName.c_str());
    if (!SerializeBody(stream, ownData, progress, span)) return 0;
    stream.Close();
    SetupSight(ownData);
    terrain.LinkPatches();
    terrain.FitOverlays(water.BlockList());
    m_sideRead = false;
    return CreateDeviceObjects();
}

void CZEMMap::SetupSight(int ownData) {
    if (!ownData) {
        terrain.SetupSight(objects.localTeam >= 0 && objects.localTeam < 12 ? objects.localTeam : 0,
                           objects.sightGradeFlag, objects.teamInPlay);
        terrain.SetSightReady(1);
        terrain.FillSightHeights(objects.Objects());
    } else {
        terrain.SetupSight(0, 1, nullptr);
        terrain.SetSightReady(1);
    }
    objects.sightGrid = terrain.SightGrid();
}

int CZEMMap::SerializeBody(CFileStream& stream, int ownData, std::atomic<float>* progress, float span) {
    const bool reading = stream.mode() == CFileStream::MODE_READ;
    stream.Serialize(dataStamp);
    for (std::string& name : names) stream.Serialize(name);
    stream.Serialize(lordsOff);
    stream.Serialize(fixedCameraHeight);
    stream.Serialize(dataFileName);
    if (stream.Failed()) return DataError(stream, "map header");
    if (reading && objects.gameMode != 2) objects.lordsOff = lordsOff;

    if (reading && !dataFileName.empty()) {
        if (ownData) {
            if (!g_pGameDataRegistry) return DataError(stream, "no game data");
            g_pGameDataRegistry->Clear();
            if (!g_pGameDataRegistry->LoadDataBlock(dataFileName.c_str())) return 0;
        } else if (!g_pGameDataRegistry || g_pGameDataRegistry->blockValue != dataStamp) {
            ErrorReport().SetError(ERR_RESOURCE_LINK, GetMessageText(MSG_ERROR_WRONG_DATA_FILE_KEY), dataFileName);
            return 0;
        }
    }

    if (!terrain.LoadSection(stream, ownData ? 0 : 1, progress, span * 0.4f)) return 0;

    stream.Serialize(killPointFactor);
    int32_t teams[kOwnerCount];
    std::copy(std::begin(objects.ownerTeam), std::end(objects.ownerTeam), teams);
    for (int32_t& team : teams) stream.Serialize(team);
    for (float& value : ambientEvent) stream.Serialize(value);
    stream.Serialize(fogOn);
    stream.Serialize(fogStart);
    stream.Serialize(fogEnd);
    stream.Serialize(fogColor);
    if (stream.Failed()) return DataError(stream, "map settings");
    if (reading) {
        std::copy(std::begin(teams), std::end(teams), objects.ownerTeam);
        objects.SetLocalSlot(objects.localSlot);
        objects.killPointFactor = killPointFactor;
        objects.fogOn = fogOn;
        objects.fogStart = fogStart;
        objects.fogEnd = fogEnd;
        objects.fogColor = fogColor;
    }

    if (!SerializeObjects(stream, ownData, progress, span)) return 0;
    if (!areas.Serialize(stream)) return DataError(stream, "Area");
    AddLoadProgress(progress, span * 0.01f);
    // A water block that cannot be read is a damaged map, not a dry patch.
    if (!water.Serialize(stream, terrain, m_device)) return DataError(stream, "Water");
    if (!scenario.LoadTriggers(stream)) return DataError(stream, "Trigger");
    if (reading && !ownData && !scenario.LinkTriggers()) return 0;
    AddLoadProgress(progress, span * 0.04f);
    if (!SerializeItems(stream, ownData)) return 0;
    if (stream.Failed()) return DataError(stream, "map");
    return 1;
}

int CZEMMap::SerializeObjects(CFileStream& stream, int ownData, std::atomic<float>* progress, float span) {
    const bool reading = stream.mode() == CFileStream::MODE_READ;
    uint32_t count = static_cast<uint32_t>(objectsToWrite.size());
    if (!stream.Serialize(count) || !CountFitsStream(stream, count, 4)) return DataError(stream, "Object");
    const float share = count > 0 ? span * 0.54f / static_cast<float>(count) : 0.0f;
    for (uint32_t i = 0; i < count; ++i) {
        if (!reading) {
            if (!objectsToWrite[i]->LoadFromMap(stream, ownData)) return DataError(stream, "Object");
            AddLoadProgress(progress, share);
            continue;
        }
        if (!objects.LoadMapObject(stream, ownData)) {
            if (stream.Failed()) return DataError(stream, "Object");
            ErrorReport().Chain("%s", mapFileName);
            return 0;
        }
        AddLoadProgress(progress, share);
    }
    return 1;
}

int CZEMMap::SerializeItems(CFileStream& stream, int ownData) {
    const bool reading = stream.mode() == CFileStream::MODE_READ;
    // Looks an id up; true when the entry is kept (a null record is kept as an empty reference).
    auto resolve = [&](uint32_t id, CGameDataRecord** out) -> int {
        CGameDataRecord* record = g_pGameDataRegistry ? g_pGameDataRegistry->FindRecord(CAT_ITEM, id) : nullptr;
        *out = record;
        if (!record) return 1;
        if (!ownData && (record->flags & 0x40000000u)) return 2;
        return record->Link() ? 1 : 0;
    };
    uint32_t groups = static_cast<uint32_t>(itemGroupIds.size());
    if (!stream.Serialize(groups) || !CountFitsStream(stream, groups, 4)) return DataError(stream, "Item");
    if (reading) {
        itemGroupIds.assign(groups, {});
        itemGroups.assign(groups, {});
    }
    for (uint32_t g = 0; g < groups; ++g) {
        uint32_t lists = static_cast<uint32_t>(itemGroupIds[g].size());
        if (!stream.Serialize(lists) || !CountFitsStream(stream, lists, 4)) return DataError(stream, "Item");
        if (reading) {
            itemGroupIds[g].assign(lists, {});
            itemGroups[g].assign(lists, {});
        }
        for (uint32_t l = 0; l < lists; ++l) {
            std::vector<uint32_t>& ids = itemGroupIds[g][l];
            uint32_t count = static_cast<uint32_t>(ids.size());
            if (!stream.Serialize(count) || !CountFitsStream(stream, count, 4)) return DataError(stream, "Item");
            if (reading) ids.assign(count, 0);
            for (uint32_t& id : ids) stream.Serialize(id);
            if (stream.Failed()) return DataError(stream, "Item");
            if (!reading) continue;
            for (uint32_t id : ids) {
                CGameDataRecord* record = nullptr;
                const int kept = resolve(id, &record);
                if (kept == 0) return 0;
                if (kept == 1) itemGroups[g][l].push_back(record);
            }
        }
    }
    uint32_t count = static_cast<uint32_t>(baseItemIds.size());
    if (!stream.Serialize(count) || !CountFitsStream(stream, count, 4)) return DataError(stream, "Base Item List");
    if (reading) {
        baseItemIds.assign(count, 0);
        baseItems.clear();
    }
    for (uint32_t& id : baseItemIds) stream.Serialize(id);
    if (stream.Failed()) return DataError(stream, "Base Item List");
    if (!reading) return 1;
    for (uint32_t id : baseItemIds) {
        CGameDataRecord* record = nullptr;
        const int kept = resolve(id, &record);
        if (kept == 0) {
            ErrorReport().Chain("%s", "Base Item List");
            return 0;
        }
        // The play path has no use for an id that names no record; the own-data path keeps the slot.
        if (kept == 1 && (record || ownData)) baseItems.push_back(record);
    }
    return 1;
}

std::string CZEMMap::MinimapPictureName(const std::string& mapFile) {
    const size_t slash = mapFile.find_last_of("\\/");
    std::string base = slash == std::string::npos ? mapFile : mapFile.substr(slash + 1);
    if (const size_t dot = base.find_last_of('.'); dot != std::string::npos) base.resize(dot);
    return base + ".DDS";
}

int CZEMMap::LoadSideFile() {
    const size_t dot = mapFileName.find_last_of('.');
    const std::string base = dot == std::string::npos ? mapFileName : mapFileName.substr(0, dot);
    const std::string name = base + ".DRT";
    CFileStream stream;
    const CFileIndex* index = FileIndexInUse();
    uint32_t offset = 0, size = 0;
    std::string path = index ? index->ResolvePath(name.c_str(), &offset, &size) : name;
    if (path.empty() || !stream.OpenReadBuffered(path.c_str(), offset, size)) {
        // Without its side file the terrain is drawn with its base layer alone.
        while (terrain.LayerTextures().size() > 1) terrain.RemoveLayer(static_cast<uint32_t>(terrain.LayerTextures().size() - 1));
        m_sideRead = true;
        return 1;
    }
    uint32_t layers = 0;
    // Every layer after the base takes at least its present flag in every record.
    if (!stream.Serialize(layers) || layers > 64 ||
        static_cast<uint64_t>(layers > 0 ? layers - 1 : 0) * 4 * static_cast<uint64_t>(terrain.patchCount()) >
            stream.Remaining() ||
        !terrain.LoadSideRecords(stream, layers)) {
        if (ErrorReport().GetCode() == 0 || stream.Failed()) ErrorReport().SetError(ERR_DATA, "%s", name);
        return 0;
    }
    sideLayers = layers;
    m_sideRead = true;
    return 1;
}

int CZEMMap::CreateDeviceObjects() {
    if (sideFileWanted && !m_sideRead && terrain.patchCount() > 0 && !LoadSideFile()) return 0;
    // Without a device the buffers come with it.
    if (!m_device) return 1;
    if (!terrain.CreateDeviceObjects()) return 0;
    if (!water.RestoreDeviceObjects()) return 0;
    if (!m_markBuffer) {
        GfxResult r = m_device->CreateVertexBuffer(kMarkQuads * 4 * sizeof(MinimapVertex), 0, kMarkFvf,
                                                   POOL_MANAGED, &m_markBuffer);
        if (GfxFailed(r)) {
            m_markBuffer = nullptr;
            ErrorReport().SetDxError(ERR_DEVICE_CALL, ".\\ZEMMap", __LINE__, r);
            return 0;
        }
        void* data = nullptr;
        if (GfxSucceeded(m_markBuffer->Lock(0, 0, &data, 0))) {
            auto* v = static_cast<MinimapVertex*>(data);
            for (int32_t q = 0; q < kMarkQuads; ++q) std::memcpy(v + 4 * q, m_markTemplate, sizeof(m_markTemplate));
            m_markBuffer->Unlock();
        }
    }
    if (!m_markIndices) {
        GfxResult r = m_device->CreateIndexBuffer(kMarkQuads * 6 * 2, 0, FMT_INDEX16, POOL_MANAGED, &m_markIndices);
        if (GfxFailed(r)) {
            m_markIndices = nullptr;
            ErrorReport().SetDxError(ERR_DEVICE_CALL, ".\\ZEMMap", __LINE__, r);
            return 0;
        }
        void* data = nullptr;
        if (GfxSucceeded(m_markIndices->Lock(0, 0, &data, 0))) {
            auto* index = static_cast<uint16_t*>(data);
            for (int32_t q = 0; q < kMarkQuads; ++q) {
                const uint16_t b = static_cast<uint16_t>(4 * q);
                const uint16_t quad[6] = {b, static_cast<uint16_t>(b + 1), static_cast<uint16_t>(b + 3),
                                          b, static_cast<uint16_t>(b + 3), static_cast<uint16_t>(b + 2)};
                std::memcpy(index + 6 * q, quad, sizeof(quad));
            }
            m_markIndices->Unlock();
        }
    }
    return 1;
}

void CZEMMap::InvalidateDeviceObjects() { water.InvalidateDeviceObjects(); }

void CZEMMap::Clear() {
    scenario.Reset();
    objects.Clear();
    // The sight grid goes with the terrain.
    objects.sightGrid = nullptr;
    terrain.Clear();
    tree.Clear();
    areas.Clear();
    water.ClearBlocks();
    for (auto& group : itemGroups)
        for (auto& list : group)
            for (CGameDataRecord* record : list)
                if (record) record->ReleaseResources();
    itemGroups.clear();
    itemGroupIds.clear();
    for (CGameDataRecord* record : baseItems)
        if (record && record->linked) record->ReleaseResources();
    baseItems.clear();
    baseItemIds.clear();
    names[1].clear();
    names[2].clear();
    fixedCameraHeight = 0;
    m_sideRead = false;
    sideLayers = 0;
}

void CZEMMap::Unload() {
    SetMinimapTexture(nullptr);
    ReleaseWaterEffects();
    if (g_pGameDataRegistry) g_pGameDataRegistry->ReleaseCombinations();
    Clear();
    terrain.InvalidateDeviceObjects();
    water.InvalidateDeviceObjects();
    if (m_markBuffer) m_markBuffer->Release();
    if (m_markIndices) m_markIndices->Release();
    m_markBuffer = nullptr;
    m_markIndices = nullptr;
    water.ReleaseFrames();
    water.ClearBlocks();
}

void CZEMMap::RenderWater(float elapsed) {
    if (m_device) water.Render(*m_device, elapsed);
}

void CZEMMap::SetMinimapTexture(CTextureResource* texture) {
    if (m_minimapTexture && g_pResourceManager) g_pResourceManager->ReleaseResource(m_minimapTexture);
    m_minimapTexture = texture;
}

void CZEMMap::SetMinimapRect(int32_t left, int32_t top, int32_t width, int32_t height) {
    const float w = terrain.worldWidth(), d = terrain.worldDepth();
    // Before a map is loaded there is nothing to fit.
    if (!(w > 0) || !(d > 0) || width <= 0 || height <= 0) return;
    int32_t pixelWidth = width, pixelHeight = height;
    if (w / d > d / w)
        pixelHeight = static_cast<int32_t>(static_cast<float>(width) * d / w);
    else
        pixelWidth = static_cast<int32_t>(static_cast<float>(height) * w / d);
    m_rect.requestedWidth = width;
    m_rect.requestedHeight = height;
    m_rect.left = (width - pixelWidth) / 2 + left;
    m_rect.top = (height - pixelHeight) / 2 + top;
    m_rect.width = pixelWidth;
    m_rect.height = pixelHeight;
    m_rect.scaleX = static_cast<float>(pixelWidth) / w;
    m_rect.scaleZ = static_cast<float>(pixelHeight) / d;
    m_rect.halfPixelX = static_cast<float>(pixelWidth) / static_cast<float>(width) * 0.5f;
    m_rect.halfPixelZ = static_cast<float>(pixelHeight) / static_cast<float>(height) * 0.5f;
}

bool CZEMMap::MarkOf(CWorldObject& o, int fixedMarks, int drawItems, uint32_t* color, float* halfSize) const {
    if (!o.alive || (o.flags & SO_HIDDEN) || (o.unitFlags & 0x4000000u)) return false;
    // Objects that show only to their own side.
    if ((o.stateFlags & 0x400000u) && !(o.stateFlags & 0x800000u) && o.team != objects.localTeam) return false;
    uint32_t c = objects.GetTeamColor(o.team);
    if (o.owner == 12 || o.team == kTeamFriendlyNeutral) {
        if (o.flags & WO_ITEM) {
            if (!drawItems) return false;
            c = 0xFF000000u;
        } else if (o.flags & WO_DECORATION) {
            if (o.unitFlags & 0x100000u) {
                c = 0xFF339900u;
            } else {
                if (!drawItems) return false;
                c = 0xFF000000u;
            }
        }
    }
    float half = 2.0f;
    if (!fixedMarks) {
        const float pixels = static_cast<float>(std::max(m_rect.width, m_rect.height));
        half = o.bounds.scale * o.bounds.radius * pixels / std::max(terrain.worldWidth(), terrain.worldDepth());
        if ((o.flags & (WO_UNIT | WO_BUILDING)) || (o.flags & 0x20000032u))
            half = std::max(half * 1.5f, 2.5f);
        else
            half = std::max(half, 1.5f);
    }
    *color = c;
    *halfSize = half;
    return true;
}

void CZEMMap::AddMark(float x, float y, float halfSize, uint32_t color, bool wholeTexture) {
    if (!m_markBuffer) return;
    if (!m_markLocked) {
        void* data = nullptr;
        const uint32_t bytes = static_cast<uint32_t>(sizeof(MinimapVertex));
        if (GfxFailed(m_markBuffer->Lock(static_cast<uint32_t>(m_firstQuad) * 4 * bytes,
                                         static_cast<uint32_t>(m_batch) * 4 * bytes, &data, 0)))
            return;
        m_markLocked = static_cast<MinimapVertex*>(data);
    }
    MinimapVertex* v = m_markLocked + 4 * m_written;
    for (int i = 0; i < 4; ++i) {
        v[i] = m_markTemplate[i];
        v[i].x = x + m_markTemplate[i].x * 2.0f * halfSize;
        v[i].y = y + m_markTemplate[i].y * 2.0f * halfSize;
        v[i].color = color;
        if (wholeTexture) {
            v[i].u = m_markTemplate[i].x + 0.5f;
            v[i].v = m_markTemplate[i].y + 0.5f;
        }
    }
    if (++m_written == m_batch) FlushMarks();
}

void CZEMMap::FlushMarks() {
    if (m_markLocked) {
        m_markBuffer->Unlock();
        m_markLocked = nullptr;
    }
    if (m_written == 0) return;
    m_device->DrawIndexedPrimitive(PT_TRIANGLELIST, 0, static_cast<uint32_t>(m_firstQuad) * 4,
                                   static_cast<uint32_t>(m_written) * 4, static_cast<uint32_t>(m_firstQuad) * 6,
                                   static_cast<uint32_t>(m_written) * 2);
    m_firstQuad += m_batch;
    if (m_firstQuad > kMarkQuads - 1) m_firstQuad = 0;
    m_written = 0;
}

void CZEMMap::DrawMinimap(const MinimapHeroes& heroes, int fixedMarks, int drawItems) {
    if (!m_device || !m_markBuffer || !m_markIndices || m_rect.width <= 0) return;
    CGfxDevice& device = *m_device;
    device.SetStreamSource(0, m_markBuffer, 0, sizeof(MinimapVertex));
    SetFvfCached(device, kMarkFvf);
    device.SetIndices(m_markIndices);
    CGfxTexture* icon = m_minimapTexture ? m_minimapTexture->Texture() : nullptr;
    SetTextureCached(device, 0, icon);
    m_written = 0;
    auto toPixels = [&](const Vec3& p, float* x, float* y) {
        *x = static_cast<float>(m_rect.left) + p.x * m_rect.scaleX;
        *y = static_cast<float>(m_rect.top + m_rect.height) - p.z * m_rect.scaleZ;
    };
    for (CWorldObject* o : objects.Objects()) {
        if (!o || o->unregistered || (icon && o->owner <= 11)) continue;
        uint32_t color = 0;
        float half = 0, x = 0, y = 0;
        if (!MarkOf(*o, fixedMarks, drawItems, &color, &half)) continue;
        toPixels(o->position, &x, &y);
        AddMark(x, y, half, color, false);
    }
    if (icon) {
        auto drawHero = [&](int32_t id, uint32_t color) {
            CWorldObject* hero = objects.GetObjectById(id);
            uint32_t markColor = 0;
            float half = 0, x = 0, y = 0;
            if (!hero || !MarkOf(*hero, fixedMarks, drawItems, &markColor, &half)) return;
            toPixels(hero->position, &x, &y);
            AddMark(x, y, half * 3.0f, color, true);
        };
        for (int32_t slot = 0; slot < 12; ++slot) {
            const int32_t id = heroes.heroIds[slot];
            if (id < 0 || id == heroes.localHeroId) continue;
            uint32_t argb = 0;
            for (int k = 0; k < 4; ++k) {
                const float c = std::clamp(heroes.colors[slot][k], 0.0f, 1.0f);
                const uint32_t byte = static_cast<uint32_t>(std::lround(c * 255.0f));
                // Stored red, green, blue, alpha; packed alpha first.
                argb |= k == 3 ? byte << 24 : byte << (16 - 8 * k);
            }
            drawHero(id, argb);
        }
        if (heroes.localHeroId >= 0) drawHero(heroes.localHeroId, 0xFFFFFFFFu);
    }
    FlushMarks();
}
