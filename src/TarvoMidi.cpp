// MIDI input: mapped controllers and notes move parameters, control change
// 123 clears the pending notes of its channel, and every message passes
// through to the output at once.
#include "HomeDirectory.h"
#include "Tarvo.h"
#include "TarvoView.h"

namespace {

// The processor's parameter names as the MIDI map reader sees them.
class PlugParameterNames : public ParameterNameList {
public:
    explicit PlugParameterNames(const IPlugBase& plug) : mPlug(plug) {}
    int NumParameterNames() const override { return mPlug.NParams(); }
    const char* ParameterName(int index) const override
    {
        const IPlugParam* pParam = mPlug.GetParam(index);
        return pParam ? pParam->Name() : nullptr;
    }

private:
    const IPlugBase& mPlug;
};

}  // namespace

void Tarvo::LoadMidiMap(HomeDirectory& home)
{
    PlugParameterNames names(*this);
    ::LoadMidiMap(mConfiguration.GetConfigurable(EConfigurable_MidiMap)->GetText(), home, names, mControlMap, mNoteMap);
}

void Tarvo::OnMidiMessage(const IMidiMessage* pMsg)
{
    ScopedLock lock(mLock);
    int channel = pMsg->mStatus & 0x0F;
    int kind = pMsg->mStatus >> 4;
    if (kind < 8 || kind > 14) kind = 0;
    int number = pMsg->mData1 & 0x7F;
    if (kind == 8 || kind == 9) {
        const MidiMapEntry& entry = mNoteMap[number];
        if (entry.mParamIdx >= 0 && (entry.mChannelMask & (1u << channel))) {
            SetParameterFromMidi(entry.mParamIdx, kind == 9 ? 1.0 : 0.0);
        }
    } else if (kind == 11) {
        const MidiMapEntry& entry = mControlMap[number];
        if (entry.mParamIdx >= 0 && (entry.mChannelMask & (1u << channel))) {
            SetParameterFromMidi(entry.mParamIdx, (pMsg->mData2 & 0x7F) / 127.0);
        }
        if (number == 123) {
            mTracker.AllNotesOff(channel, pMsg->mOffset);
            // The notes of a locked run are no longer those of its replay.
            if (mTimelineLocked && mWasRunning) TaintRun(true);
        }
    }
    SendMidiMessage(pMsg);
}

void Tarvo::SetParameterFromMidi(int paramIdx, double normalized)
{
    IPlugParam* pParam = GetParam(paramIdx);
    if (!pParam) return;
    ChangeSourceScope source(this, EChangeSource_Midi);
    bool move = true;
    if (mpView) {
        // With an editor, the map moves what the editor's controls show, as
        // if the user had moved them: a parameter no control shows is not
        // moved (and the host hears nothing), and a value the controls hold
        // already changes nothing (a pad held down sends its note-on again
        // without firing its button again).
        double shown = 0.0;
        if (!mpView->ShownValue(paramIdx, &shown)) return;
        move = shown != normalized;
        // Shown before the dispatch: a handler that shows a value of its own
        // on the same control (a panel switch that stays on) has the last
        // word.
        if (move) mpView->ShowParamValue(paramIdx, normalized);
    }
    if (move) {
        pParam->SetFromNormalized(normalized);
        OnParamChanged(paramIdx);
    }
    if (paramIdx < NDeclaredParams()) NotifyHostParamChange(paramIdx, normalized);
}
