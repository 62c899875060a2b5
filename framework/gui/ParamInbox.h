// A lock-free mailbox of one pending normalised value per parameter.
// Any thread may post (the audio thread among them: posting never blocks
// and never allocates); the GUI thread collects everything posted since its
// last collection and applies it. A value posted twice before a collection
// is applied once, with the later value.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

class ParamInbox {
public:
    ParamInbox() {}

    // Sizes the inbox for count parameters, dropping anything pending. Not
    // safe against concurrent posts: called while the editor is set up.
    void Resize(int count);
    int Size() const { return mCount; }

    // Any thread. False when the index lies outside the inbox.
    bool Post(int paramIdx, double normalized);

    // GUI thread. Takes every pending value into the snapshot below;
    // returns how many parameters had one.
    int Collect();
    bool Collected(int paramIdx) const { return paramIdx >= 0 && paramIdx < mCount && mCollected[paramIdx] != 0; }
    double CollectedValue(int paramIdx) const { return mCollectedValues[paramIdx]; }

private:
    ParamInbox(const ParamInbox&) = delete;
    ParamInbox& operator=(const ParamInbox&) = delete;

    struct Slot {
        std::atomic<double> mValue{0.0};
        std::atomic<bool> mPending{false};
    };

    int mCount = 0;
    std::unique_ptr<Slot[]> mpSlots;
    std::atomic<bool> mAnyPending{false};
    // The GUI thread's snapshot of the last collection.
    std::vector<char> mCollected;
    std::vector<double> mCollectedValues;
};
