#include "EditorInput.h"

#include "session/HostText.h"

namespace {
struct NamedKey {
    const char* name;
    EEditorKey key;
};

const NamedKey NAMED_KEYS[] = {{"space", EEditorKey_Space},   {"up", EEditorKey_Up},
                               {"down", EEditorKey_Down},     {"left", EEditorKey_Left},
                               {"right", EEditorKey_Right},   {"Return", EEditorKey_Return},
                               {"Escape", EEditorKey_Escape}, {"BackSpace", EEditorKey_BackSpace},
                               {"minus", EEditorKey_Minus},   {"period", EEditorKey_Period}};

bool ParseCoordinate(const std::string& text, int* out, std::string* error)
{
    int64_t value = 0;
    if (!ParseInt64(text, &value) || value < 0 || value > MAX_EDITOR_COORDINATE)
        return Fail(error, "coordinate '" + text + "' is not a whole number from 0 to " +
                               std::to_string(MAX_EDITOR_COORDINATE));
    *out = int(value);
    return true;
}

// The words after the coordinates: an optional button (where allowed) and
// modifiers, each at most once, in any order.
bool ParseFlags(const std::vector<std::string>& words, size_t first, bool buttonAllowed, EditorInputAction* action,
                std::string* error)
{
    bool buttonGiven = false;
    for (size_t i = first; i < words.size(); ++i) {
        const std::string& word = words[i];
        int modifier = 0;
        if (word == "shift")
            modifier = EDITOR_MODIFIER_SHIFT;
        else if (word == "ctrl")
            modifier = EDITOR_MODIFIER_CTRL;
        else if (word == "alt")
            modifier = EDITOR_MODIFIER_ALT;
        if (modifier) {
            if (action->modifiers & modifier) return Fail(error, "'" + word + "' is given twice");
            action->modifiers |= modifier;
            continue;
        }
        if (buttonAllowed && (word == "left" || word == "right")) {
            if (buttonGiven) return Fail(error, "more than one button is given");
            buttonGiven = true;
            action->button = word == "left" ? EMouseButton_Left : EMouseButton_Right;
            continue;
        }
        return Fail(error, std::string("unknown word '") + word + "' (expected " +
                               (buttonAllowed ? "left, right, " : "") + "shift, ctrl or alt)");
    }
    return true;
}

bool ParseKeyName(const std::string& name, EditorInputAction* action)
{
    for (const NamedKey& named : NAMED_KEYS) {
        if (name == named.name) {
            action->key = named.key;
            return true;
        }
    }
    if (name.size() == 1 && ((name[0] >= '0' && name[0] <= '9') || (name[0] >= 'a' && name[0] <= 'z'))) {
        action->key = EEditorKey_Character;
        action->character = name[0];
        return true;
    }
    return false;
}

bool PointFits(int x, int y, int width, int height, std::string* error)
{
    if (x < width && y < height) return true;
    return Fail(error, "the point " + std::to_string(x) + "," + std::to_string(y) + " lies outside the editor (" +
                           std::to_string(width) + " x " + std::to_string(height) + ")");
}
}  // namespace

bool ParseEditorInputLine(const std::string& line, EditorInputAction* action, bool* isAction, std::string* error)
{
    *isAction = false;
    std::vector<std::string> words = WordsBeforeComment(line);
    if (words.empty()) return true;

    EditorInputAction parsed;
    const std::string& name = words[0];
    if (name == "click" || name == "dblclick") {
        if (words.size() < 3)
            return Fail(error, "'" + name + "' takes: X Y" + (name == "click" ? " [left|right]" : "") +
                                   " [shift] [ctrl] [alt]");
        parsed.kind = name == "click" ? EEditorInput_Click : EEditorInput_DoubleClick;
        if (!ParseCoordinate(words[1], &parsed.x, error) || !ParseCoordinate(words[2], &parsed.y, error)) return false;
        if (!ParseFlags(words, 3, name == "click", &parsed, error)) return false;
    } else if (name == "drag" || name == "hold") {
        bool drag = name == "drag";
        if (words.size() < 5 || (!drag && words.size() > 6))
            return Fail(error,
                        "'" + name + "' takes: X1 Y1 X2 Y2 [left|right]" + (drag ? " [shift] [ctrl] [alt]" : ""));
        parsed.kind = drag ? EEditorInput_Drag : EEditorInput_Hold;
        if (!ParseCoordinate(words[1], &parsed.x, error) || !ParseCoordinate(words[2], &parsed.y, error) ||
            !ParseCoordinate(words[3], &parsed.endX, error) || !ParseCoordinate(words[4], &parsed.endY, error))
            return false;
        if (!ParseFlags(words, 5, true, &parsed, error)) return false;
        if (!drag && parsed.modifiers) return Fail(error, "'hold' takes no modifiers");
    } else if (name == "release") {
        if (words.size() != 1) return Fail(error, "'release' takes nothing");
        parsed.kind = EEditorInput_Release;
    } else if (name == "wheel") {
        if (words.size() != 4) return Fail(error, "'wheel' takes: X Y NOTCHES");
        parsed.kind = EEditorInput_Wheel;
        if (!ParseCoordinate(words[1], &parsed.x, error) || !ParseCoordinate(words[2], &parsed.y, error)) return false;
        int64_t notches = 0;
        if (!ParseInt64(words[3], &notches) || notches == 0 || notches < -MAX_WHEEL_NOTCHES ||
            notches > MAX_WHEEL_NOTCHES)
            return Fail(error, "notches '" + words[3] + "' is not a whole number from -" +
                                   std::to_string(MAX_WHEEL_NOTCHES) + " to " + std::to_string(MAX_WHEEL_NOTCHES) +
                                   " other than 0");
        parsed.notches = int(notches);
    } else if (name == "key") {
        if (words.size() != 2) return Fail(error, "'key' takes: NAME");
        parsed.kind = EEditorInput_Key;
        if (!ParseKeyName(words[1], &parsed))
            return Fail(error, "unknown key '" + words[1] +
                                   "' (space, up, down, left, right, 0-9, a-z, Return, Escape, BackSpace, minus, "
                                   "period)");
    } else if (name == "wait") {
        if (words.size() != 2) return Fail(error, "'wait' takes: TICKS");
        parsed.kind = EEditorInput_Wait;
        if (!ParseInt64(words[1], &parsed.ticks) || parsed.ticks < 0 || parsed.ticks > MAX_WAIT_TICKS)
            return Fail(error,
                        "ticks '" + words[1] + "' is not a whole number from 0 to " + std::to_string(MAX_WAIT_TICKS));
    } else if (name == "answer") {
        if (words.size() != 2) return Fail(error, "'answer' takes: FILE or cancel");
        parsed.kind = EEditorInput_Answer;
        if (words[1] != "cancel") parsed.answer = words[1];
    } else {
        return Fail(error, "unknown action '" + name + "'");
    }
    *action = parsed;
    *isAction = true;
    return true;
}

bool ParseEditorInput(const std::string& text, const std::string& sourceName, std::vector<EditorInputAction>* actions,
                      std::string* error)
{
    return ParseLines(
        text, sourceName,
        [actions](const std::string& line, int lineNumber, std::string* why) {
            EditorInputAction action;
            bool isAction = false;
            if (!ParseEditorInputLine(line, &action, &isAction, why)) return false;
            if (isAction) {
                action.line = lineNumber;
                actions->push_back(action);
            }
            return true;
        },
        error);
}

std::string EditorKeyName(EEditorKey key, char character)
{
    if (key == EEditorKey_Character) return std::string(1, character);
    for (const NamedKey& named : NAMED_KEYS) {
        if (named.key == key) return named.name;
    }
    return "?";
}

bool EditorInputFits(const EditorInputAction& action, int width, int height, std::string* error)
{
    switch (action.kind) {
    case EEditorInput_Click:
    case EEditorInput_DoubleClick:
    case EEditorInput_Wheel:
        return PointFits(action.x, action.y, width, height, error);
    case EEditorInput_Drag:
    case EEditorInput_Hold:
        return PointFits(action.x, action.y, width, height, error) &&
               PointFits(action.endX, action.endY, width, height, error);
    case EEditorInput_Release:
    case EEditorInput_Key:
    case EEditorInput_Wait:
    case EEditorInput_Answer:
        break;
    }
    return true;
}

int64_t EditorInputTicks(const std::vector<EditorInputAction>& actions)
{
    int64_t ticks = 0;
    for (const EditorInputAction& action : actions) {
        // A mouse or key action takes well under a second however the
        // window system delivers it; a wheel turn a little more per notch.
        if (action.kind == EEditorInput_Wait)
            ticks += 1 + action.ticks;
        else
            ticks += 1 + 25 + (action.notches < 0 ? -action.notches : action.notches);
    }
    return ticks;
}
