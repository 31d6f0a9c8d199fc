// What the market's requests are built from, and the one place that turns a
// request id into its payload: the selected and held slots, the chosen shop
// entry, the combination table, the registration and the list fields, the
// chosen listings. The market screen owns one MarketRequestState; the
// payloads are built from it and the session's inventory, never from the
// windows, so that every request can be checked byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "net/ItemRequests.h"
#include "net/MarketRecord.h"
#include "screens/lobby/CombineTable.h"
#include "world/GameDataRegistry.h"
#include "world/InventorySlot.h"

class CNetClient;

struct MarketRequestState {
    InventorySlotRef selected;  // the inventory row on show with the picked column
    InventorySlotRef held;      // the slot on the cursor
    uint32_t heldCount = 0;     // the part of the held stack that moves
    bool saleFromHeld = false;  // the sale started by dropping the held card
    InventorySlotRef target;    // where the held card was dropped
    uint32_t shopCode = 0;      // the chosen shop entry (0: none)
    CCombineTable combine;
    InventorySlotRef registration;
    int32_t registrationPrice = 0;
    uint16_t registrationCount = 0;
    uint32_t listKind = 0;
    std::string listName;
    int32_t listPage = 0;
    int chosenListing = -1;  // on the search page
    int chosenOwn = -1;      // among the own listings
    MarketSearchPage search{};
    MarketOwnListings own{};

    void ResetRegistration() {
        registration = {};
        registrationPrice = 0;
        registrationCount = 0;
    }
};

constexpr uint32_t kMarketListOwn = 11;
constexpr uint32_t kMarketListByName = 10;

// The request a held card dropped on another slot makes: a stack (2050) when
// both hold the same count card and neither stack is full, else a move (2024).
uint16_t DropRequestId(const InventorySlot& held, const InventorySlot& target, const CGameDataRegistry& registry);

struct BuiltRequest {
    size_t length = 0;
    // The message-table entry that stops the request (nothing is sent), or -1.
    int refusal = -1;
};
// Builds the payload of id into out. A prize card's slot loses its card id in
// the inventory here: the server takes it away when it opens it.
BuiltRequest BuildItemRequest(MarketRequestState& state, InventoryTable& inventory, const CGameDataRegistry& registry,
                              uint16_t id, uint8_t* out, size_t capacity);
