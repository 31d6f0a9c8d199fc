// A file attached to a message. The file is only checked when the part is
// set up; its bytes are read and encoded block by block as the part is
// written, so a large file never sits in memory.
#pragma once

#include <string>

#include "patcher/mail/MimeEncoder.h"

class CMimeAttachment : public CMimeEncoder {
public:
    // Bytes read from the file per block.
    static constexpr size_t kReadBlock = 4096;

    // Sets the part up for a file (host path) in an encoding: false, and the
    // part unusable, when the encoding is unknown or the file cannot be opened.
    bool Set(const std::string& path, int encoding = MIME_BASE64);
    bool WritePart(IMailWriter& out, const std::string& opening) const override;

    const std::string& FileName() const { return m_fileName; }
    const std::string& ContentType() const { return m_contentType; }
    // Replaces the type that the extension gave.
    void SetContentType(std::string type) { m_contentType = std::move(type); }

private:
    std::string m_path;
    std::string m_fileName;
    std::string m_contentType;
};
