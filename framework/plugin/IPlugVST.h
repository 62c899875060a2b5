// The VST 2.4 host adapter: fills the host-visible AEffect record, answers
// the dispatcher, converts parameter calls, runs the processing entries,
// passes MIDI both ways and implements the host services of the base.
#pragma once

#include <atomic>

#include "IPlugBase.h"
#include "VstInterface.h"

class IPlugVST : public IPlugBase {
public:
    IPlugVST(audioMasterCallback hostCallback, int nParams, const char* channelIOStr, int nPresets,
             const char* effectName, const char* productName, const char* mfrName, int32_t vendorVersion,
             int32_t uniqueID, int32_t mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst);
    ~IPlugVST() override;

    void BeginParamGesture(int paramIdx) override;
    void NotifyHostParamChange(int paramIdx, double normalizedValue) override;
    void EndParamGesture(int paramIdx) override;
    int GetSamplePosition() override;
    double HostTempo() override;
    void GetTimeSignature(int* pNumerator, int* pDenominator) override;
    void GetTransportInfo(TransportInfo* pInfo) override;
    int GetHostId() override;
    void UpdateEditorRect() override;
    void InitForHost() override;
    void AttachEditor(IPlugEditor* pEditor) override;
    void SetReportedLatency(int nFrames) override;
    bool SendMidiMessage(const IMidiMessage* pMsg) override;
    bool SendMidiMessages(const IMidiMessage* pMsgs, int count) override;

    // The transport as the host reports it now: the one snapshot a
    // processing call takes.
    TransportInfo BlockTransport();

    // A state chunk (the framework's header, then the plug-in's state)
    // loaded as effSetChunk loads one: all or nothing, under the plug-in
    // lock, the editor shown the new values. bank: a bank's chunk, which
    // also becomes the current preset. False when refused.
    bool LoadStateChunk(StateChunk* pChunk, bool bank);
    // The state as effGetChunk gives it for a program, under the plug-in
    // lock; false when there is none.
    bool SaveStateChunk(StateChunk* pChunk);
    // Tells the host that parameters changed in a way it did not see
    // (audioMasterUpdateDisplay), so that it reads them all again.
    void UpdateHostDisplay();

    AEffect* GetAEffect() { return &mAEffect; }
    // effVendorSpecific calls the adapter does not answer itself; the
    // answer goes back to the host (0: not understood).
    virtual VstIntPtr OnVendorSpecific(VstInt32 /*index*/, VstIntPtr /*value*/, void* /*ptr*/, float /*opt*/)
    {
        return 0;
    }
    int HostExtensionFlags() const { return mHostExtensionFlags; }

    static VstIntPtr VSTCALLBACK VSTDispatcher(AEffect* pEffect, VstInt32 opCode, VstInt32 idx, VstIntPtr value,
                                               void* ptr, float opt);
    static void VSTCALLBACK VSTProcess(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames);
    static void VSTCALLBACK VSTProcessReplacing(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames);
    static void VSTCALLBACK VSTProcessDoubleReplacing(AEffect* pEffect, double** inputs, double** outputs,
                                                      VstInt32 nFrames);
    static float VSTCALLBACK VSTGetParameter(AEffect* pEffect, VstInt32 idx);
    static void VSTCALLBACK VSTSetParameter(AEffect* pEffect, VstInt32 idx, float value);

protected:
    VstIntPtr Dispatch(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt);
    VstIntPtr HostCallback(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt);
    VstTimeInfo* GetTime(VstInt32 filter);
    bool IsHostParam(int paramIdx) const;

private:
    void ProcessFloat(float** inputs, float** outputs, int nFrames, bool accumulate);
    void ProcessDouble(double** inputs, double** outputs, int nFrames);
    bool EnsureScratch(int nFrames);
    // Silence in every output buffer the host passed (up to numOutputs).
    void SilenceOutputs(float** floatOutputs, double** doubleOutputs, int nFrames);
    VstIntPtr OpenOrCloseEditor(bool open, void* pParent);
    void SetChunk(VstInt32 idx, VstIntPtr size, void* ptr, VstIntPtr* pResult);
    VstIntPtr GetChunk(VstInt32 idx, void** ppData);
    VstIntPtr CanDo(const char* text);
    void PinProperties(bool input, int idx, VstPinProperties* pProperties);
    void ProcessEvents(VstEvents* pEvents);

    ERect mEditRect;
    audioMasterCallback mHostCallback;
    VstSpeakerArrangement mInputSpkrArr;
    VstSpeakerArrangement mOutputSpkrArr;
    bool mHostInitDone;
    bool mDoesMidi;
    int mHostExtensionFlags;
    StateChunk mBankState;
    StateChunk mState;
    AEffect mAEffect;
    // True while a thread opens or closes the editor.
    std::atomic<bool> mEditorBusy{false};
};
