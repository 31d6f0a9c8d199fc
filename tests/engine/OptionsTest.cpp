#include "engine/core/Options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "tests/engine/RecordingOptionsTarget.h"

namespace {

struct Store {
    std::unique_ptr<platform::Registry> registry = platform::CreateMemoryRegistry();

    // Every value stored and valid, as a previous session would leave them.
    void StoreValid() {
        COptions saved;
        saved.machineGrade = 1;
        saved.SetDefaults();
        saved.keyPath = kOptionsKeyPath;
        saved.SaveOptions(*registry);
    }
};

using RecordingTarget = CRecordingOptionsTarget;

}  // namespace

TEST(Options, StoredValuesAndTheirRanges) {
    struct Case {
        const char* name;
        const char* text;  // a text value, or null for the DWORD below
        uint32_t dword;
        double want;
    } cases[] = {
        {"ScreenScroll", "2.600", 0, 2.6}, {"ScreenScroll", "2.61", 0, 1.3},       {"ScreenScroll", "0.5", 0, 0.5},
        {"ScreenScroll", "0.49", 0, 1.3},  {"ScreenScroll", "nan", 0, 1.3},        {"ScreenScroll", "inf", 0, 1.3},
        {"ScreenScroll", "-inf", 0, 1.3},  {"GammaValue", "0.5", 0, 0.5},          {"GammaValue", "3.000", 0, 3.0},
        {"GammaValue", "3.01", 0, 1.0},    {"GammaValue", "NAN", 0, 1.0},          {"StreamVolume", "0", 0, 0.0},
        {"StreamVolume", "1.5", 0, 0.4},   {"SfxVolume", "-0.1", 0, 1.0},          {"Blur_Value", "3.5", 0, 1.8},
        {"Blur_Value", "0.000", 0, 1.8},   {"Blur_Value", "2.25", 0, 2.25},        {"ShadowType", nullptr, 2, 2},
        {"ShadowType", nullptr, 4, 3},     {"ShadowType", nullptr, 0xFFFFFFFF, 3}, {"Effect_Grade", nullptr, 3, 0},
        {"Sight_Grade", nullptr, 3, 2},    {"Texture_Grade", nullptr, 0, 1},       {"Texture_Grade", nullptr, 5, 1},
        {"Texture_Grade", nullptr, 4, 4},  {"Animation_Skip", nullptr, 3, 0},      {"Animation_Skip", nullptr, 2, 2},
        {"WindowMode", nullptr, 7, 7},     {"Enbable_Blur", nullptr, 1, 1},
    };
    auto field = [](const COptions& o, const std::string& name) -> double {
        if (name == "ScreenScroll") return o.screenScroll;
        if (name == "GammaValue") return o.gammaValue;
        if (name == "StreamVolume") return o.streamVolume;
        if (name == "SfxVolume") return o.sfxVolume;
        if (name == "Blur_Value") return o.blurValue;
        if (name == "ShadowType") return o.shadowType;
        if (name == "Effect_Grade") return o.effectGrade;
        if (name == "Sight_Grade") return o.sightGrade;
        if (name == "Texture_Grade") return o.textureGrade;
        if (name == "Animation_Skip") return o.animationSkip;
        if (name == "WindowMode") return o.windowMode;
        if (name == "Enbable_Blur") return o.enableBlur;
        return NAN;
    };
    for (const Case& c : cases) {
        Store s;
        s.StoreValid();
        if (c.text)
            s.registry->SetString(kOptionsKeyPath, c.name, c.text);
        else
            s.registry->SetDword(kOptionsKeyPath, c.name, c.dword);
        COptions o;
        o.LoadOptions(kOptionsKeyPath, *s.registry);
        EXPECT_NEAR(field(o, c.name), c.want, 1e-6) << c.name << " " << (c.text ? c.text : std::to_string(c.dword));
        EXPECT_EQ(o.defaultsNeeded, 0) << c.name;  // out of range is not missing
        EXPECT_EQ(o.loaded, 1);
    }
}

TEST(Options, MissingValuesAskForDefaults) {
    struct Case {
        const char* name;
        int defaultsNeeded;
    } cases[] = {{"ShowUnitHP", 1}, {"ScreenScroll", 1}, {"Animation_Skip", 1}, {"Enbable_Blur", 0}};
    for (const Case& c : cases) {
        Store s;
        s.StoreValid();
        s.registry->SetDword(kOptionsKeyPath, "Enbable_Blur", 1);
        s.registry->DeleteValue(kOptionsKeyPath, c.name);
        COptions o;
        o.LoadOptions(kOptionsKeyPath, *s.registry);
        EXPECT_EQ(o.defaultsNeeded, c.defaultsNeeded) << c.name;
    }
    Store s;
    s.StoreValid();
    s.registry->DeleteValue(kOptionsKeyPath, "Animation_Skip");
    s.registry->DeleteValue(kOptionsKeyPath, "ScreenScroll");
    s.registry->SetDword(kOptionsKeyPath, "ScreenScroll", 2);  // a value of another type counts as missing
    COptions o;
    o.LoadOptions(kOptionsKeyPath, *s.registry);
    EXPECT_EQ(o.animationSkip, 1);  // missing: 1, out of range: 0
    EXPECT_FLOAT_EQ(o.screenScroll, 1.3f);
    EXPECT_EQ(o.defaultsNeeded, 1);
}

TEST(Options, GradeDefaults) {
    struct Case {
        int grade;
        int color32Bit, shadowType, effectGrade, sightGrade, textureGrade, animationSkip;
    } cases[] = {{0, 1, 3, 0, 2, 1, 0},
                 {1, 1, 3, 0, 2, 1, 0},
                 {2, 1, 1, 1, 1, 1, 1},
                 {3, 0, 0, 2, 0, 4, 2},
                 {7, 0, 0, 9, 9, 9, 9}};
    for (const Case& c : cases) {
        // An empty store: every value missing.
        Store s;
        COptions o;
        o.LoadOptions(kOptionsKeyPath, *s.registry);
        ASSERT_EQ(o.defaultsNeeded, 1);
        o.windowMode = o.enableBlur = 1;
        o.effectGrade = o.sightGrade = o.textureGrade = o.animationSkip = 9;
        o.machineGrade = c.grade;
        o.SetDefaults();
        EXPECT_EQ(o.showUnitHP, 1) << c.grade;
        EXPECT_EQ(o.voiceEnable, 1) << c.grade;
        EXPECT_EQ(o.windowMode, 0) << c.grade;
        EXPECT_EQ(o.enableBlur, 0) << c.grade;
        EXPECT_EQ(o.loaded, 1) << c.grade;  // still saved at the end: the defaults are the player's now
        EXPECT_FLOAT_EQ(o.screenScroll, 1.3f);
        EXPECT_FLOAT_EQ(o.gammaValue, 1.0f);
        EXPECT_FLOAT_EQ(o.streamVolume, 0.4f);
        EXPECT_FLOAT_EQ(o.sfxVolume, 1.0f);
        EXPECT_FLOAT_EQ(o.blurValue, 1.8f);
        EXPECT_EQ(o.color32Bit, c.color32Bit) << c.grade;
        EXPECT_EQ(o.shadowType, c.shadowType) << c.grade;
        EXPECT_EQ(o.effectGrade, c.effectGrade) << c.grade;
        EXPECT_EQ(o.sightGrade, c.sightGrade) << c.grade;
        EXPECT_EQ(o.textureGrade, c.textureGrade) << c.grade;
        EXPECT_EQ(o.animationSkip, c.animationSkip) << c.grade;
    }
}

TEST(Options, SaveAndLoadRoundTrip) {
    Store s;
    COptions a;
    a.keyPath = kOptionsKeyPath;
    a.showUnitHP = 0;
    a.color32Bit = 1;
    a.voiceEnable = 0;
    a.windowMode = 1;
    a.enableBlur = 1;
    a.shadowType = 2;
    a.screenScroll = 2.25f;
    a.gammaValue = 0.75f;
    a.streamVolume = 0.125f;
    a.sfxVolume = 0.5f;
    a.effectGrade = 1;
    a.sightGrade = 0;
    a.blurValue = 2.5f;
    a.textureGrade = 3;
    a.animationSkip = 2;
    a.SaveOptions(*s.registry);
    EXPECT_EQ(s.registry->GetString(kOptionsKeyPath, "ScreenScroll").value_or(""), "2.250");
    EXPECT_EQ(s.registry->GetDword(kOptionsKeyPath, "Texture_Grade").value_or(0), 3u);

    COptions b;
    b.LoadOptions(kOptionsKeyPath, *s.registry);
    EXPECT_EQ(b.defaultsNeeded, 0);
    EXPECT_EQ(std::tie(b.showUnitHP, b.color32Bit, b.voiceEnable, b.windowMode, b.enableBlur, b.shadowType,
                       b.effectGrade, b.sightGrade, b.textureGrade, b.animationSkip),
              std::tie(a.showUnitHP, a.color32Bit, a.voiceEnable, a.windowMode, a.enableBlur, a.shadowType,
                       a.effectGrade, a.sightGrade, a.textureGrade, a.animationSkip));
    EXPECT_EQ(std::tie(b.screenScroll, b.gammaValue, b.streamVolume, b.sfxVolume, b.blurValue),
              std::tie(a.screenScroll, a.gammaValue, a.streamVolume, a.sfxVolume, a.blurValue));
    EXPECT_EQ(b.keyPath, kOptionsKeyPath);
}

TEST(Options, ApplyAndBlur) {
    RecordingTarget target;
    COptions o;
    o.machineGrade = 2;
    o.SetDefaults();
    o.enableBlur = 1;
    o.blurValue = 2.0f;
    o.Apply(target);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"sight 1", "stream 0.400000", "effect 1.000000", "gamma 1.000000",
                                                      "glow on", "fColor 2.000000"}));
    target.calls.clear();
    o.SetBlur(0.0f, &target);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"glow off"}));

    // With the blur switched off Apply stores 0, which is saved as 0.000 and
    // reads back as the default 1.8.
    target.calls.clear();
    o.enableBlur = 0;
    o.Apply(target);
    EXPECT_EQ(target.calls.size(), 4u);
    EXPECT_EQ(o.blurValue, 0.0f);
    Store s;
    o.keyPath = kOptionsKeyPath;
    o.SaveOptions(*s.registry);
    EXPECT_EQ(s.registry->GetString(kOptionsKeyPath, "Blur_Value").value_or(""), "0.000");
    COptions back;
    back.LoadOptions(kOptionsKeyPath, *s.registry);
    EXPECT_FLOAT_EQ(back.blurValue, 1.8f);
}
