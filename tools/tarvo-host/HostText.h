// Locale-independent number parsing and formatting, and whole-file reading
// and writing in binary mode. Output files and the JSON reports must be
// byte-identical on every platform, and a plug-in may switch the process
// locale (some toolkits call setlocale on load), so nothing here goes
// through the C locale.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Whole-string parses: leading/trailing junk makes them fail.
bool ParseInt64(const std::string& text, int64_t* out);
bool ParseDouble(const std::string& text, double* out);  // finite values only
// One or two hexadecimal digits, optionally prefixed by 0x.
bool ParseHexByte(const std::string& text, uint8_t* out);

// Fixed-point text with the given number of decimals and a '.' separator.
std::string FormatFixed(double value, int decimals);

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out, std::string* error);
bool WriteWholeFile(const std::string& path, const void* data, size_t size, std::string* error);
inline bool WriteWholeFile(const std::string& path, const std::string& text, std::string* error)
{
    return WriteWholeFile(path, text.data(), text.size(), error);
}

// Splits at runs of spaces and tabs.
std::vector<std::string> SplitWords(const std::string& line);
