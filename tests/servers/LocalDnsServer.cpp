#include "tests/servers/LocalDnsServer.h"

CLocalDnsServer::CLocalDnsServer(const std::vector<LocalMxRecord>& records) {
    for (int attempt = 0; attempt < 3 && !m_port; ++attempt) {
        const uint16_t port = FreeLoopbackPort();
        if (!port) continue;
        std::vector<std::string> args = {"/usr/sbin/dnsmasq",
                                         "--keep-in-foreground",
                                         "--conf-file=/dev/null",
                                         "--no-resolv",
                                         "--no-hosts",
                                         "--pid-file=",
                                         "--listen-address=127.0.0.1",
                                         "--bind-interfaces",
                                         "--port=" + std::to_string(port)};
        for (const LocalMxRecord& r : records)
            args.push_back("--mx-host=" + r.domain + "," + r.host + "," + std::to_string(r.preference));
        if (!m_child.Start(args, m_folder.Path("dnsmasq.log"))) break;
        // dnsmasq takes TCP queries on the same port once it is ready.
        if (WaitForTcpServer(port, m_child, "", 10000))
            m_port = port;
        else
            m_child.Stop();
    }
}

std::vector<LocalMxRecord> CLocalDnsServer::CrashTestRecords() {
    return {{"crash.test", "127.0.0.1", 20}, {"crash.test", "127.0.0.2", 10}};
}

std::string CLocalDnsServer::Log() const { return ReadFileText(m_folder.Path("dnsmasq.log")); }
