#include "tests/servers/FakeGameServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

#include "net/ByteReader.h"
#include "net/ByteWriter.h"
#include "net/HmacMd5.h"
#include "net/MessageIds.h"
#include "net/MessageSizeTable.h"
#include "net/NetPacket.h"

namespace {

constexpr int kSlice = 20;  // ms between looks at the stop flag

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// 1 readable, 0 not within ms, -1 error.
int WaitReadable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    int rc = ::poll(&p, 1, ms);
    if (rc < 0) return errno == EINTR ? 0 : -1;
    return rc;
}

}  // namespace

CFakeGameServer::CFakeGameServer() : CFakeGameServer(0) {}

CFakeGameServer::CFakeGameServer(uint16_t port) {
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    socklen_t len = sizeof(addr);
    if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
        ::listen(m_listen, 4) != 0 || ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        const std::string where = port ? "127.0.0.1:" + std::to_string(port) : std::string("127.0.0.1");
        m_failures.push_back("cannot listen on " + where + ": " + std::strerror(errno));
    } else {
        m_port = ntohs(addr.sin_port);
    }
    m_thread = std::thread([this] { Run(); });
}

CFakeGameServer::~CFakeGameServer() {
    {
        // Set under the lock: the server thread tests the flag and then waits,
        // and a notify between the two would be lost and the join would hang.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
    if (m_listen >= 0) ::close(m_listen);
}

CFakeGameServer& CFakeGameServer::Add(Step step) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_steps.push_back(std::move(step));
    }
    m_changed.notify_all();
    return *this;
}

void CFakeGameServer::Run() {
    for (;;) {
        Step step;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_rules.empty()) {
                m_changed.wait(lock, [&] { return m_stop || !m_steps.empty(); });
            } else {
                m_changed.wait_for(lock, std::chrono::milliseconds(kSlice),
                                   [&] { return m_stop || !m_steps.empty(); });
            }
            if (m_stop) break;
            if (m_steps.empty()) {
                lock.unlock();
                ServeRules();
                continue;
            }
            step = std::move(m_steps.front());
            m_steps.pop_front();
            m_busy = true;
        }
        const bool ok = step();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_busy = false;
            if (!ok) m_steps.clear();
        }
        m_changed.notify_all();
    }
    CloseClient();
}

bool CFakeGameServer::Fail(std::string text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failures.push_back(std::move(text));
    return false;
}

void CFakeGameServer::CloseClient() {
    if (m_client >= 0) ::close(m_client);
    m_client = -1;
}

bool CFakeGameServer::DoAccept() {
    return AcceptUntil(NowMs() + m_expectTimeoutMs) || Fail("no client connected in time");
}

bool CFakeGameServer::AcceptUntil(int64_t deadline) {
    CloseClient();
    while (!m_stop && (deadline < 0 || NowMs() < deadline)) {
        int r = WaitReadable(m_listen, kSlice);
        if (r < 0) return Fail("accept: poll failed");
        if (r == 0) continue;
        m_client = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (m_client >= 0) return true;
    }
    return false;
}

bool CFakeGameServer::DoSend(const std::vector<uint8_t>& bytes) {
    if (m_client < 0 && !DoAccept()) return false;
    return SendTo(m_client, bytes);
}

bool CFakeGameServer::SendTo(int fd, const std::vector<uint8_t>& bytes, bool quiet) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (quiet) return false;
            return Fail("send failed: " + std::string(std::strerror(errno)));
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

// 1 all read, 0 the client closed, -1 time-out or error (timeoutMs < 0: no limit).
int CFakeGameServer::ReadBytesFrom(int fd, uint8_t* buffer, size_t size, int timeoutMs) {
    const int64_t deadline = NowMs() + timeoutMs;
    size_t got = 0;
    while (got < size) {
        if (m_stop || (timeoutMs >= 0 && NowMs() >= deadline)) return -1;
        int r = WaitReadable(fd, kSlice);
        if (r < 0) return -1;
        if (r == 0) continue;
        ssize_t n = ::recv(fd, buffer + got, size - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) return 0;
        got += static_cast<size_t>(n);
    }
    return 1;
}

int CFakeGameServer::DoReceive(FakePacket& packet, int timeoutMs, bool keep) {
    int r = 1;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_pending.empty()) {
            packet = std::move(m_pending.front());
            m_pending.pop_front();
            if (keep) m_received.push_back(packet);
            return 1;
        }
    }
    if (m_client < 0 && !DoAccept()) return -1;
    do {
        r = ReceiveFrom(m_client, packet, timeoutMs);
    } while (r > 0 && ApplyRule(packet));
    if (r > 0 && keep) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.push_back(packet);
    }
    return r;
}

bool CFakeGameServer::ApplyRule(const FakePacket& packet, bool keep) {
    Responder responder;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto rule = m_rules.find(packet.id);
        if (rule == m_rules.end()) return false;
        responder = rule->second;
        if (keep) m_received.push_back(packet);
    }
    if (responder)
        for (const FakePacket& answer : responder(packet)) DoSend(PacketBytes(answer.id, answer.payload));
    return true;
}

void CFakeGameServer::ServeRules() {
    if (m_client < 0 || WaitReadable(m_client, 0) <= 0) return;
    FakePacket packet;
    // A client that closed is left to the next step to notice.
    if (ReceiveFrom(m_client, packet, m_expectTimeoutMs) <= 0) return;
    if (ApplyRule(packet)) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending.push_back(std::move(packet));
}

CFakeGameServer& CFakeGameServer::On(uint16_t id, Responder responder) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_rules[id] = std::move(responder);
    }
    m_changed.notify_all();
    return *this;
}

int CFakeGameServer::ReceiveFrom(int fd, FakePacket& packet, int timeoutMs) {
    uint8_t header[kPacketHeaderSize];
    int r = ReadBytesFrom(fd, header, sizeof(header), timeoutMs);
    if (r <= 0) return r;
    CByteReader h(header, sizeof(header));
    packet.id = h.ReadU16();
    const uint16_t length = h.ReadU16();
    if (length > kMaxPayload) {
        Fail("the client announced " + std::to_string(length) + " payload bytes");
        return -1;
    }
    packet.payload.assign(length, 0);
    r = ReadBytesFrom(fd, packet.payload.data(), length, timeoutMs);
    if (r <= 0) return r;
    return 1;
}

CFakeGameServer& CFakeGameServer::Accept() {
    return Add([this] { return DoAccept(); });
}

CFakeGameServer& CFakeGameServer::Send(uint16_t id, std::vector<uint8_t> payload) {
    return SendRaw(PacketBytes(id, payload));
}

CFakeGameServer& CFakeGameServer::SendRaw(std::vector<uint8_t> bytes) {
    return Add([this, bytes = std::move(bytes)] { return DoSend(bytes); });
}

CFakeGameServer& CFakeGameServer::Expect(uint16_t id, PacketCheck check) {
    return Add([this, id, check = std::move(check)] {
        FakePacket packet;
        int r = DoReceive(packet, m_expectTimeoutMs, true);
        if (r == 0) return Fail("the client closed while " + std::to_string(id) + " was expected");
        if (r < 0) return Fail("no packet " + std::to_string(id) + " in time");
        if (packet.id != id) return Fail("expected " + std::to_string(id) + ", got " + std::to_string(packet.id));
        const MessageSizeEntry e = GetMessageSize(id);
        const size_t length = packet.payload.size();
        if (!e.defined || (e.variable ? length > e.size : length != e.size))
            return Fail("packet " + std::to_string(id) + " has " + std::to_string(length) +
                        " payload bytes, the table says " + std::to_string(e.size));
        if (check) check(packet);
        return true;
    });
}

CFakeGameServer& CFakeGameServer::Stall(int ms) {
    return Add([this, ms] {
        const int64_t until = NowMs() + ms;
        while (!m_stop && NowMs() < until) ::usleep(kSlice * 1000);
        return true;
    });
}

CFakeGameServer& CFakeGameServer::Close() {
    return Add([this] {
        CloseClient();
        return true;
    });
}

CFakeGameServer& CFakeGameServer::ExpectClosed() {
    return Add([this] {
        for (;;) {
            FakePacket packet;
            const int r = DoReceive(packet, m_expectTimeoutMs, true);
            if (r == 0) return true;
            if (r < 0) return Fail("the client did not close its connection in time");
        }
    });
}

CFakeGameServer& CFakeGameServer::Echo() {
    return Add([this] {
        for (;;) {
            FakePacket packet;
            int r = DoReceive(packet, -1, false);
            if (r == 0) return true;  // the client is done
            if (r < 0) return m_stop ? true : Fail("echo: receive failed");
            if (!DoSend(PacketBytes(packet.id, packet.payload))) return false;
        }
    });
}

CFakeGameServer& CFakeGameServer::Serve(Service service) {
    return Add([this, service = std::move(service)] { return DoServe(service); });
}

bool CFakeGameServer::DoServe(const Service& service) {
    while (AcceptUntil(-1)) {
        bool open = true;
        for (const FakePacket& p : service.greeting) open = open && SendTo(m_client, PacketBytes(p.id, p.payload), true);
        int64_t nextRepeat = NowMs() + service.repeatMs;
        while (open && !m_stop) {
            if (service.repeatMs > 0 && service.repeat && NowMs() >= nextRepeat) {
                for (const FakePacket& p : service.repeat())
                    open = open && SendTo(m_client, PacketBytes(p.id, p.payload), true);
                nextRepeat = NowMs() + service.repeatMs;
            }
            const int r = WaitReadable(m_client, kSlice);
            if (r < 0) break;
            if (r == 0) continue;
            FakePacket packet;
            // A client that closes, stalls inside a packet or breaks the
            // framing is let go; the next one is served.
            if (ReceiveFrom(m_client, packet, m_expectTimeoutMs) <= 0) break;
            // Packets without a rule are dropped.
            ApplyRule(packet, false);
        }
    }
    CloseClient();
    return true;
}

CFakeGameServer& CFakeGameServer::Relay(int clients) {
    return Add([this, clients] { return DoRelay(clients); });
}

bool CFakeGameServer::DoRelay(int clients) {
    std::vector<int> fds;
    auto closeAll = [&] {
        for (int fd : fds)
            if (fd >= 0) ::close(fd);
    };
    if (m_client >= 0) fds.push_back(std::exchange(m_client, -1));
    while (static_cast<int>(fds.size()) < clients) {
        if (!DoAccept()) {
            closeAll();
            return false;
        }
        fds.push_back(std::exchange(m_client, -1));
    }
    size_t open = fds.size();
    while (open > 0 && !m_stop) {
        std::vector<pollfd> polls;
        for (int fd : fds) polls.push_back({fd, POLLIN, 0});  // a closed client (-1) is skipped by poll
        if (::poll(polls.data(), polls.size(), kSlice) < 0 && errno != EINTR) break;
        for (size_t i = 0; i < polls.size(); ++i) {
            if (fds[i] < 0 || !(polls[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            FakePacket packet;
            const int r = ReceiveFrom(fds[i], packet, m_expectTimeoutMs);
            if (r <= 0) {  // this client is done
                ::close(fds[i]);
                fds[i] = -1;
                --open;
                continue;
            }
            if (packet.id != PK_GAME_COMMANDS) continue;
            const std::vector<uint8_t> bytes = PacketBytes(packet.id, packet.payload);
            for (int fd : fds)
                if (fd >= 0) SendTo(fd, bytes, true);
        }
    }
    closeAll();
    return true;
}

CFakeGameServer& CFakeGameServer::SendAuthKey(uint32_t key) {
    std::vector<uint8_t> payload(4);
    CByteWriter(payload).WriteU32(key);
    return Send(PK_AUTH_KEY, std::move(payload));
}

namespace {

bool OpenFromTables(std::span<const uint8_t, kSealedRecordSize> sealed, AccountRecord* record) {
    return g_pProtocolTables && g_pProtocolTables->IsLoaded() &&
           OpenSealedRecord(sealed, g_pProtocolTables->GetPermutation(), record);
}

}  // namespace

CFakeGameServer& CFakeGameServer::ExpectLogin(AccountRecord* record) {
    Expect(PK_LOGIN, [this, record](const FakePacket& p) {
        if (!OpenFromTables(std::span<const uint8_t, kSealedRecordSize>(p.payload.data(), kSealedRecordSize), record))
            Fail("the login record does not open");
    });
    return *this;
}

CFakeGameServer& CFakeGameServer::ExpectEnterServer(AccountRecord* record, uint8_t* reentry) {
    Expect(PK_ENTER_SERVER, [this, record, reentry](const FakePacket& p) {
        if (p.payload[0] != 1 || p.payload[1] != 0) Fail("the enter-server record does not start with 1, 0");
        if (!OpenFromTables(std::span<const uint8_t, kSealedRecordSize>(p.payload.data() + 2, kSealedRecordSize),
                            record))
            Fail("the enter-server record does not open");
        if (reentry) *reentry = p.payload[98];
        for (size_t i = 99; i < p.payload.size(); ++i)
            if (p.payload[i] != 0) Fail("the enter-server payload is not zero after byte 98");
    });
    return *this;
}

CFakeGameServer& CFakeGameServer::SendResult(uint16_t id, uint8_t accepted, uint8_t code, size_t size) {
    std::vector<uint8_t> payload(size < 2 ? 2 : size, 0);
    payload[0] = accepted;
    payload[1] = code;
    return Send(id, std::move(payload));
}

bool CFakeGameServer::WaitIdle(int timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_steps.empty() && !m_busy; });
}

std::vector<std::string> CFakeGameServer::Failures() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failures;
}

std::vector<FakePacket> CFakeGameServer::Received() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

std::vector<uint8_t> CFakeGameServer::HeaderBytes(uint16_t id, uint16_t length) {
    std::vector<uint8_t> bytes(kPacketHeaderSize);
    CByteWriter w(bytes);
    w.WriteU16(id);
    w.WriteU16(length);
    return bytes;
}

std::vector<uint8_t> CFakeGameServer::PacketBytes(uint16_t id, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> bytes = HeaderBytes(id, static_cast<uint16_t>(payload.size()));
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

FakePacket ResultPacket(uint16_t id, uint8_t ok, uint8_t code) {
    FakePacket p{id, std::vector<uint8_t>(std::max<size_t>(GetMessageSize(id).size, 2), 0)};
    p.payload[0] = ok;
    p.payload[1] = code;
    return p;
}

std::string PacketText(const FakePacket& packet, size_t offset, size_t field) {
    CByteReader reader(packet.payload.data(), packet.payload.size());
    char text[64] = {};
    if (!reader.Seek(offset) || !reader.ReadText(text, std::min(sizeof(text), field), field)) return {};
    return text;
}

bool OpenSealedRecord(std::span<const uint8_t, kSealedRecordSize> sealed, const CProtocolTables::Permutation& table,
                      AccountRecord* record) {
    std::array<uint8_t, kSealedRecordSize> b;
    std::copy(sealed.begin(), sealed.end(), b.begin());
    PermuteRecord96(b, 0, table);
    const uint8_t* key = b.data() + 72;
    SwapNibbles(b.data(), 72);
    XorWithKey(b.data(), kAccountIdSize, key, 4);
    XorWithKey(b.data() + kAccountIdSize, kAccountPasswordSize, key, 4);

    uint8_t digest[16];
    HmacMd5(b.data(), kAccountRecordSize, key, 4, digest);
    if (std::memcmp(digest, b.data() + kAccountRecordSize, sizeof(digest)) != 0) return false;

    CByteReader r(b.data(), kAccountRecordSize);
    AccountRecord out;
    r.ReadBytes(out.userId, sizeof(out.userId));
    r.ReadBytes(out.password, sizeof(out.password));
    out.key = r.ReadU32();
    out.versionMajor = r.ReadU16();
    out.versionMinor = r.ReadU16();
    if (record) *record = out;
    return true;
}
