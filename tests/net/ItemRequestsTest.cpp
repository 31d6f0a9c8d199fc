// Golden bytes of the card shop and market requests, and the 41-byte market
// listing through its reader and writer.
#include <gtest/gtest.h>

#include <vector>

#include "net/ItemRequests.h"
#include "net/MarketRecord.h"

namespace {

using Bytes = std::vector<uint8_t>;

template <typename Write>
Bytes Build(Write write) {
    uint8_t buffer[128] = {};
    const size_t n = write(buffer, sizeof buffer);
    return Bytes(buffer, buffer + n);
}

MarketRecord Listing() {
    MarketRecord r;
    r.seller = "Seller";
    r.cardId = 3100031000u;
    r.price = -2;
    r.shownNumber = 7;
    r.key29 = 0x29292929;
    r.key33 = 0x33333333;
    r.key37 = 0x37373737;
    return r;
}

}  // namespace

TEST(ItemRequestsTest, SlotRequestsAreOneBased) {
    const InventorySlotRef slot{2, 8};
    EXPECT_EQ(Build([](uint8_t* o, size_t c) { return WriteBackToLobby(o, c); }), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Build([](uint8_t* o, size_t c) { return WriteShopBuy(o, c, 3100021000u); }),
              (Bytes{0x08, 0x91, 0xc6, 0xb8}));
    EXPECT_EQ(Build([&](uint8_t* o, size_t c) { return WriteSlotRequest(o, c, slot); }), (Bytes{3, 9}));
    EXPECT_EQ(Build([&](uint8_t* o, size_t c) { return WriteInventoryMove(o, c, {0, 0}, slot); }),
              (Bytes{1, 1, 3, 9}));
    EXPECT_EQ(Build([&](uint8_t* o, size_t c) { return WriteSlotCardRequest(o, c, slot, 3010020100u); }),
              (Bytes{3, 9, 0x04, 0x43, 0x69, 0xb3}));
    // A slot outside the 5 x 9 inventory never reaches the wire.
    EXPECT_TRUE(Build([](uint8_t* o, size_t c) { return WriteSlotRequest(o, c, {5, 0}); }).empty());
    EXPECT_TRUE(Build([](uint8_t* o, size_t c) { return WriteSlotRequest(o, c, {0, -1}); }).empty());
    uint8_t small[1];
    EXPECT_EQ(WriteSlotRequest(small, sizeof small, slot), 0u);
}

TEST(ItemRequestsTest, StackCarriesTheCountInOneByte) {
    EXPECT_EQ(Build([](uint8_t* o, size_t c) { return WriteStackItem(o, c, {1, 2}, 255, 0x01020304, {4, 0}); }),
              (Bytes{2, 3, 255, 4, 3, 2, 1, 5, 1}));
    EXPECT_TRUE(Build([](uint8_t* o, size_t c) { return WriteStackItem(o, c, {1, 2}, 256, 1, {4, 0}); }).empty());
}

TEST(ItemRequestsTest, RegisterSignExtendsThePrice) {
    EXPECT_EQ(Build([](uint8_t* o, size_t c) { return WriteMarketRegister(o, c, {0, 3}, -100, 10); }),
              (Bytes{1, 4, 0x9c, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 10, 0}));
    EXPECT_EQ(Build([](uint8_t* o, size_t c) { return WriteMarketRegister(o, c, {0, 3}, 100, 1); }),
              (Bytes{1, 4, 100, 0, 0, 0, 0, 0, 0, 0, 1, 0}));
}

TEST(ItemRequestsTest, ListNameIsBoundedAndPageOneBased) {
    const Bytes plain = Build([](uint8_t* o, size_t c) { return WriteMarketList(o, c, 11, "Gem", 2); });
    ASSERT_EQ(plain.size(), kMarketListSize);
    EXPECT_EQ(Bytes(plain.begin(), plain.begin() + 7), (Bytes{11, 0, 0, 0, 'G', 'e', 'm'}));
    EXPECT_EQ(Bytes(plain.end() - 4, plain.end()), (Bytes{3, 0, 0, 0}));
    for (size_t i = 7; i < 54; ++i) EXPECT_EQ(plain[i], 0) << i;

    // Fifteen bytes at most, and a double-byte character is never split:
    // seven Korean characters (14 bytes) and no half of the eighth.
    std::string korean;
    for (int i = 0; i < 8; ++i) korean += "\xba\xb8";  // "보" in code page 949
    const Bytes cut = Build([&](uint8_t* o, size_t c) { return WriteMarketList(o, c, 0, korean, 0); });
    ASSERT_EQ(cut.size(), kMarketListSize);
    EXPECT_EQ(cut[4 + 13], 0xb8);
    EXPECT_EQ(cut[4 + 14], 0);
    const Bytes longAscii =
        Build([](uint8_t* o, size_t c) { return WriteMarketList(o, c, 0, std::string(60, 'x'), 0); });
    EXPECT_EQ(longAscii[4 + 14], 'x');
    EXPECT_EQ(longAscii[4 + 15], 0);
}

TEST(ItemRequestsTest, BuyAndCancelReorderTheListing) {
    const MarketRecord r = Listing();
    Bytes expected(41, 0);
    std::copy_n("Seller", 6, expected.begin());
    const Bytes tail = {0x18, 0xb8, 0xc6, 0xb8, 7, 0, 0, 0, 0xfe, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
                        0x33, 0x33, 0x33, 0x33, 0x37, 0x37, 0x37, 0x37};
    std::copy(tail.begin(), tail.end(), expected.begin() + 17);
    EXPECT_EQ(Build([&](uint8_t* o, size_t c) { return WriteMarketBuy(o, c, r); }), expected);
    EXPECT_EQ(Build([&](uint8_t* o, size_t c) { return WriteMarketCancel(o, c, r); }),
              (Bytes{0x18, 0xb8, 0xc6, 0xb8, 7, 0, 0, 0, 0x33, 0x33, 0x33, 0x33, 0x37, 0x37, 0x37, 0x37}));

    // A seller that fills all 17 bytes of its field is cut to 16 and ended.
    MarketRecord full = r;
    full.seller = std::string(17, 's');
    const Bytes bounded = Build([&](uint8_t* o, size_t c) { return WriteMarketBuy(o, c, full); });
    EXPECT_EQ(bounded[15], 's');
    EXPECT_EQ(bounded[16], 0);
}

TEST(ItemRequestsTest, CombineFillsBaseAndRecords) {
    const CombinePart base{1234501, {0, 0}};
    const CombinePart materials[] = {{3100011000u, {1, 2}}, {77, {4, 8}}};
    const Bytes b = Build([&](uint8_t* o, size_t c) { return WriteCombineItems(o, c, 0, base, materials, 2); });
    ASSERT_EQ(b.size(), kCombineItemsSize);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 19), (Bytes{0, 0x45, 0xd6, 0x12, 0, 1, 1, 0xf8, 0x69, 0xc6, 0xb8, 2, 3,
                                                       77, 0, 0, 0, 5, 9}));
    for (size_t i = 19; i < b.size(); ++i) EXPECT_EQ(b[i], 0) << i;
    CombinePart nine[9];
    EXPECT_EQ(WriteCombineItems(nullptr, 0, 0, base, nine, 9), 0u);
}

TEST(ItemRequestsTest, MarketRecordRoundTrips) {
    uint8_t bytes[MarketRecord::kBytes + 1] = {};
    ASSERT_EQ(WriteMarketRecord(Listing(), bytes, sizeof bytes), 1);
    MarketRecord back;
    ASSERT_EQ(ReadMarketRecord(bytes, MarketRecord::kBytes, &back), 1);
    EXPECT_EQ(back.seller, "Seller");
    EXPECT_EQ(back.cardId, 3100031000u);
    EXPECT_EQ(back.price, -2);
    EXPECT_EQ(back.shownNumber, 7u);
    EXPECT_EQ(back.key29, 0x29292929u);
    EXPECT_EQ(back.key37, 0x37373737u);
    // A seller field without a NUL stays within its 17 bytes.
    std::fill_n(bytes, 17, 'n');
    ASSERT_EQ(ReadMarketRecord(bytes, MarketRecord::kBytes, &back), 1);
    EXPECT_EQ(back.seller, std::string(16, 'n'));
    EXPECT_EQ(back.cardId, 3100031000u);
    EXPECT_EQ(ReadMarketRecord(bytes, MarketRecord::kBytes - 1, &back), 0);
    EXPECT_EQ(WriteMarketRecord(Listing(), bytes, MarketRecord::kBytes - 1), 0);
}
