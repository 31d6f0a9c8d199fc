// Where the application applies the player's options: the sound manager's
// volumes, the device's gamma ramp and the world's sight grade. The sight
// grade and the glow are also kept here for the world and the play view,
// which read them when a match starts.
#pragma once

#include "engine/core/Options.h"

class CGameApp;

class CAppOptionsTarget : public IOptionsTarget {
public:
    explicit CAppOptionsTarget(CGameApp& app) : m_app(app) {}

    // Kept, and passed on to the world object manager while a match has one.
    void SetSightGrade(int grade) override;
    void SetStreamVolume(float volume) override;
    void SetEffectVolume(float volume) override;
    void ApplyGammaRamp(float gamma) override;
    void SetGlow(bool on) override { glowOn = on; }
    void SetGlowColor(float value) override { glowColor = value; }

    int sightGrade = 0;
    bool glowOn = false;
    float glowColor = 0.0f;

private:
    CGameApp& m_app;
};
