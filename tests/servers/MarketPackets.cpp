#include "tests/servers/MarketPackets.h"

#include "net/ByteWriter.h"
#include "net/MessageIds.h"
#include "net/RoomRecord.h"

namespace {

struct ReplyLayout {
    uint16_t id;
    size_t size;
};
constexpr ReplyLayout kReplies[] = {{3019, 374}, {3020, 374}, {3021, 374}, {3022, 376}, {3024, 374},
                                    {3045, 378}, {3049, 378}, {3050, 374}, {3052, 374}, {3053, 372},
                                    {3055, 370}, {3056, 362}};

}  // namespace

std::vector<uint8_t> InventoryBlock(const InventoryTable& inventory) {
    std::vector<uint8_t> bytes(kInventoryBlockBytes);
    WriteInventory(inventory, bytes.data());
    return bytes;
}

std::vector<uint8_t> ItemResultPayload(uint16_t id, const ItemResultSpec& spec) {
    size_t size = 0;
    for (const ReplyLayout& r : kReplies)
        if (r.id == id) size = r.size;
    if (!size) return {};
    std::vector<uint8_t> out(size);
    CByteWriter w(out.data(), out.size());
    w.WriteU8(spec.ok);
    w.WriteU8(spec.code);
    const std::vector<uint8_t> inventory = InventoryBlock(spec.inventory);
    auto money = [&] {
        w.WriteU64(static_cast<uint64_t>(spec.cra));
        w.WriteU32(spec.second);
    };
    switch (id) {
        case PK_SHOP_USE_CARD_RESULT:
            w.WriteU16(spec.useValue);
            w.WriteBytes(inventory.data(), inventory.size());
            money();
            break;
        case PK_PRIZE_CARD_RESULT:
            w.WriteBytes(inventory.data(), inventory.size());
            money();
            w.WriteU32(spec.prize);
            break;
        case PK_COMBINE_ITEMS_RESULT:
            w.WriteU32(spec.createdId);
            w.WriteBytes(inventory.data(), inventory.size());
            money();
            break;
        case PK_CARD_TO_UNUSED_RESULT:
            money();
            w.WriteBytes(inventory.data(), inventory.size());
            break;
        case PK_MARKET_REGISTER_RESULT:
            w.WriteBytes(inventory.data(), inventory.size());
            w.WriteU16(0);
            w.WriteU64(static_cast<uint64_t>(spec.cra));
            break;
        case PK_MARKET_BUY_RESULT:
            w.WriteBytes(inventory.data(), inventory.size());
            w.WriteU64(static_cast<uint64_t>(spec.cra));
            break;
        case PK_MARKET_CANCEL_RESULT:
            w.WriteBytes(inventory.data(), inventory.size());
            break;
        default:
            w.WriteBytes(inventory.data(), inventory.size());
            money();
            break;
    }
    return out;
}

std::vector<uint8_t> MarketListPayload(uint32_t kind, const MarketSearchPage& search, const MarketOwnListings& own,
                                       uint8_t ok, uint8_t code) {
    std::vector<uint8_t> out(2 + 4 + MarketRecord::kBytes * (kSearchPageRecords + kOwnListingRecords));
    CByteWriter w(out.data(), out.size());
    w.WriteU8(ok);
    w.WriteU8(code);
    w.WriteU32(kind);
    size_t at = 6;
    for (const MarketRecord& r : search) {
        WriteMarketRecord(r, out.data() + at, MarketRecord::kBytes);
        at += MarketRecord::kBytes;
    }
    for (const MarketRecord& r : own) {
        WriteMarketRecord(r, out.data() + at, MarketRecord::kBytes);
        at += MarketRecord::kBytes;
    }
    return out;
}

std::vector<uint8_t> MarketSoldPayload(uint32_t cardId, int64_t cra) {
    std::vector<uint8_t> out(29);
    CByteWriter w(out.data(), out.size());
    w.WriteZeros(17);
    w.WriteU32(cardId);
    w.WriteU64(static_cast<uint64_t>(cra));
    return out;
}
