// The editor's message line: two short lines of text that say what became
// of a file action (a scene loaded, saved or refused, no file dialog to
// show). A problem shows in the editor's warning colour, a confirmation in
// its label colour. A message goes by itself after a few seconds, or when
// the next one replaces it; it never waits for the user.
#pragma once

#include "framework/gui/ITextControl.h"

class IMessageLine : public ITextControl {
public:
    // How long a message stays, in editor timer ticks (24 a second).
    static constexpr int SHOW_TICKS = 6 * 24;

    IMessageLine(IParamHost* pParamHost, const ControlRect& rect);

    // GUI thread. The text may hold one line break.
    void ShowProblem(const char* text) { Show(text, true); }
    void ShowConfirmation(const char* text) { Show(text, false); }
    void Clear();
    // Once per timer tick: counts the message's time down.
    void Tick();

    bool ShowsProblem() const { return mProblem && !mText.empty(); }

private:
    void Show(const char* text, bool problem);

    bool mProblem = false;
    int mTicksLeft = 0;
};
