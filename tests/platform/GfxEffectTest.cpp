#include "platform/GfxEffect.h"

#include <gtest/gtest.h>

#include "platform/GfxGlDevice.h"
#include "platform/GfxRecordingDevice.h"
#include "platform/TextureLoader.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/DdsWriter.h"
#include "tools/EffectWriter.h"

using namespace platform;

namespace {

// A screen-space quad shader: positions arrive as Direct3D clip coordinates.
const char* kVertex =
    "layout(location = 0) in vec4 a_position;\n"
    "layout(location = 4) in vec4 a_tex0;\n"
    "uniform mat4 Transform;\n"
    "out vec2 uv;\n"
    "void main() { uv = a_tex0.xy; gl_Position = ToClip(Transform * vec4(a_position.xyz, 1.0)); }\n";
const char* kTinted =
    "in vec2 uv;\nuniform sampler2D NormalTex;\nuniform vec4 Tint;\nuniform float Scale;\nuniform bool Invert;\n"
    "out vec4 o;\n"
    "void main() { vec4 c = texture(NormalTex, uv) * Tint * Scale; o = Invert ? vec4(1.0 - c.rgb, 1.0) : c; }\n";
const char* kFlat = "uniform vec4 Tint;\nout vec4 o;\nvoid main() { o = Tint; }\n";

CEffectWriter TwoTechniques() {
    CEffectWriter w;
    w.Parameter("Transform", EPT_MATRIX)
        .Parameter("Bones", EPT_MATRIX, 4)
        .Parameter("Tint", EPT_VECTOR)
        .Parameter("Scale", EPT_FLOAT)
        .Parameter("Invert", EPT_BOOL)
        .Parameter("NormalTex", EPT_TEXTURE);
    uint32_t vs = w.Shader(0, kVertex);
    uint32_t tinted = w.Shader(1, kTinted);
    uint32_t flat = w.Shader(1, kFlat);
    w.Technique("TINT").Pass("P0", vs, tinted, {{RS_ZENABLE, 0}, {RS_CULLMODE, CULL_NONE}});
    w.Technique("FLAT").Pass("P0", vs, flat).Pass("P1", vs, flat, {{RS_ALPHABLENDENABLE, 1}});
    return w;
}


struct QuadVertex {
    float x, y, z;
    float u, v;
};

}  // namespace

TEST(GfxEffect, FileRoundTripAndUseThroughTheRecordingDevice) {
    CEffectWriter w = TwoTechniques();
    std::vector<uint8_t> bytes = w.Bytes();
    GfxEffectDescription d;
    ASSERT_EQ(ParseEffect(bytes.data(), bytes.size(), &d), GFX_OK);
    ASSERT_EQ(d.parameters.size(), 6u);
    EXPECT_EQ(d.parameters[1].values.size(), 64u);
    EXPECT_EQ(d.shaders[2].source, kFlat);
    ASSERT_EQ(d.techniques.size(), 2u);
    EXPECT_EQ(d.techniques[1].passes[1].renderStates[0], std::make_pair(uint32_t{RS_ALPHABLENDENABLE}, 1u));
    EXPECT_EQ(CEffectWriter::Write(d), bytes);

    CGfxRecordingDevice device;
    CGfxEffect* e = nullptr;
    ASSERT_EQ(CreateEffect(&device, bytes.data(), bytes.size(), &e), GFX_OK);
    EXPECT_EQ(e->GetCurrentTechnique(), "TINT");
    EXPECT_EQ(e->SetTechnique("FLAT"), GFX_OK);
    EXPECT_EQ(e->SetTechnique("NONE"), GFXERR_INVALIDCALL);
    EXPECT_EQ(e->GetCurrentTechnique(), "FLAT");
    Matrix bones[5] = {Matrix::Identity(), MatrixTranslation(1, 2, 3), Matrix::Identity(), Matrix::Identity(),
                       Matrix::Identity()};
    EXPECT_EQ(e->SetMatrixArray("Bones", bones, 4), GFX_OK);
    EXPECT_EQ(e->Description().parameters[1].values[16 + 12], 1.0f);
    EXPECT_EQ(e->SetMatrixArray("Bones", bones, 5), GFXERR_INVALIDCALL);     // more than it holds
    EXPECT_EQ(e->SetVector("Scale", Vec4(1, 2, 3, 4)), GFXERR_INVALIDCALL);  // wrong type
    EXPECT_EQ(e->SetFloat("Missing", 1.0f), GFXERR_INVALIDCALL);
    EXPECT_EQ(e->SetBool("Invert", true), GFX_OK);
    EXPECT_EQ(e->SetTexture("Tint", nullptr), GFXERR_INVALIDCALL);

    uint32_t passes = 0;
    EXPECT_EQ(e->BeginPass(0), GFXERR_INVALIDCALL);  // before Begin
    ASSERT_EQ(e->Begin(&passes, 0), GFX_OK);
    EXPECT_EQ(passes, 2u);
    device.ClearLog();
    ASSERT_EQ(e->BeginPass(1), GFX_OK);
    EXPECT_EQ(e->End(), GFXERR_INVALIDCALL);  // inside a pass
    EXPECT_EQ(e->CommitChanges(), GFX_OK);
    EXPECT_EQ(e->EndPass(), GFX_OK);
    EXPECT_EQ(e->End(), GFX_OK);
    ASSERT_GE(device.Log().size(), 2u);
    EXPECT_EQ(device.Log()[0], "RenderState 27 1");  // the pass's state
    EXPECT_EQ(device.Log()[1], "EffectPass 1 1");
    EXPECT_EQ(e->BeginPass(5), GFXERR_INVALIDCALL);
    GfxRelease(e);
}

TEST(GfxEffect, MalformedFilesFailCleanly) {
    std::vector<uint8_t> good = TwoTechniques().Bytes();
    auto with = [](CEffectWriter w, auto change) {
        GfxEffectDescription d = w.Description();
        change(d);
        return CEffectWriter::Write(d);
    };
    std::vector<uint8_t> badMagic = good;
    badMagic[0] ^= 1;
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"magic", badMagic},
        {"pass names a fragment shader as vertex shader",
         with(TwoTechniques(), [](GfxEffectDescription& d) { d.techniques[0].passes[0].vertexShader = 1; })},
        {"shader index out of range",
         with(TwoTechniques(), [](GfxEffectDescription& d) { d.techniques[1].passes[1].fragmentShader = 9; })},
        {"render state out of range",
         with(TwoTechniques(), [](GfxEffectDescription& d) { d.techniques[0].passes[0].renderStates[0].first = 999; })},
        {"no techniques", with(TwoTechniques(), [](GfxEffectDescription& d) { d.techniques.clear(); })},
        {"duplicate parameter",
         with(TwoTechniques(), [](GfxEffectDescription& d) { d.parameters[1].name = "Transform"; })},
        {"unknown parameter type", with(TwoTechniques(), [](GfxEffectDescription& d) { d.parameters[0].type = 99; })},
        {"texture array", with(TwoTechniques(), [](GfxEffectDescription& d) { d.parameters[5].elements = 2; })},
    };
    for (const auto& c : cases) {
        GfxEffectDescription d;
        EXPECT_EQ(ParseEffect(c.bytes.data(), c.bytes.size(), &d), GFXERR_INVALIDDATA) << c.what;
    }
    // A digest after the effect, as data files carry, is not part of it.
    std::vector<uint8_t> withDigest = good;
    withDigest.insert(withDigest.end(), 16, 0xAB);
    GfxEffectDescription digested;
    EXPECT_EQ(ParseEffect(withDigest.data(), withDigest.size(), &digested), GFX_OK);
    // Every cut of a good file fails without reading past its end.
    for (size_t n = 0; n < good.size(); ++n) {
        GfxEffectDescription d;
        ASSERT_EQ(ParseEffect(good.data(), n, &d), GFXERR_INVALIDDATA) << n;
    }
    // A huge string length is refused before anything is allocated.
    std::vector<uint8_t> huge = {0x51, 0x46, 0x58, 0x31, 1, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F};
    GfxEffectDescription d;
    EXPECT_EQ(ParseEffect(huge.data(), huge.size(), &d), GFXERR_INVALIDDATA);

    CGfxRecordingDevice device;
    CGfxEffect* e = reinterpret_cast<CGfxEffect*>(&d);
    std::string errors;
    EXPECT_EQ(CreateEffect(&device, badMagic.data(), badMagic.size(), &e, &errors), GFXERR_INVALIDDATA);
    EXPECT_EQ(e, nullptr);
    EXPECT_FALSE(errors.empty());
    TempFolder tmp;
    EXPECT_EQ(CreateEffectFromFile(&device, tmp.Path("NONE.FXO"), &e, &errors), GFXERR_NOTFOUND);
}

TEST(GfxEffect, DrawsThroughTheGlDevice) {
    auto device = CreateHeadlessGl(64, false);
    ASSERT_NE(device, nullptr);
    TempFolder tmp;
    CEffectWriter w = TwoTechniques();
    ASSERT_TRUE(CDdsWriter::Write(tmp.Path("ZEMTEST.FXO"), w.Bytes()));
    CGfxEffect* e = nullptr;
    std::string errors;
    ASSERT_EQ(CreateEffectFromFile(device.get(), tmp.Path("zemtest.fxo"), &e, &errors), GFX_OK) << errors;

    std::vector<uint8_t> dds = CDdsWriter::Solid(FMT_A8R8G8B8, 4, 4, 0xFF80FF40u);
    CGfxTexture* tex = nullptr;
    ASSERT_EQ(CreateTextureFromFileInMemoryEx(device.get(), dds.data(), dds.size(), 4, 4, 1, 0, FMT_A8R8G8B8,
                                              POOL_MANAGED, 0, 0, 0, nullptr, &tex),
              GFX_OK);
    // The left half of the screen: clip x -1..0, y -1..1.
    QuadVertex quad[4] = {{-1, 1, 0.5f, 0, 0}, {0, 1, 0.5f, 1, 0}, {-1, -1, 0.5f, 0, 1}, {0, -1, 0.5f, 1, 1}};
    device->SetFVF(FVF_XYZ | FVF_TEX1);
    struct Case {
        const char* what;
        Vec4 tint;
        float scale;
        bool invert;
        uint32_t want;
    } cases[] = {{"texture times tint", Vec4(1, 1, 0, 1), 1.0f, false, 0xFF80FF00u},
                 {"scaled", Vec4(1, 1, 1, 1), 0.5f, false, 0xFF408020u},
                 {"inverted", Vec4(1, 1, 1, 1), 1.0f, true, 0xFF7F00BFu}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        device->Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        ASSERT_EQ(e->SetTechnique("TINT"), GFX_OK);
        e->SetMatrix("Transform", Matrix::Identity());
        e->SetVector("Tint", c.tint);
        e->SetFloat("Scale", c.scale);
        e->SetBool("Invert", c.invert);
        e->SetTexture("NormalTex", tex);
        uint32_t passes = 0;
        e->Begin(&passes, 0);
        e->BeginPass(0);
        ASSERT_EQ(device->DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, quad, sizeof(QuadVertex)), GFX_OK);
        e->EndPass();
        e->End();
        std::vector<uint32_t> px = ReadBackBuffer(*device);
        auto near = [](uint32_t a, uint32_t b) {
            for (int s = 0; s < 24; s += 8)
                if (std::abs(static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF)) > 3) return false;
            return true;
        };
        EXPECT_TRUE(near(px[32 * 64 + 16], c.want)) << std::hex << px[32 * 64 + 16];
        EXPECT_EQ(px[32 * 64 + 48], 0xFF000000u);  // the right half untouched
    }
    // A matrix moves the quad: row-vector translation by +1 in x covers the right half.
    device->Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    e->SetTechnique("FLAT");
    e->SetMatrix("Transform", MatrixTranslation(1, 0, 0));
    e->SetVector("Tint", Vec4(0, 0, 1, 1));
    e->Begin(nullptr, 0);
    e->BeginPass(0);
    device->DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, quad, sizeof(QuadVertex));
    e->EndPass();
    e->End();
    std::vector<uint32_t> px = ReadBackBuffer(*device);
    EXPECT_EQ(px[32 * 64 + 48], 0xFF0000FFu);
    EXPECT_EQ(px[32 * 64 + 16], 0xFF000000u);
    GfxRelease(tex);
    GfxRelease(e);

    // A shader that does not compile fails with the compiler's text.
    CEffectWriter broken;
    broken.Parameter("Tint", EPT_VECTOR);
    uint32_t vs = broken.Shader(0, kVertex);
    uint32_t fs = broken.Shader(1, "out vec4 o; void main() { o = undefined_thing; }\n");
    broken.Technique("T").Pass("P", vs, fs);
    std::vector<uint8_t> bytes = broken.Bytes();
    ASSERT_EQ(CreateEffect(device.get(), bytes.data(), bytes.size(), &e, &errors), GFXERR_INVALIDDATA);
    EXPECT_EQ(e, nullptr);
    EXPECT_NE(errors.find("T/P"), std::string::npos) << errors;
}
