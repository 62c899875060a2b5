// What the plug-in base needs of an editor drawing surface. The surface of
// the GUI framework implements it; the base and the host adapter know the
// editor only through it, so the processor builds and runs without one.
#pragma once

class IPlugEditor {
public:
    virtual ~IPlugEditor() {}
    // Shows a value that comes from the plug-in side on every control bound
    // to the parameter; a plain value is normalised first.
    virtual void ShowParamValue(int paramIdx, double value, bool normalized) = 0;
    // Creates the off-screen drawing surface.
    virtual void PrepareSurface() = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Opens the editor window as a child of the host's window; null on failure.
    virtual void* OpenWindow(void* pParent) = 0;
    virtual void CloseWindow() = 0;
};
