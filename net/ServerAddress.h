// Where the client's servers are: the login server's address from key
// LOGIN_SERVER of section [INFO] in "VAZE.INI" on port 10000; the game server
// on port 10001 and channel servers on port 10003 at the addresses the
// servers hand out. Tests point the client at their own servers by overriding
// the login host and the ports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class ServerKind { Login, Game, Channel };

constexpr uint16_t kLoginServerPort = 10000;
constexpr uint16_t kGameServerPort = 10001;
constexpr uint16_t kChannelServerPort = 10003;

// The login server's address text ("" when the file has none).
std::string GetLoginServerHost(std::string_view iniPath = "VAZE.INI");
uint16_t GetServerPort(ServerKind kind);

// Overrides for tests: an empty host or port 0 restores the default.
void SetLoginServerHostOverride(std::string_view host);
void SetServerPortOverride(ServerKind kind, uint16_t port);
