#include "HostScript.h"

#include <climits>

#include "HostText.h"

namespace {
bool ExpectArguments(const std::vector<std::string>& words, size_t count, const std::string& usage, std::string* error)
{
    if (words.size() != count + 2) return Fail(error, "'" + words[1] + "' takes: " + usage);
    return true;
}
}  // namespace

bool ParseTimeSignature(const std::string& text, int* numerator, int* denominator)
{
    size_t slash = text.find('/');
    if (slash == std::string::npos) return false;
    int64_t n = 0, d = 0;
    if (!ParseInt64(text.substr(0, slash), &n) || !ParseInt64(text.substr(slash + 1), &d)) return false;
    if (n < 1 || n > MAX_SIG_NUMERATOR || d < 1 || d > MAX_SIG_DENOMINATOR || (d & (d - 1)) != 0) return false;
    *numerator = int(n);
    *denominator = int(d);
    return true;
}

bool ParseScriptLine(const std::string& line, ScriptAction* action, bool* isAction, std::string* error)
{
    *isAction = false;
    std::vector<std::string> words = WordsBeforeComment(line);
    if (words.empty()) return true;
    if (words.size() < 2) return Fail(error, "expected 'BLOCK ACTION ARGS'");

    ScriptAction parsed;
    if (!ParseInt64(words[0], &parsed.block) || parsed.block < 0)
        return Fail(error, "block number '" + words[0] + "' is not a whole number >= 0");

    const std::string& name = words[1];
    if (name == "play" || name == "stop") {
        if (!ExpectArguments(words, 0, "no arguments", error)) return false;
        parsed.kind = name == "play" ? EScriptAction_Play : EScriptAction_Stop;
    } else if (name == "locate") {
        if (!ExpectArguments(words, 1, "SAMPLE", error)) return false;
        parsed.kind = EScriptAction_Locate;
        if (!ParseInt64(words[2], &parsed.sample))
            return Fail(error, "sample '" + words[2] + "' is not a whole number");
    } else if (name == "tempo") {
        if (!ExpectArguments(words, 1, "BPM", error)) return false;
        parsed.kind = EScriptAction_Tempo;
        if (!ParseDouble(words[2], &parsed.number) || parsed.number <= 0.0)
            return Fail(error, "tempo '" + words[2] + "' is not a number above 0");
    } else if (name == "sig") {
        if (!ExpectArguments(words, 1, "N/D", error)) return false;
        parsed.kind = EScriptAction_TimeSignature;
        if (!ParseTimeSignature(words[2], &parsed.sigNumerator, &parsed.sigDenominator))
            return Fail(error, "time signature '" + words[2] + "' is not N/D (N 1..255, D a power of two up to 128)");
    } else if (name == "param") {
        if (!ExpectArguments(words, 2, "INDEX VALUE", error)) return false;
        parsed.kind = EScriptAction_Param;
        int64_t index = 0;
        if (!ParseInt64(words[2], &index) || index < 0 || index > INT32_MAX)
            return Fail(error, "parameter index '" + words[2] + "' is not a whole number >= 0");
        parsed.index = int32_t(index);
        if (!ParseDouble(words[3], &parsed.number)) return Fail(error, "value '" + words[3] + "' is not a number");
    } else if (name == "midi") {
        if (!ExpectArguments(words, 4, "OFFSET STATUS DATA1 DATA2", error)) return false;
        parsed.kind = EScriptAction_Midi;
        int64_t offset = 0;
        if (!ParseInt64(words[2], &offset) || offset < INT32_MIN || offset > INT32_MAX)
            return Fail(error, "offset '" + words[2] + "' is not a whole number");
        parsed.midiOffset = int32_t(offset);
        for (int i = 0; i < 3; ++i) {
            if (!ParseHexByte(words[3 + i], &parsed.midi[i]))
                return Fail(error, "MIDI byte '" + words[3 + i] + "' is not a hexadecimal byte");
        }
    } else if (name == "save" || name == "load") {
        if (words.size() < 3) return Fail(error, "'" + name + "' takes: FILE");
        parsed.kind = name == "save" ? EScriptAction_Save : EScriptAction_Load;
        // The file name is the rest of the line, so it may hold spaces.
        size_t start = line.find(words[2], line.find(name) + name.size());
        size_t end = line.find(words.back(), start) + words.back().size();
        parsed.path = line.substr(start, end - start);
    } else if (name == "blocksize") {
        if (!ExpectArguments(words, 1, "N", error)) return false;
        parsed.kind = EScriptAction_BlockSize;
        int64_t frames = 0;
        if (!ParseInt64(words[2], &frames) || frames < 0 || frames > MAX_BLOCK_FRAMES)
            return Fail(error, "block size '" + words[2] + "' is not a whole number from 0 to " +
                                   std::to_string(MAX_BLOCK_FRAMES));
        parsed.index = int32_t(frames);
    } else if (name == "lock") {
        if (!ExpectArguments(words, 1, "on|off", error)) return false;
        if (words[2] != "on" && words[2] != "off") return Fail(error, "'lock' takes on or off, not '" + words[2] + "'");
        parsed.kind = EScriptAction_Lock;
        parsed.index = words[2] == "on" ? 1 : 0;
    } else if (name == "loop") {
        parsed.kind = EScriptAction_Loop;
        if (words.size() == 3 && words[2] == "off") {
            parsed.index = 0;
        } else {
            if (!ExpectArguments(words, 2, "START END, or off", error)) return false;
            if (!ParseInt64(words[2], &parsed.sample) || !ParseInt64(words[3], &parsed.sampleEnd) ||
                parsed.sample < 0 || parsed.sampleEnd <= parsed.sample)
                return Fail(error, "loop '" + words[2] + " " + words[3] + "' is not START END with 0 <= START < END");
            parsed.index = 1;
        }
    } else {
        return Fail(error, "unknown action '" + name + "'");
    }
    *action = parsed;
    *isAction = true;
    return true;
}

bool ParseScript(const std::string& text, const std::string& sourceName, std::vector<ScriptAction>* actions,
                 std::string* error)
{
    return ParseLines(
        text, sourceName,
        [actions](const std::string& line, int, std::string* why) {
            ScriptAction action;
            bool isAction = false;
            if (!ParseScriptLine(line, &action, &isAction, why)) return false;
            if (isAction) actions->push_back(action);
            return true;
        },
        error);
}
