#include "tests/servers/LocalFtpServer.h"

#include "tests/fixtures/TempFolder.h"


bool CLocalFtpServer::Start() {
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_port = FreeLoopbackPort();
        // Debian's Python packages import only under the system interpreter.
        if (!m_process.Start({"/usr/bin/python3", "-m", "pyftpdlib", "-D", "-i", "127.0.0.1", "-p",
                              std::to_string(m_port), "-d", m_root, "-u", m_user, "-P", m_password},
                             m_work + "/ftp.log"))
            return false;
        if (WaitForTcpServer(m_port, m_process, "", 15000)) return true;
        m_process.Stop();
    }
    return false;
}

std::string CLocalFtpServer::Log() const { return ReadFileText(m_work + "/ftp.log"); }

int CLocalFtpServer::CountCommands(const std::string& text) const { return CountLinesWith(Log(), text); }
