// The render command with two plug-ins that live in this test program: a
// generator that sends MIDI while it processes, and an instrument with three
// outputs that records what reaches it. Each calls the host with its own
// effect, as two plug-ins in one process do.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "session/HostSession.h"
#include "session/HostText.h"
#include "render/RenderCommand.h"
#include "render/RenderOptions.h"

namespace {
struct TestPlugIn {
    AEffect effect;
    audioMasterCallback host = nullptr;
    int blocks = 0;
    std::vector<std::string> received;  // "BLOCK DELTA STATUS DATA1 DATA2"
    std::vector<int> frames;
    std::vector<double> blockStarts;
};
TestPlugIn gGenerator;
TestPlugIn gSynth;

void Send(TestPlugIn* plugIn, VstInt32 delta, uint8_t status, uint8_t data1, uint8_t data2)
{
    VstMidiEvent event = MakeMidiEvent(delta, status, data1, data2);
    VstEvents list = {};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<VstEvent*>(&event);
    plugIn->host(&plugIn->effect, audioMasterProcessEvents, 0, 0, &list, 0.0f);
}

VstIntPtr VSTCALLBACK GeneratorDispatcher(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

void VSTCALLBACK GeneratorProcess(AEffect*, float**, float**, VstInt32)
{
    // Block 1 starts a note; block 2 starts another and, sent first but
    // later in the block, ends one that never started.
    if (gGenerator.blocks == 1) Send(&gGenerator, 5, 0x90, 0x3c, 0x64);
    if (gGenerator.blocks == 2) {
        Send(&gGenerator, 7, 0x90, 0x40, 0x50);
        Send(&gGenerator, 2, 0x80, 0x41, 0x00);
    }
    ++gGenerator.blocks;
}

VstIntPtr VSTCALLBACK SynthDispatcher(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    if (opcode != effProcessEvents) return 0;
    const VstEvents* events = static_cast<const VstEvents*>(ptr);
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(events->events[i]);
        char text[64];
        std::snprintf(text, sizeof(text), "%d %d %02x %02x %02x", gSynth.blocks, int(midi->deltaFrames),
                      unsigned(uint8_t(midi->midiData[0])), unsigned(uint8_t(midi->midiData[1])),
                      unsigned(uint8_t(midi->midiData[2])));
        gSynth.received.push_back(text);
    }
    return 1;
}

void VSTCALLBACK SynthProcess(AEffect* effect, float**, float** outputs, VstInt32 frames)
{
    VstTimeInfo* time = reinterpret_cast<VstTimeInfo*>(gSynth.host(effect, audioMasterGetTime, 0, 0, nullptr, 0));
    gSynth.blockStarts.push_back(time ? time->samplePos : -1.0);
    gSynth.frames.push_back(frames);
    // MIDI the instrument sends is its own, not the generator's.
    Send(&gSynth, 0, 0xb0, 0x07, 0x10);
    const float LEVELS[3] = {0.1f, 0.2f, 0.5f};
    for (int channel = 0; channel < 3; ++channel)
        for (VstInt32 i = 0; i < frames; ++i) outputs[channel][i] = LEVELS[channel];
    ++gSynth.blocks;
}

void Reset(TestPlugIn* plugIn, audioMasterCallback host)
{
    *plugIn = TestPlugIn();
    plugIn->host = host;
    std::memset(&plugIn->effect, 0, sizeof(plugIn->effect));
    plugIn->effect.magic = kEffectMagic;
    plugIn->effect.flags = effFlagsCanReplacing;
    plugIn->effect.numOutputs = 2;
}

AEffect* VSTCALLBACK GeneratorEntry(audioMasterCallback host)
{
    Reset(&gGenerator, host);
    gGenerator.effect.dispatcher = GeneratorDispatcher;
    gGenerator.effect.processReplacing = GeneratorProcess;
    return &gGenerator.effect;
}

AEffect* VSTCALLBACK SynthEntry(audioMasterCallback host)
{
    Reset(&gSynth, host);
    gSynth.effect.dispatcher = SynthDispatcher;
    gSynth.effect.processReplacing = SynthProcess;
    gSynth.effect.flags |= effFlagsIsSynth;
    gSynth.effect.numOutputs = 3;
    return &gSynth.effect;
}

float ReadFloat(const std::vector<uint8_t>& bytes, size_t offset)
{
    float value = 0.0f;
    std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}
}  // namespace

TEST(Render, EachBlocksMidiReachesTheInstrumentWhoseOutputIsMixedIntoTheWav)
{
    std::string wav = ::testing::TempDir() + "render_test.wav";
    std::string events = ::testing::TempDir() + "render_test.events";
    std::remove(wav.c_str());
    HostSession generator, synth;
    std::string error;
    ASSERT_TRUE(generator.LoadEntry(GeneratorEntry, &error)) << error;
    ASSERT_TRUE(synth.LoadEntry(SynthEntry, &error)) << error;
    RenderOptions options;
    ASSERT_TRUE(ParseRenderOptions({"generator", "--synth", "synth", "--wav", wav, "--wav-format", "float32", "--sr",
                                    "1000", "--block", "100", "--blocks", "3", "--tail", "0.025", "--events", events},
                                   &options, &error))
        << error;
    std::string report;
    ASSERT_EQ(RunRender(&generator, &synth, options, &report), EExitCode_Success);

    // Each block's events in time order with their deltaFrames; the notes
    // still on get their note-offs as the tail starts.
    EXPECT_EQ(gSynth.received, (std::vector<std::string>{"1 5 90 3c 64", "2 2 80 41 00", "2 7 90 40 50", "3 0 80 3c 00",
                                                         "3 0 80 40 00"}));
    EXPECT_EQ(gSynth.frames, (std::vector<int>{100, 100, 100, 25}));
    EXPECT_EQ(gSynth.blockStarts, (std::vector<double>{0.0, 100.0, 200.0, 300.0}));
    std::vector<uint8_t> eventText;
    ASSERT_TRUE(ReadWholeFile(events, &eventText, &error)) << error;
    EXPECT_EQ(std::string(eventText.begin(), eventText.end()), "105 90 3c 64\n207 90 40 50\n202 80 41 00\n");
    EXPECT_NE(report.find("\"wavFrames\": 325,"), std::string::npos) << report;

    // Float samples after a 58-byte header; outputs 0 and 2 make the left
    // side, output 1 the right.
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(wav, &bytes, &error)) << error;
    ASSERT_EQ(bytes.size(), 58u + 325u * 8u);
    EXPECT_EQ(std::string(bytes.begin() + 50, bytes.begin() + 54), "data");
    EXPECT_FLOAT_EQ(ReadFloat(bytes, 58), 0.3f);
    EXPECT_FLOAT_EQ(ReadFloat(bytes, 62), 0.2f);
    EXPECT_FLOAT_EQ(ReadFloat(bytes, bytes.size() - 8), 0.3f);
    EXPECT_FALSE(ReadWholeFile(WavFileWriter::TemporaryPath(wav), &bytes, &error));
    std::remove(wav.c_str());
    std::remove(events.c_str());
}
