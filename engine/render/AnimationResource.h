// Animation resources (type 5): a skeleton of named tracks (bones), each with
// a parent and evenly spaced keys of translation, rotation and scale.
// Sampling at a time gives one matrix per bone, already multiplied by its
// parent's matrix of the same pass.
//
// File layout (little-endian, strings in the stream's length-prefixed form):
//   float version (1.15), u32 keyCount, u32 reserved, float length (seconds),
//   u32 trackCount, u32 extraCount, then trackCount tracks of
//   { string name, i32 parent, 16 floats base matrix, u32 mode, u32 reserved,
//     keyCount keys of { 3 floats translation, 4 floats rotation (x y z w),
//     3 floats scale } (40 bytes) }.
// A mode of 1 makes the key scale count when sampling.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/resource/Resource.h"
#include "platform/Math.h"

class CResourceManager;

struct AnimationKey {
    platform::Vec3 translation;
    platform::Quaternion rotation;
    platform::Vec3 scale{1, 1, 1};
};

struct AnimationTrack {
    std::string name;
    uint32_t nameHash = 0;
    int32_t parent = -1;
    platform::Matrix baseMatrix;
    uint32_t mode = 0;
    uint32_t reserved = 0;
    std::vector<AnimationKey> keys;
};

class CAnimationResource : public CResource {
public:
    static constexpr float kVersion = 1.15f;
    // Well-known bones that effects and attachments follow.
    enum BoneSlot {
        BONE_HEAD,
        BONE_LEFT_HAND,
        BONE_RIGHT_HAND,
        BONE_LEFT_FOOT,
        BONE_RIGHT_FOOT,
        BONE_SPINE,
        BONE_SLOT_COUNT = 7
    };

    CAnimationResource() : CResource(RES_ANIMATION) {}
    ~CAnimationResource() override;

    int Load(const char* path, int flag) override;
    void Unload() override;

    // Samples the clip at time into out, one matrix per track (TrackCount()
    // matrices). With rootOnly only track 0 is computed, into out[0].
    void GetTrackMatrix(platform::Matrix* out, float time, int rootOnly) const;

    // Track index of a well-known bone, or -1.
    int32_t BoneSlotTrack(int slot) const { return slot >= 0 && slot < BONE_SLOT_COUNT ? m_boneSlots[slot] : -1; }

    uint32_t KeyCount() const { return m_keyCount; }
    float Length() const { return m_length; }
    uint32_t TrackCount() const { return static_cast<uint32_t>(m_tracks.size()); }
    uint32_t BoneTotal() const { return m_boneTotal; }
    const AnimationTrack& Track(uint32_t i) const { return m_tracks[i]; }

private:
    // Which key pair and fraction a time falls on.
    struct SamplePoint {
        uint32_t key = 0, next = 0;
        float fraction = 0;
    };
    SamplePoint FindSamplePoint(float time) const;
    platform::Matrix SampleTrack(const AnimationTrack& track, const SamplePoint& at, bool withScale) const;
    void FindBoneSlots();

    uint32_t m_keyCount = 0;
    uint32_t m_reserved = 0;
    float m_length = 0;
    uint32_t m_extraCount = 0;
    uint32_t m_boneTotal = 0;
    std::vector<AnimationTrack> m_tracks;
    std::array<int32_t, BONE_SLOT_COUNT> m_boneSlots{-1, -1, -1, -1, -1, -1, -1};
};

// Registers the type-5 factory with the manager.
void RegisterAnimationResources(CResourceManager& manager);
