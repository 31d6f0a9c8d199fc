#include "net/NetClient.h"

#include <cstring>
#include <string>

#include "net/Framing.h"
#include "net/NetErrors.h"
#include "net/NetLog.h"
#include "engine/core/MessageTable.h"
#include "net/SocketLayer.h"

namespace {

// A closed connection and a time-out have their own messages; anything else
// is told by the platform's last socket error.
int ReportFrameFailure(int result) {
    return ReportNetError(result == FRAME_CLOSED    ? MSG_ERROR_NETWORK_DISCONNECT
                          : result == FRAME_TIMEOUT ? MSG_ERROR_NETWORK_CONNECT_TIMEOUT
                                                    : kNetErrorFromSocket);
}

}  // namespace

CNetClient::~CNetClient() { Disconnect(); }

int CNetClient::Connect(const char* host, uint16_t port) {
    m_connected = 0;
    CloseSocket(m_socket);
    const size_t length = host ? strnlen(host, kMaxHostLength + 1) : 0;
    if (length == 0 || length > kMaxHostLength) {
        // Not a dotted address: refused before it could overrun the host field.
        m_host[0] = '\0';
        m_port = port;
        platform::SocketSetLastError(platform::SOCKERR_ADDRNOTAVAIL);
        return ReportNetError(kNetErrorFromSocket);
    }
    std::memcpy(m_host, host, length);
    m_host[length] = '\0';
    m_port = port;
    if (OpenSocket(m_socket, 0, platform::SOCKET_STREAM) != 0) return ReportNetError(kNetErrorFromSocket);
    if (ConnectTo(m_socket, m_host, m_port) != 0) return ReportNetError(kNetErrorFromSocket);
    m_connected = 1;
    return 1;
}

void CNetClient::Disconnect() {
    if (m_socket == platform::kInvalidSocket) return;
    m_connected = 0;
    CloseSocket(m_socket);
}

int CNetClient::SendPacket(uint16_t id, const void* data, int length) {
    // Without a socket the wait for room to write would only run out.
    if (m_socket == platform::kInvalidSocket) {
        m_connected = 0;
        return ReportNetError(MSG_ERROR_NETWORK_DISCONNECT);
    }
    int r = SendFrame(length, data, m_socket, id, kTimeoutMs);
    if (r == 0) return 1;
    m_connected = 0;
    return ReportFrameFailure(r);
}

int CNetClient::RecvPacket(NetPacket& packet) {
    packet.id = 0;
    packet.length = 0;
    int r = RecvFrame(m_socket, packet, kTimeoutMs);
    if (r >= 0) return 1;
    m_connected = 0;
    return ReportFrameFailure(r);
}

int CNetClient::CloseMalformed(uint16_t id, uint16_t length) {
    NetLog("message " + std::to_string(id) + " ends early (" + std::to_string(length) + " bytes)");
    Disconnect();
    return ReportNetError(MSG_ERROR_NETWORK_DISCONNECT);
}
