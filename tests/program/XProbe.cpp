#include "tests/program/XProbe.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
Display* D(void* p) { return static_cast<Display*>(p); }
// Windows come and go while the client starts: a request about one that is
// gone fails, and the probe just tries again (Xlib's own handler would end
// the test program).
int IgnoreXError(Display*, XErrorEvent*) { return 0; }
}  // namespace

XProbe::XProbe() : m_display(XOpenDisplay(nullptr)) { XSetErrorHandler(&IgnoreXError); }

XProbe::~XProbe() {
    if (m_display) XCloseDisplay(D(m_display));
}

unsigned long XProbe::FindWindow(const std::string& title) {
    Display* display = D(m_display);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (title == name) found = children[i];
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

uint32_t XProbe::CentrePixel(unsigned long window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(D(m_display), window, &attributes)) return ~0u;
    return Pixel(window, attributes.width / 2, attributes.height / 2);
}

uint32_t XProbe::Pixel(unsigned long window, int x, int y) {
    Display* display = D(m_display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return ~0u;
    if (x < 0 || y < 0 || x >= attributes.width || y >= attributes.height) return ~0u;
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0u;
    const uint32_t pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0) & 0xFFFFFF);
    XDestroyImage(image);
    return pixel;
}

void XProbe::SendCloseRequest(unsigned long window) {
    Display* display = D(m_display);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}
