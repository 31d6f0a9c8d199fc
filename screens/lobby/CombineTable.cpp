#include "screens/lobby/CombineTable.h"

#include "engine/core/MessageTable.h"
#include "screens/lobby/CardRecord.h"
#include "screens/lobby/ItemChecks.h"

namespace {

bool InRange(int place) { return place >= 0 && place < CCombineTable::kPlaces; }

}  // namespace

void CCombineTable::Reset() { m_entries.fill(Entry{}); }

int CCombineTable::FindSlot(int row, int column) const {
    for (int i = 0; i < kPlaces; ++i)
        if (!m_entries[static_cast<size_t>(i)].Empty() && m_entries[static_cast<size_t>(i)].row == row &&
            m_entries[static_cast<size_t>(i)].column == column)
            return i;
    return -1;
}

const InventorySlot* CCombineTable::SlotOf(const Entry& e, const InventoryTable& inventory) const {
    if (e.Empty() || e.row >= static_cast<int>(kInventoryRows) || e.column >= static_cast<int>(kInventoryColumns))
        return nullptr;
    const InventorySlot& slot = inventory[static_cast<size_t>(e.row)][static_cast<size_t>(e.column)];
    return slot.cardId ? &slot : nullptr;
}

int CCombineTable::FirstBase() const {
    for (int i = 0; i < kPlaces; ++i)
        if (!m_entries[static_cast<size_t>(i)].Empty() && m_entries[static_cast<size_t>(i)].role == ROLE_BASE) return i;
    return -1;
}

void CCombineTable::Swap(int a, int b) {
    if (InRange(a) && InRange(b)) std::swap(m_entries[static_cast<size_t>(a)], m_entries[static_cast<size_t>(b)]);
}

void CCombineTable::Remove(int place) {
    if (InRange(place)) m_entries[static_cast<size_t>(place)] = Entry{};
}

int CCombineTable::Place(int place, int row, int column, const InventoryTable& inventory,
                         const CGameDataRegistry& registry) {
    if (!InRange(place) || row < 0 || column < 0 || row >= static_cast<int>(kInventoryRows) ||
        column >= static_cast<int>(kInventoryColumns))
        return MSG_OUTSHOP_NO_SLOT;
    const InventorySlot& slot = inventory[static_cast<size_t>(row)][static_cast<size_t>(column)];
    const ItemCatalogueEntry* record = slot.cardId ? registry.FindItemRecord(slot.cardId) : nullptr;
    if (!record) return MSG_OUTSHOP_NO_SLOT;
    const bool jewel = card::IsJewel(slot.cardId);
    const bool fullStack = slot.remaining == card::FullCount(*record);
    const int role = card::ClassOf(*record) == card::CLASS_BASE ? ROLE_BASE : ROLE_MATERIAL;

    if (m_kind == KIND_JEWEL) {
        for (const Entry& e : m_entries)
            if (!e.Empty()) return MSG_NOT_ADD_MEMBER;
        if (!jewel) return MSG_COMBINATION_JEWEL_COMBINATION_ONLY_ATTR;
        if (!fullStack) return MSG_COMBINATION_NEED_JEWEL_COUNT;
    } else if (role == ROLE_BASE) {
        if (FirstBase() >= 0) return MSG_COMBINATION_IS_UP_COMBINATION_CHAR;
    } else if (!jewel) {
        return MSG_COMBINATION_CHARCARD_ATTR;
    } else {
        if (!fullStack) return MSG_COMBINATION_NEED_JEWEL_COUNT;
        const int base = FirstBase();
        if (base < 0) return MSG_COMBINATION_NOT_UP_COMBINATION_CHAR;
        const InventorySlot* baseSlot = SlotOf(m_entries[static_cast<size_t>(base)], inventory);
        const uint32_t level = baseSlot ? card::Level(baseSlot->cardId) : 0;
        const uint32_t needed = card::JewelForLevel(level);
        if (needed && slot.cardId != needed)
            return level < 4 ? MSG_COMBINATION_CHARCARD_JEWEL_1
                             : level < 8 ? MSG_COMBINATION_CHARCARD_JEWEL_2 : MSG_COMBINATION_CHARCARD_JEWEL_3;
    }
    m_entries[static_cast<size_t>(place)] = Entry{column, row, role};
    return kItemCheckPass;
}

int CCombineTable::Check(const InventoryTable& inventory) const {
    if (m_kind == KIND_JEWEL) {
        int usable = 0;
        for (const Entry& e : m_entries) {
            const InventorySlot* slot = SlotOf(e, inventory);
            if (slot && slot->cardId != card::kJewelTop) ++usable;
        }
        return usable == 1 ? MSG_COMBINATION_OK : MSG_COMBINATION_EMPTY_COMBINATION_ITEMLIST;
    }
    const InventorySlot* base = nullptr;
    for (const Entry& e : m_entries)
        if (!e.Empty() && e.role == ROLE_BASE) base = SlotOf(e, inventory);
    if (!base) return MSG_COMBINATION_NOT_UP_COMBINATION_CHAR;
    const uint32_t needed = card::JewelForLevel(card::Level(base->cardId));
    if (!needed) return MSG_COMBINATION_ITEMCARD_CHAR_UPGRADE_MAX;
    int matching = 0;
    for (const Entry& e : m_entries) {
        const InventorySlot* slot = SlotOf(e, inventory);
        if (slot && slot->cardId == needed) ++matching;
    }
    return matching == 1 ? MSG_COMBINATION_OK : MSG_COMBINATION_NOT_UP_COMBINATION_JEWEL;
}

size_t CCombineTable::WriteRequest(uint8_t* out, size_t capacity, const InventoryTable& inventory) const {
    auto part = [&inventory, this](const Entry& e) {
        const InventorySlot* slot = SlotOf(e, inventory);
        return CombinePart{slot->cardId, InventorySlotRef{e.row, e.column}};
    };
    CombinePart base;
    CombinePart materials[kCombineRecords];
    size_t count = 0;
    uint8_t mode = 0;
    if (m_kind == KIND_CARD) {
        for (const Entry& e : m_entries) {
            if (!SlotOf(e, inventory)) continue;
            if (e.role == ROLE_BASE)
                base = part(e);
            else if (count < kCombineRecords)
                materials[count++] = part(e);
        }
    } else if (m_kind == KIND_JEWEL) {
        mode = 2;
        for (const Entry& e : m_entries)
            if (SlotOf(e, inventory) && e.role == ROLE_MATERIAL) base = part(e);
    }
    return WriteCombineItems(out, capacity, mode, base, materials, count);
}
