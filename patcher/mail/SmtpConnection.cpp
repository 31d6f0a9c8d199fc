#include "patcher/mail/SmtpConnection.h"

#include <chrono>

#include "patcher/mail/MimeMessage.h"
#include "patcher/mail/SmtpDataWriter.h"
#include "platform/Dns.h"

namespace {

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// An address that could break the command line it goes into.
bool IsSafeAddress(std::string_view address) {
    if (address.empty()) return false;
    for (char c : address) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x21 || b == 0x7F || c == '<' || c == '>') return false;
    }
    return true;
}

}  // namespace

int LookupMxHosts(const std::string& domain, std::vector<std::string>* hosts) {
    return platform::DnsQueryMx(domain, hosts);
}

bool CSmtpConnection::Fail(std::string text) {
    m_lastError = std::move(text);
    return false;
}

int CSmtpConnection::FailReply(std::string text) {
    Fail(std::move(text));
    return 0;
}

bool CSmtpConnection::ConnectToMx(const std::string& domain, int timeoutMs) {
    std::vector<std::string> hosts;
    const int status = LookupMxHosts(domain, &hosts);
    if (status != platform::DNS_OK || hosts.empty())
        return Fail("no mail exchanger for " + domain + " (DNS status " + std::to_string(status) + ")");
    for (const std::string& host : hosts)
        if (Connect(host, timeoutMs)) return true;
    return false;
}

bool CSmtpConnection::Connect(const std::string& host, int timeoutMs) {
    Close();
    const std::vector<std::string> addresses = platform::ResolveIPv4(host);
    if (addresses.empty()) return Fail("cannot resolve " + host);
    m_socket = platform::SocketOpen(platform::SOCKET_STREAM);
    if (m_socket == platform::kInvalidSocket) return Fail("no socket");
    if (!platform::SocketConnect(m_socket, addresses.front().c_str(), m_port, timeoutMs)) {
        const int error = platform::SocketLastError();
        Close();
        return Fail("cannot connect to " + host + " (" + std::to_string(error) + ")");
    }
    const int greeting = ReadReply();
    if (greeting != 220 && greeting != 0) Fail("greeting refused: " + LastReply());
    if (greeting != 220 || !SendCommand("HELO " + platform::LocalHostName() + "\r\n", 250)) {
        const std::string why = m_lastError;
        Close();
        return Fail(host + ": " + why);
    }
    return true;
}

bool CSmtpConnection::SendMail(const CMimeMessage& message) {
    if (!IsOpen()) return Fail("not connected");
    const std::string sender = message.EnvelopeSender();
    const std::vector<std::string> recipients = message.EnvelopeRecipients();
    if (recipients.empty()) return Fail("the message has no recipients");
    if (!IsSafeAddress(sender)) return Fail("bad sender address");
    for (const std::string& r : recipients)
        if (!IsSafeAddress(r)) return Fail("bad recipient address");

    if (!SendCommand("MAIL FROM:<" + sender + ">\r\n", 250)) return false;
    for (const std::string& r : recipients) {
        if (!SendCommand("RCPT TO:<" + r + ">\r\n", 250, 251)) {
            const std::string why = m_lastError;
            Reset();
            return Fail(why);
        }
    }
    if (!SendCommand("DATA\r\n", 354)) {
        const std::string why = m_lastError;
        Reset();
        return Fail(why);
    }
    CSmtpDataWriter data([this](std::string_view text) { return SocketWrite(text); });
    if (!message.Send(data) || !data.Finish())
        return Fail(m_lastError.empty() ? "the message was not written" : m_lastError);
    if (ReadReply() != 250) {
        const std::string why = m_lastError.empty() ? "data refused: " + LastReply() : m_lastError;
        Reset();
        return Fail(why);
    }
    return true;
}

bool CSmtpConnection::Reset() { return SendCommand("RSET\r\n", 250); }

bool CSmtpConnection::Close() {
    m_pending.clear();
    m_reply.Clear();
    if (!IsOpen()) return false;
    platform::SocketClose(m_socket);
    m_socket = platform::kInvalidSocket;
    return true;
}

bool CSmtpConnection::SocketWrite(std::string_view data) {
    if (!IsOpen()) return Fail("not connected");
    size_t done = 0;
    const int64_t deadline = NowMs() + m_replyTimeoutMs;
    while (done < data.size()) {
        const long n = platform::SocketSend(m_socket, data.data() + done, data.size() - done);
        if (n < 0) return Fail("send failed (" + std::to_string(platform::SocketLastError()) + ")");
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        const int64_t left = deadline - NowMs();
        if (left <= 0 || platform::SocketWaitFor(m_socket, platform::SOCKET_WRITABLE, static_cast<int>(left)) <= 0)
            return Fail("send timed out");
    }
    return true;
}

int CSmtpConnection::ReadReply() {
    m_reply.Clear();
    m_lastError.clear();
    if (!IsOpen()) return FailReply("not connected");
    const int64_t deadline = NowMs() + m_replyTimeoutMs;
    char buffer[4096];
    for (;;) {
        if (!m_pending.empty()) {
            size_t used = 0;
            m_reply.Feed(m_pending, &used);
            m_pending.erase(0, used);
        }
        if (m_reply.GetState() == CSmtpReply::REPLY_DONE) return m_reply.Code();
        if (m_reply.GetState() == CSmtpReply::REPLY_BAD)
            return FailReply("bad reply: " + m_reply.Text().substr(0, 200));
        const int64_t left = deadline - NowMs();
        const int ready =
            left > 0 ? platform::SocketWaitFor(m_socket, platform::SOCKET_READABLE, static_cast<int>(left)) : 0;
        if (ready == 0) return FailReply("no reply in time");
        if (ready < 0) return FailReply("wait failed");
        const long n = platform::SocketRecv(m_socket, buffer, sizeof(buffer));
        if (n < 0) return FailReply("receive failed (" + std::to_string(platform::SocketLastError()) + ")");
        if (n == 0) return FailReply("the server closed the connection");
        m_pending.append(buffer, static_cast<size_t>(n));
    }
}

bool CSmtpConnection::SendCommand(const std::string& text, int expected, int alsoAccepted) {
    if (!SocketWrite(text)) return false;
    const int code = ReadReply();
    if (code == 0) return false;
    if (code == expected || (alsoAccepted != 0 && code == alsoAccepted)) return true;
    return Fail(text.substr(0, text.size() - 2) + " refused: " + LastReply());
}
