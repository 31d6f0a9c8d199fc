// The ambient weather of the sample game folder: the rain and snow effects
// that the play resources load for the match's ambient event, their
// textures, and the rain's looping sound.
#pragma once

#include <string>

#include "tools/EffectFileWriter.h"

class CPackageWriter;

constexpr const char* kSampleRainEffect = "EFF_COM_ENV_RAIN01.DRE";
constexpr const char* kSampleSnowEffect = "EFF_COM_ENV_SNOW01.DRE";
constexpr const char* kSampleRainSound = "WEATHER-RAIN.OGG";

// Camera-facing drops falling through a wide box above the point, for ever.
EffectFileLayer RainLayer(const std::string& texture);
EffectFileLayer SnowLayer(const std::string& texture);

int AddSampleWeather(CPackageWriter& package);
