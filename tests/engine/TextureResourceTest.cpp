#include "engine/resource/TextureResource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/resource/RenderTargetTexture.h"
#include "engine/resource/ResourceManager.h"
#include "platform/File.h"
#include "platform/GfxFormatInfo.h"
#include "platform/GfxRecordingDevice.h"
#include "tests/fixtures/TempFolder.h"
#include "tools/DdsWriter.h"
#include "tools/PackageWriter.h"

using namespace platform;

namespace {

// A picture whose every texel differs, so that a texture made from the wrong
// bytes or the wrong place shows.
std::vector<uint32_t> Gradient(uint32_t w, uint32_t h) {
    std::vector<uint32_t> argb(static_cast<size_t>(w) * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            argb[y * w + x] = 0xFF000000u | (x * 255 / w) << 16 | (y * 255 / h) << 8 | 0x40;
    return argb;
}

std::vector<uint8_t> Level0(const CTextureResource& t) {
    const CGfxTexture* tex = t.Texture();
    if (!tex || !tex->LevelData(0)) return {};
    return std::vector<uint8_t>(tex->LevelData(0), tex->LevelData(0) + tex->LevelSize(0));
}

// The bytes of level 0 as the DDS file holds them.
std::vector<uint8_t> FileLevel0(const std::vector<uint8_t>& dds, uint32_t format, uint32_t w, uint32_t h) {
    size_t header = 128;
    return std::vector<uint8_t>(dds.begin() + header, dds.begin() + header + LevelBytes(format, w, h));
}

// A game folder with loose textures and one package of textures, the
// recording device, and a manager that indexes the folder.
struct TextureFolder {
    TempFolder tmp;
    CErrorReport report;
    CMessageTable messages;
    CGfxRecordingDevice device;
    std::vector<uint8_t> gradient = CDdsWriter::FromArgb(FMT_A8R8G8B8, 16, 8, Gradient(16, 8), 0);
    std::unique_ptr<CResourceManager> rm;

    TextureFolder() {
        messages.SetMsg(MSG_ERROR_FILE_NOT_FOUND, "File not found : %s");
        messages.SetMsg(MSG_ERROR_FILE_NOT_READ, "File not read : %s");
        messages.SetMsg(MSG_ERROR_NOT_DDS_TEXTURE_FILE, "Not a DDS texture : %s");
        tmp.Write("UI/GRADIENT.DDS", gradient);
        tmp.Write("UI/lower.dds", gradient);
        tmp.Write("UI/JUNK.DDS", std::string("this is not an image at all, only words"));
        tmp.Write("UI/SHORT.DDS", std::vector<uint8_t>(gradient.begin(), gradient.begin() + 140));
        CPackageWriter package("TEX.DRP");
        package.Add("PACKED.dds", gradient);
        package.Add("PJUNK.DDS", std::string("garbage inside a package"));
        package.Add("P64.DDS", CDdsWriter::Solid(FMT_DXT5, 64, 64, 0xFF336699u, 0));
        EXPECT_TRUE(package.WritePackage(tmp.path() + "\\DATA"));
        EXPECT_TRUE(CPackageWriter::WriteList(tmp.Path("PACKAGELIST.DRL"), {&package}));
        rm = std::make_unique<CResourceManager>(tmp.path());
        rm->SetDevice(&device);
        EXPECT_TRUE(rm->FileIndex().LoadPackageList("PACKAGELIST.DRL"));
    }

    CTextureResource* Get(const char* name) { return AsTexture(rm->GetResource(name, RES_TEXTURE, nullptr, 1)); }
};

TEST(TextureResource, LooseFilesNeedTheUpperCaseExtensionPackagesDoNot) {
    TextureFolder f;
    CTextureResource* loose = f.Get("GRADIENT.DDS");
    ASSERT_NE(loose, nullptr) << f.report.GetText();
    EXPECT_EQ(loose->Width(), 16u);
    EXPECT_EQ(loose->Height(), 8u);
    EXPECT_EQ(loose->Format(), static_cast<uint32_t>(FMT_A8R8G8B8));
    EXPECT_EQ(loose->Texture()->GetLevelCount(), 5u);
    EXPECT_EQ(loose->State(), 1);
    EXPECT_FALSE(loose->IsPackageEntry());
    EXPECT_EQ(Level0(*loose), FileLevel0(f.gradient, FMT_A8R8G8B8, 16, 8));

    EXPECT_EQ(f.Get("lower.dds"), nullptr);
    EXPECT_EQ(f.report.GetCode(), ERR_RESOURCE_LINK);
    EXPECT_STREQ(f.report.GetText(), "Not a DDS texture : lower.dds");

    // The same bytes under a lower-case name inside a package load, texel for texel.
    CTextureResource* packed = f.Get("PACKED.dds");
    ASSERT_NE(packed, nullptr) << f.report.GetText();
    EXPECT_TRUE(packed->IsPackageEntry());
    EXPECT_EQ(Level0(*packed), Level0(*loose));
    f.rm->ReleaseResource(loose);
    f.rm->ReleaseResource(packed);
}

TEST(TextureResource, BytesThatAreNoImageGive10001) {
    TextureFolder f;
    for (const char* name : {"JUNK.DDS", "SHORT.DDS", "PJUNK.DDS"}) {
        f.report.Set(0, "");
        EXPECT_EQ(f.Get(name), nullptr) << name;
        EXPECT_EQ(f.report.GetCode(), ERR_FILE_NOT_FOUND) << name;
        EXPECT_EQ(f.report.Text(), std::string("File not found : ") + name);
        EXPECT_EQ(f.rm->Cache(RES_TEXTURE)->Count(), 0u);
    }
}

TEST(TextureResource, APackageEntryOutsideItsPackageIsRefusedBeforeReading) {
    TextureFolder f;
    // The package shrinks after its list was read (a broken patch): its
    // entries now reach past the end.
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(f.tmp.path() + "\\DATA\\TEX.DRP", bytes));
    bytes.resize(bytes.size() / 3);
    ASSERT_TRUE(WriteWholeFile(f.tmp.path() + "\\DATA\\TEX.DRP", bytes.data(), bytes.size()));
    EXPECT_EQ(f.Get("P64.DDS"), nullptr);
    EXPECT_EQ(f.report.GetCode(), ERR_DATA);
    EXPECT_STREQ(f.report.GetText(), "File not read : P64.DDS");
}

TEST(TextureResource, APackageThatShrinksBeforeARestoreFailsTheRestore) {
    TextureFolder f;
    CTextureResource* t = f.Get("PACKED.dds");
    ASSERT_NE(t, nullptr);
    f.rm->InvalidateAll();
    ASSERT_TRUE(WriteWholeFile(f.tmp.path() + "\\DATA\\TEX.DRP", "x", 1));
    EXPECT_EQ(f.rm->RestoreAll(), 0);
    EXPECT_EQ(f.report.GetCode(), ERR_DATA);
    EXPECT_STREQ(f.report.GetText(), "File not read : PACKED.dds");
    EXPECT_EQ(t->Texture(), nullptr);
    f.rm->ReleaseResource(t);
}

TEST(TextureResource, TheDivisorShrinksOnlyLargeDxt5LooseFiles) {
    struct Case {
        uint32_t format, width, height, divisor;
        bool packaged;
        uint32_t wantWidth, wantHeight;
    } cases[] = {
        {FMT_DXT5, 64, 64, 2, false, 32, 32},     {FMT_DXT5, 128, 64, 4, false, 32, 16},
        {FMT_DXT5, 64, 64, 1, false, 64, 64},     {FMT_DXT5, 64, 32, 2, false, 64, 32},
        {FMT_DXT5, 32, 64, 2, false, 32, 64},     {FMT_DXT1, 64, 64, 2, false, 64, 64},
        {FMT_A8R8G8B8, 64, 64, 2, false, 64, 64}, {FMT_DXT5, 64, 64, 2, true, 64, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.format << std::dec << " " << c.width << "x" << c.height << " /"
                                        << c.divisor << (c.packaged ? " packaged" : ""));
        TempFolder tmp;
        CErrorReport report;
        CGfxRecordingDevice device;
        std::vector<uint8_t> dds = CDdsWriter::Solid(c.format, c.width, c.height, 0xFF804020u, 0);
        CPackageWriter package("T.DRP");
        if (c.packaged) {
            package.Add("T.DDS", dds);
            ASSERT_TRUE(package.WritePackage(tmp.path()));
            ASSERT_TRUE(CPackageWriter::WriteList(tmp.Path("PACKAGELIST.DRL"), {&package}));
        } else {
            tmp.Write("T.DDS", dds);
        }
        CResourceManager rm(tmp.path());
        rm.SetDevice(&device);
        rm.FileIndex().LoadPackageList("PACKAGELIST.DRL");
        SetTextureDivisor(c.divisor);
        CTextureResource* t = AsTexture(rm.GetResource("T.DDS", RES_TEXTURE, nullptr, 1));
        SetTextureDivisor(1);
        ASSERT_NE(t, nullptr) << report.GetText();
        EXPECT_EQ(t->Width(), c.wantWidth);
        EXPECT_EQ(t->Height(), c.wantHeight);
        EXPECT_EQ(t->Format(), c.format);
        rm.ReleaseResource(t);
    }
}

TEST(TextureResource, ADeviceLossCycleKeepsTheTexels) {
    TextureFolder f;
    CTextureResource* loose = f.Get("GRADIENT.DDS");
    CTextureResource* packed = f.Get("P64.DDS");
    ASSERT_TRUE(loose && packed);
    std::vector<uint8_t> looseTexels = Level0(*loose), packedTexels = Level0(*packed);

    f.rm->InvalidateAll();
    EXPECT_EQ(loose->Texture(), nullptr);
    EXPECT_EQ(loose->State(), 0);
    f.device.LoseDevice();
    f.device.AllowReset();
    GfxPresentParameters params = f.device.GetPresentParameters();
    ASSERT_EQ(f.device.Reset(&params), GFX_OK);
    ASSERT_EQ(f.rm->RestoreAll(), 1) << f.report.GetText();

    EXPECT_EQ(loose->State(), 1);
    EXPECT_EQ(Level0(*loose), looseTexels);
    EXPECT_EQ(Level0(*packed), packedTexels);
    EXPECT_EQ(packed->Width(), 64u);

    // Restoring what is there already does not touch the device.
    f.device.ClearLog();
    EXPECT_EQ(loose->Restore(), 1);
    EXPECT_TRUE(f.device.Log().empty());
    f.rm->ReleaseResource(loose);
    f.rm->ReleaseResource(packed);
}

TEST(TextureResource, SetToStageCallsTheDeviceOnlyForAChange) {
    TextureFolder f;
    CTextureResource* a = f.Get("GRADIENT.DDS");
    CTextureResource* b = f.Get("PACKED.dds");
    ASSERT_TRUE(a && b);
    f.device.ClearLog();
    a->SetToStage(0);
    a->SetToStage(0);
    EXPECT_EQ(f.device.Count("Texture 0"), 1u);
    EXPECT_EQ(f.device.GetTexture(0), a->Texture());
    b->SetToStage(0);
    EXPECT_EQ(f.device.Count("Texture 0"), 2u);
    a->SetToStage(1);
    EXPECT_EQ(f.device.Count("Texture 1"), 1u);

    // A texture without device objects clears the stage once.
    b->Invalidate();
    b->SetToStage(0);
    b->SetToStage(0);
    EXPECT_EQ(f.device.Count("Texture 0 0"), 1u);
    EXPECT_EQ(f.device.GetTexture(0), nullptr);
    f.rm->ReleaseResource(a);
    f.rm->ReleaseResource(b);
}

// A resource filed under the texture type that is not a texture.
class CNotATexture : public CResource {
public:
    CNotATexture() : CResource(RES_TEXTURE) {}
    int Load(const char*, int) override { return 1; }
};

TEST(TextureResource, OnlyTexturesConvert) {
    CGfxRecordingDevice device;
    CTextureResource texture(&device);
    CRenderTargetTexture target(&device);
    CNotATexture other;
    EXPECT_EQ(AsTexture(nullptr), nullptr);
    EXPECT_EQ(AsTexture(&texture), &texture);
    EXPECT_EQ(AsTexture(&target), &target);
    EXPECT_EQ(AsTexture(&other), nullptr);
}

TEST(RenderTargetTexture, DrawsIntoItselfAndPutsThePreviousTargetsBack) {
    // With the device's own depth surface, and without one (null is put back too).
    for (uint32_t autoDepth : {1u, 0u}) {
        SCOPED_TRACE(autoDepth ? "automatic depth surface" : "no depth surface");
        CErrorReport report;
        GfxPresentParameters params;
        params.enableAutoDepthStencil = autoDepth;
        params.autoDepthStencilFormat = FMT_D24S8;
        CGfxRecordingDevice device(params);
        CRenderTargetTexture target(&device);
        ASSERT_EQ(target.Create(128, 64, FMT_A8R8G8B8, FMT_D24S8, 0, 0), 1) << report.GetText();
        EXPECT_EQ(target.Width(), 128u);
        EXPECT_EQ(target.Height(), 64u);
        EXPECT_EQ(target.Format(), static_cast<uint32_t>(FMT_A8R8G8B8));

        CGfxSurface* before = nullptr;
        CGfxSurface* beforeDepth = nullptr;
        ASSERT_EQ(device.GetRenderTarget(0, &before), GFX_OK);
        device.GetDepthStencilSurface(&beforeDepth);
        EXPECT_EQ(beforeDepth != nullptr, autoDepth != 0);

        device.ClearLog();
        ASSERT_EQ(target.BeginRender(0xFF102030u), 1);
        CGfxSurface* during = nullptr;
        CGfxSurface* duringDepth = nullptr;
        device.GetRenderTarget(0, &during);
        device.GetDepthStencilSurface(&duringDepth);
        EXPECT_TRUE(during->SameAs(target.ColorSurface()));
        EXPECT_EQ(duringDepth, target.DepthSurface());
        GfxRelease(during);
        GfxRelease(duringDepth);
        EXPECT_EQ(device.Count("Clear 3 " + std::to_string(0xFF102030u) + " 1.000000 0"), 1u);

        target.EndRender();
        CGfxSurface* after = nullptr;
        CGfxSurface* afterDepth = nullptr;
        device.GetRenderTarget(0, &after);
        device.GetDepthStencilSurface(&afterDepth);
        EXPECT_TRUE(after->SameAs(before));
        EXPECT_EQ(afterDepth, beforeDepth);
        for (CGfxSurface* s : {before, beforeDepth, after, afterDepth}) {
            if (s) s->Release();
        }

        // Once unloaded, nothing of the default pool is held: the device can reset.
        target.Unload();
        EXPECT_EQ(device.HeldDefaultPoolResources(), 0u);
        EXPECT_EQ(target.BeginRender(0), 0);
    }
}

TEST(RenderTargetTexture, CreateReportsWhatItCouldNotMake) {
    struct Case {
        const char* what;
        uint32_t width, color, depth;
    } cases[] = {
        {"no size", 0, FMT_A8R8G8B8, FMT_D24S8},
        {"a block format cannot be a target", 64, FMT_DXT5, FMT_D24S8},
        {"a colour format as depth", 64, FMT_A8R8G8B8, FMT_A8R8G8B8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CErrorReport report;
        CGfxRecordingDevice device;
        CRenderTargetTexture target(&device);
        EXPECT_EQ(target.Create(c.width, 64, c.color, c.depth, 0, 0), 0);
        EXPECT_EQ(report.GetCode(), ERR_DEVICE_CALL);
        EXPECT_NE(report.Text().find("RenderTargetTexture"), std::string::npos) << report.Text();
        EXPECT_EQ(target.Texture(), nullptr);
        EXPECT_EQ(target.ColorSurface(), nullptr);
        EXPECT_EQ(target.DepthSurface(), nullptr);
        EXPECT_EQ(target.State(), 0);
        EXPECT_EQ(device.HeldDefaultPoolResources(), 0u);
    }
}

}  // namespace
