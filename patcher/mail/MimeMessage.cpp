#include "patcher/mail/MimeMessage.h"

#include <cstdio>

#include "patcher/mail/AddressList.h"
#include "patcher/mail/MailFormats.h"
#include "patcher/mail/MimeAttachment.h"
#include "patcher/mail/MimeHeader.h"
#include "patcher/mail/MimeTextPart.h"
#include "platform/Clock.h"
#include "platform/CrtRandom.h"

namespace {

std::string JoinList(const std::vector<std::string>& list) {
    std::string out;
    for (const std::string& entry : list) {
        if (!out.empty()) out += ", ";
        out += HeaderValue(entry);
    }
    return out;
}

}  // namespace

void CMimeMessage::SetTo(std::string_view list) { m_to = ParseAddressList(list); }
void CMimeMessage::SetCc(std::string_view list) { m_cc = ParseAddressList(list); }

bool CMimeMessage::AddTextPart(std::string_view text, long length, std::string charset) {
    if (length >= 0 && static_cast<size_t>(length) < text.size()) text = text.substr(0, static_cast<size_t>(length));
    if (charset.empty()) charset = CharsetForCodePage();
    return AddPart(std::make_unique<CMimeTextPart>(std::string(text), std::move(charset)));
}

bool CMimeMessage::AddAttachment(const std::string& path, int encoding, std::string charset, std::string contentType) {
    auto part = std::make_unique<CMimeAttachment>();
    if (!charset.empty()) part->SetCharset(std::move(charset));
    if (!part->Set(path, encoding)) return false;
    if (!contentType.empty()) part->SetContentType(std::move(contentType));
    return AddPart(std::move(part));
}

bool CMimeMessage::AddPart(std::unique_ptr<CMimePart> part) {
    // A plain message carries one part; more need a multipart message.
    if (!part || !m_parts.empty()) return false;
    m_parts.push_back(std::move(part));
    return true;
}

std::string CMimeMessage::EnvelopeSender() const { return EnvelopeAddress(m_from); }

std::vector<std::string> CMimeMessage::EnvelopeRecipients() const {
    std::vector<std::string> out;
    for (const std::vector<std::string>* list : {&m_to, &m_cc})
        for (const std::string& entry : *list)
            if (std::string address = EnvelopeAddress(entry); !address.empty()) out.push_back(std::move(address));
    return out;
}

std::string CMimeMessage::HeaderFields() const {
    std::string h = "Date: " + MailDate(m_date == -1 ? time(nullptr) : m_date) + "\r\n";
    h += "From: " + HeaderValue(m_from) + "\r\n";
    h += "Subject: " + HeaderText(m_subject, "utf-8") + "\r\n";
    h += "To: " + JoinList(m_to) + "\r\n";
    if (!m_cc.empty()) h += "CC: " + JoinList(m_cc) + "\r\n";
    char priority[32];
    std::snprintf(priority, sizeof(priority), "X-Priority: %d\r\n", m_priority);
    return h + priority + m_extraHeader;
}

bool CMimeMessage::Send(IMailWriter& out) const {
    if (!out.Write(HeaderFields())) return false;
    // The only part opens with the MIME version and continues the header.
    if (m_parts.empty()) return out.Write("\r\n");
    return m_parts.front()->WritePart(out, "MIME-Version: 1.0");
}

bool CMimeMessage::WritePart(IMailWriter& out, const std::string& opening) const {
    const std::string name = HeaderParameter(m_attachmentName);
    const std::string header = opening + "\r\nContent-Type: message/rfc822;\r\n\tname=\"" + name +
                               "\"\r\nContent-Transfer-Encoding: 8bit\r\nContent-Disposition: attachment;\r\n"
                               "\tfilename=\"" +
                               name + "\"\r\n\r\n";
    return out.Write(header) && Send(out);
}

bool CMimeMultipartMessage::AddPart(std::unique_ptr<CMimePart> part) {
    if (!part) return false;
    m_parts.push_back(std::move(part));
    return true;
}

std::string CMimeMultipartMessage::MakeBoundary() {
    char text[64];
    std::snprintf(text, sizeof(text), "------=_Next_Part_%.10u.%.3u", static_cast<unsigned>(platform::TimeGetTime()),
                  static_cast<unsigned>(platform::CrtRand() % 1000));
    return text;
}

bool CMimeMultipartMessage::Send(IMailWriter& out) const {
    if (m_parts.size() < 2) return CMimeMessage::Send(out);
    const std::string boundary = MakeBoundary();
    if (!out.Write(HeaderFields() + "MIME-Version: 1.0\r\nContent-Type: multipart/mixed;\r\n\tboundary=\"" + boundary +
                   "\"\r\n"))
        return false;
    const std::string opening = "\r\n\r\n--" + boundary;
    for (const std::unique_ptr<CMimePart>& part : m_parts)
        if (!part->WritePart(out, opening)) return false;
    return out.Write("\r\n\r\n--" + boundary + "--\r\n");
}
