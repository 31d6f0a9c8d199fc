// State setters that reach the device only when the value differs from what
// the device already holds. The device keeps its whole state (and resets it to
// the defaults with a reset), so its own record is the one cache: nothing can
// go stale behind another setter's back. Every only-when-changed set of the
// program goes through here. Results are the device's; GFX_OK when the device
// already held the value.
#pragma once

#include <cstdint>

#include "platform/GfxDevice.h"

platform::GfxResult SetRenderStateCached(platform::CGfxDevice& device, uint32_t state, uint32_t value);
platform::GfxResult SetStageStateCached(platform::CGfxDevice& device, uint32_t stage, uint32_t type, uint32_t value);
platform::GfxResult SetSamplerStateCached(platform::CGfxDevice& device, uint32_t sampler, uint32_t type,
                                          uint32_t value);
// Alpha blending on, source alpha over inverse source alpha.
void SetSourceAlphaBlend(platform::CGfxDevice& device);
// A vertex declaration in use counts as a different format.
void SetFvfCached(platform::CGfxDevice& device, uint32_t fvf);
void SetTextureCached(platform::CGfxDevice& device, uint32_t stage, platform::CGfxTexture* texture);
// No culling for two-sided geometry, counter-clockwise culling otherwise.
void SetCullMode(platform::CGfxDevice& device, bool twoSided);
