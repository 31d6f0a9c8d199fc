// OpenGL side of the render device.
#define GL_GLEXT_PROTOTYPES
#include "platform/GfxGlDevice.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/GfxEffect.h"
#include "platform/GfxFormatInfo.h"
#include "platform/PixelCodec.h"

namespace platform {

// GL names of released resources, deleted on the drawing thread.
struct CGlGarbage {
    std::mutex mutex;
    std::vector<GLuint> textures, buffers, renderbuffers, programs;
};

namespace {

class CGlNative : public CGfxNative {
public:
    enum Kind { TEXTURE, BUFFER, RENDERBUFFER };
    CGlNative(std::shared_ptr<CGlGarbage> garbage, Kind kind, GLuint name)
        : m_garbage(std::move(garbage)), m_kind(kind), m_name(name) {}
    ~CGlNative() override {
        std::lock_guard<std::mutex> lock(m_garbage->mutex);
        (m_kind == TEXTURE  ? m_garbage->textures
         : m_kind == BUFFER ? m_garbage->buffers
                            : m_garbage->renderbuffers)
            .push_back(m_name);
    }
    GLuint Name() const { return m_name; }
    const CGlGarbage* Owner() const { return m_garbage.get(); }
    uint32_t uploaded = 0;  // the resource version the GL object holds

private:
    std::shared_ptr<CGlGarbage> m_garbage;
    Kind m_kind;
    GLuint m_name;
};

// The programs of an effect, one per pass of each technique, with the uniform
// location of every parameter (-1 where a program does not use it).
class CGlEffectNative : public CGfxNative {
public:
    explicit CGlEffectNative(std::shared_ptr<CGlGarbage> garbage) : m_garbage(std::move(garbage)) {}
    ~CGlEffectNative() override {
        std::lock_guard<std::mutex> lock(m_garbage->mutex);
        for (const auto& technique : programs)
            for (const auto& pass : technique) m_garbage->programs.push_back(pass.name);
    }
    struct PassProgram {
        GLuint name = 0;
        std::vector<GLint> locations;
        GLint stages[2] = {-1, -1};  // u_stage0, u_stage1
    };
    std::vector<std::vector<PassProgram>> programs;
    const CGlGarbage* Owner() const { return m_garbage.get(); }

private:
    std::shared_ptr<CGlGarbage> m_garbage;
};

// The GL objects of a resource, when they belong to this device's context; a
// resource that outlived an earlier device gets new ones.
template <typename Native>
Native* OwnNative(CGfxResource* resource, const CGlGarbage* owner) {
    auto* native = dynamic_cast<Native*>(resource->GetNative());
    return native && native->Owner() == owner ? native : nullptr;
}

GLenum GlCompare(uint32_t cmp) { return cmp >= CMP_NEVER && cmp <= CMP_ALWAYS ? GL_NEVER + (cmp - 1) : GL_ALWAYS; }

GLenum GlBlend(uint32_t b) {
    switch (b) {
        case BLEND_ZERO:
            return GL_ZERO;
        case BLEND_ONE:
            return GL_ONE;
        case BLEND_SRCCOLOR:
            return GL_SRC_COLOR;
        case BLEND_INVSRCCOLOR:
            return GL_ONE_MINUS_SRC_COLOR;
        case BLEND_SRCALPHA:
            return GL_SRC_ALPHA;
        case BLEND_INVSRCALPHA:
            return GL_ONE_MINUS_SRC_ALPHA;
        case BLEND_DESTALPHA:
            return GL_DST_ALPHA;
        case BLEND_INVDESTALPHA:
            return GL_ONE_MINUS_DST_ALPHA;
        case BLEND_DESTCOLOR:
            return GL_DST_COLOR;
        case BLEND_INVDESTCOLOR:
            return GL_ONE_MINUS_DST_COLOR;
        case BLEND_SRCALPHASAT:
            return GL_SRC_ALPHA_SATURATE;
        default:
            return GL_ONE;
    }
}

GLenum GlBlendOp(uint32_t op) {
    switch (op) {
        case BLENDOP_SUBTRACT:
            return GL_FUNC_SUBTRACT;
        case BLENDOP_REVSUBTRACT:
            return GL_FUNC_REVERSE_SUBTRACT;
        case BLENDOP_MIN:
            return GL_MIN;
        case BLENDOP_MAX:
            return GL_MAX;
        default:
            return GL_FUNC_ADD;
    }
}

GLenum GlPrimitive(uint32_t type) {
    switch (type) {
        case PT_POINTLIST:
            return GL_POINTS;
        case PT_LINELIST:
            return GL_LINES;
        case PT_LINESTRIP:
            return GL_LINE_STRIP;
        case PT_TRIANGLESTRIP:
            return GL_TRIANGLE_STRIP;
        case PT_TRIANGLEFAN:
            return GL_TRIANGLE_FAN;
        default:
            return GL_TRIANGLES;
    }
}

GLenum GlDepthFormat(uint32_t format) { return format == FMT_D16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH24_STENCIL8; }

struct UploadFormat {
    GLint internal;
    GLenum format, type;
    GLint swizzle[4];
};

bool PlainUploadFormat(uint32_t format, UploadFormat* f) {
    const GLint rgba[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
    const GLint rgb1[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ONE};
    auto set = [&](GLint internal, GLenum fmt, GLenum type, const GLint sw[4]) {
        f->internal = internal;
        f->format = fmt;
        f->type = type;
        std::memcpy(f->swizzle, sw, sizeof(f->swizzle));
        return true;
    };
    switch (format) {
        case FMT_A8R8G8B8:
            return set(GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, rgba);
        case FMT_X8R8G8B8:
            return set(GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, rgb1);
        case FMT_R5G6B5:
            return set(GL_RGB8, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, rgb1);
        case FMT_A4R4G4B4:
            return set(GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, rgba);
        case FMT_A1R5G5B5:
            return set(GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, rgba);
        case FMT_X1R5G5B5:
            return set(GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, rgb1);
        case FMT_L8: {
            const GLint sw[4] = {GL_RED, GL_RED, GL_RED, GL_ONE};
            return set(GL_R8, GL_RED, GL_UNSIGNED_BYTE, sw);
        }
        case FMT_A8: {
            const GLint sw[4] = {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED};
            return set(GL_R8, GL_RED, GL_UNSIGNED_BYTE, sw);
        }
        default:
            return false;
    }
}

GLenum S3tcFormat(uint32_t format) {
    switch (format) {
        case FMT_DXT1:
            return GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
        case FMT_DXT3:
            return GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
        default:
            return GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    }
}

GLuint Compile(GLenum type, const std::string& source, std::string* log) {
    GLuint s = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(s, 1, &text, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char buf[2048];
        glGetShaderInfoLog(s, sizeof(buf), nullptr, buf);
        if (log) *log = buf;
        glDeleteShader(s);
        return 0;
    }
    return s;
}

}  // namespace

struct CGfxGlDevice::Program {
    GLuint name = 0;
    GLint worldView, projection, viewport, texMatrix, matDiffuse, matAmbient, matEmissive, ambient, lightDiffuse,
        lightAmbient, lightDir, lightOn, fogRange, fogColor, tfactor, alphaRef;
};

// Vertex programs of effects and of the fixed function read the same locations.
uint32_t GlLinkProgram(const std::string& vertex, const std::string& fragment, std::string* log) {
    GLuint vs = Compile(GL_VERTEX_SHADER, vertex, log);
    if (!vs) return 0;
    GLuint fs = Compile(GL_FRAGMENT_SHADER, fragment, log);
    if (!fs) {
        glDeleteShader(vs);
        return 0;
    }
    GLuint p = glCreateProgram();
    glAttachShader(p, vs);
    glAttachShader(p, fs);
    glLinkProgram(p);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(p, GL_LINK_STATUS, &ok);
    if (!ok) {
        char buf[2048];
        glGetProgramInfoLog(p, sizeof(buf), nullptr, buf);
        if (log) *log = buf;
        glDeleteProgram(p);
        return 0;
    }
    return p;
}

std::unique_ptr<CGfxGlDevice> CGfxGlDevice::Create(std::unique_ptr<CGlContext> context,
                                                   const GfxPresentParameters& params) {
    if (!context || !context->MakeCurrent()) return nullptr;
    GfxPresentParameters p = params;
    if (p.backBufferWidth == 0 || p.backBufferHeight == 0) {
        context->DrawableSize(&p.backBufferWidth, &p.backBufferHeight);
        if (p.backBufferWidth == 0 || p.backBufferHeight == 0) {
            p.backBufferWidth = 1024;
            p.backBufferHeight = 768;
        }
    }
    std::unique_ptr<CGfxGlDevice> device(new CGfxGlDevice(std::move(context), p));
    if (!device->Init()) return nullptr;
    return device;
}

std::unique_ptr<CGfxGlDevice> CGfxGlDevice::CreateHeadless(const GfxPresentParameters& params) {
    return Create(CreateHeadlessGlContext(), params);
}

CGfxGlDevice::CGfxGlDevice(std::unique_ptr<CGlContext> context, const GfxPresentParameters& params)
    : CGfxDevice(params), m_context(std::move(context)), m_garbage(std::make_shared<CGlGarbage>()) {}

bool CGfxGlDevice::Init() {
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    if (major * 10 + minor < 33) return false;
    GLint extensions = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &extensions);
    for (GLint i = 0; i < extensions; ++i) {
        const char* e = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (e && std::strcmp(e, "GL_EXT_texture_compression_s3tc") == 0) m_s3tc = true;
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    m_caps.maxTextureWidth = m_caps.maxTextureHeight = static_cast<uint32_t>(maxSize);
    glGenVertexArrays(1, &m_vao);
    glBindVertexArray(m_vao);
    glGenFramebuffers(1, &m_fbo);
    glGenFramebuffers(1, &m_readFbo);
    glGenBuffers(1, &m_streamVbo);
    glGenBuffers(1, &m_streamIbo);
    glGenSamplers(2, m_samplers);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    const uint32_t white = 0xFFFFFFFFu;
    glGenTextures(1, &m_white);
    glBindTexture(GL_TEXTURE_2D, m_white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);
    m_context->SetSwapInterval(m_params.presentationInterval == PRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
    Initialise();
    return glGetError() == GL_NO_ERROR;
}

CGfxGlDevice::~CGfxGlDevice() {
    if (m_effect) m_effect->ReleaseDeviceRef();
    if (!m_context || !m_context->MakeCurrent()) return;
    for (auto& p : m_programs) glDeleteProgram(p.second->name);
    glDeleteSamplers(2, m_samplers);
    glDeleteTextures(1, &m_white);
    glDeleteBuffers(1, &m_streamVbo);
    glDeleteBuffers(1, &m_streamIbo);
    glDeleteFramebuffers(1, &m_fbo);
    glDeleteFramebuffers(1, &m_readFbo);
    glDeleteVertexArrays(1, &m_vao);
    // Resources the device still binds die with the base class; their names
    // go to the garbage list, which is emptied below once that has happened.
}

void CGfxGlDevice::CollectGarbage() {
    std::lock_guard<std::mutex> lock(m_garbage->mutex);
    if (!m_garbage->textures.empty()) {
        for (GLuint t : m_garbage->textures)
            if (m_attachedIsTexture && t == m_attachedColour) m_attachedColour = 0;
        glDeleteTextures(static_cast<GLsizei>(m_garbage->textures.size()), m_garbage->textures.data());
    }
    if (!m_garbage->buffers.empty())
        glDeleteBuffers(static_cast<GLsizei>(m_garbage->buffers.size()), m_garbage->buffers.data());
    if (!m_garbage->renderbuffers.empty()) {
        for (GLuint r : m_garbage->renderbuffers) {
            if (r == m_attachedDepth) m_attachedDepth = 0;
            if (!m_attachedIsTexture && r == m_attachedColour) m_attachedColour = 0;
        }
        glDeleteRenderbuffers(static_cast<GLsizei>(m_garbage->renderbuffers.size()), m_garbage->renderbuffers.data());
    }
    for (GLuint p : m_garbage->programs) glDeleteProgram(p);
    m_garbage->textures.clear();
    m_garbage->buffers.clear();
    m_garbage->renderbuffers.clear();
    m_garbage->programs.clear();
}

uint32_t CGfxGlDevice::TextureName(CGfxTexture* t) {
    auto* native = OwnNative<CGlNative>(t, m_garbage.get());
    if (!native) {
        GLuint name = 0;
        glGenTextures(1, &name);
        auto created = std::make_unique<CGlNative>(m_garbage, CGlNative::TEXTURE, name);
        native = created.get();
        t->SetNative(std::move(created));
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(t->GetLevelCount() - 1));
        if (t->IsRenderTarget()) {
            UploadFormat f;
            PlainUploadFormat(t->GetFormat(), &f);
            glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, f.swizzle);
            for (uint32_t l = 0; l < t->GetLevelCount(); ++l)
                glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(l), GL_RGBA8, static_cast<GLsizei>(t->GetLevelWidth(l)),
                             static_cast<GLsizei>(t->GetLevelHeight(l)), 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
            native->uploaded = t->GetVersion();
        }
    }
    if (native->uploaded == t->GetVersion()) return native->Name();
    std::lock_guard<std::mutex> lock(t->DataMutex());
    native->uploaded = t->GetVersion();
    glBindTexture(GL_TEXTURE_2D, native->Name());
    uint32_t format = t->GetFormat();
    UploadFormat f;
    bool plain = PlainUploadFormat(format, &f);
    if (!plain && !(IsBlockFormat(format) && m_s3tc)) {
        // A block format the GL cannot take: decoded on the processor.
        const GLint rgba[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
        f = UploadFormat{GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, {rgba[0], rgba[1], rgba[2], rgba[3]}};
    }
    if (plain || !IsBlockFormat(format) || !m_s3tc) glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, f.swizzle);
    for (uint32_t l = 0; l < t->GetLevelCount(); ++l) {
        GLsizei w = static_cast<GLsizei>(t->GetLevelWidth(l)), h = static_cast<GLsizei>(t->GetLevelHeight(l));
        if (plain) {
            glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(l), f.internal, w, h, 0, f.format, f.type, t->LevelData(l));
        } else if (m_s3tc) {
            glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(l), S3tcFormat(format), w, h, 0,
                                   static_cast<GLsizei>(t->LevelSize(l)), t->LevelData(l));
        } else {
            std::vector<uint32_t> argb;
            UnpackLevel(format, static_cast<uint32_t>(w), static_cast<uint32_t>(h), t->LevelData(l), t->LevelSize(l),
                        &argb);
            glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(l), GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                         argb.data());
        }
    }
    return native->Name();
}

uint32_t CGfxGlDevice::RenderbufferName(CGfxSurface* s) {
    if (auto* native = OwnNative<CGlNative>(s, m_garbage.get())) return native->Name();
    GLuint name = 0;
    glGenRenderbuffers(1, &name);
    glBindRenderbuffer(GL_RENDERBUFFER, name);
    GLenum internal = s->GetKind() == CGfxSurface::DEPTH_STENCIL ? GlDepthFormat(s->GetFormat()) : GL_RGBA8;
    glRenderbufferStorage(GL_RENDERBUFFER, internal, static_cast<GLsizei>(s->GetWidth()),
                          static_cast<GLsizei>(s->GetHeight()));
    s->SetNative(std::make_unique<CGlNative>(m_garbage, CGlNative::RENDERBUFFER, name));
    return name;
}

uint32_t CGfxGlDevice::BufferName(CGfxBuffer* b, bool index) {
    auto* native = OwnNative<CGlNative>(b, m_garbage.get());
    GLenum target = index ? GL_ELEMENT_ARRAY_BUFFER : GL_ARRAY_BUFFER;
    if (!native) {
        GLuint name = 0;
        glGenBuffers(1, &name);
        auto created = std::make_unique<CGlNative>(m_garbage, CGlNative::BUFFER, name);
        native = created.get();
        b->SetNative(std::move(created));
    }
    glBindBuffer(target, native->Name());
    if (native->uploaded != b->GetVersion()) {
        std::lock_guard<std::mutex> lock(b->DataMutex());
        native->uploaded = b->GetVersion();
        glBufferData(target, b->GetLength(), b->Data(),
                     (b->GetUsage() & USAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    }
    return native->Name();
}

bool CGfxGlDevice::AttachToFramebuffer(uint32_t fbo, CGfxSurface* colour, CGfxSurface* depth) {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    if (colour) {
        if (colour->GetKind() == CGfxSurface::TEXTURE_LEVEL) {
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                   TextureName(colour->GetTexture()), static_cast<GLint>(colour->GetLevel()));
        } else {
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, RenderbufferName(colour));
        }
    }
    GLuint depthName = depth ? RenderbufferName(depth) : 0;
    bool stencil = depth && depth->GetFormat() != FMT_D16;
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, stencil ? 0 : depthName);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, stencil ? depthName : 0);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

// A framebuffer draws only where all its attachments reach, so a depth
// surface smaller than the colour target (the back buffer's, kept while a
// larger render texture is drawn with depth off) would clip every draw and
// clear to its own size. Such a surface cannot serve that target anyway and
// is left out, as if none were set.
CGfxSurface* CGfxGlDevice::UsableDepth() const {
    CGfxSurface* colour = RenderTarget();
    CGfxSurface* depth = DepthSurface();
    if (!colour || !depth) return nullptr;
    return depth->GetWidth() >= colour->GetWidth() && depth->GetHeight() >= colour->GetHeight() ? depth : nullptr;
}

bool CGfxGlDevice::BindTarget() {
    CGfxSurface* colour = RenderTarget();
    if (!colour) return false;
    CGfxSurface* depth = UsableDepth();
    bool isTexture = colour->GetKind() == CGfxSurface::TEXTURE_LEVEL;
    GLuint colourName = isTexture ? TextureName(colour->GetTexture()) : RenderbufferName(colour);
    GLuint depthName = depth ? RenderbufferName(depth) : 0;
    if (colourName == m_attachedColour && isTexture == m_attachedIsTexture && colour->GetLevel() == m_attachedLevel &&
        depthName == m_attachedDepth) {
        glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
        return true;
    }
    m_attachedColour = colourName;
    m_attachedIsTexture = isTexture;
    m_attachedLevel = colour->GetLevel();
    m_attachedDepth = depthName;
    return AttachToFramebuffer(m_fbo, colour, depth);
}

void CGfxGlDevice::OnChange(Change change, uint32_t a, uint32_t) {
    switch (change) {
        case Change::RenderState:
        case Change::Viewport:
        case Change::RenderTarget:
        case Change::DepthSurface:
            m_stateDirty = true;
            m_uniformsDirty = true;
            break;
        case Change::Transform:
        case Change::Material:
        case Change::Light:
            m_uniformsDirty = true;
            break;
        case Change::Sampler:
            if ((a >> 16) < 2) m_samplerDirty[a >> 16] = true;
            break;
        case Change::Gamma:
            m_context->SetGammaRamp(GetGammaRamp().red, GetGammaRamp().green, GetGammaRamp().blue);
            break;
        default:
            break;
    }
}

void CGfxGlDevice::ApplyRenderState() {
    const auto& r = State().render;
    const Viewport& vp = State().viewport;
    glViewport(static_cast<GLint>(vp.x), static_cast<GLint>(vp.y), static_cast<GLsizei>(vp.width),
               static_cast<GLsizei>(vp.height));
    glDepthRange(vp.minZ, vp.maxZ);
    glDisable(GL_SCISSOR_TEST);
    bool depth = UsableDepth() != nullptr && r[RS_ZENABLE] != 0;
    (depth ? glEnable : glDisable)(GL_DEPTH_TEST);
    glDepthFunc(GlCompare(r[RS_ZFUNC]));
    glDepthMask(r[RS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    (r[RS_ALPHABLENDENABLE] ? glEnable : glDisable)(GL_BLEND);
    glBlendFunc(GlBlend(r[RS_SRCBLEND]), GlBlend(r[RS_DESTBLEND]));
    glBlendEquation(GlBlendOp(r[RS_BLENDOP]));
    // Images are stored top row first, which mirrors the winding: Direct3D's
    // clockwise fronts are counter-clockwise here.
    if (r[RS_CULLMODE] == CULL_NONE) {
        glDisable(GL_CULL_FACE);
    } else {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(r[RS_CULLMODE] == CULL_CW ? GL_FRONT : GL_BACK);
    }
    glPolygonMode(GL_FRONT_AND_BACK, r[RS_FILLMODE] == FILL_WIREFRAME ? GL_LINE
                                     : r[RS_FILLMODE] == FILL_POINT   ? GL_POINT
                                                                      : GL_FILL);
    float bias = BitsFloat(r[RS_DEPTHBIAS]), slope = BitsFloat(r[RS_SLOPESCALEDEPTHBIAS]);
    if (bias != 0.0f || slope != 0.0f) {
        glEnable(GL_POLYGON_OFFSET_FILL);
        // Direct3D's bias is in depth units; GL's in steps of the 24-bit buffer.
        glPolygonOffset(slope, bias * 16777216.0f);
    } else {
        glDisable(GL_POLYGON_OFFSET_FILL);
    }
    uint32_t mask = r[RS_COLORWRITEENABLE];
    glColorMask(mask & 4 ? GL_TRUE : GL_FALSE, mask & 2 ? GL_TRUE : GL_FALSE, mask & 1 ? GL_TRUE : GL_FALSE,
                mask & 8 ? GL_TRUE : GL_FALSE);
    m_stateDirty = false;
}

void CGfxGlDevice::ApplySampler(uint32_t unit) {
    const auto& s = State().sampler[unit];
    GLuint sampler = m_samplers[unit];
    auto wrap = [](uint32_t a) -> GLint {
        switch (a) {
            case TADDRESS_MIRROR:
                return GL_MIRRORED_REPEAT;
            case TADDRESS_CLAMP:
                return GL_CLAMP_TO_EDGE;
            case TADDRESS_BORDER:
                return GL_CLAMP_TO_BORDER;
            default:
                return GL_REPEAT;
        }
    };
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, wrap(s[SAMP_ADDRESSU]));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, wrap(s[SAMP_ADDRESSV]));
    ColorValue border = ColorFromArgb(s[SAMP_BORDERCOLOR]);
    const float borderRgba[4] = {border.r, border.g, border.b, border.a};
    glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, borderRgba);
    bool magLinear = s[SAMP_MAGFILTER] >= TEXF_LINEAR, minLinear = s[SAMP_MINFILTER] >= TEXF_LINEAR;
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
    GLint minFilter;
    switch (s[SAMP_MIPFILTER]) {
        case TEXF_POINT:
            minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
            break;
        case TEXF_LINEAR:
            minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
            break;
        default:
            minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
            break;
    }
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minFilter);
    m_samplerDirty[unit] = false;
}

CGfxGlDevice::Program* CGfxGlDevice::FixedFunctionProgram(const std::vector<GfxVertexElement>& elements) {
    bool pretransformed = false, normal = false, diffuse = false;
    uint32_t sets = 0;
    for (const auto& e : elements) {
        if (e.usage == DECLUSAGE_POSITIONT) pretransformed = true;
        if (e.usage == DECLUSAGE_NORMAL) normal = true;
        if (e.usage == DECLUSAGE_COLOR && e.usageIndex == 0) diffuse = true;
        if (e.usage == DECLUSAGE_TEXCOORD) sets = std::max<uint32_t>(sets, e.usageIndex + 1u);
    }
    const bool textured[2] = {GetTexture(0) != nullptr, GetTexture(1) != nullptr};
    GlFixedFunctionKey key = MakeFixedFunctionKey(State(), pretransformed, normal, diffuse, sets, textured);
    auto it = m_programs.find(key);
    if (it != m_programs.end()) return it->second.get();
    auto program = std::make_unique<Program>();
    program->name = GlLinkProgram(FixedFunctionVertexSource(key), FixedFunctionFragmentSource(key), nullptr);
    if (!program->name) return nullptr;
    GLuint p = program->name;
    auto loc = [p](const char* n) { return glGetUniformLocation(p, n); };
    program->worldView = loc("u_worldView");
    program->projection = loc("u_projection");
    program->viewport = loc("u_viewport");
    program->texMatrix = loc("u_texMatrix");
    program->matDiffuse = loc("u_matDiffuse");
    program->matAmbient = loc("u_matAmbient");
    program->matEmissive = loc("u_matEmissive");
    program->ambient = loc("u_ambient");
    program->lightDiffuse = loc("u_lightDiffuse");
    program->lightAmbient = loc("u_lightAmbient");
    program->lightDir = loc("u_lightDirView");
    program->lightOn = loc("u_lightOn");
    program->fogRange = loc("u_fogRange");
    program->fogColor = loc("u_fogColor");
    program->tfactor = loc("u_tfactor");
    program->alphaRef = loc("u_alphaRef");
    glUseProgram(p);
    glUniform1i(loc("u_tex0"), 0);
    glUniform1i(loc("u_tex1"), 1);
    Program* raw = program.get();
    m_programs.emplace(key, std::move(program));
    return raw;
}

void CGfxGlDevice::SetFixedFunctionUniforms(Program* p) {
    const GfxState& s = State();
    Matrix worldView = s.world * s.view;
    glUniformMatrix4fv(p->worldView, 1, GL_FALSE, &worldView.m[0][0]);
    glUniformMatrix4fv(p->projection, 1, GL_FALSE, &s.projection.m[0][0]);
    glUniform4f(p->viewport, static_cast<float>(s.viewport.x), static_cast<float>(s.viewport.y),
                static_cast<float>(s.viewport.width), static_cast<float>(s.viewport.height));
    glUniformMatrix4fv(p->texMatrix, 2, GL_FALSE, &s.texture[0].m[0][0]);
    auto colour = [](GLint l, const ColorValue& c) { glUniform4f(l, c.r, c.g, c.b, c.a); };
    colour(p->matDiffuse, s.material.diffuse);
    colour(p->matAmbient, s.material.ambient);
    colour(p->matEmissive, s.material.emissive);
    colour(p->ambient, ColorFromArgb(s.render[RS_AMBIENT]));
    colour(p->lightDiffuse, s.light.diffuse);
    colour(p->lightAmbient, s.light.ambient);
    Vec3 dir = Vec3Normalize(Vec3TransformNormal(s.light.direction, s.view));
    glUniform3f(p->lightDir, dir.x, dir.y, dir.z);
    glUniform1i(p->lightOn, s.lightEnabled && s.light.type == LIGHT_DIRECTIONAL ? 1 : 0);
    glUniform2f(p->fogRange, BitsFloat(s.render[RS_FOGSTART]), BitsFloat(s.render[RS_FOGEND]));
    colour(p->fogColor, ColorFromArgb(s.render[RS_FOGCOLOR]));
    colour(p->tfactor, ColorFromArgb(s.render[RS_TEXTUREFACTOR]));
    glUniform1f(p->alphaRef, static_cast<float>(s.render[RS_ALPHAREF] & 0xFF));
}

GfxResult CGfxGlDevice::PrepareEffect(CGfxEffect* effect, std::string* errors) {
    if (!m_context->MakeCurrent()) return GFXERR_DRIVERINTERNALERROR;
    CollectGarbage();
    const GfxEffectDescription& d = effect->Description();
    auto native = std::make_unique<CGlEffectNative>(m_garbage);
    static const char* const kVertexPrelude =
        "#version 330 core\n"
        "vec4 ToClip(vec4 c) { return vec4(c.x, -c.y, c.z * 2.0 - c.w, c.w); }\n";
    for (const auto& technique : d.techniques) {
        native->programs.emplace_back();
        for (const auto& pass : technique.passes) {
            std::string log;
            CGlEffectNative::PassProgram program;
            program.name = GlLinkProgram(kVertexPrelude + d.shaders[pass.vertexShader].source,
                                         "#version 330 core\n" + d.shaders[pass.fragmentShader].source, &log);
            if (!program.name) {
                if (errors) *errors = technique.name + "/" + pass.name + ": " + log;
                effect->SetNative(std::move(native));
                return GFXERR_INVALIDDATA;
            }
            for (const auto& parameter : d.parameters)
                program.locations.push_back(glGetUniformLocation(program.name, parameter.name.c_str()));
            program.stages[0] = glGetUniformLocation(program.name, "u_stage0");
            program.stages[1] = glGetUniformLocation(program.name, "u_stage1");
            native->programs.back().push_back(std::move(program));
        }
    }
    effect->SetNative(std::move(native));
    return GFX_OK;
}

GfxResult CGfxGlDevice::BeginEffectPass(CGfxEffect* effect, uint32_t technique, uint32_t pass) {
    auto* native = OwnNative<CGlEffectNative>(effect, m_garbage.get());
    if (!native || technique >= native->programs.size() || pass >= native->programs[technique].size())
        return GFXERR_INVALIDCALL;
    // Held while the pass runs, so that a release inside it leaves nothing dangling.
    effect->AddDeviceRef();
    if (m_effect) m_effect->ReleaseDeviceRef();
    m_effect = effect;
    m_effectProgram = native->programs[technique][pass].name;
    return GFX_OK;
}

void CGfxGlDevice::EndEffectPass(CGfxEffect*) {
    if (m_effect) m_effect->ReleaseDeviceRef();
    m_effect = nullptr;
    m_effectProgram = 0;
}

void CGfxGlDevice::SendEffectParameters() {
    auto* native = dynamic_cast<CGlEffectNative*>(m_effect->GetNative());
    const auto& program = native->programs[m_effect->TechniqueIndex()][m_effect->CurrentPass()];
    const auto& parameters = m_effect->Description().parameters;
    uint32_t unit = 0;
    for (size_t i = 0; i < parameters.size(); ++i) {
        GLint location = program.locations[i];
        const GfxEffectParameter& p = parameters[i];
        if (location < 0) continue;
        GLsizei n = static_cast<GLsizei>(p.elements);
        switch (p.type) {
            case EPT_FLOAT:
                glUniform1fv(location, n, p.values.data());
                break;
            case EPT_VECTOR:
                glUniform4fv(location, n, p.values.data());
                break;
            case EPT_MATRIX:
                glUniformMatrix4fv(location, n, GL_FALSE, p.values.data());
                break;
            case EPT_BOOL:
            case EPT_INT: {
                std::vector<GLint> ints(p.values.begin(), p.values.end());
                glUniform1iv(location, n, ints.data());
                break;
            }
            case EPT_TEXTURE:
                // Texture parameters take units in their order; the first two use samplers 0 and 1.
                if (unit < 2) {
                    if (m_samplerDirty[unit]) ApplySampler(unit);
                    glBindSampler(unit, m_samplers[unit]);
                } else {
                    glBindSampler(unit, 0);
                }
                BindTextureUnit(unit, p.texture);
                glUniform1i(location, static_cast<GLint>(unit));
                ++unit;
                break;
            default:
                break;
        }
    }
    // Device stages read through u_stage0 / u_stage1, on the units after the parameters'.
    for (uint32_t stage = 0; stage < 2; ++stage) {
        if (program.stages[stage] < 0) continue;
        if (m_samplerDirty[stage]) ApplySampler(stage);
        glBindSampler(unit, m_samplers[stage]);
        BindTextureUnit(unit, GetTexture(stage));
        glUniform1i(program.stages[stage], static_cast<GLint>(unit));
        ++unit;
    }
}

void CGfxGlDevice::BindTextureUnit(uint32_t unit, CGfxTexture* texture) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture ? TextureName(texture) : m_white);
    glActiveTexture(GL_TEXTURE0);
}

GfxResult CGfxGlDevice::DoDraw(const GfxDrawCall& call) {
    if (!m_context->MakeCurrent()) return GFXERR_DRIVERINTERNALERROR;
    CollectGarbage();
    if (!BindTarget()) return GFXERR_INVALIDCALL;
    if (m_stateDirty) ApplyRenderState();

    if (!GetVertexDeclaration() && State().fvf != m_elementsFvf) {
        if (!DeclarationFromFvf(State().fvf, &m_fvfElements)) return GFXERR_INVALIDCALL;
        m_elementsFvf = State().fvf;
    }
    const std::vector<GfxVertexElement>& elements =
        GetVertexDeclaration() ? GetVertexDeclaration()->Elements() : m_fvfElements;

    // Vertex data: the bound stream, or the caller's memory copied into the streaming buffer.
    uint32_t stride = call.vertices ? call.stride : StreamStride();
    uintptr_t base = 0;
    if (call.vertices) {
        uint64_t count = call.indexed ? static_cast<uint64_t>(call.minIndex) + call.numVertices
                                      : static_cast<uint64_t>(call.vertexCount);
        glBindBuffer(GL_ARRAY_BUFFER, m_streamVbo);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * stride), nullptr, GL_STREAM_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * stride), call.vertices);
    } else {
        BufferName(Stream(), false);
        base = StreamOffset();
    }
    for (GLuint i = 0; i < 14; ++i) glDisableVertexAttribArray(i);
    glVertexAttrib4f(2, 1.0f, 1.0f, 1.0f, 1.0f);
    glVertexAttrib4f(3, 0.0f, 0.0f, 0.0f, 0.0f);
    for (const auto& e : elements) {
        if (e.stream != 0 || e.type == DECLTYPE_UNUSED) continue;
        GLuint location;
        switch (e.usage) {
            case DECLUSAGE_POSITION:
            case DECLUSAGE_POSITIONT:
                location = 0;
                break;
            case DECLUSAGE_NORMAL:
                location = 1;
                break;
            case DECLUSAGE_COLOR:
                location = e.usageIndex == 0 ? 2 : 3;
                break;
            case DECLUSAGE_TEXCOORD:
                if (e.usageIndex > 7) continue;
                location = 4u + e.usageIndex;
                break;
            case DECLUSAGE_BLENDWEIGHT:
                location = 12;
                break;
            case DECLUSAGE_BLENDINDICES:
                location = 13;
                break;
            default:
                continue;
        }
        const void* pointer = reinterpret_cast<const void*>(base + e.offset);
        glEnableVertexAttribArray(location);
        if (e.type == DECLTYPE_D3DCOLOR)
            glVertexAttribPointer(location, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, static_cast<GLsizei>(stride), pointer);
        else if (e.type == DECLTYPE_UBYTE4)
            glVertexAttribPointer(location, 4, GL_UNSIGNED_BYTE, GL_FALSE, static_cast<GLsizei>(stride), pointer);
        else if (e.type <= DECLTYPE_FLOAT4)
            glVertexAttribPointer(location, e.type + 1, GL_FLOAT, GL_FALSE, static_cast<GLsizei>(stride), pointer);
    }

    if (m_effectProgram) {
        glUseProgram(m_effectProgram);
        SendEffectParameters();
    } else {
        Program* program = FixedFunctionProgram(elements);
        if (!program) return GFXERR_DRIVERINTERNALERROR;
        glUseProgram(program->name);
        // Uniforms stay with their program; they are sent again only after a change.
        if (program != m_uniformProgram || m_uniformsDirty) {
            SetFixedFunctionUniforms(program);
            m_uniformProgram = program;
            m_uniformsDirty = false;
        }
        for (uint32_t unit = 0; unit < 2; ++unit) {
            if (m_samplerDirty[unit]) ApplySampler(unit);
            glBindSampler(unit, m_samplers[unit]);
            BindTextureUnit(unit, GetTexture(unit));
        }
    }

    GLenum mode = GlPrimitive(call.type);
    if (!call.indexed) {
        glDrawArrays(mode, call.vertices ? 0 : static_cast<GLint>(call.startVertex),
                     static_cast<GLsizei>(call.vertexCount));
    } else {
        GLenum type = call.indexFormat == FMT_INDEX32 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
        uint32_t indexBytes = call.indexFormat == FMT_INDEX32 ? 4 : 2;
        uintptr_t offset = 0;
        if (call.indices) {
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_streamIbo);
            glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(call.vertexCount) * indexBytes, call.indices,
                         GL_STREAM_DRAW);
        } else {
            BufferName(Indices(), true);
            offset = static_cast<uintptr_t>(call.startIndex) * indexBytes;
        }
        glDrawElementsBaseVertex(mode, static_cast<GLsizei>(call.vertexCount), type,
                                 reinterpret_cast<const void*>(offset), call.baseVertex);
    }
    return glGetError() == GL_NO_ERROR ? GFX_OK : GFXERR_DRIVERINTERNALERROR;
}

GfxResult CGfxGlDevice::DoClear(uint32_t count, const GfxRect* rects, uint32_t flags, uint32_t color, float z,
                                uint32_t stencil) {
    if (!m_context->MakeCurrent()) return GFXERR_DRIVERINTERNALERROR;
    CollectGarbage();
    if (!BindTarget()) return GFXERR_INVALIDCALL;
    ColorValue c = ColorFromArgb(color);
    glClearColor(c.r, c.g, c.b, c.a);
    glClearDepth(z);
    glClearStencil(static_cast<GLint>(stencil));
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFFFFFFFFu);
    GLbitfield mask = ((flags & CLEAR_TARGET) ? GL_COLOR_BUFFER_BIT : 0) |
                      ((flags & CLEAR_ZBUFFER) ? GL_DEPTH_BUFFER_BIT : 0) |
                      ((flags & CLEAR_STENCIL) ? GL_STENCIL_BUFFER_BIT : 0);
    // A clear covers the viewport, or the given rectangles inside it.
    const Viewport& vp = State().viewport;
    glEnable(GL_SCISSOR_TEST);
    auto clearRect = [&](int64_t l, int64_t t, int64_t r, int64_t b) {
        l = std::max<int64_t>(l, vp.x);
        t = std::max<int64_t>(t, vp.y);
        r = std::min<int64_t>(r, static_cast<int64_t>(vp.x) + vp.width);
        b = std::min<int64_t>(b, static_cast<int64_t>(vp.y) + vp.height);
        if (r <= l || b <= t) return;
        glScissor(static_cast<GLint>(l), static_cast<GLint>(t), static_cast<GLsizei>(r - l),
                  static_cast<GLsizei>(b - t));
        glClear(mask);
    };
    if (count == 0)
        clearRect(vp.x, vp.y, static_cast<int64_t>(vp.x) + vp.width, static_cast<int64_t>(vp.y) + vp.height);
    for (uint32_t i = 0; i < count; ++i) clearRect(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
    glDisable(GL_SCISSOR_TEST);
    m_stateDirty = true;
    return glGetError() == GL_NO_ERROR ? GFX_OK : GFXERR_DRIVERINTERNALERROR;
}

GfxResult CGfxGlDevice::DoPresent() {
    if (!m_context->MakeCurrent()) return GFXERR_DRIVERINTERNALERROR;
    CollectGarbage();
    if (m_context->HasWindow()) {
        uint32_t w = 0, h = 0;
        m_context->DrawableSize(&w, &h);
        AttachToFramebuffer(m_readFbo, BackBuffer(), nullptr);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_readFbo);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        // Stored top row first; the window wants the bottom row first.
        glBlitFramebuffer(0, 0, static_cast<GLint>(m_params.backBufferWidth),
                          static_cast<GLint>(m_params.backBufferHeight), 0, static_cast<GLint>(h),
                          static_cast<GLint>(w), 0, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        m_context->SwapBuffers();
    } else {
        glFlush();
    }
    return GFX_OK;
}

GfxResult CGfxGlDevice::DoReset(GfxPresentParameters& p) {
    if (!m_context->MakeCurrent()) return GFXERR_DEVICELOST;
    if (p.backBufferWidth == 0 || p.backBufferHeight == 0) {
        m_context->DrawableSize(&p.backBufferWidth, &p.backBufferHeight);
        if (p.backBufferWidth == 0 || p.backBufferHeight == 0) {
            p.backBufferWidth = m_params.backBufferWidth;
            p.backBufferHeight = m_params.backBufferHeight;
        }
    }
    m_context->SetSwapInterval(p.presentationInterval == PRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
    m_attachedColour = m_attachedDepth = 0;
    // Reset sets every state back without notices: everything goes to GL again.
    m_stateDirty = m_samplerDirty[0] = m_samplerDirty[1] = m_uniformsDirty = true;
    return GFX_OK;
}

GfxResult CGfxGlDevice::ReadSurface(CGfxSurface* surface, std::vector<uint32_t>* argb) {
    if (!surface || !argb || surface->GetKind() == CGfxSurface::DEPTH_STENCIL) return GFXERR_INVALIDCALL;
    if (!m_context->MakeCurrent()) return GFXERR_DRIVERINTERNALERROR;
    CollectGarbage();
    if (!AttachToFramebuffer(m_readFbo, surface, nullptr)) return GFXERR_INVALIDCALL;
    argb->assign(static_cast<size_t>(surface->GetWidth()) * surface->GetHeight(), 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_readFbo);
    glReadPixels(0, 0, static_cast<GLsizei>(surface->GetWidth()), static_cast<GLsizei>(surface->GetHeight()), GL_BGRA,
                 GL_UNSIGNED_BYTE, argb->data());
    glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    if (surface->GetFormat() == FMT_X8R8G8B8)
        for (auto& v : *argb) v |= 0xFF000000u;
    return glGetError() == GL_NO_ERROR ? GFX_OK : GFXERR_DRIVERINTERNALERROR;
}

}  // namespace platform
