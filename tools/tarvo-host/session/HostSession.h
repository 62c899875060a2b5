// One loaded plug-in and the host around it: the module, the host callback,
// the transport it reports, the audio buffers and what the plug-in sent
// back. Every subcommand works through a session. Several sessions may hold
// plug-ins at once (render runs a plug-in and a synthesiser): each call of a
// plug-in is answered by the session that holds the effect it names.
//
// Threads: by default every call comes from one thread. A caller that
// processes on an audio thread of its own while another thread runs the
// plug-in's editor binds that thread first (BindAudioThread); the
// plug-in's calls from any other thread are then answered from a copy of
// the transport taken at block boundaries, and what it sends is recorded
// under a lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "HostTransport.h"
#include "PluginModule.h"

// A three-byte MIDI event as a host or plug-in sends it.
VstMidiEvent MakeMidiEvent(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2);
#include "framework/plugin/VstInterface.h"

enum EPrecision {
    EPrecision_Single,
    EPrecision_Double
};

const char* const HOST_PRODUCT_STRING = "tarvo-host";
const char* const HOST_VENDOR_STRING = "Quillfen";
const VstIntPtr HOST_VENDOR_VERSION = 10000;  // 1.0.0
const VstIntPtr HOST_VST_VERSION = 2400;
// Every string query gets a zeroed buffer this large, far beyond the
// published limits, which many plug-ins overrun.
const int QUERY_BUFFER_BYTES = 512;
const int MAX_CHANNELS = 256;
// A longer event list is taken for garbage rather than walked.
const VstInt32 MAX_EVENTS_PER_LIST = 65536;
const VstIntPtr MAX_CHUNK_BYTES = VstIntPtr(1) << 30;
// Each sample of an output buffer holds this value, alternating in sign,
// before every processing call: a plug-in that leaves its outputs alone
// shows it as the output peak.
const double UNWRITTEN_OUTPUT_LEVEL = 0.5;

// A MIDI event the plug-in sent.
struct ReceivedMidiEvent {
    int64_t samplePosition;  // the block's timeline position + deltaFrames
    int32_t deltaFrames;     // as the plug-in sent it
    double quarter;          // on the render's time line (HostTransport::ElapsedQuarters)
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
};

// An audioMasterAutomate call.
struct ReceivedAutomation {
    int64_t block;
    int32_t index;
    float value;
};

class HostSession {
public:
    HostSession();
    virtual ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Loads a module and creates the effect through VSTPluginMain, or main
    // for plug-ins that export only that. False with *error set when the
    // file is not a usable VST 2 plug-in; nothing is left loaded then.
    bool LoadFile(const std::string& path, std::string* error);
    // The same with an entry point that is already in the process.
    bool LoadEntry(VstPluginMainProc entry, std::string* error);
    AEffect* Effect() const { return mpEffect; }

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    // A dispatcher call that fills a text buffer (names, labels, displays).
    std::string QueryString(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0);

    void Open();
    void SetSampleRate(double sampleRate);
    void SetBlockSize(int frames);
    void SetActive(bool active);
    // Any index: the plug-in may accept more parameters than it declares.
    void SetParameter(int32_t index, float value);
    float GetParameter(int32_t index);
    // Index of the first declared parameter with that name, or -1.
    int32_t FindParameter(const std::string& name);
    // effSetChunk, index 0; false when the plug-in refused the chunk.
    bool SetChunk(const std::vector<uint8_t>& data);
    bool GetChunk(std::vector<uint8_t>* data, std::string* error);
    // effClose, then the module is unloaded. Safe to call more than once.
    void Close();

    // The transport starts with these settings; the host answers
    // audioMasterGetTime with null when time is not provided.
    void SetTransport(const TransportSettings& settings);
    HostTransport& Transport() { return mTransport; }
    void SetTimeProvided(bool provided) { mTimeProvided = provided; }
    // audioMasterGetCurrentProcessLevel answers offline while processing,
    // as a host bouncing faster than real time does.
    void SetOfflineProcessing(bool offline) { mOffline = offline; }

    // False with *error when the plug-in has no entry for that precision.
    bool CanProcess(EPrecision precision, std::string* error) const;
    // The calling thread does all processing from now on.
    void BindAudioThread();
    // effProcessEvents with these events, for the block about to be run.
    void DeliverMidi(const std::vector<VstMidiEvent>& events);
    // Runs one block of that many frames (0 allowed), measures the output
    // and moves the transport on.
    void ProcessBlock(int frames, EPrecision precision);
    int64_t BlocksProcessed() const { return mBlockNumber; }
    int64_t FramesProcessed() const { return mFramesProcessed; }
    // Largest absolute output sample so far; NaN once a sample was not
    // a finite number.
    double OutputPeak() const;
    // The outputs of the last single-precision block: their number and each
    // one's samples (null for a channel beyond that number).
    int OutputChannels() const { return mOutputs; }
    const float* FloatOutput(int channel) const;
    // The same for the last double-precision block.
    const double* DoubleOutput(int channel) const;
    // Output channels of the last block that the plug-in left as the host
    // preset them (every sample still the alternating pattern).
    int UntouchedOutputs() const { return mUntouchedOutputs; }

    // The records below are complete once processing has ended; while an
    // audio thread runs, only AutomationCount is safe to call.
    int64_t AutomationCount() const;
    const std::vector<ReceivedMidiEvent>& MidiEvents() const { return mMidiEvents; }
    const std::vector<ReceivedAutomation>& Automation() const { return mAutomation; }
    // Event list entries that were not taken: null entries and lists whose
    // count is out of range (invalid), other event types (ignored).
    int64_t InvalidEvents() const { return mInvalidEvents; }
    int64_t IgnoredEvents() const { return mIgnoredEvents; }

protected:
    // Called on the processing thread right before (starting) and right
    // after the plug-in's processing call, for a caller that measures it.
    virtual void OnProcessCall(bool /*starting*/) {}
    // The inputs of the block being processed, silent until a caller that
    // feeds a signal writes them from OnProcessCall(true); null beyond
    // InputChannels.
    int InputChannels() const { return mInputs; }
    float* FloatInput(int channel)
    {
        return channel >= 0 && channel < mInputs ? mFloatInputs[size_t(channel)] : nullptr;
    }
    double* DoubleInput(int channel)
    {
        return channel >= 0 && channel < mInputs ? mDoubleInputs[size_t(channel)] : nullptr;
    }
    // Answers a call of the plug-in; the effect may be null while the
    // plug-in is being created.
    virtual VstIntPtr OnHostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                     float opt);

private:
    static VstIntPtr VSTCALLBACK HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void* ptr, float opt);
    // The session that answers a call naming that effect, or null.
    static HostSession* SessionFor(AEffect* effect);
    bool CreateEffect(VstPluginMainProc entry, std::string* error);
    void ReceiveEvents(const VstEvents* events, const HostTransport& transport);
    bool OnAudioThread() const;
    // Makes the transport as it stands the one other threads are told.
    void PublishTransport();
    VstIntPtr AnswerCanDo(const char* what) const;
    void PrepareBuffers(int frames);
    void MeasureOutputs(int frames, EPrecision precision);

    PluginModule mModule;
    std::string mModuleFolder;
    AEffect* mpEffect = nullptr;
    double mSampleRate = 44100.0;
    int mBlockSize = 512;
    HostTransport mTransport;
    bool mTimeProvided = true;
    bool mOffline = false;
    VstTimeInfo mTimeInfo = {};
    bool mProcessing = false;  // read on the audio thread only

    std::atomic<std::thread::id> mAudioThread{std::thread::id()};
    // Guards the records and the copies below, which the plug-in reaches
    // from its editor's thread while the audio thread processes.
    mutable std::mutex mRecordLock;
    HostTransport mPublishedTransport;
    VstTimeInfo mOtherThreadTimeInfo = {};

    int64_t mBlockNumber = 0;
    int64_t mFramesProcessed = 0;
    double mOutputPeak = 0.0;
    bool mOutputNotFinite = false;
    int mUntouchedOutputs = 0;

    int mBufferFrames = 0;
    int mInputs = 0;
    int mOutputs = 0;
    // One buffer per channel, inputs then outputs, plus a spare one that
    // the pointer arrays of a plug-in without inputs or outputs point at.
    std::vector<std::vector<float>> mFloatBuffers;
    std::vector<std::vector<double>> mDoubleBuffers;
    std::vector<float*> mFloatInputs;
    std::vector<float*> mFloatOutputs;
    std::vector<double*> mDoubleInputs;
    std::vector<double*> mDoubleOutputs;

    std::vector<VstMidiEvent> mOutgoingEvents;
    std::vector<VstIntPtr> mOutgoingList;
    std::vector<uint8_t> mChunkIn;

    std::vector<ReceivedMidiEvent> mMidiEvents;
    std::vector<ReceivedAutomation> mAutomation;
    int64_t mInvalidEvents = 0;
    int64_t mIgnoredEvents = 0;
};
