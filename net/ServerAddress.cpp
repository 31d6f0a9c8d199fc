#include "net/ServerAddress.h"

#include "platform/Ini.h"

namespace {

std::string g_loginHostOverride;
uint16_t g_portOverride[3] = {};

int Index(ServerKind kind) { return static_cast<int>(kind); }

}  // namespace

std::string GetLoginServerHost(std::string_view iniPath) {
    if (!g_loginHostOverride.empty()) return g_loginHostOverride;
    return platform::GetProfileString("INFO", "LOGIN_SERVER", "", iniPath);
}

uint16_t GetServerPort(ServerKind kind) {
    if (uint16_t port = g_portOverride[Index(kind)]) return port;
    switch (kind) {
        case ServerKind::Login:
            return kLoginServerPort;
        case ServerKind::Game:
            return kGameServerPort;
        case ServerKind::Channel:
            return kChannelServerPort;
    }
    return 0;
}

void SetLoginServerHostOverride(std::string_view host) { g_loginHostOverride = std::string(host); }

void SetServerPortOverride(ServerKind kind, uint16_t port) { g_portOverride[Index(kind)] = port; }
