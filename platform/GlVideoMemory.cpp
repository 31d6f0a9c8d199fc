#include "platform/GlVideoMemory.h"

#include <GL/gl.h>
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

constexpr GLenum kNvxDedicatedVidmemKb = 0x9047;  // GL_GPU_MEMORY_INFO_DEDICATED_VIDMEM_NVX
constexpr GLenum kAtiTextureFreeMemory = 0x87FC;  // GL_TEXTURE_FREE_MEMORY_ATI
constexpr int kMesaRendererVideoMemory = 0x8187;  // GLX_RENDERER_VIDEO_MEMORY_MESA, in MB

bool HasExtension(const char* name) {
    using GetStringi = const GLubyte* (*)(GLenum, GLuint);
    auto getStringi = reinterpret_cast<GetStringi>(dlsym(RTLD_DEFAULT, "glGetStringi"));
    if (!getStringi) return false;
    GLint count = 0;
    glGetIntegerv(0x821D /* GL_NUM_EXTENSIONS */, &count);
    for (GLint i = 0; i < count; ++i) {
        const char* e = reinterpret_cast<const char*>(getStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (e && std::strcmp(e, name) == 0) return true;
    }
    return false;
}

// Opened once and kept: unloading a GL vendor library leaves its memory behind.
void* Symbol(const char* library, const char* name) {
    void* handle = dlopen(library, RTLD_LAZY | RTLD_LOCAL);
    return handle ? dlsym(handle, name) : nullptr;
}

}  // namespace

uint32_t CurrentGlVideoMemoryKb() {
    GLint values[4] = {};
    if (HasExtension("GL_NVX_gpu_memory_info")) {
        glGetIntegerv(kNvxDedicatedVidmemKb, values);
        if (glGetError() == GL_NO_ERROR && values[0] > 0) return static_cast<uint32_t>(values[0]);
    }
    if (HasExtension("GL_ATI_meminfo")) {
        glGetIntegerv(kAtiTextureFreeMemory, values);
        if (glGetError() == GL_NO_ERROR && values[0] > 0) return static_cast<uint32_t>(values[0]);
    }
    return 0;
}

uint32_t MesaRendererVideoMemoryKb() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return 0;
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);
    using DefaultScreen = int (*)(void*);
    using QueryRenderer = int (*)(void*, int, int, int, unsigned int*);
    using GetProc = void* (*)(const unsigned char*);
    auto open = reinterpret_cast<OpenDisplay>(Symbol("libX11.so.6", "XOpenDisplay"));
    auto close = reinterpret_cast<CloseDisplay>(Symbol("libX11.so.6", "XCloseDisplay"));
    auto screenOf = reinterpret_cast<DefaultScreen>(Symbol("libX11.so.6", "XDefaultScreen"));
    auto getProc = reinterpret_cast<GetProc>(Symbol("libGLX.so.0", "glXGetProcAddressARB"));
    if (!getProc) getProc = reinterpret_cast<GetProc>(Symbol("libGL.so.1", "glXGetProcAddressARB"));
    auto query = getProc ? reinterpret_cast<QueryRenderer>(
                               getProc(reinterpret_cast<const unsigned char*>("glXQueryRendererIntegerMESA")))
                         : nullptr;
    if (!open || !close || !screenOf || !query) return 0;
    void* dpy = open(display);
    if (!dpy) return 0;
    unsigned int megabytes = 0;
    const bool told = query(dpy, screenOf(dpy), 0, kMesaRendererVideoMemory, &megabytes) != 0;
    close(dpy);
    if (!told || megabytes == 0) return 0;
    return megabytes > 0x3FFFFFu ? 0xFFFFFFFFu : megabytes * 1024u;
}

}  // namespace platform
