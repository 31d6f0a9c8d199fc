// State keeping, argument checks and the loss cycle shared by the devices.
#include "platform/GfxDevice.h"

#include "platform/GfxFormatInfo.h"

namespace platform {

uint32_t PrimitiveVertexCount(uint32_t type, uint32_t n) {
    switch (type) {
        case PT_POINTLIST:
            return n;
        case PT_LINELIST:
            return 2 * n;
        case PT_LINESTRIP:
            return n + 1;
        case PT_TRIANGLELIST:
            return 3 * n;
        case PT_TRIANGLESTRIP:
        case PT_TRIANGLEFAN:
            return n + 2;
        default:
            return 0;
    }
}

CGfxDevice::CGfxDevice(const GfxPresentParameters& params)
    : m_params(params), m_tracker(std::make_shared<CGfxResourceTracker>()) {}

CGfxDevice::~CGfxDevice() {
    UnbindAll();
    ReleaseSwapSurfaces();
}

template <typename T>
void CGfxDevice::Bind(T*& slot, T* object) {
    if (slot == object) return;
    if (object) object->AddDeviceRef();
    if (slot) slot->ReleaseDeviceRef();
    slot = object;
}

void CGfxDevice::Initialise() {
    ReleaseSwapSurfaces();
    if (m_params.backBufferFormat == FMT_UNKNOWN) m_params.backBufferFormat = FMT_X8R8G8B8;
    auto own = [](CGfxSurface* s) {
        // The device keeps only its own reference; a caller's GetBackBuffer adds one.
        s->AddDeviceRef();
        s->Release();
        return s;
    };
    m_backBuffer =
        own(new CGfxSurface(m_tracker, CGfxSurface::BACK_BUFFER, m_params.backBufferWidth, m_params.backBufferHeight,
                            m_params.backBufferFormat, USAGE_RENDERTARGET, m_params.multiSampleType));
    if (m_params.enableAutoDepthStencil)
        m_autoDepth = own(new CGfxSurface(m_tracker, CGfxSurface::DEPTH_STENCIL, m_params.backBufferWidth,
                                          m_params.backBufferHeight, m_params.autoDepthStencilFormat,
                                          USAGE_DEPTHSTENCIL, m_params.multiSampleType));
    SetDefaultState();
}

void CGfxDevice::ReleaseSwapSurfaces() {
    Bind<CGfxSurface>(m_renderTarget, nullptr);
    Bind<CGfxSurface>(m_depthSurface, nullptr);
    if (m_backBuffer) m_backBuffer->ReleaseDeviceRef();
    if (m_autoDepth) m_autoDepth->ReleaseDeviceRef();
    m_backBuffer = m_autoDepth = nullptr;
}

void CGfxDevice::UnbindAll() {
    for (auto& t : m_textures) Bind<CGfxTexture>(t, nullptr);
    Bind<CGfxVertexDeclaration>(m_declaration, nullptr);
    Bind<CGfxVertexBuffer>(m_stream, nullptr);
    Bind<CGfxIndexBuffer>(m_indices, nullptr);
    m_streamOffset = m_streamStride = 0;
}

void CGfxDevice::SetDefaultState() {
    UnbindAll();
    GfxState& s = m_state;
    s = GfxState();
    auto& r = s.render;
    r[RS_ZENABLE] = m_params.enableAutoDepthStencil ? ZB_TRUE : ZB_FALSE;
    r[RS_FILLMODE] = FILL_SOLID;
    r[RS_SHADEMODE] = 2;  // Gouraud
    r[RS_ZWRITEENABLE] = 1;
    r[RS_LASTPIXEL] = 1;
    r[RS_SRCBLEND] = BLEND_ONE;
    r[RS_DESTBLEND] = BLEND_ZERO;
    r[RS_CULLMODE] = CULL_CCW;
    r[RS_ZFUNC] = CMP_LESSEQUAL;
    r[RS_ALPHAFUNC] = CMP_ALWAYS;
    r[RS_FOGSTART] = FloatBits(0.0f);
    r[RS_FOGEND] = FloatBits(1.0f);
    r[RS_FOGDENSITY] = FloatBits(1.0f);
    r[RS_TEXTUREFACTOR] = 0xFFFFFFFFu;
    r[RS_CLIPPING] = 1;
    r[RS_LIGHTING] = 1;
    r[RS_COLORVERTEX] = 1;
    r[RS_LOCALVIEWER] = 1;
    r[RS_DIFFUSEMATERIALSOURCE] = MCS_COLOR1;
    r[RS_SPECULARMATERIALSOURCE] = MCS_COLOR2;
    r[RS_COLORWRITEENABLE] = 0xF;
    r[RS_BLENDOP] = BLENDOP_ADD;
    for (uint32_t i = 0; i < kTextureStageCount; ++i) {
        auto& st = s.stage[i];
        st[TSS_COLOROP] = i == 0 ? TOP_MODULATE : TOP_DISABLE;
        st[TSS_COLORARG1] = TA_TEXTURE;
        st[TSS_COLORARG2] = TA_CURRENT;
        st[TSS_ALPHAOP] = i == 0 ? TOP_SELECTARG1 : TOP_DISABLE;
        st[TSS_ALPHAARG1] = TA_TEXTURE;
        st[TSS_ALPHAARG2] = TA_CURRENT;
        st[TSS_TEXCOORDINDEX] = i;
        st[TSS_COLORARG0] = TA_CURRENT;
        st[TSS_ALPHAARG0] = TA_CURRENT;
        st[TSS_RESULTARG] = TA_CURRENT;
        s.texture[i] = Matrix::Identity();
    }
    for (auto& sm : s.sampler) {
        sm[SAMP_ADDRESSU] = sm[SAMP_ADDRESSV] = sm[SAMP_ADDRESSW] = TADDRESS_WRAP;
        sm[SAMP_MAGFILTER] = sm[SAMP_MINFILTER] = TEXF_POINT;
        sm[SAMP_MIPFILTER] = TEXF_NONE;
        sm[SAMP_MAXANISOTROPY] = 1;
    }
    s.world = s.view = s.projection = Matrix::Identity();
    s.light.diffuse = ColorValue(1, 1, 1, 0);
    s.light.direction = Vec3(0, 0, 1);
    s.viewport = Viewport{0, 0, m_params.backBufferWidth, m_params.backBufferHeight, 0.0f, 1.0f};
    Bind(m_renderTarget, m_backBuffer);
    Bind(m_depthSurface, m_autoDepth);
}

GfxResult CGfxDevice::TestCooperativeLevel() const { return m_coop; }

void CGfxDevice::LoseDevice() { m_coop = GFXERR_DEVICELOST; }

void CGfxDevice::AllowReset() {
    if (m_coop == GFXERR_DEVICELOST) m_coop = GFXERR_DEVICENOTRESET;
}

GfxResult CGfxDevice::Reset(GfxPresentParameters* params) {
    if (!params) return GFXERR_INVALIDCALL;
    if (m_coop == GFXERR_DEVICELOST) return GFXERR_DEVICELOST;
    // The device's own back buffer and depth surface do not count; a caller's reference to them does.
    if (HeldDefaultPoolResources() != 0) {
        m_coop = GFXERR_DEVICENOTRESET;
        return GFXERR_INVALIDCALL;
    }
    GfxPresentParameters wanted = *params;
    GfxResult r = DoReset(wanted);
    if (GfxFailed(r)) {
        m_coop = GFXERR_DEVICENOTRESET;
        return r;
    }
    m_params = wanted;
    Initialise();
    *params = m_params;
    m_coop = GFX_OK;
    m_inScene = false;
    return GFX_OK;
}

GfxResult CGfxDevice::Present() {
    if (m_coop != GFX_OK) return GFXERR_DEVICELOST;
    if (m_inScene) return GFXERR_INVALIDCALL;
    return DoPresent();
}

GfxResult CGfxDevice::BeginScene() {
    if (m_inScene) return GFXERR_INVALIDCALL;
    m_inScene = true;
    OnChange(Change::Scene, 1, 0);
    return GFX_OK;
}

GfxResult CGfxDevice::EndScene() {
    if (!m_inScene) return GFXERR_INVALIDCALL;
    m_inScene = false;
    OnChange(Change::Scene, 0, 0);
    return GFX_OK;
}

GfxResult CGfxDevice::Clear(uint32_t count, const GfxRect* rects, uint32_t flags, uint32_t color, float z,
                            uint32_t stencil) {
    if ((count != 0) != (rects != nullptr)) return GFXERR_INVALIDCALL;
    if ((flags & (CLEAR_ZBUFFER | CLEAR_STENCIL)) && !m_depthSurface) return GFXERR_INVALIDCALL;
    if (IsLost()) return GFX_OK;
    return DoClear(count, rects, flags, color, z, stencil);
}

void CGfxDevice::SetGammaRamp(uint32_t, uint32_t, const GfxGammaRamp& ramp) {
    m_gamma = ramp;
    OnChange(Change::Gamma, 0, 0);
}

GfxResult CGfxDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                                    uint32_t pool, CGfxTexture** texture) {
    if (!texture) return GFXERR_INVALIDCALL;
    *texture = nullptr;
    if (width == 0 || height == 0 || width > m_caps.maxTextureWidth || height > m_caps.maxTextureHeight)
        return GFXERR_INVALIDCALL;
    if (!IsTextureFormat(format)) return GFXERR_INVALIDCALL;
    // Render targets live only on the device and cannot be restored from memory.
    if ((usage & USAGE_RENDERTARGET) && (pool != POOL_DEFAULT || IsBlockFormat(format))) return GFXERR_INVALIDCALL;
    if (usage & USAGE_DEPTHSTENCIL) return GFXERR_INVALIDCALL;
    uint32_t full = FullMipCount(width, height);
    if (levels == 0 || levels > full) levels = full;
    *texture = new CGfxTexture(m_tracker, width, height, levels, usage, format, pool);
    return GFX_OK;
}

GfxResult CGfxDevice::CreateDepthStencilSurface(uint32_t width, uint32_t height, uint32_t format, uint32_t multiSample,
                                                uint32_t, bool, CGfxSurface** surface) {
    if (!surface) return GFXERR_INVALIDCALL;
    *surface = nullptr;
    if (width == 0 || height == 0 || !IsDepthFormat(format)) return GFXERR_INVALIDCALL;
    *surface =
        new CGfxSurface(m_tracker, CGfxSurface::DEPTH_STENCIL, width, height, format, USAGE_DEPTHSTENCIL, multiSample);
    return GFX_OK;
}

GfxResult CGfxDevice::CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                         CGfxVertexBuffer** buffer) {
    if (!buffer) return GFXERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0) return GFXERR_INVALIDCALL;
    if (fvf != 0 && length < FvfVertexSize(fvf)) return GFXERR_INVALIDCALL;
    *buffer = new CGfxVertexBuffer(m_tracker, length, usage, fvf, pool);
    return GFX_OK;
}

GfxResult CGfxDevice::CreateIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                                        CGfxIndexBuffer** buffer) {
    if (!buffer) return GFXERR_INVALIDCALL;
    *buffer = nullptr;
    if (length == 0 || (format != FMT_INDEX16 && format != FMT_INDEX32)) return GFXERR_INVALIDCALL;
    *buffer = new CGfxIndexBuffer(m_tracker, length, usage, format, pool);
    return GFX_OK;
}

GfxResult CGfxDevice::CreateVertexDeclaration(const GfxVertexElement* elements, uint32_t count,
                                              CGfxVertexDeclaration** declaration) {
    if (!declaration) return GFXERR_INVALIDCALL;
    *declaration = nullptr;
    if (!elements || count == 0) return GFXERR_INVALIDCALL;
    *declaration = new CGfxVertexDeclaration(std::vector<GfxVertexElement>(elements, elements + count));
    return GFX_OK;
}

GfxResult CGfxDevice::GetBackBuffer(uint32_t swapChain, uint32_t index, CGfxSurface** surface) {
    if (!surface || swapChain != 0 || index != 0 || !m_backBuffer) return GFXERR_INVALIDCALL;
    m_backBuffer->AddRef();
    *surface = m_backBuffer;
    return GFX_OK;
}

GfxResult CGfxDevice::GetRenderTarget(uint32_t index, CGfxSurface** surface) {
    if (!surface || index != 0) return GFXERR_INVALIDCALL;
    *surface = m_renderTarget;
    if (!m_renderTarget) return GFXERR_NOTFOUND;
    m_renderTarget->AddRef();
    return GFX_OK;
}

GfxResult CGfxDevice::SetRenderTarget(uint32_t index, CGfxSurface* surface) {
    if (index != 0 || !surface) return GFXERR_INVALIDCALL;
    if (!(surface->GetUsage() & USAGE_RENDERTARGET) || surface->GetKind() == CGfxSurface::DEPTH_STENCIL)
        return GFXERR_INVALIDCALL;
    Bind(m_renderTarget, surface);
    // As Direct3D does, a new target resets the viewport to cover it.
    m_state.viewport = Viewport{0, 0, surface->GetWidth(), surface->GetHeight(), 0.0f, 1.0f};
    OnChange(Change::RenderTarget, index, 0);
    return GFX_OK;
}

GfxResult CGfxDevice::GetDepthStencilSurface(CGfxSurface** surface) {
    if (!surface) return GFXERR_INVALIDCALL;
    *surface = m_depthSurface;
    if (!m_depthSurface) return GFXERR_NOTFOUND;
    m_depthSurface->AddRef();
    return GFX_OK;
}

GfxResult CGfxDevice::SetDepthStencilSurface(CGfxSurface* surface) {
    if (surface && surface->GetKind() != CGfxSurface::DEPTH_STENCIL) return GFXERR_INVALIDCALL;
    Bind(m_depthSurface, surface);
    OnChange(Change::DepthSurface, 0, 0);
    return GFX_OK;
}

GfxResult CGfxDevice::SetRenderState(uint32_t state, uint32_t value) {
    if (state >= kRenderStateCount) return GFXERR_INVALIDCALL;
    m_state.render[state] = value;
    OnChange(Change::RenderState, state, value);
    return GFX_OK;
}

GfxResult CGfxDevice::GetRenderState(uint32_t state, uint32_t* value) const {
    if (state >= kRenderStateCount || !value) return GFXERR_INVALIDCALL;
    *value = m_state.render[state];
    return GFX_OK;
}

GfxResult CGfxDevice::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    if (stage >= kTextureStageCount || type >= kTextureStageStateCount) return GFXERR_INVALIDCALL;
    m_state.stage[stage][type] = value;
    OnChange(Change::StageState, stage << 16 | type, value);
    return GFX_OK;
}

GfxResult CGfxDevice::GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) const {
    if (stage >= kTextureStageCount || type >= kTextureStageStateCount || !value) return GFXERR_INVALIDCALL;
    *value = m_state.stage[stage][type];
    return GFX_OK;
}

GfxResult CGfxDevice::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    if (sampler >= kSamplerCount || type >= kSamplerStateCount) return GFXERR_INVALIDCALL;
    m_state.sampler[sampler][type] = value;
    OnChange(Change::Sampler, sampler << 16 | type, value);
    return GFX_OK;
}

GfxResult CGfxDevice::GetSamplerState(uint32_t sampler, uint32_t type, uint32_t* value) const {
    if (sampler >= kSamplerCount || type >= kSamplerStateCount || !value) return GFXERR_INVALIDCALL;
    *value = m_state.sampler[sampler][type];
    return GFX_OK;
}

GfxResult CGfxDevice::SetTexture(uint32_t stage, CGfxTexture* texture) {
    if (stage >= kSamplerCount) return GFXERR_INVALIDCALL;
    Bind(m_textures[stage], texture);
    OnChange(Change::Texture, stage, texture ? 1 : 0);
    return GFX_OK;
}

static Matrix* TransformSlot(GfxState& s, uint32_t state) {
    switch (state) {
        case TS_WORLD:
            return &s.world;
        case TS_VIEW:
            return &s.view;
        case TS_PROJECTION:
            return &s.projection;
        default:
            if (state >= TS_TEXTURE0 && state < TS_TEXTURE0 + kTextureStageCount)
                return &s.texture[state - TS_TEXTURE0];
            return nullptr;
    }
}

GfxResult CGfxDevice::SetTransform(uint32_t state, const Matrix* matrix) {
    Matrix* slot = TransformSlot(m_state, state);
    if (!slot || !matrix) return GFXERR_INVALIDCALL;
    *slot = *matrix;
    OnChange(Change::Transform, state, 0);
    return GFX_OK;
}

GfxResult CGfxDevice::GetTransform(uint32_t state, Matrix* matrix) const {
    const Matrix* slot = TransformSlot(const_cast<GfxState&>(m_state), state);
    if (!slot || !matrix) return GFXERR_INVALIDCALL;
    *matrix = *slot;
    return GFX_OK;
}

GfxResult CGfxDevice::SetMaterial(const GfxMaterial* material) {
    if (!material) return GFXERR_INVALIDCALL;
    m_state.material = *material;
    OnChange(Change::Material, 0, 0);
    return GFX_OK;
}

GfxResult CGfxDevice::GetMaterial(GfxMaterial* material) const {
    if (!material) return GFXERR_INVALIDCALL;
    *material = m_state.material;
    return GFX_OK;
}

GfxResult CGfxDevice::SetLight(uint32_t index, const GfxLight* light) {
    if (index != 0 || !light) return GFXERR_INVALIDCALL;
    m_state.light = *light;
    OnChange(Change::Light, index, 0);
    return GFX_OK;
}

GfxResult CGfxDevice::GetLight(uint32_t index, GfxLight* light) const {
    if (index != 0 || !light) return GFXERR_INVALIDCALL;
    *light = m_state.light;
    return GFX_OK;
}

GfxResult CGfxDevice::LightEnable(uint32_t index, bool enable) {
    if (index != 0) return GFXERR_INVALIDCALL;
    m_state.lightEnabled = enable;
    OnChange(Change::Light, index, enable ? 1 : 0);
    return GFX_OK;
}

GfxResult CGfxDevice::SetViewport(const Viewport* viewport) {
    if (!viewport || !m_renderTarget) return GFXERR_INVALIDCALL;
    if (viewport->width == 0 || viewport->height == 0 ||
        static_cast<uint64_t>(viewport->x) + viewport->width > m_renderTarget->GetWidth() ||
        static_cast<uint64_t>(viewport->y) + viewport->height > m_renderTarget->GetHeight())
        return GFXERR_INVALIDCALL;
    m_state.viewport = *viewport;
    OnChange(Change::Viewport, 0, 0);
    return GFX_OK;
}

GfxResult CGfxDevice::GetViewport(Viewport* viewport) const {
    if (!viewport) return GFXERR_INVALIDCALL;
    *viewport = m_state.viewport;
    return GFX_OK;
}

GfxResult CGfxDevice::SetFVF(uint32_t fvf) {
    m_state.fvf = fvf;
    Bind<CGfxVertexDeclaration>(m_declaration, nullptr);
    OnChange(Change::Fvf, fvf, 0);
    return GFX_OK;
}

GfxResult CGfxDevice::GetFVF(uint32_t* fvf) const {
    if (!fvf) return GFXERR_INVALIDCALL;
    *fvf = m_state.fvf;
    return GFX_OK;
}

GfxResult CGfxDevice::SetVertexDeclaration(CGfxVertexDeclaration* declaration) {
    Bind(m_declaration, declaration);
    if (declaration) m_state.fvf = 0;
    OnChange(Change::Declaration, declaration ? 1 : 0, 0);
    return GFX_OK;
}

GfxResult CGfxDevice::SetStreamSource(uint32_t stream, CGfxVertexBuffer* buffer, uint32_t offset, uint32_t stride) {
    if (stream != 0) return GFXERR_INVALIDCALL;
    if (buffer && offset > buffer->GetLength()) return GFXERR_INVALIDCALL;
    Bind(m_stream, buffer);
    m_streamOffset = buffer ? offset : 0;
    m_streamStride = buffer ? stride : 0;
    OnChange(Change::Stream, offset, stride);
    return GFX_OK;
}

GfxResult CGfxDevice::SetIndices(CGfxIndexBuffer* buffer) {
    Bind(m_indices, buffer);
    OnChange(Change::Indices, buffer ? 1 : 0, 0);
    return GFX_OK;
}

// The largest index of count indices (16 or 32 bits each).
static uint32_t MaxIndex(const uint8_t* indices, uint32_t count, bool wide) {
    uint32_t most = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t v;
        if (wide) {
            v = indices[4 * i] | indices[4 * i + 1] << 8 | indices[4 * i + 2] << 16 |
                static_cast<uint32_t>(indices[4 * i + 3]) << 24;
        } else {
            v = indices[2 * i] | indices[2 * i + 1] << 8;
        }
        if (v > most) most = v;
    }
    return most;
}

GfxResult CGfxDevice::CheckStreamDraw(uint32_t bytesFromOffset) const {
    if (!m_stream || m_streamStride == 0) return GFXERR_INVALIDCALL;
    if (!m_declaration && m_state.fvf == 0) return GFXERR_INVALIDCALL;
    if (m_stream->IsLocked()) return GFXERR_INVALIDCALL;
    if (static_cast<uint64_t>(m_streamOffset) + bytesFromOffset > m_stream->GetLength()) return GFXERR_INVALIDCALL;
    return GFX_OK;
}

GfxResult CGfxDevice::DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
    GfxDrawCall call;
    call.type = type;
    call.primitiveCount = primitiveCount;
    call.vertexCount = PrimitiveVertexCount(type, primitiveCount);
    call.startVertex = startVertex;
    if (call.vertexCount == 0) return GFXERR_INVALIDCALL;
    uint64_t bytes = (static_cast<uint64_t>(startVertex) + call.vertexCount) * m_streamStride;
    if (bytes > 0xFFFFFFFFu || GfxFailed(CheckStreamDraw(static_cast<uint32_t>(bytes)))) return GFXERR_INVALIDCALL;
    if (IsLost()) return GFX_OK;
    return DoDraw(call);
}

GfxResult CGfxDevice::DrawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex, uint32_t numVertices,
                                           uint32_t startIndex, uint32_t primitiveCount) {
    GfxDrawCall call;
    call.type = type;
    call.primitiveCount = primitiveCount;
    call.vertexCount = PrimitiveVertexCount(type, primitiveCount);
    call.indexed = true;
    call.baseVertex = baseVertex;
    call.minIndex = minIndex;
    call.numVertices = numVertices;
    call.startIndex = startIndex;
    if (call.vertexCount == 0 || !m_indices || m_indices->IsLocked() || baseVertex < 0) return GFXERR_INVALIDCALL;
    call.indexFormat = m_indices->GetFormat();
    uint32_t indexBytes = call.indexFormat == FMT_INDEX32 ? 4 : 2;
    if ((static_cast<uint64_t>(startIndex) + call.vertexCount) * indexBytes > m_indices->GetLength())
        return GFXERR_INVALIDCALL;
    uint64_t bytes = (static_cast<uint64_t>(baseVertex) + minIndex + numVertices) * m_streamStride;
    if (bytes > 0xFFFFFFFFu || GfxFailed(CheckStreamDraw(static_cast<uint32_t>(bytes)))) return GFXERR_INVALIDCALL;
    // An index past the vertices would make the device read beyond the buffer.
    {
        std::lock_guard<std::mutex> lock(m_indices->DataMutex());
        uint32_t most = MaxIndex(m_indices->Data() + static_cast<size_t>(startIndex) * indexBytes, call.vertexCount,
                                 indexBytes == 4);
        uint64_t vertices = (m_stream->GetLength() - m_streamOffset) / m_streamStride;
        if (static_cast<uint64_t>(most) + static_cast<uint64_t>(baseVertex) >= vertices) return GFXERR_INVALIDCALL;
    }
    if (IsLost()) return GFX_OK;
    return DoDraw(call);
}

GfxResult CGfxDevice::DrawPrimitiveUP(uint32_t type, uint32_t primitiveCount, const void* vertices, uint32_t stride) {
    GfxDrawCall call;
    call.type = type;
    call.primitiveCount = primitiveCount;
    call.vertexCount = PrimitiveVertexCount(type, primitiveCount);
    call.vertices = vertices;
    call.stride = stride;
    if (call.vertexCount == 0 || !vertices || stride == 0) return GFXERR_INVALIDCALL;
    if (!m_declaration && m_state.fvf == 0) return GFXERR_INVALIDCALL;
    // Direct3D unbinds stream 0 after a draw from memory.
    Bind<CGfxVertexBuffer>(m_stream, nullptr);
    m_streamOffset = m_streamStride = 0;
    if (IsLost()) return GFX_OK;
    return DoDraw(call);
}

GfxResult CGfxDevice::DrawIndexedPrimitiveUP(uint32_t type, uint32_t minIndex, uint32_t numVertices,
                                             uint32_t primitiveCount, const void* indices, uint32_t indexFormat,
                                             const void* vertices, uint32_t stride) {
    GfxDrawCall call;
    call.type = type;
    call.primitiveCount = primitiveCount;
    call.vertexCount = PrimitiveVertexCount(type, primitiveCount);
    call.indexed = true;
    call.minIndex = minIndex;
    call.numVertices = numVertices;
    call.vertices = vertices;
    call.stride = stride;
    call.indices = indices;
    call.indexFormat = indexFormat;
    if (call.vertexCount == 0 || !vertices || !indices || stride == 0 || numVertices == 0) return GFXERR_INVALIDCALL;
    if (indexFormat != FMT_INDEX16 && indexFormat != FMT_INDEX32) return GFXERR_INVALIDCALL;
    if (!m_declaration && m_state.fvf == 0) return GFXERR_INVALIDCALL;
    // The vertices handed over are minIndex + numVertices long; no index may point past them.
    if (static_cast<uint64_t>(MaxIndex(static_cast<const uint8_t*>(indices), call.vertexCount,
                                       indexFormat == FMT_INDEX32)) >= static_cast<uint64_t>(minIndex) + numVertices)
        return GFXERR_INVALIDCALL;
    Bind<CGfxVertexBuffer>(m_stream, nullptr);
    Bind<CGfxIndexBuffer>(m_indices, nullptr);
    m_streamOffset = m_streamStride = 0;
    if (IsLost()) return GFX_OK;
    return DoDraw(call);
}

GfxResult CGfxDevice::PrepareEffect(CGfxEffect*, std::string*) { return GFX_OK; }

GfxResult CGfxDevice::BeginEffectPass(CGfxEffect*, uint32_t technique, uint32_t pass) {
    OnChange(Change::Effect, technique, pass);
    return GFX_OK;
}

GfxResult CGfxDevice::CommitEffect(CGfxEffect*) {
    OnChange(Change::EffectCommit, 0, 0);
    return GFX_OK;
}

void CGfxDevice::EndEffectPass(CGfxEffect*) { OnChange(Change::EffectEnd, 0, 0); }

}  // namespace platform
