// The fixed-function material of a scene object. Scene objects use the
// ambient colour as their tint and its alpha as their alpha.
#pragma once

#include "platform/GfxDevice.h"

class CMaterial {
public:
    CMaterial() { Reset(); }
    virtual ~CMaterial() = default;

    // Diffuse, ambient and specular white, no emission, power 20.
    void Reset();
    // Hands the device a copy whose diffuse and ambient red, green and blue are
    // scaled by r, g and b (the renderer's colour factors).
    void Apply(platform::CGfxDevice& device, float r, float g, float b, float unused = 1.0f) const;

    platform::GfxMaterial& Get() { return m_material; }
    const platform::GfxMaterial& Get() const { return m_material; }

private:
    platform::GfxMaterial m_material;
};
