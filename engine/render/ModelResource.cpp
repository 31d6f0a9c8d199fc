#include "engine/render/ModelResource.h"

#include "engine/render/AnimationResource.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/render/MeshResource.h"
#include "engine/core/NameHash.h"
#include "engine/resource/ResourceFile.h"
#include "engine/resource/ResourceManager.h"

using namespace platform;

namespace {

constexpr size_t kFileNameCapacity = 256;
constexpr size_t kRecordNameCapacity = 260;
constexpr float kDegreesToRadians = 0.017453292f;
constexpr int kMaxNesting = 16;

// Code-page-949 text: "action %d has equal start and end times."
constexpr const char* kEqualTimesText =
    "%d\xB9\xF8 \xBE\xD7\xBC\xC7\xC0\xC7 \xBD\xC3\xC0\xDB\xBD\xC3\xB0\xA3\xB0\xFA \xB3\xA1\xBD\xC3\xB0\xA3\xC0\xCC "
    "\xB0\xB0\xBD\xC0\xB4\xCF\xB4\xD9.";

Matrix Placement(const Vec3& position, const Vec3& degrees, float scale) {
    Quaternion q = QuaternionRotationYawPitchRoll(degrees.y * kDegreesToRadians, degrees.x * kDegreesToRadians,
                                                  degrees.z * kDegreesToRadians);
    return MatrixAffineTransformation(scale, nullptr, &q, &position);
}

}  // namespace

CModelResource::~CModelResource() { Unload(); }

int CModelResource::Load(const char* path, int /*flag*/) {
    // A model among its own sub-models (directly or further down) would load
    // itself for ever: nesting is bounded.
    static thread_local int depth = 0;
    if (depth >= kMaxNesting) return ReportDamagedResource(*this, "sub-models nested too deep");
    CFileStream s;
    if (!OpenResourceFile(s, *this, path, kVersion)) return 0;
    ++depth;
    int ok = LoadParts(s);
    --depth;
    s.Close();
    if (ok) SetState(1);
    return ok;
}

int CModelResource::LoadParts(CFileStream& s) {
    std::string meshName, animationName;
    s.ReadString(meshName, kFileNameCapacity);
    s.ReadString(animationName, kFileNameCapacity);
    if (s.Failed()) return 0;
    CResourceManager* rm = g_pResourceManager;
    if (!rm) return ReportDamagedResource(*this, "no resource manager");

    if (!animationName.empty()) {
        m_animation =
            static_cast<CAnimationResource*>(rm->GetResource(animationName.c_str(), RES_ANIMATION, nullptr, 1));
        if (!m_animation) {
            ChainResourceFailure(*this);
            return 0;
        }
    }
    // Without an animation the mesh's skinned parts never go to the skinning effect.
    m_mesh = static_cast<CMeshResource*>(rm->GetResource(meshName.c_str(), RES_MESH, nullptr, m_animation ? 1 : 0));
    if (!m_mesh) {
        ChainResourceFailure(*this);
        return 0;
    }
    m_ribbon[0] = m_mesh->FindPart("RIBBON_01");
    m_ribbon[1] = m_mesh->FindPart("RIBBON_02");

    if (!ReadSubModels(s) || !ReadEffects(s) || !ReadSounds(s) || !ReadActions(s)) return 0;
    ReadVec3(s, m_boundsMin);
    ReadVec3(s, m_boundsMax);
    s.ReadFloat(m_halfDepth);
    return s.Failed() ? 0 : 1;
}

int CModelResource::ReadSubModels(CFileStream& s) {
    uint32_t count = 0;
    if (!s.ReadU32(count)) return 0;
    if (!CountFits(s, *this, count, 44)) return ReportDamagedResource(*this, "sub-model count past the file");
    for (uint32_t i = 0; i < count; ++i) {
        ModelSubModel m;
        s.ReadU32(m.field1);
        s.ReadU32(m.field2);
        s.ReadU32(m.field3);
        s.ReadString(m.name, kRecordNameCapacity);
        ReadVec3(s, m.position);
        ReadVec3(s, m.rotation);
        s.ReadFloat(m.scale);
        if (s.Failed()) return 0;
        m.placement = Placement(m.position, m.rotation, m.scale);
        m.model = static_cast<CModelResource*>(g_pResourceManager->GetResource(m.name.c_str(), RES_MODEL, nullptr, 1));
        if (!m.model) {
            ChainResourceFailure(*this);
            return 0;
        }
        m_subModels.push_back(std::move(m));
    }
    return 1;
}

int CModelResource::ReadEffects(CFileStream& s) {
    uint32_t count = 0;
    if (!s.ReadU32(count)) return 0;
    if (!CountFits(s, *this, count, 40)) return ReportDamagedResource(*this, "effect count past the file");
    for (uint32_t i = 0; i < count; ++i) {
        ModelEffect e;
        uint32_t bone = 0;
        s.ReadU32(e.field1);
        s.ReadU32(bone);
        s.ReadString(e.name, kRecordNameCapacity);
        s.ReadU32(e.attached);
        ReadVec3(s, e.position);
        ReadVec3(s, e.rotation);
        if (s.Failed()) return 0;
        e.boneIndex = static_cast<int32_t>(bone);
        e.placement = Placement(e.position, e.rotation, 1.0f);
        e.effect = g_pResourceManager->GetResource(e.name.c_str(), RES_EFFECT, nullptr, 1);
        if (!e.effect) {
            ChainResourceFailure(*this);
            return 0;
        }
        m_effects.push_back(std::move(e));
    }
    return 1;
}

int CModelResource::ReadSounds(CFileStream& s) {
    uint32_t count = 0;
    if (!s.ReadU32(count)) return 0;
    if (!CountFits(s, *this, count, 12)) return ReportDamagedResource(*this, "sound count past the file");
    for (uint32_t i = 0; i < count; ++i) {
        ModelSound snd;
        s.ReadU32(snd.field1);
        s.ReadU32(snd.field2);
        s.ReadString(snd.name, kRecordNameCapacity);
        if (s.Failed()) return 0;
        CResourceManager* rm = g_pResourceManager;
        if (!rm->SoundDeviceUsable()) {
            // The game runs on without sound: only the text tells.
            ErrorReport().Set(ErrorReport().GetCode(), FormatText("Sound load fail %s\n", snd.name));
        } else {
            snd.sound = rm->GetResource(snd.name.c_str(), RES_SOUND_EFFECT, nullptr, 1);
            if (!snd.sound) {
                ChainResourceFailure(*this);
                return 0;
            }
        }
        m_sounds.push_back(std::move(snd));
    }
    return 1;
}

int CModelResource::ReadActions(CFileStream& s) {
    uint32_t count = 0;
    if (!s.ReadU32(count)) return 0;
    // name length, id, times, three counts and the trail values
    if (!CountFits(s, *this, count, 4 + 4 + 8 + 12 + 28))
        return ReportDamagedResource(*this, "action count past the file");
    for (uint32_t i = 0; i < count; ++i) {
        m_actions.emplace_back();
        ModelAction& a = m_actions.back();
        if (!ReadAction(s, a)) return 0;
        a.id = i;
        if (a.startTime == a.endTime) {
            ErrorReport().SetError(ERR_DATA, kEqualTimesText, static_cast<int32_t>(i));
            return 0;
        }
    }
    return 1;
}

int CModelResource::ReadAction(CFileStream& s, ModelAction& a) {
    s.ReadString(a.name, kRecordNameCapacity);
    a.nameHash = NameHash(a.name);
    s.ReadU32(a.id);
    s.ReadFloat(a.startTime);
    s.ReadFloat(a.endTime);
    uint32_t eventCount = 0;
    if (!s.ReadU32(eventCount)) return 0;
    if (!CountFits(s, *this, eventCount, 16)) return ReportDamagedResource(*this, "event count past the file");
    for (uint32_t k = 0; k < eventCount; ++k) {
        ActionEvent e;
        s.ReadU32(e.a);
        s.ReadU32(e.effectRecord);
        s.ReadU32(e.d);
        s.ReadU32(e.c);
        // An event naming no effect record of the model could start nothing: it is left out.
        if (e.effectRecord < m_effects.size()) a.events.push_back(e);
    }
    uint32_t cueCount = 0;
    if (!s.ReadU32(cueCount)) return 0;
    if (!CountFits(s, *this, cueCount, 12)) return ReportDamagedResource(*this, "sound cue count past the file");
    a.soundCues.resize(cueCount);
    for (ActionSoundCue& c : a.soundCues) {
        s.ReadU32(c.a);
        s.ReadU32(c.b);
        s.ReadU32(c.c);
    }
    for (uint32_t& t : a.trail) s.ReadU32(t);
    for (std::vector<TrailPoint>* points : {&a.trailPointsA, &a.trailPointsB}) {
        uint32_t n = 0;
        if (!s.ReadU32(n)) return 0;
        if (!CountFits(s, *this, n, sizeof(TrailPoint)))
            return ReportDamagedResource(*this, "trail point count past the file");
        points->resize(n);
        for (TrailPoint& p : *points) s.Read(p.data(), static_cast<uint32_t>(p.size()));
    }
    return s.Failed() ? 0 : 1;
}

void CModelResource::Unload() {
    CResourceManager* rm = g_pResourceManager;
    if (rm) {
        rm->ReleaseResource(m_mesh);
        rm->ReleaseResource(m_animation);
        for (ModelSubModel& m : m_subModels) rm->ReleaseResource(m.model);
        for (ModelEffect& e : m_effects) rm->ReleaseResource(e.effect);
        for (ModelSound& snd : m_sounds) rm->ReleaseResource(snd.sound);
    }
    m_mesh = nullptr;
    m_animation = nullptr;
    m_subModels.clear();
    m_effects.clear();
    m_sounds.clear();
    m_actions.clear();
    m_ribbon[0] = m_ribbon[1] = -1;
    CResource::Unload();
}

const ModelAction* CModelResource::GetAction(int32_t index) const {
    if (m_actions.empty()) return nullptr;
    if (index >= 0 && static_cast<size_t>(index) < m_actions.size()) {
        const ModelAction& a = m_actions[static_cast<size_t>(index)];
        if (a.startTime != a.endTime) return &a;
    }
    return &m_actions[0];
}

const ModelAction* CModelResource::FindAction(uint32_t nameHash, int32_t* indexOut) const {
    for (size_t i = 0; i < m_actions.size(); ++i) {
        if (m_actions[i].nameHash == nameHash) {
            if (indexOut) *indexOut = static_cast<int32_t>(i);
            return &m_actions[i];
        }
    }
    return nullptr;
}

void RegisterModelResources(CResourceManager& manager) {
    manager.SetFactory(RES_MODEL, [](CUiWindow*) -> CResource* { return new CModelResource(); });
}
