#include "TextFileReader.h"

TextFileReader::TextFileReader() : mpFile(nullptr), mpLine(new char[LINE_LENGTH + 1]) { mpLine[0] = '\0'; }

TextFileReader::~TextFileReader()
{
    Close();
    delete[] mpLine;
}

bool TextFileReader::Open(const char* pPath)
{
    Close();
    if (!pPath || !pPath[0]) return false;
    mpFile = std::fopen(pPath, "r");
    return mpFile != nullptr;
}

void TextFileReader::Close()
{
    if (mpFile) {
        std::fclose(mpFile);
        mpFile = nullptr;
    }
}

bool TextFileReader::ReadLine()
{
    mpLine[0] = '\0';
    if (!mpFile) return false;
    return ReadLineFrom(mpFile, mpLine, LINE_LENGTH);
}

bool TextFileReader::ReadLineWith(const LineRules& rules, char* pLine, int maxlen)
{
    pLine[0] = '\0';
    if (!mpFile) return false;
    return ReadLineFrom(mpFile, pLine, maxlen, rules);
}

bool TextFileReader::ReadLineFrom(FILE* pFile, char* pLine, int maxlen, const LineRules& rules)
{
    int length = 0;
    bool started = !rules.mSkipLeadingBlanks;
    bool commented = false;
    pLine[0] = '\0';
    int c = std::fgetc(pFile);
    if (c == EOF) return false;
    for (; c != EOF && c != '\n' && !(rules.mHighByteEndsLine && c >= 0x80); c = std::fgetc(pFile)) {
        if (c == '\r' || commented) continue;
        if (rules.mDropComment && c == ';') {
            commented = true;
            continue;
        }
        if (!started && IsBlank(static_cast<char>(c))) continue;
        started = true;
        if (length < maxlen) pLine[length++] = static_cast<char>(c);
    }
    pLine[length] = '\0';
    return true;
}

const char* ReadDecimal(const char* p, int maxDigits, int64_t* pValue, int* pDigits)
{
    if (maxDigits > 18) maxDigits = 18;
    int64_t value = 0;
    int digits = 0;
    for (; IsDecimalDigit(*p); ++p, ++digits) {
        if (digits < maxDigits) value = value * 10 + (*p - '0');
    }
    *pValue = value;
    *pDigits = digits;
    return p;
}

bool EqualIgnoringCase(const char* pA, const char* pB)
{
    for (; *pA && *pB; ++pA, ++pB) {
        if (ToLowerAscii(*pA) != ToLowerAscii(*pB)) return false;
    }
    return *pA == *pB;
}
