#include "patcher/mail/MimeEncoder.h"

#include "patcher/mail/MimeEncoding.h"

namespace {

template <typename Encoder>
class CStreamOf : public CMimeEncoder::CStream {
public:
    template <typename... Args>
    explicit CStreamOf(Args&&... args) : m_encoder(std::forward<Args>(args)...) {}
    void Feed(const uint8_t* data, size_t size, std::string& out) override { m_encoder.Feed(data, size, out); }
    void Finish(std::string& out) override { m_encoder.Finish(out); }

private:
    Encoder m_encoder;
};

}  // namespace

bool CMimeEncoder::SetEncoding(int encoding) {
    if (!IsValidEncoding(encoding)) return false;
    m_encoding = encoding;
    return true;
}

const char* CMimeEncoder::EncodingName(int encoding) {
    switch (encoding) {
        case MIME_BASE64:
            return "base64";
        case MIME_UUENCODE:
            return "uuencode";
        case MIME_QUOTED_PRINTABLE:
            return "quoted-printable";
        default:
            return "";
    }
}

std::unique_ptr<CMimeEncoder::CStream> CMimeEncoder::MakeStream(const std::string& fileName) const {
    switch (m_encoding) {
        case MIME_UUENCODE:
            return std::make_unique<CStreamOf<CUuencodeStream>>(fileName);
        case MIME_QUOTED_PRINTABLE:
            return std::make_unique<CStreamOf<CQuotedPrintableStream>>();
        default:
            return std::make_unique<CStreamOf<CBase64Stream>>();
    }
}
