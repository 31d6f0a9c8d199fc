#include "patcher/mail/CrashReport.h"

#include "patcher/mail/AddressList.h"
#include "patcher/mail/MailFormats.h"
#include "patcher/mail/MimeEncoder.h"
#include "patcher/mail/MimeMessage.h"
#include "patcher/mail/SmtpConnection.h"
#include "platform/CodePage.h"
#include "platform/Crash.h"
#include "platform/File.h"
#include "platform/Ini.h"

namespace {

bool NamesADump(const std::string& name) { return name.find(".dmp") != std::string::npos; }

}  // namespace

void CCrashReport::SetDumpName(const std::string& name, const std::string& folder) {
    m_dumpName = name;
    m_folder = folder;
}

std::string CCrashReport::DumpPath() const { return m_folder + "/" + m_dumpName; }

std::string CCrashReport::BodyText(const std::string& report, const std::string& commandLine,
                                   const std::string& email) {
    return platform::Cp949ToUtf8(report + "//////////////////////////////////////////\r\n" + commandLine + "\r\n" +
                                 email);
}

void CCrashReport::BuildMessage(CMimeMultipartMessage* message, const std::string& body,
                                const Settings& settings) const {
    message->SetFrom(settings.sender);
    message->SetTo(platform::GetProfileString("INFO", "MAIL", "", m_folder + "/VAZE.INI"));
    message->AddTextPart(body, -1, CharsetForCodePage());
    // A dump is sent unchanged, whatever the extension's registered type.
    if (!m_dumpName.empty() && NamesADump(m_dumpName))
        message->AddAttachment(DumpPath(), MIME_BASE64, {}, "application/octet-stream");
}

CCrashReport::SendResult CCrashReport::Send(const std::string& report, const std::string& commandLine,
                                            const std::string& email, const Settings& settings) {
    CMimeMultipartMessage message;
    BuildMessage(&message, BodyText(report, commandLine, email), settings);
    const std::vector<std::string> recipients = message.EnvelopeRecipients();
    if (recipients.empty()) {
        m_lastError = "no recipients: [INFO] MAIL of VAZE.INI is empty";
        return SEND_FAILED;
    }
    std::string domain = settings.mailDomain;
    if (domain.empty()) {
        const size_t at = recipients.front().rfind('@');
        domain = at == std::string::npos ? std::string() : recipients.front().substr(at + 1);
    }

    CSmtpConnection connection;
    connection.SetPort(settings.smtpPort);
    connection.SetReplyTimeout(settings.replyTimeoutMs);
    if (domain.empty() || !connection.ConnectToMx(domain, settings.connectTimeoutMs)) {
        m_lastError = connection.LastError();
        return SEND_NO_EXCHANGER;
    }
    if (!connection.SendMail(message)) {
        m_lastError = connection.LastError();
        connection.Close();
        return SEND_FAILED;
    }
    connection.Close();
    DeleteDump();
    return SEND_OK;
}

void CCrashReport::Cancel() { DeleteDump(); }

bool CCrashReport::DumpDeletable() const {
    if (m_dumpName.empty() || !NamesADump(m_dumpName)) return false;
    if (m_dumpName.find_first_of("/\\") != std::string::npos || m_dumpName.find("..") != std::string::npos)
        return false;
    platform::CrashDump dump;
    return platform::ReadCrashDump(DumpPath(), &dump);
}

void CCrashReport::DeleteDump() {
    if (DumpDeletable()) platform::DeleteFile(DumpPath());
}
