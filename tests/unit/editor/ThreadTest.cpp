// The view's calls from the audio thread allocate nothing and never wait for
// the editor; the editor's thread, the audio thread and a host thread can
// all run at once.
#include <atomic>
#include <chrono>
#include <thread>

#include "AllocationCounter.h"
#include "CellControl.h"
#include "EditorTestSupport.h"
#include "IGrooveMakerStepMarker.h"

TEST(EditorViewThreads, AudioThreadViewCallsAllocateNothing)
{
    EditorHost host;
    host.Open();
    host.SetUpStepProbe();
    host.SetPlain(EParam_TimeUnits, 15);  // "1/32t": about 900 samples a step
    host.SetParam(EParam_Save1, 1.0);
    host.Play();
    host.ProcessBlocks(50, 256);
    host.mEvents.reserve(100000);
    host.mAutomation.reserve(100000);
    Tarvo* pPlug = host.Plug();
    ITarvoView& view = host.Gui();

    size_t events = host.mEvents.size();
    const long before = AllocationCount();
    for (int i = 0; i < 200; ++i) {
        {
            ScopedLock lock(pPlug->Lock());
            pPlug->SetParameterFromMidi(EParam_Tilt, (i % 100) / 100.0);
            pPlug->SetParameterFromMidi(EParam_PnlSeq, i % 2);
            pPlug->SetParameterFromMidi(EParam_SeqNStep, (i % 32) / 31.0);
            pPlug->SetParameterFromMidi(EParam_Restore1, 1.0);
            pPlug->SetParameterFromMidi(EParam_Restore1, 0.0);
            pPlug->SetParameterFromMidi(EParam_ScaleLoad, 1.0);
            view.ShowScaleName(i % 2 ? "minor" : "");
        }
        host.Process(256);
    }
    EXPECT_EQ(AllocationCount() - before, 0);
    EXPECT_GT(host.mEvents.size() - events, 80u);  // it really played: a note a step

    // What was posted reaches the controls on the next tick.
    host.Tick();
    EXPECT_EQ(host.Bound(EParam_Tilt)->Value(), 0.99);
    EXPECT_STREQ(host.Gui().ScaleNameText()->GetText(), "minor");
    EXPECT_FALSE(host.Gui().SequencerPanel().IsHidden());
}

TEST(EditorViewThreads, TheEditorTicksWhileTheAudioAndHostThreadsChangeThings)
{
    EditorHost host;
    host.Open();
    host.SetUpStepProbe();
    std::vector<unsigned char> chunk = host.GetChunk();
    host.Play();
    host.mEvents.reserve(1000000);
    host.mAutomation.reserve(1000000);
    Tarvo* pPlug = host.Plug();
    AEffect* pEffect = host.Effect();
    std::atomic<bool> stop(false);
    std::atomic<long> ticks(0);

    std::thread gui([&] {
        while (!stop) {
            host.Tick();
            ++ticks;
        }
    });
    std::thread audio([&] {
        for (int i = 0; i < 400; ++i) {
            host.Process(128);
            ScopedLock lock(pPlug->Lock());
            pPlug->SetParameterFromMidi(EParam_Tilt, (i % 11) / 10.0);
            pPlug->SetParameterFromMidi(i % 2 ? EParam_PnlSeq : EParam_PnlPatt, 1.0);
        }
    });
    std::thread hostThread([&] {
        for (int i = 0; i < 40; ++i) {
            std::vector<unsigned char> copy(chunk);
            pEffect->dispatcher(pEffect, effSetChunk, 0, static_cast<VstIntPtr>(copy.size()), copy.data(), 0.0f);
            pEffect->setParameter(pEffect, EParam_SeqNStep, (i % 4) / 3.0f);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    audio.join();
    hostThread.join();
    while (ticks < 10) std::this_thread::yield();
    stop = true;
    gui.join();

    // The last values win once the editor ticks again.
    host.Tick();
    EXPECT_EQ(host.Bound(EParam_Tilt)->Value(), host.Value(EParam_Tilt));
    EXPECT_EQ(host.Gui().PatternPanel().IsHidden(), !pPlug->PatternPanelShown());
    EXPECT_EQ(host.Gui().SequencerPanel().IsHidden(), pPlug->PatternPanelShown());
    EXPECT_EQ(host.ReadOutText(EParam_SeqNStep), std::to_string(pPlug->Sequencer().mStepCount));
}

// The step canvas writes accent levels on the editor's thread while block
// processing reads them, the cells and wall strips take every step, and a
// host thread closes and opens the editor meanwhile.
TEST(EditorViewThreads, GridEditorDrawsAndEditsWhileStepsPublish)
{
    EditorHost host;
    host.Open();
    host.SetParam(EParam_PnlSeq, 1.0);
    host.SetUpHeavyScene(300.0);
    host.Play();
    host.mEvents.reserve(1000000);
    AEffect* pEffect = host.Effect();
    std::atomic<bool> stop(false);
    std::atomic<long> drags(0);

    std::thread gui([&] {
        const MouseMods ctrl(true, false, false, true, false);
        for (int i = 0; !stop; ++i) {
            int step = i % 32;
            host.Window().HandleMouseDown(120 + 15 * step + 5, 600, ctrl);
            host.Window().HandleMouseMove(120 + 15 * ((step + 9) % 32) + 5, 560 + i % 50, ctrl);
            host.Window().HandleMouseUp(120 + 15 * ((step + 9) % 32) + 5, 560 + i % 50, ctrl);
            host.Click(215 + 19 * (i % 17), 39 + 19 * (i % 13));
            host.Tick();
            ++drags;
        }
    });
    std::thread hostThread([&] {
        for (int i = 0; i < 20; ++i) {
            pEffect->dispatcher(pEffect, effEditClose, 0, 0, nullptr, 0.0f);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            pEffect->dispatcher(pEffect, effEditOpen, 0, 0, nullptr, 0.0f);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    for (int i = 0; i < 600; ++i) host.Process(128);
    hostThread.join();
    while (drags < 10) std::this_thread::yield();
    stop = true;
    gui.join();

    // The editor shows what the processor holds once it ticks again.
    host.Tick();
    const StepSimulation& simulation = host.Plug()->Simulation();
    for (int cellId = 0; cellId < MAX_CELLS; ++cellId) {
        ASSERT_EQ(host.Gui().Cell(cellId)->RoverCode(), simulation.mCellDisplay[cellId]) << cellId;
    }
    EXPECT_EQ(host.Gui().StepMarker()->ShownStep(), host.Plug()->Sequencer().mCurrentStep);
}
