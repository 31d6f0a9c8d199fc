// The patch dialog's notice page as a server sends it: UTF-8, or code page
// 949 converted for the view. Whatever arrives, the view gets valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/CodePage.h"
#include "platform/Dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string page(reinterpret_cast<const char*>(data), size);
    std::string shown = platform::IsValidUtf8(page) ? page : platform::Cp949ToUtf8(page);
    if (!platform::IsValidUtf8(shown)) std::abort();
    return 0;
}
