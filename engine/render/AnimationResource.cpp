#include "engine/render/AnimationResource.h"

#include <cmath>

#include "engine/core/BlockReader.h"
#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "engine/resource/ResourceFile.h"
#include "engine/resource/ResourceManager.h"

using platform::Matrix;
using platform::Quaternion;
using platform::Vec3;

namespace {

constexpr size_t kNameCapacity = 256;
constexpr uint32_t kKeyBytes = 40;
// name length word, parent, base matrix, mode, reserved
constexpr uint32_t kTrackHeadBytes = 4 + 4 + 64 + 4 + 4;

void ReadKey(CBlockReader& r, AnimationKey& k) {
    for (float* f : {&k.translation.x, &k.translation.y, &k.translation.z, &k.rotation.x, &k.rotation.y, &k.rotation.z,
                     &k.rotation.w, &k.scale.x, &k.scale.y, &k.scale.z})
        *f = r.Float();
}

bool ReadMatrix(CFileStream& s, Matrix& m) {
    for (auto& row : m.m)
        for (float& f : row)
            if (!s.ReadFloat(f)) return false;
    return true;
}

}  // namespace

CAnimationResource::~CAnimationResource() { Unload(); }

int CAnimationResource::Load(const char* path, int /*flag*/) {
    CFileStream s;
    if (!OpenResourceFile(s, *this, path, kVersion)) return 0;
    uint32_t trackCount = 0;
    s.ReadU32(m_keyCount);
    s.ReadU32(m_reserved);
    s.ReadFloat(m_length);
    s.ReadU32(trackCount);
    s.ReadU32(m_extraCount);
    if (s.Failed()) return 0;
    // Every track needs its fixed fields and its keys: a count that the rest of
    // the file cannot hold is damage, refused before anything is allocated.
    uint64_t trackBytes = kTrackHeadBytes + static_cast<uint64_t>(m_keyCount) * kKeyBytes;
    if (!CountFits(s, *this, trackCount, trackBytes)) return ReportDamagedResource(*this, "track count past the file");
    m_boneTotal = trackCount + m_extraCount;

    m_tracks.resize(trackCount);
    for (AnimationTrack& t : m_tracks) {
        s.ReadString(t.name, kNameCapacity);
        t.nameHash = NameHash(t.name);
        s.ReadI32(t.parent);
        ReadMatrix(s, t.baseMatrix);
        s.ReadU32(t.mode);
        s.ReadU32(t.reserved);
        if (s.Failed()) break;
        t.keys.resize(m_keyCount);
        CBlockReader block(s, uint64_t{m_keyCount} * kKeyBytes);
        if (block.Failed()) break;
        for (AnimationKey& k : t.keys) ReadKey(block, k);
    }
    s.Close();
    if (s.Failed()) {
        Unload();
        return 0;
    }
    FindBoneSlots();
    SetState(1);
    return 1;
}

void CAnimationResource::Unload() {
    m_tracks.clear();
    m_keyCount = m_reserved = m_extraCount = m_boneTotal = 0;
    m_length = 0;
    m_boneSlots.fill(-1);
    CResource::Unload();
}

void CAnimationResource::FindBoneSlots() {
    static constexpr const char* kNames[6][2] = {
        {"Bip01 Head", "BIP01 HEAD"},     {"Bip01 L Hand", "BIP01 L HAND"}, {"Bip01 R Hand", "BIP01 R HAND"},
        {"Bip01 L Foot", "BIP01 L FOOT"}, {"Bip01 R Foot", "BIP01 R FOOT"}, {"Bip01 Spine1", "BIP01 SPINE1"},
    };
    m_boneSlots.fill(-1);
    for (int slot = 0; slot < 6; ++slot) {
        uint32_t mixed = NameHash(kNames[slot][0]), upper = NameHash(kNames[slot][1]);
        for (size_t i = 0; i < m_tracks.size(); ++i) {
            if (m_tracks[i].nameHash == mixed || m_tracks[i].nameHash == upper) {
                m_boneSlots[static_cast<size_t>(slot)] = static_cast<int32_t>(i);
                break;
            }
        }
    }
}

CAnimationResource::SamplePoint CAnimationResource::FindSamplePoint(float time) const {
    SamplePoint at;
    // With fewer than two keys, or a clip without length, there is no spacing
    // between keys: the first key is the pose at every time.
    if (m_keyCount < 2 || !(m_length > 0) || !std::isfinite(time)) return at;
    if (time > m_length || time < 0) {
        time = std::fmod(time, m_length);
        if (time < 0) time += m_length;  // a time before the start counts back from the end
    }
    float spacing = m_length / static_cast<float>(m_keyCount - 1);
    float steps = time / spacing;
    if (!(steps < static_cast<float>(m_keyCount - 1))) {
        // The end of the clip is its start again.
        at.next = 1;
        return at;
    }
    at.key = static_cast<uint32_t>(steps);
    at.next = at.key + 1;
    at.fraction = std::fmod(time, spacing) / spacing;
    return at;
}

Matrix CAnimationResource::SampleTrack(const AnimationTrack& track, const SamplePoint& at, bool withScale) const {
    if (track.keys.empty()) return Matrix::Identity();
    const AnimationKey& a = track.keys[at.key];
    Vec3 translation = a.translation, scale = a.scale;
    Quaternion rotation = a.rotation;
    if (at.fraction != 0) {
        const AnimationKey& b = track.keys[at.next];
        translation = platform::Vec3Lerp(a.translation, b.translation, at.fraction);
        scale = platform::Vec3Lerp(a.scale, b.scale, at.fraction);
        rotation = platform::QuaternionSlerp(a.rotation, b.rotation, at.fraction);
    }
    Matrix m = platform::MatrixRotationQuaternion(rotation) *
               platform::MatrixTranslation(translation.x, translation.y, translation.z);
    if (withScale) m = platform::MatrixScaling(scale.x, scale.y, scale.z) * m;
    return m;
}

void CAnimationResource::GetTrackMatrix(Matrix* out, float time, int rootOnly) const {
    if (!out || m_tracks.empty()) return;
    SamplePoint at = FindSamplePoint(time);
    if (rootOnly) {
        out[0] = SampleTrack(m_tracks[0], at, true);
        return;
    }
    int32_t count = static_cast<int32_t>(m_tracks.size());
    for (int32_t b = 0; b < count; ++b) {
        const AnimationTrack& track = m_tracks[static_cast<size_t>(b)];
        Matrix m = SampleTrack(track, at, track.mode == 1);
        // Parents precede their children in the file; a parent at or after its
        // child contributes what its slot holds at this point of the pass.
        if (track.parent >= 0 && track.parent < count) m = m * out[track.parent];
        out[b] = m;
    }
}

void RegisterAnimationResources(CResourceManager& manager) {
    manager.SetFactory(RES_ANIMATION, [](CUiWindow*) -> CResource* { return new CAnimationResource(); });
}
