#include "engine/render/DayNightAmbient.h"

#include <gtest/gtest.h>

#include "platform/GfxRecordingDevice.h"

using namespace platform;

TEST(DayNightAmbient, PhasesFadeAndEnd) {
    CDayNightAmbient ambient;
    ambient.Init();
    ambient.SetPhase(10.0f, 0);  // night: starts at set B
    EXPECT_FLOAT_EQ(ambient.current.z, 0.55f);
    EXPECT_NEAR(ambient.rates.x, 0.7f * 0.6666667f, 1e-6f);
    EXPECT_NEAR(ambient.rates.z, 0.15f * 0.6666667f, 1e-6f);

    // Heading for A from B by hand: one step per update while fading is set.
    ambient.towardsA = 1;
    struct Step {
        float dt;
        uint32_t setFading;
        float red, blue;
        uint32_t fadingAfter;
        int result;
    } steps[] = {
        {0.75f, 1, 0.35f, 0.625f, 1, 0},  // half way
        {0.5f, 0, 0.35f, 0.625f, 0, 0},   // no fade asked: nothing moves
        {5.0f, 1, 0.7f, 0.7f, 0, 0},      // overshoots: lands on set A, alpha too
        {4.0f, 0, 0.7f, 0.7f, 0, 1},      // reaches the period
        {1.0f, 1, 0.7f, 0.7f, 1, 0},      // done: nothing changes
    };
    for (const Step& s : steps) {
        ambient.fading = s.setFading;
        EXPECT_EQ(ambient.Update(s.dt), s.result) << s.dt;
        EXPECT_NEAR(ambient.current.x, s.red, 1e-5f) << s.dt;
        EXPECT_NEAR(ambient.current.z, s.blue, 1e-5f) << s.dt;
        EXPECT_EQ(ambient.fading, s.fadingAfter) << s.dt;
    }
    EXPECT_EQ(ambient.current.w, 1.0f);
}

TEST(DayNightAmbient, ApplySendsTheColourWordOnlyWhenItChanges) {
    struct Case {
        float value;
        uint32_t byte;
    } cases[] = {{1.0f, 255}, {1.5f, 255}, {0.5f, 128}, {0.0f, 0}, {-0.2f, 0}, {0.1f, 26}};
    for (const Case& c : cases) EXPECT_EQ(CDayNightAmbient::ChannelByte(c.value), c.byte) << c.value;

    CGfxRecordingDevice device;
    CDayNightAmbient ambient;
    ambient.Init();
    ambient.current = Vec4(1.0f, 0.5f, 0.0f, 1.0f);
    device.ClearLog();
    ambient.Apply(device, nullptr);
    ambient.Apply(device, nullptr);
    EXPECT_EQ(device.Count("RenderState 139 "), 1u);
    uint32_t word = 0;
    device.GetRenderState(RS_AMBIENT, &word);
    EXPECT_EQ(word, 0xFFFF8000u);
}

TEST(Fog, SendsOnlyChangedStates) {
    CGfxRecordingDevice device;
    device.ClearLog();
    SetFog(device, true, 0xFF102030, 100.0f, 900.0f);
    size_t first = device.Log().size();
    EXPECT_EQ(first, 5u);
    SetFog(device, true, 0xFF102030, 100.0f, 900.0f);
    EXPECT_EQ(device.Log().size(), first);
    SetFog(device, true, 0xFF102030, 100.0f, 800.0f);
    EXPECT_EQ(device.Log().size(), first + 1);
    EXPECT_EQ(device.Count("RenderState 37 "), 2u);
    SetFog(device, false, 0, 0, 0);
    EXPECT_EQ(device.Log().size(), first + 2);
    uint32_t value = 1;
    device.GetRenderState(RS_FOGENABLE, &value);
    EXPECT_EQ(value, 0u);
    device.GetRenderState(RS_FOGSTART, &value);
    EXPECT_EQ(value, FloatBits(100.0f));
}

TEST(DirectionalLight, NormalisesTheDirection) {
    GfxLight light;
    light.range = 5;
    MakeDirectionalLight(&light, ColorValue(1, 1, 1, 1), ColorValue(0, 0, 0, 0), ColorValue(0.2f, 0.2f, 0.2f, 1),
                         Vec3(0, -3, 4));
    EXPECT_EQ(light.type, static_cast<uint32_t>(LIGHT_DIRECTIONAL));
    EXPECT_FLOAT_EQ(light.direction.y, -0.6f);
    EXPECT_FLOAT_EQ(light.direction.z, 0.8f);
    EXPECT_EQ(light.range, 0.0f);
    EXPECT_EQ(light.ambient.r, 0.2f);
}
