// Model resources (type 0, ".DRC"): one mesh, an optional animation,
// sub-models placed on it, effects and sounds attached to it, and the actions
// (named clips of the animation with their timing data). Loading a model
// loads everything it names through the resource manager, so a model is ready
// to draw when its load returns.
//
// File layout (little-endian, strings in the stream's length-prefixed form):
//   float version (1.1), string meshName (required), string animationName (may be empty),
//   u32 subModelCount, { u32 field1, u32 field2, u32 field3, string model name,
//     3 floats position, 3 floats rotation in degrees (x y z), float scale },
//   u32 effectCount, { u32 field1, u32 boneIndex, string effect name, u32 attached,
//     3 floats position, 3 floats rotation in degrees },
//   u32 soundCount, { u32 field1, u32 field2, string sound name },
//   u32 actionCount, { string name, u32 id, float startTime, float endTime,
//     u32 eventCount, eventCount x { u32 a, u32 effectRecord, u32 d, u32 c },
//     u32 soundCueCount, soundCueCount x { u32 a, u32 b, u32 c },
//     7 x 4 bytes trail values, u32 countA, countA x 28 bytes trail points,
//     u32 countB, countB x 28 bytes trail points },
//   3 floats boundsMin, 3 floats boundsMax, float half-depth override.
// The values the engine does not interpret are kept for the game object.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/resource/Resource.h"
#include "platform/Math.h"

class CAnimationResource;
class CMeshResource;
class CResourceManager;
class CFileStream;

struct ModelSubModel {
    uint32_t field1 = 0, field2 = 0, field3 = 0;
    std::string name;
    platform::Vec3 position;
    platform::Vec3 rotation;  // degrees
    float scale = 1;
    platform::Matrix placement;
    class CModelResource* model = nullptr;
};

struct ModelEffect {
    uint32_t field1 = 0;
    int32_t boneIndex = -1;  // the animation track it follows; outside the tracks: none
    std::string name;
    uint32_t attached = 0;  // lives with the model; else started by action events
    platform::Vec3 position;
    platform::Vec3 rotation;  // degrees
    platform::Matrix placement;
    CResource* effect = nullptr;
};

struct ModelSound {
    uint32_t field1 = 0, field2 = 0;
    std::string name;
    CResource* sound = nullptr;  // none while the sound device is off
    uint32_t third = 0;
};

struct ActionEvent {
    uint32_t a = 0;
    uint32_t effectRecord = 0;  // the model's effect record the event starts
    uint32_t c = 0, d = 0;      // the file stores d before c
};

struct ActionSoundCue {
    uint32_t a = 0, b = 0, c = 0;
    uint32_t pending = 1;  // the game object plays a due cue once and clears it
};

using TrailPoint = std::array<uint8_t, 28>;

struct ModelAction {
    std::string name;
    uint32_t nameHash = 0;
    uint32_t id = 0;  // its position in the list once loaded
    float startTime = 0, endTime = 0;
    std::vector<ActionEvent> events;
    std::vector<ActionSoundCue> soundCues;
    // 0: trail switch; 1-4: the trail values handed over when the action starts; 5, 6: kept.
    std::array<uint32_t, 7> trail{};
    std::vector<TrailPoint> trailPointsA;  // for the first child's trail
    std::vector<TrailPoint> trailPointsB;  // for the other children's trails
};

class CModelResource : public CResource {
public:
    static constexpr float kVersion = 1.1f;

    CModelResource() : CResource(RES_MODEL) {}
    ~CModelResource() override;

    int Load(const char* path, int flag) override;
    // Gives every reference back and frees the records.
    void Unload() override;

    // The action at index when it exists and its times differ; else action 0
    // (null without actions).
    const ModelAction* GetAction(int32_t index) const;
    // The action of that name hash (and its index), or null.
    const ModelAction* FindAction(uint32_t nameHash, int32_t* indexOut) const;

    CMeshResource* Mesh() const { return m_mesh; }
    CAnimationResource* Animation() const { return m_animation; }
    const std::vector<ModelSubModel>& SubModels() const { return m_subModels; }
    const std::vector<ModelEffect>& Effects() const { return m_effects; }
    const std::vector<ModelSound>& Sounds() const { return m_sounds; }
    const std::vector<ModelAction>& Actions() const { return m_actions; }
    const platform::Vec3& BoundsMin() const { return m_boundsMin; }
    const platform::Vec3& BoundsMax() const { return m_boundsMax; }
    float HalfDepthOverride() const { return m_halfDepth; }
    int32_t RibbonPart(int which) const { return which == 0 ? m_ribbon[0] : m_ribbon[1]; }

private:
    int LoadParts(CFileStream& s);
    int ReadSubModels(CFileStream& s);
    int ReadEffects(CFileStream& s);
    int ReadSounds(CFileStream& s);
    int ReadActions(CFileStream& s);
    int ReadAction(CFileStream& s, ModelAction& a);

    CMeshResource* m_mesh = nullptr;
    CAnimationResource* m_animation = nullptr;
    platform::Vec3 m_boundsMin, m_boundsMax;
    float m_halfDepth = 0;
    int32_t m_ribbon[2] = {-1, -1};
    std::vector<ModelSubModel> m_subModels;
    std::vector<ModelEffect> m_effects;
    std::vector<ModelSound> m_sounds;
    std::vector<ModelAction> m_actions;
};

// Registers the type-0 factory with the manager.
void RegisterModelResources(CResourceManager& manager);
