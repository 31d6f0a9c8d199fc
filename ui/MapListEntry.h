// One map of the application's map lists: its texts from the map header, the
// file's digest and data stamp (together the map's check fields) and its key;
// and the look-ups over the three lists (load, player-versus-machine,
// tutorial) that the lobby uses.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct MapListEntry {
    std::string text1, fileName, text2, text3;
    uint8_t digest[16] = {};
    uint32_t dataStamp = 0;
    int key = 0;
};

using MapEntryList = std::vector<std::unique_ptr<MapListEntry>>;

// The sum, wrapping at 2^32, of the four little-endian words of every map's
// digest and its data stamp.
uint32_t SumMapChecks(std::span<const MapEntryList> lists);
// The map with the key in any list, or null.
const MapListEntry* FindMapInfo(std::span<const MapEntryList> lists, int id);
// The index of the map with the file name in list 0, else in list 1 (the list
// written to *list); -1 when neither has it. Later lists are not searched.
int FindMapByName(std::span<const MapEntryList> lists, const char* name, int* list);
