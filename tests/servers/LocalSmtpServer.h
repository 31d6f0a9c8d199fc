// A real SMTP server on 127.0.0.1 for the mail tests: aiosmtpd with its
// Maildir handler, run by /usr/bin/python3 in a folder of its own. Each mail
// it takes is one file in <folder>/new, opened by X-MailFrom and X-RcptTo
// headers that name the envelope.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/fixtures/TempFolder.h"
#include "tests/servers/ChildProcess.h"

class CLocalSmtpServer {
public:
    // Starts the server; Started() tells whether it answers.
    CLocalSmtpServer();
    ~CLocalSmtpServer() { m_child.Stop(); }

    bool Started() const { return m_port != 0; }
    uint16_t Port() const { return m_port; }
    // The mails received so far, oldest first (by file name order of arrival is not
    // kept by a Maildir, so tests that send several mails read them all).
    std::vector<std::string> Mails() const;
    // Waits (bounded) until at least count mails have arrived.
    bool WaitForMails(size_t count, int timeoutMs = 10000) const;
    // The server's output, for failure messages.
    std::string Log() const;

private:
    TempFolder m_folder;
    CChildProcess m_child;
    uint16_t m_port = 0;
};
