// nginx on 127.0.0.1 serving a folder, for the patcher's tests and benchmarks:
// a generated configuration in its own folder, a free port, an access log,
// and extra locations ("return" statuses, "limit_rate") written by the test.
#pragma once

#include <cstdint>
#include <string>

#include "tests/servers/ChildProcess.h"

class CLocalHttpServer {
public:
    // root: the folder served; work: a folder of the test for the configuration and logs.
    CLocalHttpServer(std::string root, std::string work) : m_root(std::move(root)), m_work(std::move(work)) {}
    ~CLocalHttpServer() { Stop(); }

    // A location block inside the server, e.g. "location = /patch/A { return 404; }".
    void AddLocation(const std::string& block) { m_locations += block + "\n"; }

    bool Start();
    void Stop() { m_process.Stop(); }
    uint16_t Port() const { return m_port; }
    // The access log: one line per request, "<status> <request line> [<Content-Type header>]".
    std::string AccessLog() const;
    // Requests whose line holds text.
    int CountRequests(const std::string& text) const;

private:
    std::string m_root;
    std::string m_work;
    std::string m_locations;
    uint16_t m_port = 0;
    CChildProcess m_process;
};
