// The processor in the fake host with its editor opened offscreen: clicks,
// drags and wheel turns go through the window's input entry points, the
// timer is the test's Tick.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeHost.h"
#include "TarvoGui.h"
#include "framework/gui/IControl.h"
#include "framework/gui/OffscreenWindow.h"
#include "framework/gui/ITextControl.h"

inline MouseMods Left() { return MouseMods(true, false); }
inline MouseMods Right() { return MouseMods(false, true); }

class EditorHost : public FakeHost {
public:
    // The processor of the fake host with its editor attached, as the
    // plug-in's entry point attaches it.
    explicit EditorHost(const std::string& configFolder = "")
        : FakeHost(44100.0, 512, configFolder), mpGui(TarvoGui::Attach(Plug()))
    {
    }

    TarvoGui& Gui() { return *mpGui; }
    IGraphicsWindow& Window() { return *Gui().Surface(); }

    // effEditOpen as a host sends it, then the first timer tick.
    void Open()
    {
        ASSERT_NE(Effect()->dispatcher(Effect(), effEditOpen, 0, 0, nullptr, 0.0f), 0);
        Tick();
    }
    void Tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) Window().Tick();
    }

    int NControls() { return Window().NControls(); }
    IControl* Control(int index) { return Window().GetControl(index); }
    // The first control bound to the parameter, or -1.
    int IndexOf(int paramIdx)
    {
        for (int i = 0; i < NControls(); ++i) {
            if (Control(i)->ParamIdx() == paramIdx) return i;
        }
        return -1;
    }
    IControl* Bound(int paramIdx)
    {
        int index = IndexOf(paramIdx);
        return index >= 0 ? Control(index) : nullptr;
    }
    // The read-out text of a knob or slider: the control right after it.
    ITextControl* ReadOut(int paramIdx)
    {
        int index = IndexOf(paramIdx);
        return index >= 0 ? dynamic_cast<ITextControl*>(Control(index + 1)) : nullptr;
    }
    std::string ReadOutText(int paramIdx)
    {
        ITextControl* pText = ReadOut(paramIdx);
        return pText ? pText->GetText() : "<no read-out>";
    }

    void Press(int x, int y, const MouseMods& mods = Left()) { Window().HandleMouseDown(x, y, mods); }
    void Release(int x, int y, const MouseMods& mods = Left()) { Window().HandleMouseUp(x, y, mods); }
    void Click(int x, int y, const MouseMods& mods = Left())
    {
        Press(x, y, mods);
        Release(x, y, mods);
    }
    // A click in the middle of the control bound to the parameter.
    void ClickBound(int paramIdx, const MouseMods& mods = Left())
    {
        IControl* pControl = Bound(paramIdx);
        ASSERT_NE(pControl, nullptr) << "no control for parameter " << paramIdx;
        Click(pControl->GetRect().MidX(), pControl->GetRect().MidY(), mods);
    }

    double Value(int paramIdx) { return Plug()->GetParam(paramIdx)->Value(); }
    // The automation the host saw for one parameter, in order.
    std::vector<float> AutomationOf(int paramIdx) const
    {
        std::vector<float> values;
        for (const AutomationCall& call : mAutomation) {
            if (call.mIndex == paramIdx) values.push_back(call.mValue);
        }
        return values;
    }

private:
    TarvoGui* mpGui;
};
