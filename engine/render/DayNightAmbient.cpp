#include "engine/render/DayNightAmbient.h"

#include <cmath>

#include "engine/render/DeviceStates.h"
#include "engine/render/ShaderSet.h"

using namespace platform;

void CDayNightAmbient::Init() {
    current = Vec4(0.6f, 0.6f, 0.6f, 1.0f);
    setA = Vec4(0.7f, 0.7f, 0.7f, 1.0f);
    setB = Vec4(0, 0, 0.55f, 0);
    fading = 0;
    done = 0;
}

void CDayNightAmbient::SetPhase(float phaseSeconds, uint32_t headTowardsA) {
    period = phaseSeconds;
    towardsA = headTowardsA;
    fading = 0;
    elapsed = 0;
    done = 0;
    current = towardsA ? setA : setB;
    rates = Vec3(std::fabs(setA.x - setB.x), std::fabs(setA.y - setB.y), std::fabs(setA.z - setB.z)) * 0.6666667f;
}

int CDayNightAmbient::Update(float dt) {
    if (done) return 0;
    elapsed += dt;
    if (elapsed >= period) {
        done = 1;
        return 1;
    }
    if (!fading) return 0;
    fading = 0;
    const Vec4& goal = towardsA ? setA : setB;
    auto step = [&](float& value, float target, float rate) {
        float move = rate * dt;
        if (value < target) {
            value += move;
            if (value >= target) value = target;
        } else if (value > target) {
            value -= move;
            if (value <= target) value = target;
        }
        if (value != target) fading = 1;
    };
    step(current.x, goal.x, rates.x);
    step(current.y, goal.y, rates.y);
    step(current.z, goal.z, rates.z);
    if (!fading) current = goal;
    return 0;
}

uint32_t CDayNightAmbient::ChannelByte(float value) {
    if (value >= 1.0f) return 255;
    if (value <= 0.0f) return 0;
    return static_cast<uint32_t>(value * 255.0f + 0.5f);
}

void CDayNightAmbient::Apply(CGfxDevice& device, CShaderSet* shaders) const {
    uint32_t argb =
        ColorArgb(ChannelByte(current.w), ChannelByte(current.x), ChannelByte(current.y), ChannelByte(current.z));
    SetRenderStateCached(device, RS_AMBIENT, argb);
    if (shaders && shaders->IsReady())
        shaders->SkinEffect()->SetVector("DayNightAmbient", Vec4(current.x, current.y, current.z, 1.0f));
}

void MakeDirectionalLight(GfxLight* out, const ColorValue& diffuse, const ColorValue& specular,
                          const ColorValue& ambient, const Vec3& direction) {
    if (!out) return;
    *out = GfxLight();
    out->type = LIGHT_DIRECTIONAL;
    out->diffuse = diffuse;
    out->specular = specular;
    out->ambient = ambient;
    out->direction = Vec3Normalize(direction);
}

void SetFog(CGfxDevice& device, bool enable, uint32_t colour, float start, float end) {
    if (!enable) {
        SetRenderStateCached(device, RS_FOGENABLE, 0);
        return;
    }
    SetRenderStateCached(device, RS_FOGENABLE, 1);
    SetRenderStateCached(device, RS_FOGCOLOR, colour);
    SetRenderStateCached(device, RS_FOGTABLEMODE, FOG_LINEAR);
    SetRenderStateCached(device, RS_FOGSTART, FloatBits(start));
    SetRenderStateCached(device, RS_FOGEND, FloatBits(end));
}
