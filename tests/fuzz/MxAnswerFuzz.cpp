// DNS answers from a name server, on any bytes: MX exchangers are read or the
// answer is refused, never read past its end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Dns.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> hosts;
    platform::ParseMxAnswer(data, size, &hosts);
    return 0;
}
