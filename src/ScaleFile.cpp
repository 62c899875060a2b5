#include "ScaleFile.h"

#include <cassert>
#include <cstring>

#include "TextFileReader.h"

ScaleFile::ScaleFile() : mCount(0)
{
    std::memset(mValues, 0, sizeof(mValues));
    mPath[0] = '\0';
    mName[0] = '\0';
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

    TextFileReader reader;
    if (!reader.Open(mPath)) return false;
    // Only the first 13 characters of a line count, after its leading
    // blanks and without its comment; any byte is a character.
    LineRules rules;
    rules.mHighByteEndsLine = false;
    rules.mDropComment = true;
    rules.mSkipLeadingBlanks = true;
    while (mCount < MAX_VALUES && reader.ReadLineWith(rules, mLineText, COUNTED_LENGTH)) {
        int32_t value = 0;
        if (LineValue(&value)) mValues[mCount++] = value;
    }
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

bool ScaleFile::LineValue(int32_t* pValue) const
{
    // One to eight digits, then the end of the line or a blank.
    int64_t value = 0;
    int digits = 0;
    const char* pEnd = ReadDecimal(mLineText, NUMBER_LENGTH, &value, &digits);
    if (digits == 0 || digits > NUMBER_LENGTH || (*pEnd != '\0' && !IsBlank(*pEnd))) return false;
    *pValue = static_cast<int32_t>(value);
    return true;
}
