// One listing of the player market as the server delivers it (41 bytes):
//   0-16  seller nickname, NUL-padded
//   17-20 u32 card id (the card record is id / 100)
//   21-24 i32 asking price
//   25-28 u32 number shown with the card's kind word
//   29-32 u32, 33-36 u32, 37-40 u32: keys the server wants back unchanged
// The list reply carries six of them for a search page and five for the
// player's own listings.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct MarketRecord {
    static constexpr size_t kBytes = 41;
    static constexpr size_t kSellerField = 17;

    std::string seller;  // at most 16 bytes
    uint32_t cardId = 0;
    int32_t price = 0;
    uint32_t shownNumber = 0;
    uint32_t key29 = 0, key33 = 0, key37 = 0;
};

constexpr size_t kSearchPageRecords = 6;
constexpr size_t kOwnListingRecords = 5;
using MarketSearchPage = std::array<MarketRecord, kSearchPageRecords>;
using MarketOwnListings = std::array<MarketRecord, kOwnListingRecords>;

// 0 when fewer than 41 bytes are given (the record is then unchanged).
int ReadMarketRecord(const uint8_t* data, size_t size, MarketRecord* out);
// Writes the 41 bytes; 0 when the buffer is too small.
int WriteMarketRecord(const MarketRecord& record, uint8_t* out, size_t capacity);
// count records back to back; 0 when the bytes end before the last one.
int ReadMarketRecords(const uint8_t* data, size_t size, MarketRecord* out, size_t count);
