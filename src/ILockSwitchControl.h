// The timeline lock's switch in the editor. It is no parameter (the host
// never sees it): a click switches the processor's lock, and the processor's
// view shows the lock as it is, whoever switched it (a loaded project
// brings its own).
#pragma once

#include "framework/gui/ISwitchControl.h"

class Tarvo;

class ILockSwitchControl : public ISwitchControl {
public:
    ILockSwitchControl(Tarvo* pPlug, int x, int y, const BitmapRef& bitmap);

    void MouseDown(int x, int y, const MouseMods& mods) override;
    void MouseWheel(int, int, const MouseMods&, int) override {}

private:
    Tarvo* mpPlug;
};
