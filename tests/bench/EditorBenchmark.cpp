// The editor's drawing on the offscreen surface: a full redraw with a busy
// grid, and the timer tick while the heaviest scene plays (what the editor
// costs the user-interface thread 24 times a second).
#include <benchmark/benchmark.h>

#include "FakeHost.h"
#include "TarvoGui.h"
#include "framework/gui/IGraphicsWindow.h"

namespace {

const double SAMPLE_RATE = 48000.0;
const int BLOCK = 512;
// One 41 ms timer period of audio.
const long long SAMPLES_PER_TICK = static_cast<long long>(SAMPLE_RATE * 0.041);

IGraphicsWindow& OpenEditor(FakeHost& host)
{
    IGraphicsWindow& window = *TarvoGui::Attach(host.Plug())->Surface();
    host.Effect()->dispatcher(host.Effect(), effEditOpen, 0, 0, nullptr, 0.0f);
    window.Tick();
    return window;
}

}  // namespace

static void BM_EditorFullRedraw(benchmark::State& state)
{
    FakeHost host(SAMPLE_RATE, BLOCK);
    IGraphicsWindow& window = OpenEditor(host);
    host.SetUpHeavyScene(300.0);
    host.mEvents.reserve(1 << 20);
    host.Play();
    host.ProcessSamples(static_cast<long long>(SAMPLE_RATE), BLOCK);
    window.Tick();
    for (auto _ : state) {
        window.MarkAllControlsChanged();
        window.Tick();
    }
    state.SetLabel("729 x 650, 20 rovers, every obstacle kind");
}
BENCHMARK(BM_EditorFullRedraw)->Unit(benchmark::kMicrosecond);

static void BM_EditorTickWhilePlaying(benchmark::State& state)
{
    FakeHost host(SAMPLE_RATE, BLOCK);
    IGraphicsWindow& window = OpenEditor(host);
    host.SetUpHeavyScene(300.0);
    host.mEvents.reserve(1 << 22);
    host.Play();
    host.ProcessSamples(static_cast<long long>(SAMPLE_RATE), BLOCK);
    window.Tick();
    for (auto _ : state) {
        state.PauseTiming();
        host.ProcessSamples(SAMPLES_PER_TICK, BLOCK);
        if (host.mEvents.size() > (1u << 21)) host.mEvents.clear();
        state.ResumeTiming();
        window.Tick();
    }
    state.SetLabel("one tick per 41 ms of the heaviest scene (48 kHz, 300 bpm, 1/32t)");
}
BENCHMARK(BM_EditorTickWhilePlaying)->Unit(benchmark::kMicrosecond);
