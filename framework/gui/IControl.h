// The base of every element of the editor: a rectangle on the drawing
// surface, optionally bound to one plug-in parameter, holding a normalised
// value (0..1), drawing itself and reacting to the mouse.
//
// Threading: a control is touched only on the editor's GUI thread, under
// the surface lock (see IGraphicsLice.h). Values from the plug-in side
// reach it through the surface's inbox and ShowValue; user changes leave it
// through MarkChanged (true), which calls IParamHost::SetParameterFromGUI.
#pragma once

#include <memory>

#include "GuiTypes.h"
#include "ISubject.h"

class IGraphicsLice;
class IParamHost;
class IPlugParam;
class PopupMenu;

class IControl : public ISubject {
public:
    IControl(IParamHost* pParamHost, const ControlRect& rect, int paramIdx = -1, const BlendMode& blend = BlendMode());

    // Virtual operations, in the framework's slot order.
    ~IControl() override;
    // The right button opens the value prompt; nothing else.
    virtual void MouseDown(int x, int y, const MouseMods& mods);
    virtual void MouseUp(int x, int y, const MouseMods& mods);
    virtual void MouseDrag(int x, int y, int dx, int dy, const MouseMods& mods);
    // Back to the default value, when there is one.
    virtual void MouseDoubleClick(int x, int y, const MouseMods& mods);
    // d notches of 0.01 each, or 0.001 with shift or control held.
    virtual void MouseWheel(int x, int y, const MouseMods& mods, int d);
    virtual void KeyDown(int x, int y, int key);
    virtual void MouseOver(int x, int y, const MouseMods& mods);
    virtual void MouseOut();
    // Draws the control onto the surface; false when something could not
    // be drawn. Runs without the plug-in lock: what a control shows of the
    // plug-in must be taken in PrepareDraw.
    virtual bool Draw(IGraphicsLice* pGraphics) = 0;
    // A value from the plug-in side. The first one becomes the double-click
    // default; later ones equal to the current value change nothing.
    virtual void ShowValue(double value);
    virtual void SetHidden(bool hidden);
    // Grayed controls take no mouse input and draw at a quarter weight.
    virtual void SetGrayed(bool grayed);
    virtual bool HitTest(int x, int y);
    // Clamps the value, marks the control dirty and its observers due and,
    // with toPlug, sends the value to the bound parameter.
    virtual void MarkChanged(bool toPlug);
    virtual void MarkDrawn();
    virtual bool NeedsDraw();
    virtual void ResetToDefault();
    // A menu of the bound parameter's display texts (Enum parameters, and
    // Bool parameters with texts) with the current one checked; otherwise
    // null.
    virtual std::unique_ptr<PopupMenu> MakeValueMenu();
    virtual void ApplyMenuChoice(PopupMenu* pMenu, int itemIndex);
    // Called on the GUI thread for every control that needs drawing, while
    // the surface holds the plug-in lock, right before the redraw: the place
    // to copy whatever the control shows of the plug-in (parameter texts,
    // processor state) so that Draw never reads the plug-in.
    virtual void PrepareDraw() {}
    // The text typed into a value prompt opened in text mode.
    virtual void SetTextFromPrompt(const char* /*text*/) {}
    // The parts of the surface a redraw of this control must cover, at most
    // maxRects of them: its rect, unless it draws only inside smaller
    // regions of it. Returns how many it wrote.
    virtual int UpdateRects(ControlRect* pRects, int maxRects) const
    {
        if (maxRects < 1) return 0;
        pRects[0] = mRect;
        return 1;
    }

    // A value the user chose outside the mouse handlers (value prompt,
    // menus, MIDI map): stored and sent to the plug-in when it differs.
    void TakeUserValue(double value);
    // Asks the editor to open its value prompt for the bound parameter.
    void PromptForValue();

    IParamHost* ParamHost() const { return mpParamHost; }
    int ParamIdx() const { return mParamIdx; }
    // The bound parameter, or null.
    IPlugParam* GetParam() const;
    double Value() const { return mValue; }
    double DefaultValue() const { return mDefaultValue; }
    void SetDefaultValue(double value) { mDefaultValue = value; }
    const ControlRect& GetRect() const { return mRect; }
    const ControlRect& GetTargetRect() const { return mTargetRect; }
    void SetTargetRect(const ControlRect& rect) { mTargetRect = rect; }
    bool IsHidden() const { return mHidden; }
    bool IsGrayed() const { return mGrayed; }
    // low <= high.
    void SetClampRange(double low, double high)
    {
        mClampLow = low;
        mClampHigh = high;
    }
    void SetNoPrompt(bool noPrompt) { mNoPrompt = noPrompt; }
    bool NoPrompt() const { return mNoPrompt; }
    void SetDoubleClickAsPress(bool asPress) { mDoubleClickAsPress = asPress; }
    bool DoubleClickAsPress() const { return mDoubleClickAsPress; }
    const BlendMode& GetBlend() const { return mBlend; }
    bool RedrawPending() const { return mRedrawPending; }

    // The surface the control was added to, or null before that.
    IGraphicsLice* GetGraphics() const { return mpGraphics; }
    // Called by the surface when it takes the control.
    void SetGraphics(IGraphicsLice* pGraphics) { mpGraphics = pGraphics; }

protected:
    IParamHost* mpParamHost;
    IGraphicsLice* mpGraphics = nullptr;
    ControlRect mRect;
    ControlRect mTargetRect;
    int mParamIdx;
    double mValue = 0.0;
    double mDefaultValue = -1.0;
    double mClampLow = 0.0;
    double mClampHigh = 1.0;
    bool mDirty = true;
    bool mHidden = false;
    bool mGrayed = false;
    bool mRedrawPending = false;
    bool mNoPrompt = false;
    bool mDoubleClickAsPress = false;
    BlendMode mBlend;
};

// Frame i (1-based) of an image of n frames showing the value v: 1 below two
// frames, else the nearest of the n steps.
int FrameForValue(double value, int frames);
