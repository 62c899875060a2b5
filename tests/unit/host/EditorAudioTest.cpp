// The editor command's audio thread with a plug-in that lives in this test
// program: blocks run at the asked pace and stop when told, and the
// plug-in's calls from another thread (its editor's) meet a consistent
// host while the audio thread processes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "editor/EditorAudio.h"
#include "session/HostSession.h"
#include "play/PlayCommand.h"
#include "play/PlayOptions.h"

namespace {
struct AudioFake {
    AEffect effect;
    audioMasterCallback host = nullptr;
    std::atomic<int> processCalls{0};
    std::atomic<VstIntPtr> levelInProcess{0};
    std::atomic<int> parameterSets{0};
};
AudioFake* gAudioFake = nullptr;

VstIntPtr VSTCALLBACK AudioFakeDispatcher(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

void VSTCALLBACK AudioFakeProcess(AEffect* effect, float**, float** outputs, VstInt32 frames)
{
    for (VstInt32 i = 0; i < frames; ++i) outputs[0][i] = 0.0f;
    gAudioFake->levelInProcess.store(gAudioFake->host(effect, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0));
    ++gAudioFake->processCalls;
}

void VSTCALLBACK AudioFakeSetParameter(AEffect*, VstInt32, float) { ++gAudioFake->parameterSets; }

AEffect* VSTCALLBACK AudioFakeMain(audioMasterCallback host)
{
    gAudioFake->host = host;
    AEffect& effect = gAudioFake->effect;
    std::memset(&effect, 0, sizeof(effect));
    effect.magic = kEffectMagic;
    effect.dispatcher = AudioFakeDispatcher;
    effect.setParameter = AudioFakeSetParameter;
    effect.processReplacing = AudioFakeProcess;
    effect.numOutputs = 1;
    effect.numParams = 4;
    effect.flags = effFlagsCanReplacing;
    return &effect;
}

class EditorAudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gAudioFake = &mFake;
        std::string error;
        ASSERT_TRUE(mSession.LoadEntry(AudioFakeMain, &error)) << error;
        mOptions.blockSize = 441;  // 10 ms at 44.1 kHz
        mOptions.pluginPath = "fake";
    }
    void TearDown() override
    {
        mSession.Close();
        gAudioFake = nullptr;
    }

    // Calls the host as an editor would, from the calling thread.
    VstIntPtr CallHost(VstInt32 opcode, VstInt32 index = 0, float opt = 0.0f)
    {
        return mFake.host(&mFake.effect, opcode, index, 0, nullptr, opt);
    }

    bool WaitFinished(EditorAudio* audio, double seconds)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!audio->Finished() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return audio->Finished();
    }

    AudioFake mFake;
    HostSession mSession;
    PlayOptions mOptions;
};

TEST_F(EditorAudioTest, BoundedRunProcessesItsBlocksInRealTime)
{
    PlayRun run(&mSession, mOptions);
    ASSERT_TRUE(run.Prepare(true));
    ASSERT_TRUE(run.Open());
    EditorAudio audio(&mSession, &run, 12, mOptions.transport.sampleRate, 1.0);
    auto start = std::chrono::steady_clock::now();
    audio.Start();
    ASSERT_TRUE(WaitFinished(&audio, 10.0));
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    audio.Stop();
    std::string error;
    EXPECT_TRUE(audio.Succeeded(&error)) << error;
    EXPECT_EQ(mFake.processCalls.load(), 12);
    EXPECT_EQ(mSession.BlocksProcessed(), 12);
    EXPECT_EQ(mSession.FramesProcessed(), 12 * 441);
    // Block 12 starts 110 ms in; sleeping may overshoot, never undershoot.
    EXPECT_GE(elapsed, 0.105);
    EXPECT_EQ(mSession.Transport().SamplePosition(), 12 * 441);
}

TEST_F(EditorAudioTest, SpeedShortensTheRunAndStopEndsAnEndlessOne)
{
    PlayRun run(&mSession, mOptions);
    ASSERT_TRUE(run.Prepare(true));
    ASSERT_TRUE(run.Open());
    {
        // 100 blocks are a second of audio; at 50 times real time, 20 ms.
        EditorAudio fast(&mSession, &run, 100, mOptions.transport.sampleRate, 50.0);
        auto start = std::chrono::steady_clock::now();
        fast.Start();
        ASSERT_TRUE(WaitFinished(&fast, 5.0));
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.9);
        EXPECT_EQ(mFake.processCalls.load(), 100);
    }
    EditorAudio endless(&mSession, &run, -1, mOptions.transport.sampleRate, 1.0);
    endless.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_FALSE(endless.Finished());
    auto stopAsked = std::chrono::steady_clock::now();
    endless.Stop();
    EXPECT_TRUE(endless.Finished());
    // The thread was asleep between blocks: it ends without waiting out the
    // next one.
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - stopAsked).count(), 0.05);
    int processed = mFake.processCalls.load();
    EXPECT_GT(processed, 100);
    EXPECT_EQ(mSession.BlocksProcessed(), processed);
}

TEST_F(EditorAudioTest, ScriptFailureOnTheAudioThreadIsReported)
{
    ScriptAction load;
    load.block = 3;
    load.kind = EScriptAction_Load;
    load.path = "no-such-chunk-file.bin";
    mOptions.actions.push_back(load);
    PlayRun run(&mSession, mOptions);
    ASSERT_TRUE(run.Prepare(true));
    ASSERT_TRUE(run.Open());
    EditorAudio audio(&mSession, &run, 10, mOptions.transport.sampleRate, 20.0);
    audio.Start();
    ASSERT_TRUE(WaitFinished(&audio, 5.0));
    audio.Stop();
    std::string error;
    EXPECT_FALSE(audio.Succeeded(&error));
    EXPECT_NE(error.find("load before block 3"), std::string::npos) << error;
    EXPECT_EQ(mFake.processCalls.load(), 3);
}

TEST_F(EditorAudioTest, EditorThreadCallsMeetAConsistentHostWhileProcessing)
{
    PlayRun run(&mSession, mOptions);
    ASSERT_TRUE(run.Prepare(true));
    ASSERT_TRUE(run.Open());
    EditorAudio audio(&mSession, &run, 200, mOptions.transport.sampleRate, 10.0);
    audio.Start();
    // Edits and time queries from this thread race with the blocks.
    const int EDITS = 2000;
    std::vector<double> positions;
    for (int i = 0; i < EDITS; ++i) {
        CallHost(audioMasterAutomate, i % 4, float(i % 100) / 100.0f);
        const VstTimeInfo* time = reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime));
        ASSERT_NE(time, nullptr);
        positions.push_back(time->samplePos);
        EXPECT_EQ(CallHost(audioMasterGetCurrentProcessLevel), 1) << "the editor's thread is no audio thread";
        if (i % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(WaitFinished(&audio, 10.0));
    audio.Stop();

    EXPECT_EQ(mFake.levelInProcess.load(), 2) << "the audio thread processes in real time";
    ASSERT_EQ(mSession.AutomationCount(), EDITS);
    int64_t previousBlock = 0;
    for (int i = 0; i < EDITS; ++i) {
        const ReceivedAutomation& edit = mSession.Automation()[size_t(i)];
        EXPECT_EQ(edit.index, i % 4);
        EXPECT_GE(edit.block, previousBlock) << "edit " << i;
        EXPECT_LE(edit.block, 200);
        previousBlock = edit.block;
    }
    // The editor is told block boundaries only, never a half-updated record.
    double previous = 0.0;
    for (double position : positions) {
        EXPECT_EQ(std::fmod(position, 441.0), 0.0) << position;
        EXPECT_GE(position, previous);
        previous = position;
    }
}
}  // namespace
