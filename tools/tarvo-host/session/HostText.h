// Locale-independent number parsing and formatting, whole-file reading and
// writing in binary mode, and the line and word splitting of the host's
// input files (play scripts, editor input). Output files and the JSON
// reports must be byte-identical on every platform, and a plug-in may
// switch the process locale (some toolkits call setlocale on load), so
// nothing here goes through the C locale.
#pragma once

#include <cstdint>
#include <functional>
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

// Whether the file can be created or written, tried without changing it
// (a file created for the trial is removed again); *error says why not.
bool CanWriteFile(const std::string& path, std::string* error);

// Renames a finished temporary file onto path. Windows does not rename onto
// an existing file: an earlier output's regular file is replaced, anything
// else that has the name is left alone and the rename fails.
bool ReplaceFile(const std::string& temporary, const std::string& path, std::string* error);
// Writes the whole file to a temporary name beside path ("PATH.part") and
// renames it onto path, so that an interrupted write never leaves half a
// file where a good one was; the temporary file is removed on failure.
bool WriteWholeFileReplacing(const std::string& path, const void* data, size_t size, std::string* error);

// Splits at runs of spaces and tabs.
std::vector<std::string> SplitWords(const std::string& line);
// "--option=value" becomes "--option" "value"; everything else stays as given.
std::vector<std::string> SplitOptionAssignments(const std::vector<std::string>& args);
// The words of a line before the first word that starts with '#', which
// starts a comment running to the end of the line.
std::vector<std::string> WordsBeforeComment(const std::string& line);

// Sets *error and returns false: how the host's parsers fail.
inline bool Fail(std::string* error, const std::string& why)
{
    *error = why;
    return false;
}

// Calls parseLine for every line of a text file with its number from 1
// ("\n" and "\r\n" line ends). The first line it fails stops the reading,
// with *error "SOURCE:LINE: why".
using LineParser = std::function<bool(const std::string& line, int lineNumber, std::string* why)>;
bool ParseLines(const std::string& text, const std::string& sourceName, const LineParser& parseLine,
                std::string* error);
