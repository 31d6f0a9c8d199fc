#include "engine/render/GfxShaderEffect.h"

#include "engine/core/ErrorReport.h"

CGfxShaderEffect::~CGfxShaderEffect() {
    if (m_effect) m_effect->Release();
}

uint32_t CGfxShaderEffect::Begin() {
    uint32_t passes = 0;
    if (platform::GfxFailed(m_effect->Begin(&passes, 0))) return 0;
    return passes;
}

CShaderSet::EffectLoader DeviceEffectLoader() {
    return [](platform::CGfxDevice& device, const std::vector<uint8_t>& bytes) -> CShaderEffect* {
        platform::CGfxEffect* effect = nullptr;
        std::string errors;
        platform::GfxResult r = platform::CreateEffect(&device, bytes.data(), bytes.size(), &effect, &errors);
        if (platform::GfxFailed(r) || !effect) {
            ErrorReport().SetError(ERR_DEVICE_CALL, "Effect not made : %s", errors);
            return nullptr;
        }
        return new CGfxShaderEffect(effect);
    };
}
