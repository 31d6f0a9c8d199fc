// Effect file writer.
#include "tools/EffectWriter.h"

using namespace platform;

namespace {
void Put(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutString(std::vector<uint8_t>& out, const std::string& s) {
    Put(out, static_cast<uint32_t>(s.size()));
    out.insert(out.end(), s.begin(), s.end());
}
}  // namespace

std::vector<uint8_t> CEffectWriter::Write(const GfxEffectDescription& e) {
    std::vector<uint8_t> out;
    Put(out, kEffectMagic);
    Put(out, kEffectVersion);
    Put(out, static_cast<uint32_t>(e.parameters.size()));
    for (const auto& p : e.parameters) {
        PutString(out, p.name);
        Put(out, p.type);
        Put(out, p.elements);
    }
    Put(out, static_cast<uint32_t>(e.shaders.size()));
    for (const auto& s : e.shaders) {
        Put(out, s.stage);
        PutString(out, s.source);
    }
    Put(out, static_cast<uint32_t>(e.techniques.size()));
    for (const auto& t : e.techniques) {
        PutString(out, t.name);
        Put(out, static_cast<uint32_t>(t.passes.size()));
        for (const auto& p : t.passes) {
            PutString(out, p.name);
            Put(out, p.vertexShader);
            Put(out, p.fragmentShader);
            Put(out, static_cast<uint32_t>(p.renderStates.size()));
            for (const auto& [state, value] : p.renderStates) {
                Put(out, state);
                Put(out, value);
            }
        }
    }
    return out;
}

CEffectWriter& CEffectWriter::Parameter(const std::string& name, uint32_t type, uint32_t elements) {
    GfxEffectParameter p;
    p.name = name;
    p.type = type;
    p.elements = elements;
    m_effect.parameters.push_back(std::move(p));
    return *this;
}

uint32_t CEffectWriter::Shader(uint32_t stage, const std::string& source) {
    m_effect.shaders.push_back(GfxEffectShader{stage, source});
    return static_cast<uint32_t>(m_effect.shaders.size() - 1);
}

CEffectWriter& CEffectWriter::Technique(const std::string& name) {
    m_effect.techniques.push_back(GfxEffectTechnique{name, {}});
    return *this;
}

CEffectWriter& CEffectWriter::Pass(const std::string& name, uint32_t vertexShader, uint32_t fragmentShader,
                                   std::vector<std::pair<uint32_t, uint32_t>> renderStates) {
    if (m_effect.techniques.empty()) Technique("T0");
    m_effect.techniques.back().passes.push_back(
        GfxEffectPass{name, vertexShader, fragmentShader, std::move(renderStates)});
    return *this;
}
