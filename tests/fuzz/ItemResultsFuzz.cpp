// Fuzz target: the item and money results, without a market screen (the
// lobby's call) and with a recording one. The first byte picks the id; the
// handler reads nothing past the payload and never returns other than -1..1.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "net/ClientSession.h"
#include "net/ItemResults.h"
#include "net/NetPacket.h"

namespace {

struct RecordingMarket : IItemResultScreen {
    int calls = 0;
    void ClearRequestPending() override { ++calls; }
    void RefreshItems(int) override { ++calls; }
    int SendMarketRequest(uint16_t) override { return 1; }
    bool ItemWindowHidden() const override { return false; }
    void TakeItemList(const uint8_t* p, size_t size) override { calls += size ? p[size - 1] & 1 : 0; }
    void RebuildItemLists(const uint8_t* p, size_t size) override { calls += size ? p[size - 1] & 1 : 0; }
    void ResetMarketList() override { ++calls; }
    void StoreMarketTable(int, const uint8_t* p, size_t size) override { calls += size ? p[size - 1] & 1 : 0; }
};

constexpr uint16_t kIds[] = {1073, 3019, 3020, 3021, 3022, 3024, 3045, 3049, 3050, 3052, 3053, 3054, 3055, 3056};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    CClientSession session;
    g_pClientSession = &session;
    NetPacket packet;
    packet.id = kIds[data[0] % (sizeof kIds / sizeof kIds[0])];
    packet.length = static_cast<uint16_t>(size - 1 > static_cast<size_t>(kMaxPayload) ? kMaxPayload : size - 1);
    std::memcpy(packet.payload.data(), data + 1, packet.length);
    RecordingMarket market;
    const int lobby = HandleItemResultPackets(nullptr, packet);
    const int shop = HandleItemResultPackets(&market, packet);
    g_pClientSession = nullptr;
    if (lobby < 0 || lobby > 1 || shop < 0 || shop > 1) __builtin_trap();
    return 0;
}
