// The application's one map: it owns every service of a loaded map (the
// scenario, the named areas, the world object manager, the terrain, the
// object quadtree and the water), keeps what the map file says about the map,
// loads it on the loader thread and draws the water and the minimap marks.
//
// Map file (version 1.57), in order: f32 version; u32 data stamp; three
// strings (the names of the map lists); u32 lords off; u32 fixed camera
// height; string data file name; the "TerrainEngine" section; f32 kill point
// factor; 38 x i32 owner teams; 3 x f32 ambient event; u32 fog on; f32 fog
// start; f32 fog end; u32 fog colour; u32 object count and the objects (u32
// kind flags, and for 0x00200000 a u32 object type and the object's own
// record); the named areas; the water; the triggers and spawn groups; the
// item groups (u32 groups, per group u32 lists, per list u32 ids and the ids);
// the base item list (u32 count and the ids); the MD5 of everything before
// it (16 bytes). The side file (the name with ".DRT") holds a u32 layer
// count and one record per terrain patch.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "world/MapAreaSet.h"
#include "world/MapScenario.h"
#include "world/MapWater.h"
#include "world/SpatialTree.h"
#include "world/TerrainEngine.h"
#include "world/WorldObjectManager.h"

class CFileStream;
class CGameDataRecord;
class CResource;
class CTextureResource;

// Pre-transformed minimap mark vertex (FVF 0x144, 28 bytes).
struct MinimapVertex {
    float x = 0, y = 0, z = 0, rhw = 1.0f;
    uint32_t color = 0xFFFFFFFFu;
    float u = 0.5f, v = 0.5f;
};
static_assert(sizeof(MinimapVertex) == 28);

// Who the minimap draws as heroes: the local player's hero last, on top.
struct MinimapHeroes {
    int32_t localHeroId = -1;
    int32_t heroIds[12] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    float colors[12][4] = {};
};

class CZEMMap : public IWorldGround {
public:
    static constexpr float kVersion = 1.57f;
    static constexpr uint32_t kWorldObjectEntry = 0x00200000;
    static constexpr int32_t kMarkQuads = 100;
    static constexpr uint32_t kMarkFvf = 0x144;

    explicit CZEMMap(platform::CGfxDevice* device = nullptr);
    ~CZEMMap() override;
    CZEMMap(const CZEMMap&) = delete;
    CZEMMap& operator=(const CZEMMap&) = delete;

    void SetDevice(platform::CGfxDevice* device);
    platform::CGfxDevice* Device() const { return m_device; }

    int LoadMap(const char* fileName, int ownData, std::atomic<float>* progress, float span);
    // Items 1 to 5 of a map file.
    int ReadMapHeader(const char* fileName, std::string* name1, std::string* name2, std::string* name3,
                      uint32_t* dataStamp);
    // The map stream from the data check on (everything after the version),
    // by the stream's mode; the loader and the map writer share it.
    int SerializeBody(CFileStream& stream, int ownData, std::atomic<float>* progress, float span);
    int LoadSideFile();
    int CreateDeviceObjects();
    void InvalidateDeviceObjects();
    void Clear();
    void Unload();

    int LoadNamedAreas(CFileStream& stream) { return areas.Serialize(stream); }
    int LoadWater(CFileStream& stream) { return water.Serialize(stream, terrain, m_device); }
    int CreateWater(int32_t frameCount, float period, const char* nameFormat) {
        return water.CreateFrames(frameCount, period, nameFormat);
    }
    void RenderWater(float elapsed);
    bool IsWaterAt(const platform::Vec3& point) override { return water.IsWaterAt(point); }
    float GetWaterHeight(const platform::Vec3& point) override { return water.GetWaterHeight(point); }
    float GetHeightAt(const platform::Vec3& point) override;

    void SetMinimapRect(int32_t left, int32_t top, int32_t width, int32_t height);
    void DrawMinimap(const MinimapHeroes& heroes, int fixedMarks, int drawItems);
    // One object's mark colour and half size in pixels; false when it is not drawn.
    bool MarkOf(CWorldObject& object, int fixedMarks, int drawItems, uint32_t* color, float* halfSize) const;
    void SetMinimapTexture(CTextureResource* texture);
    // The minimap picture of a map file: its name without folder and extension, as a texture ("VALLEY.DDS").
    static std::string MinimapPictureName(const std::string& mapFile);

    struct MinimapRect {
        int32_t left = 0, top = 0, width = 0, height = 0;
        float scaleX = 0, scaleZ = 0;
        float halfPixelX = 0, halfPixelZ = 0;
        int32_t requestedWidth = 0, requestedHeight = 0;
    };
    const MinimapRect& minimapRect() const { return m_rect; }

    // Members in the order they are built.
    std::string dataFileName;
    uint32_t dataStamp = 0;
    std::string mapFileName;
    uint32_t sideFileWanted = 1;
    CMapScenario scenario;
    CMapAreaSet areas;
    CWorldObjectManager objects;
    CTerrainEngine terrain;
    CSpatialTree tree;
    CMapWater water;
    std::vector<std::vector<std::vector<CGameDataRecord*>>> itemGroups;
    float ambientEvent[3] = {0, 0, 0};
    std::string names[3];
    uint32_t fixedCameraHeight = 0;
    std::vector<CGameDataRecord*> baseItems;
    uint32_t lordsOff = 0;
    float killPointFactor = 1.0f;
    uint32_t fogOn = 0;
    float fogStart = 400.0f, fogEnd = 600.0f;
    uint32_t fogColor = 0xFF0000FFu;
    // Ids of the item groups and the base list as the file holds them (the writer's input).
    std::vector<std::vector<std::vector<uint32_t>>> itemGroupIds;
    std::vector<uint32_t> baseItemIds;
    // Placed objects the writer writes through their LoadFromMap (not owned).
    std::vector<CSceneObject*> objectsToWrite;
    uint32_t sideLayers = 0;

    // What the loading screen gives the world of a match: the footmark effect
    // and the sound of units wading (one reference each, null when they did
    // not load; Unload gives them back), and the marker textures of the play
    // resources (not held here).
    CResource* footmarkEffect = nullptr;
    CResource* waterSound = nullptr;
    std::array<CResource*, 2> markerTextures{};
    void ReleaseWaterEffects();

private:
    int SerializeObjects(CFileStream& stream, int ownData, std::atomic<float>* progress, float span);
    int SerializeItems(CFileStream& stream, int ownData);
    void FlushMarks();
    void AddMark(float x, float y, float halfSize, uint32_t color, bool wholeTexture);
    void SetupSight(int ownData);

    platform::CGfxDevice* m_device;
    platform::CGfxVertexBuffer* m_markBuffer = nullptr;
    platform::CGfxIndexBuffer* m_markIndices = nullptr;
    MinimapVertex m_markTemplate[4];
    MinimapVertex* m_markLocked = nullptr;
    int32_t m_firstQuad = 0;
    int32_t m_batch = kMarkQuads;
    int32_t m_written = 0;
    MinimapRect m_rect;
    CTextureResource* m_minimapTexture = nullptr;
    bool m_sideRead = false;
};

// The application's map, or null while none exists.
extern CZEMMap* g_pZEMMap;
