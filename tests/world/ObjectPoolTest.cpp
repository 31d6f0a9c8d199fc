#include "world/ObjectPool.h"

#include <gtest/gtest.h>

#include "world/PoolKind.h"

TEST(ObjectPool, HandsOutNothingUntilAClassGivesItsSize) {
    CObjectPool pool;
    pool.SetBlockCount(4);
    EXPECT_EQ(pool.Alloc(), nullptr);
    EXPECT_FALSE(pool.Grow());
}

TEST(ObjectPool, GrowsByOneBlockAndIsFirstInFirstOut) {
    CObjectPool pool;
    pool.SetBlockCount(3);
    pool.SetElementSize(24);
    void* a = pool.Alloc();
    EXPECT_EQ(pool.BlockTotal(), 1u) << "an empty pool grows by exactly one block";
    EXPECT_EQ(pool.FreeCount(), 2u);
    void* b = pool.Alloc();
    void* c = pool.Alloc();
    EXPECT_EQ(pool.FreeCount(), 0u);
    EXPECT_LT(a, b);
    EXPECT_LT(b, c) << "a new block is handed out in address order";
    pool.Free(b);
    pool.Free(a);
    EXPECT_EQ(pool.Alloc(), b) << "released first, handed out first";
    EXPECT_EQ(pool.Alloc(), a);
    void* d = pool.Alloc();
    EXPECT_EQ(pool.BlockTotal(), 2u);
    EXPECT_EQ(pool.FreeCount(), 2u);
    pool.Free(c);
    void* e = pool.Alloc();
    EXPECT_NE(e, c) << "the rest of the new block was free before c";
    for (void* p : {a, b, d, e}) pool.Free(p);
    pool.Free(pool.Alloc());
    EXPECT_EQ(pool.LiveCount(), 0u);
    pool.Clear();
    EXPECT_EQ(pool.BlockTotal(), 0u);
    void* f = pool.Alloc();
    EXPECT_NE(f, nullptr);
    EXPECT_EQ(pool.BlockTotal(), 1u) << "Clear, then Alloc grows a fresh block";
    pool.Free(f);
}

#ifndef NDEBUG
TEST(ObjectPoolDeathTest, SecondFreeAndClearWithLiveElementsAreCaught) {
    EXPECT_DEATH(
        {
            CObjectPool pool;
            pool.SetBlockCount(2);
            pool.SetElementSize(8);
            void* a = pool.Alloc();
            pool.Free(a);
            pool.Free(a);
        },
        "freed twice");
    EXPECT_DEATH(
        {
            CObjectPool pool;
            pool.SetBlockCount(2);
            pool.SetElementSize(8);
            (void)pool.Alloc();
            pool.Clear();
        },
        "in use");
}
#endif

TEST(PoolKind, EveryKindHasItsPoolAndFirstBlock) {
    EXPECT_EQ(kPoolFirstBlock[POOL_ORDER_RECORD], 101);
    EXPECT_EQ(kPoolFirstBlock[POOL_SKILL_8], 20);
    EXPECT_EQ(kPoolFirstBlock[POOL_UNIT], 50);
    EXPECT_EQ(kPoolFirstBlock[POOL_ITEM_OBJECT], 30);
    EXPECT_EQ(EffectPool(1), EffectPool(6));
    EXPECT_EQ(EffectPool(8), EffectPool(10));
    EXPECT_EQ(EffectPool(3), POOL_EFFECT_H);
    EXPECT_EQ(kPoolFirstBlock[EffectPool(18)], 30);
    EXPECT_EQ(EffectPool(24), -1);
    EXPECT_EQ(SkillPool(9), -1);
    EXPECT_EQ(ObjectTypePool(3), POOL_ITEM_OBJECT);
}
