#include "ScaleFile.h"

#include <cassert>
#include <cstring>

#include "TextFileReader.h"

ScaleFile::ScaleFile() : mCount(0)
{
    std::memset(mValues, 0, sizeof(mValues));
    mPath[0] = '\0';
    mName[0] = '\0';
    mNumberText[0] = '\0';
    mLineText[0] = '\0';
}

bool ScaleFile::Load(const char* pPath)
{
    assert(pPath != 0);
    assert(pPath[0] != 0);
    std::strncpy(mPath, pPath, PATH_LENGTH);
    mPath[PATH_LENGTH] = '\0';
    std::memset(mValues, 0, sizeof(mValues));
    mCount = 0;
    DeriveName();

    std::FILE* pFile = std::fopen(mPath, "r");
    if (!pFile) return false;
    while (mCount < MAX_VALUES && ReadCountedLine(pFile)) {
        int32_t value = 0;
        if (LineValue(&value)) mValues[mCount++] = value;
    }
    std::fclose(pFile);
    return true;
}

void ScaleFile::DeriveName()
{
    // Folders are cut at every separator any platform uses, so a name that
    // travelled in a saved project from another system still reads right.
    const char* pStart = mPath;
    for (const char* p = mPath; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') pStart = p + 1;
    }
    const size_t length = std::strlen(pStart);
    std::memmove(mName, pStart, length + 1);
    // The search stops before the first character, so ".scale" keeps its dot.
    for (size_t i = length; i-- > 1;) {
        if (mName[i] == '.') {
            mName[i] = '\0';
            break;
        }
    }
}

bool ScaleFile::ReadCountedLine(std::FILE* pFile)
{
    int length = 0;
    bool started = false;
    bool commented = false;
    mLineText[0] = '\0';
    int c = std::fgetc(pFile);
    if (c == EOF) return false;
    for (; c != EOF && c != '\n'; c = std::fgetc(pFile)) {
        if (c == '\r' || commented) continue;
        if (c == ';') {
            commented = true;
            continue;
        }
        if (!started && IsBlank(static_cast<char>(c))) continue;
        started = true;
        if (length < COUNTED_LENGTH) mLineText[length++] = static_cast<char>(c);
    }
    mLineText[length] = '\0';
    return true;
}

bool ScaleFile::LineValue(int32_t* pValue)
{
    int digits = 0;
    while (IsDecimalDigit(mLineText[digits])) {
        if (digits == NUMBER_LENGTH) {
            // Nine digits or more are no note number; the scratch text stays
            // a terminated string all the same.
            mNumberText[digits] = '\0';
            return false;
        }
        mNumberText[digits] = mLineText[digits];
        ++digits;
    }
    mNumberText[digits] = '\0';
    const char next = mLineText[digits];
    if (digits == 0 || (next != '\0' && !IsBlank(next))) return false;
    int32_t value = 0;
    for (int i = 0; i < digits; ++i) value = value * 10 + (mNumberText[i] - '0');
    *pValue = value;
    return true;
}
