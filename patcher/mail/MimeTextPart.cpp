#include "patcher/mail/MimeTextPart.h"

#include "patcher/mail/MimeHeader.h"

CMimeTextPart::CMimeTextPart(std::string text, std::string charset) : m_text(std::move(text)) {
    SetCharset(std::move(charset));
}

bool CMimeTextPart::WritePart(IMailWriter& out, const std::string& opening) const {
    const std::string header = opening + "\r\nContent-Type: text/plain;\r\n\tcharset=\"" + HeaderParameter(m_charset) +
                               "\"\r\nContent-Transfer-Encoding: 8bit\r\n\r\n";
    return out.Write(header) && out.Write(m_text);
}
