// Delivery of a message straight to the mail exchangers of a domain: the MX
// hosts are asked of DNS and tried in answer order on port 25 until one
// greets; then one SMTP transaction (no authentication, no encryption).
// Every command waits for its whole reply, at most 30 seconds, so a server
// that stops answering cannot hold the caller for ever. No QUIT is sent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "patcher/mail/SmtpReply.h"
#include "platform/Socket.h"

class CMimeMessage;

// The exchangers of a domain, in answer order; returns the DNS status (0 when found).
int LookupMxHosts(const std::string& domain, std::vector<std::string>* hosts);

class CSmtpConnection {
public:
    static constexpr uint16_t kSmtpPort = 25;
    static constexpr int kReplyTimeoutMs = 30000;

    CSmtpConnection() = default;
    ~CSmtpConnection() { Close(); }
    CSmtpConnection(const CSmtpConnection&) = delete;
    CSmtpConnection& operator=(const CSmtpConnection&) = delete;

    // Tests reach their servers on other ports, and wait less for silent ones.
    void SetPort(uint16_t port) { m_port = port; }
    void SetReplyTimeout(int ms) { m_replyTimeoutMs = ms; }

    // Connect to each exchanger of the domain in turn: true at the first
    // that greets and accepts HELO; false when none does or there are none.
    bool ConnectToMx(const std::string& domain, int timeoutMs);
    // True when the host's server greeted (220) and accepted HELO (250).
    bool Connect(const std::string& host, int timeoutMs);
    // MAIL FROM, RCPT TO for every address of To and CC, DATA, the message,
    // ".". False at the first refusal; after a refused recipient or data the
    // transaction is reset. A message without recipients fails before MAIL FROM.
    bool SendMail(const CMimeMessage& message);
    // "RSET", expecting 250.
    bool Reset();
    // Closes the connection: false when nothing was open.
    bool Close();
    bool IsOpen() const { return m_socket != platform::kInvalidSocket; }

    // What went wrong last, for logs and tests; and the last reply received.
    const std::string& LastError() const { return m_lastError; }
    const std::string& LastReply() const { return m_reply.Text(); }

private:
    bool SocketWrite(std::string_view data);
    // Reads one whole reply: its number, or 0 on time-out, error or a bad reply.
    int ReadReply();
    // Sends a command and reads its reply: true when the number is one of the expected ones.
    bool SendCommand(const std::string& text, int expected, int alsoAccepted = 0);
    bool Fail(std::string text);
    int FailReply(std::string text);

    platform::SocketHandle m_socket = platform::kInvalidSocket;
    uint16_t m_port = kSmtpPort;
    int m_replyTimeoutMs = kReplyTimeoutMs;
    CSmtpReply m_reply;
    // Bytes the server sent after the reply that was read (kept for the next one).
    std::string m_pending;
    std::string m_lastError;
};
