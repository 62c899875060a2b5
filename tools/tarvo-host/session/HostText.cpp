#include "HostText.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <locale>
#include <sstream>

#include <sys/stat.h>

bool ParseInt64(const std::string& text, int64_t* out)
{
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    if (pos >= text.size()) return false;
    uint64_t magnitude = 0;
    const uint64_t LIMIT = negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX);
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c < '0' || c > '9') return false;
        unsigned digit = unsigned(c - '0');
        if (magnitude > (LIMIT - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    *out = negative ? int64_t(0 - magnitude) : int64_t(magnitude);
    return true;
}

bool ParseDouble(const std::string& text, double* out)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    double value = 0.0;
    stream >> value;
    if (stream.fail() || stream.peek() != std::char_traits<char>::eof()) return false;
    if (!std::isfinite(value)) return false;
    *out = value;
    return true;
}

bool ParseHexByte(const std::string& text, uint8_t* out)
{
    size_t start = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) start = 2;
    size_t count = text.size() - start;
    if (count < 1 || count > 2) return false;
    unsigned value = 0;
    for (size_t i = start; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = unsigned(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = unsigned(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = unsigned(c - 'A' + 10);
        else
            return false;
        value = value * 16 + digit;
    }
    *out = uint8_t(value);
    return true;
}

std::string FormatFixed(double value, int decimals)
{
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream.setf(std::ios::fixed, std::ios::floatfield);
    stream.precision(decimals);
    stream << value;
    std::string text = stream.str();
    // A plug-in that leaves -0.0 or -1e-9 must read the same as one that
    // leaves 0.0.
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out, std::string* error)
{
    out->clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) out->insert(out->end(), buffer, buffer + got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) *error = "cannot read '" + path + "'";
    return ok;
}

bool ReplaceFile(const std::string& temporary, const std::string& path, std::string* error)
{
    if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    struct stat info;
    bool regularFile = stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    if (regularFile && std::remove(path.c_str()) == 0 && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    *error = "cannot rename '" + temporary + "' to '" + path + "': " + std::strerror(errno);
    return false;
}

bool WriteWholeFileReplacing(const std::string& path, const void* data, size_t size, std::string* error)
{
    const std::string temporary = path + ".part";
    if (WriteWholeFile(temporary, data, size, error) && ReplaceFile(temporary, path, error)) return true;
    std::remove(temporary.c_str());
    return false;
}

bool CanWriteFile(const std::string& path, std::string* error)
{
    struct stat info;
    const bool existed = stat(path.c_str(), &info) == 0;
    if (existed && !S_ISREG(info.st_mode)) {
        *error = "cannot write '" + path + "': it is not a regular file";
        return false;
    }
    // Appending changes nothing in a file that is there already.
    FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) {
        *error = "cannot " + std::string(existed ? "write '" : "create '") + path + "': " + std::strerror(errno);
        return false;
    }
    std::fclose(file);
    if (!existed) std::remove(path.c_str());
    return true;
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size, std::string* error)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *error = "cannot create '" + path + "': " + std::strerror(errno);
        return false;
    }
    bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0) ok = false;
    if (!ok) *error = "cannot write '" + path + "'";
    return ok;
}

std::vector<std::string> SplitWords(const std::string& line)
{
    std::vector<std::string> words;
    size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        size_t start = pos;
        while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') ++pos;
        if (pos > start) words.push_back(line.substr(start, pos - start));
    }
    return words;
}

std::vector<std::string> WordsBeforeComment(const std::string& line)
{
    std::vector<std::string> words = SplitWords(line);
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i][0] == '#') {
            words.resize(i);
            break;
        }
    }
    return words;
}

bool ParseLines(const std::string& text, const std::string& sourceName, const LineParser& parseLine, std::string* error)
{
    size_t pos = 0;
    int lineNumber = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pos = end + 1;
        ++lineNumber;

        std::string why;
        if (!parseLine(line, lineNumber, &why)) {
            *error = sourceName + ":" + std::to_string(lineNumber) + ": " + why;
            return false;
        }
    }
    return true;
}

std::vector<std::string> SplitOptionAssignments(const std::vector<std::string>& args)
{
    std::vector<std::string> split;
    for (const std::string& arg : args) {
        size_t equals = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos && equals > 2) {
            split.push_back(arg.substr(0, equals));
            split.push_back(arg.substr(equals + 1));
        } else {
            split.push_back(arg);
        }
    }
    return split;
}
