#include "ConfigurationFileReader.h"

#include <cassert>
#include <cstring>

ConfigurationFileReader::ConfigurationFileReader()
    : mpKey(new char[KEY_LENGTH + 1]), mpValue(new char[VALUE_LENGTH + 1])
{
    mpKey[0] = '\0';
    mpValue[0] = '\0';
}

ConfigurationFileReader::~ConfigurationFileReader()
{
    delete[] mpValue;
    delete[] mpKey;
}

bool ConfigurationFileReader::ReadEntry()
{
    mpKey[0] = '\0';
    mpValue[0] = '\0';
    while (ReadLine()) {
        char* pComment = std::strchr(mpLine, ';');
        if (pComment) *pComment = '\0';
        const char* pPosition = ParseToken(mpLine, mpKey, KEY_LENGTH);
        ParseToken(pPosition, mpValue, VALUE_LENGTH);
        if (mpKey[0]) return true;
    }
    mpKey[0] = '\0';
    mpValue[0] = '\0';
    return false;
}

const char* ConfigurationFileReader::ParseToken(const char* pStart, char* pDestination, int maxlen)
{
    assert(pStart);
    assert(pDestination);
    assert(maxlen > 0);
    const char* p = pStart;
    while (IsBlank(*p)) ++p;
    int length = 0;
    if (*p == '"' || *p == '\'') {
        const char quote = *p++;
        for (; *p && *p != quote; ++p) {
            if (length < maxlen) pDestination[length++] = *p;
        }
        if (*p == quote) ++p;
    } else {
        for (; *p && !IsBlank(*p); ++p) {
            if (length < maxlen) pDestination[length++] = *p;
        }
    }
    pDestination[length] = '\0';
    return p;
}
