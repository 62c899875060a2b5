// The platform seam of "tarvo-host editor": the host's top-level window that
// a plug-in opens its editor in, the input a user would give it and the
// capture of its pixels. One implementation per window system
// (EditorWindowX11.cpp, EditorWindowWin32.cpp); what they share is in
// EditorWindow.cpp and EditorGesture.h.
#pragma once

#include <string>

#include "EditorInput.h"

class RasterBitmap;

// The host's user-interface loop, which input delivery runs between its
// steps so that the plug-in sees them arrive with realistic timing.
class EditorLoop {
public:
    virtual ~EditorLoop() {}
    // Handles window events and idles the editor for that long.
    virtual void RunFor(int milliseconds) = 0;
};

class EditorWindow {
public:
    EditorWindow();
    virtual ~EditorWindow();
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // Creates the window with a client area of that size, shows it and
    // waits (boundedly) until it is mapped and exposed. False with *error
    // when there is no window system to show it on.
    bool Create(int width, int height, const std::string& title, std::string* error);
    // The parent a plug-in gets in effEditOpen: an X11 Window id or an HWND.
    void* ParentHandle() const;
    bool Resize(int width, int height);
    // Handles every pending event of the window system without waiting.
    // On Windows this also runs the plug-in's own windows (same thread).
    void ProcessEvents();
    // Sleeps until the window system has an event for this thread or the
    // time is up.
    void WaitForEvents(int milliseconds);
    // Whether a window was created inside the client area, which is how a
    // plug-in that answers effEditOpen with 0 may still have opened.
    bool HasChildWindow() const;
    // Delivers one mouse or key action through the window system at editor
    // coordinates, running the loop between its steps.
    bool Deliver(const EditorInputAction& action, EditorLoop* loop, std::string* error);
    // The file dialogs answered as "answer" input lines told (Windows).
    int AnsweredDialogs() const;
    // The client area's pixels as the screen shows them, opaque; the bitmap
    // takes the window's size.
    bool Capture(RasterBitmap* bitmap, std::string* error);
    void Destroy();

private:
    struct Platform;
    // The window system's part of Deliver and Capture, called with the
    // window open; Deliver passes on every action but a wait.
    bool DeliverToWindow(const EditorInputAction& action, EditorLoop* loop, std::string* error);
    bool CaptureWindow(RasterBitmap* bitmap, std::string* error);

    Platform* mpPlatform = nullptr;
};

// What must happen before anything else talks to the window system: X11
// must be made thread-safe before the first Xlib call of the process, since
// plug-ins call Xlib from their own threads.
void PrepareWindowSystem();
