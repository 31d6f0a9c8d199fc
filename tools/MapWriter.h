// Writes map files (version 1.57, with the MD5 trailer) and their ".DRT" side
// files from a plain description, through the readers' own write modes, for
// tests, benchmarks and the sample game folder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Math.h"

class CMapScenario;
class CSceneObject;

struct MapDescription {
    std::string names[3] = {"Map", "", ""};
    uint32_t dataStamp = 0;
    std::string dataFileName;  // empty: no data check
    uint32_t lordsOff = 0;
    uint32_t fixedCameraHeight = 0;
    int32_t across = 1, deep = 1;
    uint32_t patchParameter = 0;
    // The baked texture of each patch (game form); missing names are empty.
    std::vector<std::string> patchTextures;
    // Ground height at a world point (vertices every 20 units); null: flat.
    std::function<float(float x, float z)> height;
    // Terrain-blocked walk cells (5 units), as (x, z).
    std::vector<std::pair<int32_t, int32_t>> blockedCells;
    float killPointFactor = 1.0f;
    int32_t ownerTeams[38] = {0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1,
                              1, 1, 1, 1, 1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    float ambientEvent[3] = {0, 0, 0};
    uint32_t fogOn = 0;
    float fogStart = 400.0f, fogEnd = 600.0f;
    uint32_t fogColor = 0xFF0000FFu;
    struct Area {
        std::string name;
        platform::Vec3 centre;
        float width = 0, depth = 0;
    };
    std::vector<Area> areas;
    std::vector<uint32_t> areaValues;
    struct WaterCell {
        int32_t patch = 0, cellX = 0, cellZ = 0;
        float height = 0;
        uint32_t color = 0x80FFFFFFu;
    };
    std::vector<WaterCell> water;
    // Entries of the object list in order: world objects write themselves
    // (LoadFromMap in write mode); other entries are their kind flags alone.
    struct Entry {
        CSceneObject* object = nullptr;
        uint32_t kindFlags = 0;
    };
    std::vector<Entry> objects;
    std::vector<std::vector<std::vector<uint32_t>>> itemGroups;
    std::vector<uint32_t> baseItems;
    // Adds the map's triggers to the scenario that writes them; null: none.
    std::function<void(CMapScenario&)> triggers;
    // Spawn groups: the UNIT record ids a spawn action picks from.
    std::vector<std::vector<uint32_t>> spawnGroups;
    // Side file: layers after the base, each with a blend alpha per patch and texel.
    uint32_t blendLayers = 0;
    std::function<uint8_t(int32_t patch, uint32_t layer, int32_t x, int32_t y)> blendAlpha;
};

// The map file's bytes with its MD5 trailer; empty when a reader's write mode failed.
std::vector<uint8_t> WriteMapFile(const MapDescription& description);
// The ".DRT" side file: the layer count and one record per patch.
std::vector<uint8_t> WriteMapSideFile(const MapDescription& description);
