// Names and numbers of the render device: formats, pools, states and their
// values, vertex formats and the small records passed to the device. The
// numbers are those the drawing code and its data files were written against,
// so a state word read from a file or a cache means the same thing here.
#pragma once

#include <cstdint>

#include "platform/Math.h"

namespace platform {

// Result of a device call: 0 is success, failures are negative 32-bit words.
using GfxResult = int32_t;

constexpr GfxResult GfxCode(uint32_t low) { return static_cast<GfxResult>(0x88760000u | low); }
constexpr GfxResult GFX_OK = 0;
constexpr GfxResult GFXERR_WRONGTEXTUREFORMAT = GfxCode(2072);
constexpr GfxResult GFXERR_UNSUPPORTEDCOLOROPERATION = GfxCode(2073);
constexpr GfxResult GFXERR_UNSUPPORTEDCOLORARG = GfxCode(2074);
constexpr GfxResult GFXERR_UNSUPPORTEDALPHAOPERATION = GfxCode(2075);
constexpr GfxResult GFXERR_UNSUPPORTEDALPHAARG = GfxCode(2076);
constexpr GfxResult GFXERR_TOOMANYOPERATIONS = GfxCode(2077);
constexpr GfxResult GFXERR_CONFLICTINGTEXTUREFILTER = GfxCode(2078);
constexpr GfxResult GFXERR_UNSUPPORTEDFACTORVALUE = GfxCode(2079);
constexpr GfxResult GFXERR_CONFLICTINGRENDERSTATE = GfxCode(2081);
constexpr GfxResult GFXERR_UNSUPPORTEDTEXTUREFILTER = GfxCode(2082);
constexpr GfxResult GFXERR_DRIVERINTERNALERROR = GfxCode(2087);
constexpr GfxResult GFXERR_NOTFOUND = GfxCode(2150);
constexpr GfxResult GFXERR_MOREDATA = GfxCode(2151);
constexpr GfxResult GFXERR_DEVICELOST = GfxCode(2152);
constexpr GfxResult GFXERR_DEVICENOTRESET = GfxCode(2153);
constexpr GfxResult GFXERR_NOTAVAILABLE = GfxCode(2154);
constexpr GfxResult GFXERR_OUTOFVIDEOMEMORY = GfxCode(380);
constexpr GfxResult GFXERR_INVALIDDEVICE = GfxCode(2155);
constexpr GfxResult GFXERR_INVALIDCALL = GfxCode(2156);
constexpr GfxResult GFXERR_WASSTILLDRAWING = GfxCode(540);
constexpr GfxResult GFXERR_INVALIDDATA = GfxCode(2905);
constexpr GfxResult GFXERR_OUTOFMEMORY = static_cast<GfxResult>(0x8007000Eu);
constexpr GfxResult GFXERR_FAIL = static_cast<GfxResult>(0x80004005u);
constexpr GfxResult GFXERR_INVALIDARG = static_cast<GfxResult>(0x80070057u);
constexpr bool GfxSucceeded(GfxResult r) { return r >= 0; }
constexpr bool GfxFailed(GfxResult r) { return r < 0; }

constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) | (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}

enum GfxFormat : uint32_t {
    FMT_UNKNOWN = 0,
    FMT_R8G8B8 = 20,
    FMT_A8R8G8B8 = 21,
    FMT_X8R8G8B8 = 22,
    FMT_R5G6B5 = 23,
    FMT_X1R5G5B5 = 24,
    FMT_A1R5G5B5 = 25,
    FMT_A4R4G4B4 = 26,
    FMT_R3G3B2 = 27,
    FMT_A8 = 28,
    FMT_L8 = 50,
    FMT_D24S8 = 75,
    FMT_D24X8 = 77,
    FMT_D16 = 80,
    FMT_INDEX16 = 101,
    FMT_INDEX32 = 102,
    FMT_DXT1 = MakeFourCC('D', 'X', 'T', '1'),
    FMT_DXT3 = MakeFourCC('D', 'X', 'T', '3'),
    FMT_DXT5 = MakeFourCC('D', 'X', 'T', '5'),
};

enum GfxPool : uint32_t { POOL_DEFAULT = 0, POOL_MANAGED = 1, POOL_SYSTEMMEM = 2, POOL_SCRATCH = 3 };

enum GfxUsage : uint32_t {
    USAGE_RENDERTARGET = 0x1,
    USAGE_DEPTHSTENCIL = 0x2,
    USAGE_WRITEONLY = 0x8,
    USAGE_DYNAMIC = 0x200,
};

enum GfxLockFlags : uint32_t {
    LOCK_READONLY = 0x10,
    LOCK_NOSYSLOCK = 0x800,
    LOCK_NOOVERWRITE = 0x1000,
    LOCK_DISCARD = 0x2000,
    LOCK_NO_DIRTY_UPDATE = 0x8000,
};

enum GfxPrimitiveType : uint32_t {
    PT_POINTLIST = 1,
    PT_LINELIST = 2,
    PT_LINESTRIP = 3,
    PT_TRIANGLELIST = 4,
    PT_TRIANGLESTRIP = 5,
    PT_TRIANGLEFAN = 6,
};

enum GfxClearFlags : uint32_t { CLEAR_TARGET = 1, CLEAR_ZBUFFER = 2, CLEAR_STENCIL = 4 };

enum GfxRenderState : uint32_t {
    RS_ZENABLE = 7,
    RS_FILLMODE = 8,
    RS_SHADEMODE = 9,
    RS_ZWRITEENABLE = 14,
    RS_ALPHATESTENABLE = 15,
    RS_LASTPIXEL = 16,
    RS_SRCBLEND = 19,
    RS_DESTBLEND = 20,
    RS_CULLMODE = 22,
    RS_ZFUNC = 23,
    RS_ALPHAREF = 24,
    RS_ALPHAFUNC = 25,
    RS_DITHERENABLE = 26,
    RS_ALPHABLENDENABLE = 27,
    RS_FOGENABLE = 28,
    RS_SPECULARENABLE = 29,
    RS_FOGCOLOR = 34,
    RS_FOGTABLEMODE = 35,
    RS_FOGSTART = 36,
    RS_FOGEND = 37,
    RS_FOGDENSITY = 38,
    RS_RANGEFOGENABLE = 48,
    RS_STENCILENABLE = 52,
    RS_TEXTUREFACTOR = 60,
    RS_CLIPPING = 136,
    RS_LIGHTING = 137,
    RS_AMBIENT = 139,
    RS_FOGVERTEXMODE = 140,
    RS_COLORVERTEX = 141,
    RS_LOCALVIEWER = 142,
    RS_NORMALIZENORMALS = 143,
    RS_DIFFUSEMATERIALSOURCE = 145,
    RS_SPECULARMATERIALSOURCE = 146,
    RS_AMBIENTMATERIALSOURCE = 147,
    RS_EMISSIVEMATERIALSOURCE = 148,
    RS_VERTEXBLEND = 151,
    RS_COLORWRITEENABLE = 168,
    RS_BLENDOP = 171,
    RS_SCISSORTESTENABLE = 174,
    RS_SLOPESCALEDEPTHBIAS = 175,
    RS_DEPTHBIAS = 195,
};
// Render states are numbered below this.
constexpr uint32_t kRenderStateCount = 210;

enum GfxBlend : uint32_t {
    BLEND_ZERO = 1,
    BLEND_ONE = 2,
    BLEND_SRCCOLOR = 3,
    BLEND_INVSRCCOLOR = 4,
    BLEND_SRCALPHA = 5,
    BLEND_INVSRCALPHA = 6,
    BLEND_DESTALPHA = 7,
    BLEND_INVDESTALPHA = 8,
    BLEND_DESTCOLOR = 9,
    BLEND_INVDESTCOLOR = 10,
    BLEND_SRCALPHASAT = 11,
};

enum GfxBlendOp : uint32_t {
    BLENDOP_ADD = 1,
    BLENDOP_SUBTRACT = 2,
    BLENDOP_REVSUBTRACT = 3,
    BLENDOP_MIN = 4,
    BLENDOP_MAX = 5
};

enum GfxCmpFunc : uint32_t {
    CMP_NEVER = 1,
    CMP_LESS = 2,
    CMP_EQUAL = 3,
    CMP_LESSEQUAL = 4,
    CMP_GREATER = 5,
    CMP_NOTEQUAL = 6,
    CMP_GREATEREQUAL = 7,
    CMP_ALWAYS = 8,
};

enum GfxCull : uint32_t { CULL_NONE = 1, CULL_CW = 2, CULL_CCW = 3 };
enum GfxFillMode : uint32_t { FILL_POINT = 1, FILL_WIREFRAME = 2, FILL_SOLID = 3 };
enum GfxFogMode : uint32_t { FOG_NONE = 0, FOG_EXP = 1, FOG_EXP2 = 2, FOG_LINEAR = 3 };
enum GfxZBufferType : uint32_t { ZB_FALSE = 0, ZB_TRUE = 1 };
enum GfxMaterialColorSource : uint32_t { MCS_MATERIAL = 0, MCS_COLOR1 = 1, MCS_COLOR2 = 2 };

enum GfxTextureStageState : uint32_t {
    TSS_COLOROP = 1,
    TSS_COLORARG1 = 2,
    TSS_COLORARG2 = 3,
    TSS_ALPHAOP = 4,
    TSS_ALPHAARG1 = 5,
    TSS_ALPHAARG2 = 6,
    TSS_TEXCOORDINDEX = 11,
    TSS_TEXTURETRANSFORMFLAGS = 24,
    TSS_COLORARG0 = 26,
    TSS_ALPHAARG0 = 27,
    TSS_RESULTARG = 28,
    TSS_CONSTANT = 32,
};
constexpr uint32_t kTextureStageStateCount = 33;
constexpr uint32_t kTextureStageCount = 8;

enum GfxTextureOp : uint32_t {
    TOP_DISABLE = 1,
    TOP_SELECTARG1 = 2,
    TOP_SELECTARG2 = 3,
    TOP_MODULATE = 4,
    TOP_MODULATE2X = 5,
    TOP_MODULATE4X = 6,
    TOP_ADD = 7,
    TOP_ADDSIGNED = 8,
    TOP_ADDSIGNED2X = 9,
    TOP_SUBTRACT = 10,
    TOP_ADDSMOOTH = 11,
    TOP_BLENDDIFFUSEALPHA = 12,
    TOP_BLENDTEXTUREALPHA = 13,
    TOP_BLENDFACTORALPHA = 14,
    TOP_BLENDCURRENTALPHA = 16,
};

enum GfxTextureArg : uint32_t {
    TA_DIFFUSE = 0,
    TA_CURRENT = 1,
    TA_TEXTURE = 2,
    TA_TFACTOR = 3,
    TA_SPECULAR = 4,
    TA_TEMP = 5,
    TA_SELECTMASK = 0xF,
    TA_COMPLEMENT = 0x10,
    TA_ALPHAREPLICATE = 0x20,
};

// Texture coordinate index: the low bits pick a coordinate set, the high word
// generates coordinates instead.
enum GfxTexCoordIndex : uint32_t {
    TCI_PASSTHRU = 0,
    TCI_CAMERASPACENORMAL = 0x10000,
    TCI_CAMERASPACEPOSITION = 0x20000,
    TCI_CAMERASPACEREFLECTIONVECTOR = 0x30000,
};

enum GfxTextureTransformFlags : uint32_t {
    TTFF_DISABLE = 0,
    TTFF_COUNT1 = 1,
    TTFF_COUNT2 = 2,
    TTFF_COUNT3 = 3,
    TTFF_COUNT4 = 4,
    TTFF_PROJECTED = 256,
};

enum GfxSamplerState : uint32_t {
    SAMP_ADDRESSU = 1,
    SAMP_ADDRESSV = 2,
    SAMP_ADDRESSW = 3,
    SAMP_BORDERCOLOR = 4,
    SAMP_MAGFILTER = 5,
    SAMP_MINFILTER = 6,
    SAMP_MIPFILTER = 7,
    SAMP_MIPMAPLODBIAS = 8,
    SAMP_MAXMIPLEVEL = 9,
    SAMP_MAXANISOTROPY = 10,
};
constexpr uint32_t kSamplerStateCount = 14;
constexpr uint32_t kSamplerCount = 8;

enum GfxTextureAddress : uint32_t { TADDRESS_WRAP = 1, TADDRESS_MIRROR = 2, TADDRESS_CLAMP = 3, TADDRESS_BORDER = 4 };
enum GfxTextureFilter : uint32_t { TEXF_NONE = 0, TEXF_POINT = 1, TEXF_LINEAR = 2, TEXF_ANISOTROPIC = 3 };

enum GfxTransformState : uint32_t {
    TS_VIEW = 2,
    TS_PROJECTION = 3,
    TS_TEXTURE0 = 16,
    TS_TEXTURE1 = 17,
    TS_WORLD = 256,
};

// Flexible vertex format bits: which fields a vertex has, in this order.
enum GfxFvf : uint32_t {
    FVF_XYZ = 0x2,
    FVF_XYZRHW = 0x4,
    FVF_XYZB1 = 0x6,
    FVF_XYZB2 = 0x8,
    FVF_XYZB3 = 0xA,
    FVF_XYZB4 = 0xC,
    FVF_XYZB5 = 0xE,
    FVF_POSITION_MASK = 0xE,
    FVF_NORMAL = 0x10,
    FVF_PSIZE = 0x20,
    FVF_DIFFUSE = 0x40,
    FVF_SPECULAR = 0x80,
    FVF_TEXCOUNT_MASK = 0xF00,
    FVF_TEXCOUNT_SHIFT = 8,
    FVF_TEX1 = 0x100,
    FVF_TEX2 = 0x200,
    FVF_TEX3 = 0x300,
    FVF_LASTBETA_UBYTE4 = 0x1000,
};
// Size of texture coordinate set i: two bits at 16 + 2 i (0: 2 floats, 1: 3, 2: 4, 3: 1).
constexpr uint32_t FvfTexCoordSize3(uint32_t set) { return 1u << (16 + set * 2); }
constexpr uint32_t FvfTexCoordSize4(uint32_t set) { return 2u << (16 + set * 2); }
constexpr uint32_t FvfTexCoordSize1(uint32_t set) { return 3u << (16 + set * 2); }

enum GfxDeclType : uint8_t {
    DECLTYPE_FLOAT1 = 0,
    DECLTYPE_FLOAT2 = 1,
    DECLTYPE_FLOAT3 = 2,
    DECLTYPE_FLOAT4 = 3,
    DECLTYPE_D3DCOLOR = 4,
    DECLTYPE_UBYTE4 = 5,
    DECLTYPE_UNUSED = 17,
};

enum GfxDeclUsage : uint8_t {
    DECLUSAGE_POSITION = 0,
    DECLUSAGE_BLENDWEIGHT = 1,
    DECLUSAGE_BLENDINDICES = 2,
    DECLUSAGE_NORMAL = 3,
    DECLUSAGE_PSIZE = 4,
    DECLUSAGE_TEXCOORD = 5,
    DECLUSAGE_POSITIONT = 9,
    DECLUSAGE_COLOR = 10,
};

struct GfxVertexElement {
    uint16_t stream = 0;
    uint16_t offset = 0;
    uint8_t type = DECLTYPE_UNUSED;
    uint8_t method = 0;
    uint8_t usage = 0;
    uint8_t usageIndex = 0;
};

struct GfxRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct GfxLockedRect {
    int32_t pitch = 0;
    void* bits = nullptr;
};

struct GfxMaterial {
    ColorValue diffuse, ambient, specular, emissive;
    float power = 0;
};

enum GfxLightType : uint32_t { LIGHT_POINT = 1, LIGHT_SPOT = 2, LIGHT_DIRECTIONAL = 3 };

struct GfxLight {
    uint32_t type = LIGHT_DIRECTIONAL;
    ColorValue diffuse, specular, ambient;
    Vec3 position, direction;
    float range = 0, falloff = 0, attenuation0 = 0, attenuation1 = 0, attenuation2 = 0, theta = 0, phi = 0;
};

enum GfxSwapEffect : uint32_t { SWAPEFFECT_DISCARD = 1, SWAPEFFECT_FLIP = 2, SWAPEFFECT_COPY = 3 };
constexpr uint32_t PRESENT_INTERVAL_DEFAULT = 0;
constexpr uint32_t PRESENT_INTERVAL_ONE = 1;
constexpr uint32_t PRESENT_INTERVAL_IMMEDIATE = 0x80000000u;
constexpr uint32_t PRESENTFLAG_LOCKABLE_BACKBUFFER = 1;

struct GfxPresentParameters {
    uint32_t backBufferWidth = 0;
    uint32_t backBufferHeight = 0;
    uint32_t backBufferFormat = FMT_UNKNOWN;
    uint32_t backBufferCount = 1;
    uint32_t multiSampleType = 0;
    uint32_t multiSampleQuality = 0;
    uint32_t swapEffect = SWAPEFFECT_DISCARD;
    void* deviceWindow = nullptr;
    uint32_t windowed = 1;
    uint32_t enableAutoDepthStencil = 0;
    uint32_t autoDepthStencilFormat = FMT_UNKNOWN;
    uint32_t flags = 0;
    uint32_t fullScreenRefreshRateInHz = 0;
    uint32_t presentationInterval = PRESENT_INTERVAL_DEFAULT;
};

struct GfxDisplayMode {
    uint32_t width = 0, height = 0, refreshRate = 0, format = FMT_UNKNOWN;
};

constexpr uint32_t DEVCAPS_HWTRANSFORMANDLIGHT = 0x10000;
constexpr uint32_t CREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr uint32_t CREATE_HARDWARE_VERTEXPROCESSING = 0x40;
constexpr uint32_t CREATE_MULTITHREADED = 0x4;

struct GfxCaps {
    uint32_t devCaps = DEVCAPS_HWTRANSFORMANDLIGHT;
    uint32_t maxTextureWidth = 4096;
    uint32_t maxTextureHeight = 4096;
    uint32_t maxSimultaneousTextures = 2;
    uint32_t maxActiveLights = 1;
    uint32_t vertexShaderVersion = 0xFFFE0300;  // 3.0
    uint32_t pixelShaderVersion = 0xFFFF0300;   // 3.0
    uint32_t maxVertexShaderConst = 256;
};

struct GfxAdapterIdentifier {
    char driver[512] = {};
    char description[512] = {};
    char deviceName[32] = {};
    uint32_t vendorId = 0, deviceId = 0, subSysId = 0, revision = 0;
};

struct GfxGammaRamp {
    uint16_t red[256] = {}, green[256] = {}, blue[256] = {};
};

}  // namespace platform
