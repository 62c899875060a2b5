#include "TextFileReader.h"

TextFileReader::TextFileReader() : mpFile(nullptr), mpLine(new char[LINE_LENGTH + 1])
{
    mpLine[0] = '\0';
}

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

bool TextFileReader::ReadLineFrom(FILE* pFile, char* pLine, int maxlen)
{
    int length = 0;
    pLine[0] = '\0';
    int c = std::fgetc(pFile);
    if (c == EOF) return false;
    for (; c != EOF && c != '\n' && c < 0x80; c = std::fgetc(pFile)) {
        if (c == '\r') continue;
        if (length < maxlen) pLine[length++] = static_cast<char>(c);
    }
    pLine[length] = '\0';
    return true;
}

bool EqualIgnoringCase(const char* pA, const char* pB)
{
    for (; *pA && *pB; ++pA, ++pB) {
        if (ToLowerAscii(*pA) != ToLowerAscii(*pB)) return false;
    }
    return *pA == *pB;
}
