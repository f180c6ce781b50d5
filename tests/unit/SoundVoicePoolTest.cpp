#include "game/SoundVoicePool.h"

#include <gtest/gtest.h>

TEST(SoundVoicePool, FreeVoicesFirstThenTheOldestIsTakenOver)
{
    SoundVoicePool pool(3);
    EXPECT_EQ(pool.Acquire(false), 0);
    EXPECT_EQ(pool.Acquire(false), 1);
    EXPECT_EQ(pool.Acquire(false), 2);
    // All busy: each new play takes the voice whose sound started first.
    EXPECT_EQ(pool.Acquire(false), 0);
    EXPECT_EQ(pool.Acquire(false), 1);
    EXPECT_EQ(pool.Acquire(false), 2);
    EXPECT_EQ(pool.Acquire(false), 0);

    // A voice that finished is taken before any playing one, however old.
    pool.Release(2);
    EXPECT_EQ(pool.Acquire(false), 2);
    EXPECT_EQ(pool.Acquire(false), 1);
}

TEST(SoundVoicePool, HeldVoicesAreNeverTakenOver)
{
    SoundVoicePool pool(3);
    const int held = pool.Acquire(true);
    const uint32_t generation = pool.Generation(held);
    pool.Acquire(false);
    pool.Acquire(false);
    for (int i = 0; i < 10; ++i)
        EXPECT_NE(pool.Acquire(false), held);
    EXPECT_TRUE(pool.IsCurrent(held, generation));

    // Once every voice is held there is nothing to take.
    pool.Acquire(true);
    pool.Acquire(true);
    EXPECT_EQ(pool.Acquire(false), -1);
    EXPECT_EQ(pool.Acquire(true), -1);

    // Giving the handle back makes the oldest held voice available again.
    pool.Untrack(held, generation);
    EXPECT_FALSE(pool.IsTracked(held));
    EXPECT_EQ(pool.Acquire(false), held);
    EXPECT_FALSE(pool.IsCurrent(held, generation));
}

TEST(SoundVoicePool, StaleHandlesCannotTouchTheNextSound)
{
    SoundVoicePool pool(1);
    const int voice = pool.Acquire(true);
    const uint32_t first = pool.Generation(voice);
    pool.Release(voice); // played out
    EXPECT_FALSE(pool.IsBusy(voice));
    EXPECT_FALSE(pool.IsCurrent(voice, first));

    ASSERT_EQ(pool.Acquire(true), voice);
    const uint32_t second = pool.Generation(voice);
    EXPECT_NE(first, second);
    // The first sound's handle is given back late: the second sound stays held.
    pool.Untrack(voice, first);
    EXPECT_TRUE(pool.IsTracked(voice));
    EXPECT_EQ(pool.Acquire(false), -1);
}

TEST(SoundVoicePool, EmptyPoolHasNothingToGive)
{
    SoundVoicePool pool;
    EXPECT_EQ(pool.Size(), 0u);
    EXPECT_FALSE(pool.HasFree());
    EXPECT_EQ(pool.Acquire(false), -1);
    EXPECT_FALSE(pool.IsCurrent(0, 0));
}
