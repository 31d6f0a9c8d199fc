#include "ui/MapListEntry.h"

uint32_t SumMapChecks(std::span<const MapEntryList> lists) {
    uint32_t sum = 0;
    for (const MapEntryList& list : lists)
        for (const auto& map : list) {
            for (size_t i = 0; i < sizeof(map->digest); i += 4)
                sum += static_cast<uint32_t>(map->digest[i]) | static_cast<uint32_t>(map->digest[i + 1]) << 8 |
                       static_cast<uint32_t>(map->digest[i + 2]) << 16 |
                       static_cast<uint32_t>(map->digest[i + 3]) << 24;
            sum += map->dataStamp;
        }
    return sum;
}

const MapListEntry* FindMapInfo(std::span<const MapEntryList> lists, int id) {
    for (const MapEntryList& list : lists)
        for (const auto& map : list)
            if (map->key == id) return map.get();
    return nullptr;
}

int FindMapByName(std::span<const MapEntryList> lists, const char* name, int* list) {
    if (!name) return -1;
    for (size_t l = 0; l < lists.size() && l < 2; ++l)
        for (size_t i = 0; i < lists[l].size(); ++i)
            if (lists[l][i]->fileName == name) {
                if (list) *list = static_cast<int>(l);
                return static_cast<int>(i);
            }
    return -1;
}
