// The X11 part of the editor window.
//
// The window is a child of the X window the host passes to effEditOpen.
// Hosts on Linux call effEditIdle rarely or never, so the editor runs on an
// event thread of its own: it owns a Display connection that no other
// thread uses while the window is open (the host's thread opens it and
// creates the window before the thread starts, and frees both after it
// ended), waits with poll() on that connection and on a wake-up pipe, runs
// the timer (Tick every 1000 / frame rate ms) and turns the X events into
// the shared Handle* entry points, which take the locks.
//
// X11 has no double-click event: a press of the same button within 400 ms
// and 4 pixels of the previous press is one. The implicit pointer grab of a
// button press captures the mouse until the release. Modal things (popup
// menus, the desktop's dialogs as child processes) run a nested event loop
// on the same thread that keeps the timer and the painting alive and drops
// the editor's own input, and they end at once when the window closes.
#include "IGraphicsWindow.h"

#include <cassert>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include "DesktopPosix.h"
#include "DisplayX11.h"
#include "EditBoxX11.h"
#include "ImageOutX11.h"
#include "PopupMenuX11.h"
#include "framework/raster/RasterBitmap.h"

namespace {

const unsigned int DOUBLE_CLICK_MS = 400;
const int DOUBLE_CLICK_DISTANCE = 4;
// Events handled in one round before the timer gets its turn, so that a
// flood of motion cannot stop the redraws.
const int EVENTS_PER_ROUND = 200;
const int OPEN_DISPLAY_ATTEMPTS = 3;
const useconds_t OPEN_DISPLAY_PAUSE_US = 20000;

using Clock = std::chrono::steady_clock;

// The Windows virtual-key code of a key, so that keys reach the controls
// as the same key numbers on every platform (KeyFromVirtualKey). Letters
// and digits of the main keyboard give their upper-case and digit codes
// whatever the shift state; the keypad's digits give the numpad codes and
// the function keys theirs, both of which lie in the range 0x60..0x87.
int VirtualKeyFromKeySym(KeySym symbol)
{
    if (symbol >= XK_a && symbol <= XK_z) return 0x41 + static_cast<int>(symbol - XK_a);
    if (symbol >= XK_A && symbol <= XK_Z) return 0x41 + static_cast<int>(symbol - XK_A);
    if (symbol >= XK_0 && symbol <= XK_9) return 0x30 + static_cast<int>(symbol - XK_0);
    if (symbol >= XK_KP_0 && symbol <= XK_KP_9) return 0x60 + static_cast<int>(symbol - XK_KP_0);
    if (symbol >= XK_F1 && symbol <= XK_F24) return 0x70 + static_cast<int>(symbol - XK_F1);
    switch (symbol) {
    case XK_space:
    case XK_KP_Space:
        return 0x20;
    case XK_Left:
    case XK_KP_Left:
        return 0x25;
    case XK_Up:
    case XK_KP_Up:
        return 0x26;
    case XK_Right:
    case XK_KP_Right:
        return 0x27;
    case XK_Down:
    case XK_KP_Down:
        return 0x28;
    case XK_KP_Multiply:
        return 0x6A;
    case XK_KP_Add:
        return 0x6B;
    case XK_KP_Separator:
        return 0x6C;
    case XK_KP_Subtract:
        return 0x6D;
    case XK_KP_Decimal:
        return 0x6E;
    case XK_KP_Divide:
        return 0x6F;
    default:
        return 0;
    }
}

int KeyFromEvent(XKeyEvent& event)
{
    KeySym base = XLookupKeysym(&event, 0);
    KeySym symbol = base;
    // The keypad follows Num Lock, which only the full lookup applies.
    if (IsKeypadKey(base)) {
        char ignored[8];
        XLookupString(&event, ignored, sizeof ignored, &symbol, nullptr);
    }
    int code = VirtualKeyFromKeySym(symbol);
    return code ? KeyFromVirtualKey(code) : EKey_None;
}

// The modifiers as they are after the event: X reports the state before
// it, so a press adds its button and a release removes it.
MouseMods ModsFromState(unsigned int state, unsigned int button, bool pressed)
{
    bool left = (state & Button1Mask) != 0;
    bool right = (state & Button3Mask) != 0;
    if (button == Button1) left = pressed;
    if (button == Button3) right = pressed;
    return MouseMods(left, right, (state & ShiftMask) != 0, (state & ControlMask) != 0, (state & Mod1Mask) != 0);
}

unsigned int ButtonBit(unsigned int button) { return 1u << button; }

// The window whose event thread this is. Xlib connections are not shared
// between threads, so every function that draws or asks the server checks
// it runs there.
thread_local const void* tpEventThreadWindow = nullptr;

}  // namespace

struct IGraphicsWindow::NativeWindow : public ModalLoopX11 {
    explicit NativeWindow(IGraphicsWindow* pGraphics) : mpGraphics(pGraphics) {}
    ~NativeWindow() override { Free(); }

    // Host's thread: the connection and the window, then the event thread.
    bool Open(Window parent, int x, int y);
    bool StartThread();
    // Host's thread: ends the event thread, then frees everything.
    void Close();
    void Free();

    // ModalLoopX11
    bool RunOnce(ModalEventSinkX11* pSink, int extraFd) override;
    Display* GetDisplay() const override { return mpDisplay; }
    Window EditorWindow() const override { return mWindow; }

    static void* ThreadMain(void* pArgument);
    bool OnEventThread() const { return tpEventThreadWindow == this; }
    void RunTimer();
    void Dispatch(XEvent& event, ModalEventSinkX11* pSink);
    bool KeepForWindow(XEvent& event);
    void HandleButtonPress(XButtonEvent& event);
    void HandleButtonRelease(XButtonEvent& event);
    void HandleMotion(XMotionEvent& event);
    void HandleLeave(const XCrossingEvent& event);
    void HandleKey(XKeyEvent& event);
    void HandleEditKey(XKeyEvent& event);
    void HandleEditFocus(const XFocusChangeEvent& event);
    // A release the modal thing took from a press the editor had.
    void NoteModalRelease(const XButtonEvent& event);
    void DeliverPendingRelease();
    void TakeFocus();
    void CancelPrompt();
    bool ToRoot(int x, int y, int* pRootX, int* pRootY);
    bool IsTopLevel(Window window);
    // Runs a desktop program as a dialog and waits for it in the nested
    // loop. False when it could not start or the window closed meanwhile.
    bool RunDialog(const std::vector<std::string>& arguments, std::string* pOutput, int* pExitCode,
                   bool captureOutput = true);
    // RunDialog with the desktop's dialog tool (zenity or kdialog) and the
    // arguments makeArguments(tool, program) gives for it. False as well
    // when the desktop has no such tool.
    template <typename MAKE_ARGUMENTS>
    bool RunDialogTool(MAKE_ARGUMENTS makeArguments, std::string* pOutput, int* pExitCode)
    {
        std::string program;
        DesktopPosix::DialogTool tool = DesktopPosix::FindDialogTool(&program);
        if (tool == DesktopPosix::DialogTool_None) return false;
        return RunDialog(makeArguments(tool, program), pOutput, pExitCode);
    }

    IGraphicsWindow* mpGraphics;
    Display* mpDisplay = nullptr;
    bool mRegistered = false;
    Window mParent = 0;
    Window mWindow = 0;
    Visual* mpVisual = nullptr;
    int mDepth = 0;
    Colormap mColormap = 0;
    bool mOwnColormap = false;
    GC mGc = nullptr;
    Cursor mCursor = 0;
    ImageOutX11 mImageOut;
    int mX = 0;
    int mY = 0;
    int mWidth = 0;
    int mHeight = 0;

    int mWakeFds[2] = {-1, -1};
    pthread_t mThread = pthread_t();
    bool mThreadStarted = false;
    std::atomic<bool> mStopping{false};

    // Event thread only from here on.
    Clock::time_point mNextTick;
    Clock::duration mPeriod = std::chrono::milliseconds(41);
    bool mInTick = false;
    int mModalDepth = 0;
    bool mWindowGone = false;
    ControlRect mExposed;
    unsigned int mButtonsDown = 0;
    bool mReleasePending = false;
    XButtonEvent mPendingRelease = XButtonEvent();
    bool mHaveLastPress = false;
    unsigned int mLastPressButton = 0;
    Time mLastPressTime = 0;
    int mLastPressX = 0;
    int mLastPressY = 0;
    bool mTrackingLeave = false;
    std::unique_ptr<EditBoxX11> mpEdit;
    ControlRect mEditRect;
};

// ---- Opening and closing

bool IGraphicsWindow::NativeWindow::Open(Window parent, int x, int y)
{
    // A server that is busy accepting other clients now and then drops a
    // new connection during its set-up; a moment later it takes it.
    for (int attempt = 0; attempt < OPEN_DISPLAY_ATTEMPTS && !mpDisplay; ++attempt) {
        if (attempt > 0) usleep(OPEN_DISPLAY_PAUSE_US);
        mpDisplay = XOpenDisplay(nullptr);
    }
    if (!mpDisplay) return false;
    DisplayX11::RegisterDisplay(mpDisplay);
    mRegistered = true;
    DisplayX11::ErrorTrap trap(mpDisplay);
    XWindowAttributes parentAttributes;
    if (!XGetWindowAttributes(mpDisplay, parent, &parentAttributes)) return false;
    trap.Sync();
    if (trap.Failed()) return false;
    int screen = XScreenNumberOfScreen(parentAttributes.screen);
    Window root = RootWindow(mpDisplay, screen);
    if (ImageOutX11::CanShow(parentAttributes.visual) && parentAttributes.colormap != None) {
        mpVisual = parentAttributes.visual;
        mDepth = parentAttributes.depth;
        mColormap = parentAttributes.colormap;
    } else {
        // A parent of a palette visual: the child gets a TrueColor visual
        // of its own, when the screen has one.
        XVisualInfo info;
        if (!XMatchVisualInfo(mpDisplay, screen, 24, TrueColor, &info)) return false;
        mpVisual = info.visual;
        mDepth = info.depth;
        mColormap = XCreateColormap(mpDisplay, root, mpVisual, AllocNone);
        mOwnColormap = true;
    }
    mParent = parent;
    mX = x;
    mY = y;
    mWidth = mpGraphics->Width();
    mHeight = mpGraphics->Height();
    if (mWidth <= 0 || mHeight <= 0) return false;

    mCursor = XCreateFontCursor(mpDisplay, XC_left_ptr);
    XSetWindowAttributes attributes = {};
    // No background: the draw bitmap covers every pixel, and clearing first
    // would flicker.
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.colormap = mColormap;
    attributes.bit_gravity = NorthWestGravity;
    attributes.cursor = mCursor;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask |
                            KeyPressMask | FocusChangeMask | StructureNotifyMask;
    mWindow = XCreateWindow(
        mpDisplay, parent, x, y, static_cast<unsigned>(mWidth), static_cast<unsigned>(mHeight), 0, mDepth, InputOutput,
        mpVisual, CWBackPixmap | CWBorderPixel | CWColormap | CWBitGravity | CWCursor | CWEventMask, &attributes);
    if (!mWindow) return false;
    XStoreName(mpDisplay, mWindow, "IPlug");
    mGc = XCreateGC(mpDisplay, mWindow, 0, nullptr);
    if (!mImageOut.Init(mpDisplay, mpVisual, mDepth)) return false;
    XMapWindow(mpDisplay, mWindow);
    trap.Sync();
    if (trap.Failed()) return false;
    if (pipe2(mWakeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        mWakeFds[0] = mWakeFds[1] = -1;
        return false;
    }
    int rate = mpGraphics->FrameRate();
    mPeriod = std::chrono::milliseconds(1000 / (rate > 0 ? rate : DEFAULT_FRAME_RATE));
    return true;
}

bool IGraphicsWindow::NativeWindow::StartThread()
{
    // The host's signals belong to the host's threads.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    int result = pthread_create(&mThread, nullptr, ThreadMain, this);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (result != 0) return false;
    mThreadStarted = true;
    pthread_setname_np(mThread, "tarvo-editor");
    return true;
}

void IGraphicsWindow::NativeWindow::Close()
{
    if (mThreadStarted) {
        // A thread closing its own window would wait for itself forever.
        assert(!OnEventThread());
        mStopping.store(true, std::memory_order_release);
        const char wake = 1;
        while (write(mWakeFds[1], &wake, 1) < 0 && errno == EINTR) {
        }
        pthread_join(mThread, nullptr);
        mThreadStarted = false;
    }
    Free();
}

void IGraphicsWindow::NativeWindow::Free()
{
    if (mpDisplay) {
        mpEdit.reset();
        mImageOut.Release();
        if (mGc) XFreeGC(mpDisplay, mGc);
        // The host destroyed its window first, and ours with it.
        if (mWindow && !mWindowGone) XDestroyWindow(mpDisplay, mWindow);
        if (mCursor) XFreeCursor(mpDisplay, mCursor);
        if (mOwnColormap) XFreeColormap(mpDisplay, mColormap);
        XCloseDisplay(mpDisplay);
        if (mRegistered) DisplayX11::UnregisterDisplay(mpDisplay);
    }
    mpDisplay = nullptr;
    mRegistered = false;
    mGc = nullptr;
    mWindow = 0;
    mCursor = 0;
    mOwnColormap = false;
    for (int& fd : mWakeFds) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

// ---- The event loop

void* IGraphicsWindow::NativeWindow::ThreadMain(void* pArgument)
{
    NativeWindow* pWindow = static_cast<NativeWindow*>(pArgument);
    tpEventThreadWindow = pWindow;
    pWindow->mNextTick = Clock::now() + pWindow->mPeriod;
    while (pWindow->RunOnce(nullptr, -1)) {
    }
    return nullptr;
}

bool IGraphicsWindow::NativeWindow::RunOnce(ModalEventSinkX11* pSink, int extraFd)
{
    if (mStopping.load(std::memory_order_acquire)) return false;
    XFlush(mpDisplay);
    int timeout = 0;
    if (XEventsQueued(mpDisplay, QueuedAlready) == 0) {
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(mNextTick - Clock::now()).count();
        timeout = wait > 0 ? static_cast<int>(wait) + 1 : 0;
    }
    pollfd fds[3];
    fds[0] = pollfd{ConnectionNumber(mpDisplay), POLLIN, 0};
    fds[1] = pollfd{mWakeFds[0], POLLIN, 0};
    fds[2] = pollfd{extraFd, POLLIN, 0};
    if (timeout > 0) poll(fds, extraFd >= 0 ? 3 : 2, timeout);
    if (mStopping.load(std::memory_order_acquire)) return false;
    if (fds[1].revents & POLLIN) {
        char drained[16];
        while (read(mWakeFds[0], drained, sizeof drained) > 0) {
        }
    }
    for (int handled = 0; handled < EVENTS_PER_ROUND && XPending(mpDisplay) > 0; ++handled) {
        XEvent event;
        XNextEvent(mpDisplay, &event);
        Dispatch(event, pSink);
        if (mStopping.load(std::memory_order_acquire)) return false;
    }
    if (Clock::now() >= mNextTick) RunTimer();
    return !mStopping.load(std::memory_order_acquire);
}

void IGraphicsWindow::NativeWindow::RunTimer()
{
    Clock::time_point now = Clock::now();
    mNextTick += mPeriod;
    // After a long stall (a debugger, a suspended machine) the timer starts
    // afresh instead of catching up.
    if (mNextTick <= now) mNextTick = now + mPeriod;
    if (mInTick) return;
    mInTick = true;
    mpGraphics->Tick();
    mInTick = false;
}

bool IGraphicsWindow::NativeWindow::KeepForWindow(XEvent& event)
{
    Window window = event.xany.window;
    Window edit = mpEdit ? mpEdit->GetWindow() : 0;
    switch (event.type) {
    case Expose:
        if (window == mWindow) {
            const XExposeEvent& expose = event.xexpose;
            mExposed =
                mExposed.Union(ControlRect(expose.x, expose.y, expose.x + expose.width, expose.y + expose.height));
            if (expose.count == 0 && !mExposed.Empty()) {
                ControlRect rect = mExposed;
                mExposed = ControlRect();
                mpGraphics->HandlePaint(rect);
            }
            return true;
        }
        if (edit && window == edit) {
            if (event.xexpose.count == 0) mpEdit->Paint();
            return true;
        }
        return false;
    case FocusIn:
    case FocusOut:
        if (edit && window == edit) {
            HandleEditFocus(event.xfocus);
            return true;
        }
        return window == mWindow;
    case MapNotify:
        if (window != mWindow) return false;
        TakeFocus();
        return true;
    case DestroyNotify:
        if (event.xdestroywindow.window != mWindow) return false;
        mWindowGone = true;
        return true;
    case UnmapNotify:
    case ConfigureNotify:
    case ReparentNotify:
    case GravityNotify:
        return window == mWindow;
    default:
        return false;
    }
}

void IGraphicsWindow::NativeWindow::Dispatch(XEvent& event, ModalEventSinkX11* pSink)
{
    bool modal = mModalDepth > 0;
    if (modal && event.type == ButtonRelease) NoteModalRelease(event.xbutton);
    if (KeepForWindow(event)) return;
    if (pSink && pSink->TakeEvent(event)) return;
    // The editor's own input waits until the modal thing is over.
    if (modal) return;
    Window window = event.xany.window;
    Window edit = mpEdit ? mpEdit->GetWindow() : 0;
    switch (event.type) {
    case ButtonPress:
        if (window == mWindow) {
            HandleButtonPress(event.xbutton);
        } else if (edit && window == edit) {
            if (!mpEdit->HasFocus()) mpEdit->TakeFocus();
            mpEdit->HandleButton(event.xbutton);
        }
        break;
    case ButtonRelease:
        if (window == mWindow) HandleButtonRelease(event.xbutton);
        break;
    case MotionNotify:
        if (window == mWindow) HandleMotion(event.xmotion);
        break;
    case LeaveNotify:
        if (window == mWindow) HandleLeave(event.xcrossing);
        break;
    case KeyPress:
        if (edit && window == edit && mpEdit->HasFocus()) {
            HandleEditKey(event.xkey);
        } else if (edit && window == edit) {
            // The focus is on the editor and the pointer over the box.
            event.xkey.x += mEditRect.mLeft;
            event.xkey.y += mEditRect.mTop;
            HandleKey(event.xkey);
        } else if (window == mWindow) {
            HandleKey(event.xkey);
        }
        break;
    default:
        break;
    }
    if (mModalDepth == 0) DeliverPendingRelease();
}

// ---- Input

void IGraphicsWindow::NativeWindow::TakeFocus()
{
    if (!mWindowGone) XSetInputFocus(mpDisplay, mWindow, RevertToParent, CurrentTime);
}

void IGraphicsWindow::NativeWindow::HandleButtonPress(XButtonEvent& event)
{
    switch (event.button) {
    case Button4:
    case Button5:
        // One notch per press; the releases mean nothing.
        mpGraphics->HandleMouseWheel(event.x, event.y, ModsFromState(event.state, 0, false),
                                     event.button == Button4 ? 1 : -1);
        return;
    case Button1:
    case Button3:
        break;
    default:
        // The middle button and the horizontal wheel (6, 7) do nothing.
        return;
    }
    // A click takes the keyboard focus from the prompt's box too, which
    // then reports it lost.
    TakeFocus();
    MouseMods mods = ModsFromState(event.state, event.button, true);
    int dx = event.x - mLastPressX, dy = event.y - mLastPressY;
    bool doubleClick = mHaveLastPress && event.button == mLastPressButton &&
                       static_cast<uint32_t>(event.time - mLastPressTime) <= DOUBLE_CLICK_MS &&
                       dx <= DOUBLE_CLICK_DISTANCE && dx >= -DOUBLE_CLICK_DISTANCE && dy <= DOUBLE_CLICK_DISTANCE &&
                       dy >= -DOUBLE_CLICK_DISTANCE;
    mButtonsDown |= ButtonBit(event.button);
    if (doubleClick) {
        // A third press starts counting afresh.
        mHaveLastPress = false;
        mpGraphics->HandleMouseDoubleClick(event.x, event.y, mods);
        return;
    }
    mHaveLastPress = true;
    mLastPressButton = event.button;
    mLastPressTime = event.time;
    mLastPressX = event.x;
    mLastPressY = event.y;
    mpGraphics->HandleMouseDown(event.x, event.y, mods);
}

void IGraphicsWindow::NativeWindow::HandleButtonRelease(XButtonEvent& event)
{
    if (event.button != Button1 && event.button != Button3) return;
    // A release whose press went elsewhere (it dismissed a menu) would end
    // a gesture that never began.
    if (!(mButtonsDown & ButtonBit(event.button))) return;
    mButtonsDown &= ~ButtonBit(event.button);
    mpGraphics->HandleMouseUp(event.x, event.y, ModsFromState(event.state, event.button, false));
}

void IGraphicsWindow::NativeWindow::NoteModalRelease(const XButtonEvent& event)
{
    if (!(mButtonsDown & ButtonBit(event.button))) return;
    mButtonsDown &= ~ButtonBit(event.button);
    mPendingRelease = event;
    if (event.window != mWindow) {
        // A menu's grab took it: its position in editor pixels.
        int originX = 0, originY = 0;
        if (ToRoot(0, 0, &originX, &originY)) {
            mPendingRelease.x = event.x_root - originX;
            mPendingRelease.y = event.y_root - originY;
        }
    }
    mReleasePending = true;
}

void IGraphicsWindow::NativeWindow::DeliverPendingRelease()
{
    // The press that opened a menu or a dialog still gets its release, so
    // the control's gesture ends.
    if (!mReleasePending) return;
    mReleasePending = false;
    mpGraphics->HandleMouseUp(mPendingRelease.x, mPendingRelease.y,
                              ModsFromState(mPendingRelease.state, mPendingRelease.button, false));
}

void IGraphicsWindow::NativeWindow::HandleMotion(XMotionEvent& event)
{
    // Only the newest of the moves queued right behind it matters; a move
    // after a release or a press stays where it is.
    while (XEventsQueued(mpDisplay, QueuedAlready) > 0) {
        XEvent next;
        XPeekEvent(mpDisplay, &next);
        if (next.type != MotionNotify || next.xmotion.window != mWindow) break;
        XNextEvent(mpDisplay, &next);
        event = next.xmotion;
    }
    if (mpGraphics->HandleMouseMove(event.x, event.y, ModsFromState(event.state, 0, false))) mTrackingLeave = true;
}

void IGraphicsWindow::NativeWindow::HandleLeave(const XCrossingEvent& event)
{
    // Into the prompt's box is no leaving; neither is a grab that another
    // window (a menu) takes, nor moving out while a press holds the mouse.
    if (event.detail == NotifyInferior || event.mode == NotifyGrab) return;
    if (event.mode == NotifyNormal && (mButtonsDown & (ButtonBit(Button1) | ButtonBit(Button3)))) return;
    if (!mTrackingLeave) return;
    mTrackingLeave = false;
    mpGraphics->HandleMouseLeave();
}

void IGraphicsWindow::NativeWindow::HandleKey(XKeyEvent& event)
{
    int key = KeyFromEvent(event);
    if (key != EKey_None) mpGraphics->HandleKeyDown(event.x, event.y, key);
}

void IGraphicsWindow::NativeWindow::HandleEditKey(XKeyEvent& event)
{
    switch (mpEdit->HandleKey(event)) {
    case EditBoxX11::KeyResult_Enter:
        mpGraphics->PromptEnterPressed();
        break;
    case EditBoxX11::KeyResult_Escape:
        CancelPrompt();
        break;
    default:
        break;
    }
}

void IGraphicsWindow::NativeWindow::CancelPrompt()
{
    ScopedLock lock(mpGraphics->mSurfaceLock);
    if (mpGraphics->mPromptEditExists) mpGraphics->mPromptState = PromptState_Cancel;
}

void IGraphicsWindow::NativeWindow::HandleEditFocus(const XFocusChangeEvent& event)
{
    // A grab (a menu's) moves no focus; pointer-focus details are about
    // other windows.
    if (event.mode == NotifyGrab || event.mode == NotifyUngrab) return;
    if (event.detail == NotifyPointer || event.detail == NotifyInferior) return;
    bool gained = event.type == FocusIn;
    if (gained == mpEdit->HasFocus()) return;
    mpEdit->HandleFocus(gained);
    mpGraphics->PromptFocusChanged(gained);
}

bool IGraphicsWindow::NativeWindow::ToRoot(int x, int y, int* pRootX, int* pRootY)
{
    Window child = 0;
    Window root = DefaultRootWindow(mpDisplay);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(mpDisplay, mWindow, &attributes)) root = attributes.root;
    return XTranslateCoordinates(mpDisplay, mWindow, root, x, y, pRootX, pRootY, &child) == True;
}

bool IGraphicsWindow::NativeWindow::IsTopLevel(Window window)
{
    Window root = 0, parent = 0;
    Window* pChildren = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(mpDisplay, window, &root, &parent, &pChildren, &count)) return true;
    if (pChildren) XFree(pChildren);
    if (parent == root) return true;
    // A window manager's frame holds the top-level window, which carries
    // WM_STATE.
    Atom wmState = XInternAtom(mpDisplay, "WM_STATE", True);
    if (wmState == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* pData = nullptr;
    bool found = XGetWindowProperty(mpDisplay, window, wmState, 0, 0, False, AnyPropertyType, &type, &format, &items,
                                    &remaining, &pData) == Success &&
                 type != None;
    if (pData) XFree(pData);
    return found;
}

bool IGraphicsWindow::NativeWindow::RunDialog(const std::vector<std::string>& arguments, std::string* pOutput,
                                              int* pExitCode, bool captureOutput)
{
    DesktopPosix::ChildProcess child;
    if (!child.Start(arguments, captureOutput)) return false;
    ++mModalDepth;
    bool finished = true;
    int exitCode = -1;
    for (;;) {
        child.ReadOutput();
        if (child.OutputFd() < 0 && child.Finished(&exitCode)) break;
        // Ends the dialog with the window: the child goes by its pid.
        if (!RunOnce(nullptr, child.OutputFd())) {
            child.Kill();
            finished = false;
            break;
        }
    }
    --mModalDepth;
    *pOutput = child.Output();
    *pExitCode = exitCode;
    return finished;
}

// ---- The platform functions of IGraphicsWindow

bool IGraphicsWindow::NativeOpen(void* pParent, int x, int y)
{
    if (mpNative) NativeClose();
    Window parent = static_cast<Window>(reinterpret_cast<uintptr_t>(pParent));
    if (!parent) return false;
    std::unique_ptr<NativeWindow> pNative(new NativeWindow(this));
    if (!pNative->Open(parent, x, y)) return false;
    // Set before the thread starts: its first blit looks for it.
    mpNative.reset(pNative.release());
    if (!mpNative->StartThread()) {
        mpNative.reset();
        return false;
    }
    return true;
}

void IGraphicsWindow::NativeClose()
{
    if (!mpNative) return;
    mpNative->Close();
    mpNative.reset();
}

void IGraphicsWindow::NativeWindowDeleter::operator()(NativeWindow* pNative) const { delete pNative; }

void* IGraphicsWindow::NativeHandle() const
{
    return mpNative ? reinterpret_cast<void*>(static_cast<uintptr_t>(mpNative->mWindow)) : nullptr;
}

bool IGraphicsWindow::NativePlace(int* pX, int* pY) const
{
    // The window never moves itself inside its parent.
    if (!mpNative) return false;
    *pX = mpNative->mX;
    *pY = mpNative->mY;
    return true;
}

void IGraphicsWindow::NativeBlit(const ControlRect& rect)
{
    if (!mpNative || !mpNative->OnEventThread() || mpNative->mWindowGone) return;
    RasterBitmap* pBitmap = PixelBuffer();
    if (!pBitmap) return;
    mpNative->mImageOut.Put(mpNative->mWindow, mpNative->mGc, *pBitmap, rect.mLeft, rect.mTop, rect.mRight,
                            rect.mBottom);
}

void IGraphicsWindow::NativeBlitRects(const ControlRect* pRects, int count)
{
    if (!mpNative || !mpNative->OnEventThread() || mpNative->mWindowGone) return;
    RasterBitmap* pBitmap = PixelBuffer();
    if (!pBitmap) return;
    for (int i = 0; i < count; ++i) {
        const ControlRect& rect = pRects[i];
        mpNative->mImageOut.Put(mpNative->mWindow, mpNative->mGc, *pBitmap, rect.mLeft, rect.mTop, rect.mRight,
                                rect.mBottom, false);
    }
    mpNative->mImageOut.WaitForServer();
}

void IGraphicsWindow::NativeResize(int dw, int dh)
{
    NativeWindow* pNative = mpNative.get();
    if (!pNative || !pNative->OnEventThread() || pNative->mWindowGone) return;
    Display* pDisplay = pNative->mpDisplay;
    DisplayX11::ErrorTrap trap(pDisplay);
    pNative->mWidth += dw;
    pNative->mHeight += dh;
    if (pNative->mWidth > 0 && pNative->mHeight > 0) {
        XResizeWindow(pDisplay, pNative->mWindow, static_cast<unsigned>(pNative->mWidth),
                      static_cast<unsigned>(pNative->mHeight));
    }
    // The host's own child windows grow with the editor; a top-level window
    // is the host's to size.
    Window window = pNative->mParent;
    for (int generation = 0; generation < 2 && window && !pNative->IsTopLevel(window); ++generation) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(pDisplay, window, &attributes)) break;
        int width = attributes.width + dw, height = attributes.height + dh;
        if (width > 0 && height > 0) {
            XResizeWindow(pDisplay, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
        }
        Window root = 0, parent = 0;
        Window* pChildren = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(pDisplay, window, &root, &parent, &pChildren, &count)) break;
        if (pChildren) XFree(pChildren);
        window = parent;
    }
}

bool IGraphicsWindow::NativeCreateEdit(const ControlRect& rect, const char* text)
{
    NativeWindow* pNative = mpNative.get();
    if (!pNative || !pNative->OnEventThread() || pNative->mWindowGone) return false;
    std::unique_ptr<EditBoxX11> pEdit(new EditBoxX11(MAX_PROMPT_TEXT - 1));
    if (!pEdit->Create(pNative->mpDisplay, pNative->mWindow, pNative->mpVisual, pNative->mDepth, pNative->mColormap,
                       rect, text)) {
        return false;
    }
    pNative->mpEdit = std::move(pEdit);
    pNative->mEditRect = rect;
    pNative->mpEdit->TakeFocus();
    XFlush(pNative->mpDisplay);
    return true;
}

void IGraphicsWindow::NativeDestroyEdit()
{
    NativeWindow* pNative = mpNative.get();
    if (!pNative || !pNative->mpEdit || !pNative->OnEventThread()) return;
    bool hadFocus = pNative->mpEdit->HasFocus();
    pNative->mpEdit.reset();
    // The keys go back to the editor.
    if (hadFocus) pNative->TakeFocus();
    XFlush(pNative->mpDisplay);
}

void IGraphicsWindow::NativeGetEditText(std::string* pText, int maxLength)
{
    pText->clear();
    if (mpNative && mpNative->mpEdit && mpNative->OnEventThread()) *pText = mpNative->mpEdit->Text(maxLength);
}

void IGraphicsWindow::NativeSetEditText(const char* text)
{
    if (mpNative && mpNative->mpEdit && mpNative->OnEventThread()) mpNative->mpEdit->SetText(text);
}

int IGraphicsWindow::NativeTrackMenu(const NativeMenu& menu, int x, int y)
{
    NativeWindow* pNative = mpNative.get();
    if (!pNative || !pNative->OnEventThread() || pNative->mWindowGone) return 0;
    int rootX = 0, rootY = 0;
    if (!pNative->ToRoot(x, y, &rootX, &rootY)) return 0;
    ++pNative->mModalDepth;
    int chosen = 0;
    {
        PopupMenuX11 popup(pNative);
        chosen = popup.Track(menu, rootX, rootY);
    }
    --pNative->mModalDepth;
    return chosen;
}

EFileDialog IGraphicsWindow::NativeChooseFile(std::string* pPath, int action, const char* folder,
                                              const char* extensions, std::string* pProblem)
{
    if (!mpNative || !mpNative->OnEventThread()) return EFileDialog_Cancelled;
    std::string program;
    DesktopPosix::DialogTool tool = DesktopPosix::FindDialogTool(&program);
    if (tool == DesktopPosix::DialogTool_None) {
        // Saying so beats a button that does nothing.
        *pProblem = DesktopPosix::NO_DIALOG_TOOL_ADVICE;
        return EFileDialog_Unavailable;
    }
    std::string output;
    int exitCode = -1;
    std::vector<std::string> arguments =
        DesktopPosix::FileDialogArguments(tool, program, action, folder ? folder : "", extensions ? extensions : "");
    if (!mpNative->RunDialog(arguments, &output, &exitCode)) return EFileDialog_Cancelled;
    // -1: the host reaped the child itself; its answer is in the output.
    if (exitCode != 0 && exitCode != -1) return EFileDialog_Cancelled;
    return DesktopPosix::ParseFileAnswer(output, pPath) ? EFileDialog_Chosen : EFileDialog_Cancelled;
}

bool IGraphicsWindow::NativeChooseColour(Color* pColor, const char* title, uint32_t* /*pCustomColours*/)
{
    if (!mpNative || !mpNative->OnEventThread()) return false;
    std::string output;
    int exitCode = -1;
    auto arguments = [&](DesktopPosix::DialogTool tool, const std::string& program) {
        return DesktopPosix::ColourDialogArguments(tool, program, *pColor, title);
    };
    if (!mpNative->RunDialogTool(arguments, &output, &exitCode)) return false;
    if (exitCode != 0 && exitCode != -1) return false;
    return DesktopPosix::ParseColourAnswer(output, pColor);
}

bool IGraphicsWindow::NativeMessageBox(const char* text, const char* title, bool yesNo)
{
    if (!mpNative || !mpNative->OnEventThread()) return false;
    std::string output;
    int exitCode = -1;
    auto arguments = [&](DesktopPosix::DialogTool tool, const std::string& program) {
        return DesktopPosix::MessageBoxArguments(tool, program, text, title, yesNo);
    };
    // Nothing to show it with: a question counts as answered No.
    if (!mpNative->RunDialogTool(arguments, &output, &exitCode)) return false;
    return yesNo ? exitCode == 0 : true;
}

bool IGraphicsWindow::NativeInternetConnected() { return DesktopPosix::InternetConnected(); }

bool IGraphicsWindow::NativeOpenUrl(const char* url)
{
    // An address that looks like an option would be read as one.
    if (!url || !url[0] || url[0] == '-') return false;
    if (!mpNative || !mpNative->OnEventThread()) return false;
    std::string program = DesktopPosix::FindProgram("xdg-open");
    if (program.empty()) return false;
    std::string output;
    int exitCode = -1;
    // The browser that xdg-open starts outlives it: only its exit is awaited.
    if (!mpNative->RunDialog({program, url}, &output, &exitCode, false)) return false;
    return exitCode == 0 || exitCode == -1;
}
