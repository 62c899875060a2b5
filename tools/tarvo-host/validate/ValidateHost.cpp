#include "ValidateHost.h"

#include "AllocationProbe.h"

namespace {
// Set on the thread that is inside a watched processing call.
thread_local bool tInProcessCall = false;
}  // namespace

ValidateHost::ValidateHost() {}

ValidateHost::~ValidateHost() { Close(); }

bool ValidateHost::Start(const std::string& path, double sampleRate, int blockSize, std::string* error)
{
    if (!LoadFile(path, error)) return false;
    TransportSettings settings;
    settings.sampleRate = sampleRate;
    SetTransport(settings);
    Open();
    SetSampleRate(sampleRate);
    SetBlockSize(blockSize);
    SetActive(true);
    return true;
}

GestureCounts ValidateHost::Gestures() const
{
    std::lock_guard<std::mutex> guard(mGestureLock);
    GestureCounts counts = mGestures;
    counts.open = 0;
    for (const auto& entry : mOpenGestures) counts.open += entry.second;
    return counts;
}

VstIntPtr ValidateHost::GuardedDispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt,
                                        bool* crossed)
{
    try {
        return Dispatch(opcode, index, value, ptr, opt);
    } catch (...) {
        *crossed = true;
        return 0;
    }
}

VstIntPtr ValidateHost::OnHostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                       float opt)
{
    if (opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit) {
        std::lock_guard<std::mutex> guard(mGestureLock);
        int64_t& open = mOpenGestures[index];
        if (opcode == audioMasterBeginEdit) {
            ++mGestures.begun;
            ++open;
        } else {
            ++mGestures.ended;
            if (open > 0) {
                --open;
            } else {
                ++mGestures.unmatchedEnds;
            }
        }
        return 1;
    }
    // What the host does to answer is not the plug-in's allocation.
    bool watched = tInProcessCall;
    if (watched) WatchThreadAllocations(false);
    VstIntPtr result = HostSession::OnHostCallback(effect, opcode, index, value, ptr, opt);
    if (watched) WatchThreadAllocations(true);
    return result;
}

void ValidateHost::FeedStimulus(int frames)
{
    if (frames <= 0) return;
    if (mStimulus == EStimulus_Notes) {
        ValidateStimulus::NotesWithin(mStimulusFrame, frames, &mStimulusEvents);
        if (!mStimulusEvents.empty()) DeliverMidi(mStimulusEvents);
        mNotesFed +=
            ValidateStimulus::NotesBefore(mStimulusFrame + frames) - ValidateStimulus::NotesBefore(mStimulusFrame);
    } else if (mStimulus == EStimulus_Signal) {
        mSignalStart = mStimulusFrame;
        mSignalFrames = frames;
    }
    mStimulusFrame += frames;
}

void ValidateHost::OnProcessCall(bool starting)
{
    if (starting && mSignalFrames > 0) {
        for (int c = 0; c < InputChannels(); ++c) {
            float* single = FloatInput(c);
            double* twice = DoubleInput(c);
            for (int i = 0; i < mSignalFrames; ++i) {
                double sample = ValidateStimulus::SignalSample(c, mSignalStart + i);
                single[i] = float(sample);
                twice[i] = sample;
            }
        }
        mSignalFrames = 0;
    }
    if (!mpObserver) return;
    if (starting) {
        mpObserver->ProcessCallBegan();
        tInProcessCall = true;
    } else {
        tInProcessCall = false;
        mpObserver->ProcessCallEnded();
    }
}
