// Fuzz target: the market list reply's listings (six search and five own
// records of 41 bytes after ok, code and the list kind), read and sent back
// in the buy and cancel requests, and every card id in them looked up and
// turned into texts against the sample cards. Nothing reads past the bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/ItemRequests.h"
#include "net/MarketRecord.h"
#include "screens/lobby/CardTexts.h"
#include "tools/SampleCards.h"
#include "world/GameDataRegistry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CGameDataRegistry* registry = [] {
        auto* r = new CGameDataRegistry(false);
        sample_cards::AddSampleCards(*r);
        return r;
    }();
    if (size < 6) return 0;
    MarketSearchPage search{};
    MarketOwnListings own{};
    const uint8_t* records = data + 6;
    const size_t left = size - 6;
    const int haveSearch = ReadMarketRecords(records, left, search.data(), search.size());
    const size_t ownAt = MarketRecord::kBytes * kSearchPageRecords;
    const int haveOwn = left >= ownAt && ReadMarketRecords(records + ownAt, left - ownAt, own.data(), own.size());
    uint8_t out[kMarketBuySize];
    std::string text;
    for (const MarketRecord* list : {haveSearch ? search.data() : nullptr, haveOwn ? own.data() : nullptr}) {
        if (!list) continue;
        for (size_t i = 0; i < kOwnListingRecords; ++i) {
            const MarketRecord& r = list[i];
            if (r.seller.size() >= MarketRecord::kSellerField) __builtin_trap();
            if (WriteMarketBuy(out, sizeof out, r) != kMarketBuySize) __builtin_trap();
            if (WriteMarketCancel(out, sizeof out, r) != kMarketCancelSize) __builtin_trap();
            if (const ItemCatalogueEntry* record = registry->FindItemRecord(r.cardId))
                BuildCardTooltip(*record, r.cardId % 100, true, false, text);
            int64_t cra = 0;
            const ItemResultView box = PrizeContent(r.cardId, registry, &cra);
            if (box.image.empty() || cra < 0) __builtin_trap();
        }
    }
    return 0;
}
