#include "HostSession.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {
// Host process levels of audioMasterGetCurrentProcessLevel.
const VstIntPtr PROCESS_LEVEL_USER = 1;
const VstIntPtr PROCESS_LEVEL_REALTIME = 2;
const VstIntPtr PROCESS_LEVEL_OFFLINE = 4;
const VstIntPtr LANGUAGE_ENGLISH = 1;

void CopyText(void* destination, const char* text, size_t capacity)
{
    char* out = static_cast<char*>(destination);
    std::strncpy(out, text, capacity - 1);
    out[capacity - 1] = '\0';
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The sessions that hold a plug-in or are creating one, for routing the
// plug-ins' calls. Plug-ins name themselves by their AEffect; while an
// entry point runs, the effect is not known yet (some call with null, some
// with the record they are about to return), so the creating session
// answers. Plug-ins that pass a wrong effect later are still answered when
// only one session exists, as they were by hosts of one plug-in.
std::mutex gSessionsLock;
std::vector<HostSession*> gSessions;
HostSession* gCreatingSession = nullptr;

void Unregister(HostSession* session)
{
    std::lock_guard<std::mutex> guard(gSessionsLock);
    gSessions.erase(std::remove(gSessions.begin(), gSessions.end(), session), gSessions.end());
    if (gCreatingSession == session) gCreatingSession = nullptr;
}
}  // namespace

HostSession::HostSession() {}

HostSession::~HostSession() { Close(); }

HostSession* HostSession::SessionFor(AEffect* effect)
{
    std::lock_guard<std::mutex> guard(gSessionsLock);
    if (effect) {
        for (HostSession* session : gSessions) {
            if (session->mpEffect == effect) return session;
        }
    }
    if (gCreatingSession) return gCreatingSession;
    return gSessions.size() == 1 ? gSessions[0] : nullptr;
}

VstIntPtr VSTCALLBACK HostSession::HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                                void* ptr, float opt)
{
    HostSession* session = SessionFor(effect);
    // audioMasterVersion is asked before any effect exists, sometimes even
    // from a module's load-time constructors.
    if (!session) return opcode == audioMasterVersion ? HOST_VST_VERSION : 0;
    return session->OnHostCallback(effect, opcode, index, value, ptr, opt);
}

bool HostSession::LoadFile(const std::string& path, std::string* error)
{
    Close();
    std::string why;
    if (!mModule.Open(path, &why)) {
        *error = "cannot load '" + path + "': " + why;
        return false;
    }
    VstPluginMainProc entry = reinterpret_cast<VstPluginMainProc>(mModule.FindSymbol("VSTPluginMain"));
    if (!entry) entry = reinterpret_cast<VstPluginMainProc>(mModule.FindSymbol("main"));
    if (!entry) {
        mModule.Close();
        *error = "'" + path + "' is not a VST 2 plug-in: it exports neither VSTPluginMain nor main";
        return false;
    }
    mModuleFolder = FolderOf(path);
    if (!CreateEffect(entry, &why)) {
        mModule.Close();
        *error = "'" + path + "' is not a usable VST 2 plug-in: " + why;
        return false;
    }
    return true;
}

bool HostSession::LoadEntry(VstPluginMainProc entry, std::string* error)
{
    Close();
    return CreateEffect(entry, error);
}

bool HostSession::CreateEffect(VstPluginMainProc entry, std::string* error)
{
    // What an earlier plug-in of this session did is not this one's record.
    mTransport = HostTransport();
    mPublishedTransport = mTransport;
    mAudioThread.store(std::thread::id());
    mBlockNumber = 0;
    mFramesProcessed = 0;
    mOutputPeak = 0.0;
    mOutputNotFinite = false;
    mMidiEvents.clear();
    mAutomation.clear();
    mInvalidEvents = 0;
    mIgnoredEvents = 0;
    {
        std::lock_guard<std::mutex> guard(gSessionsLock);
        gSessions.push_back(this);
        gCreatingSession = this;
    }
    AEffect* effect = entry(&HostCallback);
    char why[160] = "";
    if (!effect) {
        std::snprintf(why, sizeof(why), "its entry point returned no effect");
    } else if (effect->magic != kEffectMagic) {
        std::snprintf(why, sizeof(why), "its effect has magic 0x%08x instead of 'VstP'", unsigned(effect->magic));
    } else if (!effect->dispatcher) {
        std::snprintf(why, sizeof(why), "its effect has no dispatcher");
    } else if (effect->numParams < 0 || effect->numPrograms < 0) {
        std::snprintf(why, sizeof(why), "it declares %d parameters and %d programs", int(effect->numParams),
                      int(effect->numPrograms));
    } else if (effect->numInputs < 0 || effect->numInputs > MAX_CHANNELS || effect->numOutputs < 0 ||
               effect->numOutputs > MAX_CHANNELS) {
        std::snprintf(why, sizeof(why), "it declares %d inputs and %d outputs (at most %d each are supported)",
                      int(effect->numInputs), int(effect->numOutputs), MAX_CHANNELS);
    }
    if (why[0]) {
        // An effect that fails these checks cannot be trusted with effClose
        // either; it is left to the unloading of its module.
        Unregister(this);
        *error = why;
        return false;
    }
    std::lock_guard<std::mutex> guard(gSessionsLock);
    mpEffect = effect;
    gCreatingSession = nullptr;
    return true;
}

void HostSession::Close()
{
    if (mpEffect) {
        Dispatch(effClose);
        std::lock_guard<std::mutex> guard(gSessionsLock);
        mpEffect = nullptr;
    }
    Unregister(this);
    mModule.Close();
}

VstIntPtr HostSession::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (!mpEffect) return 0;
    return mpEffect->dispatcher(mpEffect, opcode, index, value, ptr, opt);
}

std::string HostSession::QueryString(VstInt32 opcode, VstInt32 index, VstIntPtr value)
{
    char buffer[QUERY_BUFFER_BYTES];
    std::memset(buffer, 0, sizeof(buffer));
    Dispatch(opcode, index, value, buffer);
    buffer[sizeof(buffer) - 1] = '\0';
    return std::string(buffer);
}

void HostSession::Open() { Dispatch(effOpen); }

void HostSession::SetSampleRate(double sampleRate)
{
    mSampleRate = sampleRate;
    Dispatch(effSetSampleRate, 0, 0, nullptr, float(sampleRate));
}

void HostSession::SetBlockSize(int frames)
{
    mBlockSize = frames;
    Dispatch(effSetBlockSize, 0, frames);
}

void HostSession::SetActive(bool active) { Dispatch(effMainsChanged, 0, active ? 1 : 0); }

void HostSession::SetParameter(int32_t index, float value)
{
    if (mpEffect && mpEffect->setParameter) mpEffect->setParameter(mpEffect, index, value);
}

float HostSession::GetParameter(int32_t index)
{
    if (!mpEffect || !mpEffect->getParameter) return 0.0f;
    return mpEffect->getParameter(mpEffect, index);
}

int32_t HostSession::FindParameter(const std::string& name)
{
    if (!mpEffect) return -1;
    for (VstInt32 i = 0; i < mpEffect->numParams; ++i) {
        if (QueryString(effGetParamName, i) == name) return i;
    }
    return -1;
}

bool HostSession::SetChunk(const std::vector<uint8_t>& data)
{
    // Kept until the next chunk: a careless plug-in may read it later.
    mChunkIn = data;
    return Dispatch(effSetChunk, 0, VstIntPtr(mChunkIn.size()), mChunkIn.empty() ? nullptr : mChunkIn.data()) == 1;
}

bool HostSession::GetChunk(std::vector<uint8_t>* data, std::string* error)
{
    data->clear();
    void* address = nullptr;
    VstIntPtr size = Dispatch(effGetChunk, 0, 0, &address);
    if (size <= 0 || !address) {
        *error = "the plug-in returned no state chunk";
        return false;
    }
    if (size > MAX_CHUNK_BYTES) {
        *error = "the plug-in returned a state chunk of " + std::to_string(int64_t(size)) + " bytes";
        return false;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(address);
    data->assign(bytes, bytes + size);
    return true;
}

void HostSession::SetTransport(const TransportSettings& settings)
{
    mTransport = HostTransport(settings);
    PublishTransport();
    // The rate the host answers from now on, even before effSetSampleRate.
    mSampleRate = settings.sampleRate;
}

void HostSession::BindAudioThread()
{
    PublishTransport();
    mAudioThread.store(std::this_thread::get_id());
}

bool HostSession::OnAudioThread() const
{
    std::thread::id audio = mAudioThread.load();
    return audio == std::thread::id() || audio == std::this_thread::get_id();
}

void HostSession::PublishTransport()
{
    std::lock_guard<std::mutex> guard(mRecordLock);
    mPublishedTransport = mTransport;
}

int64_t HostSession::AutomationCount() const
{
    std::lock_guard<std::mutex> guard(mRecordLock);
    return int64_t(mAutomation.size());
}

bool HostSession::CanProcess(EPrecision precision, std::string* error) const
{
    if (!mpEffect) {
        *error = "no plug-in is loaded";
        return false;
    }
    if (precision == EPrecision_Double) {
        if (!(mpEffect->flags & effFlagsCanDoubleReplacing) || !mpEffect->processDoubleReplacing) {
            *error = "the plug-in does not process double precision (no processDoubleReplacing)";
            return false;
        }
    } else if (!mpEffect->processReplacing) {
        *error = "the plug-in has no processReplacing";
        return false;
    }
    return true;
}

void HostSession::DeliverMidi(const std::vector<VstMidiEvent>& events)
{
    // VstEvents ends in a variable-length array of event pointers.
    const size_t HEADER_WORDS = offsetof(VstEvents, events) / sizeof(VstIntPtr);
    mOutgoingEvents = events;
    mOutgoingList.assign(HEADER_WORDS + (events.size() > 2 ? events.size() : 2), 0);
    VstEvents* list = reinterpret_cast<VstEvents*>(mOutgoingList.data());
    list->numEvents = VstInt32(events.size());
    VstEvent** slots = reinterpret_cast<VstEvent**>(mOutgoingList.data() + HEADER_WORDS);
    for (size_t i = 0; i < mOutgoingEvents.size(); ++i) slots[i] = reinterpret_cast<VstEvent*>(&mOutgoingEvents[i]);
    PublishTransport();
    mProcessing = true;
    Dispatch(effProcessEvents, 0, 0, list);
    mProcessing = false;
}

void HostSession::PrepareBuffers(int frames)
{
    mInputs = mpEffect->numInputs;
    mOutputs = mpEffect->numOutputs;
    // The counts may have changed (audioMasterIOChanged); never trust them
    // beyond what the buffers were made for.
    if (mInputs < 0 || mInputs > MAX_CHANNELS) mInputs = 0;
    if (mOutputs < 0 || mOutputs > MAX_CHANNELS) mOutputs = 0;
    size_t channels = size_t(mInputs + mOutputs + 1);
    size_t length = size_t(frames > 0 ? frames : 1);
    if (mFloatBuffers.size() < channels) {
        mFloatBuffers.resize(channels);
        mDoubleBuffers.resize(channels);
    }
    for (size_t c = 0; c < channels; ++c) {
        if (mFloatBuffers[c].size() < length) {
            mFloatBuffers[c].resize(length);
            mDoubleBuffers[c].resize(length);
        }
    }
    std::vector<float>& spareFloat = mFloatBuffers[channels - 1];
    std::vector<double>& spareDouble = mDoubleBuffers[channels - 1];
    mFloatInputs.assign(size_t(mInputs > 0 ? mInputs : 1), spareFloat.data());
    mDoubleInputs.assign(mFloatInputs.size(), spareDouble.data());
    mFloatOutputs.assign(size_t(mOutputs > 0 ? mOutputs : 1), spareFloat.data());
    mDoubleOutputs.assign(mFloatOutputs.size(), spareDouble.data());
    for (int c = 0; c < mInputs; ++c) {
        mFloatInputs[c] = mFloatBuffers[c].data();
        mDoubleInputs[c] = mDoubleBuffers[c].data();
    }
    for (int c = 0; c < mOutputs; ++c) {
        mFloatOutputs[c] = mFloatBuffers[mInputs + c].data();
        mDoubleOutputs[c] = mDoubleBuffers[mInputs + c].data();
    }
    // Silence in, a recognisable pattern out; plug-ins that process in
    // place may have written into the inputs last time.
    for (size_t c = 0; c < channels; ++c) {
        bool output = int(c) >= mInputs && int(c) < mInputs + mOutputs;
        for (size_t i = 0; i < length; ++i) {
            double value = output ? ((i & 1) ? -UNWRITTEN_OUTPUT_LEVEL : UNWRITTEN_OUTPUT_LEVEL) : 0.0;
            mFloatBuffers[c][i] = float(value);
            mDoubleBuffers[c][i] = value;
        }
    }
}

void HostSession::MeasureOutputs(int frames, EPrecision precision)
{
    mUntouchedOutputs = 0;
    for (int c = 0; c < mOutputs && frames > 0; ++c) {
        bool untouched = true;
        for (int i = 0; i < frames && untouched; ++i) {
            double preset = (i & 1) ? -UNWRITTEN_OUTPUT_LEVEL : UNWRITTEN_OUTPUT_LEVEL;
            double sample = precision == EPrecision_Double ? mDoubleOutputs[c][i] : double(mFloatOutputs[c][i]);
            untouched = sample == preset;
        }
        if (untouched) ++mUntouchedOutputs;
    }
    for (int c = 0; c < mOutputs; ++c) {
        for (int i = 0; i < frames; ++i) {
            double sample = precision == EPrecision_Double ? mDoubleOutputs[c][i] : double(mFloatOutputs[c][i]);
            if (!std::isfinite(sample)) {
                mOutputNotFinite = true;
            } else if (std::fabs(sample) > mOutputPeak) {
                mOutputPeak = std::fabs(sample);
            }
        }
    }
}

void HostSession::ProcessBlock(int frames, EPrecision precision)
{
    if (!mpEffect) return;
    PrepareBuffers(frames);
    PublishTransport();
    mProcessing = true;
    OnProcessCall(true);
    if (precision == EPrecision_Double) {
        if (mpEffect->processDoubleReplacing)
            mpEffect->processDoubleReplacing(mpEffect, mDoubleInputs.data(), mDoubleOutputs.data(), frames);
    } else if (mpEffect->processReplacing) {
        mpEffect->processReplacing(mpEffect, mFloatInputs.data(), mFloatOutputs.data(), frames);
    }
    OnProcessCall(false);
    mProcessing = false;
    MeasureOutputs(frames, precision);
    mTransport.EndBlock(frames);
    std::lock_guard<std::mutex> guard(mRecordLock);
    mPublishedTransport = mTransport;
    ++mBlockNumber;
    mFramesProcessed += frames;
}

double HostSession::OutputPeak() const { return mOutputNotFinite ? NAN : mOutputPeak; }

const float* HostSession::FloatOutput(int channel) const
{
    if (channel < 0 || channel >= mOutputs || size_t(channel) >= mFloatOutputs.size()) return nullptr;
    return mFloatOutputs[size_t(channel)];
}

const double* HostSession::DoubleOutput(int channel) const
{
    if (channel < 0 || channel >= mOutputs || size_t(channel) >= mDoubleOutputs.size()) return nullptr;
    return mDoubleOutputs[size_t(channel)];
}

void HostSession::ReceiveEvents(const VstEvents* events, const HostTransport& transport)
{
    if (events->numEvents < 0 || events->numEvents > MAX_EVENTS_PER_LIST) {
        ++mInvalidEvents;
        return;
    }
    // The list is longer than its declared two slots.
    const VstEvent* const* slots =
        reinterpret_cast<const VstEvent* const*>(reinterpret_cast<const char*>(events) + offsetof(VstEvents, events));
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = slots[i];
        if (!event) {
            ++mInvalidEvents;
            continue;
        }
        if (event->type != kVstMidiType) {
            ++mIgnoredEvents;
            continue;
        }
        const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(event);
        ReceivedMidiEvent received;
        received.samplePosition = transport.SamplePosition() + midi->deltaFrames;
        received.deltaFrames = midi->deltaFrames;
        received.quarter = transport.ElapsedQuarters() + transport.QuartersIn(midi->deltaFrames);
        received.status = uint8_t(midi->midiData[0]);
        received.data1 = uint8_t(midi->midiData[1]);
        received.data2 = uint8_t(midi->midiData[2]);
        mMidiEvents.push_back(received);
    }
}

VstIntPtr HostSession::AnswerCanDo(const char* what) const
{
    static const char* const YES[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"};
    static const char* const NO[] = {"sizeWindow",       "offline",         "openFileSelector", "closeFileSelector",
                                     "startStopProcess", "acceptIOChanges", "shellCategory",    "supportShell"};
    for (const char* yes : YES) {
        if (std::strcmp(what, yes) == 0) return 1;
    }
    if (std::strcmp(what, "sendVstTimeInfo") == 0) return mTimeProvided ? 1 : -1;
    for (const char* no : NO) {
        if (std::strcmp(what, no) == 0) return -1;
    }
    return 0;
}

VstIntPtr HostSession::OnHostCallback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float opt)
{
    switch (opcode) {
    case audioMasterAutomate: {
        // An edit in the editor counts for the block about to be processed.
        std::lock_guard<std::mutex> guard(mRecordLock);
        mAutomation.push_back(ReceivedAutomation{mBlockNumber, index, opt});
        return 0;
    }
    case audioMasterVersion:
        return HOST_VST_VERSION;
    case audioMasterIdle:
        return 0;
    case audioMasterWantMidi:
        return 1;
    case audioMasterGetTime:
        if (!mTimeProvided) return 0;
        // Every field is filled whatever the request's filter asks for, as
        // real hosts do; the flags say which ones are valid. A fresh copy
        // for every call: a plug-in that writes into the record must not
        // change what it reads next time.
        if (!OnAudioThread()) {
            std::lock_guard<std::mutex> guard(mRecordLock);
            mOtherThreadTimeInfo = mPublishedTransport.TimeInfo();
            return reinterpret_cast<VstIntPtr>(&mOtherThreadTimeInfo);
        }
        mTimeInfo = mTransport.TimeInfo();
        return reinterpret_cast<VstIntPtr>(&mTimeInfo);
    case audioMasterProcessEvents: {
        if (!ptr) return 0;
        bool audioThread = OnAudioThread();
        std::lock_guard<std::mutex> guard(mRecordLock);
        ReceiveEvents(static_cast<const VstEvents*>(ptr), audioThread ? mTransport : mPublishedTransport);
        return 1;
    }
    case audioMasterGetSampleRate:
        return VstIntPtr(mSampleRate);
    case audioMasterGetBlockSize:
        return mBlockSize;
    case audioMasterGetCurrentProcessLevel:
        if (!OnAudioThread() || !mProcessing) return PROCESS_LEVEL_USER;
        return mOffline ? PROCESS_LEVEL_OFFLINE : PROCESS_LEVEL_REALTIME;
    case audioMasterGetVendorString:
        if (!ptr) return 0;
        CopyText(ptr, HOST_VENDOR_STRING, kVstMaxVendorStrLen);
        return 1;
    case audioMasterGetProductString:
        if (!ptr) return 0;
        CopyText(ptr, HOST_PRODUCT_STRING, kVstMaxProductStrLen);
        return 1;
    case audioMasterGetVendorVersion:
        return HOST_VENDOR_VERSION;
    case audioMasterCanDo:
        return ptr ? AnswerCanDo(static_cast<const char*>(ptr)) : 0;
    case audioMasterGetLanguage:
        return LANGUAGE_ENGLISH;
    case audioMasterGetDirectory:
        return mModuleFolder.empty() ? 0 : reinterpret_cast<VstIntPtr>(mModuleFolder.c_str());
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterUpdateDisplay:
        return 1;
    default:
        // audioMasterCurrentId (shell plug-ins), audioMasterIOChanged,
        // audioMasterSizeWindow, audioMasterVendorSpecific and anything
        // unknown: not supported.
        return 0;
    }
}

VstMidiEvent MakeMidiEvent(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2)
{
    VstMidiEvent event = {};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = deltaFrames;
    event.midiData[0] = char(status);
    event.midiData[1] = char(data1);
    event.midiData[2] = char(data2);
    return event;
}
