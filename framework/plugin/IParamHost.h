// What the editor's controls and drawing surface need of the plug-in: its
// parameters, the way a user's change reaches it, the brackets around a
// user's gesture that the host records automation by, and the plug-in lock
// (see the threading rules of the GUI framework). The plug-in base
// implements it; the GUI framework knows the plug-in only through it.
#pragma once

class IPlugParam;
class RecursiveLock;

class IParamHost {
public:
    virtual ~IParamHost() {}
    // The parameter, or null for an index out of range.
    virtual IPlugParam* GetParam(int paramIdx) const = 0;
    virtual int NParams() const = 0;
    // A value the user set in the editor: applied, told to the host and
    // handled as a change. Takes the plug-in lock.
    virtual void SetParameterFromGUI(int paramIdx, double normalizedValue) = 0;
    virtual void BeginParamGesture(int paramIdx) = 0;
    virtual void EndParamGesture(int paramIdx) = 0;
    virtual RecursiveLock& Lock() = 0;
};
