// The host-independent half of the plug-in framework: parameters, presets,
// channel layouts with their buffers, identity, sample rate, block size,
// latency, the attached editor and the one recursive lock that serialises
// every entry into the plug-in. The host adapter derives from it and turns
// host calls into calls of these operations; nothing here knows a host API.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "IMidiMessage.h"
#include "IParamHost.h"
#include "IPlugParam.h"
#include "RecursiveLock.h"
#include "StateChunk.h"

class IPlugEditor;

// Known hosts, as the host table identifies them from the product string.
enum HostId {
    kHostUninit = -1,
    kHostUnknown = 0,
    kHostReaper = 1,
    kHostCubase = 3,
    kHostNuendo = 4,
    kHostSonar = 5,
    kHostFL = 7,
    kHostSamplitude = 8,
    kHostAbletonLive = 9,
    kHostMelodyneStudio = 12,
    kHostVSTScanner = 13,
    kHostAULab = 14,
    kHostForte = 15,
    kHostChainer = 16,
    kHostAudition = 17,
    kHostOrion = 18,
    kHostSAWStudio = 20,
    kHostLogic = 21,
    kHostDigitalPerformer = 22
};

struct IPlugPreset {
    static const int MAX_NAME_LEN = 256;
    bool mInitialized;
    char mName[MAX_NAME_LEN];
    StateChunk mChunk;  // plain values of the declared parameters
};

struct ChannelIOPair {
    int mInputs;
    int mOutputs;
};

struct InputChannel {
    bool mConnected;
    double** mpSlot;  // this channel's entry of the input data array
    std::vector<double> mScratch;
};

struct OutputChannel {
    bool mConnected;
    double** mpSlot;     // this channel's entry of the output data array
    float* mpFloatDest;  // host buffer of a single-precision call
    std::vector<double> mScratch;
};

// What a host reports of its transport (defaults where it reports nothing).
// The adapter takes one such snapshot per processing call and hands it to
// ProcessBlock.
struct TransportInfo {
    // The host reported musical time (position, tempo, bars, cycle or time
    // signature); without it nothing below but the defaults is known, and
    // the transport counts as playing.
    bool mMusical = false;
    double mSamplePos = -1.0;
    double mTempo = 120.0;
    double mPPQPos = -1.0;
    double mLastBar = -1.0;
    int mNumerator = 4;
    int mDenominator = 4;
    double mCycleStart = -1.0;
    double mCycleEnd = -1.0;
    bool mTransportIsRunning = false;
    bool mTransportCycle = false;
};

class IPlugBase : public IParamHost {
public:
    // The largest block size a host may announce: beyond it (about a minute
    // and a half at 48 kHz) a size is taken for garbage and refused.
    static const int MAX_BLOCK_SIZE = 1 << 22;

    IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName, const char* productName,
              const char* mfrName, int32_t vendorVersion, int32_t uniqueID, int32_t mfrID, int latency,
              bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst);

    // Slots in the order of the framework's virtual table.
    ~IPlugBase() override;
    virtual void OnReset();
    virtual void OnParamChanged(int paramIdx);
    virtual void ProcessBlock(double** inputs, double** outputs, int nFrames, const TransportInfo& transport);
    virtual void OnEditorOpened() {}
    virtual void OnEditorClosing() {}
    virtual void OnIdle() {}
    virtual void OnActiveChanged(bool active);
    virtual void OnMidiMessage(const IMidiMessage* pMsg);
    virtual bool GetMidiNoteName(int noteNumber, char* noteName);
    virtual bool SaveState(StateChunk* pChunk);
    virtual int LoadState(StateChunk* pChunk, int startPos);
    virtual bool SerializeValues(StateChunk* pChunk, const double* values, int count);
    void BeginParamGesture(int paramIdx) override = 0;
    virtual void NotifyHostParamChange(int paramIdx, double normalizedValue) = 0;
    void EndParamGesture(int paramIdx) override = 0;
    virtual int GetSamplePosition() = 0;
    virtual double HostTempo() = 0;
    virtual void GetTimeSignature(int* pNumerator, int* pDenominator) = 0;
    virtual void GetTransportInfo(TransportInfo* pInfo) = 0;
    virtual int GetHostId() { return mHostId; }
    virtual void UpdateEditorRect() = 0;
    virtual void OnWindowResize() {}
    virtual void InitForHost() = 0;
    // Shows every parameter on the editor, prepares its surface and takes
    // ownership of it (an editor attached before is deleted).
    virtual void AttachEditor(IPlugEditor* pEditor);
    // False, with everything left as it was, for a size beyond
    // MAX_BLOCK_SIZE or when its buffers cannot be allocated.
    virtual bool SetMaxBlockSize(int nFrames);
    virtual void SetReportedLatency(int nFrames) { mLatency = nFrames; }
    virtual bool SendMidiMessage(const IMidiMessage* pMsg) = 0;
    virtual bool SendMidiMessages(const IMidiMessage* pMsgs, int count) = 0;

    // Parameters. The list may be longer than the declared count: the
    // processor appends internal parameters that the host never sees.
    IPlugParam* GetParam(int paramIdx) const final;
    int NParams() const final { return static_cast<int>(mParams.size()); }
    int NDeclaredParams() const { return mDeclaredParams; }
    void AppendParams(int count);
    void SetParameterFromGUI(int paramIdx, double normalizedValue) final;

    bool SerializeParams(StateChunk* pChunk);
    // Reads the plain values of the declared parameters into values (one per
    // declared parameter). Returns the position after them, or -1 when they
    // do not all lie inside the chunk.
    int ReadParamValues(const StateChunk* pChunk, int startPos, double* values) const;
    // Gives the declared parameters these values, clamped into their ranges,
    // then dispatches every parameter as restored state.
    void RestoreParamValues(const double* values);
    // Both of the above, all or nothing: a chunk that does not hold every
    // value changes nothing and gives -1.
    int UnserializeParams(StateChunk* pChunk, int startPos);
    // Calls OnParamChanged for every parameter in index order, as restored
    // state (a state load, a program change, the host opening the plug-in).
    void DispatchRestoredParams();
    // True during DispatchRestoredParams: the values are being applied, not
    // changed by anyone, so buttons do not fire.
    bool IsRestoringParams() const { return mRestoringParams; }
    // True while SetParameterFromGUI dispatches: the editor made the change.
    bool IsChangeFromGui() const { return mGuiChanges > 0; }

    // Presets.
    void EnsureDefaultPreset();
    bool SelectPreset(int index);
    void StoreCurrentPreset(const char* name = 0);
    const char* PresetName(int index) const;
    int CurrentPreset() const { return mCurrentPreset; }
    int NPresets() const { return static_cast<int>(mPresets.size()); }
    void PushParamsToEditor();

    void SetHost(const char* host, int version);
    static int LookUpHost(const char* host);
    bool LegalIO(int nIn, int nOut) const;
    int32_t VersionNumber(bool decimal) const;

    // Channels and their per-block buffers.
    int NInChannels() const { return static_cast<int>(mInChannels.size()); }
    int NOutChannels() const { return static_cast<int>(mOutChannels.size()); }
    void ConnectInputs(int first, int count, bool connected);
    void ConnectOutputs(int first, int count, bool connected);
    bool IsInChannelConnected(int chIdx) const;
    bool IsOutChannelConnected(int chIdx) const;
    void AddChannelIOPair(int inputs, int outputs);
    void CreateChannels(int nInputs, int nOutputs);

    double GetSampleRate() const { return mSampleRate; }
    void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
    int GetBlockSize() const { return mBlockSize; }
    int GetLatency() const { return mLatency; }
    const char* GetEffectName() const { return mEffectName; }
    const char* GetProductName() const { return mProductName; }
    const char* GetMfrName() const { return mMfrName; }
    int32_t GetUniqueID() const { return mUniqueID; }
    int32_t GetMfrID() const { return mMfrID; }
    int GetHostVersion() const { return mHostVersion; }
    bool DoesStateChunks() const { return mStateChunks; }
    bool IsInstrument() const { return mIsInst; }
    IPlugEditor* GetEditor() const { return mpEditor.get(); }

    RecursiveLock& Lock() final { return mLock; }

protected:
    // The parameters by index, in blocks of one allocation per AppendParams
    // call: an instance has hundreds of them.
    std::vector<std::unique_ptr<IPlugParam[]>> mParamBlocks;
    std::vector<IPlugParam*> mParams;
    std::vector<std::unique_ptr<IPlugPreset>> mPresets;
    std::vector<ChannelIOPair> mChannelIO;
    char mEffectName[128];
    char mProductName[128];
    char mMfrName[128];
    int32_t mUniqueID;
    int32_t mMfrID;
    int32_t mVersion;
    int mHostId;
    int mHostVersion;
    bool mStateChunks;
    bool mIsInst;
    double mSampleRate;
    int mBlockSize;
    int mLatency;
    // Deleted by the destructor before everything else, the lock among it,
    // and after the derived processor's destructor ran.
    std::unique_ptr<IPlugEditor> mpEditor;
    int mCurrentPreset;
    std::vector<double*> mInData;
    std::vector<double*> mOutData;
    std::vector<InputChannel> mInChannels;
    std::vector<OutputChannel> mOutChannels;
    RecursiveLock mLock;
    int mDeclaredParams;
    bool mRestoringParams;
    int mGuiChanges = 0;
    // Room for the declared parameters' values of a preset being read.
    std::vector<double> mRestoredValues;

private:
    IPlugBase(const IPlugBase&) = delete;
    IPlugBase& operator=(const IPlugBase&) = delete;
    void MakeUserPresetName(char* out) const;
};
