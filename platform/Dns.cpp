#include "platform/Dns.h"

#include <arpa/inet.h>
#include <arpa/nameser.h>
#include <netdb.h>
#include <netinet/in.h>
#include <resolv.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace platform {
namespace {

std::mutex g_serverMutex;
std::string g_serverAddress;
uint16_t g_serverPort = 0;

}  // namespace

void SetDnsServer(const std::string& address, uint16_t port) {
    std::lock_guard<std::mutex> lock(g_serverMutex);
    g_serverAddress = address;
    g_serverPort = port;
}

int ParseMxAnswer(const uint8_t* answer, size_t size, std::vector<std::string>* hosts) {
    if (!answer || size > 65535) return DNS_BAD_PACKET;
    ns_msg msg;
    if (ns_initparse(answer, static_cast<int>(size), &msg) != 0) return DNS_BAD_PACKET;
    switch (ns_msg_getflag(msg, ns_f_rcode)) {
        case ns_r_noerror:
            break;
        case ns_r_nxdomain:
            return DNS_NAME_ERROR;
        default:
            return DNS_SERVER_FAILURE;
    }
    const int count = ns_msg_count(msg, ns_s_an);
    bool any = false;
    for (int i = 0; i < count; ++i) {
        ns_rr rr;
        if (ns_parserr(&msg, ns_s_an, i, &rr) != 0) return DNS_BAD_PACKET;
        if (ns_rr_type(rr) != ns_t_mx) continue;
        // Preference (2 bytes), then the exchanger's name, which may point back into the message.
        if (ns_rr_rdlen(rr) < 3) return DNS_BAD_PACKET;
        char name[NS_MAXDNAME];
        const int used = dn_expand(ns_msg_base(msg), ns_msg_end(msg), ns_rr_rdata(rr) + 2, name, sizeof(name));
        if (used < 0 || used > ns_rr_rdlen(rr) - 2) return DNS_BAD_PACKET;
        hosts->emplace_back(name);
        any = true;
    }
    return any ? DNS_OK : DNS_NO_RECORDS;
}

int DnsQueryMx(const std::string& domain, std::vector<std::string>* hosts) {
    if (domain.empty() || domain.size() >= NS_MAXDNAME) return DNS_NAME_ERROR;
    // The resolver state is large; it lives on the heap, one per query.
    auto state = std::make_unique<struct __res_state>();
    if (res_ninit(state.get()) != 0) return DNS_TIMEOUT;
    {
        std::lock_guard<std::mutex> lock(g_serverMutex);
        if (!g_serverAddress.empty()) {
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_port = htons(g_serverPort);
            if (inet_pton(AF_INET, g_serverAddress.c_str(), &addr.sin_addr) != 1) {
                res_nclose(state.get());
                return DNS_TIMEOUT;
            }
            state->nsaddr_list[0] = addr;
            state->nscount = 1;
        }
    }
    // A name server that does not answer must not hold the dialog for long.
    state->retrans = 2;
    state->retry = 2;
    std::vector<uint8_t> answer(65535);
    const int size =
        res_nquery(state.get(), domain.c_str(), ns_c_in, ns_t_mx, answer.data(), static_cast<int>(answer.size()));
    int status;
    if (size < 0) {
        switch (state->res_h_errno) {
            case HOST_NOT_FOUND:
                status = DNS_NAME_ERROR;
                break;
            case NO_DATA:
                status = DNS_NO_RECORDS;
                break;
            case TRY_AGAIN:
                status = DNS_TIMEOUT;
                break;
            default:
                status = DNS_SERVER_FAILURE;
                break;
        }
    } else {
        status = ParseMxAnswer(answer.data(), static_cast<size_t>(std::min<int>(size, 65535)), hosts);
    }
    res_nclose(state.get());
    return status;
}

std::vector<std::string> ResolveIPv4(const std::string& host) {
    std::vector<std::string> out;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0) return out;
    for (addrinfo* a = list; a; a = a->ai_next) {
        if (a->ai_family != AF_INET) continue;
        char text[INET_ADDRSTRLEN];
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
        if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof(text))) out.emplace_back(text);
    }
    freeaddrinfo(list);
    return out;
}

std::string LocalHostName() {
    char name[256] = {};
    if (gethostname(name, sizeof(name) - 1) != 0 || !name[0]) return "localhost";
    return name;
}

}  // namespace platform
