#include "IPlugVST.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "IPlugEditor.h"
#include "Trace.h"

namespace {

const VstInt32 MUSICAL_FIELDS =
    kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;  // 0x3E00
const VstInt32 VST_VERSION = 2400;

IPlugVST* PlugOf(AEffect* pEffect) { return pEffect ? static_cast<IPlugVST*>(pEffect->object) : nullptr; }

void CopyHostText(void* ptr, const char* text, size_t size)
{
    char* out = static_cast<char*>(ptr);
    if (!text) text = "";
    size_t length = std::strlen(text);
    if (length > size - 1) length = size - 1;
    std::memcpy(out, text, length);
    out[length] = '\0';
}

void InitSpeakerArrangement(VstSpeakerArrangement* pArrangement, int nChannels)
{
    std::memset(pArrangement, 0, sizeof *pArrangement);
    pArrangement->numChannels = nChannels;
    if (nChannels == 0) {
        pArrangement->type = kSpeakerArrEmpty;
    } else if (nChannels == 1) {
        pArrangement->type = kSpeakerArrMono;
    } else if (nChannels == 2) {
        pArrangement->type = kSpeakerArrStereo;
    } else {
        pArrangement->type = kSpeakerArrUserDefined;
    }
}

}  // namespace

IPlugVST::IPlugVST(audioMasterCallback hostCallback, int nParams, const char* channelIOStr, int nPresets,
                   const char* effectName, const char* productName, const char* mfrName, int32_t vendorVersion,
                   int32_t uniqueID, int32_t mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
                   bool plugIsInst)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
                latency, plugDoesMidi, plugDoesChunks, plugIsInst),
      mHostCallback(hostCallback), mHostInitDone(false), mDoesMidi(plugDoesMidi), mHostExtensionFlags(0)
{
    TRACE_ENTRY("IPlugVST::IPlugVST");
    std::memset(&mAEffect, 0, sizeof mAEffect);
    mAEffect.magic = kEffectMagic;
    mAEffect.dispatcher = VSTDispatcher;
    mAEffect.process = VSTProcess;
    mAEffect.setParameter = VSTSetParameter;
    mAEffect.getParameter = VSTGetParameter;
    mAEffect.processReplacing = VSTProcessReplacing;
    mAEffect.processDoubleReplacing = VSTProcessDoubleReplacing;
    mAEffect.numPrograms = nPresets;
    mAEffect.numParams = nParams;
    mAEffect.numInputs = NInChannels();
    mAEffect.numOutputs = NOutChannels();
    mAEffect.uniqueID = uniqueID;
    mAEffect.version = VersionNumber(true);
    mAEffect.ioRatio = 1.0f;
    mAEffect.initialDelay = latency;
    mAEffect.object = this;
    mAEffect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    if (plugDoesChunks) mAEffect.flags |= effFlagsProgramChunks;
    if (LegalIO(1, -1)) mAEffect.flags |= 8;
    if (plugIsInst) mAEffect.flags |= effFlagsIsSynth;

    std::memset(&mEditRect, 0, sizeof mEditRect);
    InitSpeakerArrangement(&mInputSpkrArr, NInChannels());
    InitSpeakerArrangement(&mOutputSpkrArr, NOutChannels());
    ConnectInputs(0, NInChannels(), true);
    ConnectOutputs(0, NOutChannels(), true);
    SetMaxBlockSize(1024);
}

IPlugVST::~IPlugVST() { mAEffect.object = nullptr; }

VstIntPtr IPlugVST::HostCallback(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt)
{
    if (!mHostCallback) return 0;
    return mHostCallback(&mAEffect, opCode, idx, value, ptr, opt);
}

// The host hears only of the parameters it was told of: the internal ones
// (editor switches, cells, step flags) have no index in its tables.
bool IPlugVST::IsHostParam(int paramIdx) const { return paramIdx >= 0 && paramIdx < mAEffect.numParams; }

void IPlugVST::BeginParamGesture(int paramIdx)
{
    if (IsHostParam(paramIdx)) HostCallback(audioMasterBeginEdit, paramIdx, 0, nullptr, 0.0f);
}

void IPlugVST::NotifyHostParamChange(int paramIdx, double normalizedValue)
{
    if (IsHostParam(paramIdx)) {
        HostCallback(audioMasterAutomate, paramIdx, 0, nullptr, static_cast<float>(normalizedValue));
    }
}

void IPlugVST::EndParamGesture(int paramIdx)
{
    if (IsHostParam(paramIdx)) HostCallback(audioMasterEndEdit, paramIdx, 0, nullptr, 0.0f);
}

VstTimeInfo* IPlugVST::GetTime(VstInt32 filter)
{
    return reinterpret_cast<VstTimeInfo*>(HostCallback(audioMasterGetTime, 0, filter, nullptr, 0.0f));
}

int IPlugVST::GetSamplePosition()
{
    VstTimeInfo* pTime = GetTime(0);
    if (pTime && pTime->samplePos >= 0.0 && pTime->samplePos < 2147483647.0) {
        return static_cast<int>(pTime->samplePos + 0.5);
    }
    return 0;
}

double IPlugVST::HostTempo()
{
    VstTimeInfo* pTime = GetTime(kVstTempoValid);
    if (pTime && (pTime->flags & kVstTempoValid) && pTime->tempo >= 0.0) return pTime->tempo;
    return 0.0;
}

void IPlugVST::GetTimeSignature(int* pNumerator, int* pDenominator)
{
    *pNumerator = 0;
    *pDenominator = 0;
    VstTimeInfo* pTime = GetTime(kVstTimeSigValid);
    if (pTime && (pTime->flags & kVstTimeSigValid) && pTime->timeSigNumerator >= 0 && pTime->timeSigDenominator >= 0) {
        *pNumerator = pTime->timeSigNumerator;
        *pDenominator = pTime->timeSigDenominator;
    }
}

void IPlugVST::GetTransportInfo(TransportInfo* pInfo)
{
    *pInfo = TransportInfo();
    VstTimeInfo* pTime = GetTime(MUSICAL_FIELDS);
    if (!pTime || !(pTime->flags & MUSICAL_FIELDS)) return;
    pInfo->mMusical = true;
    pInfo->mSamplePos = pTime->samplePos;
    if ((pTime->flags & kVstPpqPosValid) && pTime->ppqPos >= 0.0) pInfo->mPPQPos = pTime->ppqPos;
    if ((pTime->flags & kVstTempoValid) && pTime->tempo > 0.0) pInfo->mTempo = pTime->tempo;
    if ((pTime->flags & kVstBarsValid) && pTime->barStartPos >= 0.0) pInfo->mLastBar = pTime->barStartPos;
    if ((pTime->flags & kVstCyclePosValid) && pTime->cycleStartPos >= 0.0 && pTime->cycleEndPos >= 0.0) {
        pInfo->mCycleStart = pTime->cycleStartPos;
        pInfo->mCycleEnd = pTime->cycleEndPos;
    }
    if ((pTime->flags & kVstTimeSigValid) && pTime->timeSigNumerator > 0 && pTime->timeSigDenominator > 0) {
        pInfo->mNumerator = pTime->timeSigNumerator;
        pInfo->mDenominator = pTime->timeSigDenominator;
    }
    pInfo->mTransportIsRunning = (pTime->flags & kVstTransportPlaying) != 0;
    pInfo->mTransportCycle = (pTime->flags & kVstTransportCycleActive) != 0;
}

TransportInfo IPlugVST::BlockTransport()
{
    // One question to the host per processing call.
    TransportInfo transport;
    GetTransportInfo(&transport);
    return transport;
}

int IPlugVST::GetHostId()
{
    if (mHostId == kHostUninit) {
        char product[256];
        product[0] = '\0';
        HostCallback(audioMasterGetProductString, 0, 0, product, 0.0f);
        product[255] = '\0';
        int version = 0;
        if (product[0]) {
            VstIntPtr decimal = HostCallback(audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f);
            int v = static_cast<int>(decimal);
            version = (v / 10000) * 65536 + ((v % 10000) / 100) * 256 + v % 100;
        }
        SetHost(product, version);
    }
    return mHostId;
}

void IPlugVST::InitForHost()
{
    if (mHostInitDone) return;
    mHostInitDone = true;
    int host = GetHostId();
    if (host == kHostForte || host == kHostAudition || host == kHostOrion || host == kHostSAWStudio) {
        ConnectInputs(2, NInChannels() - 2, false);
        ConnectOutputs(2, NOutChannels() - 2, true);
    }
    if (host == kHostSonar || host == kHostAbletonLive || host == kHostForte || host == kHostAudition ||
        host == kHostOrion || host == kHostSAWStudio) {
        if (NInChannels() == 0 && NOutChannels() == 0) {
            AddChannelIOPair(2, 2);
            CreateChannels(2, 2);
            int blockSize = GetBlockSize();
            SetMaxBlockSize(0);
            SetMaxBlockSize(blockSize);
            ConnectInputs(0, 2, true);
            ConnectOutputs(0, 2, true);
        }
    }
    mAEffect.numInputs = mInputSpkrArr.numChannels = NInChannels();
    mAEffect.numOutputs = mOutputSpkrArr.numChannels = NOutChannels();
}

void IPlugVST::UpdateEditorRect()
{
    IPlugEditor* pEditor = GetEditor();
    if (!pEditor) return;
    mEditRect.top = 0;
    mEditRect.left = 0;
    mEditRect.bottom = static_cast<int16_t>(pEditor->Height());
    mEditRect.right = static_cast<int16_t>(pEditor->Width());
}

void IPlugVST::AttachEditor(IPlugEditor* pEditor)
{
    if (!pEditor) return;
    IPlugBase::AttachEditor(pEditor);
    mAEffect.flags |= effFlagsHasEditor;
    UpdateEditorRect();
}

void IPlugVST::SetReportedLatency(int nFrames)
{
    IPlugBase::SetReportedLatency(nFrames);
    mAEffect.initialDelay = nFrames;
}

bool IPlugVST::SendMidiMessage(const IMidiMessage* pMsg)
{
    VstMidiEvent event;
    std::memset(&event, 0, sizeof event);
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = pMsg->mOffset;
    event.midiData[0] = static_cast<char>(pMsg->mStatus);
    event.midiData[1] = static_cast<char>(pMsg->mData1);
    event.midiData[2] = static_cast<char>(pMsg->mData2);
    VstEvents events;
    std::memset(&events, 0, sizeof events);
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    return HostCallback(audioMasterProcessEvents, 0, 0, &events, 0.0f) == 1;
}

bool IPlugVST::SendMidiMessages(const IMidiMessage* pMsgs, int count)
{
    bool ok = true;
    for (int i = 0; i < count; ++i) ok = SendMidiMessage(&pMsgs[i]) && ok;
    return ok;
}

// ---- Dispatcher ----------------------------------------------------------

VstIntPtr VSTCALLBACK IPlugVST::VSTDispatcher(AEffect* pEffect, VstInt32 opCode, VstInt32 idx, VstIntPtr value,
                                              void* ptr, float opt)
{
    IPlugVST* pPlug = PlugOf(pEffect);
    if (!pPlug) return 0;
    if (opCode == effEditIdle || opCode == effIdle) return 0;
    TRACE_ENTRY("IPlugVST::VSTDispatcher");
    // No exception reaches the host: a call that throws (an allocation that
    // failed) is refused.
    try {
        if (opCode == effClose) {
            // The lock lives inside the object: take it once so that no
            // other entry is still running, then let go before the object dies.
            pPlug->mLock.Enter();
            pPlug->mLock.Leave();
            delete pPlug;
            return 0;
        }
        if (opCode == effEditOpen || opCode == effEditClose)
            return pPlug->OpenOrCloseEditor(opCode == effEditOpen, ptr);
        ScopedLock lock(pPlug->mLock);
        return pPlug->Dispatch(opCode, idx, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

VstIntPtr IPlugVST::OpenOrCloseEditor(bool open, void* pParent)
{
    // The window, its thread, fonts and bitmaps are made and destroyed
    // without the plug-in lock, which block processing waits for: the editor
    // takes it itself only around what must be consistent with processing
    // (the controls' state, the gestures it ends). Hosts open and close the
    // editor from their user-interface thread; a call that comes while
    // another thread is opening or closing it is refused rather than run
    // alongside. (No lock of its own: a host may close the editor from
    // inside another entry, holding the plug-in lock, and a second lock
    // would then be taken in both orders.)
    IPlugEditor* pEditor = GetEditor();
    bool idle = false;
    if (!pEditor || !mEditorBusy.compare_exchange_strong(idle, true)) return 0;
    VstIntPtr result = 1;
    if (open) {
        if (pEditor->OpenWindow(pParent)) {
            ScopedLock lock(mLock);
            OnEditorOpened();
        } else {
            result = 0;
        }
    } else {
        {
            ScopedLock lock(mLock);
            OnEditorClosing();
        }
        pEditor->CloseWindow();
    }
    mEditorBusy.store(false);
    return result;
}

VstIntPtr IPlugVST::Dispatch(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt)
{
    switch (opCode) {
    case effOpen:
        InitForHost();
        DispatchRestoredParams();
        return 0;
    case effSetProgram:
        if (!DoesStateChunks()) StoreCurrentPreset();
        SelectPreset(static_cast<int>(value));
        return 0;
    case effGetProgram:
        return CurrentPreset();
    case effSetProgramName:
        if (ptr) StoreCurrentPreset(static_cast<const char*>(ptr));
        return 0;
    case effGetProgramName:
        if (ptr) CopyHostText(ptr, PresetName(CurrentPreset()), kVstMaxProgNameLen);
        return 0;
    case effGetParamLabel:
        if (ptr && GetParam(idx)) CopyHostText(ptr, GetParam(idx)->Label(), IPlugParam::MAX_NAME_LEN);
        return 0;
    case effGetParamDisplay:
        if (ptr && GetParam(idx)) {
            char text[IPlugParam::MAX_DISPLAY_TEXT_LEN];
            GetParam(idx)->FormatValue(GetParam(idx)->Value(), false, text);
            CopyHostText(ptr, text, IPlugParam::MAX_DISPLAY_TEXT_LEN);
        }
        return 0;
    case effGetParamName:
        if (ptr && GetParam(idx)) CopyHostText(ptr, GetParam(idx)->Name(), IPlugParam::MAX_NAME_LEN);
        return 0;
    case effSetSampleRate:
        SetSampleRate(opt);
        OnReset();
        return 0;
    case effSetBlockSize:
        // A size that cannot be had is refused; the plug-in goes on at the
        // size it had.
        if (value < 0 || value > IPlugBase::MAX_BLOCK_SIZE || !SetMaxBlockSize(static_cast<int>(value))) return 0;
        OnReset();
        return 1;
    case effMainsChanged:
        if (value) {
            // Hosts that route MIDI only to plug-ins that ask for it hear it
            // once, when processing resumes.
            if (mDoesMidi) HostCallback(audioMasterWantMidi, 0, 1, nullptr, 0.0f);
            OnActiveChanged(true);
        } else {
            OnActiveChanged(false);
            OnReset();
        }
        return 0;
    case effEditGetRect:
        if (ptr && GetEditor()) {
            *static_cast<ERect**>(ptr) = &mEditRect;
            return 1;
        }
        return 0;
    case effIdentify:
        return 0x4E764566;
    case effGetChunk:
        return ptr ? GetChunk(idx, static_cast<void**>(ptr)) : 0;
    case effSetChunk: {
        VstIntPtr result = 0;
        SetChunk(idx, value, ptr, &result);
        return result;
    }
    case effProcessEvents:
        if (ptr) {
            ProcessEvents(static_cast<VstEvents*>(ptr));
            return 1;
        }
        return 0;
    case effCanBeAutomated:
        return 1;
    case effGetProgramNameIndexed:
        if (ptr) {
            CopyHostText(ptr, PresetName(idx), kVstMaxProgNameLen);
            return static_cast<char*>(ptr)[0] ? 1 : 0;
        }
        return 0;
    case effGetInputProperties:
    case effGetOutputProperties: {
        bool input = opCode == effGetInputProperties;
        if (ptr && idx >= 0 && idx < (input ? NInChannels() : NOutChannels())) {
            PinProperties(input, idx, static_cast<VstPinProperties*>(ptr));
            return 1;
        }
        return 0;
    }
    case effGetPlugCategory:
        return IsInstrument() ? kPlugCategSynth : kPlugCategEffect;
    case effSetSpeakerArrangement: {
        VstSpeakerArrangement* pInput = reinterpret_cast<VstSpeakerArrangement*>(value);
        VstSpeakerArrangement* pOutput = static_cast<VstSpeakerArrangement*>(ptr);
        // The first numChannels channels are connected, the rest not; a
        // count outside the plug-in's channels is brought into them.
        if (pInput) {
            int n = std::max(0, std::min<int>(pInput->numChannels, NInChannels()));
            ConnectInputs(0, n, true);
            ConnectInputs(n, NInChannels() - n, false);
        }
        if (pOutput) {
            int n = std::max(0, std::min<int>(pOutput->numChannels, NOutChannels()));
            ConnectOutputs(0, n, true);
            ConnectOutputs(n, NOutChannels() - n, false);
        }
        return 1;
    }
    case effGetEffectName:
        if (ptr) {
            CopyHostText(ptr, GetEffectName(), kVstMaxEffectNameLen);
            return 1;
        }
        return 0;
    case effGetVendorString:
        if (ptr) {
            CopyHostText(ptr, GetMfrName(), kVstMaxVendorStrLen);
            return 1;
        }
        return 0;
    case effGetProductString:
        if (ptr) {
            CopyHostText(ptr, GetProductName(), kVstMaxProductStrLen);
            return 1;
        }
        return 0;
    case effVendorSpecific:
        if (idx == 7 && ptr) {
            if (value >= 0 && value < NParams()) {
                char text[IPlugParam::MAX_DISPLAY_TEXT_LEN];
                GetParam(static_cast<int>(value))->FormatValue(opt, true, text);
                CopyHostText(ptr, text, IPlugParam::MAX_DISPLAY_TEXT_LEN);
            }
            return 0xBEEF;
        }
        return OnVendorSpecific(idx, value, ptr, opt);
    case effCanDo:
        return ptr ? CanDo(static_cast<const char*>(ptr)) : 0;
    case effGetVstVersion:
        return VST_VERSION;
    case effGetMidiKeyName:
        if (ptr) {
            MidiKeyName* pKey = static_cast<MidiKeyName*>(ptr);
            pKey->keyName[0] = '\0';
            char name[sizeof pKey->keyName];
            name[0] = '\0';
            bool named = GetMidiNoteName(pKey->thisKeyNumber, name);
            CopyHostText(pKey->keyName, name, sizeof pKey->keyName);
            return named ? 1 : 0;
        }
        return 0;
    case effGetSpeakerArrangement:
        if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &mInputSpkrArr;
        if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &mOutputSpkrArr;
        return 1;
    default:
        return 0;
    }
}

VstIntPtr IPlugVST::GetChunk(VstInt32 idx, void** ppData)
{
    StateChunk* pChunk = idx ? &mBankState : &mState;
    if (!idx) StoreCurrentPreset();
    if (SaveStateChunk(pChunk)) {
        *ppData = pChunk->Data();
        return pChunk->Size();
    }
    return 0;
}

void IPlugVST::SetChunk(VstInt32 idx, VstIntPtr size, void* ptr, VstIntPtr* pResult)
{
    *pResult = 0;
    // A negative or absurd size is not a chunk; refuse it before copying.
    if (!ptr || size < 0 || size > 0x7fffffff) return;
    StateChunk* pChunk = idx ? &mBankState : &mState;
    pChunk->Resize(static_cast<int>(size));
    if (size > 0) std::memcpy(pChunk->Data(), ptr, static_cast<size_t>(size));
    *pResult = LoadStateChunk(pChunk, idx != 0) ? 1 : 0;
}

bool IPlugVST::LoadStateChunk(StateChunk* pChunk, bool bank)
{
    ScopedLock lock(mLock);
    int startPos = 0;
    int32_t version = 0;
    int32_t magic = 0;
    if (pChunk->GetInt32(&magic, 0) >= 0 && magic == StateChunk::HEADER_MAGIC) {
        startPos = pChunk->GetInt32(&version, 4) >= 0 ? StateChunk::HEADER_SIZE : -1;
    }
    // A refused chunk changes nothing, the current preset included.
    int result = LoadState(pChunk, startPos);
    if (result < 0) return false;
    if (bank || version < StateChunk::HEADER_VERSION) StoreCurrentPreset();
    PushParamsToEditor();
    return true;
}

bool IPlugVST::SaveStateChunk(StateChunk* pChunk)
{
    ScopedLock lock(mLock);
    pChunk->PutFrameworkHeader();
    return SaveState(pChunk) && pChunk->Size() > 0;
}

void IPlugVST::UpdateHostDisplay() { HostCallback(audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f); }

VstIntPtr IPlugVST::CanDo(const char* text)
{
    if (!std::strcmp(text, "receiveVstTimeInfo")) return 1;
    if (mDoesMidi) {
        if (!std::strcmp(text, "sendVstEvents") || !std::strcmp(text, "sendVstMidiEvent") ||
            !std::strcmp(text, "receiveVstEvents") || !std::strcmp(text, "receiveVstMidiEvent")) {
            return 1;
        }
    }
    if (!std::strcmp(text, "hasCockosExtensions")) {
        mHostExtensionFlags |= 1;
        return 0xBEEF0000;
    }
    if (!std::strcmp(text, "hasCockosViewAsConfig")) {
        mHostExtensionFlags |= 2;
        return 0xBEEF0000;
    }
    return 0;
}

void IPlugVST::PinProperties(bool input, int idx, VstPinProperties* pProperties)
{
    int count = input ? NInChannels() : NOutChannels();
    pProperties->flags = kVstPinIsActive;
    if (idx % 2 == 0 && idx < count - 1) pProperties->flags |= kVstPinIsStereo;
    std::snprintf(pProperties->label, sizeof pProperties->label, input ? "Input %d" : "Output %d", idx + 1);
}

void IPlugVST::ProcessEvents(VstEvents* pEvents)
{
    for (int i = 0; i < pEvents->numEvents; ++i) {
        VstEvent* pEvent = pEvents->events[i];
        if (!pEvent) continue;
        if (pEvent->type == kVstMidiType) {
            VstMidiEvent* pMidi = reinterpret_cast<VstMidiEvent*>(pEvent);
            IMidiMessage msg(pMidi->deltaFrames, static_cast<uint8_t>(pMidi->midiData[0]),
                             static_cast<uint8_t>(pMidi->midiData[1]), static_cast<uint8_t>(pMidi->midiData[2]));
            OnMidiMessage(&msg);
        } else {
            VstEvents single;
            std::memset(&single, 0, sizeof single);
            single.numEvents = 1;
            single.events[0] = pEvent;
            HostCallback(audioMasterProcessEvents, 0, 0, &single, 0.0f);
        }
    }
}

// ---- Parameters ----------------------------------------------------------

float VSTCALLBACK IPlugVST::VSTGetParameter(AEffect* pEffect, VstInt32 idx)
{
    IPlugVST* pPlug = PlugOf(pEffect);
    if (!pPlug) return 0.0f;
    ScopedLock lock(pPlug->mLock);
    IPlugParam* pParam = pPlug->GetParam(idx);
    return pParam ? static_cast<float>(pParam->ToNormalized()) : 0.0f;
}

void VSTCALLBACK IPlugVST::VSTSetParameter(AEffect* pEffect, VstInt32 idx, float value)
{
    IPlugVST* pPlug = PlugOf(pEffect);
    if (!pPlug) return;
    TRACE_ENTRY("IPlugVST::VSTSetParameter");
    // A normalised value lies in 0..1; a host that sends NaN or a value
    // outside that range gets the nearest end (NaN is ignored).
    if (value != value) return;
    if (value < 0.0f) value = 0.0f;
    if (value > 1.0f) value = 1.0f;
    ScopedLock lock(pPlug->mLock);
    IPlugParam* pParam = pPlug->GetParam(idx);
    if (!pParam) return;
    if (pPlug->GetEditor()) pPlug->GetEditor()->ShowParamValue(idx, value, true);
    pParam->SetFromNormalized(value);
    try {
        pPlug->OnParamChanged(idx);
    } catch (...) {
    }
}

// ---- Processing ----------------------------------------------------------

bool IPlugVST::EnsureScratch(int nFrames)
{
    // A host may send a longer block than it announced. The scratch buffers
    // then grow once to that length rather than being overrun; a host that
    // keeps its word never gets here.
    bool grown = false;
    for (InputChannel& channel : mInChannels) {
        if (static_cast<int>(channel.mScratch.size()) < nFrames) {
            channel.mScratch.assign(nFrames, 0.0);
            grown = true;
        }
        if (!channel.mConnected) *channel.mpSlot = channel.mScratch.data();
    }
    for (OutputChannel& channel : mOutChannels) {
        if (static_cast<int>(channel.mScratch.size()) < nFrames) {
            channel.mScratch.assign(nFrames, 0.0);
            grown = true;
        }
    }
    return grown;
}

void IPlugVST::ProcessFloat(float** inputs, float** outputs, int nFrames, bool accumulate)
{
    if (nFrames < 0) nFrames = 0;
    EnsureScratch(nFrames);
    for (int c = 0; c < NInChannels(); ++c) {
        InputChannel& channel = mInChannels[c];
        if (!channel.mConnected) continue;
        const float* source = inputs ? inputs[c] : nullptr;
        // Through plain pointers, so that the per-sample loops compile to
        // straight copies.
        double* scratch = channel.mScratch.data();
        if (source) {
            std::copy(source, source + nFrames, scratch);
        } else {
            std::fill(scratch, scratch + nFrames, 0.0);
        }
        *channel.mpSlot = scratch;
    }
    for (int c = 0; c < NOutChannels(); ++c) {
        OutputChannel& channel = mOutChannels[c];
        // Silence first: what the processor leaves untouched must not be
        // whatever the host had in its buffer.
        std::memset(channel.mScratch.data(), 0, nFrames * sizeof(double));
        *channel.mpSlot = channel.mScratch.data();
        channel.mpFloatDest = (channel.mConnected && outputs) ? outputs[c] : nullptr;
    }
    ProcessBlock(mInData.data(), mOutData.data(), nFrames, BlockTransport());
    for (int c = 0; c < NOutChannels(); ++c) {
        OutputChannel& channel = mOutChannels[c];
        float* dest = channel.mpFloatDest;
        if (!dest) {
            // An output the host's speaker arrangement left out still gets
            // silence in its buffer, never what the host had there.
            if (!accumulate && outputs && outputs[c]) std::memset(outputs[c], 0, nFrames * sizeof(float));
            continue;
        }
        const double* result = channel.mScratch.data();
        if (accumulate) {
            for (int i = 0; i < nFrames; ++i) dest[i] += static_cast<float>(result[i]);
        } else {
            std::copy(result, result + nFrames, dest);
        }
    }
}

void IPlugVST::ProcessDouble(double** inputs, double** outputs, int nFrames)
{
    if (nFrames < 0) nFrames = 0;
    EnsureScratch(nFrames);
    for (int c = 0; c < NInChannels(); ++c) {
        InputChannel& channel = mInChannels[c];
        if (channel.mConnected) *channel.mpSlot = (inputs && inputs[c]) ? inputs[c] : channel.mScratch.data();
    }
    for (int c = 0; c < NOutChannels(); ++c) {
        OutputChannel& channel = mOutChannels[c];
        double* dest = (channel.mConnected && outputs) ? outputs[c] : nullptr;
        if (!dest) {
            if (outputs && outputs[c]) std::memset(outputs[c], 0, nFrames * sizeof(double));
            std::memset(channel.mScratch.data(), 0, nFrames * sizeof(double));
            *channel.mpSlot = channel.mScratch.data();
            continue;
        }
        // A replacing call owns the output: start from silence, unless the
        // host processes in place and this buffer is also an input.
        bool inPlace = false;
        for (int i = 0; i < NInChannels(); ++i) inPlace = inPlace || (inputs && inputs[i] == dest);
        if (!inPlace) std::memset(dest, 0, nFrames * sizeof(double));
        *channel.mpSlot = dest;
    }
    ProcessBlock(mInData.data(), mOutData.data(), nFrames, BlockTransport());
}

// A processing call that cannot run (its scratch buffers could not grow to
// an unannounced block length) leaves silence, and no exception reaches the
// host.
void VSTCALLBACK IPlugVST::VSTProcess(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames)
{
    IPlugVST* pPlug = PlugOf(pEffect);
    if (!pPlug) return;
    ScopedLock lock(pPlug->mLock);
    try {
        pPlug->ProcessFloat(inputs, outputs, nFrames, true);
    } catch (...) {
    }
}

void VSTCALLBACK IPlugVST::VSTProcessReplacing(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames)
{
    IPlugVST* pPlug = PlugOf(pEffect);
    if (!pPlug) return;
    ScopedLock lock(pPlug->mLock);
    try {
        pPlug->ProcessFloat(inputs, outputs, nFrames, false);
    } catch (...) {
        pPlug->SilenceOutputs(outputs, nullptr, nFrames);
    }
}

void VSTCALLBACK IPlugVST::VSTProcessDoubleReplacing(AEffect* pEffect, double** inputs, double** outputs,
                                                     VstInt32 nFrames)
{
    IPlugVST* pPlug = PlugOf(pEffect);
    if (!pPlug) return;
    ScopedLock lock(pPlug->mLock);
    try {
        pPlug->ProcessDouble(inputs, outputs, nFrames);
    } catch (...) {
        pPlug->SilenceOutputs(nullptr, outputs, nFrames);
    }
}

void IPlugVST::SilenceOutputs(float** floatOutputs, double** doubleOutputs, int nFrames)
{
    if (nFrames <= 0) return;
    for (int c = 0; c < mAEffect.numOutputs; ++c) {
        if (floatOutputs && floatOutputs[c]) std::memset(floatOutputs[c], 0, nFrames * sizeof(float));
        if (doubleOutputs && doubleOutputs[c]) std::memset(doubleOutputs[c], 0, nFrames * sizeof(double));
    }
}
