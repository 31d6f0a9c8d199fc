// The platform layer knows nothing of the error report; the engine connects them.
#include "engine/DeviceErrorText.h"

#include "engine/ErrorReport.h"
#include "platform/GfxErrorText.h"

void InstallDeviceErrorText() { CErrorReport::SetDeviceErrorTextHook(platform::GfxErrorText); }
