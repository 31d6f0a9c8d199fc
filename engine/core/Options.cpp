#include "engine/core/Options.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "engine/core/TextFormat.h"
#include "platform/File.h"

namespace {

// One row per stored value, in the order they are read and written. A row
// holds either an integer field (a DWORD value) or a float field (a text value).
struct OptionRow {
    const char* name;
    int COptions::*intField;
    float COptions::*floatField;
    bool ranged;                // false: any value is taken
    double minValue, maxValue;  // both ends included
    double outOfRange;          // taken when the stored value lies outside the range
    double missing;             // taken when there is no stored value
    bool missingAsksDefaults;
};

constexpr OptionRow kRows[] = {
    {"ShowUnitHP", &COptions::showUnitHP, nullptr, false, 0, 0, 1, 1, true},
    {"Color32Bit", &COptions::color32Bit, nullptr, false, 0, 0, 1, 1, true},
    {"VoiceEnable", &COptions::voiceEnable, nullptr, false, 0, 0, 1, 1, true},
    {"WindowMode", &COptions::windowMode, nullptr, false, 0, 0, 0, 0, true},
    {"ShadowType", &COptions::shadowType, nullptr, true, 0, 3, 3, 3, true},
    {"ScreenScroll", nullptr, &COptions::screenScroll, true, 0.5, 2.6, 1.3, 1.3, true},
    {"GammaValue", nullptr, &COptions::gammaValue, true, 0.5, 3.0, 1.0, 1.0, true},
    {"StreamVolume", nullptr, &COptions::streamVolume, true, 0.0, 1.0, 0.4, 0.4, true},
    {"SfxVolume", nullptr, &COptions::sfxVolume, true, 0.0, 1.0, 1.0, 1.0, true},
    {"Effect_Grade", &COptions::effectGrade, nullptr, true, 0, 2, 0, 0, true},
    {"Sight_Grade", &COptions::sightGrade, nullptr, true, 0, 2, 2, 2, true},
    {"Blur_Value", nullptr, &COptions::blurValue, true, 0.5, 3.0, 1.8, 1.8, true},
    {"Enbable_Blur", &COptions::enableBlur, nullptr, false, 0, 0, 0, 0, false},
    {"Texture_Grade", &COptions::textureGrade, nullptr, true, 1, 4, 1, 1, true},
    {"Animation_Skip", &COptions::animationSkip, nullptr, true, 0, 2, 0, 1, true},
};

bool InRange(const OptionRow& row, double value) {
    return !row.ranged || (value >= row.minValue && value <= row.maxValue);
}

void Store(COptions& options, const OptionRow& row, double value) {
    if (row.intField)
        options.*row.intField = static_cast<int>(value);
    else
        options.*row.floatField = static_cast<float>(value);
}

}  // namespace

void COptions::LoadOptions(const char* path, platform::Registry& registry) {
    keyPath = path ? path : "";
    workingFolder = platform::WorkingFolder();
    for (const OptionRow& row : kRows) {
        std::optional<double> stored;
        if (row.intField) {
            if (std::optional<uint32_t> v = registry.GetDword(keyPath, row.name))
                stored = static_cast<double>(static_cast<int32_t>(*v));
        } else if (std::optional<std::string> text = registry.GetString(keyPath, row.name)) {
            stored = std::strtod(text->c_str(), nullptr);
        }
        if (!stored) {
            Store(*this, row, row.missing);
            if (row.missingAsksDefaults) defaultsNeeded = 1;
            continue;
        }
        // "nan" and "inf" read as numbers; neither is a setting.
        bool valid = std::isfinite(*stored) && InRange(row, *stored);
        Store(*this, row, valid ? *stored : row.outOfRange);
    }
    loaded = 1;
}

void COptions::SaveOptions(platform::Registry& registry) const {
    for (const OptionRow& row : kRows) {
        if (row.intField)
            registry.SetDword(keyPath, row.name, static_cast<uint32_t>(this->*row.intField));
        else
            registry.SetString(keyPath, row.name, FormatText("%.3f", static_cast<double>(this->*row.floatField)));
    }
}

void COptions::SetDefaults() {
    // The load flag stays: options that were read must still be saved at the end.
    showUnitHP = color32Bit = voiceEnable = windowMode = 0;
    sessionWords[0] = sessionWords[1] = 0;
    enableBlur = shadowType = 0;
    showUnitHP = 1;
    voiceEnable = 1;
    screenScroll = 1.3f;
    gammaValue = 1.0f;
    streamVolume = 0.4f;
    sfxVolume = 1.0f;
    blurValue = 1.8f;

    struct GradeDefaults {
        int color32Bit, shadowType, effectGrade, sightGrade, textureGrade, animationSkip;
    };
    static constexpr GradeDefaults kByGrade[] = {
        {1, 3, 0, 2, 1, 0},
        {1, 3, 0, 2, 1, 0},
        {1, 1, 1, 1, 1, 1},
        {0, 0, 2, 0, 4, 2},
    };
    if (machineGrade < 0 || machineGrade > 3) return;  // an unknown grade keeps the common values
    const GradeDefaults& g = kByGrade[machineGrade];
    color32Bit = g.color32Bit;
    shadowType = g.shadowType;
    effectGrade = g.effectGrade;
    sightGrade = g.sightGrade;
    textureGrade = g.textureGrade;
    animationSkip = g.animationSkip;
}

void COptions::Apply(IOptionsTarget& target) {
    target.SetSightGrade(sightGrade);
    target.SetStreamVolume(streamVolume);
    target.SetEffectVolume(sfxVolume);
    target.ApplyGammaRamp(gammaValue);
    SetBlur(enableBlur ? blurValue : 0.0f, &target);
}

void COptions::SetBlur(float value, IOptionsTarget* target) {
    blurValue = value;
    if (!enableBlur || !target) return;
    if (value == 0.0f) {
        target->SetGlow(false);
    } else {
        target->SetGlow(true);
        target->SetGlowColor(value);
    }
}
