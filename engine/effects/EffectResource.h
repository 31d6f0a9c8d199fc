// A visual effect file (".DRE", resource type 1): a list of layers, each a
// billboard emitter (textured particles) or a mesh emitter (each particle a
// mesh, optionally animated), and three option groups that choose which
// layers run at each of the three effect quality grades. Running effects share
// one loaded resource and read its layer records directly.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/resource/Resource.h"
#include "platform/Math.h"

class CFileStream;
class CResourceManager;

// One layer as stored in the file, with the resources it names and the copies
// that emission later overwrites with the value times the running effect's scale.
struct EffectLayer {
    uint32_t meshFlag = 0;
    CResource* mesh = nullptr;       // mesh layers (type 4)
    CResource* animation = nullptr;  // mesh layers (type 5); null for an empty name
    CResource* texture = nullptr;    // billboard layers (type 7); null for an empty name
    std::array<platform::Vec3, 4> corners{};
    platform::Vec3 spawnMin, spawnMax;
    platform::Vec3 directionMin, directionMax;  // linear mode
    platform::Vec3 gravity;
    std::array<platform::Vec4, 4> colours{};  // start min, start max, end min, end max (r, g, b, a)
    float startDelay = 0, emissionDuration = 0, particleLife = 0, emissionInterval = 0;
    float speedMin = 0, speedMax = 0, acceleration = 0;
    float orbitRadiusGrowth = 0;  // orbit mode
    uint32_t orbitMode = 0;       // 0 linear, 1 orbit about the vertical axis
    uint32_t localSpace = 0, keepUpright = 0, twoSided = 0;
    float sizeMin = 0, sizeMax = 0, sizeGrowth = 0, sizePeriod = 0;
    uint32_t sizeLoop = 0;
    float peakAlpha = 0, fadeInRate = 0, fadeOutRate = 0, fadeInEnd = 0, fadeOutStart = 0;
    uint32_t sourceBlend = 0, destBlend = 0;
    uint32_t sheetColumns = 0, sheetRows = 0;
    float sheetFps = 0;
    uint32_t sheetLoop = 0, billboard = 0;
    platform::Vec3 rotationSpeed;
    // Scaled copies (equal to the file values after loading).
    platform::Vec3 scaledSpawnMin, scaledSpawnMax, scaledGravity;
    float scaledSpeedMin = 0, scaledSpeedMax = 0, scaledAcceleration = 0;
    float scaledSizeMin = 0, scaledSizeMax = 0, scaledSizeGrowth = 0;
};

class CEffectResource : public CResource {
public:
    static constexpr float kVersion = 1.11f;
    static constexpr uint32_t kOptionGroups = 3;
    // The effect type that effect records refuse where an effect must be another kind.
    static constexpr uint32_t kTypeRefused = 3;

    CEffectResource();
    ~CEffectResource() override;

    int Load(const char* path, int flag) override;
    // Reads an effect from a stream positioned after the version (the load's
    // body; tests and benchmarks feed it memory).
    int LoadBody(CFileStream& stream);
    void Unload() override;

    const std::vector<std::unique_ptr<EffectLayer>>& Layers() const { return m_layers; }
    const platform::Vec3& BoundsMin() const { return m_boundsMin; }
    const platform::Vec3& BoundsMax() const { return m_boundsMax; }
    float HeaderValueA() const { return m_headerA; }
    // The "effect type" that the record checks test.
    uint32_t EffectType() const { return m_headerB; }
    // 1 when some layer emits for ever (emission duration exactly 0.0).
    uint32_t InfiniteEmission() const { return m_infinite; }
    const std::vector<uint32_t>& OptionMask(uint32_t group) const { return m_options[group < kOptionGroups ? group : 0]; }
    // Whether a layer runs at a quality grade; a group with fewer words than
    // layers leaves the rest off.
    bool LayerRuns(uint32_t group, size_t layer) const;

private:
    int ReadLayer(CFileStream& s, EffectLayer& layer);
    int LoadLayerResources(EffectLayer& layer, const std::string& name1, const std::string& name2);
    void ReleaseLayer(EffectLayer& layer);

    std::vector<std::unique_ptr<EffectLayer>> m_layers;
    platform::Vec3 m_boundsMin{-5.0f, -5.0f, -5.0f};
    platform::Vec3 m_boundsMax{5.0f, 5.0f, 5.0f};
    float m_headerA = 5.0f;
    uint32_t m_headerB = 2;
    uint32_t m_infinite = 0;
    std::array<std::vector<uint32_t>, kOptionGroups> m_options;
};

void RegisterEffectResources(CResourceManager& manager);
