#include "engine/core/DeviceErrorText.h"

#include <gtest/gtest.h>

#include "engine/core/ErrorReport.h"
#include "platform/GfxTypes.h"

TEST(DeviceErrorText, FailedDeviceCallsReadWithNameAndDescription) {
    InstallDeviceErrorText();
    CErrorReport report(false);
    struct Case {
        long result;
        const char* text;
    } cases[] = {
        {platform::GFXERR_DEVICELOST,
         "File : ZEMMesh\nLine : 42\nD3DERR_DEVICELOST : The device is lost and cannot be reset yet."},
        // The same code as an unsigned 32-bit word, the way a caller may widen it.
        {static_cast<long>(0x8876086Cul),
         "File : ZEMMesh\nLine : 42\nD3DERR_INVALIDCALL : The call is not valid, for example because of a bad "
         "argument."},
        {platform::GFXERR_OUTOFMEMORY, "File : ZEMMesh\nLine : 42\nE_OUTOFMEMORY : There is not enough memory."},
        {0x12345, "File : ZEMMesh\nLine : 42\n0x00012345 : Unknown error."},
    };
    for (const auto& c : cases) {
        report.SetDxError(ERR_DEVICE_CALL, "ZEMMesh", 42, c.result);
        EXPECT_EQ(report.GetCode(), ERR_DEVICE_CALL);
        EXPECT_EQ(report.Text(), c.text);
    }
    CErrorReport::SetDeviceErrorTextHook(nullptr);
}
