#include "net/ClientSession.h"

CClientSession* g_pClientSession = nullptr;

std::string CClientSession::GameServerAddress() const {
    const char* text = reinterpret_cast<const char*>(serverInfo + kServerInfoAddressOffset);
    size_t length = 0;
    while (length < kServerInfoSize - kServerInfoAddressOffset && text[length]) ++length;
    return std::string(text, length);
}
