// The nine places of the combination window and the rules that fill them.
// Card combination upgrades one base card with the jewel that its level asks
// for; jewel combination takes one full stack of a jewel below the top one.
// The table only remembers where the cards lie: the inventory stays the
// server's copy.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "net/ItemRequests.h"
#include "world/GameDataRegistry.h"
#include "world/InventorySlot.h"

class CCombineTable {
public:
    static constexpr int kPlaces = 9;
    enum Kind { KIND_CARD = 0, KIND_JEWEL = 1 };
    enum Role { ROLE_BASE = 0, ROLE_MATERIAL = 1 };
    struct Entry {
        int column = -1, row = -1, role = -1;
        bool Empty() const { return column < 0 || row < 0; }
    };

    void Reset();
    void SetKind(int kind) { m_kind = kind; }
    int Kind() const { return m_kind; }
    const Entry& At(int place) const { return m_entries[static_cast<size_t>(place)]; }
    // The place that holds this inventory slot, or -1.
    int FindSlot(int row, int column) const;

    // Drops the card of inventory slot (row, column) on a place: the
    // refusing message-table entry, or kItemCheckPass when the place now holds it.
    int Place(int place, int row, int column, const InventoryTable& inventory, const CGameDataRegistry& registry);
    // A card moved from one place to another: the two swap, unchecked.
    void Swap(int a, int b);
    void Remove(int place);
    // The check of the combine button: MSG_COMBINATION_OK when it may go out.
    int Check(const InventoryTable& inventory) const;
    // The 2049 payload of the table; 0 when the buffer is too small.
    size_t WriteRequest(uint8_t* out, size_t capacity, const InventoryTable& inventory) const;

private:
    const InventorySlot* SlotOf(const Entry& e, const InventoryTable& inventory) const;
    int FirstBase() const;

    std::array<Entry, kPlaces> m_entries{};
    int m_kind = KIND_CARD;
};
