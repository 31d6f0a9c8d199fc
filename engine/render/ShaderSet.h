// The process-wide set of compiled effect files: the skinning effect
// "ZEMSKIN.FXO" used by every animated model and the glow effect
// "ZEMGAUSS.FXO", loaded at device creation from a loose file or a package
// entry and kept by file name. IsReady() tells whether skinning on the
// graphics card can be used; when it is false, everything draws with the
// fixed-function material.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/render/ShaderEffect.h"
#include "platform/GfxDevice.h"

// One effect file of the set. A failed load keeps its entry with no effect.
struct EffectEntry {
    EffectEntry() = default;
    ~EffectEntry();
    EffectEntry(const EffectEntry&) = delete;
    EffectEntry& operator=(const EffectEntry&) = delete;

    std::string name;
    platform::CGfxVertexDeclaration* declaration = nullptr;
    std::unique_ptr<CShaderEffect> effect;
};

class CShaderSet {
public:
    // The vertex format of the 64-byte skinned vertex: position, normal, one
    // texture set of two floats and two of four (weights and bone indices).
    static constexpr uint32_t kSkinFvf = 0x280312;

    // Makes an effect from the bytes of an effect file; null on failure (with
    // the error report set).
    using EffectLoader = std::function<CShaderEffect*(platform::CGfxDevice& device, const std::vector<uint8_t>& bytes)>;

    explicit CShaderSet(platform::CGfxDevice* device);
    ~CShaderSet();
    CShaderSet(const CShaderSet&) = delete;
    CShaderSet& operator=(const CShaderSet&) = delete;

    // The application's set exists before its device does; effects loaded on
    // another device must be cleared first.
    void SetDevice(platform::CGfxDevice* device) { m_device = device; }
    // The render device's effects unless another loader is given.
    void SetEffectLoader(EffectLoader loader) { m_loader = std::move(loader); }

    // With enable 0 nothing is loaded and 1 returned; otherwise the skinning
    // effect, then the glow effect; 1 only when both loaded.
    int LoadShaders(int enable);
    int LoadSkinEffect(uint32_t fvf);
    int LoadGaussEffect();
    bool IsReady() const { return m_skinLoaded != 0 && m_useSkin != 0; }
    // The skinning switch: effect meshes are built with it off, so that they
    // always get the non-skinned vertex format.
    bool UseSkin() const { return m_useSkin != 0; }
    void SetUseSkin(bool on) { m_useSkin = on ? 1u : 0u; }

    void SetViewProjLight(const platform::Matrix& view, const platform::Matrix& projection,
                          const platform::Vec4& lightDirection);
    // After a device reset.
    void ResetEffects();
    // Before a device reset.
    void LoseEffects();

    // 1 when the named effect is (or already was) loaded.
    int LoadEffect(uint32_t fvf, const char* name);
    EffectEntry* FindEffect(const char* name);
    void ClearEffects();

    CShaderEffect* SkinEffect() const { return m_skinEffect; }
    platform::CGfxVertexDeclaration* SkinDeclaration() const { return m_skinDeclaration; }
    CShaderEffect* GlowEffect() const { return m_glowEffect; }
    uint32_t SkinFvf() const { return m_skinFvf; }
    size_t EffectCount() const { return m_effects.size(); }

private:
    int LoadEffectFile(EffectEntry& entry);

    platform::CGfxDevice* m_device;
    EffectLoader m_loader;
    std::vector<std::unique_ptr<EffectEntry>> m_effects;
    uint32_t m_skinLoaded = 0;
    uint32_t m_useSkin = 1;
    CShaderEffect* m_skinEffect = nullptr;
    platform::CGfxVertexDeclaration* m_skinDeclaration = nullptr;
    uint32_t m_skinFvf = 0;
    uint32_t m_glowLoaded = 0;
    uint32_t m_loadGlow = 1;
    CShaderEffect* m_glowEffect = nullptr;
};

extern CShaderSet* g_pShaderSet;
