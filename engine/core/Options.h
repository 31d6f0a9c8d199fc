// The player's display, sound and detail settings, kept in the registry store
// shared with the patcher under "SOFTWARE\Brimholt\QOR_SG".
//
// Values by name: integers as DWORD values, floats as text values written
// with "%.3f" and read back as numbers. A value that is missing takes its
// default and asks for the machine's grade defaults; one that is out of range
// (or not a finite number) takes its default alone. Ranges include both ends:
//
//   ShowUnitHP, Color32Bit, VoiceEnable  DWORD  any       1
//   WindowMode                           DWORD  any       0
//   ShadowType                           DWORD  0..3      3
//   ScreenScroll                         text   0.5..2.6  1.3
//   GammaValue                           text   0.5..3.0  1.0
//   StreamVolume                         text   0..1      0.4
//   SfxVolume                            text   0..1      1.0
//   Effect_Grade                         DWORD  0..2      0
//   Sight_Grade                          DWORD  0..2      2
//   Blur_Value                           text   0.5..3.0  1.8
//   Enbable_Blur                         DWORD  any       0 (missing asks for no defaults)
//   Texture_Grade                        DWORD  1..4      1
//   Animation_Skip                       DWORD  0..2      0 (1 when missing)
//
// A switched-off blur is saved as Blur_Value 0.000, which reads back as 1.8.
#pragma once

#include <string>

#include "platform/Registry.h"

constexpr const char* kOptionsKeyPath = "SOFTWARE\\Brimholt\\QOR_SG";

// The engine services the options are applied to (the world's sight, the
// sound manager, the device's gamma ramp, the glow effect).
class IOptionsTarget {
public:
    virtual ~IOptionsTarget() = default;
    virtual void SetSightGrade(int grade) = 0;
    virtual void SetStreamVolume(float volume) = 0;
    virtual void SetEffectVolume(float volume) = 0;
    virtual void ApplyGammaRamp(float gamma) = 0;
    // Glow on or off, and the glow effect's "fColor" strength when on.
    virtual void SetGlow(bool on) = 0;
    virtual void SetGlowColor(float value) = 0;
};

class COptions {
public:
    // The options window and the screens read and change these directly.
    int showUnitHP = 0;
    int color32Bit = 0;  // 0: 16-bit full-screen back buffer
    int voiceEnable = 0;
    int windowMode = 0;            // 1: windowed
    int loaded = 0;                // set by every load; not stored
    int sessionWords[2] = {0, 0};  // kept for the screens, not stored
    int enableBlur = 0;
    int shadowType = 0;
    float screenScroll = 0.0f;
    float gammaValue = 0.0f;
    float streamVolume = 0.0f;
    float sfxVolume = 0.0f;
    int effectGrade = 0;
    int sightGrade = 0;
    float blurValue = 1.8f;
    int defaultsNeeded = 0;  // a stored value was missing
    int textureGrade = 1;
    int animationSkip = 0;
    int machineGrade = 0;  // 0 (best) .. 3, from the system check
    std::string workingFolder;
    std::string keyPath;

    // Reads every value under keyPath (see the table above); never fails.
    void LoadOptions(const char* path, platform::Registry& registry);
    void LoadOptions(const char* path) { LoadOptions(path, platform::TheRegistry()); }
    // Writes every value under the loaded key path, in table order. Failed
    // writes are ignored: the next start takes defaults for what is missing.
    void SaveOptions(platform::Registry& registry) const;
    void SaveOptions() const { SaveOptions(platform::TheRegistry()); }

    // Replaces every setting by the defaults of the machine grade.
    void SetDefaults();
    void Apply(IOptionsTarget& target);
    void SetBlur(float value, IOptionsTarget* target);
};
