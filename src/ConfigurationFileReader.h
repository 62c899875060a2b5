// Reads "key value" entries from the configuration file, one per line.
// Values holding spaces are quoted with double or single quotes; ";" starts
// a comment anywhere on a line, inside quotes too.
#pragma once

#include "TextFileReader.h"

class ConfigurationFileReader : public TextFileReader {
public:
    static const int KEY_LENGTH = 40;
    static const int VALUE_LENGTH = 512;

    ConfigurationFileReader();
    ~ConfigurationFileReader() override;

    // Reads lines until one holds a key and fills the key and value buffers;
    // false at the end of the file or when no file is open.
    bool ReadEntry();
    const char* GetKey() const { return mpKey; }
    const char* GetValue() const { return mpValue; }

    // Copies the token at pStart (after spaces and tabs; quoted with " or '
    // or up to the next space or tab) into pDestination, which holds
    // maxlen + 1 characters; the rest of a longer token is skipped. Returns
    // the position after the token (after its closing quote, when it has one).
    static const char* ParseToken(const char* pStart, char* pDestination, int maxlen);

private:
    char* mpKey;
    char* mpValue;
};
