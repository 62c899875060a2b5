#include "FakeHost.h"

#include <cmath>
#include <cstring>

namespace {
// The instance under construction calls back before the host knows its
// effect pointer; such calls go to this host.
FakeHost* gConstructing = nullptr;
}  // namespace

FakeHost::FakeHost(double sampleRate, int blockSize, const std::string& configFolder)
    : mSampleRate(sampleRate), mTempo(120.0), mPosition(0), mPlayStart(0), mPlaying(false), mTransportChanged(false),
      mStoppedAtLastBlock(true), mTimeMode(TimeMode_Full), mPpqResolution(0), mPpq(0.0), mBlockPosition(0)
{
    gConstructing = this;
    mpPlug = new Tarvo(Callback, configFolder.c_str());
    mpPlug->EnsureDefaultPreset();
    mpEffect = mpPlug->GetAEffect();
    mpEffect->user = this;
    gConstructing = nullptr;
    mpEffect->dispatcher(mpEffect, effOpen, 0, 0, nullptr, 0.0f);
    mpEffect->dispatcher(mpEffect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    mpEffect->dispatcher(mpEffect, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
    mpEffect->dispatcher(mpEffect, effMainsChanged, 0, 1, nullptr, 0.0f);
    for (auto& buffer : mBuffers) buffer.assign(blockSize > 0 ? blockSize : 1, 0.0f);
}

FakeHost::~FakeHost()
{
    mpEffect->dispatcher(mpEffect, effMainsChanged, 0, 0, nullptr, 0.0f);
    mpEffect->dispatcher(mpEffect, effClose, 0, 0, nullptr, 0.0f);
}

VstIntPtr VSTCALLBACK FakeHost::Callback(AEffect* pEffect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                         float opt)
{
    FakeHost* pHost = pEffect && pEffect->user ? static_cast<FakeHost*>(pEffect->user) : gConstructing;
    if (!pHost) return opcode == audioMasterVersion ? 2400 : 0;
    return pHost->HandleCallback(opcode, index, value, ptr, opt);
}

VstIntPtr FakeHost::HandleCallback(VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/, void* ptr, float opt)
{
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetTime:
        if (mTimeMode == TimeMode_None) return 0;
        FillTime();
        return reinterpret_cast<VstIntPtr>(&mTime);
    case audioMasterProcessEvents: {
        VstEvents* pEvents = static_cast<VstEvents*>(ptr);
        for (int i = 0; i < pEvents->numEvents; ++i) {
            VstEvent* pEvent = pEvents->events[i];
            if (!pEvent || pEvent->type != kVstMidiType) continue;
            VstMidiEvent* pMidi = reinterpret_cast<VstMidiEvent*>(pEvent);
            HostEvent event = {mBlockPosition + pMidi->deltaFrames, static_cast<unsigned char>(pMidi->midiData[0]),
                               static_cast<unsigned char>(pMidi->midiData[1]),
                               static_cast<unsigned char>(pMidi->midiData[2])};
            mEvents.push_back(event);
        }
        return 1;
    }
    case audioMasterAutomate:
        mAutomation.push_back({index, opt});
        return 0;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        mGestures.push_back({index, opcode == audioMasterBeginEdit ? 1.0f : 0.0f});
        return 1;
    case audioMasterUpdateDisplay:
        ++mDisplayUpdates;
        return 1;
    case audioMasterGetCurrentProcessLevel:
        return mOffline ? 4 : 2;
    case audioMasterGetProductString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "fake host");
        return 1;
    case audioMasterGetVendorVersion:
        return 1;
    default:
        return 0;
    }
}

void FakeHost::FillTime()
{
    std::memset(&mTime, 0, sizeof mTime);
    mTime.samplePos = static_cast<double>(mBlockPosition);
    mTime.sampleRate = mSampleRate;
    mTime.tempo = mTempo;
    mTime.timeSigNumerator = 4;
    mTime.timeSigDenominator = 4;
    if (mTimeMode == TimeMode_SampleOnly) {
        mTime.flags = mPlaying ? kVstTransportPlaying : 0;
        return;
    }
    double ppq = mPpq;
    if (mPpqResolution > 0) ppq = std::floor(ppq * mPpqResolution + 0.5) / mPpqResolution;
    mTime.ppqPos = ppq;
    mTime.barStartPos = std::floor(ppq / 4.0) * 4.0;
    mTime.flags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    if (mPlaying) mTime.flags |= kVstTransportPlaying;
    if (mTransportChanged) mTime.flags |= kVstTransportChanged;
}

void FakeHost::Play()
{
    if (!mPlaying) mTransportChanged = true;
    mPlaying = true;
    mPlayStart = mPosition;
}

void FakeHost::Stop()
{
    if (mPlaying) mTransportChanged = true;
    mPlaying = false;
    if (!mStoppedAtLastBlock) Locate(mPlayStart);
}

void FakeHost::Locate(long long sample)
{
    mPosition = sample;
    mPpq = sample * mTempo / (60.0 * mSampleRate);
}

void FakeHost::Locate(long long sample, double ppq)
{
    mPosition = sample;
    mPpq = ppq;
}

void FakeHost::Process(int frames, bool doublePrecision)
{
    mBlockPosition = mPosition;
    size_t size = frames > 0 ? static_cast<size_t>(frames) : 1;
    if (doublePrecision) {
        std::vector<double> buffers[4];
        for (auto& buffer : buffers) buffer.assign(size, 0.25);
        double* inputs[2] = {buffers[0].data(), buffers[1].data()};
        double* outputs[2] = {buffers[2].data(), buffers[3].data()};
        mpEffect->processDoubleReplacing(mpEffect, inputs, outputs, frames);
    } else {
        for (auto& buffer : mBuffers) buffer.assign(size, 0.25f);
        float* inputs[2] = {mBuffers[0].data(), mBuffers[1].data()};
        float* outputs[2] = {mBuffers[2].data(), mBuffers[3].data()};
        mpEffect->processReplacing(mpEffect, inputs, outputs, frames);
    }
    mTransportChanged = false;
    if (mPlaying) {
        mPosition += frames;
        mPpq += frames * mTempo / (60.0 * mSampleRate);
    }
}

void FakeHost::ProcessBlocks(int count, int frames)
{
    for (int i = 0; i < count; ++i) Process(frames);
}

void FakeHost::ProcessSamples(long long samples, int frames)
{
    for (long long done = 0; done < samples; done += frames) Process(frames);
}

void FakeHost::SetParam(int index, double normalized)
{
    mpEffect->setParameter(mpEffect, index, static_cast<float>(normalized));
}

void FakeHost::SetPlain(int index, double plain)
{
    IPlugParam* pParam = mpPlug->GetParam(index);
    // Through the host's float, as a real host would send it.
    SetParam(index, pParam->ToNormalized(plain));
}

double FakeHost::GetParam(int index) { return mpEffect->getParameter(mpEffect, index); }

std::string FakeHost::ParamDisplay(int index)
{
    char text[256] = "";
    mpEffect->dispatcher(mpEffect, effGetParamDisplay, index, 0, text, 0.0f);
    return text;
}

void FakeHost::SendMidi(int offset, int status, int data1, int data2)
{
    VstMidiEvent event;
    std::memset(&event, 0, sizeof event);
    event.type = kVstMidiType;
    event.byteSize = sizeof event;
    event.deltaFrames = offset;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    VstEvents events;
    std::memset(&events, 0, sizeof events);
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    mBlockPosition = mPosition;
    mpEffect->dispatcher(mpEffect, effProcessEvents, 0, 0, &events, 0.0f);
}

std::vector<unsigned char> FakeHost::GetChunk()
{
    void* pData = nullptr;
    VstIntPtr size = mpEffect->dispatcher(mpEffect, effGetChunk, 0, 0, &pData, 0.0f);
    const unsigned char* bytes = static_cast<const unsigned char*>(pData);
    return std::vector<unsigned char>(bytes, bytes + (size > 0 ? size : 0));
}

bool FakeHost::SetChunk(const std::vector<unsigned char>& chunk)
{
    std::vector<unsigned char> copy(chunk);
    return mpEffect->dispatcher(mpEffect, effSetChunk, 0, static_cast<VstIntPtr>(copy.size()),
                                copy.empty() ? nullptr : copy.data(), 0.0f) == 1;
}

void FakeHost::SetProgram(int program) { mpEffect->dispatcher(mpEffect, effSetProgram, 0, program, nullptr, 0.0f); }

void FakeHost::SetActive(bool active)
{
    mpEffect->dispatcher(mpEffect, effMainsChanged, 0, active ? 1 : 0, nullptr, 0.0f);
}

bool FakeHost::SetTimelineLock(bool on)
{
    return mpEffect->dispatcher(mpEffect, effVendorSpecific, Tarvo::VENDOR_TIMELINE_LOCK, on ? 1 : 0, nullptr, 0.0f) ==
           1;
}

int CountOverlappingNotes(const std::vector<HostEvent>& events)
{
    std::vector<bool> sounding(16 * 128, false);
    int overlaps = 0;
    for (const HostEvent& event : events) {
        int kind = event.mStatus & 0xF0;
        if (kind != 0x80 && kind != 0x90) continue;
        size_t key = (event.mStatus & 15) * 128 + (event.mData1 & 127);
        bool on = kind == 0x90 && event.mData2 > 0;
        if (on && sounding[key]) ++overlaps;
        sounding[key] = on;
    }
    return overlaps;
}

std::vector<long long> FakeHost::NoteOnSamples() const
{
    std::vector<long long> samples;
    for (const HostEvent& event : mEvents) {
        if ((event.mStatus & 0xF0) == 0x90 && event.mData2 > 0) samples.push_back(event.mSample);
    }
    return samples;
}

void FakeHost::SetUpStepProbe()
{
    SetPlain(EParam_NumRows, 1);
    SetPlain(EParam_NumColums, 1);
    SetPlain(EParam_FirstCell + 0, 1);  // a rover heading north in cell (0, 0)
    // "1/16" notes end before the next "1/8" step: no note is cut short.
    SetPlain(EParam_LengthUnits, 10);
}

void FakeHost::SetUpHeavyScene(double tempo)
{
    SetTempo(tempo);
    SetPlain(EParam_NumRows, 17);
    SetPlain(EParam_NumColums, 17);
    for (int i = 0; i < 20; ++i) {
        int row = (i * 7) % 17, col = (i * 5 + 3) % 17;
        SetPlain(EParam_FirstCell + row * 17 + col, 1 + i % 16);
    }
    // Every obstacle kind, twice, spread over the board.
    for (int kind = 1; kind <= 20; ++kind) {
        for (int copy = 0; copy < 2; ++copy) {
            int cell = (kind * 37 + copy * 131 + 11) % 289;
            for (int k = 0; k < kind; ++k) SetPlain(EParam_FirstCell + cell, 20);
        }
    }
    SetPlain(EParam_TimeUnits, 15);
    SetPlain(EParam_RepeatProb, 0.7);
    SetPlain(EParam_VelJitt, 30);
    SetPlain(EParam_DurJitt, 0.5);
    SetPlain(EParam_Human, 0.8);
    SetPlain(EParam_Wobble, 0.3);
    SetPlain(EParam_NearProb, 0.2);
    SetPlain(EParam_WrapProb, 0.3);
    SetPlain(EParam_GrpLim, 3);
    SetPlain(EParam_LengthUnits, 2);
}
