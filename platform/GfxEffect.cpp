// Effect files, little-endian, strings as u32 length + bytes:
//   u32 magic "QFX1", u32 version (1)
//   u32 parameter count, each: string name, u32 type (GfxEffectParameterType), u32 elements (1..256)
//   u32 shader count, each: u32 stage (0 vertex, 1 fragment), string GLSL source
//   u32 technique count (at least 1), each: string name, u32 pass count (at least 1), each pass:
//       string name, u32 vertex shader index, u32 fragment shader index,
//       u32 render-state count, each: u32 state, u32 value
// Bytes after the last technique are ignored: data files of the game may end
// in their 16-byte digest.
#include "platform/GfxEffect.h"

#include <cstring>

#include "platform/File.h"
#include "platform/GfxDevice.h"

namespace platform {

namespace {

constexpr uint32_t kMaxCount = 1024;
constexpr uint32_t kMaxElements = 256;
constexpr uint32_t kMaxName = 256;
constexpr uint32_t kMaxSource = 1u << 20;

class CReader {
public:
    CReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool U32(uint32_t* v) {
        if (m_size - m_pos < 4) return m_ok = false;
        const uint8_t* p = m_data + m_pos;
        *v = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
        m_pos += 4;
        return true;
    }
    bool String(std::string* s, uint32_t limit) {
        uint32_t n = 0;
        if (!U32(&n) || n > limit || m_size - m_pos < n) return m_ok = false;
        s->assign(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return true;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

uint32_t FloatsPerElement(uint32_t type) {
    switch (type) {
        case EPT_VECTOR:
            return 4;
        case EPT_MATRIX:
            return 16;
        case EPT_TEXTURE:
            return 0;
        default:
            return 1;
    }
}

}  // namespace

GfxResult ParseEffect(const uint8_t* data, size_t size, GfxEffectDescription* out) {
    if (!data || !out) return GFXERR_INVALIDCALL;
    CReader r(data, size);
    GfxEffectDescription d;
    uint32_t magic = 0, version = 0, count = 0;
    if (!r.U32(&magic) || magic != kEffectMagic || !r.U32(&version) || version != kEffectVersion)
        return GFXERR_INVALIDDATA;
    if (!r.U32(&count) || count > kMaxCount) return GFXERR_INVALIDDATA;
    for (uint32_t i = 0; i < count; ++i) {
        GfxEffectParameter p;
        if (!r.String(&p.name, kMaxName) || !r.U32(&p.type) || !r.U32(&p.elements)) return GFXERR_INVALIDDATA;
        if (p.type < EPT_FLOAT || p.type > EPT_TEXTURE || p.elements == 0 || p.elements > kMaxElements)
            return GFXERR_INVALIDDATA;
        if (p.type == EPT_TEXTURE && p.elements != 1) return GFXERR_INVALIDDATA;
        for (const auto& other : d.parameters)
            if (other.name == p.name) return GFXERR_INVALIDDATA;
        p.values.assign(static_cast<size_t>(FloatsPerElement(p.type)) * p.elements, 0.0f);
        d.parameters.push_back(std::move(p));
    }
    if (!r.U32(&count) || count > kMaxCount) return GFXERR_INVALIDDATA;
    for (uint32_t i = 0; i < count; ++i) {
        GfxEffectShader s;
        if (!r.U32(&s.stage) || s.stage > 1 || !r.String(&s.source, kMaxSource)) return GFXERR_INVALIDDATA;
        d.shaders.push_back(std::move(s));
    }
    if (!r.U32(&count) || count == 0 || count > kMaxCount) return GFXERR_INVALIDDATA;
    for (uint32_t i = 0; i < count; ++i) {
        GfxEffectTechnique t;
        uint32_t passes = 0;
        if (!r.String(&t.name, kMaxName) || !r.U32(&passes) || passes == 0 || passes > kMaxCount)
            return GFXERR_INVALIDDATA;
        for (uint32_t k = 0; k < passes; ++k) {
            GfxEffectPass p;
            uint32_t states = 0;
            if (!r.String(&p.name, kMaxName) || !r.U32(&p.vertexShader) || !r.U32(&p.fragmentShader) ||
                !r.U32(&states) || states > kMaxCount)
                return GFXERR_INVALIDDATA;
            if (p.vertexShader >= d.shaders.size() || d.shaders[p.vertexShader].stage != 0 ||
                p.fragmentShader >= d.shaders.size() || d.shaders[p.fragmentShader].stage != 1)
                return GFXERR_INVALIDDATA;
            for (uint32_t s = 0; s < states; ++s) {
                uint32_t state = 0, value = 0;
                if (!r.U32(&state) || !r.U32(&value) || state >= kRenderStateCount) return GFXERR_INVALIDDATA;
                p.renderStates.emplace_back(state, value);
            }
            t.passes.push_back(std::move(p));
        }
        d.techniques.push_back(std::move(t));
    }
    *out = std::move(d);
    return GFX_OK;
}

CGfxEffect::CGfxEffect(CGfxDevice* device, GfxEffectDescription description)
    : CGfxResource(nullptr, POOL_MANAGED, 0), m_device(device), m_description(std::move(description)) {}

CGfxEffect::~CGfxEffect() {
    for (auto& p : m_description.parameters)
        if (p.texture) p.texture->ReleaseDeviceRef();
}

GfxEffectParameter* CGfxEffect::Find(std::string_view name) {
    for (auto& p : m_description.parameters)
        if (p.name == name) return &p;
    return nullptr;
}

const GfxEffectParameter* CGfxEffect::Find(std::string_view name) const {
    return const_cast<CGfxEffect*>(this)->Find(name);
}

GfxResult CGfxEffect::SetTechnique(std::string_view name) {
    for (uint32_t i = 0; i < m_description.techniques.size(); ++i) {
        if (m_description.techniques[i].name == name) {
            m_technique = i;
            return GFX_OK;
        }
    }
    return GFXERR_INVALIDCALL;
}

const std::string& CGfxEffect::GetCurrentTechnique() const { return m_description.techniques[m_technique].name; }

GfxResult CGfxEffect::SetFloats(std::string_view name, uint32_t type, const float* values, size_t count) {
    GfxEffectParameter* p = Find(name);
    if (!p) return GFXERR_INVALIDCALL;
    // A float may go into a float, bool or int parameter; other types must match.
    bool scalar = type == EPT_FLOAT && (p->type == EPT_FLOAT || p->type == EPT_BOOL || p->type == EPT_INT);
    if (p->type != type && !scalar) return GFXERR_INVALIDCALL;
    if (count > p->values.size()) return GFXERR_INVALIDCALL;
    std::memcpy(p->values.data(), values, count * sizeof(float));
    ++m_parameterVersion;
    return GFX_OK;
}

GfxResult CGfxEffect::SetFloat(std::string_view name, float value) { return SetFloats(name, EPT_FLOAT, &value, 1); }
GfxResult CGfxEffect::SetBool(std::string_view name, bool value) { return SetFloat(name, value ? 1.0f : 0.0f); }
GfxResult CGfxEffect::SetInt(std::string_view name, int32_t value) { return SetFloat(name, static_cast<float>(value)); }
GfxResult CGfxEffect::SetVector(std::string_view name, const Vec4& value) {
    const float v[4] = {value.x, value.y, value.z, value.w};
    return SetFloats(name, EPT_VECTOR, v, 4);
}
GfxResult CGfxEffect::SetFloatArray(std::string_view name, const float* values, uint32_t count) {
    const GfxEffectParameter* p = Find(name);
    if (!p || !values || p->type == EPT_TEXTURE) return GFXERR_INVALIDCALL;
    return SetFloats(name, p->type, values, count);
}

GfxResult CGfxEffect::SetVectorArray(std::string_view name, const Vec4* values, uint32_t count) {
    if (!values || count == 0) return GFXERR_INVALIDCALL;
    std::vector<float> flat;
    for (uint32_t i = 0; i < count; ++i) flat.insert(flat.end(), {values[i].x, values[i].y, values[i].z, values[i].w});
    return SetFloats(name, EPT_VECTOR, flat.data(), flat.size());
}

GfxResult CGfxEffect::SetMatrix(std::string_view name, const Matrix& value) {
    return SetFloats(name, EPT_MATRIX, &value.m[0][0], 16);
}
GfxResult CGfxEffect::SetMatrixArray(std::string_view name, const Matrix* values, uint32_t count) {
    if (!values || count == 0) return GFXERR_INVALIDCALL;
    std::vector<float> flat(static_cast<size_t>(count) * 16);
    for (uint32_t i = 0; i < count; ++i) std::memcpy(&flat[i * 16], &values[i].m[0][0], 16 * sizeof(float));
    return SetFloats(name, EPT_MATRIX, flat.data(), flat.size());
}

GfxResult CGfxEffect::SetTexture(std::string_view name, CGfxTexture* texture) {
    GfxEffectParameter* p = Find(name);
    if (!p || p->type != EPT_TEXTURE) return GFXERR_INVALIDCALL;
    if (texture) texture->AddDeviceRef();
    if (p->texture) p->texture->ReleaseDeviceRef();
    p->texture = texture;
    ++m_parameterVersion;
    return GFX_OK;
}

GfxResult CGfxEffect::Begin(uint32_t* passes, uint32_t) {
    if (m_begun) return GFXERR_INVALIDCALL;
    m_begun = true;
    if (passes) *passes = static_cast<uint32_t>(m_description.techniques[m_technique].passes.size());
    return GFX_OK;
}

GfxResult CGfxEffect::BeginPass(uint32_t pass) {
    if (!m_begun || m_inPass || pass >= m_description.techniques[m_technique].passes.size()) return GFXERR_INVALIDCALL;
    const GfxEffectPass& p = m_description.techniques[m_technique].passes[pass];
    for (const auto& [state, value] : p.renderStates) m_device->SetRenderState(state, value);
    GfxResult r = m_device->BeginEffectPass(this, m_technique, pass);
    if (GfxFailed(r)) return r;
    m_pass = pass;
    m_inPass = true;
    return GFX_OK;
}

GfxResult CGfxEffect::CommitChanges() {
    if (!m_inPass) return GFXERR_INVALIDCALL;
    return m_device->CommitEffect(this);
}

GfxResult CGfxEffect::EndPass() {
    if (!m_inPass) return GFXERR_INVALIDCALL;
    m_inPass = false;
    m_device->EndEffectPass(this);
    return GFX_OK;
}

GfxResult CGfxEffect::End() {
    if (!m_begun || m_inPass) return GFXERR_INVALIDCALL;
    m_begun = false;
    return GFX_OK;
}

GfxResult CreateEffect(CGfxDevice* device, const void* data, size_t size, CGfxEffect** effect, std::string* errors) {
    if (!effect) return GFXERR_INVALIDCALL;
    *effect = nullptr;
    if (!device || !data) return GFXERR_INVALIDCALL;
    GfxEffectDescription description;
    GfxResult r = ParseEffect(static_cast<const uint8_t*>(data), size, &description);
    if (GfxFailed(r)) {
        if (errors) *errors = "not an effect file of version 1, or damaged";
        return r;
    }
    auto* e = new CGfxEffect(device, std::move(description));
    r = device->PrepareEffect(e, errors);
    if (GfxFailed(r)) {
        e->Release();
        return r;
    }
    *effect = e;
    return GFX_OK;
}

GfxResult CreateEffectFromFile(CGfxDevice* device, std::string_view gamePath, CGfxEffect** effect,
                               std::string* errors) {
    if (effect) *effect = nullptr;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(gamePath, bytes)) {
        if (errors) *errors = "cannot read the file";
        return GFXERR_NOTFOUND;
    }
    return CreateEffect(device, bytes.data(), bytes.size(), effect, errors);
}

}  // namespace platform
