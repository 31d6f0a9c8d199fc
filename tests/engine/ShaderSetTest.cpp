#include "engine/render/ShaderSet.h"

#include <gtest/gtest.h>

#include "engine/render/Material.h"
#include "platform/GfxRecordingDevice.h"
#include "tools/RecordingEffect.h"
#include "tests/fixtures/ResourceFolder.h"

using namespace platform;

TEST(ShaderSet, SwitchedOffLoadsNothingAndIsNotReady) {
    ResourceFolder folder;
    folder.Manager();
    CGfxRecordingDevice device;
    CShaderSet set(&device);
    EXPECT_EQ(g_pShaderSet, &set);
    {
        // As with the other managers, a second set does not take the first one's place.
        CShaderSet second(&device);
        EXPECT_EQ(g_pShaderSet, &set);
    }
    EXPECT_EQ(g_pShaderSet, &set);
    set.SetEffectLoader(RecordingEffectLoader(nullptr));
    EXPECT_EQ(set.LoadShaders(0), 1);
    EXPECT_FALSE(set.IsReady());
    EXPECT_EQ(set.EffectCount(), 0u);
}

TEST(ShaderSet, LoadsBothEffectsFromLooseFilesOrPackagesWithADeclarationEach) {
    for (bool packaged : {false, true}) {
        ResourceFolder folder;
        if (packaged) {
            folder.AddPackaged("ZEMSKIN.FXO", {'F', 'X', '1'});
            folder.AddPackaged("ZEMGAUSS.FXO", {'F', 'X', '2'});
        } else {
            folder.WriteLoose("SHADER\\ZEMSKIN.FXO", {'F', 'X'});
            folder.WriteLoose("SHADER\\ZEMGAUSS.FXO", {'F', 'X'});
        }
        folder.Manager();
        CGfxRecordingDevice device;
        CShaderSet set(&device);
        std::vector<std::string> log;
        set.SetEffectLoader(RecordingEffectLoader(&log));
        ASSERT_EQ(set.LoadShaders(1), 1) << folder.report.Text();
        EXPECT_TRUE(set.IsReady());
        EXPECT_EQ(set.SkinFvf(), 0x280312u);
        ASSERT_EQ(set.EffectCount(), 2u);
        EXPECT_NE(set.FindEffect("ZEMSKIN.FXO")->declaration, nullptr);
        EXPECT_NE(set.FindEffect("ZEMGAUSS.FXO")->declaration, nullptr);
        EXPECT_EQ(set.SkinDeclaration(), set.FindEffect("ZEMSKIN.FXO")->declaration);
        EXPECT_NE(set.GlowEffect(), nullptr);
        EXPECT_EQ(set.FindEffect("zemskin.fxo"), nullptr);  // names match exactly
        // The same name again makes no second entry.
        EXPECT_EQ(set.LoadEffect(0, "ZEMSKIN.FXO"), 1);
        EXPECT_EQ(set.EffectCount(), 2u);

        set.SetViewProjLight(Matrix::Identity(), Matrix::Identity(), Vec4(0, -1, 0, 0));
        set.ResetEffects();
        std::vector<std::string> expect = {"SetMatrix mView", "SetMatrix mProj", "SetVector lightDir", "OnResetDevice",
                                           "OnResetDevice"};
        EXPECT_EQ(log, expect);
    }
}

TEST(ShaderSet, AFailedEffectIsReportedAndNotTakenAsLoadedLater) {
    ResourceFolder folder;
    folder.WriteLoose("ZEMSKIN.FXO", {'N', 'O'});  // the loader refuses it
    folder.Manager();
    CGfxRecordingDevice device;
    CShaderSet set(&device);
    set.SetEffectLoader(RecordingEffectLoader(nullptr));
    EXPECT_EQ(set.LoadShaders(1), 0);
    EXPECT_FALSE(set.IsReady());
    EXPECT_EQ(folder.report.GetCode(), static_cast<uint32_t>(ERR_RESOURCE_LINK));
    EXPECT_EQ(folder.report.Text(), "File not read : ZEMSKIN.FXO");
    ASSERT_EQ(set.EffectCount(), 1u);  // the failed entry stays
    EXPECT_EQ(set.FindEffect("ZEMSKIN.FXO")->effect, nullptr);
    EXPECT_EQ(set.LoadEffect(0, "ZEMSKIN.FXO"), 0);
    EXPECT_EQ(set.LoadSkinEffect(0), 0);

    // Through the device's own effects: the file is no effect.
    CShaderSet real(&device);
    EXPECT_EQ(real.LoadShaders(1), 0);
    EXPECT_FALSE(real.IsReady());
    EXPECT_EQ(folder.report.Text(), "File not read : ZEMSKIN.FXO");
}

TEST(Material, DefaultsAndApplyScalesDiffuseAndAmbientChannels) {
    CGfxRecordingDevice device;
    CMaterial m;
    EXPECT_EQ(m.Get().power, 20.0f);
    EXPECT_EQ(m.Get().emissive.a, 0.0f);
    EXPECT_EQ(m.Get().specular.g, 1.0f);
    m.Get().ambient = ColorValue(0.5f, 0.25f, 1.0f, 0.75f);
    m.Apply(device, 0.5f, 2.0f, 0.1f);
    GfxMaterial applied;
    device.GetMaterial(&applied);
    EXPECT_FLOAT_EQ(applied.diffuse.r, 0.5f);
    EXPECT_FLOAT_EQ(applied.diffuse.g, 2.0f);
    EXPECT_FLOAT_EQ(applied.diffuse.b, 0.1f);
    EXPECT_FLOAT_EQ(applied.ambient.r, 0.25f);
    EXPECT_FLOAT_EQ(applied.ambient.g, 0.5f);
    EXPECT_FLOAT_EQ(applied.ambient.b, 0.1f);
    EXPECT_FLOAT_EQ(applied.ambient.a, 0.75f);
    EXPECT_EQ(m.Get().diffuse.r, 1.0f);  // the material itself is unchanged
    m.Reset();
    EXPECT_EQ(m.Get().ambient.r, 1.0f);
}
