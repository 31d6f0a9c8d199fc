// The render device on OpenGL 3.3 core. It draws into framebuffers of its
// own, with images stored top row first (so that read-back, render-target
// textures and texture coordinates all keep the top-left origin); Present
// copies the back buffer into the window, turned the right way up. The
// fixed-function states become generated GLSL programs (GlFixedFunction.h).
// Memory copies of textures and buffers are uploaded at first use after a
// change, on the thread that draws; GL objects of released resources are
// deleted there too.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/GfxDevice.h"
#include "platform/GlContext.h"
#include "platform/GlFixedFunction.h"

namespace platform {

struct CGlGarbage;

// Compiles and links a GLSL program on the current context; 0 with the compiler's text in *log.
uint32_t GlLinkProgram(const std::string& vertexSource, const std::string& fragmentSource, std::string* log);

class CGfxGlDevice : public CGfxDevice {
public:
    // Null when no context can be made or the GL is too old. A back buffer
    // of 0 x 0 takes the window's size (headless: 1024 x 768).
    static std::unique_ptr<CGfxGlDevice> Create(std::unique_ptr<CGlContext> context,
                                                const GfxPresentParameters& params);
    static std::unique_ptr<CGfxGlDevice> CreateHeadless(const GfxPresentParameters& params);
    ~CGfxGlDevice() override;

    GfxResult ReadSurface(CGfxSurface* surface, std::vector<uint32_t>* argb) override;
    CGlContext* Context() const { return m_context.get(); }
    // Number of fixed-function programs generated so far.
    size_t ProgramCount() const { return m_programs.size(); }
    bool HasS3tc() const { return m_s3tc; }

    GfxResult PrepareEffect(CGfxEffect* effect, std::string* errors) override;
    GfxResult BeginEffectPass(CGfxEffect* effect, uint32_t technique, uint32_t pass) override;
    void EndEffectPass(CGfxEffect* effect) override;

protected:
    GfxResult DoPresent() override;
    GfxResult DoClear(uint32_t count, const GfxRect* rects, uint32_t flags, uint32_t color, float z,
                      uint32_t stencil) override;
    GfxResult DoDraw(const GfxDrawCall& call) override;
    GfxResult DoReset(GfxPresentParameters& params) override;
    void OnChange(Change change, uint32_t a, uint32_t b) override;

private:
    struct Program;
    CGfxGlDevice(std::unique_ptr<CGlContext> context, const GfxPresentParameters& params);
    bool Init();
    void CollectGarbage();
    uint32_t TextureName(CGfxTexture* texture);
    uint32_t RenderbufferName(CGfxSurface* surface);
    uint32_t BufferName(CGfxBuffer* buffer, bool index);
    bool BindTarget();
    CGfxSurface* UsableDepth() const;
    bool AttachToFramebuffer(uint32_t fbo, CGfxSurface* colour, CGfxSurface* depth);
    void ApplyRenderState();
    void ApplySampler(uint32_t unit);
    Program* FixedFunctionProgram(const std::vector<GfxVertexElement>& elements);
    void SetFixedFunctionUniforms(Program* program);
    void BindTextureUnit(uint32_t unit, CGfxTexture* texture);
    void SendEffectParameters();

    std::unique_ptr<CGlContext> m_context;
    std::shared_ptr<CGlGarbage> m_garbage;
    bool m_s3tc = false;
    uint32_t m_vao = 0, m_fbo = 0, m_readFbo = 0, m_streamVbo = 0, m_streamIbo = 0;
    uint32_t m_samplers[2] = {0, 0};
    uint32_t m_white = 0;  // what an unbound texture reads: opaque white
    uint32_t m_attachedColour = 0, m_attachedLevel = 0, m_attachedDepth = 0;
    bool m_attachedIsTexture = false;
    bool m_stateDirty = true, m_samplerDirty[2] = {true, true};
    // The vertex layout of the last fixed vertex format, and the program whose uniforms are current.
    uint32_t m_elementsFvf = 0;
    std::vector<GfxVertexElement> m_fvfElements;
    Program* m_uniformProgram = nullptr;
    bool m_uniformsDirty = true;
    CGfxEffect* m_effect = nullptr;
    uint32_t m_effectProgram = 0;
    std::unordered_map<GlFixedFunctionKey, std::unique_ptr<Program>, GlFixedFunctionKeyHash> m_programs;
};

}  // namespace platform
