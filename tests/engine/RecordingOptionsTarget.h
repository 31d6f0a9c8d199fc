// An options target that writes down every setting it is given, in order.
#pragma once

#include <string>
#include <vector>

#include "engine/core/Options.h"

class CRecordingOptionsTarget : public IOptionsTarget {
public:
    std::vector<std::string> calls;
    void SetSightGrade(int grade) override { calls.push_back("sight " + std::to_string(grade)); }
    void SetStreamVolume(float v) override { calls.push_back("stream " + std::to_string(v)); }
    void SetEffectVolume(float v) override { calls.push_back("effect " + std::to_string(v)); }
    void ApplyGammaRamp(float g) override { calls.push_back("gamma " + std::to_string(g)); }
    void SetGlow(bool on) override { calls.push_back(on ? "glow on" : "glow off"); }
    void SetGlowColor(float v) override { calls.push_back("fColor " + std::to_string(v)); }
};
