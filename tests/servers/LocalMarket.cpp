#include "tests/servers/LocalMarket.h"

#include "net/ByteReader.h"
#include "net/ItemRequests.h"
#include "net/MessageIds.h"
#include "tests/servers/MarketPackets.h"
#include "tools/SampleCards.h"

namespace {

namespace sc = sample_cards;

// What each sample shop code holds and costs in Cra (the Cash-only entry costs none).
struct ShopOffer {
    uint32_t code, cardId;
    int64_t cra;
    bool soldOut;
};
constexpr ShopOffer kOffers[] = {
    {sc::kShopDayCard, sc::kDayCard, 100, false}, {sc::kShopCash, sc::kCountCard, 0, false},
    {sc::kShopBoth, sc::kHeroCard, 300, false},   {sc::kShopFourth, sc::kGameCard, 120, false},
    {sc::kShopSoldOut, sc::kAllCard, 500, true},  {sc::kShopBundle, sc::kDayCard, 150, false},
    {sc::kShopPrize, sc::kPrizeCard, 200, false},
};
// Result codes the client shows as refusals: not enough Cra, the inventory
// full, a wrong card key.
constexpr uint8_t kCodeNoCra = 5;
constexpr uint8_t kCodeFull = 6;
constexpr uint8_t kCodeWrongCard = 7;
constexpr int64_t kSalePrice = 10;
constexpr uint32_t kOwnListKind = 11;

InventorySlot* Slot(InventoryTable& inventory, uint8_t row, uint8_t column) {
    if (row < 1 || row > kInventoryRows || column < 1 || column > kInventoryColumns) return nullptr;
    return &inventory[row - 1u][column - 1u];
}

InventorySlot* FreeSlot(InventoryTable& inventory) {
    for (auto& row : inventory)
        for (InventorySlot& slot : row)
            if (!slot.cardId) return &slot;
    return nullptr;
}

}  // namespace

CLocalMarket::CLocalMarket() {
    m_listings[0] = {"Merchant", sc::kJewel1, 300, 10, 1, 11, 21};
    m_listings[1] = {"Merchant", sc::kJewel2, 900, 10, 2, 12, 22};
    m_listings[2] = {"Trader", sc::kHeroCard, 1200, 1, 3, 13, 23};
}

void CLocalMarket::Serve(CFakeGameServer& game) {
    game.On(PK_SHOP_BUY_CARD, [this](const FakePacket& p) { return Buy(p); });
    for (uint16_t id : {PK_SHOP_SELL_CARD, PK_SHOP_DELETE_CARD, PK_INVENTORY_MOVE})
        game.On(id, [this](const FakePacket& p) { return SlotChange(p); });
    game.On(PK_MARKET_LIST, [this](const FakePacket& p) { return List(p); });
    game.On(PK_MARKET_BUY, [this](const FakePacket& p) { return MarketBuy(p); });
}

int64_t CLocalMarket::Cra() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cra;
}

FakePacket CLocalMarket::Reply(uint16_t id, uint8_t ok, uint8_t code) const {
    ItemResultSpec spec;
    spec.ok = ok;
    spec.code = code;
    spec.inventory = m_inventory;
    spec.cra = m_cra;
    return {id, ItemResultPayload(id, spec)};
}

std::vector<FakePacket> CLocalMarket::Buy(const FakePacket& request) {
    std::lock_guard<std::mutex> lock(m_mutex);
    CByteReader in(request.payload.data(), request.payload.size());
    const uint32_t code = in.ReadU32();
    const ShopOffer* offer = nullptr;
    for (const ShopOffer& o : kOffers)
        if (o.code == code && !o.soldOut) offer = &o;
    if (!in.Ok() || !offer) return {Reply(PK_SHOP_BUY_CARD_RESULT, 0, kCodeWrongCard)};
    if (offer->cra > m_cra) return {Reply(PK_SHOP_BUY_CARD_RESULT, 0, kCodeNoCra)};
    InventorySlot* slot = FreeSlot(m_inventory);
    if (!slot) return {Reply(PK_SHOP_BUY_CARD_RESULT, 0, kCodeFull)};
    *slot = InventorySlot{offer->cardId, 0, static_cast<uint8_t>(offer->cardId == sc::kCountCard ? 1 : 0),
                          static_cast<uint16_t>(offer->cardId % 100)};
    m_cra -= offer->cra;
    return {Reply(PK_SHOP_BUY_CARD_RESULT, 1, 0)};
}

std::vector<FakePacket> CLocalMarket::SlotChange(const FakePacket& request) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint16_t answer = static_cast<uint16_t>(request.id + 1000);
    const std::vector<uint8_t>& b = request.payload;
    InventorySlot* slot = b.size() >= 2 ? Slot(m_inventory, b[0], b[1]) : nullptr;
    if (!slot || !slot->cardId) return {Reply(answer, 0, kCodeWrongCard)};
    if (request.id == PK_INVENTORY_MOVE) {
        InventorySlot* target = b.size() >= 4 ? Slot(m_inventory, b[2], b[3]) : nullptr;
        if (!target) return {Reply(answer, 0, kCodeWrongCard)};
        std::swap(*slot, *target);
    } else {
        if (request.id == PK_SHOP_SELL_CARD) m_cra += kSalePrice;
        *slot = InventorySlot{};
    }
    return {Reply(answer, 1, 0)};
}

std::vector<FakePacket> CLocalMarket::List(const FakePacket& request) {
    std::lock_guard<std::mutex> lock(m_mutex);
    CByteReader in(request.payload.data(), request.payload.size());
    const uint32_t kind = in.ReadU32();
    const MarketSearchPage none{};
    return {{PK_MARKET_LIST_RESULT, MarketListPayload(kind, kind == kOwnListKind ? none : m_listings, {})}};
}

std::vector<FakePacket> CLocalMarket::MarketBuy(const FakePacket& request) {
    std::lock_guard<std::mutex> lock(m_mutex);
    CByteReader in(request.payload.data(), request.payload.size());
    in.Seek(MarketRecord::kSellerField);
    const uint32_t cardId = in.ReadU32();
    for (MarketRecord& listing : m_listings) {
        if (!in.Ok() || !cardId || listing.cardId != cardId) continue;
        InventorySlot* slot = FreeSlot(m_inventory);
        if (!slot) return {Reply(PK_MARKET_BUY_RESULT, 0, kCodeFull)};
        if (listing.price > m_cra) return {Reply(PK_MARKET_BUY_RESULT, 0, kCodeNoCra)};
        *slot = InventorySlot{cardId, 0, 3, static_cast<uint16_t>(listing.shownNumber)};
        m_cra -= listing.price;
        listing = MarketRecord{};
        return {Reply(PK_MARKET_BUY_RESULT, 1, 0)};
    }
    return {Reply(PK_MARKET_BUY_RESULT, 0, kCodeWrongCard)};
}
