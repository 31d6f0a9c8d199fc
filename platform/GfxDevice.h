// The render device: the interface every drawing call of the client goes
// through, shaped like the Direct3D 9 device the drawing code was written
// for. This base class keeps the state (render, stage and sampler states,
// transforms, material, light, bound textures and streams, targets), checks
// arguments, creates the memory side of resources and runs the device-loss
// cycle; an implementation draws (CGfxGlDevice) or records (CGfxRecordingDevice).
//
// Device loss: LoseDevice() puts the device into the lost state (what a
// minimised full-screen window or a driver reset does); AllowReset() moves it
// to "not reset". Reset succeeds only then or while the device is fine, and
// only when callers hold no default-pool resource; a successful reset sets
// every state back to its default and keeps managed resources.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <string>

#include "platform/GfxBuffer.h"
#include "platform/GfxSurface.h"
#include "platform/GfxTexture.h"
#include "platform/GfxTypes.h"

namespace platform {

class CGfxEffect;

inline uint32_t FloatBits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}
inline float BitsFloat(uint32_t u) {
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

// Everything the drawing state consists of.
struct GfxState {
    std::array<uint32_t, kRenderStateCount> render{};
    std::array<std::array<uint32_t, kTextureStageStateCount>, kTextureStageCount> stage{};
    std::array<std::array<uint32_t, kSamplerStateCount>, kSamplerCount> sampler{};
    Matrix world, view, projection;
    std::array<Matrix, kTextureStageCount> texture;
    GfxMaterial material;
    GfxLight light;
    bool lightEnabled = false;
    Viewport viewport;
    uint32_t fvf = 0;
};

// One draw, after the device checked it. Either from the bound streams
// (vertices and indices null) or from caller memory.
struct GfxDrawCall {
    uint32_t type = PT_TRIANGLELIST;
    uint32_t primitiveCount = 0;
    uint32_t vertexCount = 0;  // vertices read (non-indexed) or the index count (indexed)
    bool indexed = false;
    uint32_t startVertex = 0;  // non-indexed first vertex
    int32_t baseVertex = 0;    // indexed: added to every index
    uint32_t minIndex = 0, numVertices = 0, startIndex = 0;
    const void* vertices = nullptr;
    uint32_t stride = 0;
    const void* indices = nullptr;
    uint32_t indexFormat = FMT_INDEX16;
};

// Number of vertices (or indices) that primitiveCount primitives of a type use; 0 for an unknown type.
uint32_t PrimitiveVertexCount(uint32_t type, uint32_t primitiveCount);

class CGfxDevice {
public:
    virtual ~CGfxDevice();
    CGfxDevice(const CGfxDevice&) = delete;
    CGfxDevice& operator=(const CGfxDevice&) = delete;

    // Loss and reset.
    GfxResult TestCooperativeLevel() const;
    GfxResult Reset(GfxPresentParameters* params);
    void LoseDevice();
    void AllowReset();
    // Default-pool resources that callers still hold (a reset is refused while any exists).
    uint32_t HeldDefaultPoolResources() const { return m_tracker->HeldDefaultPool(); }

    GfxResult Present();
    GfxResult BeginScene();
    GfxResult EndScene();
    GfxResult Clear(uint32_t count, const GfxRect* rects, uint32_t flags, uint32_t color, float z, uint32_t stencil);

    const GfxCaps& GetDeviceCaps() const { return m_caps; }
    const GfxPresentParameters& GetPresentParameters() const { return m_params; }
    void SetGammaRamp(uint32_t swapChain, uint32_t flags, const GfxGammaRamp& ramp);
    const GfxGammaRamp& GetGammaRamp() const { return m_gamma; }

    // Resources. Out pointers receive one caller reference.
    GfxResult CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                            uint32_t pool, CGfxTexture** texture);
    GfxResult CreateDepthStencilSurface(uint32_t width, uint32_t height, uint32_t format, uint32_t multiSample,
                                        uint32_t multiSampleQuality, bool discard, CGfxSurface** surface);
    GfxResult CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                 CGfxVertexBuffer** buffer);
    GfxResult CreateIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                                CGfxIndexBuffer** buffer);
    GfxResult CreateVertexDeclaration(const GfxVertexElement* elements, uint32_t count,
                                      CGfxVertexDeclaration** declaration);

    // Targets.
    GfxResult GetBackBuffer(uint32_t swapChain, uint32_t index, CGfxSurface** surface);
    GfxResult GetRenderTarget(uint32_t index, CGfxSurface** surface);
    GfxResult SetRenderTarget(uint32_t index, CGfxSurface* surface);
    GfxResult GetDepthStencilSurface(CGfxSurface** surface);
    GfxResult SetDepthStencilSurface(CGfxSurface* surface);
    // Pixels of a colour surface as 0xAARRGGBB words, top row first.
    virtual GfxResult ReadSurface(CGfxSurface* surface, std::vector<uint32_t>* argb) = 0;

    // States.
    GfxResult SetRenderState(uint32_t state, uint32_t value);
    GfxResult GetRenderState(uint32_t state, uint32_t* value) const;
    GfxResult SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value);
    GfxResult GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) const;
    GfxResult SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value);
    GfxResult GetSamplerState(uint32_t sampler, uint32_t type, uint32_t* value) const;
    GfxResult SetTexture(uint32_t stage, CGfxTexture* texture);
    CGfxTexture* GetTexture(uint32_t stage) const { return stage < kSamplerCount ? m_textures[stage] : nullptr; }
    GfxResult SetTransform(uint32_t state, const Matrix* matrix);
    GfxResult GetTransform(uint32_t state, Matrix* matrix) const;
    GfxResult SetMaterial(const GfxMaterial* material);
    GfxResult GetMaterial(GfxMaterial* material) const;
    // One light (index 0) is supported, as the client uses.
    GfxResult SetLight(uint32_t index, const GfxLight* light);
    GfxResult GetLight(uint32_t index, GfxLight* light) const;
    GfxResult LightEnable(uint32_t index, bool enable);
    GfxResult SetViewport(const Viewport* viewport);
    GfxResult GetViewport(Viewport* viewport) const;
    GfxResult SetFVF(uint32_t fvf);
    GfxResult GetFVF(uint32_t* fvf) const;
    GfxResult SetVertexDeclaration(CGfxVertexDeclaration* declaration);
    CGfxVertexDeclaration* GetVertexDeclaration() const { return m_declaration; }
    GfxResult SetStreamSource(uint32_t stream, CGfxVertexBuffer* buffer, uint32_t offset, uint32_t stride);
    GfxResult SetIndices(CGfxIndexBuffer* buffer);
    const GfxState& State() const { return m_state; }

    // Effects (GfxEffect.h) call these; an implementation compiles an effect's
    // shaders when it is created and binds a pass's program and parameters.
    virtual GfxResult PrepareEffect(CGfxEffect* effect, std::string* errors);
    virtual GfxResult BeginEffectPass(CGfxEffect* effect, uint32_t technique, uint32_t pass);
    virtual GfxResult CommitEffect(CGfxEffect* effect);
    virtual void EndEffectPass(CGfxEffect* effect);

    // Drawing.
    GfxResult DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount);
    GfxResult DrawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex, uint32_t numVertices,
                                   uint32_t startIndex, uint32_t primitiveCount);
    GfxResult DrawPrimitiveUP(uint32_t type, uint32_t primitiveCount, const void* vertices, uint32_t stride);
    GfxResult DrawIndexedPrimitiveUP(uint32_t type, uint32_t minIndex, uint32_t numVertices, uint32_t primitiveCount,
                                     const void* indices, uint32_t indexFormat, const void* vertices, uint32_t stride);

protected:
    explicit CGfxDevice(const GfxPresentParameters& params);
    // Run by an implementation's constructor once m_params holds the real back-buffer
    // size: creates the back buffer and the automatic depth surface and sets the default state.
    void Initialise();

    // Implementation hooks. Draws arrive checked; the stream, declaration and
    // index buffer in use are those of the accessors below.
    virtual GfxResult DoPresent() = 0;
    virtual GfxResult DoClear(uint32_t count, const GfxRect* rects, uint32_t flags, uint32_t color, float z,
                              uint32_t stencil) = 0;
    virtual GfxResult DoDraw(const GfxDrawCall& call) = 0;
    virtual GfxResult DoReset(GfxPresentParameters& params) = 0;  // may fill in the size
    // Notice of a change (for logs and dirty flags); kind names the setter.
    enum class Change {
        RenderState,
        StageState,
        Sampler,
        Texture,
        Transform,
        Material,
        Light,
        Viewport,
        Fvf,
        Declaration,
        Stream,
        Indices,
        RenderTarget,
        DepthSurface,
        Gamma,
        Scene,
        Effect,
        EffectCommit,
        EffectEnd
    };
    virtual void OnChange(Change, uint32_t, uint32_t) {}

    CGfxVertexBuffer* Stream() const { return m_stream; }
    uint32_t StreamOffset() const { return m_streamOffset; }
    uint32_t StreamStride() const { return m_streamStride; }
    CGfxIndexBuffer* Indices() const { return m_indices; }
    CGfxSurface* RenderTarget() const { return m_renderTarget; }
    CGfxSurface* DepthSurface() const { return m_depthSurface; }
    CGfxSurface* BackBuffer() const { return m_backBuffer; }
    const std::shared_ptr<CGfxResourceTracker>& Tracker() const { return m_tracker; }
    bool IsLost() const { return m_coop != GFX_OK; }

    GfxCaps m_caps;
    GfxPresentParameters m_params;

private:
    void SetDefaultState();
    void UnbindAll();
    void ReleaseSwapSurfaces();
    template <typename T>
    static void Bind(T*& slot, T* object);
    GfxResult CheckStreamDraw(uint32_t bytesFromOffset) const;

    std::shared_ptr<CGfxResourceTracker> m_tracker;
    GfxResult m_coop = GFX_OK;
    bool m_inScene = false;
    GfxState m_state;
    GfxGammaRamp m_gamma;
    std::array<CGfxTexture*, kSamplerCount> m_textures{};
    CGfxVertexDeclaration* m_declaration = nullptr;
    CGfxVertexBuffer* m_stream = nullptr;
    uint32_t m_streamOffset = 0, m_streamStride = 0;
    CGfxIndexBuffer* m_indices = nullptr;
    CGfxSurface* m_backBuffer = nullptr;
    CGfxSurface* m_autoDepth = nullptr;
    CGfxSurface* m_renderTarget = nullptr;
    CGfxSurface* m_depthSurface = nullptr;
};

}  // namespace platform
