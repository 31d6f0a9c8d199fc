// A real name server on 127.0.0.1 for the mail tests: dnsmasq with no
// upstream, answering MX queries for the domains it is given. Debian 12's
// dnsmasq lists the records of a domain in the reverse order of its
// command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/fixtures/TempFolder.h"
#include "tests/servers/ChildProcess.h"

struct LocalMxRecord {
    std::string domain;
    std::string host;
    int preference = 10;
};

class CLocalDnsServer {
public:
    explicit CLocalDnsServer(const std::vector<LocalMxRecord>& records);
    ~CLocalDnsServer() { m_child.Stop(); }

    bool Started() const { return m_port != 0; }
    uint16_t Port() const { return m_port; }
    std::string Log() const;

    // The records of the crash-report tests: crash.test has 127.0.0.2
    // (preference 10, where nothing listens) and 127.0.0.1 (preference 20).
    static std::vector<LocalMxRecord> CrashTestRecords();

private:
    TempFolder m_folder;
    CChildProcess m_child;
    uint16_t m_port = 0;
};
