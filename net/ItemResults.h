// The item and money results that the market and lobby screens share: each
// replaces the session's inventory, money and second amount from its own
// offsets, and tells the market screen (when one is given) what to redraw.
#pragma once

#include <cstddef>
#include <cstdint>

struct NetPacket;

// What the market screen does with an item result; the lobby passes none.
class IItemResultScreen {
public:
    virtual ~IItemResultScreen() = default;
    virtual void ClearRequestPending() = 0;
    // Redraws item window kind (1 inventory, 2 lists, 3 and 4 the market tables).
    virtual void RefreshItems(int kind) = 0;
    // Sends the market's own request (2054); 0 when the send failed.
    virtual int SendMarketRequest(uint16_t id) = 0;
    virtual bool ItemWindowHidden() const = 0;
    virtual void TakeItemList(const uint8_t* payload, size_t size) = 0;       // 3045
    virtual void RebuildItemLists(const uint8_t* payload, size_t size) = 0;   // 3049
    virtual void ResetMarketList() = 0;                                        // 3053
    // 3054: the market table of a kind (1 the first, 2 the second).
    virtual void StoreMarketTable(int table, const uint8_t* bytes, size_t size) = 0;
};

// 1 handled (or not an item result: -1), 0 when the poll must stop (a
// refusal of the chat-error class, or a failed send).
int HandleItemResultPackets(IItemResultScreen* screen, const NetPacket& packet);
