#include "engine/effects/EffectResource.h"

#include <string>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/MessageTable.h"
#include "engine/render/ShaderSet.h"
#include "engine/resource/ResourceFile.h"
#include "engine/resource/ResourceManager.h"

using platform::Vec3;
using platform::Vec4;

namespace {

// The smallest layer record: a billboard with an empty texture name in orbit mode.
constexpr uint64_t kMinLayerBytes = 284;

bool ReadVec4(CFileStream& s, Vec4& v) {
    return s.ReadFloat(v.x) && s.ReadFloat(v.y) && s.ReadFloat(v.z) && s.ReadFloat(v.w);
}

// Turns the shader set's skinning off while an effect mesh loads and always
// turns it back on, whatever the load's outcome.
class CSkinningOff {
public:
    CSkinningOff() : m_shaders(g_pShaderSet), m_wasOn(m_shaders && m_shaders->UseSkin()) {
        if (m_wasOn) m_shaders->SetUseSkin(false);
    }
    ~CSkinningOff() {
        if (m_wasOn) m_shaders->SetUseSkin(true);
    }
    CSkinningOff(const CSkinningOff&) = delete;
    CSkinningOff& operator=(const CSkinningOff&) = delete;

private:
    CShaderSet* m_shaders;
    bool m_wasOn;
};

}  // namespace

CEffectResource::CEffectResource() : CResource(RES_EFFECT) {}

CEffectResource::~CEffectResource() { Unload(); }

int CEffectResource::Load(const char* path, int /*flag*/) {
    const std::string name = ResourceReportName(*this);
    if (!CheckPackageRange(path ? path : "", Offset(), Size(), name)) return 0;
    CFileStream s;
    if (!s.OpenReadBuffered(path, Offset(), Size())) return 0;
    float version = 0;
    if (!s.ReadFloat(version)) return ReportDamagedResource(*this, "stream too short");
    if (version != kVersion) {
        ErrorReport().SetError(ERR_FILE_VERSION, GetMessageText(MSG_ERROR_FILE_VERSION), name);
        return 0;
    }
    if (!LoadBody(s)) return 0;
    SetState(1);
    return 1;
}

int CEffectResource::LoadBody(CFileStream& s) {
    if (!ReadVec3(s, m_boundsMin) || !ReadVec3(s, m_boundsMax) || !s.ReadFloat(m_headerA) || !s.ReadU32(m_headerB))
        return ReportDamagedResource(*this, "stream too short");
    for (uint32_t g = 0; g < kOptionGroups; ++g) {
        int32_t count = 0;
        if (!s.ReadI32(count)) return ReportDamagedResource(*this, "stream too short");
        if (count > 0 && static_cast<uint64_t>(count) * 4 > s.Remaining())
            return ReportDamagedResource(*this, "option count past the end");
        bool any = false;
        std::vector<uint32_t>& mask = m_options[g];
        mask.assign(count > 0 ? static_cast<size_t>(count) : 0, 0);
        for (uint32_t& word : mask) {
            if (!s.ReadU32(word)) return ReportDamagedResource(*this, "stream too short");
            any = any || word != 0;
        }
        if (!any) {
            ErrorReport().SetError(ERR_DATA, "효과 옵션[%d]의 선택레이어가 없습니다.\n[%s]", static_cast<int>(g),
                                   ResourceReportName(*this));
            return 0;
        }
    }
    uint32_t layerCount = 0;
    if (!s.ReadU32(layerCount)) return ReportDamagedResource(*this, "stream too short");
    if (uint64_t{layerCount} * kMinLayerBytes > s.Remaining())
        return ReportDamagedResource(*this, "layer count past the end");
    m_layers.reserve(layerCount);
    for (uint32_t i = 0; i < layerCount; ++i) {
        auto layer = std::make_unique<EffectLayer>();
        if (!ReadLayer(s, *layer)) return 0;
        layer->scaledSpawnMin = layer->spawnMin;
        layer->scaledSpawnMax = layer->spawnMax;
        layer->scaledGravity = layer->gravity;
        layer->scaledSpeedMin = layer->speedMin;
        layer->scaledSpeedMax = layer->speedMax;
        layer->scaledAcceleration = layer->acceleration;
        layer->scaledSizeMin = layer->sizeMin;
        layer->scaledSizeMax = layer->sizeMax;
        layer->scaledSizeGrowth = layer->sizeGrowth;
        if (layer->emissionDuration == 0.0f) m_infinite = 1;
        m_layers.push_back(std::move(layer));
    }
    return 1;
}

int CEffectResource::ReadLayer(CFileStream& s, EffectLayer& l) {
    std::string name1, name2;
    s.ReadU32(l.meshFlag);
    s.ReadString(name1);
    if (l.meshFlag) s.ReadString(name2);
    for (Vec3& c : l.corners) ReadVec3(s, c);
    ReadVec3(s, l.spawnMin);
    ReadVec3(s, l.spawnMax);
    s.ReadU32(l.orbitMode);
    if (l.orbitMode == 0) {
        ReadVec3(s, l.directionMin);
        ReadVec3(s, l.directionMax);
    } else {
        s.ReadFloat(l.orbitRadiusGrowth);
    }
    ReadVec3(s, l.gravity);
    s.ReadU32(l.localSpace);
    s.ReadU32(l.keepUpright);
    for (Vec4& c : l.colours) ReadVec4(s, c);
    for (float* f : {&l.startDelay, &l.emissionDuration, &l.particleLife, &l.emissionInterval, &l.speedMin,
                     &l.speedMax, &l.acceleration})
        s.ReadFloat(*f);
    s.ReadU32(l.twoSided);
    for (float* f : {&l.sizeMin, &l.sizeMax, &l.sizeGrowth, &l.sizePeriod}) s.ReadFloat(*f);
    s.ReadU32(l.sizeLoop);
    for (float* f : {&l.peakAlpha, &l.fadeInRate, &l.fadeOutRate, &l.fadeInEnd, &l.fadeOutStart}) s.ReadFloat(*f);
    for (uint32_t* u : {&l.sourceBlend, &l.destBlend, &l.sheetColumns, &l.sheetRows}) s.ReadU32(*u);
    s.ReadFloat(l.sheetFps);
    s.ReadU32(l.sheetLoop);
    s.ReadU32(l.billboard);
    ReadVec3(s, l.rotationSpeed);
    if (s.Failed()) return ReportDamagedResource(*this, "stream too short");
    return LoadLayerResources(l, name1, name2);
}

int CEffectResource::LoadLayerResources(EffectLayer& l, const std::string& name1, const std::string& name2) {
    if (!g_pResourceManager) return ReportDamagedResource(*this, "no resource manager for its layers");
    CResourceManager& rm = *g_pResourceManager;
    if (l.meshFlag) {
        if (!name2.empty()) {
            l.animation = rm.GetResource(name2.c_str(), RES_ANIMATION, nullptr, 1);
            if (!l.animation) {
                ChainResourceFailure(*this);
                return 0;
            }
        }
        if (name1.empty()) {
            ErrorReport().SetError(ERR_RESOURCE_LINK, "%s : %s", ResourceReportName(*this), "a mesh layer without a mesh");
        } else {
            CSkinningOff skinningOff;
            l.mesh = rm.GetResource(name1.c_str(), RES_MESH, nullptr, l.animation ? 1 : 0);
            if (!l.mesh) ChainResourceFailure(*this);
        }
        if (!l.mesh) {
            ReleaseLayer(l);
            return 0;
        }
    } else if (!name1.empty()) {
        l.texture = rm.GetResource(name1.c_str(), RES_TEXTURE, nullptr, 1);
        if (!l.texture) {
            ChainResourceFailure(*this);
            return 0;
        }
    }
    return 1;
}

void CEffectResource::ReleaseLayer(EffectLayer& l) {
    if (g_pResourceManager) {
        g_pResourceManager->ReleaseResource(l.animation);
        g_pResourceManager->ReleaseResource(l.mesh);
        g_pResourceManager->ReleaseResource(l.texture);
    }
    l.animation = l.mesh = l.texture = nullptr;
}

void CEffectResource::Unload() {
    for (auto& layer : m_layers) ReleaseLayer(*layer);
    m_layers.clear();
    m_layers.shrink_to_fit();
    m_headerB = 2;
    m_infinite = 0;
    for (auto& mask : m_options) mask.clear();
    CResource::Unload();
}

bool CEffectResource::LayerRuns(uint32_t group, size_t layer) const {
    if (group >= kOptionGroups) return false;
    const std::vector<uint32_t>& mask = m_options[group];
    return layer < mask.size() && mask[layer] != 0;
}

void RegisterEffectResources(CResourceManager& manager) {
    manager.SetFactory(RES_EFFECT, [](CUiWindow*) -> CResource* { return new CEffectResource(); });
}
