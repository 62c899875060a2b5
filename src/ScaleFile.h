// A scale file: up to 17 MIDI note numbers, one per line, with ";"
// comments. The plug-in puts them into its four scale slots; the file's
// name without folder and extension becomes the scale's name.
#pragma once

#include <cstdint>
#include <cstdio>

class ScaleFile {
public:
    static const int MAX_VALUES = 17;
    static const int PATH_LENGTH = 256;
    static const int NUMBER_LENGTH = 8;
    static const int COUNTED_LENGTH = 13;

    ScaleFile();

    // Reads the file at pPath (non-empty). The name is derived from the path
    // even when the file cannot be opened; false then, with no values.
    bool Load(const char* pPath);

    int32_t mValues[MAX_VALUES];         // the note numbers read, in file order
    int32_t mCount;                      // 0..17
    char mPath[PATH_LENGTH + 1];         // at most 256 characters of the path
    char mName[PATH_LENGTH + 1];         // the scale name; empty until a load or state restore
    char mLineText[COUNTED_LENGTH + 1];  // scratch: the counted part of the current line

private:
    void DeriveName();
    bool LineValue(int32_t* pValue) const;
};
