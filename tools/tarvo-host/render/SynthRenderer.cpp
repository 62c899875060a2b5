#include "SynthRenderer.h"

#include <algorithm>

#include "session/HostText.h"
#include "session/WavFileWriter.h"

namespace {
const int MIDI_CHANNELS = 16;
const int MIDI_NOTES = 128;

bool IsNoteOn(uint8_t status, uint8_t velocity) { return (status & 0xF0) == 0x90 && velocity > 0; }
bool IsNoteOff(uint8_t status, uint8_t velocity)
{
    return (status & 0xF0) == 0x80 || ((status & 0xF0) == 0x90 && velocity == 0);
}

// The synthesiser is told the largest block the run will give it.
int LargestBlock(const PlayOptions& options)
{
    int largest = options.blockSize;
    for (const ScriptAction& action : options.actions) {
        if (action.kind == EScriptAction_BlockSize && action.index > largest) largest = action.index;
    }
    return largest;
}
}  // namespace

bool IsInstrument(HostSession* session)
{
    AEffect* effect = session->Effect();
    if (!effect) return false;
    return (effect->flags & effFlagsIsSynth) || session->Dispatch(effGetPlugCategory) == kPlugCategSynth;
}

SynthRenderer::SynthRenderer(HostSession* session, const RenderOptions& options)
    : mpSession(session), mOptions(options), mSounding(MIDI_CHANNELS * MIDI_NOTES, 0)
{
}

bool SynthRenderer::Prepare(std::string* error)
{
    const std::string name = "--synth: '" + mOptions.synthPath + "'";
    if (!IsInstrument(mpSession))
        return Fail(error, name +
                               " is not an instrument (it is neither flagged as a synth nor in the synth "
                               "category); render needs a VST 2 instrument that turns MIDI into audio");
    if (mpSession->Effect()->numOutputs < 1) return Fail(error, name + " has no audio outputs");
    std::string why;
    if (!mpSession->CanProcess(EPrecision_Single, &why)) return Fail(error, name + ": " + why);
    if (!mOptions.synthChunkPath.empty() && !ReadWholeFile(mOptions.synthChunkPath, &mChunk, &why))
        return Fail(error, "--synth-chunk: " + why);
    mpSession->SetTransport(mOptions.play.transport);
    mpSession->SetTimeProvided(mOptions.play.timeProvided);
    return true;
}

void SynthRenderer::Open()
{
    mpSession->Open();
    mpSession->SetSampleRate(mOptions.play.transport.sampleRate);
    mpSession->SetBlockSize(LargestBlock(mOptions.play));
    mpSession->SetActive(true);
    if (!mOptions.synthChunkPath.empty()) mpSession->SetChunk(mChunk);
    for (const ParamSetting& setting : mOptions.synthParams)
        mpSession->SetParameter(setting.index, float(setting.value));
}

void SynthRenderer::TrackNote(uint8_t status, uint8_t note, uint8_t velocity)
{
    int& sounding = mSounding[size_t((status & 0x0F) * MIDI_NOTES + (note & 0x7F))];
    if (IsNoteOn(status, velocity))
        ++sounding;
    else if (IsNoteOff(status, velocity) && sounding > 0)
        --sounding;
}

void SynthRenderer::CollectEvents(const ReceivedMidiEvent* events, size_t count, int frames)
{
    mEvents.clear();
    for (size_t i = 0; i < count; ++i) {
        const ReceivedMidiEvent& event = events[i];
        // A synthesiser may index its buffers with deltaFrames.
        int32_t delta = event.deltaFrames;
        if (delta >= frames) delta = frames - 1;
        if (delta < 0) delta = 0;
        mEvents.push_back(MakeMidiEvent(delta, event.status, event.data1, event.data2));
        TrackNote(event.status, event.data1, event.data2);
    }
    std::stable_sort(mEvents.begin(), mEvents.end(),
                     [](const VstMidiEvent& a, const VstMidiEvent& b) { return a.deltaFrames < b.deltaFrames; });
}

void SynthRenderer::AddNoteOffsForSoundingNotes()
{
    for (int channel = 0; channel < MIDI_CHANNELS; ++channel) {
        for (int note = 0; note < MIDI_NOTES; ++note) {
            int& sounding = mSounding[size_t(channel * MIDI_NOTES + note)];
            for (; sounding > 0; --sounding)
                mEvents.push_back(MakeMidiEvent(0, uint8_t(0x80 | channel), uint8_t(note), 0));
        }
    }
}

bool SynthRenderer::ProcessAndWrite(int frames, WavFileWriter* wav, std::string* error)
{
    if (!mEvents.empty()) mpSession->DeliverMidi(mEvents);
    mpSession->ProcessBlock(frames, EPrecision_Single);
    mLeft.assign(size_t(frames > 0 ? frames : 0), 0.0f);
    mRight.assign(mLeft.size(), 0.0f);
    int outputs = mpSession->OutputChannels();
    // One output plays on both sides; more than two are mixed down, even
    // outputs to the left and odd ones to the right, each side averaged.
    int leftCount = 0, rightCount = 0;
    for (int channel = 0; channel < outputs; ++channel) {
        const float* samples = mpSession->FloatOutput(channel);
        if (!samples) continue;
        bool left = outputs == 1 || channel % 2 == 0;
        bool right = outputs == 1 || channel % 2 == 1;
        for (int i = 0; i < frames; ++i) {
            if (left) mLeft[size_t(i)] += samples[i];
            if (right) mRight[size_t(i)] += samples[i];
        }
        leftCount += left ? 1 : 0;
        rightCount += right ? 1 : 0;
    }
    const float gain = float(mOptions.LinearGain());
    for (int i = 0; i < frames; ++i) {
        if (leftCount > 1) mLeft[size_t(i)] /= float(leftCount);
        if (rightCount > 1) mRight[size_t(i)] /= float(rightCount);
        mLeft[size_t(i)] *= gain;
        mRight[size_t(i)] *= gain;
    }
    if (!wav->Append(mLeft.data(), mRight.data(), frames, error)) return Fail(error, "--wav: " + *error);
    return true;
}

bool SynthRenderer::RenderBlock(const ReceivedMidiEvent* events, size_t count, const HostTransport& transport,
                                int frames, WavFileWriter* wav, std::string* error)
{
    CollectEvents(events, count, frames);
    mpSession->Transport() = transport;
    return ProcessAndWrite(frames, wav, error);
}

bool SynthRenderer::RenderTail(const ReceivedMidiEvent* events, size_t count, const HostTransport& transport,
                               int64_t frames, int blockFrames, WavFileWriter* wav, std::string* error)
{
    if (blockFrames < 1) blockFrames = 1;
    mpSession->Transport() = transport;
    for (int64_t done = 0; done < frames;) {
        int block = int(std::min<int64_t>(blockFrames, frames - done));
        if (done == 0) {
            CollectEvents(events, count, block);
            AddNoteOffsForSoundingNotes();
        } else {
            mEvents.clear();
        }
        if (!ProcessAndWrite(block, wav, error)) return false;
        done += block;
    }
    return true;
}

void SynthRenderer::Close()
{
    mpSession->SetActive(false);
    mpSession->Close();
}
