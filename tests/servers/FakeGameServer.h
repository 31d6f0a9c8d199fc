// A game server on 127.0.0.1 that a test scripts step by step: accept a
// client, expect a message, answer one, send raw or broken bytes, stall, close.
// It speaks the real framing, message ids and sizes, and can open the sealed
// account records the client sends, so screen tests can drive login, lobby,
// room and match traffic through it. The port is chosen by the system, so
// tests may run in parallel.
//
// Steps run in order on the server's own thread; they may be added before or
// while it runs. A step that fails (a wrong id, a wrong size, nothing in time)
// is recorded in Failures() and ends the script.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/AccountSeal.h"

struct FakePacket {
    uint16_t id = 0;
    std::vector<uint8_t> payload;
};

class CFakeGameServer {
public:
    using PacketCheck = std::function<void(const FakePacket&)>;
    // A standing rule's answers to one packet (none: only recorded).
    using Responder = std::function<std::vector<FakePacket>(const FakePacket&)>;

    // Listens on 127.0.0.1 at a port the system picks.
    CFakeGameServer();
    // Listens on 127.0.0.1 at this port (0: the system picks); when it cannot,
    // Listening() is false and Failures() says why.
    explicit CFakeGameServer(uint16_t port);
    ~CFakeGameServer();
    CFakeGameServer(const CFakeGameServer&) = delete;
    CFakeGameServer& operator=(const CFakeGameServer&) = delete;

    const char* Host() const { return "127.0.0.1"; }
    uint16_t Port() const { return m_port; }
    bool Listening() const { return m_port != 0; }

    // Waits for the next client (the first step when none is given).
    CFakeGameServer& Accept();
    CFakeGameServer& Send(uint16_t id, std::vector<uint8_t> payload = {});
    CFakeGameServer& SendRaw(std::vector<uint8_t> bytes);
    // Waits for the next packet: it must carry this id and the size the table
    // gives it; check (if any) then looks at it on the server's thread.
    CFakeGameServer& Expect(uint16_t id, PacketCheck check = {});
    CFakeGameServer& Stall(int ms);
    // Closes the client's connection.
    CFakeGameServer& Close();
    // Waits for the client to close its connection; what it sends before is
    // kept in Received().
    CFakeGameServer& ExpectClosed();
    // Sends every packet back as it came until the client closes (they are not
    // kept in Received()).
    CFakeGameServer& Echo();
    // The match server's command relay: accepts clients more clients (beside
    // one already accepted) and sends every PK_GAME_COMMANDS packet to all of
    // them, the sender included, in the order they arrive, until every client
    // has closed. Other packets are dropped (not kept in Received()).
    CFakeGameServer& Relay(int clients);
    // A standing rule beside the ordered steps: every packet of this id is
    // kept in Received() and answered by the responder whenever it comes,
    // also while no step runs, and never counts as the packet a step expects.
    // A later rule for the same id replaces the earlier one.
    CFakeGameServer& On(uint16_t id, Responder responder = {});
    // A long-running service: clients are accepted one after another, each
    // greeted with these packets and then answered by the standing rules
    // until it closes; every repeatMs (0: never) it also gets what repeat
    // returns. Nothing is kept in Received(); runs until the server is
    // destroyed.
    struct Service {
        std::vector<FakePacket> greeting;
        int repeatMs = 0;
        std::function<std::vector<FakePacket>()> repeat;
    };
    CFakeGameServer& Serve(Service service);

    // PK_AUTH_KEY with the key.
    CFakeGameServer& SendAuthKey(uint32_t key);
    // Expects a sealed record (PK_LOGIN, or PK_ENTER_SERVER's) and opens it into *record.
    CFakeGameServer& ExpectLogin(AccountRecord* record);
    CFakeGameServer& ExpectEnterServer(AccountRecord* record, uint8_t* reentry = nullptr);
    // The accepted flag and result code answer of PK_LOGIN_RESULT or PK_ENTER_SERVER_RESULT.
    CFakeGameServer& SendResult(uint16_t id, uint8_t accepted, uint8_t code, size_t size);

    // Waits until every step so far has run; false on time-out.
    bool WaitIdle(int timeoutMs = 5000);
    std::vector<std::string> Failures() const;
    std::vector<FakePacket> Received() const;

    // Time an expected packet may take before the step fails.
    void SetExpectTimeout(int ms) { m_expectTimeoutMs = ms; }

    // The bytes of a packet as the wire carries them.
    static std::vector<uint8_t> PacketBytes(uint16_t id, const std::vector<uint8_t>& payload);
    static std::vector<uint8_t> HeaderBytes(uint16_t id, uint16_t length);

private:
    using Step = std::function<bool()>;

    CFakeGameServer& Add(Step step);
    void Run();
    bool DoAccept();
    bool DoSend(const std::vector<uint8_t>& bytes);
    // 1 a packet, 0 the client closed, -1 time-out or error (timeoutMs < 0: no
    // limit). keep adds the packet to Received().
    int DoReceive(FakePacket& packet, int timeoutMs, bool keep);
    int ReadBytes(uint8_t* buffer, size_t size, int timeoutMs) { return ReadBytesFrom(m_client, buffer, size, timeoutMs); }
    int ReadBytesFrom(int fd, uint8_t* buffer, size_t size, int timeoutMs);
    int ReceiveFrom(int fd, FakePacket& packet, int timeoutMs);
    // quiet: a client that went away is not a failure (the relay's clients).
    bool SendTo(int fd, const std::vector<uint8_t>& bytes, bool quiet = false);
    bool DoRelay(int clients);
    bool Fail(std::string text);
    void CloseClient();
    // Reads what the client sent while no step ran: rule packets are answered,
    // others wait for the next step.
    void ServeRules();
    // True when the packet was a rule's (and was answered).
    bool ApplyRule(const FakePacket& packet, bool keep = true);
    bool DoServe(const Service& service);
    // The next client before the deadline (-1: while the server runs).
    bool AcceptUntil(int64_t deadline);

    int m_listen = -1;
    int m_client = -1;
    uint16_t m_port = 0;
    std::atomic<int> m_expectTimeoutMs{5000};

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Step> m_steps;
    bool m_busy = false;
    std::vector<std::string> m_failures;
    std::vector<FakePacket> m_received;
    std::map<uint16_t, Responder> m_rules;
    std::deque<FakePacket> m_pending;  // read by ServeRules, for the next step
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// An answer of the size the message table gives (at least 2 bytes), starting
// with the accepted flag and the result code; the rest zeros.
FakePacket ResultPacket(uint16_t id, uint8_t ok, uint8_t code);
// The text field of a request at offset, bounded by the field (at most 64
// bytes); "" when the payload ends before it.
std::string PacketText(const FakePacket& packet, size_t offset, size_t field);

// Undoes SealAccountRecord with the protocol tables: the record the client
// sealed, or false when the digest does not match.
bool OpenSealedRecord(std::span<const uint8_t, kSealedRecordSize> sealed, const CProtocolTables::Permutation& table,
                      AccountRecord* record);
