// One run of blocks through a validator's instance: a timeline of so many
// frames cut into blocks of one size or of varying sizes, with what came
// out (the MIDI events, a digest of the audio, what was wrong). Every block
// gets the instance's stimulus (ValidateHost::FeedStimulus).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ValidateHost.h"

struct RunSettings {
    int64_t frames = 44100;
    // Frames per block; 0: sizes varying from 1 to maxBlock.
    int blockSize = 512;
    int maxBlock = 512;
    EPrecision precision = EPrecision_Single;
    uint32_t varySeed = 1;
    // The output samples are kept (RunResult::audio) for a comparison.
    bool keepAudio = false;
};

struct RunEvent {
    int64_t sample;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
    bool operator==(const RunEvent& other) const
    {
        return sample == other.sample && status == other.status && data1 == other.data1 && data2 == other.data2;
    }
    bool operator!=(const RunEvent& other) const { return !(*this == other); }
    bool operator<(const RunEvent& other) const;
};

struct RunResult {
    std::vector<RunEvent> events;  // sorted
    uint64_t outputHash = 0;
    // With keepAudio: every output sample, frame by frame, the channels of
    // a frame side by side, whatever the blocks were.
    std::vector<float> audio;
    int channels = 0;
    // Whether any output sample was other than zero.
    bool sounded = false;
    int64_t blocks = 0;
    // Blocks whose outputs were left untouched or not finite (the first few).
    std::vector<std::string> problems;
};

void RunBlocks(ValidateHost& host, const RunSettings& settings, RunResult* result);
// Empty when both runs kept the same audio within the rounding of their
// precision, else where and how much it differs.
std::string CompareAudio(const RunResult& reference, const RunResult& other);
// One block with the transport stopped, then the transport plays again
// from where it stands: a plug-in that settles after its state was loaded
// does so before the timeline starts, as in a host that loads a project
// and then plays it.
void SettleStopped(ValidateHost& host, int frames, EPrecision precision);
// The events of the host's record from index `first` on, sorted or in the
// order they came.
std::vector<RunEvent> EventsSince(const HostSession& host, size_t first, bool sorted = true);
// The notes still sounding after these events (in the order they came):
// note-ons not answered by a
// note-off (or a note-on of velocity 0) of the same channel and key.
int64_t NotesLeftOn(const std::vector<RunEvent>& events);
