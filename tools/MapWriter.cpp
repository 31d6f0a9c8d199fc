#include "tools/MapWriter.h"

#include <cmath>

#include "engine/core/FileStream.h"
#include "platform/Md5.h"
#include "world/GameDataRecord.h"
#include "world/ZEMMap.h"

using platform::Vec3;

namespace {
// An object list entry that is not a world object: its kind flags alone.
class CKindOnlyEntry : public CSceneObject {
public:
    explicit CKindOnlyEntry(uint32_t kind) : m_kind(kind) {}
    int LoadFromMap(CFileStream& stream, int) override { return stream.WriteU32(m_kind) ? 1 : 0; }

private:
    uint32_t m_kind;
};

float HeightAt(const MapDescription& d, float x, float z) { return d.height ? d.height(x, z) : 0.0f; }

// Fills a map container with the description (no device, nothing loaded).
bool Fill(const MapDescription& d, CZEMMap& map, std::vector<std::unique_ptr<CKindOnlyEntry>>& kindEntries,
          std::vector<std::unique_ptr<CGameDataRecord>>& groupRecords) {
    if (!map.terrain.BuildTree(d.across, d.deep, 1, d.patchParameter)) return false;
    for (int i = 0; i < 3; ++i) map.names[i] = d.names[i];
    map.dataStamp = d.dataStamp;
    map.dataFileName = d.dataFileName;
    map.lordsOff = d.lordsOff;
    map.fixedCameraHeight = d.fixedCameraHeight;
    map.terrain.PatchTextureNames() = d.patchTextures;
    map.terrain.PatchTextureNames().resize(static_cast<size_t>(map.terrain.patchCount()));
    for (int32_t p = 0; p < map.terrain.patchCount(); ++p) {
        CTerrainObject& patch = *map.terrain.Patch(p);
        for (int i = 0; i < CTerrainObject::kVertexCount; ++i) {
            const float lx = static_cast<float>(i % 9) * 20, lz = static_cast<float>(i / 9) * 20;
            const float x = patch.position.x + lx, z = patch.position.z + lz;
            const float h = HeightAt(d, x, z);
            // The normal of the surface through the neighbouring vertices.
            const float dx = HeightAt(d, x + 20, z) - HeightAt(d, x - 20, z);
            const float dz = HeightAt(d, x, z + 20) - HeightAt(d, x, z - 20);
            Vec3 normal(-dx, 80.0f, -dz);
            const float length = std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
            patch.SetVertex(i, Vec3(lx, h, lz), normal * (1.0f / length));
        }
    }
    CWalkGrid& grid = map.terrain.PathFinder().walkGrid();
    for (const auto& [x, z] : d.blockedCells)
        if (grid.Contains(x, z)) grid.Cell(x, z) |= CELL_BLOCKED;
    map.killPointFactor = d.killPointFactor;
    std::copy(std::begin(d.ownerTeams), std::end(d.ownerTeams), map.objects.ownerTeam);
    std::copy(std::begin(d.ambientEvent), std::end(d.ambientEvent), map.ambientEvent);
    map.fogOn = d.fogOn;
    map.fogStart = d.fogStart;
    map.fogEnd = d.fogEnd;
    map.fogColor = d.fogColor;
    for (const MapDescription::Entry& entry : d.objects) {
        if (entry.object) {
            map.objectsToWrite.push_back(entry.object);
        } else {
            kindEntries.push_back(std::make_unique<CKindOnlyEntry>(entry.kindFlags));
            map.objectsToWrite.push_back(kindEntries.back().get());
        }
    }
    for (const MapDescription::Area& area : d.areas) map.areas.Add(area.centre, area.name, area.width, area.depth);
    map.areas.Values() = d.areaValues;
    map.water.SetTerrainSize(d.across, map.terrain.patchCount());
    for (const MapDescription::WaterCell& cell : d.water) {
        CPlacementBlock* block = map.water.Block(cell.patch, true);
        if (!block || cell.cellX < 0 || cell.cellX > 7 || cell.cellZ < 0 || cell.cellZ > 7) continue;
        block->At(cell.cellX, cell.cellZ) = {1, cell.height, cell.color};
    }
    map.itemGroupIds = d.itemGroups;
    map.baseItemIds = d.baseItems;
    if (d.triggers) d.triggers(map.scenario);
    for (const std::vector<uint32_t>& ids : d.spawnGroups) {
        map.scenario.SpawnGroups().emplace_back();
        for (uint32_t id : ids) {
            // Write mode needs only the id of each record.
            groupRecords.push_back(std::make_unique<CGameDataRecord>(CAT_UNIT, 0u));
            groupRecords.back()->id = id;
            map.scenario.SpawnGroups().back().push_back(groupRecords.back().get());
        }
    }
    return true;
}
}  // namespace

std::vector<uint8_t> WriteMapFile(const MapDescription& d) {
    CZEMMap map;
    std::vector<std::unique_ptr<CKindOnlyEntry>> kindEntries;
    std::vector<std::unique_ptr<CGameDataRecord>> groupRecords;
    if (!Fill(d, map, kindEntries, groupRecords)) return {};
    CFileStream stream;
    stream.OpenMemoryWrite("map");
    stream.WriteFloat(CZEMMap::kVersion);
    const int ok = map.SerializeBody(stream, 0, nullptr, 0);
    map.objectsToWrite.clear();
    // The records are ours; the scenario must not outlive them holding pointers.
    map.scenario.SpawnGroups().clear();
    if (!ok) return {};
    std::vector<uint8_t> bytes = stream.Bytes();
    uint8_t digest[16];
    platform::Md5(bytes.data(), bytes.size(), digest);
    bytes.insert(bytes.end(), digest, digest + 16);
    return bytes;
}

std::vector<uint8_t> WriteMapSideFile(const MapDescription& d) {
    CTerrainEngine terrain;
    if (!terrain.BuildTree(d.across, d.deep, 1, d.patchParameter)) return {};
    for (uint32_t layer = 0; layer < d.blendLayers; ++layer) terrain.AddLayer(nullptr);
    for (int32_t p = 0; p < terrain.patchCount(); ++p) {
        for (uint32_t layer = 1; layer <= d.blendLayers; ++layer) {
            std::vector<uint8_t> texels(CTerrainObject::kBlendBytes);
            for (int32_t y = 0; y < CTerrainObject::kBlendSide; ++y) {
                for (int32_t x = 0; x < CTerrainObject::kBlendSide; ++x) {
                    const uint8_t alpha = d.blendAlpha ? d.blendAlpha(p, layer, x, y) : 0xFF;
                    uint8_t* texel = &texels[static_cast<size_t>(y * CTerrainObject::kBlendSide + x) * 4];
                    texel[0] = texel[1] = texel[2] = 0xFF;  // B G R
                    texel[3] = alpha;
                }
            }
            terrain.Patch(p)->SetBlendMap(layer, std::move(texels));
        }
    }
    CFileStream stream;
    stream.OpenMemoryWrite("side");
    if (!terrain.SaveSideRecords(stream)) return {};
    return stream.Bytes();
}
