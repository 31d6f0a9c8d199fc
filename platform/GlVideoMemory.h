// How much video memory the GL driver says the adapter has. Drivers tell it
// through different extensions, and some not at all.
#pragma once

#include <cstdint>

namespace platform {

// With a current GL context: GL_NVX_gpu_memory_info's dedicated memory, else
// GL_ATI_meminfo's free texture memory; in KB, 0 when neither is offered.
uint32_t CurrentGlVideoMemoryKb();
// Mesa's renderer query (GLX_MESA_query_renderer) on the X display named by
// DISPLAY, in KB; 0 without a display or the extension. Loads libX11 and
// libGLX at run time, so the program needs neither.
uint32_t MesaRendererVideoMemoryKb();

}  // namespace platform
