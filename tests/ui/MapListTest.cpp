#include <gtest/gtest.h>

#include <array>

#include "ui/MapListEntry.h"

namespace {

std::unique_ptr<MapListEntry> Map(const char* file, int key, uint32_t word, uint32_t stamp) {
    auto map = std::make_unique<MapListEntry>();
    map->fileName = file;
    map->key = key;
    for (int i = 0; i < 4; ++i) {
        map->digest[i * 4] = static_cast<uint8_t>(word);
        map->digest[i * 4 + 1] = static_cast<uint8_t>(word >> 8);
        map->digest[i * 4 + 2] = static_cast<uint8_t>(word >> 16);
        map->digest[i * 4 + 3] = static_cast<uint8_t>(word >> 24);
    }
    map->dataStamp = stamp;
    return map;
}

TEST(MapLists, SumsAndLookUps) {
    std::array<MapEntryList, 3> lists;
    lists[0].push_back(Map("A.MAP", 10, 0x40000000u, 1));
    lists[1].push_back(Map("B.MAP", 20, 0x01020304u, 0xFFFFFFFFu));
    lists[1].push_back(Map("C.MAP", 30, 0, 7));
    lists[2].push_back(Map("T.MAP", 40, 0, 5));
    // 4 x 0x40000000 wraps to 0; 4 x 0x01020304 + the stamps wrap too.
    EXPECT_EQ(SumMapChecks(lists), 0u + 1u + 0x04080C10u + 0xFFFFFFFFu + 7u + 5u);
    EXPECT_EQ(SumMapChecks({}), 0u);

    EXPECT_EQ(FindMapInfo(lists, 30), lists[1][1].get());
    EXPECT_EQ(FindMapInfo(lists, 40), lists[2][0].get());
    EXPECT_EQ(FindMapInfo(lists, 99), nullptr);

    int list = -1;
    EXPECT_EQ(FindMapByName(lists, "A.MAP", &list), 0);
    EXPECT_EQ(list, 0);
    EXPECT_EQ(FindMapByName(lists, "C.MAP", &list), 1);
    EXPECT_EQ(list, 1);
    list = -1;
    // The tutorial list is never searched by name.
    EXPECT_EQ(FindMapByName(lists, "T.MAP", &list), -1);
    EXPECT_EQ(list, -1);
    EXPECT_EQ(FindMapByName(lists, nullptr, &list), -1);
}

}  // namespace
