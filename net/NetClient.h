// The client's one server connection. Screens connect, send requests and poll
// for packets through it, one packet per call; any failure clears the
// connected flag and leaves the matching message in the error report, and the
// socket stays open until the next Connect or Disconnect.
#pragma once

#include <cstdint>

#include "net/NetPacket.h"
#include "platform/Socket.h"

class CNetClient {
public:
    // Time-out of every send and of a packet's payload after its header.
    static constexpr uint32_t kTimeoutMs = 1000;
    // A dotted IPv4 address: at most 15 characters.
    static constexpr int kMaxHostLength = 15;

    CNetClient() = default;
    virtual ~CNetClient();
    CNetClient(const CNetClient&) = delete;
    CNetClient& operator=(const CNetClient&) = delete;

    // 1 connected, 0 with the error report set.
    int Connect(const char* host, uint16_t port);
    void Disconnect();
    // 1 sent, 0 failed (connected flag cleared, error report set).
    int SendPacket(uint16_t id, const void* data, int length);
    // 1 with a packet, or 1 with id 0 when nothing is waiting; 0 on failure.
    int RecvPacket(NetPacket& packet);

    // A handler found the packet ending before a field it needs: logs the id
    // and length, closes the connection and reports the disconnection. 0.
    int CloseMalformed(uint16_t id, uint16_t length);

    bool IsConnected() const { return m_connected != 0; }
    platform::SocketHandle GetSocket() const { return m_socket; }
    uint16_t GetPort() const { return m_port; }
    const char* GetHost() const { return m_host; }

private:
    platform::SocketHandle m_socket = platform::kInvalidSocket;
    uint32_t m_connected = 0;
    uint16_t m_port = 0;
    char m_host[kMaxHostLength + 1] = {};
};
