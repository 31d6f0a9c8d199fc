#include "net/ItemRequests.h"

#include <string>

#include "net/ByteWriter.h"
#include "platform/CodePage.h"

namespace {

uint8_t Wire(int index) { return static_cast<uint8_t>(index + 1); }

bool WriteSlot(CByteWriter& w, InventorySlotRef slot) {
    if (!slot.Valid()) return false;
    w.WriteU8(Wire(slot.row));
    return w.WriteU8(Wire(slot.column));
}

size_t Done(const CByteWriter& w, bool ok) { return ok && w.Ok() ? w.Position() : 0; }

}  // namespace

size_t WriteBackToLobby(uint8_t* out, size_t capacity) {
    CByteWriter w(out, capacity);
    return Done(w, w.WriteU32(0));
}

size_t WriteShopBuy(uint8_t* out, size_t capacity, uint32_t shopCode) {
    CByteWriter w(out, capacity);
    return Done(w, w.WriteU32(shopCode));
}

size_t WriteSlotRequest(uint8_t* out, size_t capacity, InventorySlotRef slot) {
    CByteWriter w(out, capacity);
    return Done(w, WriteSlot(w, slot));
}

size_t WriteInventoryMove(uint8_t* out, size_t capacity, InventorySlotRef held, InventorySlotRef target) {
    CByteWriter w(out, capacity);
    const bool ok = WriteSlot(w, held) && WriteSlot(w, target);
    return Done(w, ok);
}

size_t WriteSlotCardRequest(uint8_t* out, size_t capacity, InventorySlotRef slot, uint32_t cardId) {
    CByteWriter w(out, capacity);
    const bool ok = WriteSlot(w, slot);
    w.WriteU32(cardId);
    return Done(w, ok);
}

size_t WriteCombineItems(uint8_t* out, size_t capacity, uint8_t mode, const CombinePart& base,
                         const CombinePart* materials, size_t materialCount) {
    if (materialCount > kCombineRecords || (materialCount && !materials)) return 0;
    CByteWriter w(out, capacity);
    if (capacity < kCombineItemsSize) return 0;
    w.WriteZeros(kCombineItemsSize);
    CByteWriter fill(out, kCombineItemsSize);
    fill.WriteU8(mode);
    // An empty place stays zero: the server reads a zero row as "no card".
    auto part = [&fill](const CombinePart& p) {
        fill.WriteU32(p.cardId);
        if (p.slot.Valid()) {
            fill.WriteU8(Wire(p.slot.row));
            fill.WriteU8(Wire(p.slot.column));
        } else {
            fill.WriteZeros(2);
        }
    };
    part(base);
    for (size_t i = 0; i < materialCount; ++i) part(materials[i]);
    return fill.Ok() ? kCombineItemsSize : 0;
}

size_t WriteStackItem(uint8_t* out, size_t capacity, InventorySlotRef held, uint32_t heldCount, uint32_t cardId,
                      InventorySlotRef target) {
    // The count travels in one byte; a bigger stack would arrive as a
    // different, smaller count and the server would move the wrong amount.
    if (heldCount > 0xFF) return 0;
    CByteWriter w(out, capacity);
    bool ok = WriteSlot(w, held);
    w.WriteU8(static_cast<uint8_t>(heldCount));
    w.WriteU32(cardId);
    ok = ok && WriteSlot(w, target);
    return Done(w, ok);
}

size_t WriteMarketRegister(uint8_t* out, size_t capacity, InventorySlotRef slot, int32_t price, uint16_t count) {
    CByteWriter w(out, capacity);
    const bool ok = WriteSlot(w, slot);
    w.WriteU64(static_cast<uint64_t>(static_cast<int64_t>(price)));
    w.WriteU16(count);
    return Done(w, ok);
}

size_t WriteMarketList(uint8_t* out, size_t capacity, uint32_t kind, std::string_view name, int32_t page) {
    const std::string text(name.substr(0, platform::Cp949CutLength(name, kMarketSearchNameMax)));
    CByteWriter w(out, capacity);
    w.WriteU32(kind);
    w.WriteText(text.c_str(), 50);
    w.WriteU32(static_cast<uint32_t>(page + 1));
    return Done(w, true);
}

size_t WriteMarketBuy(uint8_t* out, size_t capacity, const MarketRecord& record) {
    CByteWriter w(out, capacity);
    w.WriteText(record.seller.c_str(), MarketRecord::kSellerField);
    w.WriteU32(record.cardId);
    w.WriteU32(record.shownNumber);
    w.WriteU64(static_cast<uint64_t>(static_cast<int64_t>(record.price)));
    w.WriteU32(record.key33);
    w.WriteU32(record.key37);
    return Done(w, true);
}

size_t WriteMarketCancel(uint8_t* out, size_t capacity, const MarketRecord& record) {
    CByteWriter w(out, capacity);
    w.WriteU32(record.cardId);
    w.WriteU32(record.shownNumber);
    w.WriteU32(record.key33);
    w.WriteU32(record.key37);
    return Done(w, true);
}
