#include "world/GameDataRegistry.h"

#include <algorithm>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/resource/ResourceManager.h"
#include "world/BuildingData.h"
#include "world/DecorationData.h"
#include "world/EffectRecord.h"
#include "world/ItemData.h"
#include "world/SkillRecord.h"
#include "world/UnitData.h"

CGameDataRegistry* g_pGameDataRegistry = nullptr;

bool ItemCatalogueEntry::Serialize(CFileStream& s) {
    s.Serialize(code);
    for (std::string& t : texts) s.Serialize(t);
    for (uint32_t& v : values) s.Serialize(v);
    return s.Serialize(text4);
}

bool ItemTextEntry::Serialize(CFileStream& s) {
    s.Serialize(code);
    for (std::string& t : texts) s.Serialize(t);
    for (uint32_t& v : values) s.Serialize(v);
    for (uint32_t& v : values2) s.Serialize(v);
    return !s.Failed();
}

template <typename Entry>
bool CEntryTable<Entry>::Serialize(CFileStream& s) {
    uint32_t count = static_cast<uint32_t>(m_entries.size());
    if (!s.Serialize(count) || !CountFits(s, count, Entry::kMinBytes)) return false;
    if (s.mode() == CFileStream::MODE_WRITE) {
        for (auto& entry : m_entries) entry->Serialize(s);
        return !s.Failed();
    }
    for (uint32_t i = 0; i < count; ++i) {
        auto entry = std::make_unique<Entry>();
        if (!entry->Serialize(s)) return false;
        Insert(std::move(entry));
    }
    return true;
}

template class CEntryTable<ItemCatalogueEntry>;
template class CEntryTable<ItemTextEntry>;

CGameDataRecord* FindGameRecord(uint32_t category, uint32_t id) {
    return g_pGameDataRegistry ? g_pGameDataRegistry->FindRecord(category, id) : nullptr;
}

void CRecordMap::Insert(std::unique_ptr<CGameDataRecord> record) {
    const uint32_t id = record->id;
    auto it = m_index.find(id);
    if (it != m_index.end()) {
        // Nothing points to the earlier record yet: references are resolved after the block.
        delete m_order[it->second];
        m_order[it->second] = record.release();
        return;
    }
    m_index.emplace(id, m_order.size());
    m_order.push_back(record.release());
}

CGameDataRecord* CRecordMap::Find(uint32_t id) const {
    auto it = m_index.find(id);
    return it == m_index.end() ? nullptr : m_order[it->second];
}

std::vector<std::unique_ptr<CGameDataRecord>> CRecordMap::TakeAll() {
    std::vector<std::unique_ptr<CGameDataRecord>> records;
    for (CGameDataRecord* record : m_order) records.emplace_back(record);
    m_order.clear();
    m_index.clear();
    return records;
}

void CRecordMap::Clear() {
    for (CGameDataRecord* record : m_order) delete record;
    m_order.clear();
    m_index.clear();
}

CGameDataRegistry::CGameDataRegistry() : CGameDataRegistry(true) {}

CGameDataRegistry::CGameDataRegistry(bool registerGlobally) : m_registered(registerGlobally) {
    if (m_registered) g_pGameDataRegistry = this;
}

CGameDataRegistry::~CGameDataRegistry() {
    Clear();
    if (m_registered && g_pGameDataRegistry == this) g_pGameDataRegistry = nullptr;
}

void CGameDataRegistry::Clear() {
    for (CRecordMap& map : m_records) map.Clear();
    m_combinations.clear();
    m_catalogue.Clear();
    m_itemTexts.Clear();
    blockValue = 0;
    fileName.clear();
}

int CGameDataRegistry::LoadDataBlock(const char* name) {
    const char* fileNameIn = name ? name : "";
    uint32_t offset = 0, size = 0;
    std::string path;
    if (g_pResourceManager) path = g_pResourceManager->FileIndex().ResolvePath(fileNameIn, &offset, &size);
    if (path.empty()) path = fileNameIn;
    CFileStream s;
    if (!s.OpenReadBuffered(path.c_str(), offset, size)) return 0;
    const int result = ReadDataBlock(s, FileNamePart(fileNameIn));
    if (result) fileName = FileNamePart(fileNameIn);
    return result;
}

int CGameDataRegistry::ReadDataBlock(CFileStream& s, const std::string& name) {
    const std::string blockName = name.empty() ? FileNamePart(s.path()) : name;
    float version = 0;
    if (!s.ReadFloat(version)) return 0;
    if (version != kVersion) {
        ErrorReport().SetError(ERR_FILE_VERSION, GetMessageText(MSG_ERROR_FILE_VERSION), blockName);
        return 0;
    }
    // Read into a registry of its own, so that a damaged block leaves nothing behind.
    CGameDataRegistry loaded(false);
    auto fail = [&](const char* label, const std::string& recordName) {
        std::string text = ErrorReport().Text();
        if (label) text += FormatText("\n<- %s : %s", label, recordName);
        ErrorReport().Set(ERR_DATA, text + "\n<- " + blockName);
        return 0;
    };
    s.Serialize(loaded.blockValue);
    for (std::string& header : loaded.headerTexts) s.Serialize(header);
    if (s.Failed()) return fail(nullptr, "");
    for (uint32_t category = 0; category < CAT_COUNT; ++category) {
        uint32_t count = 0;
        if (!s.Serialize(count) || !CountFits(s, count, 4)) return fail(CategoryLabel(category), "");
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t kind = 0;
            if ((category == CAT_SKILL || category == CAT_EFFECT) && !s.Serialize(kind))
                return fail(CategoryLabel(category), "");
            std::unique_ptr<CGameDataRecord> record = CreateRecord(category, kind);
            if (!record || (category == CAT_EFFECT && kind >= CEffectRecord::kKindCount)) {
                ErrorReport().SetError(ERR_DATA, "%s kind %u", CategoryLabel(category), kind);
                return fail(CategoryLabel(category), "");
            }
            if (!record->Serialize(s) || s.Failed()) return fail(CategoryLabel(category), record->name);
            loaded.m_records[category].Insert(std::move(record));
        }
    }
    if (!loaded.m_preload.Serialize(s)) return fail(nullptr, "");

    uint32_t count = 0;
    if (!s.Serialize(count) || !CountFits(s, count, 16)) return fail(nullptr, "");
    for (uint32_t i = 0; i < count; ++i) {
        auto combination = std::make_unique<ItemCombination>();
        uint32_t members = 0;
        if (!s.Serialize(combination->resultKey) || !s.Serialize(members) || !CountFits(s, members, 4))
            return fail(nullptr, "");
        combination->memberKeys.assign(members, 0);
        for (uint32_t& key : combination->memberKeys) s.Serialize(key);
        s.Serialize(combination->value);
        s.Serialize(combination->extraKey);
        if (s.Failed()) return fail(nullptr, "");
        loaded.m_combinations.push_back(std::move(combination));
    }
    if (!loaded.m_catalogue.Serialize(s) || !loaded.m_itemTexts.Serialize(s)) return fail(nullptr, "");
    TakeOver(loaded);
    return 1;
}

void CGameDataRegistry::TakeOver(CGameDataRegistry& loaded) {
    blockValue = loaded.blockValue;
    headerTexts = loaded.headerTexts;
    for (uint32_t category = 0; category < CAT_COUNT; ++category)
        for (auto& record : loaded.m_records[category].TakeAll()) m_records[category].Insert(std::move(record));
    m_preload.Release();
    m_preload.names = loaded.m_preload.names;
    for (auto& combination : loaded.m_combinations) m_combinations.push_back(std::move(combination));
    loaded.m_combinations.clear();
    for (auto& entry : loaded.m_catalogue.TakeAll()) m_catalogue.Insert(std::move(entry));
    for (auto& entry : loaded.m_itemTexts.TakeAll()) m_itemTexts.Insert(std::move(entry));
    ResolveReferences();
}

void CGameDataRegistry::ResolveReferences() {
    for (uint32_t category : {CAT_UNIT, CAT_BUILDING}) {
        for (CGameDataRecord* record : m_records[category].Records())
            for (RecordName& entry : static_cast<CCombatData*>(record)->skills)
                entry.record = FindRecord(CAT_SKILL, NameHash(entry.name));
    }
    for (CGameDataRecord* record : m_records[CAT_SKILL].Records()) {
        for (RecordName& entry : static_cast<CSkillRecord*>(record)->effects)
            entry.record = FindRecord(CAT_EFFECT, NameHash(entry.name));
    }
    for (CGameDataRecord* record : m_records[CAT_ITEM].Records()) {
        auto* item = static_cast<CItemData*>(record);
        item->useSkillRecord = item->useSkill.empty() ? nullptr : FindRecord(CAT_SKILL, NameHash(item->useSkill));
        for (RecordKey& entry : item->linkedItems) entry.record = FindRecord(CAT_ITEM, entry.key);
    }
    for (CGameDataRecord* record : m_records[CAT_EFFECT].Records()) {
        if (auto* parent = dynamic_cast<CEffectRecordWithChildren*>(record))
            for (RecordKey& child : parent->children) child.record = FindRecord(CAT_EFFECT, child.key);
    }
    // A member missing from the ITEM map is left out of the members and the key.
    for (auto& combination : m_combinations) {
        auto item = [this](uint32_t key) { return FindRecord(CAT_ITEM, key); };
        combination->resultItem = item(combination->resultKey);
        combination->extraItem = item(combination->extraKey);
        combination->members.clear();
        for (uint32_t key : combination->memberKeys)
            if (CGameDataRecord* member = item(key)) combination->members.push_back(member);
        combination->key = CombinationKey(combination->members);
    }
}

int CGameDataRegistry::SaveDataBlock(const char* name) {
    CFileStream s;
    if (!s.OpenWrite(name)) return 0;
    const int result = WriteDataBlock(s);
    s.Close();
    return result;
}

int CGameDataRegistry::WriteDataBlock(CFileStream& s) {
    float version = kVersion;
    s.Serialize(version);
    s.Serialize(blockValue);
    for (std::string& header : headerTexts) s.Serialize(header);
    for (CRecordMap& map : m_records) {
        uint32_t count = static_cast<uint32_t>(map.Size());
        s.Serialize(count);
        for (CGameDataRecord* record : map.Records()) record->Serialize(s);
    }
    m_preload.Serialize(s);
    uint32_t count = static_cast<uint32_t>(m_combinations.size());
    s.Serialize(count);
    auto keyOf = [](const CGameDataRecord* record, uint32_t stored) { return record ? record->id : stored; };
    for (auto& c : m_combinations) {
        uint32_t result = keyOf(c->resultItem, c->resultKey);
        // The stored keys when the block was read (a missing member keeps its
        // key there), else the members' ids.
        std::vector<uint32_t> keys = c->memberKeys;
        if (keys.empty())
            for (const CGameDataRecord* m : c->members) keys.push_back(m->id);
        uint32_t members = static_cast<uint32_t>(keys.size());
        s.Serialize(result);
        s.Serialize(members);
        for (uint32_t& key : keys) s.Serialize(key);
        uint32_t extra = keyOf(c->extraItem, c->extraKey);
        s.Serialize(c->value);
        s.Serialize(extra);
    }
    m_catalogue.Serialize(s);
    m_itemTexts.Serialize(s);
    return s.Failed() ? 0 : 1;
}

CGameDataRecord* CGameDataRegistry::FindRecord(uint32_t category, uint32_t id) const {
    return category < CAT_COUNT ? m_records[category].Find(id) : nullptr;
}

const ItemCombination* CGameDataRegistry::FindCombination(uint32_t key) const {
    for (const auto& c : m_combinations)
        if (c->key == key) return c.get();
    return nullptr;
}

int CGameDataRegistry::LinkCombinations() {
    for (auto& c : m_combinations) {
        const bool allLinked = std::all_of(c->members.begin(), c->members.end(),
                                           [](const CGameDataRecord* m) { return !m || m->linked; });
        if (!allLinked) continue;
        if (c->resultItem && !c->resultItem->Link()) return 0;
        if (c->extraItem && !c->extraItem->Link()) return 0;
    }
    return 1;
}

void CGameDataRegistry::ReleaseCombinations() {
    for (auto& c : m_combinations) {
        if (c->resultItem && c->resultItem->linked) c->resultItem->ReleaseResources();
        if (c->extraItem && c->extraItem->linked) c->extraItem->ReleaseResources();
    }
}

void CGameDataRegistry::ReleaseAllResources() {
    for (CRecordMap& map : m_records)
        for (CGameDataRecord* record : map.Records()) record->ReleaseResources();
}

const ItemTextEntry* CGameDataRegistry::FindTextEntry(uint32_t code) const { return m_itemTexts.Find(code); }

const ItemCatalogueEntry* CGameDataRegistry::FindItemRecord(uint32_t itemCode) const {
    return m_catalogue.Find(itemCode / 100u);
}

const ItemCatalogueEntry* CGameDataRegistry::GetInventorySlotItem(uint32_t row, uint32_t column) const {
    if (!m_inventory || row >= m_inventory->size() || column >= (*m_inventory)[0].size()) return nullptr;
    return FindItemRecord((*m_inventory)[row][column].cardId);
}

int CGameDataRegistry::IsNamedByUnit(const CGameDataRecord* record) const {
    if (!record) return 0;
    for (const CGameDataRecord* unit : m_records[CAT_UNIT].Records())
        if (NameHash(static_cast<const CUnitData*>(unit)->unitText2) == record->id) return 1;
    return 0;
}

std::unique_ptr<CGameDataRecord> CGameDataRegistry::CreateRecord(uint32_t category, uint32_t kind) {
    switch (category) {
        case CAT_UNIT: return std::make_unique<CUnitData>();
        case CAT_BUILDING: return std::make_unique<CBuildingData>();
        case CAT_DECORATION: return std::make_unique<CDecorationData>();
        case CAT_ITEM: return std::make_unique<CItemData>();
        case CAT_SKILL: return CreateSkillRecord(kind);
        case CAT_EFFECT: return CreateEffectRecord(kind);
        default: return nullptr;
    }
}

uint32_t CGameDataRegistry::CombinationKey(const std::vector<CGameDataRecord*>& members) {
    std::vector<std::string> names;
    for (const CGameDataRecord* m : members)
        if (m) names.push_back(m->name);
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& n : names) joined += n;
    return NameHash(joined);
}

void CGameDataRegistry::AddRecord(std::unique_ptr<CGameDataRecord> record) {
    if (!record || record->category >= CAT_COUNT) return;
    if (record->id == 0) record->id = NameHash(record->name);
    const uint32_t category = record->category;
    m_records[category].Insert(std::move(record));
}

void CGameDataRegistry::AddCombination(std::unique_ptr<ItemCombination> combination) {
    combination->members.erase(std::remove(combination->members.begin(), combination->members.end(), nullptr),
                               combination->members.end());
    combination->key = CombinationKey(combination->members);
    m_combinations.push_back(std::move(combination));
}
