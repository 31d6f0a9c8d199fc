// The ambient colour of the play view, faded between a day set (A) and a
// night set (B) and handed to the device and to the skinning effect.
#pragma once

#include <cstdint>

#include "platform/GfxDevice.h"
#include "platform/Math.h"

class CShaderSet;

class CDayNightAmbient {
public:
    virtual ~CDayNightAmbient() = default;

    void Init();
    // A phase of period seconds heading for set A (towardsA) or B; the colour
    // starts at the phase's own set and the rates make a full fade take 1.5 s.
    void SetPhase(float phaseSeconds, uint32_t headTowardsA);
    // 1 once, on the call that reaches the end of the phase.
    int Update(float dt);
    // The ambient state (when it changed) and, with a ready shader set, the effect's ambient.
    void Apply(platform::CGfxDevice& device, CShaderSet* shaders) const;
    // 255 at 1.0 or above, 0 at 0 or below, else rounded.
    static uint32_t ChannelByte(float value);

    float period = 0;
    uint32_t towardsA = 0;
    uint32_t fading = 0;  // the play screen sets it to run a fade step
    float elapsed = 0;
    uint32_t done = 0;
    platform::Vec4 current, setA, setB;
    platform::Vec3 rates;
};

// The light: type directional, the three colours, the direction normalised, the rest zero.
void MakeDirectionalLight(platform::GfxLight* out, const platform::ColorValue& diffuse,
                          const platform::ColorValue& specular, const platform::ColorValue& ambient,
                          const platform::Vec3& direction);

// Linear fog on, with colour and range; or fog off. Sends only the states that change.
void SetFog(platform::CGfxDevice& device, bool enable, uint32_t colour, float start, float end);
