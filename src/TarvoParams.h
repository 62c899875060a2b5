// The processor's parameter index space: 101 host-visible parameters, one
// internal parameter per grid cell, four editor parameters, and the lock and
// mute flags of the 32 sequencer steps.
#pragma once

enum EParam {
    EParam_TimeUnits = 0,
    EParam_LengthUnits = 1,
    EParam_Slow = 2,
    EParam_Channel = 3,
    EParam_Velocity = 4,
    EParam_VelJitt = 5,
    EParam_NumColums = 6,
    EParam_NumRows = 7,
    EParam_NoteProb = 8,
    EParam_Tilt = 9,
    EParam_ObsProb = 10,
    EParam_Wobble = 11,
    EParam_NearProb = 12,
    EParam_GrpLim = 13,
    EParam_RepeatProb = 14,
    EParam_RptLen = 15,
    EParam_RvDelOld = 16,
    EParam_RvDelNew = 17,
    EParam_ClrRov = 18,
    EParam_ClrObs = 19,
    EParam_ClrAll = 20,
    EParam_Transp1 = 21,   // to 24
    EParam_Trans1up = 25,  // to 28
    EParam_Trans1dn = 29,  // to 32
    EParam_Rotate1 = 33,   // to 36
    EParam_Mutate1 = 37,   // to 40
    EParam_ScaleN = 41,    // N, E, S, W to 44
    EParam_MuteN = 45,     // to 48
    EParam_ClimbN = 49,    // to 52
    EParam_Save1 = 53,     // to 60
    EParam_Restore1 = 61,  // to 68
    EParam_Clear1 = 69,    // to 76
    EParam_MFlipH = 77,
    EParam_MFlipV = 78,
    EParam_MShiftR = 79,
    EParam_MShiftL = 80,
    EParam_MShiftU = 81,
    EParam_MShiftD = 82,
    EParam_MRotR = 83,
    EParam_MRotL = 84,
    EParam_MStagrU = 85,
    EParam_MStagrD = 86,
    EParam_Swing = 87,
    EParam_WrapProb = 88,
    EParam_Simple = 89,
    EParam_Enabled = 90,
    EParam_TimeDbl = 91,
    EParam_TimeHlf = 92,
    EParam_DurJitt = 93,
    EParam_Human = 94,
    EParam_SeqNStep = 95,
    EParam_SeqOn = 96,
    EParam_NudgeNew = 97,
    EParam_NudgeOld = 98,
    EParam_DragNew = 99,
    EParam_DragOld = 100,
    EParam_NumVisible = 101,
    EParam_FirstCell = 101,  // to 389: cell id = index - 101
    EParam_ScaleLoad = 390,
    EParam_FileSelect = 391,
    EParam_PnlPatt = 392,
    EParam_PnlSeq = 393,
    EParam_FirstLock = 394,  // to 425
    EParam_FirstMute = 426,  // to 457
    EParam_NumParams = 458
};

const int NUM_SCALE_SLOTS = 4;
const int NUM_PATTERN_SLOTS = 8;
const int NUM_SEQ_STEPS = 32;
const int CELL_CODE_COUNT = 26;  // cell parameter range 0..26, codes 0..25 act
