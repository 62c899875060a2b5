// The MIDI map file: each line binds one parameter, by name, to a control
// change ("cc") or a note ("k") number on one MIDI channel or on all, e.g.
//     Tilt      cc1       ; mod wheel, channel 1
//     Restore1  k36:9     ; pad on channel 10
// Read once while the processor is built, after all parameters exist.
#pragma once

#include <cstdint>

#include "TextFileReader.h"

class HomeDirectory;

// Which parameter a controller or note number drives, and on which channels
// (bit c = MIDI channel c + 1).
struct MidiMapEntry {
    int mParamIdx = -1;
    uint32_t mChannelMask = 0;
};

constexpr int MIDI_MAP_SIZE = 128;

enum EMidiMapKind {
    EMidiMapKind_ControlChange = 0,
    EMidiMapKind_Note,
    EMidiMapKind_None
};

class MidiMapReader {
public:
    static const int NAME_LENGTH = 24;
    static const int LINE_LENGTH = 128;
    static const int NUMBER_LENGTH = 4;

    MidiMapReader();
    virtual ~MidiMapReader();

    bool Open(const char* pPath);
    void Close();
    // Reads lines until one holds a mapping and returns true; false at the
    // end of the file or when no file is open.
    bool ReadNext();

    int GetKind() const { return mKind; }
    const char* GetName() const { return mName; }
    int GetNumber() const { return mNumber; }
    int GetChannel() const { return mChannel; }

private:
    MidiMapReader(const MidiMapReader&) = delete;
    MidiMapReader& operator=(const MidiMapReader&) = delete;

    void ParseLine();
    const char* ReadNumber(const char* p, int32_t* pNumber);

    int32_t mKind;
    char mName[NAME_LENGTH + 1];
    int32_t mNumber;
    int32_t mChannel;
    TextFileReader mFile;
    char mLine[LINE_LENGTH + 1];
};

// The processor's parameter names, as the map needs them; keeps the reader
// free of the processor and the plug-in framework.
class ParameterNameList {
public:
    virtual ~ParameterNameList() {}
    virtual int NumParameterNames() const = 0;
    // The name of parameter index, or null when it has none.
    virtual const char* ParameterName(int index) const = 0;
};

// The index of the first parameter whose name equals pName ignoring case,
// or -1.
int FindParameterIgnoringCase(const ParameterNameList& names, const char* pName);

// Reads the map named by the configuration value pMapValue: a name relative
// to the plug-in's folder unless it starts with a backslash or the
// platform's separator or has ":" as its second character. Fills the
// entries of the numbers the file maps; the others keep their contents.
// Returns the number of lines applied, or -1 when there is no map (empty
// value, no folder, or a file that cannot be opened).
int LoadMidiMap(const char* pMapValue, HomeDirectory& home, const ParameterNameList& names,
                MidiMapEntry controlMap[MIDI_MAP_SIZE], MidiMapEntry noteMap[MIDI_MAP_SIZE]);
