// Address lists from VAZE.INI or a header, on any text: every envelope
// address that comes out is free of line breaks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "patcher/mail/AddressList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& entry : ParseAddressList(text)) {
        if (entry.empty()) std::abort();
        const std::string address = EnvelopeAddress(entry);
        if (address.size() > entry.size()) std::abort();
    }
    ExtractEnvelopeAddresses(text);
    return 0;
}
