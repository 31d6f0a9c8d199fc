// The SMTP reply reader on any server bytes, fed whole and split at every
// byte: both ways give the same outcome.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "patcher/mail/SmtpReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CSmtpReply whole;
    size_t used = 0;
    whole.Feed(bytes, &used);
    if (used > size) std::abort();
    CSmtpReply split;
    for (size_t i = 0; i < used && split.GetState() == CSmtpReply::REPLY_PENDING; ++i) split.Feed(bytes.substr(i, 1));
    if (split.GetState() != whole.GetState() || split.Text() != whole.Text()) std::abort();
    if (whole.GetState() == CSmtpReply::REPLY_DONE && (whole.Code() < 0 || whole.Code() > 999)) std::abort();
    return 0;
}
