// A small VST 2 host for driving the processor in unit tests: it owns one
// instance, reports a transport the way real hosts do (optionally rounding
// the musical position), and records every MIDI event with its absolute
// sample position.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "Tarvo.h"
#include "framework/plugin/VstInterface.h"

struct HostEvent {
    long long mSample;
    int mStatus;
    int mData1;
    int mData2;
    bool operator==(const HostEvent& other) const
    {
        return mSample == other.mSample && mStatus == other.mStatus && mData1 == other.mData1 && mData2 == other.mData2;
    }
};

inline void PrintTo(const HostEvent& event, std::ostream* pOut)
{
    *pOut << event.mSample << ":" << std::hex << event.mStatus << " " << event.mData1 << " " << event.mData2
          << std::dec;
}

// Note-ons that arrive while a note of the same pitch and channel still
// sounds: generated notes must never overlap.
int CountOverlappingNotes(const std::vector<HostEvent>& events);

struct AutomationCall {
    int mIndex;
    float mValue;
};

class FakeHost {
public:
    enum TimeMode {
        TimeMode_Full,
        TimeMode_None,
        TimeMode_SampleOnly
    };

    // configFolder: where the processor looks for "Tarvo3.ini" and its MIDI
    // map (none: the defaults).
    explicit FakeHost(double sampleRate = 44100.0, int blockSize = 512, const std::string& configFolder = "");
    ~FakeHost();

    Tarvo* Plug() { return mpPlug; }
    AEffect* Effect() { return mpEffect; }

    // Transport.
    void Play();
    void Stop();
    void Locate(long long sample);
    // A locate on a timeline whose tempo changed before: the musical
    // position is the host's own.
    void Locate(long long sample, double ppq);
    void SetTempo(double bpm) { mTempo = bpm; }
    void SetTimeMode(TimeMode mode) { mTimeMode = mode; }
    // Rounds ppqPos to the nearest 1/resolution of a quarter note (0: exact).
    void SetPpqResolution(int resolution) { mPpqResolution = resolution; }
    // Like Ardour 7: while stopped the host reports the end of the last
    // played block. Otherwise it reports where playback started.
    void SetStoppedAtLastBlock(bool atLastBlock) { mStoppedAtLastBlock = atLastBlock; }
    long long Position() const { return mPosition; }

    // Runs one block (single precision unless told otherwise); the
    // transport advances when playing.
    void Process(int frames, bool doublePrecision = false);
    void ProcessBlocks(int count, int frames);
    void ProcessSamples(long long samples, int frames);

    void SetParam(int index, double normalized);
    // A parameter's plain value set through its normalised form.
    void SetPlain(int index, double plain);
    double GetParam(int index);
    std::string ParamDisplay(int index);
    void SendMidi(int offset, int status, int data1, int data2);

    std::vector<unsigned char> GetChunk();
    bool SetChunk(const std::vector<unsigned char>& chunk);
    void SetProgram(int program);
    // effMainsChanged: a host suspends (false) and resumes (true) the plug-in.
    void SetActive(bool active);
    // audioMasterGetCurrentProcessLevel answers offline (a bounce) instead
    // of real time.
    void SetOffline(bool offline) { mOffline = offline; }
    // Tarvo3's timeline lock through its vendor-specific call; true when the
    // plug-in understood it.
    bool SetTimelineLock(bool on);

    std::vector<HostEvent> mEvents;
    std::vector<AutomationCall> mAutomation;
    // Begin (1) and end (0) of edit gestures, by parameter.
    std::vector<AutomationCall> mGestures;
    // audioMasterUpdateDisplay calls.
    int mDisplayUpdates = 0;
    std::vector<long long> NoteOnSamples() const;

    // Places a rover in a 1 x 1 grid that strikes two walls on every step,
    // so that each step sounds exactly one note-on at its own sample; the
    // notes last half a step.
    void SetUpStepProbe();
    // The heaviest scene a user can build: 20 rovers on a 17 x 17 grid,
    // obstacles of every kind, "1/32t" steps, repeats, jitter, humanising.
    void SetUpHeavyScene(double tempo = 300.0);

    static VstIntPtr VSTCALLBACK Callback(AEffect* pEffect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                          float opt);

private:
    VstIntPtr HandleCallback(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    void FillTime();

    Tarvo* mpPlug;
    AEffect* mpEffect;
    double mSampleRate;
    double mTempo;
    long long mPosition;
    long long mPlayStart;
    bool mPlaying;
    bool mTransportChanged;
    bool mStoppedAtLastBlock;
    TimeMode mTimeMode;
    int mPpqResolution;
    bool mOffline = false;
    double mPpq;
    VstTimeInfo mTime;
    long long mBlockPosition;
    std::vector<float> mBuffers[4];
};
