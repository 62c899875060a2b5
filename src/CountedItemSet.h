// Per-item counters with the list of distinct items in order of first
// addition. Used for the cells touched in a step, the positions struck on a
// wall and the notes of a step. Fixed size: it never allocates.
#pragma once

#include <cassert>
#include <cstring>

template <int NUM_ITEMS>
class CountedItemSet {
public:
    CountedItemSet() { Clear(); }

    void Clear()
    {
        std::memset(mCount, 0, sizeof mCount);
        mListLength = 0;
    }
    void Add(int item)
    {
        assert(item >= 0 && item < NUM_ITEMS);
        if (mCount[item] == 0) mList[mListLength++] = item;
        ++mCount[item];
    }
    int Count(int item) const { return mCount[item]; }
    int ListLength() const { return mListLength; }
    int Item(int listIndex) const { return mList[listIndex]; }

private:
    int mCount[NUM_ITEMS];
    int mList[NUM_ITEMS];
    int mListLength;
};
