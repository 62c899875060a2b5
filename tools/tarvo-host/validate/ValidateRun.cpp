#include "ValidateRun.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

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

void HashOutputs(const ValidateHost& host, int frames, EPrecision precision, uint64_t* hash)
{
    for (int c = 0; c < host.OutputChannels(); ++c) {
        for (int i = 0; i < frames; ++i) {
            double sample = precision == EPrecision_Double ? host.DoubleOutput(c)[i] : double(host.FloatOutput(c)[i]);
            uint64_t bits = 0;
            std::memcpy(&bits, &sample, sizeof(bits));
            *hash = Mix(*hash, bits);
        }
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
        host.ProcessBlock(frames, settings.precision);
        if (host.UntouchedOutputs() > 0 && result->problems.size() < MAX_PROBLEMS)
            result->problems.push_back("block " + std::to_string(result->blocks) + " (" + std::to_string(frames) +
                                       " frames): " + std::to_string(host.UntouchedOutputs()) +
                                       " output buffer(s) left as the host filled them");
        if (std::isnan(host.OutputPeak()) && result->problems.size() < MAX_PROBLEMS)
            result->problems.push_back("block " + std::to_string(result->blocks) + ": an output sample is not finite");
        HashOutputs(host, frames, settings.precision, &result->outputHash);
        ++result->blocks;
        done += frames;
    }
    result->events = EventsSince(host, first);
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
