// The VST 2.4 binary interface, written from its published names, opcodes,
// constants and record layouts. Every record is pinned by static_asserts for
// 32-bit and 64-bit builds: a wrong field must fail the build, not a host.
#pragma once

#ifdef TARVO_ENGINE_ONLY
#error "the engine must not depend on the VST 2 interface"
#endif

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VSTCALLBACK __cdecl
#else
#define VSTCALLBACK
#endif

typedef int32_t VstInt32;
typedef intptr_t VstIntPtr;

struct AEffect;

typedef VstIntPtr(VSTCALLBACK* audioMasterCallback)(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                                    void* ptr, float opt);
typedef VstIntPtr(VSTCALLBACK* AEffectDispatcherProc)(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                                      void* ptr, float opt);
typedef void(VSTCALLBACK* AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
typedef void(VSTCALLBACK* AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                                    VstInt32 sampleFrames);
typedef void(VSTCALLBACK* AEffectSetParameterProc)(AEffect* effect, VstInt32 index, float parameter);
typedef float(VSTCALLBACK* AEffectGetParameterProc)(AEffect* effect, VstInt32 index);
typedef AEffect*(VSTCALLBACK* VstPluginMainProc)(audioMasterCallback host);

const VstInt32 kEffectMagic = 0x56737450;  // 'VstP'

struct AEffect {
    VstInt32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;
    VstInt32 realQualities;
    VstInt32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

enum VstAEffectFlags {
    effFlagsHasEditor = 1 << 0,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsCanDoubleReplacing = 1 << 12
};

// Dispatcher opcodes (host to plug-in).
enum AEffectOpcodes {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetProgramNameIndexed = 29,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effSetSpeakerArrangement = 42,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effIdle = 53,
    effGetParameterProperties = 56,
    effGetVstVersion = 58,
    effGetMidiKeyName = 66,
    effBeginSetProgram = 67,
    effEndSetProgram = 68,
    effGetSpeakerArrangement = 69,
    effStartProcess = 71,
    effStopProcess = 72
};

// Host callback opcodes (plug-in to host).
enum AudioMasterOpcodes {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterIOChanged = 13,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterCanDo = 37,
    audioMasterGetLanguage = 38,
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44
};

enum VstPlugCategory {
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2
};

// String buffer sizes the published interface promises.
enum VstStringConstants {
    kVstMaxProgNameLen = 24,
    kVstMaxParamStrLen = 8,
    kVstMaxVendorStrLen = 64,
    kVstMaxProductStrLen = 64,
    kVstMaxEffectNameLen = 32
};

struct ERect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

enum VstEventTypes {
    kVstMidiType = 1,
    kVstSysExType = 6
};

struct VstEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    char data[16];
};

struct VstMidiEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 noteLength;
    VstInt32 noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

// A variable-length list: hosts may pass more than two events.
struct VstEvents {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[2];
};

enum VstTimeInfoFlags {
    kVstTransportChanged = 1,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstAutomationWriting = 1 << 6,
    kVstAutomationReading = 1 << 7,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
    kVstSmpteValid = 1 << 14,
    kVstClockValid = 1 << 15
};

struct VstTimeInfo {
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    VstInt32 timeSigNumerator;
    VstInt32 timeSigDenominator;
    VstInt32 smpteOffset;
    VstInt32 smpteFrameRate;
    VstInt32 samplesToNextClock;
    VstInt32 flags;
};

enum VstPinPropertiesFlags {
    kVstPinIsActive = 1,
    kVstPinIsStereo = 2,
    kVstPinUseSpeaker = 4
};

struct VstPinProperties {
    char label[64];
    VstInt32 flags;
    VstInt32 arrangementType;
    char shortLabel[8];
    char future[48];
};

enum VstSpeakerArrangementType {
    kSpeakerArrUserDefined = -2,
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo = 1
};

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    VstInt32 type;
    char future[28];
};

struct VstSpeakerArrangement {
    VstInt32 type;
    VstInt32 numChannels;
    VstSpeakerProperties speakers[8];
};

struct MidiKeyName {
    VstInt32 thisProgramIndex;
    VstInt32 thisKeyNumber;
    char keyName[64];
    VstInt32 reserved;
    VstInt32 flags;
};

// ---- Layout pins -------------------------------------------------------
#define VST_PIN(rec, field, off64, off32) \
    static_assert(offsetof(rec, field) == (sizeof(void*) == 8 ? (off64) : (off32)), #rec "." #field)

static_assert(sizeof(AEffect) == (sizeof(void*) == 8 ? 192 : 144), "AEffect size");
VST_PIN(AEffect, magic, 0, 0);
VST_PIN(AEffect, dispatcher, 8, 4);
VST_PIN(AEffect, process, 16, 8);
VST_PIN(AEffect, setParameter, 24, 12);
VST_PIN(AEffect, getParameter, 32, 16);
VST_PIN(AEffect, numPrograms, 40, 20);
VST_PIN(AEffect, numParams, 44, 24);
VST_PIN(AEffect, numInputs, 48, 28);
VST_PIN(AEffect, numOutputs, 52, 32);
VST_PIN(AEffect, flags, 56, 36);
VST_PIN(AEffect, resvd1, 64, 40);
VST_PIN(AEffect, resvd2, 72, 44);
VST_PIN(AEffect, initialDelay, 80, 48);
VST_PIN(AEffect, realQualities, 84, 52);
VST_PIN(AEffect, offQualities, 88, 56);
VST_PIN(AEffect, ioRatio, 92, 60);
VST_PIN(AEffect, object, 96, 64);
VST_PIN(AEffect, user, 104, 68);
VST_PIN(AEffect, uniqueID, 112, 72);
VST_PIN(AEffect, version, 116, 76);
VST_PIN(AEffect, processReplacing, 120, 80);
VST_PIN(AEffect, processDoubleReplacing, 128, 84);
VST_PIN(AEffect, future, 136, 88);

static_assert(sizeof(VstTimeInfo) == 88, "VstTimeInfo size");
VST_PIN(VstTimeInfo, samplePos, 0, 0);
VST_PIN(VstTimeInfo, sampleRate, 8, 8);
VST_PIN(VstTimeInfo, nanoSeconds, 16, 16);
VST_PIN(VstTimeInfo, ppqPos, 24, 24);
VST_PIN(VstTimeInfo, tempo, 32, 32);
VST_PIN(VstTimeInfo, barStartPos, 40, 40);
VST_PIN(VstTimeInfo, cycleStartPos, 48, 48);
VST_PIN(VstTimeInfo, cycleEndPos, 56, 56);
VST_PIN(VstTimeInfo, timeSigNumerator, 64, 64);
VST_PIN(VstTimeInfo, timeSigDenominator, 68, 68);
VST_PIN(VstTimeInfo, smpteOffset, 72, 72);
VST_PIN(VstTimeInfo, smpteFrameRate, 76, 76);
VST_PIN(VstTimeInfo, samplesToNextClock, 80, 80);
VST_PIN(VstTimeInfo, flags, 84, 84);

static_assert(sizeof(VstEvent) == 32, "VstEvent size");
VST_PIN(VstEvent, type, 0, 0);
VST_PIN(VstEvent, byteSize, 4, 4);
VST_PIN(VstEvent, deltaFrames, 8, 8);
VST_PIN(VstEvent, flags, 12, 12);
VST_PIN(VstEvent, data, 16, 16);

static_assert(sizeof(VstMidiEvent) == 32, "VstMidiEvent size");
VST_PIN(VstMidiEvent, noteLength, 16, 16);
VST_PIN(VstMidiEvent, noteOffset, 20, 20);
VST_PIN(VstMidiEvent, midiData, 24, 24);
VST_PIN(VstMidiEvent, detune, 28, 28);
VST_PIN(VstMidiEvent, noteOffVelocity, 29, 29);
VST_PIN(VstMidiEvent, reserved1, 30, 30);
VST_PIN(VstMidiEvent, reserved2, 31, 31);

VST_PIN(VstEvents, numEvents, 0, 0);
VST_PIN(VstEvents, reserved, 8, 4);
VST_PIN(VstEvents, events, 16, 8);

static_assert(sizeof(ERect) == 8, "ERect size");
VST_PIN(ERect, top, 0, 0);
VST_PIN(ERect, left, 2, 2);
VST_PIN(ERect, bottom, 4, 4);
VST_PIN(ERect, right, 6, 6);

static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties size");
VST_PIN(VstPinProperties, flags, 64, 64);
VST_PIN(VstPinProperties, arrangementType, 68, 68);
VST_PIN(VstPinProperties, shortLabel, 72, 72);
VST_PIN(VstPinProperties, future, 80, 80);

static_assert(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties size");
VST_PIN(VstSpeakerProperties, name, 16, 16);
VST_PIN(VstSpeakerProperties, type, 80, 80);
VST_PIN(VstSpeakerProperties, future, 84, 84);
static_assert(sizeof(VstSpeakerArrangement) == 904, "VstSpeakerArrangement size");
VST_PIN(VstSpeakerArrangement, speakers, 8, 8);

static_assert(sizeof(MidiKeyName) == 80, "MidiKeyName size");
VST_PIN(MidiKeyName, keyName, 8, 8);
VST_PIN(MidiKeyName, reserved, 72, 72);
VST_PIN(MidiKeyName, flags, 76, 76);

#undef VST_PIN
