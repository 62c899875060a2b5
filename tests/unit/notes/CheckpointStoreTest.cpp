// The timeline lock's checkpoints: kept in step order in the memory reserved
// for them, every other one dropped when it is full, never refusing the
// song's later steps.
#include <gtest/gtest.h>

#include <cstring>

#include "CheckpointStore.h"

namespace {
const int RECORD = 150;  // two slots each

void StoreStep(CheckpointStore* pStore, int64_t step)
{
    std::memset(pStore->Scratch(), static_cast<int>(step % 251), RECORD);
    pStore->Store(step, pStore->Scratch(), RECORD);
}
}  // namespace

TEST(CheckpointStore, KeepsRecordsInStepOrderAndThinsEveryOtherWhenFull)
{
    CheckpointStore store(4);
    ASSERT_TRUE(store.Reserve(64 * CheckpointStore::SLOT_BYTES));
    for (int64_t step = 4; step <= 2000; step += 4) {
        if (step == store.NextIndex()) StoreStep(&store, step);
        EXPECT_LE(store.UsedBytes(), 64u * CheckpointStore::SLOT_BYTES);
    }
    EXPECT_GE(store.Thinnings(), 4);
    EXPECT_EQ(store.Spacing(), 4 << store.Thinnings());
    EXPECT_GE((store.Count() - 1) * store.Spacing(), 1000);

    for (int64_t target : {0, 3, 5, 127, 128, 999, 1999, 100000}) {
        const int64_t found = store.Find(target);
        EXPECT_LE(found, target);
        EXPECT_EQ(found % store.Spacing(), 0);
        EXPECT_GT(found + store.Spacing(), std::min<int64_t>(target, (store.Count() - 1) * store.Spacing()));
        if (found == 0) continue;
        ASSERT_EQ(store.Read(found), RECORD) << found;
        for (int i = 0; i < RECORD; ++i) ASSERT_EQ(store.Scratch()[i], found % 251) << found;
    }

    // A step out of order is not taken; a cleared store starts again.
    StoreStep(&store, store.NextIndex() + 1);
    EXPECT_EQ(store.Find(100000), (store.Count() - 1) * store.Spacing());
    store.Clear();
    EXPECT_EQ(store.Find(100000), 0);
    EXPECT_EQ(store.Spacing(), 4);
    EXPECT_EQ(store.UsedBytes(), 0u);
}
