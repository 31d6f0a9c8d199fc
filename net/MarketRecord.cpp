#include "net/MarketRecord.h"

#include "net/ByteReader.h"
#include "net/ByteWriter.h"

int ReadMarketRecord(const uint8_t* data, size_t size, MarketRecord* out) {
    if (!data || !out || size < MarketRecord::kBytes) return 0;
    CByteReader in(data, MarketRecord::kBytes);
    char seller[MarketRecord::kSellerField] = {};
    in.ReadText(seller, sizeof seller, MarketRecord::kSellerField);
    MarketRecord record;
    record.seller = seller;
    record.cardId = in.ReadU32();
    record.price = in.ReadI32();
    record.shownNumber = in.ReadU32();
    record.key29 = in.ReadU32();
    record.key33 = in.ReadU32();
    record.key37 = in.ReadU32();
    if (!in.Ok()) return 0;
    *out = std::move(record);
    return 1;
}

int WriteMarketRecord(const MarketRecord& record, uint8_t* out, size_t capacity) {
    if (!out) return 0;
    CByteWriter w(out, capacity);
    w.WriteText(record.seller.c_str(), MarketRecord::kSellerField);
    w.WriteU32(record.cardId);
    w.WriteI32(record.price);
    w.WriteU32(record.shownNumber);
    w.WriteU32(record.key29);
    w.WriteU32(record.key33);
    w.WriteU32(record.key37);
    return w.Ok() ? 1 : 0;
}

int ReadMarketRecords(const uint8_t* data, size_t size, MarketRecord* out, size_t count) {
    if (!data || size / MarketRecord::kBytes < count) return 0;
    for (size_t i = 0; i < count; ++i)
        if (!ReadMarketRecord(data + i * MarketRecord::kBytes, MarketRecord::kBytes, &out[i])) return 0;
    return 1;
}
