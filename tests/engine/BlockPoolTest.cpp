// The fixed-block pool: chunks of N blocks, first in first out, objects made
// and destroyed in place.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/BlockPool.h"

namespace {

struct Tracked {
    explicit Tracked(int* live, std::string name) : live(live), name(std::move(name)) { ++*live; }
    ~Tracked() { --*live; }
    int* live;
    std::string name;
};

}  // namespace

TEST(BlockPool, GrowsAChunkAtATimeAndHandsBlocksOutInAddressOrder) {
    CBlockPool<uint64_t> pool(3);
    EXPECT_EQ(pool.ChunkCount(), 0u);
    std::vector<uint8_t*> blocks;
    for (int i = 0; i < 7; ++i) blocks.push_back(static_cast<uint8_t*>(pool.Take()));
    EXPECT_EQ(pool.ChunkCount(), 3u);
    EXPECT_EQ(pool.FreeCount(), 2u);
    EXPECT_LT(blocks[0], blocks[1]);
    EXPECT_LT(blocks[1], blocks[2]);
    for (uint8_t* b : blocks) EXPECT_EQ(reinterpret_cast<uintptr_t>(b) % alignof(uint64_t), 0u);
    for (uint8_t* b : blocks) pool.Release(b);
    EXPECT_EQ(pool.FreeCount(), 9u);
    EXPECT_EQ(pool.ChunkCount(), 3u) << "chunks go back only with the pool";
}

TEST(BlockPool, ReleasedBlocksComeBackAfterTheOnesAlreadyFree) {
    CBlockPool<uint32_t> pool(4);
    void* a = pool.Take();
    void* b = pool.Take();
    void* c = pool.Take();
    const void* d = pool.NextFree();
    pool.Release(a);
    pool.Release(b);
    pool.Release(c);
    EXPECT_EQ(pool.Take(), d);
    EXPECT_EQ(pool.Take(), a);
    EXPECT_EQ(pool.Take(), b);
    EXPECT_EQ(pool.Take(), c);
    EXPECT_EQ(pool.ChunkCount(), 1u);
    pool.Release(nullptr);
    EXPECT_EQ(pool.FreeCount(), 0u);
}

TEST(BlockPool, ConstructsAndDestroysInPlace) {
    int live = 0;
    {
        CBlockPool<Tracked> pool(2);
        Tracked* x = pool.Construct(&live, std::string(100, 'x'));
        Tracked* y = pool.Construct(&live, "y");
        Tracked* z = pool.Construct(&live, "z");
        EXPECT_EQ(live, 3);
        EXPECT_EQ(x->name, std::string(100, 'x'));
        pool.Destroy(y);
        pool.Destroy(x);
        pool.Destroy(z);
        pool.Destroy(nullptr);
        EXPECT_EQ(live, 0);
        EXPECT_EQ(pool.FreeCount(), 4u);
    }
}

TEST(BlockPool, VariableBlockSizesDoNotOverlap) {
    CBlockPool<uint8_t> pool(8, 13);
    std::vector<uint8_t*> blocks;
    for (int i = 0; i < 8; ++i) {
        blocks.push_back(static_cast<uint8_t*>(pool.Take()));
        std::memset(blocks.back(), i, 13);
    }
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 13; ++k) ASSERT_EQ(blocks[size_t(i)][k], i);
    // Releasing writes only the link, never the bytes of another block.
    pool.Release(blocks[3]);
    for (int k = 0; k < 13; ++k) EXPECT_EQ(blocks[4][k], 4);
}
