#include "tests/servers/LocalSmtpServer.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {}  // namespace

CLocalSmtpServer::CLocalSmtpServer() {
    // Another program may take the port between the look and the bind: try a few.
    for (int attempt = 0; attempt < 3 && !m_port; ++attempt) {
        const uint16_t port = FreeLoopbackPort();
        if (!port) continue;
        const std::vector<std::string> args = {"/usr/bin/python3",
                                               "-m",
                                               "aiosmtpd",
                                               "-n",
                                               "-l",
                                               "127.0.0.1:" + std::to_string(port),
                                               "-c",
                                               "aiosmtpd.handlers.Mailbox",
                                               m_folder.Path("Maildir")};
        if (!m_child.Start(args, m_folder.Path("server.log"))) break;
        if (WaitForTcpServer(port, m_child, "220", 15000))
            m_port = port;
        else
            m_child.Stop();
    }
}

std::vector<std::string> CLocalSmtpServer::Mails() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(m_folder.Path("Maildir/new"), ec))
        names.push_back(e.path().string());
    std::sort(names.begin(), names.end());
    std::vector<std::string> mails;
    for (const std::string& n : names) mails.push_back(ReadFileText(n));
    return mails;
}

bool CLocalSmtpServer::WaitForMails(size_t count, int timeoutMs) const {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        if (Mails().size() >= count) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::string CLocalSmtpServer::Log() const { return ReadFileText(m_folder.Path("server.log")); }
