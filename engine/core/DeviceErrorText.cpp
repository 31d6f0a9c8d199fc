// The platform layer knows nothing of the error report; the engine connects them.
#include "engine/core/DeviceErrorText.h"

#include "engine/core/ErrorReport.h"
#include "platform/GfxErrorText.h"

void InstallDeviceErrorText() { CErrorReport::SetDeviceErrorTextHook(platform::GfxErrorText); }
