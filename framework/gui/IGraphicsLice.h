// The editor's drawing surface, independent of any window system: the
// ordered list of controls, the off-screen draw bitmap, image loading with
// the process-wide bitmap cache, the drawing primitives the controls use,
// the redraw loop, and the routing of mouse and key input to controls.
// IGraphicsWindow derives from it and adds the window, its timer, the value
// prompt, dialogs and menus.
//
// THREADING
//
// The GUI thread is whichever thread runs the editor: on Linux an event
// thread of the plug-in's own (its 41 ms timer and the window's input), on
// Windows the host's user-interface thread, in tests the thread calling
// IGraphicsWindow::Tick. The host's other threads (audio thread, user
// interface thread on Linux) set parameters, load state and process blocks
// at the same time. Therefore:
//
// 1. Controls are touched only by the GUI thread, holding the surface lock
//    (SurfaceLock). Nothing on the plug-in side touches a control.
//    Exceptions: the set-up before the window first opens (AddControl,
//    AttachEditor's first values), and OpenWindow and CloseWindow, which run
//    while no GUI thread is active (CloseWindow ends it first) and still take
//    the locks.
// 2. ShowParamValue, called by the plug-in side from any thread (the audio
//    thread among them, holding the plug-in lock), never touches a control:
//    it posts the normalised value into a lock-free inbox (one atomic slot
//    per parameter, sized in PrepareSurface; posting never allocates or
//    blocks). The next tick applies pending values with ShowValue, so a
//    host's setParameter reaches its knob within one 41 ms tick. Values
//    shown before PrepareSurface (AttachEditor pushes every parameter first)
//    are applied at once: nothing else runs yet, and so the first value a
//    control receives becomes its double-click default.
// 3. The tick (IGraphicsWindow::Tick): surface lock; then the plug-in lock,
//    taken with a try-lock loop that gives up when the window is closing
//    (a host thread that holds the plug-in lock may be closing the editor
//    and waiting for the GUI thread to end); apply the inbox, the
//    posted user values and the tick handler; the value-prompt states;
//    CollectDirty (observers run: read-outs read parameter values) and
//    PrepareDraw of every dirty control; release the plug-in lock; Draw the
//    dirty rect into the draw bitmap under the surface lock alone; blit.
// 4. Mouse and key input run on the GUI thread under the surface lock and
//    the plug-in lock, the latter again taken with the try-lock loop (an
//    event arriving while the window closes is dropped). A control's
//    MarkChanged (true) then enters the plug-in lock recursively in
//    IParamHost::SetParameterFromGUI and never waits for it. Modal things
//    (file and colour dialogs, popup menus, message boxes) release the
//    plug-in lock while they are open and take it back afterwards; should
//    the window start closing meanwhile, MaySendToPlug turns false and the
//    rest of that input event sends nothing to the plug-in.
// 5. Lock order. The GUI thread holds the surface lock and then takes the
//    plug-in lock, but only ever by trying (once held it re-enters it
//    recursively), so it never waits for the plug-in lock while holding the
//    surface lock. The host's threads (AttachEditor, OpenWindow, CloseWindow)
//    take the plug-in lock first and the surface lock second (HostSection),
//    and only around the controls' state: the window, its thread, fonts and
//    bitmaps are made and destroyed outside the plug-in lock, so that the
//    audio thread never waits for them (effEditOpen and effEditClose come
//    without it, from one thread at a time);
//    they block on the surface lock only while a GUI thread finishes its
//    event, which gives up its wait for the plug-in lock once the window is
//    closing. The two orders therefore cannot deadlock. That holds only for
//    those three, which run while no window is open or while it is closing:
//    any other host-thread wait for the surface lock (while holding the
//    plug-in lock) would wait for a GUI thread that keeps trying the plug-in
//    lock, so other host-side access only ever tries the surface lock. The
//    audio thread never takes the surface lock or the image cache lock.
// 6. The editor layout's own lock-free mailboxes (cell pictures, wall marks,
//    panel changes posted from the audio thread) are drained by the tick
//    handler it registers (SetTickHandler); PostTaskFlags wakes it with
//    flag bits. BoundValue mirrors, per parameter, the value its controls
//    hold, so that a MIDI-mapped value can be compared with it on the audio
//    thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GuiTypes.h"
#include "ParamInbox.h"
#include "framework/plugin/IPlugEditor.h"
#include "framework/plugin/RecursiveLock.h"

class IControl;
class IObserverInterface;
class IParamHost;
class IPlugParam;
class PopupMenu;
class RasterBitmap;
class SystemBitmap;
class MemoryBitmap;
class TextRenderer;
struct NativeMenu;

// Work of the editor layout that runs in every tick on the GUI thread,
// under the surface lock and the plug-in lock, after the inboxes were
// applied and before dirty controls are collected: the place to apply
// whatever the layout's own atomics hold.
class IEditorTickHandler {
public:
    virtual ~IEditorTickHandler() {}
    // taskFlags: the bits posted with PostTaskFlags since the last tick;
    // TASK_WINDOW_OPENED after the window (re)opened.
    virtual void OnEditorTick(uint32_t taskFlags) = 0;
};

// Finds the bytes of a PNG image built into the plug-in module by its
// resource id: true with *ppData and *pSize set (valid while the module is
// loaded), false, with both left alone, for an id the module does not hold.
typedef bool (*PngResourceLookup)(int resourceId, const unsigned char** ppData, size_t* pSize);

// How a file dialog ended.
enum EFileDialog {
    EFileDialog_Chosen = 0,
    EFileDialog_Cancelled,
    // No dialog could be shown: none is installed (Linux), or the system
    // refused to open one.
    EFileDialog_Unavailable
};

class IGraphicsLice : public IPlugEditor {
public:
    static constexpr int DEFAULT_FRAME_RATE = 24;
    // Posted by OpenWindow: the layout should refresh everything it shows.
    static constexpr uint32_t TASK_WINDOW_OPENED = 0x80000000u;

    // A frame rate <= 0 means 24 frames per second.
    IGraphicsLice(IParamHost* pParamHost, int width, int height, int frameRate = DEFAULT_FRAME_RATE);
    // Deletes the controls in reverse order, then the kept observers.
    ~IGraphicsLice() override;

    // Virtual operations, in the framework's slot order ("window" ones are
    // supplied by IGraphicsWindow).
    // Creates the draw bitmap (and the scratch bitmap of rotated drawing)
    // and sizes the inboxes for the plug-in's parameters.
    void PrepareSurface() override;
    // Copies rect of the draw bitmap to the window.
    virtual void BlitToWindow(const ControlRect& rect) = 0;
    // Copies several rects of the draw bitmap to the window, one after the
    // other; a window system may batch them.
    virtual void BlitRectsToWindow(const ControlRect* pRects, int count);
    // The destination rect's size of the image from (srcX, srcY) on, with
    // the blend (null: alpha copy at weight 1).
    virtual bool DrawBitmap(const BitmapRef& bitmap, const ControlRect& dest, int srcX, int srcY,
                            const BlendMode* pBlend);
    // Frame (1-based) of the image turned clockwise by angle degrees about
    // its centre, which lands on (centreX, centreY).
    virtual bool DrawBitmapRotated(const BitmapRef& bitmap, int centreX, int centreY, double angle, int frame,
                                   const BlendMode* pBlend);
    // Three layers composed first and then drawn with the blend, their
    // top-left corner at (x, y): base as it is, mask turned clockwise by
    // angle degrees about the base's centre, top as it is. A layer without
    // image is left out.
    virtual bool DrawRotatedLayers(const BitmapRef& base, const BitmapRef& mask, const BitmapRef& top, int x, int y,
                                   double angle, const BlendMode* pBlend);
    virtual bool DrawPoint(const Color& color, int x, int y, const BlendMode* pBlend);
    // Writes the packed colour as it is, without blending.
    virtual bool WritePixel(const Color& color, int x, int y);
    // Between pixel centres, both ends included.
    virtual bool DrawLine(const Color& color, float x1, float y1, float x2, float y2, const BlendMode* pBlend,
                          bool antialias);
    // Angles in degrees clockwise from the 3 o'clock direction.
    virtual bool DrawArc(const Color& color, float centreX, float centreY, float radius, float startAngle,
                         float endAngle, const BlendMode* pBlend, bool antialias);
    virtual bool DrawCircle(const Color& color, float centreX, float centreY, float radius, const BlendMode* pBlend,
                            bool antialias);
    virtual bool FillArea(const Color& color, const ControlRect& rect, const BlendMode* pBlend);
    // Unclipped in rect, aligned as the style says. The first text drawn on
    // a surface fixes its font (face, size, weight, slant, orientation) for
    // the surface's lifetime; colour and alignment follow every call.
    virtual bool DrawTextInRect(const TextStyle& style, const char* text, const ControlRect& rect);
    // Transparent black (all 0) outside the bitmap.
    virtual Color ReadPixel(int x, int y);
    virtual RasterBitmap* PixelBuffer();
    // Turns a popup menu into the window's menu description: items get
    // consecutive ids from *pNextId on, submenus included.
    virtual bool FillNativeMenu(NativeMenu* pNative, int* pNextId, const PopupMenu& menu) = 0;
    virtual void Resize(int width, int height) = 0;
    virtual bool HasWindow() const = 0;
    virtual void OpenValuePrompt(IControl* pControl, IPlugParam* pParam, bool textMode) = 0;
    virtual void HostFolder(std::string* pFolder) = 0;
    virtual void PluginFolder(std::string* pFolder) = 0;
    // action 1 saves, any other opens; pPath becomes "" unless a file was
    // chosen. EFileDialog_Unavailable: no dialog could be shown, and
    // *pProblem (when given) says what the user can do about it.
    virtual EFileDialog ChooseFile(std::string* pPath, int action, const char* folder, const char* extensions,
                                   std::string* pProblem = nullptr) = 0;
    virtual bool ChooseColour(Color* pColor, const char* title) = 0;
    virtual bool OpenWebAddress(const char* url, const char* title, const char* confirmText, const char* errorText) = 0;
    // OpenWindow and CloseWindow of IPlugEditor come here.
    virtual void* GetWindow() const = 0;
    // The image of a resource through the process-wide cache; decoded on
    // first use. A missing resource is a packaging error (asserted); release
    // builds then get a reference without image, which draws nothing.
    virtual BitmapRef LoadImage(int resourceId, const char* name, int frames = 1);
    // A new image of that size holding the whole image scaled (frames kept),
    // kept in the cache.
    virtual BitmapRef MakeScaledCopy(const BitmapRef& bitmap, int width, int height);
    // A new one-frame image of the rect's region, kept in the cache.
    virtual BitmapRef MakeCroppedCopy(const BitmapRef& bitmap, const ControlRect& rect);
    // The image as control 0, covering the whole surface.
    virtual void AddBackground(int resourceId, const char* name);
    virtual bool DrawVerticalLine(const Color& color, int x, int y1, int y2);
    virtual bool DrawHorizontalLine(const Color& color, int y, int x1, int x2);
    // Hands a bitmap over to the cache, which keeps it until the module is
    // unloaded or DropBitmap deletes it (images of resources are never
    // dropped: other instances share them).
    virtual void KeepBitmap(RasterBitmap* pBitmap);
    virtual bool DropBitmap(RasterBitmap* pBitmap);
    // A popup menu of the parameter's display texts at the mouse position,
    // in columns of at most rowsPerColumn entries.
    virtual void OpenValueMenu(IControl* pControl, IPlugParam* pParam, int rowsPerColumn) = 0;
    // Decodes a PNG resource of this module; null unless name ends in
    // ".png" (any case) and the lookup finds the resource with at least 8
    // bytes.
    virtual RasterBitmap* LoadPngResource(int resourceId, const char* name);

    // How this surface finds the module's images; set while the editor is
    // set up, before the first image loads. Without it no image is found.
    void SetPngResourceLookup(PngResourceLookup lookup) { mPngResourceLookup = lookup; }

    // DrawBitmap of frame (1-based) of the image into dest.
    bool DrawBitmap(const BitmapRef& bitmap, const ControlRect& dest, int frame, const BlendMode* pBlend);

    // Controls. AddControl appends, takes ownership and gives the control
    // this surface (IControl::GetGraphics); returns the index. Controls are
    // added while the editor is set up, before it is shown.
    int AddControl(IControl* pControl);
    int NControls() const { return static_cast<int>(mControls.size()); }
    IControl* GetControl(int index) const;
    // Takes ownership of an observer (a value read-out), deleted with the
    // surface after the controls.
    void KeepObserver(IObserverInterface* pObserver);

    // Any thread (see THREADING, 2).
    void ShowParamValue(int paramIdx, double value, bool normalized) override;
    // Any thread, lock-free: whether some control is bound to the parameter,
    // and the value its bound controls hold (or show from the next tick on).
    bool HasBoundControl(int paramIdx) const;
    double BoundValue(int paramIdx) const;
    // GUI thread: a bound control took a value of its own (user input).
    void NoteBoundValue(int paramIdx, double normalized);
    // Any thread, lock-free: ORs bits into the flags the next tick hands to
    // the tick handler.
    void PostTaskFlags(uint32_t flags);
    // The layout's tick work; null for none. Set while the editor is set up.
    void SetTickHandler(IEditorTickHandler* pHandler) { mpTickHandler = pHandler; }

    void MarkAllControlsChanged();
    // Tells every control's observers, in list order, then grows *pRect by
    // each control that needs drawing and lets it PrepareDraw. True when any
    // control needs drawing. The controls' update rects are kept too.
    bool CollectDirty(ControlRect* pRect);
    // Redraws into the draw bitmap and blits the update rect to the window.
    // Given the rect of the last CollectDirty, only the controls' update
    // rects are redrawn when they cover much less than it (a busy grid
    // changes scattered cells).
    bool Draw(const ControlRect& updateRect);

    // Mouse and key routing, in surface pixels. GUI thread, surface lock
    // held (IGraphicsWindow's Handle* entry points take the locks).
    void OnMouseDown(int x, int y, const MouseMods& mods);
    void OnMouseUp(int x, int y, const MouseMods& mods);
    void OnMouseDrag(int x, int y, const MouseMods& mods);
    // True when mouse-over handling is on (the window then asks to be told
    // when the mouse leaves).
    bool OnMouseOver(int x, int y, const MouseMods& mods);
    // True when the control took the double-click as a press and now holds
    // the capture (the window captures the mouse then).
    bool OnMouseDoubleClick(int x, int y, const MouseMods& mods);
    void OnMouseWheel(int x, int y, const MouseMods& mods, int d);
    void OnMouseOut();
    // True when a control was under the position.
    bool OnKeyDown(int x, int y, int key);

    // The control that would take the mouse at (x, y): the captured one, else
    // the last one that is visible, not grayed and hit; -1 for none.
    int GetMouseControlIdx(int x, int y);
    int CaptureIdx() const { return mCapture; }
    int MouseOverIdx() const { return mMouseOver; }

    int Width() const override { return mWidth; }
    int Height() const override { return mHeight; }
    int FrameRate() const { return mFrameRate; }
    IParamHost* ParamHost() const { return mpParamHost; }
    void SetHandleMouseOver(bool handle) { mHandleMouseOver = handle; }
    void SetDrawOnlyUpdateArea(bool only) { mDrawOnlyUpdateArea = only; }
    const ControlRect& DrawRect() const { return mDrawRect; }

    RecursiveLock& SurfaceLock() { return mSurfaceLock; }
    // False while the GUI thread could not take the plug-in lock back after
    // a modal dialog because the window is closing (see THREADING, 4).
    bool MaySendToPlug() const { return !mPlugLockLost; }

protected:
    // Holds the surface lock and, unless the window is closing, the plug-in
    // lock for a tick or an input event on the GUI thread.
    class GuiSection {
    public:
        explicit GuiSection(IGraphicsLice* pGraphics);
        ~GuiSection();
        // False when no window is open, or the plug-in lock could not be
        // taken because the window is closing: the section must do nothing.
        bool Entered() const { return mEntered; }
        // Releases the plug-in lock before the draw, which needs only the
        // surface lock.
        void LeavePlugLock();

    private:
        GuiSection(const GuiSection&) = delete;
        GuiSection& operator=(const GuiSection&) = delete;
        IGraphicsLice* mpGraphics;
        bool mEntered;
        bool mHoldsPlugLock;
    };

public:
    // Releases the GUI thread's hold on the plug-in lock around a modal
    // dialog or menu, or around work that must not run under it (reading a
    // file the user chose), and takes it back afterwards; should the window
    // start closing meanwhile, MaySendToPlug turns false.
    class ModalSection {
    public:
        explicit ModalSection(IGraphicsLice* pGraphics);
        ~ModalSection();

    private:
        ModalSection(const ModalSection&) = delete;
        ModalSection& operator=(const ModalSection&) = delete;
        IGraphicsLice* mpGraphics;
        int mReleasedDepth;
    };

protected:
    // A host thread's access to the controls: the plug-in lock, then the
    // surface lock (see THREADING, 5).
    class HostSection {
    public:
        explicit HostSection(IGraphicsLice* pGraphics);
        ~HostSection();

    private:
        HostSection(const HostSection&) = delete;
        HostSection& operator=(const HostSection&) = delete;
        IGraphicsLice* mpGraphics;
    };

    // GUI thread: takes the plug-in lock without ever waiting for it; false
    // once the window is closing.
    bool EnterPlugLockFromGui();
    void LeavePlugLockFromGui();
    // GUI thread: what the plug-in side posted since the last tick. Shown
    // values go to ShowValue; then the tick handler runs with the posted
    // task flags.
    void ApplyShownValues();
    void RunTickHandler();
    // Deletes every control and observer and forgets the mouse state.
    void DeleteControls();
    void ResetMouseState();
    // The host gesture of a held control: begun on the press, ended on the
    // release, or by whatever takes the control away (the window closing).
    // Both are called with the plug-in lock held.
    void BeginGesture(int paramIdx);
    void EndGesture();

    // The draw bitmap clipped to the draw rect while Draw runs; the whole
    // bitmap otherwise. (*pOriginX, *pOriginY) is its top-left corner.
    RasterBitmap* Target(int* pOriginX, int* pOriginY);

    std::vector<std::unique_ptr<IControl>> mControls;
    IParamHost* mpParamHost;
    ControlRect mDrawRect;
    int mWidth;
    int mHeight;
    int mFrameRate;
    int mCapture = -1;
    int mMouseOver = -1;
    int mMouseX = -1;
    int mMouseY = -1;
    bool mHandleMouseOver = false;
    bool mDrawOnlyUpdateArea = true;
    bool mRightButtonCapture = false;
    std::unique_ptr<SystemBitmap> mpDrawBitmap;

    // Everything below is this implementation's own.
    std::unique_ptr<MemoryBitmap> mpScratch;
    // While Draw runs: the draw bitmap clipped to the draw rect.
    RasterBitmap* mpTarget = nullptr;
    int mTargetX = 0;
    int mTargetY = 0;
    std::unique_ptr<TextRenderer> mpTextRenderer;
    bool mFontCreated = false;
    TextStyle mFontStyle;
    std::vector<std::unique_ptr<IObserverInterface>> mObservers;
    PngResourceLookup mPngResourceLookup = nullptr;

    RecursiveLock mSurfaceLock;
    ParamInbox mShownValues;
    std::atomic<bool> mInboxReady{false};
    // Per parameter: some control is bound to it, and the value it holds.
    std::unique_ptr<std::atomic<bool>[]> mpBound;
    std::unique_ptr<std::atomic<double>[]> mpBoundValues;
    int mBoundCount = 0;
    std::atomic<uint32_t> mTaskFlags{0};
    IEditorTickHandler* mpTickHandler = nullptr;
    // Set by IGraphicsWindow while its window is open or closing.
    std::atomic<bool> mWindowOpen{false};
    std::atomic<bool> mClosing{false};
    // The GUI thread's own bookkeeping of the plug-in lock.
    int mGuiPlugLockDepth = 0;
    // The parameter whose gesture the host was told began and not yet
    // ended; -1 for none.
    int mGestureParam = -1;
    int mGuiSectionDepth = 0;
    bool mPlugLockLost = false;

private:
    IGraphicsLice(const IGraphicsLice&) = delete;
    IGraphicsLice& operator=(const IGraphicsLice&) = delete;

    // Draws control i if it is not hidden (or always) into the current draw
    // rect.
    bool DrawControl(int index);
    // Draws every visible control that meets rect, clipped to it.
    bool DrawArea(const ControlRect& rect);
    // Keeps a dirty region, merged into one that it meets or nearly meets.
    void AddUpdateRect(const ControlRect& rect);

    static constexpr int MAX_UPDATE_RECTS = 96;
    ControlRect mUpdateRects[MAX_UPDATE_RECTS];
    int mUpdateRectCount = 0;
    bool mUpdateRectsOverflow = false;
    ControlRect mCollectedRect;
    // The raster copy of an image's region into the target.
    bool CopyImage(RasterBitmap& image, const ControlRect& dest, int srcX, int srcY, const BlendMode* pBlend);
};
