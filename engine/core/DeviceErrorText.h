// Start-up wiring of the render device's result-code table into the error
// report, so that a failed device call reads with its name and description.
#pragma once

void InstallDeviceErrorText();
