// Names and descriptions of device result codes, for the error report's
// "File : %s\nLine : %d\n%s : %s" text of a failed device call. The shape
// matches CErrorReport's device-error hook, which engine start-up installs.
#pragma once

#include <string>

namespace platform {

// Unknown codes get their hexadecimal value as name.
void GfxErrorText(long result, std::string* name, std::string* description);

}  // namespace platform
