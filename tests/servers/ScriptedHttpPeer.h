// A loopback HTTP peer that answers every request with scripted bytes and then
// either closes (a body cut short) or stalls until it is stopped: the faults a
// real server does not make on demand.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class CScriptedHttpPeer {
public:
    // response: the raw bytes sent (status line, headers, body or part of it).
    CScriptedHttpPeer(std::string response, bool stallAfterResponse)
        : m_response(std::move(response)), m_stall(stallAfterResponse) {}
    ~CScriptedHttpPeer() { Stop(); }

    bool Start();
    void Stop();
    uint16_t Port() const { return m_port; }
    int Requests() const { return m_requests.load(); }

private:
    void Serve();

    std::string m_response;
    bool m_stall;
    int m_listen = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
    std::thread m_thread;
};
