#include "ParamInbox.h"

static_assert(std::atomic<double>::is_always_lock_free, "the audio thread posts values without locks");
static_assert(std::atomic<bool>::is_always_lock_free, "the audio thread posts values without locks");

void ParamInbox::Resize(int count)
{
    if (count < 0) count = 0;
    mpSlots.reset(count > 0 ? new Slot[count] : nullptr);
    mCount = count;
    mCollected.assign(count, 0);
    mCollectedValues.assign(count, 0.0);
    mAnyPending.store(false, std::memory_order_release);
}

bool ParamInbox::Post(int paramIdx, double normalized)
{
    if (paramIdx < 0 || paramIdx >= mCount) return false;
    Slot& slot = mpSlots[paramIdx];
    slot.mValue.store(normalized, std::memory_order_relaxed);
    slot.mPending.store(true, std::memory_order_release);
    mAnyPending.store(true, std::memory_order_release);
    return true;
}

int ParamInbox::Collect()
{
    int taken = 0;
    bool any = mAnyPending.exchange(false, std::memory_order_acquire);
    for (int i = 0; i < mCount; ++i) {
        // The flag is taken before the value: a post that lands in between
        // leaves its flag set, and the next collection applies it again.
        bool pending = any && mpSlots[i].mPending.exchange(false, std::memory_order_acquire);
        mCollected[i] = pending ? 1 : 0;
        if (pending) {
            mCollectedValues[i] = mpSlots[i].mValue.load(std::memory_order_relaxed);
            ++taken;
        }
    }
    return taken;
}
