#include "ValidateRun.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "session/HostText.h"

bool RunEvent::operator<(const RunEvent& other) const
{
    if (sample != other.sample) return sample < other.sample;
    if (status != other.status) return status < other.status;
    if (data1 != other.data1) return data1 < other.data1;
    return data2 < other.data2;
}

std::vector<RunEvent> EventsSince(const HostSession& host, size_t first, bool sorted)
{
    std::vector<RunEvent> events;
    const std::vector<ReceivedMidiEvent>& received = host.MidiEvents();
    for (size_t i = first; i < received.size(); ++i)
        events.push_back(
            RunEvent{received[i].samplePosition, received[i].status, received[i].data1, received[i].data2});
    if (sorted) std::sort(events.begin(), events.end());
    return events;
}

namespace {
uint64_t Mix(uint64_t hash, uint64_t value)
{
    hash ^= value;
    return hash * 1099511628211ull;
}

double OutputSample(const ValidateHost& host, EPrecision precision, int channel, int frame)
{
    return precision == EPrecision_Double ? host.DoubleOutput(channel)[frame]
                                          : double(host.FloatOutput(channel)[frame]);
}

void HashOutputs(const ValidateHost& host, int frames, EPrecision precision, RunResult* result)
{
    for (int c = 0; c < host.OutputChannels(); ++c) {
        for (int i = 0; i < frames; ++i) {
            double sample = OutputSample(host, precision, c, i);
            if (sample != 0.0) result->sounded = true;
            uint64_t bits = 0;
            std::memcpy(&bits, &sample, sizeof(bits));
            result->outputHash = Mix(result->outputHash, bits);
        }
    }
}

void KeepAudio(const ValidateHost& host, int frames, EPrecision precision, RunResult* result)
{
    result->channels = host.OutputChannels();
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < host.OutputChannels(); ++c)
            result->audio.push_back(float(OutputSample(host, precision, c, i)));
    }
}
}  // namespace

void RunBlocks(ValidateHost& host, const RunSettings& settings, RunResult* result)
{
    const size_t MAX_PROBLEMS = 3;
    size_t first = host.MidiEvents().size();
    uint32_t vary = settings.varySeed ? settings.varySeed : 1;
    result->outputHash = 14695981039346656037ull;
    int64_t done = 0;
    while (done < settings.frames) {
        int frames = settings.blockSize;
        if (frames <= 0) {
            vary ^= vary << 13;
            vary ^= vary >> 17;
            vary ^= vary << 5;
            frames = 1 + int(vary % uint32_t(settings.maxBlock > 0 ? settings.maxBlock : 1));
        }
        if (frames > settings.frames - done) frames = int(settings.frames - done);
        host.FeedStimulus(frames);
        host.ProcessBlock(frames, settings.precision);
        if (host.UntouchedOutputs() > 0 && result->problems.size() < MAX_PROBLEMS)
            result->problems.push_back("block " + std::to_string(result->blocks) + " (" + std::to_string(frames) +
                                       " frames): " + std::to_string(host.UntouchedOutputs()) +
                                       " output buffer(s) left as the host filled them");
        if (std::isnan(host.OutputPeak()) && result->problems.size() < MAX_PROBLEMS)
            result->problems.push_back("block " + std::to_string(result->blocks) + ": an output sample is not finite");
        HashOutputs(host, frames, settings.precision, result);
        if (settings.keepAudio) KeepAudio(host, frames, settings.precision, result);
        ++result->blocks;
        done += frames;
    }
    result->events = EventsSince(host, first);
}

std::string CompareAudio(const RunResult& reference, const RunResult& other)
{
    if (reference.channels != other.channels || reference.audio.size() != other.audio.size())
        return "the outputs differ in size";
    float peak = 0.0f;
    for (float sample : reference.audio) peak = std::max(peak, std::fabs(sample));
    // Beyond the rounding of single precision, whatever the level.
    const float TOLERANCE = 1e-6f + 1e-4f * peak;
    size_t first = reference.audio.size();
    float largest = 0.0f;
    for (size_t i = 0; i < reference.audio.size(); ++i) {
        float difference = std::fabs(reference.audio[i] - other.audio[i]);
        if (!(difference <= TOLERANCE)) {
            if (first == reference.audio.size()) first = i;
            if (!(difference <= largest)) largest = difference;
        }
    }
    if (first == reference.audio.size()) return std::string();
    int channels = reference.channels > 0 ? reference.channels : 1;
    return "the audio differs from frame " + std::to_string(first / size_t(channels)) + " on (by up to " +
           FormatFixed(double(largest), 6) + ", peak " + FormatFixed(double(peak), 6) + ")";
}

void SettleStopped(ValidateHost& host, int frames, EPrecision precision)
{
    host.Transport().Stop();
    host.ProcessBlock(frames, precision);
    host.Transport().Play();
}

int64_t NotesLeftOn(const std::vector<RunEvent>& events)
{
    std::map<int, int64_t> sounding;
    for (const RunEvent& event : events) {
        int kind = event.status & 0xF0;
        int key = ((event.status & 0x0F) << 8) | event.data1;
        if (kind == 0x90 && event.data2 > 0) {
            ++sounding[key];
        } else if (kind == 0x80 || kind == 0x90) {
            if (sounding[key] > 0) --sounding[key];
        } else if (event.status >= 0xB0 && event.status <= 0xBF && (event.data1 == 123 || event.data1 == 120)) {
            // All notes off / all sound off on that channel.
            for (auto& entry : sounding) {
                if ((entry.first >> 8) == (event.status & 0x0F)) entry.second = 0;
            }
        }
    }
    int64_t left = 0;
    for (const auto& entry : sounding) left += entry.second;
    return left;
}
