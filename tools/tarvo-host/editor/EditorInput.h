// The input file of "tarvo-host editor": what the user does to the open
// editor, one action per line, delivered through the window system in
// file order with one timer tick between lines:
//   click X Y [left|right] [shift] [ctrl] [alt]
//   dblclick X Y [shift] [ctrl] [alt]
//   drag X1 Y1 X2 Y2 [left|right] [shift] [ctrl] [alt]
//   hold X1 Y1 X2 Y2 [left|right]   (a drag whose button stays down)
//   release                  (the held button goes up where the pointer is)
//   wheel X Y NOTCHES        (positive: away from the user, scrolling up)
//   key NAME                 (space, up, down, left, right, 0-9, a-z,
//                             Return, Escape, BackSpace, minus, period)
//   wait TICKS
//   answer FILE|cancel       (Windows: the next file dialog the plug-in
//                             opens gets FILE typed into its name field and
//                             OK pressed, or is cancelled; FILE without
//                             spaces. On X11 a plug-in's dialogs are
//                             programs of their own: put a stand-in zenity
//                             on PATH instead)
// Coordinates are editor pixels from its top-left corner. Blank lines are
// allowed; a word starting with '#' starts a comment that runs to the end
// of the line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum EEditorInput {
    EEditorInput_Click,
    EEditorInput_DoubleClick,
    EEditorInput_Drag,
    EEditorInput_Hold,
    EEditorInput_Release,
    EEditorInput_Wheel,
    EEditorInput_Key,
    EEditorInput_Wait,
    EEditorInput_Answer
};

enum EMouseButton {
    EMouseButton_Left,
    EMouseButton_Right
};

enum EEditorKey {
    EEditorKey_Character,  // a digit or a lower-case letter, in `character`
    EEditorKey_Space,
    EEditorKey_Up,
    EEditorKey_Down,
    EEditorKey_Left,
    EEditorKey_Right,
    EEditorKey_Return,
    EEditorKey_Escape,
    EEditorKey_BackSpace,
    EEditorKey_Minus,
    EEditorKey_Period
};

// Modifier keys held during a mouse action, as bits.
const int EDITOR_MODIFIER_SHIFT = 1;
const int EDITOR_MODIFIER_CTRL = 2;
const int EDITOR_MODIFIER_ALT = 4;

// Coordinates are editor pixels; an editor rectangle is made of 16-bit
// values, so nothing larger can lie inside one.
const int MAX_EDITOR_COORDINATE = 32767;
const int MAX_WHEEL_NOTCHES = 100;
const int64_t MAX_WAIT_TICKS = 100000;

struct EditorInputAction {
    EEditorInput kind = EEditorInput_Wait;
    int x = 0;  // click, dblclick, wheel; the start of a drag
    int y = 0;
    int endX = 0;  // the end of a drag
    int endY = 0;
    EMouseButton button = EMouseButton_Left;
    int modifiers = 0;
    int notches = 0;  // wheel, never 0
    EEditorKey key = EEditorKey_Space;
    char character = 0;  // key EEditorKey_Character
    int64_t ticks = 0;   // wait
    std::string answer;  // answer: the file, or empty to cancel
    int line = 0;        // line number in the file, from 1
};

// Parses one line. A blank or comment-only line succeeds with *isAction
// false. On failure *error says why (without a location).
bool ParseEditorInputLine(const std::string& line, EditorInputAction* action, bool* isAction, std::string* error);

// Parses a whole input file; errors are reported as "SOURCE:LINE: why".
// Accepts "\n" and "\r\n" line ends.
bool ParseEditorInput(const std::string& text, const std::string& sourceName, std::vector<EditorInputAction>* actions,
                      std::string* error);

// The key's name as the input file spells it.
std::string EditorKeyName(EEditorKey key, char character);

// False with *error when a point of the action lies outside an editor of
// that size.
bool EditorInputFits(const EditorInputAction& action, int width, int height, std::string* error);

// Timer ticks of the action's own duration plus the tick that follows every
// line; a bound for the run's time limit.
int64_t EditorInputTicks(const std::vector<EditorInputAction>& actions);
