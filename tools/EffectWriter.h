// Writes effect files ("*.FXO" in the game folder) in the format the render
// device reads (layout in platform/GfxEffect.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/GfxEffect.h"

class CEffectWriter {
public:
    static std::vector<uint8_t> Write(const platform::GfxEffectDescription& effect);

    // Building an effect step by step.
    CEffectWriter& Parameter(const std::string& name, uint32_t type, uint32_t elements = 1);
    // Returns the shader's index.
    uint32_t Shader(uint32_t stage, const std::string& source);
    CEffectWriter& Technique(const std::string& name);
    // A pass of the last technique.
    CEffectWriter& Pass(const std::string& name, uint32_t vertexShader, uint32_t fragmentShader,
                        std::vector<std::pair<uint32_t, uint32_t>> renderStates = {});
    std::vector<uint8_t> Bytes() const { return Write(m_effect); }
    const platform::GfxEffectDescription& Description() const { return m_effect; }

private:
    platform::GfxEffectDescription m_effect;
};
