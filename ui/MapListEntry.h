// One map of the application's map lists: its texts from the map header, the
// file's digest and data stamp (together the map's check fields) and its key.
#pragma once

#include <cstdint>
#include <string>

struct MapListEntry {
    std::string text1, fileName, text2, text3;
    uint8_t digest[16] = {};
    uint32_t dataStamp = 0;
    int key = 0;
};
