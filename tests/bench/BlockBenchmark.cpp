// Block processing of the heaviest scene a user can build, at the block
// sizes hosts use. The counter "per_audio_second" is the processing time
// spent per second of audio.
#include <benchmark/benchmark.h>

#include "FakeHost.h"

static void BM_HeavySceneBlock(benchmark::State& state)
{
    const double sampleRate = 48000.0;
    const int block = static_cast<int>(state.range(0));
    FakeHost host(sampleRate, block);
    host.SetUpHeavyScene(300.0);
    host.mEvents.reserve(1 << 22);
    host.Play();
    host.ProcessSamples(static_cast<long long>(sampleRate * 10), block);  // warm-up
    for (auto _ : state) {
        host.Process(block);
        if (host.mEvents.size() > (1u << 21)) {
            state.PauseTiming();
            host.mEvents.clear();
            state.ResumeTiming();
        }
    }
    double blockSeconds = block / sampleRate;
    state.counters["per_audio_second"] = benchmark::Counter(blockSeconds * state.iterations(),
                                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetLabel("48 kHz, 300 bpm, 1/32t, 20 rovers");
}
BENCHMARK(BM_HeavySceneBlock)->Arg(64)->Arg(512);

BENCHMARK_MAIN();
