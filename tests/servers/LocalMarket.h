// The card shop and player market of QORTestServer's game server: enough to
// try the market screen on one machine, not a game server. The player starts
// with 10,000 Cra and an empty inventory; the sample shop's entries can be
// bought into the first free slot and sold back or deleted, cards moved, and
// a few listings of other players searched and bought. Answers follow the
// reply layouts the client reads.
#pragma once

#include <mutex>

#include "net/MarketRecord.h"
#include "tests/servers/FakeGameServer.h"
#include "world/InventorySlot.h"

class CLocalMarket {
public:
    static constexpr int64_t kStartCra = 10000;
    CLocalMarket();
    // Adds its standing rules to the game server, which must not outlive it.
    void Serve(CFakeGameServer& game);

    int64_t Cra() const;

private:
    std::vector<FakePacket> Buy(const FakePacket& request);
    std::vector<FakePacket> SlotChange(const FakePacket& request);
    std::vector<FakePacket> List(const FakePacket& request);
    std::vector<FakePacket> MarketBuy(const FakePacket& request);
    FakePacket Reply(uint16_t id, uint8_t ok, uint8_t code) const;

    mutable std::mutex m_mutex;
    InventoryTable m_inventory{};
    int64_t m_cra = kStartCra;
    MarketSearchPage m_listings{};
};
