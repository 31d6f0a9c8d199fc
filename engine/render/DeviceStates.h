// State setters that reach the device only when the value differs from what
// the device already holds. The device keeps its whole state (and resets it to
// the defaults with a reset), so its own record is the cache.
#pragma once

#include <cstdint>

#include "platform/GfxDevice.h"

void SetRenderStateCached(platform::CGfxDevice& device, uint32_t state, uint32_t value);
void SetStageStateCached(platform::CGfxDevice& device, uint32_t stage, uint32_t type, uint32_t value);
// A vertex declaration in use counts as a different format.
void SetFvfCached(platform::CGfxDevice& device, uint32_t fvf);
void SetTextureCached(platform::CGfxDevice& device, uint32_t stage, platform::CGfxTexture* texture);
// No culling for two-sided geometry, counter-clockwise culling otherwise.
void SetCullMode(platform::CGfxDevice& device, bool twoSided);
