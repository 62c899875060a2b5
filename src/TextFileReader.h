// Line-by-line reading of the plug-in's small text files (configuration,
// MIDI map, scale files). Files are opened in text mode and read byte by
// byte, so a line of any length, or with any bytes in it, only ever fills
// the first part of a fixed buffer.
#pragma once

#include <cstdint>
#include <cstdio>

// How a file's lines are cut. Carriage returns are dropped wherever they
// stand, so files saved with CR LF read the same on every platform.
struct LineRules {
    // A byte of 0x80 or above ends the line and is dropped, so what follows
    // it starts the next line (else it is an ordinary character).
    bool mHighByteEndsLine = true;
    // ";" and the rest of the line are left out.
    bool mDropComment = false;
    // Blanks before the first character are left out.
    bool mSkipLeadingBlanks = false;
};

class TextFileReader {
public:
    static const int LINE_LENGTH = 1024;

    TextFileReader();
    virtual ~TextFileReader();

    // False when the path is null or empty or the file cannot be opened.
    bool Open(const char* pPath);
    void Close();
    bool IsOpen() const { return mpFile != nullptr; }

    // Reads the next line into the line buffer; false at the end of the file
    // or when no file is open.
    bool ReadLine();
    const char* GetLine() const { return mpLine; }
    // Reads the next line by the rules into pLine (maxlen + 1 characters);
    // false at the end of the file or when no file is open.
    bool ReadLineWith(const LineRules& rules, char* pLine, int maxlen);

    // Reads one line of pFile into pLine, keeping at most maxlen characters
    // (pLine holds maxlen + 1). A line ends at a line feed or at the end of
    // the file, and as the rules say. False when the file was already at its
    // end.
    static bool ReadLineFrom(FILE* pFile, char* pLine, int maxlen, const LineRules& rules = LineRules());

protected:
    FILE* mpFile;
    char* mpLine;

private:
    TextFileReader(const TextFileReader&) = delete;
    TextFileReader& operator=(const TextFileReader&) = delete;
};

// ASCII only: the files are read byte-wise in the C locale, and bytes of
// 0x80 and above must not reach the C library's character classes.
inline char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool EqualIgnoringCase(const char* pA, const char* pB);

// The run of decimal digits at p: *pDigits is how many there are, *pValue
// the value of the first maxDigits of them (at most 18; 0 when there are
// none). Returns the position after the run.
const char* ReadDecimal(const char* p, int maxDigits, int64_t* pValue, int* pDigits);
