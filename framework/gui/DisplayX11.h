// What the parts of the X11 editor window share: the process's X error
// handling for the plug-in's own connections, and the nested event loop
// that modal things (popup menus, dialogs run as child processes) wait in.
//
// Each editor window opens a Display connection of its own, which only its
// event thread uses while the window is open. Xlib's error handler is
// process-wide, and its default ends the process; a host window that goes
// away under the editor must not do that, so errors on the plug-in's own
// connections are caught here and errors on every other connection go on
// to the handler that was installed before.
#pragma once

// Every X11 header of the editor window comes in here.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>

namespace DisplayX11 {

// Starts and stops catching the errors of a connection. The first
// registration installs the plug-in's handler; the last one puts the
// previous handler back (unless someone installed another meanwhile), so
// that no pointer into an unloaded module stays behind.
void RegisterDisplay(Display* pDisplay);
void UnregisterDisplay(Display* pDisplay);

// Records the X errors of one connection on this thread while it lives.
// Requests are asynchronous: call Sync() before asking Failed().
class ErrorTrap {
public:
    explicit ErrorTrap(Display* pDisplay);
    ~ErrorTrap();
    // Waits until the server has handled every request sent so far.
    void Sync();
    bool Failed() const { return mErrorCode != 0; }
    int ErrorCode() const { return mErrorCode; }

private:
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
    friend int HandleError(Display* pDisplay, XErrorEvent* pEvent);

    Display* mpDisplay;
    int mErrorCode = 0;
    ErrorTrap* mpOuter;
};

}  // namespace DisplayX11

// Gets the events a modal thing is interested in while it waits.
class ModalEventSinkX11 {
public:
    virtual ~ModalEventSinkX11() {}
    // An event of the connection that the editor window did not keep for
    // itself (its exposures and the prompt's focus stay with it). True when
    // the sink used it.
    virtual bool TakeEvent(XEvent& event) = 0;
};

// The editor window's event loop, run one round at a time by a modal thing
// from inside an input event: the editor keeps its timer ticking and its
// picture painted, while its own mouse and key input is dropped, as a
// window system does for the owner of a modal dialog.
class ModalLoopX11 {
public:
    virtual ~ModalLoopX11() {}
    // Waits for X events, for data on extraFd (when >= 0) or for the next
    // timer tick, whichever comes first, and handles what came. False once
    // the window is closing: the caller must end what it shows at once.
    virtual bool RunOnce(ModalEventSinkX11* pSink, int extraFd) = 0;
    virtual Display* GetDisplay() const = 0;
    virtual Window EditorWindow() const = 0;
};
