// The render device's effects (platform/GfxEffect.h) as the shader set uses
// them, and the loader that makes them from the bytes of an effect file.
#pragma once

#include "engine/render/ShaderEffect.h"
#include "engine/render/ShaderSet.h"
#include "platform/GfxEffect.h"

class CGfxShaderEffect : public CShaderEffect {
public:
    // Takes over the caller's reference.
    explicit CGfxShaderEffect(platform::CGfxEffect* effect) : m_effect(effect) {}
    ~CGfxShaderEffect() override;
    CGfxShaderEffect(const CGfxShaderEffect&) = delete;
    CGfxShaderEffect& operator=(const CGfxShaderEffect&) = delete;

    void SetMatrix(const char* name, const platform::Matrix& m) override { m_effect->SetMatrix(name, m); }
    void SetMatrixArray(const char* name, const platform::Matrix* m, uint32_t count) override {
        m_effect->SetMatrixArray(name, m, count);
    }
    void SetVector(const char* name, const platform::Vec4& v) override { m_effect->SetVector(name, v); }
    void SetTechnique(const char* name) override { m_effect->SetTechnique(name); }
    void SetBool(const char* name, bool value) override { m_effect->SetBool(name, value); }
    uint32_t Begin() override;
    void BeginPass(uint32_t pass) override { m_effect->BeginPass(pass); }
    void EndPass() override { m_effect->EndPass(); }
    void End() override { m_effect->End(); }
    void OnLostDevice() override { m_effect->OnLostDevice(); }
    void OnResetDevice() override { m_effect->OnResetDevice(); }

    platform::CGfxEffect* Effect() const { return m_effect; }

private:
    platform::CGfxEffect* m_effect;
};

// Makes device effects; a file that is not an effect, or whose shaders do not
// build, sets the error report with the device's reason.
CShaderSet::EffectLoader DeviceEffectLoader();
