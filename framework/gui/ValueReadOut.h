// Read-outs: observers that show the value of a control's parameter as
// text in a text control of their own, next to the control. They run when
// the surface collects dirty controls (GUI thread, plug-in lock held), so
// they may read the parameter's plain value.
#pragma once

#include "GuiTypes.h"
#include "ISubject.h"

class IControl;
class IGraphicsLice;
class IParamHost;
class IPlugParam;
class ITextControl;

// Shows the plain value with two decimals.
class ValueReadOut : public IObserverInterface {
public:
    // Adds its text control to the surface as the next control, attaches
    // itself to the observed control and hands itself to the surface, which
    // deletes it with the controls.
    ValueReadOut(IParamHost* pParamHost, IGraphicsLice* pGraphics, const ControlRect& rect, const TextStyle& style,
                 IControl* pObserved);

    // Follows the observed control's grayed and hidden states, then shows
    // the parameter's value.
    void Update() override;

    ITextControl* GetTextControl() const { return mpText; }

protected:
    // The text for the parameter's plain value (size: buffer size).
    virtual void FormatReadOut(const IPlugParam& param, double value, char* text, int size) const;

    IControl* mpObserved;
    ITextControl* mpText;
    IPlugParam* mpParam;
};

// The value truncated to an integer.
class ValueReadOutInt : public ValueReadOut {
public:
    using ValueReadOut::ValueReadOut;

protected:
    void FormatReadOut(const IPlugParam& param, double value, char* text, int size) const override;
};

// "true" from 0.5 on, else "false".
class ValueReadOutBool : public ValueReadOut {
public:
    using ValueReadOut::ValueReadOut;

protected:
    void FormatReadOut(const IPlugParam& param, double value, char* text, int size) const override;
};

// The parameter's display text of the value truncated to an integer.
class ValueReadOutEnum : public ValueReadOut {
public:
    using ValueReadOut::ValueReadOut;

protected:
    void FormatReadOut(const IPlugParam& param, double value, char* text, int size) const override;
};
