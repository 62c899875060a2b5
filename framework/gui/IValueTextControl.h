// A parameter's value shown as text (with its unit label), changed by
// dragging or the mouse wheel; the value wraps around at both ends, so a
// step past the top comes back at the bottom.
#pragma once

#include "IKnobControl.h"
#include "ITextControl.h"

class IValueTextControl : public ITextControl {
public:
    // pOwnParam: a parameter of the caller's (not owned) that formats the
    // value instead of the bound one; null for the bound parameter.
    IValueTextControl(IParamHost* pParamHost, const ControlRect& rect, int paramIdx, const TextStyle& style,
                      IPlugParam* pOwnParam, bool showValue, bool showLabel, int direction = DragDirection_Vertical,
                      double gearing = DEFAULT_GEARING);

    // The gearing of the editor's value texts.
    static constexpr double DEFAULT_GEARING = 25.0;

    void MouseDrag(int x, int y, int dx, int dy, const MouseMods& mods) override;
    void MouseWheel(int x, int y, const MouseMods& mods, int d) override;
    // Formats the parameter's value now, under the plug-in lock, for Draw.
    void PrepareDraw() override;

protected:
    // The parameter whose step the wheel takes: the own one only when the
    // control is unbound.
    IPlugParam* WheelParam() const;
    // The parameter whose value the text shows: the own one when given.
    IPlugParam* TextParam() const;
    // A value beyond either end comes back at the other.
    void Wrap();

    int mDirection;
    double mGearing;
    bool mShowValue;
    bool mShowLabel;
    IPlugParam* mpOwnParam;
};
