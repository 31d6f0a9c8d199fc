#include "engine/core/HashTable.h"

#include <gtest/gtest.h>

TEST(HashTable, KeepsEveryKeyThroughGrowthIncludingTheReservedOne) {
    CHashTable<int> t;
    EXPECT_EQ(t.Find(5), nullptr);
    const uint32_t keys[] = {0u, 1u, 0xFFFFFFFFu, 0xFFFFFFFEu, 16u, 32u, 48u};  // 16, 32, 48 probe past each other
    for (int i = 0; i < 7; ++i) t.Insert(keys[i]) = i;
    for (uint32_t k = 100; k < 5100; ++k) t.Insert(k * 2654435761u) = static_cast<int>(k);
    for (int i = 0; i < 7; ++i) {
        ASSERT_NE(t.Find(keys[i]), nullptr) << keys[i];
        EXPECT_EQ(*t.Find(keys[i]), i);
    }
    for (uint32_t k = 100; k < 5100; ++k) ASSERT_EQ(*t.Find(k * 2654435761u), static_cast<int>(k));
    EXPECT_EQ(t.Size(), 5007u);
    t.Insert(1) = 77;  // inserting an existing key keeps one entry
    EXPECT_EQ(*t.Find(1), 77);
    EXPECT_EQ(t.Size(), 5007u);
    size_t seen = 0;
    t.ForEach([&](uint32_t, int) { ++seen; });
    EXPECT_EQ(seen, 5007u);
    t.Clear();
    EXPECT_EQ(t.Find(0xFFFFFFFFu), nullptr);
    EXPECT_TRUE(t.Empty());
}
