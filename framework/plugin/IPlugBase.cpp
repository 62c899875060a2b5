#include "IPlugBase.h"

#include <cassert>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "IPlugEditor.h"
#include "Trace.h"

namespace {

void CopyName(char* destination, const char* source)
{
    std::strncpy(destination, source ? source : "", 127);
    destination[127] = '\0';
}

}  // namespace

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int32_t vendorVersion, int32_t uniqueID,
                     int32_t mfrID, int latency, bool /*plugDoesMidi*/, bool plugDoesChunks, bool plugIsInst)
    : mUniqueID(uniqueID), mMfrID(mfrID), mVersion(vendorVersion), mHostId(kHostUninit), mHostVersion(0),
      mStateChunks(plugDoesChunks), mIsInst(plugIsInst), mSampleRate(44100.0), mBlockSize(0), mLatency(latency),
      mCurrentPreset(0), mDeclaredParams(nParams), mRestoringParams(false),
      mRestoredValues(nParams > 0 ? nParams : 0, 0.0)
{
    TRACE_ENTRY("IPlugBase::IPlugBase");
    AppendParams(nParams);
    for (int i = 0; i < nPresets; ++i) {
        std::unique_ptr<IPlugPreset> pPreset(new IPlugPreset());
        pPreset->mInitialized = false;
        std::snprintf(pPreset->mName, IPlugPreset::MAX_NAME_LEN, "- %d -", i + 1);
        mPresets.push_back(std::move(pPreset));
    }
    CopyName(mEffectName, effectName);
    CopyName(mProductName, productName);
    CopyName(mMfrName, mfrName);

    int maxInputs = 0, maxOutputs = 0;
    const char* p = channelIOStr ? channelIOStr : "";
    while (*p) {
        int inputs = 0, outputs = 0;
        bool channelIOStrValid = std::sscanf(p, "%d-%d", &inputs, &outputs) == 2;
        assert(channelIOStrValid);
        (void)channelIOStrValid;
        AddChannelIOPair(inputs, outputs);
        if (inputs > maxInputs) maxInputs = inputs;
        if (outputs > maxOutputs) maxOutputs = outputs;
        const char* space = std::strchr(p, ' ');
        if (!space) break;
        p = space + 1;
    }
    CreateChannels(maxInputs, maxOutputs);
}

IPlugBase::~IPlugBase()
{
    TRACE_ENTRY("IPlugBase::~IPlugBase");
    mpEditor.reset();
    mParams.clear();
    mParamBlocks.clear();
    mPresets.clear();
}

void IPlugBase::AddChannelIOPair(int inputs, int outputs)
{
    ChannelIOPair pair = {inputs, outputs};
    mChannelIO.push_back(pair);
}

void IPlugBase::CreateChannels(int nInputs, int nOutputs)
{
    mInData.assign(nInputs > 0 ? nInputs : 0, nullptr);
    mOutData.assign(nOutputs > 0 ? nOutputs : 0, nullptr);
    mInChannels.resize(mInData.size());
    mOutChannels.resize(mOutData.size());
    for (size_t i = 0; i < mInChannels.size(); ++i) {
        mInChannels[i].mConnected = false;
        mInChannels[i].mpSlot = &mInData[i];
        mInChannels[i].mScratch.assign(mBlockSize, 0.0);
        mInData[i] = mInChannels[i].mScratch.data();
    }
    for (size_t i = 0; i < mOutChannels.size(); ++i) {
        mOutChannels[i].mConnected = false;
        mOutChannels[i].mpSlot = &mOutData[i];
        mOutChannels[i].mpFloatDest = nullptr;
        mOutChannels[i].mScratch.assign(mBlockSize, 0.0);
        mOutData[i] = mOutChannels[i].mScratch.data();
    }
}

void IPlugBase::OnReset() { ScopedLock lock(mLock); }

void IPlugBase::OnParamChanged(int /*paramIdx*/) { ScopedLock lock(mLock); }

void IPlugBase::OnActiveChanged(bool /*active*/) { ScopedLock lock(mLock); }

void IPlugBase::ProcessBlock(double** inputs, double** outputs, int nFrames, const TransportInfo& /*transport*/)
{
    int nIn = NInChannels(), nOut = NOutChannels();
    for (int c = 0; c < nOut; ++c) {
        if (c < nIn) {
            if (inputs[c] != outputs[c]) std::memcpy(outputs[c], inputs[c], nFrames * sizeof(double));
        } else {
            std::memset(outputs[c], 0, nFrames * sizeof(double));
        }
    }
}

void IPlugBase::OnMidiMessage(const IMidiMessage* pMsg) { SendMidiMessage(pMsg); }

bool IPlugBase::GetMidiNoteName(int /*noteNumber*/, char* noteName)
{
    if (noteName) noteName[0] = '\0';
    return false;
}

bool IPlugBase::SaveState(StateChunk* pChunk) { return SerializeParams(pChunk); }

int IPlugBase::LoadState(StateChunk* pChunk, int startPos) { return UnserializeParams(pChunk, startPos); }

bool IPlugBase::SerializeValues(StateChunk* pChunk, const double* values, int count)
{
    for (int i = 0; i < count; ++i) pChunk->PutDouble(values[i]);
    return pChunk->Size() > 0;
}

IPlugParam* IPlugBase::GetParam(int paramIdx) const
{
    if (paramIdx < 0 || paramIdx >= NParams()) return nullptr;
    return mParams[paramIdx];
}

void IPlugBase::AppendParams(int count)
{
    if (count <= 0) return;
    mParamBlocks.emplace_back(new IPlugParam[count]);
    IPlugParam* pBlock = mParamBlocks.back().get();
    mParams.reserve(mParams.size() + count);
    for (int i = 0; i < count; ++i) mParams.push_back(pBlock + i);
}

void IPlugBase::SetParameterFromGUI(int paramIdx, double normalizedValue)
{
    TRACE_ENTRY("IPlugBase::SetParameterFromGUI");
    ScopedLock lock(mLock);
    IPlugParam* pParam = GetParam(paramIdx);
    if (!pParam) return;
    pParam->SetFromNormalized(normalizedValue);
    NotifyHostParamChange(paramIdx, normalizedValue);
    ++mGuiChanges;
    OnParamChanged(paramIdx);
    --mGuiChanges;
}

bool IPlugBase::SerializeParams(StateChunk* pChunk)
{
    ScopedLock lock(mLock);
    bool ok = true;
    for (int i = 0; i < mDeclaredParams && i < NParams(); ++i) {
        ok = pChunk->PutDouble(mParams[i]->Value()) > 0 && ok;
    }
    return ok && pChunk->Size() > 0;
}

int IPlugBase::ReadParamValues(const StateChunk* pChunk, int startPos, double* values) const
{
    int position = startPos;
    for (int i = 0; i < mDeclaredParams && i < NParams() && position >= 0; ++i) {
        position = pChunk->GetDouble(&values[i], position);
    }
    return position;
}

void IPlugBase::RestoreParamValues(const double* values)
{
    ScopedLock lock(mLock);
    for (int i = 0; i < mDeclaredParams && i < NParams(); ++i) mParams[i]->SetClamped(values[i]);
    DispatchRestoredParams();
}

int IPlugBase::UnserializeParams(StateChunk* pChunk, int startPos)
{
    TRACE_ENTRY("IPlugBase::UnserializeParams");
    ScopedLock lock(mLock);
    int position = ReadParamValues(pChunk, startPos, mRestoredValues.data());
    if (position < 0) return -1;
    RestoreParamValues(mRestoredValues.data());
    return position;
}

void IPlugBase::DispatchRestoredParams()
{
    ScopedLock lock(mLock);
    bool wasRestoring = mRestoringParams;
    mRestoringParams = true;
    for (int i = 0; i < NParams(); ++i) OnParamChanged(i);
    mRestoringParams = wasRestoring;
}

void IPlugBase::EnsureDefaultPreset()
{
    if (!mPresets.empty()) return;
    mPresets.emplace_back(new IPlugPreset());
    IPlugPreset* pPreset = mPresets.back().get();
    pPreset->mInitialized = true;
    std::strcpy(pPreset->mName, "Default");
    SerializeParams(&pPreset->mChunk);
}

void IPlugBase::MakeUserPresetName(char* out) const
{
    int count = 0;
    for (const std::unique_ptr<IPlugPreset>& pPreset : mPresets) {
        if (std::strstr(pPreset->mName, "user preset")) ++count;
    }
    std::snprintf(out, IPlugPreset::MAX_NAME_LEN, "%s %d", "user preset", count + 1);
}

bool IPlugBase::SelectPreset(int index)
{
    if (index < 0 || index >= NPresets()) return false;
    IPlugPreset* pPreset = mPresets[index].get();
    bool ok;
    if (!pPreset->mInitialized) {
        pPreset->mInitialized = true;
        char name[IPlugPreset::MAX_NAME_LEN];
        MakeUserPresetName(name);
        std::strcpy(pPreset->mName, name);
        pPreset->mChunk.Clear();
        ok = SerializeParams(&pPreset->mChunk);
    } else {
        ok = UnserializeParams(&pPreset->mChunk, 0) > 0;
    }
    if (ok) {
        mCurrentPreset = index;
        PushParamsToEditor();
    }
    return ok;
}

void IPlugBase::StoreCurrentPreset(const char* name)
{
    if (mCurrentPreset < 0 || mCurrentPreset >= NPresets()) return;
    IPlugPreset* pPreset = mPresets[mCurrentPreset].get();
    pPreset->mChunk.Clear();
    SerializeParams(&pPreset->mChunk);
    if (name && name[0]) {
        std::strncpy(pPreset->mName, name, IPlugPreset::MAX_NAME_LEN - 1);
        pPreset->mName[IPlugPreset::MAX_NAME_LEN - 1] = '\0';
    }
}

const char* IPlugBase::PresetName(int index) const
{
    if (index < 0 || index >= NPresets()) return "";
    return mPresets[index]->mName;
}

void IPlugBase::PushParamsToEditor()
{
    if (!mpEditor) return;
    for (int i = 0; i < NParams(); ++i) mpEditor->ShowParamValue(i, mParams[i]->Value(), false);
}

int IPlugBase::LookUpHost(const char* host)
{
    static const struct {
        const char* mText;
        int mId;
    } HOST_TABLE[] = {{"cubase", kHostCubase},
                      {"reaper", kHostReaper},
                      {"nuendo", kHostNuendo},
                      {"cakewalk", kHostSonar},
                      {"samplitude", kHostSamplitude},
                      {"fruity", kHostFL},
                      {"live", kHostAbletonLive},
                      {"melodyne", kHostMelodyneStudio},
                      {"vstmanlib", kHostVSTScanner},
                      {"aulab", kHostAULab},
                      {"forte", kHostForte},
                      {"chainer", kHostChainer},
                      {"audition", kHostAudition},
                      {"orion", kHostOrion},
                      {"sawstudio", kHostSAWStudio},
                      {"logic", kHostLogic},
                      {"digital", kHostDigitalPerformer}};
    char lowered[256];
    int n = 0;
    for (; host && host[n] && n < 255; ++n)
        lowered[n] = static_cast<char>(std::tolower(static_cast<unsigned char>(host[n])));
    lowered[n] = '\0';
    for (const auto& entry : HOST_TABLE) {
        if (std::strstr(lowered, entry.mText)) return entry.mId;
    }
    return kHostUnknown;
}

void IPlugBase::SetHost(const char* host, int version)
{
    TRACE_ENTRY("IPlugBase::SetHost");
    mHostId = LookUpHost(host);
    mHostVersion = version;
}

bool IPlugBase::LegalIO(int nIn, int nOut) const
{
    for (const ChannelIOPair& pair : mChannelIO) {
        if ((nIn < 0 || nIn == pair.mInputs) && (nOut < 0 || nOut == pair.mOutputs)) return true;
    }
    return false;
}

int32_t IPlugBase::VersionNumber(bool decimal) const
{
    if (!decimal) return mVersion;
    int major = (mVersion >> 16) & 0xFFFF, minor = (mVersion >> 8) & 0xFF, patch = mVersion & 0xFF;
    return (major * 100 + minor) * 100 + patch;
}

void IPlugBase::AttachEditor(IPlugEditor* pEditor)
{
    if (!pEditor) return;
    ScopedLock lock(mLock);
    for (int i = 0; i < NParams(); ++i) pEditor->ShowParamValue(i, mParams[i]->ToNormalized(), true);
    pEditor->PrepareSurface();
    if (pEditor != mpEditor.get()) mpEditor.reset(pEditor);
}

bool IPlugBase::SetMaxBlockSize(int nFrames)
{
    if (nFrames < 0) nFrames = 0;
    if (nFrames == mBlockSize) return true;
    if (nFrames > MAX_BLOCK_SIZE) return false;
    // Every new buffer is made before any old one is given up, so that a
    // failed allocation leaves the plug-in as it was.
    std::vector<std::vector<double>> inputs(mInChannels.size()), outputs(mOutChannels.size());
    try {
        for (std::vector<double>& buffer : inputs) buffer.assign(nFrames, 0.0);
        for (std::vector<double>& buffer : outputs) buffer.assign(nFrames, 0.0);
    } catch (const std::exception&) {
        return false;
    }
    for (size_t i = 0; i < mInChannels.size(); ++i) {
        InputChannel& channel = mInChannels[i];
        channel.mScratch.swap(inputs[i]);
        if (!channel.mConnected) *channel.mpSlot = channel.mScratch.data();
    }
    for (size_t i = 0; i < mOutChannels.size(); ++i) {
        OutputChannel& channel = mOutChannels[i];
        channel.mScratch.swap(outputs[i]);
        *channel.mpSlot = channel.mScratch.data();
    }
    mBlockSize = nFrames;
    return true;
}

void IPlugBase::ConnectInputs(int first, int count, bool connected)
{
    for (int i = first; i < first + count && i < NInChannels(); ++i) {
        if (i < 0) continue;
        mInChannels[i].mConnected = connected;
        if (!connected) *mInChannels[i].mpSlot = mInChannels[i].mScratch.data();
    }
}

void IPlugBase::ConnectOutputs(int first, int count, bool connected)
{
    for (int i = first; i < first + count && i < NOutChannels(); ++i) {
        if (i < 0) continue;
        mOutChannels[i].mConnected = connected;
        if (!connected) *mOutChannels[i].mpSlot = mOutChannels[i].mScratch.data();
    }
}

bool IPlugBase::IsInChannelConnected(int chIdx) const
{
    return chIdx >= 0 && chIdx < NInChannels() && mInChannels[chIdx].mConnected;
}

bool IPlugBase::IsOutChannelConnected(int chIdx) const
{
    return chIdx >= 0 && chIdx < NOutChannels() && mOutChannels[chIdx].mConnected;
}
