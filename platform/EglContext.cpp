// Headless GL through EGL: the surfaceless platform first, then the default
// display, with a context that has no surface at all (the device renders
// into framebuffers of its own).
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "platform/GlContext.h"

namespace platform {

namespace {

// One display for the process, initialised once and never terminated: the
// driver is a process-wide object anyway, and terminating it unloads the
// driver with memory of its own still allocated.
EGLDisplay SharedDisplay() {
    static EGLDisplay display = [] {
        EGLDisplay d = EGL_NO_DISPLAY;
        auto getPlatformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getPlatformDisplay) d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) return d;
        d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) return d;
        return EGL_NO_DISPLAY;
    }();
    return display;
}

class CEglContext : public CGlContext {
public:
    ~CEglContext() override {
        if (m_display != EGL_NO_DISPLAY) {
            eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            if (m_context != EGL_NO_CONTEXT) eglDestroyContext(m_display, m_context);
        }
    }

    bool Open() {
        m_display = SharedDisplay();
        if (m_display == EGL_NO_DISPLAY) return false;
        if (!eglBindAPI(EGL_OPENGL_API)) return false;
        EGLConfig config = nullptr;
        EGLint count = 0;
        const EGLint configAttrs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        eglChooseConfig(m_display, configAttrs, &config, 1, &count);
        const EGLint contextAttrs[] = {
            EGL_CONTEXT_MAJOR_VERSION,           3,       EGL_CONTEXT_MINOR_VERSION, 3, EGL_CONTEXT_OPENGL_PROFILE_MASK,
            EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
        m_context = eglCreateContext(m_display, count ? config : EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, contextAttrs);
        return m_context != EGL_NO_CONTEXT && MakeCurrent();
    }

    bool MakeCurrent() override {
        if (eglGetCurrentContext() == m_context) return true;
        return eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_context) == EGL_TRUE;
    }

private:
    EGLDisplay m_display = EGL_NO_DISPLAY;
    EGLContext m_context = EGL_NO_CONTEXT;
};

}  // namespace

std::unique_ptr<CGlContext> CreateHeadlessGlContext() {
    auto context = std::make_unique<CEglContext>();
    if (!context->Open()) return nullptr;
    return context;
}

}  // namespace platform
