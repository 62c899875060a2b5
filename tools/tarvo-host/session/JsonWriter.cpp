#include "JsonWriter.h"

#include <cmath>
#include <cstdio>

#include "HostText.h"

namespace {
// Length of the valid UTF-8 sequence at text[pos], or 0 if there is none.
size_t Utf8SequenceLength(const std::string& text, size_t pos)
{
    unsigned char lead = static_cast<unsigned char>(text[pos]);
    size_t length;
    uint32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000)) return 0;
    if (code >= 0xD800 && code <= 0xDFFF) return 0;
    if (code > 0x10FFFF) return 0;
    return length;
}

void AppendUnicodeEscape(std::string* out, unsigned code)
{
    char buffer[8];
    std::snprintf(buffer, sizeof(buffer), "\\u%04x", code);
    out->append(buffer);
}
}  // namespace

std::string JsonQuote(const std::string& text)
{
    std::string out = "\"";
    size_t pos = 0;
    while (pos < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c == '"') {
            out += "\\\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            AppendUnicodeEscape(&out, c);
        } else if (c >= 0x80) {
            size_t length = Utf8SequenceLength(text, pos);
            if (length == 0) {
                AppendUnicodeEscape(&out, c);
            } else {
                out.append(text, pos, length);
                pos += length;
                continue;
            }
        } else {
            out += char(c);
        }
        ++pos;
    }
    out += '"';
    return out;
}

void JsonWriter::NewLine()
{
    mText += '\n';
    mText.append(2 * mLevels.size(), ' ');
}

void JsonWriter::BeforeValue()
{
    if (mAfterKey) {
        mAfterKey = false;
        return;
    }
    if (mLevels.empty()) return;
    Level& level = mLevels.back();
    if (!level.empty) mText += level.compact ? ", " : ",";
    if (!level.compact) NewLine();
    level.empty = false;
}

void JsonWriter::Key(const std::string& name)
{
    BeforeValue();
    mText += JsonQuote(name);
    mText += ": ";
    mAfterKey = true;
}

void JsonWriter::BeginObject(bool compact)
{
    BeforeValue();
    mText += '{';
    bool insideCompact = !mLevels.empty() && mLevels.back().compact;
    mLevels.push_back(Level{compact || insideCompact, true});
}

void JsonWriter::BeginArray(bool compact)
{
    BeforeValue();
    mText += '[';
    bool insideCompact = !mLevels.empty() && mLevels.back().compact;
    mLevels.push_back(Level{compact || insideCompact, true});
}

void JsonWriter::Close(char bracket)
{
    if (mLevels.empty()) return;
    Level level = mLevels.back();
    mLevels.pop_back();
    if (!level.compact && !level.empty) NewLine();
    mText += bracket;
    if (mLevels.empty()) mText += '\n';
}

void JsonWriter::EndObject() { Close('}'); }
void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::String(const std::string& text)
{
    BeforeValue();
    mText += JsonQuote(text);
}

void JsonWriter::Integer(int64_t value)
{
    BeforeValue();
    mText += std::to_string(value);
}

void JsonWriter::Number(double value)
{
    BeforeValue();
    mText += std::isfinite(value) ? FormatFixed(value, 6) : std::string("null");
}

void JsonWriter::Boolean(bool value)
{
    BeforeValue();
    mText += value ? "true" : "false";
}

void JsonWriter::Null()
{
    BeforeValue();
    mText += "null";
}
