#include "engine/render/DeviceStates.h"

using namespace platform;

GfxResult SetRenderStateCached(CGfxDevice& device, uint32_t state, uint32_t value) {
    uint32_t current = 0;
    if (device.GetRenderState(state, &current) == GFX_OK && current == value) return GFX_OK;
    return device.SetRenderState(state, value);
}

GfxResult SetStageStateCached(CGfxDevice& device, uint32_t stage, uint32_t type, uint32_t value) {
    uint32_t current = 0;
    if (device.GetTextureStageState(stage, type, &current) == GFX_OK && current == value) return GFX_OK;
    return device.SetTextureStageState(stage, type, value);
}

GfxResult SetSamplerStateCached(CGfxDevice& device, uint32_t sampler, uint32_t type, uint32_t value) {
    uint32_t current = 0;
    if (device.GetSamplerState(sampler, type, &current) == GFX_OK && current == value) return GFX_OK;
    return device.SetSamplerState(sampler, type, value);
}

void SetFvfCached(CGfxDevice& device, uint32_t fvf) {
    uint32_t current = 0;
    if (!device.GetVertexDeclaration() && device.GetFVF(&current) == GFX_OK && current == fvf) return;
    device.SetFVF(fvf);
}

void SetTextureCached(CGfxDevice& device, uint32_t stage, CGfxTexture* texture) {
    if (device.GetTexture(stage) == texture) return;
    device.SetTexture(stage, texture);
}

void SetCullMode(CGfxDevice& device, bool twoSided) {
    SetRenderStateCached(device, RS_CULLMODE, twoSided ? CULL_NONE : CULL_CCW);
}

void SetSourceAlphaBlend(CGfxDevice& device) {
    SetRenderStateCached(device, RS_ALPHABLENDENABLE, 1);
    SetRenderStateCached(device, RS_SRCBLEND, BLEND_SRCALPHA);
    SetRenderStateCached(device, RS_DESTBLEND, BLEND_INVSRCALPHA);
}
