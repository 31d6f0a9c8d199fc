// QORTestServer: the local test server for trying the client's screens on one
// machine. Not a game server: any id and password log in.
//
//   QORTestServer.run [--ports LOGIN GAME CHANNEL] [--host ADDRESS]
//
// Runs until interrupted (SIGINT or SIGTERM).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "tests/servers/LocalTestServer.h"
#include "tools/SampleGameData.h"
#include "tools/SampleGameFolder.h"

namespace {

bool ParsePort(const char* text, uint16_t* port) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!*text || *end || value < 0 || value > 65535) return false;
    *port = static_cast<uint16_t>(value);
    return true;
}

int Usage() {
    std::fprintf(stderr, "usage: QORTestServer.run [--ports LOGIN GAME CHANNEL] [--host ADDRESS]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    uint16_t ports[3] = {CLocalTestServer::kLoginPort, CLocalTestServer::kGamePort, CLocalTestServer::kChannelPort};
    std::string host = "127.0.0.1";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ports") == 0 && i + 3 < argc) {
            for (uint16_t& port : ports)
                if (!ParsePort(argv[++i], &port)) return Usage();
        } else if (std::strcmp(argv[i], "--host") == 0 && i + 1 < argc) {
            host = argv[++i];
        } else {
            return Usage();
        }
    }
    // The servers' threads inherit the mask, so only sigwait below sees these.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    LocalRoomContent content;
    content.mapKeys = {kSampleRoomMapKeys[0], kSampleRoomMapKeys[1]};
    content.heroes = {SampleHeroIds(0), SampleHeroIds(1)};
    CLocalTestServer server(ports[0], ports[1], ports[2], host, std::move(content));
    if (!server.Listening()) {
        std::fprintf(stderr, "QORTestServer: %s\n", server.Error().c_str());
        return 1;
    }
    std::printf("QORTestServer: local test server for trying the screens, not a game server\n"
                "login 127.0.0.1:%u, game %u, channel %u; any id and password log in\n",
                server.LoginPort(), server.GamePort(), server.ChannelPort());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stop, &signal);
    return 0;
}
