// The parameter table of the processor: registration of the 458 parameters
// and the dispatch of every change, from the host, the editor, the MIDI map
// or a state load, to the handler of its index.
#include <cassert>
#include <cmath>
#include <cstdio>

#include "GridTransforms.h"
#include "ParamChangeDesc.h"
#include "Tarvo.h"
#include "TarvoView.h"
#include "TimeUnitTable.h"
#include "framework/plugin/IPlugEditor.h"

namespace {

// A parameter value as an int inside [lo, hi]; hosts and chunks can bring
// values outside a parameter's range, and NaN, which have no int.
int ClampInt(double value, int lo, int hi)
{
    if (!(value >= lo)) return lo;
    if (value > hi) return hi;
    return static_cast<int>(value);
}

// A button fires when its value is above 0.5 and someone set it: values
// that are only being restored (a state load, a program change, the host
// opening the plug-in) fire nothing. The nudge and drag buttons keep their
// value 1 after they fire, so a saved project holds it.
bool Fires(const IPlugBase* p, double value) { return value > 0.5 && !p->IsRestoringParams(); }

const char* const TIME_UNIT_LABELS[NUM_TIME_UNITS] = {"1/1",  "1/2d", "1/2",   "1/4d", "1/4",  "1/8d",
                                                      "1/2t", "1/8",  "1/16d", "1/4t", "1/16", "1/32d",
                                                      "1/8t", "1/32", "1/16t", "1/32t"};
const char* const CHANNEL_LABELS[16] = {"1", "2",  "3",  "4",  "5",  "6",  "7",  "8",
                                        "9", "10", "11", "12", "13", "14", "15", "16"};
const char* const MUTATE_LABELS[2] = {"Forward", "Reverse"};

// Note names from "C-2" to "G10", twelve per octave with sharps.
const int NUM_NOTE_NAMES = 152;
struct NoteNameList {
    char mNames[NUM_NOTE_NAMES][8];
    const char* mPointers[NUM_NOTE_NAMES];
    NoteNameList()
    {
        static const char* const PITCHES[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
        for (int i = 0; i < NUM_NOTE_NAMES; ++i) {
            std::snprintf(mNames[i], sizeof mNames[i], "%s%d", PITCHES[i % 12], i / 12 - 2);
            mPointers[i] = mNames[i];
        }
    }
};
const NoteNameList NOTE_NAMES;

}  // namespace

// The handlers: one per family of parameters, finding the slot or wall of
// the family from the descriptor's index.
struct TarvoHandlers {
    static void TimeUnits(Tarvo* p, const ParamChangeDesc*, double v)
    {
        p->mTimeUnitBeats = TimeUnitBeats(ClampInt(v, 0, NUM_TIME_UNITS - 1));
        p->mRecalcTiming = true;
    }
    static void LengthUnits(Tarvo* p, const ParamChangeDesc*, double v)
    {
        p->mLengthUnitBeats = TimeUnitBeats(ClampInt(v, 0, NUM_TIME_UNITS - 1));
        p->mRecalcTiming = true;
    }
    static void RptLen(Tarvo* p, const ParamChangeDesc*, double v)
    {
        p->mRepeatUnitBeats = TimeUnitBeats(ClampInt(v, 0, NUM_TIME_UNITS - 1));
        p->mRecalcTiming = true;
    }
    static void Slow(Tarvo* p, const ParamChangeDesc*, double v)
    {
        p->mSlow = v;
        p->mRecalcTiming = true;
    }
    static void Swing(Tarvo* p, const ParamChangeDesc*, double v)
    {
        p->mSwingRatio = 1.0 + v;
        p->mRecalcTiming = true;
    }
    static void TimeDbl(Tarvo* p, const ParamChangeDesc*, double v)
    {
        p->mTimeDouble = v > 0.5;
        p->mRecalcTiming = true;
    }
    static void TimeHlf(Tarvo* p, const ParamChangeDesc*, double v)
    {
        p->mTimeHalf = v > 0.5;
        p->mRecalcTiming = true;
    }
    static void Simple(Tarvo* p, const ParamChangeDesc*, double v) { p->mSimple = ClampInt(v, 1, 32); }
    static void Enabled(Tarvo* p, const ParamChangeDesc*, double v) { p->mEnabled = v > 0.5; }
    static void DurJitt(Tarvo* p, const ParamChangeDesc*, double v) { p->mDurationJitter = v; }
    static void Human(Tarvo* p, const ParamChangeDesc*, double v)
    {
        p->mHuman = v;
        p->RecomputeHumanSamples();
    }

    static void Channel(Tarvo* p, const ParamChangeDesc*, double v) { p->mNotes.mChannel = ClampInt(v, 0, 15); }
    static void Velocity(Tarvo* p, const ParamChangeDesc*, double v) { p->mNotes.mVelocity = ClampInt(v, 0, 127); }
    static void VelJitt(Tarvo* p, const ParamChangeDesc*, double v) { p->mNotes.mVelJitter = ClampInt(v, 0, 127); }
    static void RepeatProb(Tarvo* p, const ParamChangeDesc*, double v) { p->mNotes.mRepeatProb = v; }
    static void NoteProb(Tarvo* p, const ParamChangeDesc*, double v)
    {
        p->mNotes.mNoteProb = v;
        p->mNotes.RebuildNoteProbability();
    }
    static void Tilt(Tarvo* p, const ParamChangeDesc*, double v)
    {
        p->mNotes.mTilt = v;
        p->mNotes.RebuildNoteProbability();
    }

    static void NumColums(Tarvo* p, const ParamChangeDesc*, double v)
    {
        int last = ClampInt(v, 1, MAX_COLS) - 1;
        if (last == p->mGrid.mLastCol) return;
        p->mGrid.SetLastCol(last);
        p->UpdateGridLayout();
    }
    static void NumRows(Tarvo* p, const ParamChangeDesc*, double v)
    {
        int last = ClampInt(v, 1, MAX_ROWS) - 1;
        if (last == p->mGrid.mLastRow) return;
        p->mGrid.SetLastRow(last);
        p->UpdateGridLayout();
    }

    static void ObsProb(Tarvo* p, const ParamChangeDesc*, double v) { p->mSimulation.mObsProb = v; }
    static void Wobble(Tarvo* p, const ParamChangeDesc*, double v) { p->mSimulation.mWobble = v; }
    static void NearProb(Tarvo* p, const ParamChangeDesc*, double v) { p->mSimulation.mNearProb = v; }
    static void WrapProb(Tarvo* p, const ParamChangeDesc*, double v) { p->mSimulation.mWrapProb = v; }
    static void GrpLim(Tarvo* p, const ParamChangeDesc*, double v) { p->mSimulation.mGroupLimit = ClampInt(v, 0, 100); }
    static void Climb(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        p->mSimulation.mClimb[d->mParamIdx - EParam_ClimbN] = ClampInt(v, -8, 8);
    }
    static void Mute(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        p->mSimulation.SetWallMuted(d->mParamIdx - EParam_MuteN, v > 0.5);
        // Shown at once, not only with the next step: the transport may
        // stand still.
        if (p->mpView) p->mpView->ShowWallMarks(p->mSimulation);
    }

    static void Transp(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        p->mNotes.SetTranspose(d->mParamIdx - EParam_Transp1, ClampInt(v, 0, 127));
    }
    static void TransUp(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        Octave(p, d, v, d->mParamIdx - EParam_Trans1up, 12);
    }
    static void TransDown(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        Octave(p, d, v, d->mParamIdx - EParam_Trans1dn, -12);
    }
    static void Octave(Tarvo* p, const ParamChangeDesc* d, double v, int slot, int shift)
    {
        if (!Fires(p, v)) return;
        p->ResetButton(d->mParamIdx);
        int transpose = p->mNotes.mScales[slot].mTranspose + shift;
        if (transpose < 0 || transpose > 127) return;
        p->mNotes.SetTranspose(slot, transpose);
        IPlugParam* pTransp = p->GetParam(EParam_Transp1 + slot);
        pTransp->SetClamped(transpose);
        if (p->mpView) p->mpView->ShowParamValue(EParam_Transp1 + slot, pTransp->ToNormalized());
    }
    static void Rotate(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        int slot = d->mParamIdx - EParam_Rotate1;
        p->mNotes.mScales[slot].mRotate = ClampInt(v, 0, 16);
        p->mNotes.mScales[slot].ComputeWallNotes();
        p->UpdateWallDisplay(slot);
    }
    static void Mutate(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        int slot = d->mParamIdx - EParam_Mutate1;
        p->mNotes.mScales[slot].mMutate = ClampInt(v, 0, 1);
        p->mNotes.mScales[slot].ComputeWallNotes();
        p->UpdateWallDisplay(slot);
    }
    static void ScaleSelect(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        double selector = v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
        int slot = p->mNotes.BindWall(d->mParamIdx - EParam_ScaleN, selector);
        p->UpdateWallDisplay(slot);
    }

    static void RvDelOld(Tarvo* p, const ParamChangeDesc* d, double v) { DeleteRover(p, d, v, 0); }
    static void RvDelNew(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        DeleteRover(p, d, v, p->mGrid.mRovers.mCount - 1);
    }
    static void DeleteRover(Tarvo* p, const ParamChangeDesc* d, double v, int index)
    {
        if (!Fires(p, v)) return;
        // The cell it leaves is drawn again: the last step need not have
        // touched it (the transport stands, or a slow rover rests there).
        const RoverList& rovers = p->mGrid.mRovers;
        if (index >= 0 && index < rovers.mCount) p->mSimulation.TouchCell(rovers.mRovers[index].mCellid);
        GridEdit(p, d, v, index == 0 ? RemoveOldestRover : RemoveNewestRover, false);
    }
    static void ClrRov(Tarvo* p, const ParamChangeDesc* d, double v) { GridEdit(p, d, v, ClearRovers, true); }
    static void ClrObs(Tarvo* p, const ParamChangeDesc* d, double v) { GridEdit(p, d, v, ClearObstacles, true); }
    static void ClrAll(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        if (!Fires(p, v)) return;
        p->ResetButton(d->mParamIdx);
        ClearRovers(&p->mGrid);
        p->mSimulation.TouchAllCells();
        ClearObstacles(&p->mGrid);
        p->mSimulation.TouchAllCells();
        p->mGridChanged = true;
    }
    static void GridEdit(Tarvo* p, const ParamChangeDesc* d, double v, void (*edit)(Matrix*), bool touchAll)
    {
        if (!Fires(p, v)) return;
        p->ResetButton(d->mParamIdx);
        edit(&p->mGrid);
        if (touchAll) p->mSimulation.TouchAllCells();
        p->mGridChanged = true;
    }
    static void Transform(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        static const EGridTransform TRANSFORMS[] = {EGridTransform_FlipH,  EGridTransform_FlipV,  EGridTransform_ShiftR,
                                                    EGridTransform_ShiftL, EGridTransform_ShiftU, EGridTransform_ShiftD,
                                                    EGridTransform_RotR,   EGridTransform_RotL,   EGridTransform_StagrU,
                                                    EGridTransform_StagrD};
        if (!Fires(p, v)) return;
        p->ResetButton(d->mParamIdx);
        TransformGrid(&p->mGrid, TRANSFORMS[d->mParamIdx - EParam_MFlipH]);
        p->UpdateGridLayout();
        p->mGridChanged = true;
    }
    // Nudge and drag fire on every change that finds them above 0.5: they
    // do not reset, so a host that holds them at 1 moves the rover on each
    // change it sends (a state load restores the 1 without firing).
    static void NudgeDrag(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        if (!Fires(p, v)) return;
        bool newest = d->mParamIdx == EParam_NudgeNew || d->mParamIdx == EParam_DragNew;
        bool forward = d->mParamIdx == EParam_NudgeNew || d->mParamIdx == EParam_NudgeOld;
        int count = p->mGrid.mRovers.mCount;
        if (count > 0) StepRover(&p->mGrid, newest ? count - 1 : 0, forward);
        p->UpdateGridLayout();
        p->mGridChanged = true;
    }

    static void Save(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        if (!Fires(p, v)) return;
        p->ResetButton(d->mParamIdx);
        p->SavePattern(d->mParamIdx - EParam_Save1);
    }
    static void Restore(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        if (!Fires(p, v)) return;
        p->ResetButton(d->mParamIdx);
        p->RestorePattern(d->mParamIdx - EParam_Restore1);
    }
    static void Clear(Tarvo* p, const ParamChangeDesc* d, double v)
    {
        if (!Fires(p, v)) return;
        p->ResetButton(d->mParamIdx);
        p->ClearPattern(d->mParamIdx - EParam_Clear1);
    }

    static void SeqNStep(Tarvo* p, const ParamChangeDesc*, double v)
    {
        int count = ClampInt(v, 1, SequencerState::MAX_STEPS);
        if (count == p->mSequencer.mStepCount) return;
        p->mSequencer.SetStepCount(count);
        if (p->mpView) p->mpView->MarkSequencerPanelChanged();
    }
    static void SeqOn(Tarvo* p, const ParamChangeDesc*, double v) { p->mSeqOn = v >= 0.5; }

    static void ScaleLoad(Tarvo*, const ParamChangeDesc*, double) {}
    // The file selector's own parameter: the editor hands the chosen
    // file's notes over itself (LoadScaleFile), so restoring or setting the
    // value reads nothing.
    static void FileSelect(Tarvo* p, const ParamChangeDesc*, double) { p->ResetButton(EParam_FileSelect); }
    static void PnlPatt(Tarvo* p, const ParamChangeDesc*, double v) { p->ShowPanel(true, v); }
    static void PnlSeq(Tarvo* p, const ParamChangeDesc*, double v) { p->ShowPanel(false, v); }

    static const IntParamDesc INT_PARAMS[];
    static const BoolParamDesc BOOL_PARAMS[];
    static const EnumParamDesc ENUM_PARAMS[];
    static const DoubleParamDesc DOUBLE_PARAMS[];
    static const ButtonParamDesc BUTTON_PARAMS[];
    static const int NUM_INT_PARAMS, NUM_BOOL_PARAMS, NUM_ENUM_PARAMS, NUM_DOUBLE_PARAMS, NUM_BUTTON_PARAMS;
};

#define DESC(name, index, handler)                  \
    {                                               \
        name, "", index, -1, TarvoHandlers::handler \
    }

const IntParamDesc TarvoHandlers::INT_PARAMS[] = {
    {DESC("Velocity", EParam_Velocity, Velocity), 80, 0, 127},  {DESC("VelJitt", EParam_VelJitt, VelJitt), 0, 0, 127},
    {DESC("NumColums", EParam_NumColums, NumColums), 9, 1, 17}, {DESC("NumRows", EParam_NumRows, NumRows), 9, 1, 17},
    {DESC("GrpLim", EParam_GrpLim, GrpLim), 0, 0, 100},         {DESC("Rotate1", EParam_Rotate1 + 0, Rotate), 0, 0, 16},
    {DESC("Rotate2", EParam_Rotate1 + 1, Rotate), 0, 0, 16},    {DESC("Rotate3", EParam_Rotate1 + 2, Rotate), 0, 0, 16},
    {DESC("Rotate4", EParam_Rotate1 + 3, Rotate), 0, 0, 16},    {DESC("ClimbN", EParam_ClimbN + 0, Climb), 0, -8, 8},
    {DESC("ClimbE", EParam_ClimbN + 1, Climb), 0, -8, 8},       {DESC("ClimbS", EParam_ClimbN + 2, Climb), 0, -8, 8},
    {DESC("ClimbW", EParam_ClimbN + 3, Climb), 0, -8, 8},       {DESC("Simple", EParam_Simple, Simple), 1, 1, 32},
    {DESC("SeqNStep", EParam_SeqNStep, SeqNStep), 32, 1, 32},   {DESC("PnlPatt", EParam_PnlPatt, PnlPatt), 1, 0, 1},
    {DESC("PnlSeq", EParam_PnlSeq, PnlSeq), 0, 0, 1},
};

const BoolParamDesc TarvoHandlers::BOOL_PARAMS[] = {
    {DESC("MuteN", EParam_MuteN + 0, Mute), false},    {DESC("MuteE", EParam_MuteN + 1, Mute), false},
    {DESC("MuteS", EParam_MuteN + 2, Mute), false},    {DESC("MuteW", EParam_MuteN + 3, Mute), false},
    {DESC("Enabled", EParam_Enabled, Enabled), true},  {DESC("TimeDbl", EParam_TimeDbl, TimeDbl), false},
    {DESC("TimeHlf", EParam_TimeHlf, TimeHlf), false}, {DESC("SeqOn", EParam_SeqOn, SeqOn), true},
};

const EnumParamDesc TarvoHandlers::ENUM_PARAMS[] = {
    {DESC("TimeUnits", EParam_TimeUnits, TimeUnits), 7, NUM_TIME_UNITS, TIME_UNIT_LABELS},
    {DESC("LengthUnits", EParam_LengthUnits, LengthUnits), 4, NUM_TIME_UNITS, TIME_UNIT_LABELS},
    {DESC("Channel", EParam_Channel, Channel), 0, 16, CHANNEL_LABELS},
    {DESC("RptLen", EParam_RptLen, RptLen), 7, NUM_TIME_UNITS, TIME_UNIT_LABELS},
    {DESC("Transp1", EParam_Transp1 + 0, Transp), 50, 128, NOTE_NAMES.mPointers},
    {DESC("Transp2", EParam_Transp1 + 1, Transp), 50, 128, NOTE_NAMES.mPointers},
    {DESC("Transp3", EParam_Transp1 + 2, Transp), 50, 128, NOTE_NAMES.mPointers},
    {DESC("Transp4", EParam_Transp1 + 3, Transp), 50, 128, NOTE_NAMES.mPointers},
    {DESC("Mutate1", EParam_Mutate1 + 0, Mutate), 0, 2, MUTATE_LABELS},
    {DESC("Mutate2", EParam_Mutate1 + 1, Mutate), 0, 2, MUTATE_LABELS},
    {DESC("Mutate3", EParam_Mutate1 + 2, Mutate), 0, 2, MUTATE_LABELS},
    {DESC("Mutate4", EParam_Mutate1 + 3, Mutate), 0, 2, MUTATE_LABELS},
};

const DoubleParamDesc TarvoHandlers::DOUBLE_PARAMS[] = {
    {DESC("Slow", EParam_Slow, Slow), 1.0, 0.1, 4.0, 0.01},
    {DESC("NoteProb", EParam_NoteProb, NoteProb), 1.0, 0.0, 1.0, 0.01},
    {DESC("Tilt", EParam_Tilt, Tilt), 0.5, 0.0, 1.0, 0.01},
    {DESC("ObsProb", EParam_ObsProb, ObsProb), 1.0, 0.0, 1.0, 0.01},
    {DESC("Wobble", EParam_Wobble, Wobble), 0.0, 0.0, 1.0, 0.01},
    {DESC("NearProb", EParam_NearProb, NearProb), 0.0, 0.0, 1.0, 0.01},
    {DESC("RepeatProb", EParam_RepeatProb, RepeatProb), 0.0, 0.0, 1.0, 0.01},
    {DESC("Swing", EParam_Swing, Swing), 0.0, 0.0, 1.0, 0.01},
    {DESC("WrapProb", EParam_WrapProb, WrapProb), 0.0, 0.0, 1.0, 0.01},
    {DESC("DurJitt", EParam_DurJitt, DurJitt), 0.0, 0.0, 10.0, 0.01},
    {DESC("Human", EParam_Human, Human), 0.0, 0.0, 1.0, 0.01},
};

const ButtonParamDesc TarvoHandlers::BUTTON_PARAMS[] = {
    {DESC("RvDelOld", EParam_RvDelOld, RvDelOld)},
    {DESC("RvDelNew", EParam_RvDelNew, RvDelNew)},
    {DESC("ClrRov", EParam_ClrRov, ClrRov)},
    {DESC("ClrObs", EParam_ClrObs, ClrObs)},
    {DESC("ClrAll", EParam_ClrAll, ClrAll)},
    {DESC("Trans1up", EParam_Trans1up + 0, TransUp)},
    {DESC("Trans2up", EParam_Trans1up + 1, TransUp)},
    {DESC("Trans3up", EParam_Trans1up + 2, TransUp)},
    {DESC("Trans4up", EParam_Trans1up + 3, TransUp)},
    {DESC("Trans1dn", EParam_Trans1dn + 0, TransDown)},
    {DESC("Trans2dn", EParam_Trans1dn + 1, TransDown)},
    {DESC("Trans3dn", EParam_Trans1dn + 2, TransDown)},
    {DESC("Trans4dn", EParam_Trans1dn + 3, TransDown)},
    {DESC("ScaleN", EParam_ScaleN + 0, ScaleSelect)},
    {DESC("ScaleE", EParam_ScaleN + 1, ScaleSelect)},
    {DESC("ScaleS", EParam_ScaleN + 2, ScaleSelect)},
    {DESC("ScaleW", EParam_ScaleN + 3, ScaleSelect)},
    {DESC("Save1", EParam_Save1 + 0, Save)},
    {DESC("Save2", EParam_Save1 + 1, Save)},
    {DESC("Save3", EParam_Save1 + 2, Save)},
    {DESC("Save4", EParam_Save1 + 3, Save)},
    {DESC("Save5", EParam_Save1 + 4, Save)},
    {DESC("Save6", EParam_Save1 + 5, Save)},
    {DESC("Save7", EParam_Save1 + 6, Save)},
    {DESC("Save8", EParam_Save1 + 7, Save)},
    {DESC("Restore1", EParam_Restore1 + 0, Restore)},
    {DESC("Restore2", EParam_Restore1 + 1, Restore)},
    {DESC("Restore3", EParam_Restore1 + 2, Restore)},
    {DESC("Restore4", EParam_Restore1 + 3, Restore)},
    {DESC("Restore5", EParam_Restore1 + 4, Restore)},
    {DESC("Restore6", EParam_Restore1 + 5, Restore)},
    {DESC("Restore7", EParam_Restore1 + 6, Restore)},
    {DESC("Restore8", EParam_Restore1 + 7, Restore)},
    {DESC("Clear1", EParam_Clear1 + 0, Clear)},
    {DESC("Clear2", EParam_Clear1 + 1, Clear)},
    {DESC("Clear3", EParam_Clear1 + 2, Clear)},
    {DESC("Clear4", EParam_Clear1 + 3, Clear)},
    {DESC("Clear5", EParam_Clear1 + 4, Clear)},
    {DESC("Clear6", EParam_Clear1 + 5, Clear)},
    {DESC("Clear7", EParam_Clear1 + 6, Clear)},
    {DESC("Clear8", EParam_Clear1 + 7, Clear)},
    {DESC("MFlipH", EParam_MFlipH, Transform)},
    {DESC("MFlipV", EParam_MFlipV, Transform)},
    {DESC("MShiftR", EParam_MShiftR, Transform)},
    {DESC("MShiftL", EParam_MShiftL, Transform)},
    {DESC("MShiftU", EParam_MShiftU, Transform)},
    {DESC("MShiftD", EParam_MShiftD, Transform)},
    {DESC("MRotR", EParam_MRotR, Transform)},
    {DESC("MRotL", EParam_MRotL, Transform)},
    {DESC("MStagrU", EParam_MStagrU, Transform)},
    {DESC("MStagrD", EParam_MStagrD, Transform)},
    {DESC("NudgeNew", EParam_NudgeNew, NudgeDrag)},
    {DESC("NudgeOld", EParam_NudgeOld, NudgeDrag)},
    {DESC("DragNew", EParam_DragNew, NudgeDrag)},
    {DESC("DragOld", EParam_DragOld, NudgeDrag)},
    {DESC("Scale Load", EParam_ScaleLoad, ScaleLoad)},
    {DESC("File Select", EParam_FileSelect, FileSelect)},
};

#undef DESC

const int TarvoHandlers::NUM_INT_PARAMS = sizeof INT_PARAMS / sizeof INT_PARAMS[0];
const int TarvoHandlers::NUM_BOOL_PARAMS = sizeof BOOL_PARAMS / sizeof BOOL_PARAMS[0];
const int TarvoHandlers::NUM_ENUM_PARAMS = sizeof ENUM_PARAMS / sizeof ENUM_PARAMS[0];
const int TarvoHandlers::NUM_DOUBLE_PARAMS = sizeof DOUBLE_PARAMS / sizeof DOUBLE_PARAMS[0];
const int TarvoHandlers::NUM_BUTTON_PARAMS = sizeof BUTTON_PARAMS / sizeof BUTTON_PARAMS[0];

// ---- Registration --------------------------------------------------------

void Tarvo::RegisterParameters()
{
    AppendParams(EParam_NumParams - NParams());
    for (const ParamChangeDesc*& pDesc : mpParamChangeDesc) pDesc = nullptr;

    auto store = [this](const ParamChangeDesc* pDesc) {
        if (pDesc->mParamIdx < 0) return;
        assert(mpParamChangeDesc[pDesc->mParamIdx] == 0);
        mpParamChangeDesc[pDesc->mParamIdx] = pDesc;
    };
    for (int i = 0; i < TarvoHandlers::NUM_INT_PARAMS; ++i) {
        const IntParamDesc& d = TarvoHandlers::INT_PARAMS[i];
        GetParam(d.mDesc.mParamIdx)->DefineInt(d.mDesc.mName, d.mDefault, d.mMin, d.mMax, d.mDesc.mLabel);
        store(&d.mDesc);
    }
    for (int i = 0; i < TarvoHandlers::NUM_BOOL_PARAMS; ++i) {
        const BoolParamDesc& d = TarvoHandlers::BOOL_PARAMS[i];
        GetParam(d.mDesc.mParamIdx)->DefineBool(d.mDesc.mName, d.mDefault);
        store(&d.mDesc);
    }
    // Note names start at the configured octave of MIDI note 0: -2, -1 or 0.
    int noteNameOffset = 12 * mConfiguration.LowestOctave() + 24;
    for (int i = 0; i < TarvoHandlers::NUM_ENUM_PARAMS; ++i) {
        const EnumParamDesc& d = TarvoHandlers::ENUM_PARAMS[i];
        IPlugParam* pParam = GetParam(d.mDesc.mParamIdx);
        pParam->DefineEnum(d.mDesc.mName, d.mDefault, d.mCount);
        bool noteNames = d.mpDisplayTexts == NOTE_NAMES.mPointers;
        for (int value = 0; value < d.mCount; ++value) {
            pParam->AddDisplayText(value, d.mpDisplayTexts[noteNames ? value + noteNameOffset : value]);
        }
        store(&d.mDesc);
    }
    for (int i = 0; i < TarvoHandlers::NUM_DOUBLE_PARAMS; ++i) {
        const DoubleParamDesc& d = TarvoHandlers::DOUBLE_PARAMS[i];
        GetParam(d.mDesc.mParamIdx)->DefineDouble(d.mDesc.mName, d.mDefault, d.mMin, d.mMax, d.mStep, d.mDesc.mLabel);
        store(&d.mDesc);
    }
    for (int i = 0; i < TarvoHandlers::NUM_BUTTON_PARAMS; ++i) {
        const ButtonParamDesc& d = TarvoHandlers::BUTTON_PARAMS[i];
        GetParam(d.mDesc.mParamIdx)->DefineDouble(d.mDesc.mName, 0.0, 0.0, 1.0, 1.0, d.mDesc.mLabel);
        store(&d.mDesc);
    }
}

void Tarvo::InitInternalParameters()
{
    for (int cell = 0; cell < MAX_CELLS; ++cell)
        GetParam(EParam_FirstCell + cell)->DefineInt("c", 0, 0, CELL_CODE_COUNT);
    for (int step = 0; step < NUM_SEQ_STEPS; ++step) {
        IPlugParam* pLock = GetParam(EParam_FirstLock + step);
        pLock->DefineInt("lk", 0, 0, 1);
        pLock->SetClamped(mSequencer.mLockFlags[step]);
        IPlugParam* pMute = GetParam(EParam_FirstMute + step);
        pMute->DefineInt("mt", 0, 0, 1);
        pMute->SetClamped(mSequencer.mMuteFlags[step]);
    }
}

// ---- Dispatch -----------------------------------------------------------

void Tarvo::OnParamChanged(int paramIdx)
{
    ScopedLock lock(mLock);
    if (paramIdx < 0 || paramIdx >= EParam_NumParams) return;
    // A cell parameter carries an edit command, which a restore never runs,
    // and the timeline lock takes no gesture from a restore: the 289 cells
    // of every state load have nothing to dispatch. (Under the lock: the
    // restore under way is this thread's own.)
    if (IsRestoringParams() && paramIdx >= EParam_FirstCell && paramIdx < EParam_FirstCell + MAX_CELLS) return;
    // Read before the handler: a button sets itself back to 0.
    const double value = GetParam(paramIdx)->Value();
    ++mDispatchDepth;
    DispatchParam(paramIdx, value);
    --mDispatchDepth;
    // A change made inside another one (a pattern restore sets the grid's
    // size) belongs to the outer one.
    if (mTimelineLocked && mDispatchDepth == 0) OnLockedParamChange(paramIdx, value);
}

void Tarvo::DispatchParam(int paramIdx, double value)
{
    mGridChanged = false;
    if (paramIdx >= EParam_FirstCell && paramIdx < EParam_FirstCell + MAX_CELLS) {
        // A cell parameter carries an edit command, not a value to restore.
        if (!IsRestoringParams()) RunCellCommand(paramIdx - EParam_FirstCell, value);
        return;
    }
    if (paramIdx >= EParam_FirstLock && paramIdx < EParam_FirstLock + NUM_SEQ_STEPS) {
        mSequencer.mLockFlags[paramIdx - EParam_FirstLock] = value >= 0.5;
        return;
    }
    if (paramIdx >= EParam_FirstMute && paramIdx < EParam_FirstMute + NUM_SEQ_STEPS) {
        mSequencer.mMuteFlags[paramIdx - EParam_FirstMute] = value >= 0.5;
        if (mpView) mpView->MarkStepCanvasChanged();
        return;
    }
    const ParamChangeDesc* pDesc = mpParamChangeDesc[paramIdx];
    assert(pDesc);
    if (!pDesc) return;
    pDesc->mHandler(this, pDesc, value);
    if (mGridChanged) {
        mGridChanged = false;
        PublishStep();
    }
}

void Tarvo::ResetButton(int paramIdx)
{
    IPlugParam* pParam = GetParam(paramIdx);
    pParam->SetValue(pParam->ResetValue());
}

void Tarvo::PlaceOrTurnRover(int cellId, int heading, int pace)
{
    if (mGrid.mRovers.FindByCell(cellId) >= 0) {
        mGrid.mRovers.TurnOrRemove(cellId);
    } else {
        mGrid.mRovers.Add(cellId, heading, pace);
    }
}

void Tarvo::RunCellCommand(int cellId, double value)
{
    if (!(value >= 0.0) || value >= CELL_CODE_COUNT) return;
    int code = static_cast<int>(value);
    Obstacle& cell = mGrid.mCells[cellId];
    if (code == 1 || code == 17) {
        PlaceOrTurnRover(cellId, EHeading_N, RoverPace_Norm);
    } else if (code >= 2 && code <= 8) {
        PlaceOrTurnRover(cellId, code - 1, RoverPace_Norm);
    } else if (code >= 9 && code <= 16) {
        PlaceOrTurnRover(cellId, code - 9, RoverPace_Slow);
    } else if (code == 18) {
        mGrid.mRovers.Remove(cellId);
    } else if (code == 19) {
        PlaceOrTurnRover(cellId, mRoverChoice & 7, mRoverChoice >> 3);
    } else if (code == 20) {
        cell.mKind = cell.mKind >= EObstacle_NumKinds - 1 ? EObstacle_empty : cell.mKind + 1;
    } else if (code == 22) {
        cell.mKind = EObstacle_empty;
    } else if (code == 23) {
        cell.mKind = mObstacleChoice;
    } else if (code == 24) {
        if (mRoverPaletteActive) {
            mGrid.mRovers.Remove(cellId);
            PlaceOrTurnRover(cellId, mRoverChoice & 7, mRoverChoice >> 3);
        } else {
            cell.mKind = mObstacleChoice;
        }
    } else if (code == 25) {
        mGrid.mRovers.Remove(cellId);
        cell.mKind = EObstacle_empty;
    }
    mSimulation.TouchCell(cellId);
    if (mpView) mpView->ResetCellControl(cellId);
    ResetButton(EParam_FirstCell + cellId);
    PublishStep();
}

void Tarvo::ShowPanel(bool pattern, double value)
{
    if (value > 0.5) mPatternPanelShown = pattern;
    // The shown panel's switch is on and the other one off, whatever was
    // set: the shown panel's switch cannot be switched off. The parameters
    // hold that too, so that whatever pushes their values later (a state
    // load) shows the same.
    double patternSwitch = mPatternPanelShown ? 1.0 : 0.0;
    GetParam(EParam_PnlPatt)->SetFromNormalized(patternSwitch);
    GetParam(EParam_PnlSeq)->SetFromNormalized(1.0 - patternSwitch);
    if (!mpView) return;
    mpView->ShowParamValue(EParam_PnlPatt, patternSwitch);
    mpView->ShowParamValue(EParam_PnlSeq, 1.0 - patternSwitch);
    mpView->ShowPanels(mPatternPanelShown);
}
