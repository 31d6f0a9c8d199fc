// Every game data record of the run, read from one game data block (version
// 1.53): six maps of records by category keyed by NameHash of the record's
// name, the preloaded hit sounds, the item combinations and two tables of item
// entries. The application owns the one registry; its constructor makes it the
// process-wide one.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "world/InventorySlot.h"
#include "world/GameDataRecord.h"
#include "world/PreloadTable.h"

class CFileStream;
class CItemData;

// One recipe of the item combination window.
struct ItemCombination {
    uint32_t key = 0;  // NameHash of the member names sorted bytewise and joined
    std::vector<CGameDataRecord*> members;
    CGameDataRecord* resultItem = nullptr;
    CGameDataRecord* extraItem = nullptr;  // may be null
    uint32_t value = 0;
    // The ITEM keys as stored (a member missing from the ITEM map keeps its key here).
    uint32_t resultKey = 0, extraKey = 0;
    std::vector<uint32_t> memberKeys;
};

struct ItemCatalogueEntry {
    static constexpr uint32_t kMinBytes = 40;
    // Reads or writes the entry by the stream's mode.
    bool Serialize(CFileStream& s);
    uint32_t code = 0;
    std::array<std::string, 3> texts;
    std::array<uint32_t, 5> values{};
    std::string text4;
};

struct ItemTextEntry {
    static constexpr uint32_t kMinBytes = 56;
    bool Serialize(CFileStream& s);
    uint32_t code = 0;
    std::array<std::string, 3> texts;
    std::array<uint32_t, 4> values{};
    std::array<uint32_t, 6> values2{};
};


// Records of one category in file order, with a look-up by key.
class CRecordMap {
public:
    CRecordMap() = default;
    ~CRecordMap() { Clear(); }
    CRecordMap(const CRecordMap&) = delete;
    CRecordMap& operator=(const CRecordMap&) = delete;

    // Takes the record; one already held under its id is deleted and the new
    // one takes its place in the order.
    void Insert(std::unique_ptr<CGameDataRecord> record);
    CGameDataRecord* Find(uint32_t id) const;
    const std::vector<CGameDataRecord*>& Records() const { return m_order; }
    size_t Size() const { return m_order.size(); }
    void Clear();
    // Hands every record over to the caller (in order) and empties the map.
    std::vector<std::unique_ptr<CGameDataRecord>> TakeAll();

private:
    std::vector<CGameDataRecord*> m_order;
    std::unordered_map<uint32_t, size_t> m_index;
};

// Entries of an item table in file order, with a look-up by code.
template <typename Entry>
class CEntryTable {
public:
    void Insert(std::unique_ptr<Entry> entry) {
        auto it = m_index.find(entry->code);
        if (it != m_index.end()) {
            m_entries[it->second] = std::move(entry);
            return;
        }
        m_index.emplace(entry->code, m_entries.size());
        m_entries.push_back(std::move(entry));
    }
    const Entry* Find(uint32_t code) const {
        auto it = m_index.find(code);
        return it == m_index.end() ? nullptr : m_entries[it->second].get();
    }
    const std::vector<std::unique_ptr<Entry>>& Entries() const { return m_entries; }
    void Clear() {
        m_entries.clear();
        m_index.clear();
    }
    // u32 count, then the entries, by the stream's mode; read entries are
    // added to what the table holds. False when the stream fails.
    bool Serialize(CFileStream& s);
    std::vector<std::unique_ptr<Entry>> TakeAll() {
        m_index.clear();
        return std::move(m_entries);
    }

private:
    std::vector<std::unique_ptr<Entry>> m_entries;
    std::unordered_map<uint32_t, size_t> m_index;
};

class CGameDataRegistry {
public:
    static constexpr float kVersion = 1.53f;

    CGameDataRegistry();
    // A registry that is not the process-wide one (tools, staging a load).
    explicit CGameDataRegistry(bool registerGlobally);
    ~CGameDataRegistry();
    CGameDataRegistry(const CGameDataRegistry&) = delete;
    CGameDataRegistry& operator=(const CGameDataRegistry&) = delete;

    // Reads the block from a loose file or a package entry; 1 on success. On
    // any failure (unreadable, version other than 1.53 exactly: 10004, short
    // or damaged: 10000 with the record's name chained) nothing of this block
    // stays. Records of an earlier load stay: the caller clears first.
    int LoadDataBlock(const char* fileName);
    // The same from a stream positioned at the block's version (tests,
    // fuzzing); name is the data file's name in error texts (default: the stream's).
    int ReadDataBlock(CFileStream& stream, const std::string& name = {});
    // Writes the registry as a block (the tools' direction); 1 on success.
    int SaveDataBlock(const char* fileName);
    int WriteDataBlock(CFileStream& stream);

    // Deletes every record, combination and item entry; keeps the preload table.
    void Clear();

    CGameDataRecord* FindRecord(uint32_t category, uint32_t id) const;
    const ItemCombination* FindCombination(uint32_t key) const;
    // Links the result and extra items of every combination whose members are
    // all linked; 0 at the first failure.
    int LinkCombinations();
    void ReleaseCombinations();
    void ReleaseAllResources();
    const ItemTextEntry* FindTextEntry(uint32_t code) const;
    // The catalogue entry under itemCode / 100.
    const ItemCatalogueEntry* FindItemRecord(uint32_t itemCode) const;
    // The catalogue entry of the item in slot (row 0..4, column 0..8) of the
    // inventory table; null outside it or without a table.
    const ItemCatalogueEntry* GetInventorySlotItem(uint32_t row, uint32_t column) const;
    void SetInventoryTable(const InventoryTable* table) { m_inventory = table; }
    // 1 when the first string of some UNIT record hashes to the record's id.
    int IsNamedByUnit(const CGameDataRecord* record) const;
    // A new empty record of the category's (and kind's) class; null for an
    // unknown category or SKILL kind.
    static std::unique_ptr<CGameDataRecord> CreateRecord(uint32_t category, uint32_t kind);
    // The key of a combination of these members (null members are skipped).
    static uint32_t CombinationKey(const std::vector<CGameDataRecord*>& members);

    const CRecordMap& Records(uint32_t category) const { return m_records[category < CAT_COUNT ? category : 0]; }
    // Adds a record (the tools build blocks this way); replaces one of the same id.
    void AddRecord(std::unique_ptr<CGameDataRecord> record);
    // Names the record, adds it and returns it for filling in.
    template <typename Record>
    Record& AddNamed(std::unique_ptr<Record> record, std::string name) {
        record->name = std::move(name);
        Record& added = *record;
        AddRecord(std::move(record));
        return added;
    }
    void AddCombination(std::unique_ptr<ItemCombination> combination);
    void AddCatalogueEntry(std::unique_ptr<ItemCatalogueEntry> entry) { m_catalogue.Insert(std::move(entry)); }
    void AddTextEntry(std::unique_ptr<ItemTextEntry> entry) { m_itemTexts.Insert(std::move(entry)); }
    const std::vector<std::unique_ptr<ItemCombination>>& Combinations() const { return m_combinations; }
    const CEntryTable<ItemCatalogueEntry>& Catalogue() const { return m_catalogue; }
    const CEntryTable<ItemTextEntry>& ItemTexts() const { return m_itemTexts; }

    CPreloadTable& PreloadTable() { return m_preload; }
    uint32_t blockValue = 0;
    std::string fileName;
    std::array<std::string, 5> headerTexts;

private:
    // Points the name lists of units, buildings, skills and items at the records.
    void ResolveReferences();
    // Moves what a block read into this registry.
    void TakeOver(CGameDataRegistry& loaded);

    std::array<CRecordMap, CAT_COUNT> m_records;
    CPreloadTable m_preload;
    std::vector<std::unique_ptr<ItemCombination>> m_combinations;
    CEntryTable<ItemCatalogueEntry> m_catalogue;
    CEntryTable<ItemTextEntry> m_itemTexts;
    const InventoryTable* m_inventory = nullptr;
    bool m_registered = true;
};

extern CGameDataRegistry* g_pGameDataRegistry;

// The record of the process-wide registry; null without one.
CGameDataRecord* FindGameRecord(uint32_t category, uint32_t id);
