// pyftpdlib on 127.0.0.1 serving a folder to one user, for the patcher's FTP
// tests; its debug log shows every command (EPRT, RETR).
#pragma once

#include <cstdint>
#include <string>

#include "tests/servers/ChildProcess.h"

class CLocalFtpServer {
public:
    CLocalFtpServer(std::string root, std::string work, std::string user, std::string password)
        : m_root(std::move(root)), m_work(std::move(work)), m_user(std::move(user)), m_password(std::move(password)) {}
    ~CLocalFtpServer() { Stop(); }

    bool Start();
    void Stop() { m_process.Stop(); }
    uint16_t Port() const { return m_port; }
    std::string Log() const;
    int CountCommands(const std::string& text) const;

private:
    std::string m_root;
    std::string m_work;
    std::string m_user;
    std::string m_password;
    uint16_t m_port = 0;
    CChildProcess m_process;
};
