// The result-code table.
#include "platform/GfxErrorText.h"

#include <cstdint>
#include <cstdio>

#include "platform/GfxTypes.h"

namespace platform {

namespace {
struct Entry {
    GfxResult code;
    const char* name;
    const char* description;
};

const Entry kEntries[] = {
    {GFX_OK, "D3D_OK", "No error occurred."},
    {GFXERR_WRONGTEXTUREFORMAT, "D3DERR_WRONGTEXTUREFORMAT", "The pixel format of the texture cannot be used here."},
    {GFXERR_UNSUPPORTEDCOLOROPERATION, "D3DERR_UNSUPPORTEDCOLOROPERATION", "The colour operation is not supported."},
    {GFXERR_UNSUPPORTEDCOLORARG, "D3DERR_UNSUPPORTEDCOLORARG", "The colour argument is not supported."},
    {GFXERR_UNSUPPORTEDALPHAOPERATION, "D3DERR_UNSUPPORTEDALPHAOPERATION", "The alpha operation is not supported."},
    {GFXERR_UNSUPPORTEDALPHAARG, "D3DERR_UNSUPPORTEDALPHAARG", "The alpha argument is not supported."},
    {GFXERR_TOOMANYOPERATIONS, "D3DERR_TOOMANYOPERATIONS",
     "More texture operations were asked for than the device has."},
    {GFXERR_CONFLICTINGTEXTUREFILTER, "D3DERR_CONFLICTINGTEXTUREFILTER",
     "The texture filters cannot be used together."},
    {GFXERR_UNSUPPORTEDFACTORVALUE, "D3DERR_UNSUPPORTEDFACTORVALUE", "The texture factor value is not supported."},
    {GFXERR_CONFLICTINGRENDERSTATE, "D3DERR_CONFLICTINGRENDERSTATE", "The render states cannot be used together."},
    {GFXERR_UNSUPPORTEDTEXTUREFILTER, "D3DERR_UNSUPPORTEDTEXTUREFILTER", "The texture filter is not supported."},
    {GFXERR_DRIVERINTERNALERROR, "D3DERR_DRIVERINTERNALERROR", "The graphics driver failed internally."},
    {GFXERR_NOTFOUND, "D3DERR_NOTFOUND", "The requested item was not found."},
    {GFXERR_MOREDATA, "D3DERR_MOREDATA", "There is more data than the given buffer holds."},
    {GFXERR_DEVICELOST, "D3DERR_DEVICELOST", "The device is lost and cannot be reset yet."},
    {GFXERR_DEVICENOTRESET, "D3DERR_DEVICENOTRESET", "The device is lost and can be reset now."},
    {GFXERR_NOTAVAILABLE, "D3DERR_NOTAVAILABLE", "The device does not offer the requested feature."},
    {GFXERR_OUTOFVIDEOMEMORY, "D3DERR_OUTOFVIDEOMEMORY", "There is not enough display memory."},
    {GFXERR_INVALIDDEVICE, "D3DERR_INVALIDDEVICE", "The requested device type is not valid."},
    {GFXERR_INVALIDCALL, "D3DERR_INVALIDCALL", "The call is not valid, for example because of a bad argument."},
    {GFXERR_WASSTILLDRAWING, "D3DERR_WASSTILLDRAWING", "The surface is still being drawn to."},
    {GFXERR_INVALIDDATA, "D3DXERR_INVALIDDATA", "The data is not valid."},
    {GFXERR_OUTOFMEMORY, "E_OUTOFMEMORY", "There is not enough memory."},
    {GFXERR_FAIL, "E_FAIL", "An unspecified error occurred."},
    {GFXERR_INVALIDARG, "E_INVALIDARG", "An argument is not valid."},
};
}  // namespace

void GfxErrorText(long result, std::string* name, std::string* description) {
    // The hook carries the 32-bit result widened to long; compare on the low 32 bits.
    uint32_t code = static_cast<uint32_t>(static_cast<unsigned long>(result) & 0xFFFFFFFFul);
    for (const Entry& e : kEntries) {
        if (static_cast<uint32_t>(e.code) == code) {
            if (name) *name = e.name;
            if (description) *description = e.description;
            return;
        }
    }
    char buf[32];
    std::snprintf(buf, sizeof(buf), "0x%08X", code);
    if (name) *name = buf;
    if (description) *description = "Unknown error.";
}

}  // namespace platform
