#include "patcher/mail/MimeAttachment.h"

#include <cstdint>

#include "patcher/mail/MailFormats.h"
#include "patcher/mail/MimeHeader.h"
#include "platform/File.h"

bool CMimeAttachment::Set(const std::string& path, int encoding) {
    m_path.clear();
    if (!SetEncoding(encoding)) return false;
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read)) return false;
    m_path = path;
    const size_t slash = path.find_last_of("/\\");
    m_fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    m_contentType = ContentTypeForFile(m_fileName);
    return true;
}

bool CMimeAttachment::WritePart(IMailWriter& out, const std::string& opening) const {
    if (m_path.empty()) return false;
    platform::File file;
    if (!file.Open(m_path, platform::File::Mode::Read)) return false;
    const std::string name = HeaderParameter(m_fileName);
    const std::string header = opening + "\r\nContent-Type: " + HeaderValue(m_contentType) + ";\r\n\tcharset=\"" +
                               HeaderParameter(m_charset) + "\"\r\n\tname=\"" + name +
                               "\"\r\nContent-Transfer-Encoding: " + EncodingName(Encoding()) +
                               "\r\nContent-Disposition: attachment;\r\n\tfilename=\"" + name + "\"\r\n\r\n";
    if (!out.Write(header)) return false;
    std::unique_ptr<CStream> stream = MakeStream(name);
    uint8_t block[kReadBlock];
    std::string text;
    for (;;) {
        size_t got = 0;
        if (!file.Read(block, sizeof(block), &got)) return false;
        if (got == 0) break;
        text.clear();
        stream->Feed(block, got, text);
        if (!text.empty() && !out.Write(text)) return false;
    }
    text.clear();
    stream->Finish(text);
    return out.Write(text);
}
