#include "platform/GfxRecordingDevice.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/GfxFormatInfo.h"

using namespace platform;

namespace {
GfxPresentParameters Params(uint32_t w = 64, uint32_t h = 32) {
    GfxPresentParameters p;
    p.backBufferWidth = w;
    p.backBufferHeight = h;
    p.enableAutoDepthStencil = 1;
    p.autoDepthStencilFormat = FMT_D24S8;
    p.presentationInterval = PRESENT_INTERVAL_IMMEDIATE;
    return p;
}
}  // namespace

TEST(GfxFormatInfo, VertexFormatsTheClientUses) {
    struct Case {
        uint32_t fvf, size, elements;
    } cases[] = {{0x2, 12, 1},   {0x12, 24, 2},  {0x42, 16, 2},     {0x112, 32, 3},
                 {0x142, 24, 3}, {0x144, 28, 3}, {0x280312, 64, 5}, {FVF_XYZB4 | FVF_LASTBETA_UBYTE4 | 0x110, 48, 5}};
    for (const auto& c : cases) {
        std::vector<GfxVertexElement> e;
        ASSERT_TRUE(DeclarationFromFvf(c.fvf, &e)) << std::hex << c.fvf;
        EXPECT_EQ(FvfVertexSize(c.fvf), c.size) << std::hex << c.fvf;
        EXPECT_EQ(e.size(), c.elements) << std::hex << c.fvf;
    }
    std::vector<GfxVertexElement> skin;
    DeclarationFromFvf(0x280312, &skin);
    EXPECT_EQ(skin[3].usage, DECLUSAGE_TEXCOORD);
    EXPECT_EQ(skin[3].usageIndex, 1);
    EXPECT_EQ(skin[3].type, DECLTYPE_FLOAT4);
    EXPECT_EQ(skin[4].offset, 48);
    EXPECT_EQ(FvfVertexSize(0x40), 0u);  // no position

    EXPECT_EQ(LevelBytes(FMT_DXT1, 5, 5), 4u * 8);
    EXPECT_EQ(LevelBytes(FMT_DXT5, 1, 1), 16u);
    EXPECT_EQ(LevelBytes(FMT_A4R4G4B4, 3, 2), 12u);
    EXPECT_EQ(FullMipCount(64, 16), 7u);
    EXPECT_EQ(FormatColorBits(FMT_X8R8G8B8), 32u);
    EXPECT_EQ(FormatColorBits(FMT_R5G6B5), 16u);
}

TEST(GfxRecordingDevice, ResetIsRefusedWhileDefaultPoolResourcesAreHeld) {
    CGfxRecordingDevice device(Params());
    CGfxTexture* target = nullptr;
    CGfxTexture* managed = nullptr;
    CGfxSurface* depth = nullptr;
    ASSERT_EQ(device.CreateTexture(32, 32, 1, USAGE_RENDERTARGET, FMT_A8R8G8B8, POOL_DEFAULT, &target), GFX_OK);
    ASSERT_EQ(device.CreateTexture(8, 8, 0, 0, FMT_A8R8G8B8, POOL_MANAGED, &managed), GFX_OK);
    ASSERT_EQ(device.CreateDepthStencilSurface(32, 32, FMT_D16, 0, 0, false, &depth), GFX_OK);
    EXPECT_EQ(managed->GetLevelCount(), 4u);
    EXPECT_EQ(device.HeldDefaultPoolResources(), 2u);

    GfxLockedRect lr;
    ASSERT_EQ(managed->LockRect(0, &lr, nullptr, 0), GFX_OK);
    std::memset(lr.bits, 0xAB, static_cast<size_t>(lr.pitch) * 8);
    ASSERT_EQ(managed->UnlockRect(0), GFX_OK);

    device.LoseDevice();
    EXPECT_EQ(device.TestCooperativeLevel(), GFXERR_DEVICELOST);
    EXPECT_EQ(device.Present(), GFXERR_DEVICELOST);
    // Drawing while lost is silently dropped, as on the original device.
    EXPECT_EQ(device.Clear(0, nullptr, CLEAR_TARGET, 0, 1, 0), GFX_OK);
    GfxPresentParameters p = Params();
    EXPECT_EQ(device.Reset(&p), GFXERR_DEVICELOST);
    device.AllowReset();
    EXPECT_EQ(device.TestCooperativeLevel(), GFXERR_DEVICENOTRESET);
    EXPECT_EQ(device.Reset(&p), GFXERR_INVALIDCALL);

    // A bound render target keeps only a device reference: releasing the caller's one unblocks the reset.
    CGfxSurface* level = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &level), GFX_OK);
    ASSERT_EQ(device.SetRenderTarget(0, level), GFX_OK);
    GfxRelease(level);
    GfxRelease(target);
    EXPECT_EQ(device.Reset(&p), GFXERR_INVALIDCALL);  // the depth surface is still held
    GfxRelease(depth);
    CGfxSurface* back = nullptr;
    ASSERT_EQ(device.GetBackBuffer(0, 0, &back), GFX_OK);
    EXPECT_EQ(device.Reset(&p), GFXERR_INVALIDCALL);  // so is a reference to the back buffer
    GfxRelease(back);
    EXPECT_EQ(device.HeldDefaultPoolResources(), 0u);

    device.FailNextResets(1);
    EXPECT_EQ(device.Reset(&p), GFXERR_DEVICELOST);
    EXPECT_EQ(device.TestCooperativeLevel(), GFXERR_DEVICENOTRESET);
    EXPECT_EQ(device.Reset(&p), GFX_OK);
    EXPECT_EQ(device.TestCooperativeLevel(), GFX_OK);
    EXPECT_EQ(device.Present(), GFX_OK);

    // The managed texture survived with its pixels.
    ASSERT_EQ(managed->LockRect(0, &lr, nullptr, LOCK_READONLY), GFX_OK);
    EXPECT_EQ(static_cast<uint8_t*>(lr.bits)[lr.pitch * 7 + 31], 0xAB);
    managed->UnlockRect(0);
    GfxRelease(managed);
}

TEST(GfxRecordingDevice, ResetRestoresDefaultStatesAndTheBackBufferTarget) {
    CGfxRecordingDevice device(Params());
    uint32_t v = 0;
    struct Default {
        uint32_t state, value;
    } defaults[] = {{RS_ZENABLE, 1},
                    {RS_ZWRITEENABLE, 1},
                    {RS_CULLMODE, CULL_CCW},
                    {RS_ZFUNC, CMP_LESSEQUAL},
                    {RS_ALPHAFUNC, CMP_ALWAYS},
                    {RS_LIGHTING, 1},
                    {RS_SRCBLEND, BLEND_ONE},
                    {RS_DESTBLEND, BLEND_ZERO},
                    {RS_TEXTUREFACTOR, 0xFFFFFFFFu},
                    {RS_FOGEND, FloatBits(1.0f)}};
    for (const auto& d : defaults) {
        device.SetRenderState(d.state, 12345);
    }
    device.SetTextureStageState(1, TSS_COLOROP, TOP_MODULATE);
    device.SetSamplerState(0, SAMP_MINFILTER, TEXF_LINEAR);
    CGfxTexture* target = nullptr;
    device.CreateTexture(16, 16, 1, USAGE_RENDERTARGET, FMT_X8R8G8B8, POOL_DEFAULT, &target);
    CGfxSurface* level = nullptr;
    target->GetSurfaceLevel(0, &level);
    device.SetRenderTarget(0, level);
    Viewport vp;
    device.GetViewport(&vp);
    EXPECT_EQ(vp.width, 16u);
    GfxRelease(level);
    GfxRelease(target);

    GfxPresentParameters p = Params(128, 96);
    ASSERT_EQ(device.Reset(&p), GFX_OK);
    for (const auto& d : defaults) {
        device.GetRenderState(d.state, &v);
        EXPECT_EQ(v, d.value) << "state " << d.state;
    }
    device.GetTextureStageState(1, TSS_COLOROP, &v);
    EXPECT_EQ(v, TOP_DISABLE);
    device.GetTextureStageState(0, TSS_ALPHAOP, &v);
    EXPECT_EQ(v, TOP_SELECTARG1);
    device.GetTextureStageState(1, TSS_TEXCOORDINDEX, &v);
    EXPECT_EQ(v, 1u);
    device.GetSamplerState(0, SAMP_MINFILTER, &v);
    EXPECT_EQ(v, TEXF_POINT);
    CGfxSurface* rt = nullptr;
    CGfxSurface* back = nullptr;
    device.GetRenderTarget(0, &rt);
    device.GetBackBuffer(0, 0, &back);
    EXPECT_EQ(rt, back);
    EXPECT_EQ(back->GetWidth(), 128u);
    device.GetViewport(&vp);
    EXPECT_EQ(vp.width, 128u);
    EXPECT_EQ(vp.height, 96u);
    GfxRelease(rt);
    GfxRelease(back);
}

TEST(GfxRecordingDevice, LocksCheckTheirRanges) {
    CGfxRecordingDevice device(Params());
    CGfxTexture* dxt = nullptr;
    ASSERT_EQ(device.CreateTexture(16, 8, 1, 0, FMT_DXT5, POOL_MANAGED, &dxt), GFX_OK);
    GfxLockedRect lr;
    GfxRect inside{4, 4, 8, 8}, unaligned{2, 0, 8, 4}, outside{0, 0, 20, 4};
    ASSERT_EQ(dxt->LockRect(0, &lr, &inside, 0), GFX_OK);
    EXPECT_EQ(lr.pitch, 64);
    EXPECT_EQ(dxt->LockRect(0, &lr, nullptr, 0), GFXERR_INVALIDCALL);  // already locked
    EXPECT_EQ(dxt->UnlockRect(0), GFX_OK);
    EXPECT_EQ(dxt->UnlockRect(0), GFXERR_INVALIDCALL);
    EXPECT_EQ(dxt->LockRect(0, &lr, &unaligned, 0), GFXERR_INVALIDCALL);
    EXPECT_EQ(dxt->LockRect(0, &lr, &outside, 0), GFXERR_INVALIDCALL);
    EXPECT_EQ(dxt->LockRect(1, &lr, nullptr, 0), GFXERR_INVALIDCALL);
    uint32_t before = dxt->GetVersion();
    dxt->AddDirtyRect(nullptr);
    EXPECT_NE(dxt->GetVersion(), before);
    GfxRelease(dxt);

    CGfxTexture* target = nullptr;
    ASSERT_EQ(device.CreateTexture(16, 16, 1, USAGE_RENDERTARGET, FMT_A8R8G8B8, POOL_DEFAULT, &target), GFX_OK);
    EXPECT_EQ(target->LockRect(0, &lr, nullptr, 0), GFXERR_INVALIDCALL);
    GfxRelease(target);
    CGfxTexture* bad = nullptr;
    EXPECT_EQ(device.CreateTexture(16, 16, 1, USAGE_RENDERTARGET, FMT_A8R8G8B8, POOL_MANAGED, &bad),
              GFXERR_INVALIDCALL);
    EXPECT_EQ(device.CreateTexture(0, 16, 1, 0, FMT_A8R8G8B8, POOL_MANAGED, &bad), GFXERR_INVALIDCALL);
    EXPECT_EQ(device.CreateTexture(16, 16, 1, 0, FMT_D16, POOL_MANAGED, &bad), GFXERR_INVALIDCALL);
    EXPECT_EQ(bad, nullptr);

    CGfxVertexBuffer* vb = nullptr;
    ASSERT_EQ(device.CreateVertexBuffer(28 * 4, 0, 0x144, POOL_MANAGED, &vb), GFX_OK);
    void* p = nullptr;
    EXPECT_EQ(vb->Lock(28, 28 * 3, &p, 0), GFX_OK);
    EXPECT_EQ(vb->Lock(0, 0, &p, 0), GFXERR_INVALIDCALL);
    EXPECT_EQ(vb->Unlock(), GFX_OK);
    EXPECT_EQ(vb->Lock(28, 28 * 4, &p, 0), GFXERR_INVALIDCALL);
    EXPECT_EQ(vb->Lock(0xFFFFFFF0u, 0x20, &p, 0), GFXERR_INVALIDCALL);
    GfxRelease(vb);
}

TEST(GfxRecordingDevice, DrawsAreCheckedAndLogged) {
    CGfxRecordingDevice device(Params());
    CGfxVertexBuffer* vb = nullptr;
    CGfxIndexBuffer* ib = nullptr;
    ASSERT_EQ(device.CreateVertexBuffer(32 * 4, 0, 0x112, POOL_MANAGED, &vb), GFX_OK);
    ASSERT_EQ(device.CreateIndexBuffer(6 * 2, 0, FMT_INDEX16, POOL_MANAGED, &ib), GFX_OK);
    EXPECT_EQ(device.DrawPrimitive(PT_TRIANGLELIST, 0, 1), GFXERR_INVALIDCALL);  // no stream
    device.SetStreamSource(0, vb, 0, 32);
    EXPECT_EQ(device.DrawPrimitive(PT_TRIANGLELIST, 0, 1), GFXERR_INVALIDCALL);  // no vertex format
    device.SetFVF(0x112);
    device.SetIndices(ib);
    device.ClearLog();
    struct Case {
        uint32_t type, start, prims;
        GfxResult want;
    } plain[] = {{PT_TRIANGLELIST, 0, 1, GFX_OK},
                 {PT_TRIANGLELIST, 1, 1, GFX_OK},
                 {PT_TRIANGLELIST, 2, 1, GFXERR_INVALIDCALL},
                 {PT_TRIANGLESTRIP, 0, 2, GFX_OK},
                 {PT_TRIANGLEFAN, 0, 3, GFXERR_INVALIDCALL},
                 {PT_LINESTRIP, 0, 3, GFX_OK},
                 {PT_LINELIST, 0, 2, GFX_OK},
                 {PT_LINELIST, 0, 0, GFXERR_INVALIDCALL},
                 {99, 0, 1, GFXERR_INVALIDCALL}};
    for (const auto& c : plain)
        EXPECT_EQ(device.DrawPrimitive(c.type, c.start, c.prims), c.want) << c.type << " " << c.start << " " << c.prims;
    EXPECT_EQ(device.DrawIndexedPrimitive(PT_TRIANGLELIST, 0, 0, 4, 0, 2), GFX_OK);
    EXPECT_EQ(device.DrawIndexedPrimitive(PT_TRIANGLELIST, 0, 0, 4, 1, 2), GFXERR_INVALIDCALL);  // past the indices
    EXPECT_EQ(device.DrawIndexedPrimitive(PT_TRIANGLELIST, 1, 0, 4, 0, 2), GFXERR_INVALIDCALL);  // past the vertices
    void* p = nullptr;
    // An index that points past the vertex buffer is refused, with or without a base vertex.
    const uint16_t farIndices[6] = {0, 1, 2, 2, 1, 4};
    ASSERT_EQ(ib->Lock(0, 0, &p, 0), GFX_OK);
    std::memcpy(p, farIndices, sizeof(farIndices));
    ib->Unlock();
    EXPECT_EQ(device.DrawIndexedPrimitive(PT_TRIANGLELIST, 0, 0, 4, 0, 2), GFXERR_INVALIDCALL);
    EXPECT_EQ(device.DrawIndexedPrimitive(PT_TRIANGLELIST, 0, 0, 4, 0, 1), GFX_OK);
    EXPECT_EQ(device.DrawIndexedPrimitive(PT_TRIANGLELIST, 2, 0, 2, 0, 1), GFXERR_INVALIDCALL);
    vb->Lock(0, 0, &p, 0);
    EXPECT_EQ(device.DrawPrimitive(PT_TRIANGLELIST, 0, 1), GFXERR_INVALIDCALL);  // locked
    vb->Unlock();
    EXPECT_EQ(device.DrawCount(), 7u);

    float quad[4 * 7] = {};
    device.SetFVF(0x144);
    EXPECT_EQ(device.DrawPrimitiveUP(PT_TRIANGLESTRIP, 2, quad, 28), GFX_OK);
    EXPECT_EQ(device.Log().back(), "Draw 5 prims 2 up stride 28 fvf 324");
    // Drawing from memory leaves stream 0 unbound.
    EXPECT_EQ(device.DrawPrimitive(PT_TRIANGLELIST, 0, 1), GFXERR_INVALIDCALL);
    uint16_t idx[3] = {0, 1, 2};
    EXPECT_EQ(device.DrawIndexedPrimitiveUP(PT_TRIANGLELIST, 0, 3, 1, idx, FMT_INDEX16, quad, 28), GFX_OK);
    EXPECT_EQ(device.DrawIndexedPrimitiveUP(PT_TRIANGLELIST, 0, 2, 1, idx, FMT_INDEX16, quad, 28), GFXERR_INVALIDCALL);

    device.ClearLog();
    device.SetRenderState(RS_ALPHABLENDENABLE, 1);
    device.SetTextureStageState(0, TSS_ALPHAOP, TOP_MODULATE);
    device.SetSamplerState(1, SAMP_ADDRESSU, TADDRESS_CLAMP);
    ASSERT_EQ(device.Log().size(), 3u);
    EXPECT_EQ(device.Log()[0], "RenderState 27 1");
    EXPECT_EQ(device.Log()[1], "StageState 0 4 4");
    EXPECT_EQ(device.Log()[2], "Sampler 1 1 3");
    EXPECT_EQ(device.SetRenderState(kRenderStateCount, 1), GFXERR_INVALIDCALL);
    EXPECT_EQ(device.SetTextureStageState(8, TSS_COLOROP, 1), GFXERR_INVALIDCALL);

    // The device's references keep bound resources alive after the caller lets go.
    device.SetStreamSource(0, vb, 0, 32);
    GfxRelease(vb);
    GfxRelease(ib);
    device.SetFVF(0x112);
    EXPECT_EQ(device.DrawPrimitive(PT_TRIANGLELIST, 0, 1), GFX_OK);
}

TEST(GfxRecordingDevice, ClearFillsTheBackBufferWithinTheViewport) {
    CGfxRecordingDevice device(Params(8, 4));
    device.Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF112233u, 1.0f, 0);
    Viewport vp{4, 0, 4, 4, 0, 1};
    ASSERT_EQ(device.SetViewport(&vp), GFX_OK);
    GfxRect r{0, 2, 8, 3};
    device.Clear(1, &r, CLEAR_TARGET, 0xFFFF0000u, 1.0f, 0);
    CGfxSurface* back = nullptr;
    device.GetBackBuffer(0, 0, &back);
    std::vector<uint32_t> px;
    ASSERT_EQ(device.ReadSurface(back, &px), GFX_OK);
    ASSERT_EQ(px.size(), 32u);
    EXPECT_EQ(px[2 * 8 + 3], 0xFF112233u);
    EXPECT_EQ(px[2 * 8 + 4], 0xFFFF0000u);
    EXPECT_EQ(px[1 * 8 + 4], 0xFF112233u);
    Viewport tooWide{4, 0, 5, 4, 0, 1};
    EXPECT_EQ(device.SetViewport(&tooWide), GFXERR_INVALIDCALL);
    GfxRelease(back);
}
