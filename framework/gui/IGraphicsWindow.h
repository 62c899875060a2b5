// The editor window: the drawing surface of IGraphicsLice shown in a child
// window of the host's editor window, with its timer, the value prompt (an
// edit box or a popup menu), file and colour dialogs, message boxes,
// opening a web address and the module folders.
//
// One class for every platform. What all platforms share (the timer tick,
// the value-prompt states, menus, the dialogs' rules) is in
// IGraphicsWindow.cpp; the window system itself sits behind the private
// Native* functions below. Each implementation of them is a library of its
// own, and a program links exactly one: tarvo_gui_native, the platform's
// (IGraphicsWindowX11.cpp or IGraphicsWindowWin32.cpp), for the plug-in
// module, or tarvo_gui_offscreen (IGraphicsWindowOffscreen.cpp, see
// OffscreenWindow.h), a window without any window system, for tests and for
// drawing the editor into a file.
//
// Windows note: <windows.h> defines LoadImage as a macro; a platform file
// that includes it must #undef LoadImage before including this header.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "IGraphicsLice.h"

// A popup menu as the window system shows it. Items are numbered from 1 in
// the order FillNativeMenu visits them; choosing an item returns its id.
struct NativeMenuItem {
    int mId = 0;
    std::string mText;
    bool mChecked = false;
    bool mSeparator = false;
    bool mColumnBreak = false;  // starts a new column
    bool mHasSubmenu = false;
    std::vector<NativeMenuItem> mSubmenu;
};

struct NativeMenu {
    std::vector<NativeMenuItem> mItems;
};

class IGraphicsWindow : public IGraphicsLice {
public:
    enum PromptState {
        PromptState_Idle = 0,
        PromptState_Editing = 1,  // the edit box has the focus
        PromptState_Refresh = 2,  // the edit's text follows the value
        PromptState_Cancel = 3,
        PromptState_Commit = 4
    };
    static constexpr int TIMER_ID = 2;
    static constexpr int PROMPT_WIDTH = 36;
    static constexpr int PROMPT_HEIGHT = 16;
    static constexpr int MAX_PROMPT_TEXT = 1000;

    IGraphicsWindow(IParamHost* pParamHost, int width, int height, int frameRate = DEFAULT_FRAME_RATE);
    // Closes the window without sending anything more to the plug-in (the
    // plug-in deletes its editor from its own destructor).
    ~IGraphicsWindow() override;

    // The window's slots of the surface.
    void BlitToWindow(const ControlRect& rect) override;
    void BlitRectsToWindow(const ControlRect* pRects, int count) override;
    bool FillNativeMenu(NativeMenu* pNative, int* pNextId, const PopupMenu& menu) override;
    // Deletes every control, resizes the draw bitmap and grows an open
    // window by the difference. GUI thread, or while the window is closed.
    void Resize(int width, int height) override;
    bool HasWindow() const override;
    void OpenValuePrompt(IControl* pControl, IPlugParam* pParam, bool textMode) override;
    void HostFolder(std::string* pFolder) override;
    void PluginFolder(std::string* pFolder) override;
    EFileDialog ChooseFile(std::string* pPath, int action, const char* folder, const char* extensions,
                           std::string* pProblem = nullptr) override;
    bool ChooseColour(Color* pColor, const char* title) override;
    bool OpenWebAddress(const char* url, const char* title, const char* confirmText, const char* errorText) override;
    // A window open already is closed first (its place is kept). Marks every
    // control changed. Returns the window handle, or null when the window
    // system failed. Host's UI thread.
    void* OpenWindow(void* pParent) override;
    // Ends the GUI thread, destroys the window and the prompt, and applies
    // user values still posted. Host's UI thread; may hold the plug-in lock.
    void CloseWindow() override;
    void* GetWindow() const override;
    void OpenValueMenu(IControl* pControl, IPlugParam* pParam, int rowsPerColumn) override;

    // ---- Entry points for the window system, called on the GUI thread.
    // Each takes the surface lock and the plug-in lock (THREADING in
    // IGraphicsLice.h) and drops the event when the window is closing.

    // The timer: every 1000 / frame rate milliseconds.
    void Tick();
    // An expose or paint event: copies rect of the draw bitmap, which the
    // ticks keep up to date, to the window (BlitToWindow). Takes only the
    // surface lock.
    void HandlePaint(const ControlRect& rect);
    void HandleMouseDown(int x, int y, const MouseMods& mods);
    void HandleMouseUp(int x, int y, const MouseMods& mods);
    // A move with a button held drags, otherwise it is a mouse-over; true
    // when the window should ask to be told when the mouse leaves it.
    bool HandleMouseMove(int x, int y, const MouseMods& mods);
    // True when the double-click became a press (the window then captures
    // the mouse until the release).
    bool HandleMouseDoubleClick(int x, int y, const MouseMods& mods);
    // notches: the wheel delta / 120 (positive away from the user).
    void HandleMouseWheel(int x, int y, const MouseMods& mods, int notches);
    void HandleMouseLeave();
    // key: an EKey (see KeyFromVirtualKey); the position is the cursor's.
    void HandleKeyDown(int x, int y, int key);
    // The prompt's edit box gained or lost the keyboard focus.
    void PromptFocusChanged(bool gained);
    // Enter in the prompt's edit box (the edit swallows it).
    void PromptEnterPressed();

    int GetPromptState() const { return mPromptState; }
    // Whether the prompt's edit box exists.
    bool PromptOpen() const { return mPromptEditExists; }
    IControl* PromptControl() const { return mpPromptControl; }

    // The window system's record of this window (handles, the GUI thread,
    // the edit box, fonts), defined by the implementation of the Native*
    // functions, which alone creates and frees it; null while it has none.
    struct NativeWindow;

private:
    IGraphicsWindow(const IGraphicsWindow&) = delete;
    IGraphicsWindow& operator=(const IGraphicsWindow&) = delete;

    // ---- Shared parts (IGraphicsWindow.cpp)
    void RunPromptStates();
    void CommitPrompt();
    void DestroyPrompt();
    // The popup menu at (x, y) in surface pixels, without the plug-in lock;
    // the chosen id, or 0.
    int TrackMenu(const NativeMenu& menu, int x, int y);
    bool CreateEdit(const ControlRect& rect, const char* text);
    void DestroyEdit();
    void GetEditText(std::string* pText);
    void SetEditText(const char* text);
    bool ShowMessage(const char* text, const char* title, bool yesNo);
    bool InternetConnected();
    bool OpenUrl(const char* url);

    // ---- The window system: one definition per implementation
    // (IGraphicsWindowX11.cpp, IGraphicsWindowWin32.cpp,
    // IGraphicsWindowOffscreen.cpp). What follows describes a platform's;
    // the offscreen one opens with any parent, records what it is asked and
    // answers from its script (OffscreenWindow.h).

    // Frees a record; defined with it.
    struct NativeWindowDeleter {
        void operator()(NativeWindow* pNative) const;
    };

    // Creates a visible child window of pParent with the surface's size at
    // (x, y) in the parent, starts the timer calling Tick() every
    // 1000 / FrameRate() ms on the GUI thread, routes mouse and key input to
    // the Handle* entry points (mouse capture from a press to its release;
    // wheel positions in window pixels) and takes the focus. Expose or paint
    // events go to HandlePaint, which copies from the draw bitmap; they never
    // call Draw.
    // False, with everything undone, on failure.
    bool NativeOpen(void* pParent, int x, int y);
    // Stops the timer and input, ends the GUI thread (if the platform has
    // one), destroys the edit box and the window, and frees mpNative. When
    // it returns no Tick or Handle* call runs or will run. mClosing is set
    // before it is called, so a GUI thread waiting for the plug-in lock
    // gives up.
    void NativeClose();
    void* NativeHandle() const;
    // The window's position in its parent, to reopen it there.
    bool NativePlace(int* pX, int* pY) const;
    // Copies rect of the draw bitmap (PixelBuffer()) to the window. GUI
    // thread, surface lock held.
    void NativeBlit(const ControlRect& rect);
    void NativeBlitRects(const ControlRect* pRects, int count);
    // Grows the window, and its parent and grandparent when they are child
    // windows, by (dw, dh).
    void NativeResize(int dw, int dh);
    // A single-line edit box over rect with the text centred, font "Arial"
    // of height 14, all text selected and the keyboard focus; it calls
    // PromptFocusChanged on focus changes and PromptEnterPressed on Enter.
    bool NativeCreateEdit(const ControlRect& rect, const char* text);
    void NativeDestroyEdit();
    // At most maxLength characters.
    void NativeGetEditText(std::string* pText, int maxLength);
    void NativeSetEditText(const char* text);
    // Shows the menu modally at (x, y) in window pixels; the chosen item's
    // id, or 0 when dismissed. Checked items show a check mark, separators
    // a line, column breaks start a new column.
    int NativeTrackMenu(const NativeMenu& menu, int x, int y);
    // action 1: save dialog (asks before overwriting; the folder must
    // exist); otherwise open dialog (file and folder must exist). *pPath is
    // set when a file was chosen, *pProblem when no dialog could be shown.
    EFileDialog NativeChooseFile(std::string* pPath, int action, const char* folder, const char* extensions,
                                 std::string* pProblem);
    // The full colour chooser starting at *pColor, the title as its caption
    // when given; pCustomColours: 16 0x00BBGGRR entries kept by the surface.
    bool NativeChooseColour(Color* pColor, const char* title, uint32_t* pCustomColours);
    // yesNo: true when answered Yes. Otherwise an OK box; true.
    bool NativeMessageBox(const char* text, const char* title, bool yesNo);
    bool NativeInternetConnected();
    // Opens the address with the system's handler ("open").
    bool NativeOpenUrl(const char* url);

    // The platform window's record is made by NativeOpen and freed by
    // NativeClose (on Windows, by the modal loop still running on it); the
    // offscreen one lives as long as this window.
    std::unique_ptr<NativeWindow, NativeWindowDeleter> mpNative;

    // ---- Fields
    int mPlaceX = 0;
    int mPlaceY = 0;
    int mPromptState = PromptState_Idle;
    bool mPromptEditExists = false;
    IControl* mpPromptControl = nullptr;
    IPlugParam* mpPromptParam = nullptr;
    bool mPromptTextMode = false;
    std::unique_ptr<uint32_t[]> mpCustomColours;
};
