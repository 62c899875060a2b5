// Drives HostSession and the play run with a plug-in that lives in this
// test program: it records what the host calls and calls the host back the
// way plug-ins do, well-behaved or not.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "session/HostSession.h"
#include "session/HostText.h"
#include "play/PlayCommand.h"
#include "play/PlayOptions.h"

namespace {
struct FakePlugin {
    AEffect effect;
    audioMasterCallback host = nullptr;
    std::vector<std::string> calls;
    // Filled in each processing call.
    std::vector<VstTimeInfo> times;
    std::vector<bool> timeMissing;
    std::vector<VstIntPtr> processLevels;
    // Behaviour.
    double outputValue = 0.0;
    bool writeOutputs = true;
    bool sendBrokenEvents = false;
    bool echoInput = false;
    std::vector<uint8_t> chunkOut = {'s', 't', 'a', 't', 'e'};
    std::vector<uint8_t> chunkIn;
};
FakePlugin* gFake = nullptr;

void Record(const std::string& call) { gFake->calls.push_back(call); }

VstIntPtr CallHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0)
{
    return gFake->host(&gFake->effect, opcode, index, value, ptr, opt);
}

void SendOneMidi(VstInt32 delta, uint8_t status, uint8_t data1, uint8_t data2)
{
    VstMidiEvent event = MakeMidiEvent(delta, status, data1, data2);
    VstEvents list = {};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<VstEvent*>(&event);
    CallHost(audioMasterProcessEvents, 0, 0, &list);
}

VstIntPtr VSTCALLBACK FakeDispatcher(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    char text[64];
    switch (opcode) {
    case effOpen:
        Record("open");
        return 0;
    case effClose:
        Record("close");
        return 0;
    case effSetSampleRate:
        std::snprintf(text, sizeof(text), "samplerate %g", double(opt));
        Record(text);
        return 0;
    case effSetBlockSize:
        Record("blocksize " + std::to_string(value));
        return 0;
    case effMainsChanged:
        Record("mains " + std::to_string(value));
        return 0;
    case effGetParamName:
        std::strcpy(static_cast<char*>(ptr), index == 1 ? "Gain" : "Other");
        return 0;
    case effSetChunk: {
        const uint8_t* bytes = static_cast<const uint8_t*>(ptr);
        gFake->chunkIn.assign(bytes, bytes + value);
        Record("setchunk " + std::to_string(index) + " " + std::to_string(value));
        return 1;
    }
    case effGetChunk:
        Record("getchunk " + std::to_string(index));
        *static_cast<void**>(ptr) = gFake->chunkOut.data();
        return VstIntPtr(gFake->chunkOut.size());
    case effVendorSpecific:
        Record("vendor " + std::to_string(index) + " " + std::to_string(value));
        return 1;
    case effProcessEvents: {
        const VstEvents* events = static_cast<const VstEvents*>(ptr);
        Record("events " + std::to_string(events->numEvents));
        for (VstInt32 i = 0; gFake->echoInput && i < events->numEvents; ++i) {
            const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(events->events[i]);
            SendOneMidi(midi->deltaFrames, uint8_t(midi->midiData[0]), uint8_t(midi->midiData[1]),
                        uint8_t(midi->midiData[2]));
        }
        return 1;
    }
    default:
        return 0;
    }
}

void VSTCALLBACK FakeSetParameter(AEffect*, VstInt32 index, float value)
{
    char text[64];
    std::snprintf(text, sizeof(text), "param %d %g", int(index), double(value));
    Record(text);
    CallHost(audioMasterAutomate, index, 0, nullptr, value);
}

float VSTCALLBACK FakeGetParameter(AEffect*, VstInt32) { return 0.0f; }

void SendBrokenEvents()
{
    VstMidiEvent note = MakeMidiEvent(10, 0x90, 60, 100);
    VstEvent sysex = {};
    sysex.type = kVstSysExType;
    // A list of three: the note, a null entry and a SysEx event.
    struct {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[3];
    } list = {3, 0, {reinterpret_cast<VstEvent*>(&note), nullptr, &sysex}};
    static_assert(offsetof(decltype(list), events) == offsetof(VstEvents, events), "VstEvents layout");
    CallHost(audioMasterProcessEvents, 0, 0, &list);
    VstEvents negative = {};
    negative.numEvents = -1;
    CallHost(audioMasterProcessEvents, 0, 0, &negative);
    CallHost(audioMasterProcessEvents, 0, 0, nullptr);
}

template <typename Sample>
void FakeProcess(Sample** outputs, VstInt32 frames, const char* name)
{
    Record(std::string(name) + " " + std::to_string(frames));
    VstTimeInfo* time = reinterpret_cast<VstTimeInfo*>(CallHost(audioMasterGetTime, 0, 0));
    gFake->timeMissing.push_back(time == nullptr);
    gFake->times.push_back(time ? *time : VstTimeInfo());
    // A careless plug-in scribbling on the record it was given.
    if (time) time->samplePos = -12345.0;
    gFake->processLevels.push_back(CallHost(audioMasterGetCurrentProcessLevel));
    if (gFake->sendBrokenEvents) SendBrokenEvents();
    for (int c = 0; gFake->writeOutputs && c < gFake->effect.numOutputs; ++c)
        for (VstInt32 i = 0; i < frames; ++i) outputs[c][i] = Sample(gFake->outputValue);
}

void VSTCALLBACK FakeProcessReplacing(AEffect*, float**, float** outputs, VstInt32 frames)
{
    FakeProcess(outputs, frames, "process");
}

void VSTCALLBACK FakeProcessDouble(AEffect*, double**, double** outputs, VstInt32 frames)
{
    FakeProcess(outputs, frames, "processdouble");
}

AEffect* VSTCALLBACK FakeEntry(audioMasterCallback host)
{
    gFake->host = host;
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0) != 2400) return nullptr;
    AEffect& effect = gFake->effect;
    std::memset(&effect, 0, sizeof(effect));
    effect.magic = kEffectMagic;
    effect.dispatcher = FakeDispatcher;
    effect.setParameter = FakeSetParameter;
    effect.getParameter = FakeGetParameter;
    effect.processReplacing = FakeProcessReplacing;
    effect.processDoubleReplacing = FakeProcessDouble;
    effect.numParams = 3;
    effect.numOutputs = 2;
    effect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    return &effect;
}

AEffect* VSTCALLBACK NullEntry(audioMasterCallback) { return nullptr; }

AEffect* VSTCALLBACK BadMagicEntry(audioMasterCallback host)
{
    AEffect* effect = FakeEntry(host);
    effect->magic = 0x12345678;
    return effect;
}

class HostSessionTest : public ::testing::Test {
protected:
    void SetUp() override { gFake = &mFake; }
    void TearDown() override
    {
        mSession.Close();
        gFake = nullptr;
    }

    // Loads the fake afresh, forgetting what it recorded so far.
    void Load()
    {
        mFake.calls.clear();
        mFake.times.clear();
        mFake.timeMissing.clear();
        mFake.processLevels.clear();
        std::string error;
        ASSERT_TRUE(mSession.LoadEntry(FakeEntry, &error)) << error;
    }

    // Runs play with these arguments (the plug-in name is a placeholder).
    int Play(std::vector<std::string> args)
    {
        args.insert(args.begin(), "fake");
        PlayOptions options;
        std::string error;
        EXPECT_TRUE(ParsePlayOptions(args, &options, &error)) << error;
        mReport.clear();
        return RunPlay(&mSession, options, &mReport);
    }

    VstIntPtr AskHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0)
    {
        return CallHost(opcode, index, value, ptr, opt);
    }

    std::string TempFile(const std::string& name) { return ::testing::TempDir() + "host_session_" + name; }

    FakePlugin mFake;
    HostSession mSession;
    std::string mReport;
};
}  // namespace

TEST_F(HostSessionTest, PlayCallsThePlugInInTheDocumentedOrder)
{
    std::string chunkIn = TempFile("in.chunk");
    std::string chunkOut = TempFile("out.chunk");
    std::string error;
    ASSERT_TRUE(WriteWholeFile(chunkIn, "abc", &error)) << error;
    Load();
    ASSERT_EQ(Play({"--sr", "48000", "--block", "256", "--blocks", "2", "--chunk-in", chunkIn, "--param", "7=0.25",
                    "--set", "Gain=0.5", "--chunk-out", chunkOut}),
              EExitCode_Success);
    std::vector<std::string> expected = {"open",         "samplerate 48000", "blocksize 256", "mains 1",
                                         "setchunk 0 3", "param 7 0.25",     "param 1 0.5",   "process 256",
                                         "process 256",  "getchunk 0",       "mains 0",       "close"};
    EXPECT_EQ(mFake.calls, expected);
    EXPECT_EQ(mFake.chunkIn, (std::vector<uint8_t>{'a', 'b', 'c'}));
    std::vector<uint8_t> saved;
    ASSERT_TRUE(ReadWholeFile(chunkOut, &saved, &error)) << error;
    EXPECT_EQ(saved, mFake.chunkOut);
    EXPECT_NE(mReport.find("\"blocks\": 2,"), std::string::npos) << mReport;
    EXPECT_NE(mReport.find("\"samples\": 512,"), std::string::npos) << mReport;
    EXPECT_NE(mReport.find("\"automation\": 2,"), std::string::npos) << mReport;
    std::remove(chunkIn.c_str());
    std::remove(chunkOut.c_str());
}

TEST_F(HostSessionTest, UnknownParameterNameFailsButStillClosesThePlugIn)
{
    Load();
    EXPECT_EQ(Play({"--set", "Volume=1", "--blocks", "4"}), EExitCode_Usage);
    ASSERT_GE(mFake.calls.size(), 2u);
    EXPECT_EQ(mFake.calls[mFake.calls.size() - 2], "mains 0");
    EXPECT_EQ(mFake.calls.back(), "close");
    for (const std::string& call : mFake.calls) EXPECT_NE(call.substr(0, 7), "process");
}

TEST_F(HostSessionTest, ScriptDrivesTransportBlockSizeAndMidiInput)
{
    mFake.echoInput = true;
    Load();
    ASSERT_EQ(Play({"--block",  "100",
                    "--blocks", "5",
                    "--at",     "0 midi 3 90 40 7f",
                    "--at",     "2 stop",
                    "--at",     "3 blocksize 0",
                    "--at",     "3 locate 1000",
                    "--at",     "3 midi 7 80 40 00",
                    "--at",     "4 play",
                    "--at",     "4 blocksize 50",
                    "--at",     "9 play"}),
              EExitCode_Success);
    std::vector<std::string> processing;
    for (const std::string& call : mFake.calls) {
        if (call.substr(0, 7) == "process" || call.substr(0, 6) == "events") processing.push_back(call);
    }
    EXPECT_EQ(processing, (std::vector<std::string>{"events 1", "process 100", "process 100", "process 100", "events 1",
                                                    "process 0", "process 50"}));
    ASSERT_EQ(mFake.times.size(), 5u);
    const int MUSICAL = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    EXPECT_EQ(mFake.times[0].flags, kVstTransportChanged | kVstTransportPlaying | MUSICAL);
    EXPECT_EQ(mFake.times[1].flags, kVstTransportPlaying | MUSICAL);
    EXPECT_EQ(mFake.times[2].flags, kVstTransportChanged | MUSICAL);
    EXPECT_EQ(mFake.times[2].samplePos, 200.0);
    EXPECT_EQ(mFake.times[3].flags, MUSICAL);
    EXPECT_EQ(mFake.times[3].samplePos, 1000.0);
    EXPECT_EQ(mFake.times[4].flags, kVstTransportChanged | kVstTransportPlaying | MUSICAL);
    EXPECT_EQ(mFake.times[4].samplePos, 1000.0);

    // Echoed input is stamped with the position of the block it came with.
    ASSERT_EQ(mSession.MidiEvents().size(), 2u);
    EXPECT_EQ(mSession.MidiEvents()[0].samplePosition, 3);
    EXPECT_EQ(mSession.MidiEvents()[1].samplePosition, 1007);
    EXPECT_EQ(mSession.MidiEvents()[1].status, 0x80);
    EXPECT_NE(mReport.find("\"samples\": 350,"), std::string::npos) << mReport;
    EXPECT_NE(mReport.find("\"noteOns\": 1,"), std::string::npos) << mReport;
}

// A loop cuts the block that would pass its end and starts the next at its
// start, with the cycle reported; the lock action is Tarvo3's vendor call;
// --offline answers the process level offline.
TEST_F(HostSessionTest, LoopLockAndOfflineReachThePlugInAsHostsSendThem)
{
    Load();
    ASSERT_EQ(Play({"--block", "100", "--blocks", "6", "--offline", "--at", "0 lock on", "--at", "1 loop 50 250"}),
              EExitCode_Success);
    std::vector<std::string> calls;
    for (const std::string& call : mFake.calls) {
        if (call.substr(0, 7) == "process" || call.substr(0, 6) == "vendor") calls.push_back(call);
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"vendor 1801677908 1", "process 100", "process 100", "process 50",
                                               "process 100", "process 100", "process 100"}));
    std::vector<double> positions;
    for (const VstTimeInfo& time : mFake.times) positions.push_back(time.samplePos);
    EXPECT_EQ(positions, (std::vector<double>{0, 100, 200, 50, 150, 50}));
    ASSERT_EQ(mFake.times.size(), 6u);
    EXPECT_EQ(mFake.times[0].flags & kVstTransportCycleActive, 0);
    EXPECT_EQ(mFake.times[3].flags & kVstTransportCycleActive, kVstTransportCycleActive);
    EXPECT_EQ(mFake.processLevels, std::vector<VstIntPtr>(6, 4));
}

TEST_F(HostSessionTest, TimeInfoIsFreshEachCallAndAbsentWithNoTime)
{
    Load();
    EXPECT_EQ(AskHost(audioMasterGetCurrentProcessLevel), 1);
    ASSERT_EQ(Play({"--blocks", "2", "--block", "64"}), EExitCode_Success);
    ASSERT_EQ(mFake.times.size(), 2u);
    // The plug-in overwrote samplePos in block 0; block 1 still reads 64.
    EXPECT_EQ(mFake.times[1].samplePos, 64.0);
    EXPECT_EQ(mFake.processLevels, (std::vector<VstIntPtr>{2, 2}));

    Load();
    ASSERT_EQ(Play({"--blocks", "2", "--no-time"}), EExitCode_Success);
    EXPECT_EQ(mFake.timeMissing, (std::vector<bool>{true, true}));
}

TEST_F(HostSessionTest, OutputPeakShowsUnwrittenAndNonFiniteOutputs)
{
    mFake.writeOutputs = false;
    Load();
    ASSERT_EQ(Play({"--blocks", "1"}), EExitCode_Success);
    EXPECT_EQ(mSession.OutputPeak(), UNWRITTEN_OUTPUT_LEVEL);

    mFake.writeOutputs = true;
    mFake.outputValue = -0.25;
    Load();
    ASSERT_EQ(Play({"--blocks", "1", "--precision", "double"}), EExitCode_Success);
    EXPECT_EQ(mFake.calls[4], "processdouble 512");
    EXPECT_EQ(mSession.OutputPeak(), 0.25);
    EXPECT_NE(mReport.find("\"outputPeak\": 0.250000"), std::string::npos) << mReport;

    mFake.outputValue = NAN;
    Load();
    ASSERT_EQ(Play({"--blocks", "1"}), EExitCode_Success);
    EXPECT_TRUE(std::isnan(mSession.OutputPeak()));
    EXPECT_NE(mReport.find("\"outputPeak\": null"), std::string::npos) << mReport;
}

TEST_F(HostSessionTest, BrokenEventListsAreSkippedNotFollowed)
{
    mFake.sendBrokenEvents = true;
    Load();
    ASSERT_EQ(Play({"--blocks", "2", "--block", "32", "--at", "1 locate 500"}), EExitCode_Success);
    ASSERT_EQ(mSession.MidiEvents().size(), 2u);
    EXPECT_EQ(mSession.MidiEvents()[0].samplePosition, 10);
    EXPECT_EQ(mSession.MidiEvents()[1].samplePosition, 510);
    EXPECT_EQ(mSession.InvalidEvents(), 4);  // a null entry and a negative count, twice
    EXPECT_EQ(mSession.IgnoredEvents(), 2);  // the SysEx events
}

TEST_F(HostSessionTest, SaveAndLoadActionsMoveTheChunkThroughFiles)
{
    std::string path = TempFile("script.chunk");
    std::remove(path.c_str());
    Load();
    ASSERT_EQ(Play({"--blocks", "3", "--at", "1 save " + path, "--at", "2 load " + path}), EExitCode_Success);
    EXPECT_EQ(mFake.chunkIn, mFake.chunkOut);
    std::remove(path.c_str());

    Load();
    EXPECT_EQ(Play({"--blocks", "3", "--at", "1 load " + path}), EExitCode_Failure);
    EXPECT_EQ(mFake.calls.back(), "close");
}

TEST_F(HostSessionTest, AutomationIsRecordedWithItsBlock)
{
    Load();
    ASSERT_EQ(Play({"--blocks", "3", "--param", "2=0.75", "--at", "2 param 1 0.5"}), EExitCode_Success);
    ASSERT_EQ(mSession.Automation().size(), 2u);
    EXPECT_EQ(mSession.Automation()[0].block, 0);
    EXPECT_EQ(mSession.Automation()[1].block, 2);
    EXPECT_EQ(FormatAutomationLine(mSession.Automation()[1].block, mSession.Automation()[1].index,
                                   mSession.Automation()[1].value),
              "2 1 0.500000\n");
    EXPECT_EQ(FormatEventLine(11025, 0x90, 0x32, 0x50), "11025 90 32 50\n");
}

TEST_F(HostSessionTest, AnswersTheHostQueriesHonestly)
{
    Load();
    mSession.SetSampleRate(96000.0);
    mSession.SetBlockSize(128);
    EXPECT_EQ(AskHost(audioMasterVersion), 2400);
    EXPECT_EQ(AskHost(audioMasterGetSampleRate), 96000);
    EXPECT_EQ(AskHost(audioMasterGetBlockSize), 128);
    EXPECT_EQ(AskHost(audioMasterGetVendorVersion), HOST_VENDOR_VERSION);
    EXPECT_EQ(AskHost(audioMasterWantMidi, 0, 1), 1);
    char text[64];
    std::memset(text, 'x', sizeof(text));
    EXPECT_EQ(AskHost(audioMasterGetProductString, 0, 0, text), 1);
    EXPECT_STREQ(text, "tarvo-host");
    EXPECT_EQ(AskHost(audioMasterGetVendorString, 0, 0, text), 1);
    EXPECT_STREQ(text, "Quillfen");
    EXPECT_EQ(AskHost(audioMasterGetProductString), 0);  // no buffer
    for (const char* yes : {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"}) {
        std::string question = yes;
        EXPECT_EQ(AskHost(audioMasterCanDo, 0, 0, &question[0]), 1) << yes;
    }
    std::string sizeWindow = "sizeWindow";
    EXPECT_EQ(AskHost(audioMasterCanDo, 0, 0, &sizeWindow[0]), -1);
    std::string unknown = "fly";
    EXPECT_EQ(AskHost(audioMasterCanDo, 0, 0, &unknown[0]), 0);
    EXPECT_EQ(AskHost(audioMasterCanDo), 0);
    EXPECT_EQ(AskHost(audioMasterSizeWindow, 800, 600), 0);
    EXPECT_EQ(AskHost(9999), 0);
    // Outside any block the record describes the block about to run.
    VstTimeInfo* time = reinterpret_cast<VstTimeInfo*>(AskHost(audioMasterGetTime, 0, kVstPpqPosValid));
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->samplePos, 0.0);
    EXPECT_EQ(time->flags & kVstTransportPlaying, kVstTransportPlaying);
}

TEST_F(HostSessionTest, RefusesEntriesThatGiveNoUsableEffect)
{
    std::string error;
    EXPECT_FALSE(mSession.LoadEntry(NullEntry, &error));
    EXPECT_EQ(error, "its entry point returned no effect");
    EXPECT_FALSE(mSession.LoadEntry(BadMagicEntry, &error));
    EXPECT_EQ(error, "its effect has magic 0x12345678 instead of 'VstP'");
    EXPECT_EQ(mSession.Effect(), nullptr);
    EXPECT_TRUE(mFake.calls.empty());
    // The session is free for a good plug-in afterwards.
    Load();
    EXPECT_NE(mSession.Effect(), nullptr);
}

TEST_F(HostSessionTest, RefusesDoublePrecisionTheEffectLacks)
{
    Load();
    mFake.effect.flags = effFlagsCanReplacing;
    EXPECT_EQ(Play({"--precision", "double", "--blocks", "1"}), EExitCode_Unusable);
    for (const std::string& call : mFake.calls) EXPECT_NE(call, "open");
}

TEST(PluginModule, FilesThatAreNotModulesAreRefused)
{
    std::string path = ::testing::TempDir() + "host_not_a_plugin.so";
    std::string error;
    ASSERT_TRUE(WriteWholeFile(path, "not a shared object\n", &error));
    HostSession session;
    EXPECT_FALSE(session.LoadFile(path, &error));
    EXPECT_EQ(error.find("cannot load '" + path + "'"), 0u) << error;
    EXPECT_FALSE(session.LoadFile(path + ".missing", &error));
    EXPECT_EQ(error.find("cannot load"), 0u) << error;
    std::remove(path.c_str());
}
