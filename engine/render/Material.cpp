#include "engine/render/Material.h"

using platform::ColorValue;

void CMaterial::Reset() {
    m_material.diffuse = ColorValue(1, 1, 1, 1);
    m_material.ambient = ColorValue(1, 1, 1, 1);
    m_material.specular = ColorValue(1, 1, 1, 1);
    m_material.emissive = ColorValue(0, 0, 0, 0);
    m_material.power = 20.0f;
}

void CMaterial::Apply(platform::CGfxDevice& device, float r, float g, float b, float /*unused*/) const {
    platform::GfxMaterial copy = m_material;
    copy.diffuse.r *= r;
    copy.diffuse.g *= g;
    copy.diffuse.b *= b;
    // The tint (ambient) takes the same factors as the diffuse colour, each its
    // own channel.
    copy.ambient.r *= r;
    copy.ambient.g *= g;
    copy.ambient.b *= b;
    device.SetMaterial(&copy);
}
