// A mail message: its header fields and its part. A plain message holds one
// part; CMimeMultipartMessage holds several. A message may also be a part
// of another message (message/rfc822).
//
// Texts given to a message are UTF-8 (code page 949 texts are converted
// before they get here); header values are kept on one line.
#pragma once

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "patcher/mail/MimePart.h"

class CMimeMessage : public CMimePart {
public:
    void SetFrom(std::string address) { m_from = std::move(address); }
    // The To and CC lists, parsed with ParseAddressList.
    void SetTo(std::string_view list);
    void SetCc(std::string_view list);
    void SetSubject(std::string subject) { m_subject = std::move(subject); }
    // The "X-Priority" value (3 unless set).
    void SetPriority(int priority) { m_priority = priority; }
    // Further header lines, each ended by CRLF, written after X-Priority.
    void SetExtraHeader(std::string text) { m_extraHeader = std::move(text); }
    // The time of the Date header (the time of writing unless set).
    void SetDate(time_t when) { m_date = when; }
    // The name under which the message is attached to another message.
    void SetAttachmentName(std::string name) { m_attachmentName = std::move(name); }

    // Adds a text part; length -1 takes the whole text; an empty charset
    // takes CharsetForCodePage().
    bool AddTextPart(std::string_view text, long length = -1, std::string charset = {});
    // Adds a file attachment; false, and nothing added, when the file cannot
    // be opened or the encoding is unknown. An empty content type is looked up
    // by the file's extension.
    bool AddAttachment(const std::string& path, int encoding = 0, std::string charset = {},
                       std::string contentType = {});
    virtual bool AddPart(std::unique_ptr<CMimePart> part);
    size_t PartCount() const { return m_parts.size(); }

    const std::string& From() const { return m_from; }
    const std::vector<std::string>& To() const { return m_to; }
    const std::vector<std::string>& Cc() const { return m_cc; }
    // The envelope: the sender's address, and every address of To and CC.
    std::string EnvelopeSender() const;
    std::vector<std::string> EnvelopeRecipients() const;

    // Writes the whole message; false when a write or a part fails.
    virtual bool Send(IMailWriter& out) const;
    bool WritePart(IMailWriter& out, const std::string& opening) const override;

protected:
    // Date, From, Subject, To, CC, X-Priority and the extra header.
    std::string HeaderFields() const;

    std::vector<std::unique_ptr<CMimePart>> m_parts;

private:
    std::string m_from;
    std::vector<std::string> m_to;
    std::vector<std::string> m_cc;
    std::string m_subject;
    int m_priority = 3;
    std::string m_extraHeader;
    time_t m_date = -1;
    std::string m_attachmentName = "message.eml";
};

class CMimeMultipartMessage : public CMimeMessage {
public:
    bool AddPart(std::unique_ptr<CMimePart> part) override;
    // With two or more parts: the multipart header and each part behind its
    // boundary; with fewer, a plain message.
    bool Send(IMailWriter& out) const override;

    // "------=_Next_Part_" with the tick count (ten digits) and a number below 1000 (three digits).
    static std::string MakeBoundary();
};
