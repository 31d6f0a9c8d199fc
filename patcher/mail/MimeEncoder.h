// A part whose content travels in a transfer encoding.
#pragma once

#include <memory>
#include <string>

#include "patcher/mail/MimePart.h"

enum MimeEncoding : int { MIME_BASE64 = 0, MIME_UUENCODE = 1, MIME_QUOTED_PRINTABLE = 2 };

class CMimeEncoder : public CMimePart {
public:
    // 0 "base64", 1 "uuencode", 2 "quoted-printable"; other values are refused.
    bool SetEncoding(int encoding);
    int Encoding() const { return m_encoding; }
    static bool IsValidEncoding(int encoding) { return encoding >= MIME_BASE64 && encoding <= MIME_QUOTED_PRINTABLE; }
    static const char* EncodingName(int encoding);

    // Encodes data block by block in the part's encoding; Feed and Finish
    // append the encoded text to out.
    class CStream {
    public:
        virtual ~CStream() = default;
        virtual void Feed(const uint8_t* data, size_t size, std::string& out) = 0;
        virtual void Finish(std::string& out) = 0;
    };
    // The stream of the part's encoding; uuencode names the file in its first line.
    std::unique_ptr<CStream> MakeStream(const std::string& fileName) const;

private:
    int m_encoding = MIME_BASE64;
};
