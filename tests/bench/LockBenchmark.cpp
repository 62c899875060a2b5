// The timeline lock's cost on the audio thread, for the heaviest scene (20
// rovers, every obstacle kind, "1/32t" at 300 bpm, 64-frame blocks at
// 48 kHz) and for finer steps ("Slow" 0.1 with double time):
// - the block of a locate anywhere within 30 minutes already played, which
//   a checkpoint serves ("p99_cpu_us" and "max_cpu_us" in the thread's own
//   CPU time, which other programs cannot stretch);
// - the block of a locate that no checkpoint serves (an edit made them
//   stale): one slice of the spread catch-up, and how many blocks it takes;
// - the checkpoints' memory after those 30 minutes, and how far a song runs
//   before they are thinned.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <vector>

#include "FakeHost.h"

namespace {

const double RATE = 48000.0;
const int BLOCK = 64;
const long long SONG = static_cast<long long>(RATE) * 60 * 30;

struct LockedSong {
    std::unique_ptr<FakeHost> mpHost;
    double mStepsPerMinute = 0.0;
};

// The heaviest scene, locked and played for 30 minutes (in large blocks:
// the checkpoints are the same whatever the block size).
LockedSong* PlayedSong(bool finerSteps)
{
    static LockedSong songs[2];
    LockedSong& song = songs[finerSteps ? 1 : 0];
    if (song.mpHost) return &song;
    song.mpHost.reset(new FakeHost(RATE, BLOCK));
    FakeHost& host = *song.mpHost;
    host.SetUpHeavyScene(300.0);
    if (finerSteps) {
        host.SetPlain(EParam_Slow, 0.1);
        host.SetPlain(EParam_TimeDbl, 1);
    }
    host.SetTimelineLock(true);
    host.Play();
    for (long long done = 0; done < SONG; done += 4096) {
        host.Process(4096);
        host.mEvents.clear();
    }
    song.mStepsPerMinute = 60.0 * RATE / host.Plug()->StepLength();
    return &song;
}

double Seconds(std::chrono::steady_clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double ThreadSeconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

}  // namespace

static void BM_LockedLocate(benchmark::State& state)
{
    LockedSong* pSong = PlayedSong(state.range(0) != 0);
    FakeHost& host = *pSong->mpHost;
    const CheckpointStore& checkpoints = host.Plug()->Checkpoints();
    unsigned seed = 2024;
    std::vector<double> cpu;
    for (auto _ : state) {
        seed = seed * 1103515245u + 12345u;
        host.Locate(static_cast<long long>(seed % static_cast<unsigned>(SONG)));
        auto start = std::chrono::steady_clock::now();
        double cpuStart = ThreadSeconds();
        host.Process(BLOCK);
        cpu.push_back(ThreadSeconds() - cpuStart);
        state.SetIterationTime(Seconds(std::chrono::steady_clock::now() - start));
        host.mEvents.clear();
    }
    std::sort(cpu.begin(), cpu.end());
    const double perCheckpoint = double(checkpoints.UsedBytes()) / double(checkpoints.Count() - 1);
    const double storable = double(checkpoints.ReservedBytes()) / perCheckpoint;
    state.counters["p99_cpu_us"] = cpu[cpu.size() * 99 / 100] * 1e6;
    state.counters["max_cpu_us"] = cpu.back() * 1e6;
    state.counters["spacing"] = checkpoints.Spacing();
    state.counters["checkpoint_MB"] = double(checkpoints.UsedBytes()) / (1 << 20);
    state.counters["reserved_MB"] = double(checkpoints.ReservedBytes()) / (1 << 20);
    state.counters["bytes_each"] = perCheckpoint;
    state.counters["minutes_to_thinning"] = storable * Tarvo::CHECKPOINT_SPACING / pSong->mStepsPerMinute;
    state.SetLabel(state.range(0) ? "Slow 0.1, double time: 2400 steps/s" : "heaviest scene: 120 steps/s");
}
BENCHMARK(BM_LockedLocate)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

static void BM_LockedCatchUpSlice(benchmark::State& state)
{
    LockedSong* pSong = PlayedSong(state.range(0) != 0);
    FakeHost& host = *pSong->mpHost;
    double longest = 0.0;
    long long blocks = 0, catchUps = 0;
    for (auto _ : state) {
        // An edit of the stopped start scene makes every checkpoint stale.
        state.PauseTiming();
        host.Stop();
        host.Process(BLOCK);
        host.SetPlain(EParam_Velocity, 90 + static_cast<int>(catchUps % 2));
        host.Locate(SONG / 2);
        host.Play();
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        double cpuStart = ThreadSeconds();
        host.Process(BLOCK);
        longest = std::max(longest, ThreadSeconds() - cpuStart);
        state.SetIterationTime(Seconds(std::chrono::steady_clock::now() - start));
        state.PauseTiming();
        for (++blocks; host.Plug()->CatchingUp(); ++blocks) host.Process(BLOCK);
        ++catchUps;
        host.mEvents.clear();
        state.ResumeTiming();
    }
    state.counters["max_cpu_us"] = longest * 1e6;
    state.counters["blocks_to_rejoin"] = double(blocks) / double(catchUps);
    state.SetLabel("a locate to minute 15 with no checkpoint");
}
BENCHMARK(BM_LockedCatchUpSlice)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(5);
