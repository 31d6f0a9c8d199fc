// The parts of a mail message. A message never exists as one text: while the
// SMTP session is in its DATA phase the message writes its header, each
// part's header and each part's content straight to the connection, and an
// attachment is read and encoded block by block.
#pragma once

#include <string>

#include "patcher/mail/MailWriter.h"

class CMimePart {
public:
    virtual ~CMimePart() = default;

    // Writes the part: `opening` (the boundary line of a multipart message,
    // or "MIME-Version: 1.0" when the part is a message's only one), the
    // part's header fields and its content.
    virtual bool WritePart(IMailWriter& out, const std::string& opening) const = 0;

    const std::string& Charset() const { return m_charset; }
    void SetCharset(std::string charset) { m_charset = std::move(charset); }

protected:
    std::string m_charset = "iso-8859-1";
};
