#include "engine/effects/EffectResource.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "platform/GfxTypes.h"
#include "tests/fixtures/ModelFolder.h"
#include "tools/DdsWriter.h"
#include "tools/EffectFileWriter.h"

namespace {

struct EffectFolder : ModelFolder {
    EffectFolder() { folder.WriteLoose("SPARK.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 4, 4, 0xFFFFFFFFu)); }

    CEffectResource* Load(const EffectFile& file, const std::string& name = "FX.DRE") {
        folder.WriteLoose(name, WriteEffectFile(file));
        CResourceManager& rm = Manager();
        rm.FileIndex().ClearFolders();
        rm.FileIndex().ScanFolder(".");
        auto* fx = static_cast<CEffectResource*>(rm.GetResource(name.c_str(), RES_EFFECT, nullptr, 1));
        if (fx) held.push_back(fx);
        return fx;
    }
};

bool SameLayer(const EffectLayer& a, const EffectLayer& b) {
    // The file fields lie before the resource pointers' copies; compare them one by one.
    auto v3 = [](const platform::Vec3& x, const platform::Vec3& y) { return x.x == y.x && x.y == y.y && x.z == y.z; };
    auto v4 = [](const platform::Vec4& x, const platform::Vec4& y) {
        return x.x == y.x && x.y == y.y && x.z == y.z && x.w == y.w;
    };
    for (int i = 0; i < 4; ++i)
        if (!v3(a.corners[i], b.corners[i]) || !v4(a.colours[i], b.colours[i])) return false;
    const bool linear = a.orbitMode == 0;
    return a.meshFlag == b.meshFlag && v3(a.spawnMin, b.spawnMin) && v3(a.spawnMax, b.spawnMax) &&
           (!linear || (v3(a.directionMin, b.directionMin) && v3(a.directionMax, b.directionMax))) &&
           (linear || a.orbitRadiusGrowth == b.orbitRadiusGrowth) && v3(a.gravity, b.gravity) &&
           a.orbitMode == b.orbitMode && a.localSpace == b.localSpace && a.keepUpright == b.keepUpright &&
           a.startDelay == b.startDelay && a.emissionDuration == b.emissionDuration &&
           a.particleLife == b.particleLife && a.emissionInterval == b.emissionInterval && a.speedMin == b.speedMin &&
           a.speedMax == b.speedMax && a.acceleration == b.acceleration && a.twoSided == b.twoSided &&
           a.sizeMin == b.sizeMin && a.sizeMax == b.sizeMax && a.sizeGrowth == b.sizeGrowth &&
           a.sizePeriod == b.sizePeriod && a.sizeLoop == b.sizeLoop && a.peakAlpha == b.peakAlpha &&
           a.fadeInRate == b.fadeInRate && a.fadeOutRate == b.fadeOutRate && a.fadeInEnd == b.fadeInEnd &&
           a.fadeOutStart == b.fadeOutStart && a.sourceBlend == b.sourceBlend && a.destBlend == b.destBlend &&
           a.sheetColumns == b.sheetColumns && a.sheetRows == b.sheetRows && a.sheetFps == b.sheetFps &&
           a.sheetLoop == b.sheetLoop && a.billboard == b.billboard && v3(a.rotationSpeed, b.rotationSpeed) &&
           v3(a.scaledSpawnMin, a.spawnMin) && a.scaledSizeGrowth == a.sizeGrowth && a.scaledSpeedMax == a.speedMax;
}

TEST(EffectResource, FourLayerShapesRoundTripWithTheirResources) {
    EffectFolder f;
    EffectFile file = MakeEffectFile({BillboardLayer("SPARK.DDS"), MeshLayer("BODY.DRM", "WALK.DRA"),
                                      OrbitLayer("SPARK.DDS"), LinearLayer("")});
    file.effectType = 3;
    file.headerA = 7.5f;
    file.boundsMin = {-1, -2, -3};
    file.options[2] = {0, 1};  // shorter than the layers: the rest is off
    f.shaders.SetUseSkin(true);
    CEffectResource* fx = f.Load(file);
    ASSERT_NE(fx, nullptr) << ErrorReport().Text();
    ASSERT_EQ(fx->Layers().size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(SameLayer(*fx->Layers()[i], file.layers[i].values)) << i;
    EXPECT_NE(fx->Layers()[0]->texture, nullptr);
    EXPECT_NE(fx->Layers()[1]->mesh, nullptr);
    EXPECT_NE(fx->Layers()[1]->animation, nullptr);
    EXPECT_EQ(fx->Layers()[3]->texture, nullptr);  // an empty texture name is no error
    EXPECT_EQ(fx->EffectType(), 3u);
    EXPECT_EQ(fx->HeaderValueA(), 7.5f);
    EXPECT_EQ(fx->BoundsMin().y, -2.0f);
    EXPECT_EQ(fx->InfiniteEmission(), 1u);  // the orbit layer emits for ever
    EXPECT_TRUE(fx->LayerRuns(0, 3));
    EXPECT_FALSE(fx->LayerRuns(2, 0));
    EXPECT_TRUE(fx->LayerRuns(2, 1));
    EXPECT_FALSE(fx->LayerRuns(2, 3));
    EXPECT_TRUE(f.shaders.UseSkin());  // restored after the mesh
}

TEST(EffectResource, NoLayersLoadsAndDurationZeroAloneIsEndless) {
    EffectFolder f;
    CEffectResource* none = f.Load(MakeEffectFile({}), "NONE.DRE");
    ASSERT_NE(none, nullptr) << ErrorReport().Text();
    EXPECT_TRUE(none->Layers().empty());
    EXPECT_EQ(none->InfiniteEmission(), 0u);

    EffectFileLayer almost = BillboardLayer("");
    almost.values.emissionDuration = 0.0001f;
    CEffectResource* finite = f.Load(MakeEffectFile({almost}), "FINITE.DRE");
    ASSERT_NE(finite, nullptr);
    EXPECT_EQ(finite->InfiniteEmission(), 0u);
    almost.values.emissionDuration = 0.0f;
    CEffectResource* endless = f.Load(MakeEffectFile({almost}), "ENDLESS.DRE");
    ASSERT_NE(endless, nullptr);
    EXPECT_EQ(endless->InfiniteEmission(), 1u);
}

TEST(EffectResource, RefusedHeaders) {
    struct Case {
        const char* name;
        void (*change)(EffectFile&);
        uint32_t code;
        const char* text;
    };
    const Case cases[] = {
        {"VER.DRE",
         [](EffectFile& e) {
             uint32_t bits;
             std::memcpy(&bits, &e.version, 4);
             bits ^= 1;
             std::memcpy(&e.version, &bits, 4);
         },
         ERR_FILE_VERSION, "VER.DRE"},
        {"OPT1.DRE", [](EffectFile& e) { e.options[1] = {0}; }, ERR_DATA,
         "효과 옵션[1]의 선택레이어가 없습니다.\n[OPT1.DRE]"},
        {"OPT0.DRE", [](EffectFile& e) { e.options[0].clear(); }, ERR_DATA,
         "효과 옵션[0]의 선택레이어가 없습니다.\n[OPT0.DRE]"},
    };
    for (const Case& c : cases) {
        EffectFolder f;
        EffectFile file = MakeEffectFile({BillboardLayer("")});
        c.change(file);
        EXPECT_EQ(f.Load(file, c.name), nullptr) << c.name;
        EXPECT_EQ(ErrorReport().GetCode(), c.code) << c.name;
        EXPECT_NE(ErrorReport().Text().find(c.text), std::string::npos) << ErrorReport().Text();
    }
}

TEST(EffectResource, MissingMeshChainsItsTextAndRestoresSkinning) {
    EffectFolder f;
    f.Manager();
    f.shaders.SetUseSkin(true);
    EXPECT_EQ(f.Load(MakeEffectFile({BillboardLayer("SPARK.DDS"), MeshLayer("NOPE.DRM")}), "BAD.DRE"), nullptr);
    EXPECT_NE(ErrorReport().Text().find("\n<- BAD.DRE"), std::string::npos) << ErrorReport().Text();
    EXPECT_TRUE(f.shaders.UseSkin());
    EXPECT_EQ(f.Load(MakeEffectFile({MeshLayer("")}), "EMPTYMESH.DRE"), nullptr);

    // The layers read before the failing one stay until the resource unloads.
    const std::vector<uint8_t> bytes =
        WriteEffectFile(MakeEffectFile({BillboardLayer("SPARK.DDS"), MeshLayer("NOPE.DRM", "WALK.DRA")}));
    CFileStream s;
    s.OpenMemory(std::vector<uint8_t>(bytes.begin() + 4, bytes.end()), "KEEP.DRE");
    CEffectResource fx;
    EXPECT_EQ(fx.LoadBody(s), 0);
    ASSERT_EQ(fx.Layers().size(), 1u);
    EXPECT_NE(fx.Layers()[0]->texture, nullptr);
    EXPECT_EQ(f.Manager().Cache(RES_ANIMATION)->Find("WALK.DRA"), nullptr);  // the failed layer's animation went back
    fx.Unload();
    EXPECT_TRUE(fx.Layers().empty());
    EXPECT_EQ(f.Manager().Cache(RES_TEXTURE)->Find("SPARK.DDS"), nullptr);
}

TEST(EffectResource, EveryCutOfAFileFailsCleanly) {
    EffectFolder f;
    f.Manager();
    const std::vector<uint8_t> bytes =
        WriteEffectFile(MakeEffectFile({BillboardLayer("SPARK.DDS"), OrbitLayer(""), MeshLayer("BODY.DRM")}));
    for (size_t n = 0; n < bytes.size(); n += 3) {
        CFileStream s;
        s.OpenMemory(std::vector<uint8_t>(bytes.begin() + 4, bytes.begin() + static_cast<long>(n > 4 ? n : 4)), "CUT");
        CEffectResource fx;
        EXPECT_EQ(fx.LoadBody(s), 0) << n;
        EXPECT_EQ(ErrorReport().GetCode(), ERR_DATA) << n;
    }
}

}  // namespace
