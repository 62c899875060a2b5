// A small JSON writer for the host's reports. Strings that come from a
// plug-in are arbitrary bytes: they are escaped so that the output is always
// valid JSON in UTF-8 whatever the plug-in put in its buffers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Quotes and escapes text. Control characters become \uXXXX escapes; valid
// UTF-8 sequences are kept; any other byte is read as Latin-1, the usual
// encoding of old plug-ins' names.
std::string JsonQuote(const std::string& text);

// Writes one value, nested containers indented by two spaces and "\n" line
// ends. A compact container is written on one line.
class JsonWriter {
public:
    void BeginObject(bool compact = false);
    void EndObject();
    void BeginArray(bool compact = false);
    void EndArray();
    // The next value written is the member of that name.
    void Key(const std::string& name);
    void String(const std::string& text);
    void Integer(int64_t value);
    // Fixed with six decimals; null when not finite.
    void Number(double value);
    void Boolean(bool value);
    void Null();

    // The text so far; complete (with a final line end) once the outermost
    // container is closed.
    const std::string& Text() const { return mText; }

private:
    struct Level {
        bool compact;
        bool empty;
    };
    void BeforeValue();
    void NewLine();
    void Close(char bracket);

    std::string mText;
    std::vector<Level> mLevels;
    bool mAfterKey = false;
};
