// The editor window on X11. The plug-in gets the id of a top-level window
// of ours and creates its child in it through a Display connection of its
// own; input comes through the XTEST extension on a third connection, so
// that it reaches the plug-in exactly as a user's would: the server moves
// the real pointer and picks the window under it.
#include "EditorWindow.h"

#include <poll.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "EditorGesture.h"
#include "session/HostText.h"
#include "framework/raster/RasterBitmap.h"
#include "framework/raster/RasterColor.h"

namespace {
// How long a new window may take to be mapped and exposed.
const int MAP_TIMEOUT_MS = 5000;
const int OPEN_DISPLAY_ATTEMPTS = 5;
const useconds_t OPEN_DISPLAY_PAUSE_US = 50000;
const unsigned int WHEEL_UP_BUTTON = 4;
const unsigned int WHEEL_DOWN_BUTTON = 5;

int HandleXError(Display*, XErrorEvent*)
{
    // A plug-in's window may vanish between a query and its answer; an
    // error is no reason to end the process as Xlib's default handler does.
    return 0;
}

void Sleep(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// Bit position and width of a colour mask of a TrueColor visual.
void MaskShape(unsigned long mask, int* shift, int* bits)
{
    *shift = 0;
    *bits = 0;
    if (!mask) return;
    while (!(mask & 1)) {
        mask >>= 1;
        ++*shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++*bits;
    }
}

uint32_t Channel(unsigned long pixel, int shift, int bits)
{
    if (bits <= 0) return 0;
    unsigned long value = (pixel >> shift) & ((1ul << bits) - 1);
    if (bits >= 8) return uint32_t(value >> (bits - 8));
    return uint32_t(value * 255 / ((1ul << bits) - 1));
}

KeySym KeySymFor(EEditorKey key, char character)
{
    switch (key) {
    case EEditorKey_Character:
        if (character >= '0' && character <= '9') return XK_0 + KeySym(character - '0');
        return XK_a + KeySym(character - 'a');
    case EEditorKey_Space:
        return XK_space;
    case EEditorKey_Up:
        return XK_Up;
    case EEditorKey_Down:
        return XK_Down;
    case EEditorKey_Left:
        return XK_Left;
    case EEditorKey_Right:
        return XK_Right;
    case EEditorKey_Return:
        return XK_Return;
    case EEditorKey_Escape:
        return XK_Escape;
    case EEditorKey_BackSpace:
        return XK_BackSpace;
    case EEditorKey_Minus:
        return XK_minus;
    case EEditorKey_Period:
        return XK_period;
    }
    return NoSymbol;
}
}  // namespace

struct EditorWindow::Platform {
    Display* display = nullptr;       // the window, its events, captures
    Display* inputDisplay = nullptr;  // XTEST requests
    Window window = 0;
    int width = 0;
    int height = 0;

    bool OpenInput(std::string* error);
    void SetSizeHints();
    bool MovePointer(int x, int y, EditorLoop* loop, std::string* error);
    bool Button(unsigned int button, bool press, std::string* error);
    bool Key(KeySym symbol, bool press, std::string* error);
    bool Modifiers(int modifiers, bool press, std::string* error);
    bool Click(const EditorInputAction& action, EditorLoop* loop, std::string* error);
    bool Drag(const EditorInputAction& action, EditorLoop* loop, std::string* error);
    bool Hold(const EditorInputAction& action, EditorLoop* loop, std::string* error);
    // The button a hold keeps down; 0 for none.
    unsigned int heldButton = 0;
    bool Wheel(const EditorInputAction& action, EditorLoop* loop, std::string* error);
};

void PrepareWindowSystem()
{
    XInitThreads();
    XSetErrorHandler(HandleXError);
}

bool EditorWindow::Create(int width, int height, const std::string& title, std::string* error)
{
    Destroy();
    // A server busy accepting other clients (the plug-in's own connections
    // among them) now and then drops a new connection during its set-up; a
    // moment later it takes it.
    Display* display = nullptr;
    for (int attempt = 0; attempt < OPEN_DISPLAY_ATTEMPTS && !display; ++attempt) {
        if (attempt > 0) usleep(OPEN_DISPLAY_PAUSE_US);
        display = XOpenDisplay(nullptr);
    }
    if (!display) {
        const char* name = XDisplayName(nullptr);
        *error = std::string("cannot open the X display '") + (name ? name : "") +
                 "' (the editor needs an X server, e.g. xvfb-run)";
        return false;
    }
    mpPlatform = new Platform;
    mpPlatform->display = display;
    mpPlatform->width = width;
    mpPlatform->height = height;

    int screen = DefaultScreen(display);
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = StructureNotifyMask | ExposureMask;
    mpPlatform->window =
        XCreateWindow(display, RootWindow(display, screen), 0, 0, unsigned(width), unsigned(height), 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    mpPlatform->SetSizeHints();
    XStoreName(display, mpPlatform->window, title.c_str());
    // With a window manager, closing the window must not cut the host's
    // connection while the plug-in still draws into it.
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, mpPlatform->window, &deleteWindow, 1);
    XMapRaised(display, mpPlatform->window);
    XFlush(display);

    // The plug-in's child must go into a window that is already viewable.
    bool mapped = false;
    bool exposed = false;
    for (int waited = 0; waited < MAP_TIMEOUT_MS && !(mapped && exposed); waited += 5) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.window == mpPlatform->window) mapped = true;
            if (event.type == Expose && event.xexpose.window == mpPlatform->window) exposed = true;
        }
        if (!(mapped && exposed)) Sleep(5);
    }
    if (!mapped) {
        *error = "the X server did not map the editor window within 5 s";
        Destroy();
        return false;
    }
    XSync(display, False);
    return true;
}

void EditorWindow::Platform::SetSizeHints()
{
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    hints->flags = PPosition | PMinSize | PMaxSize;
    hints->x = 0;
    hints->y = 0;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
}

void* EditorWindow::ParentHandle() const
{
    if (!mpPlatform) return nullptr;
    return reinterpret_cast<void*>(static_cast<uintptr_t>(mpPlatform->window));
}

bool EditorWindow::Resize(int width, int height)
{
    if (!mpPlatform) return false;
    mpPlatform->width = width;
    mpPlatform->height = height;
    mpPlatform->SetSizeHints();
    XResizeWindow(mpPlatform->display, mpPlatform->window, unsigned(width), unsigned(height));
    XSync(mpPlatform->display, False);
    return true;
}

void EditorWindow::ProcessEvents()
{
    if (!mpPlatform) return;
    // The plug-in handles its own window's events on its own connection;
    // ours only carries the top-level window's, which need no answer.
    while (XPending(mpPlatform->display)) {
        XEvent event;
        XNextEvent(mpPlatform->display, &event);
    }
}

void EditorWindow::WaitForEvents(int milliseconds)
{
    if (milliseconds <= 0) return;
    if (!mpPlatform) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return;
    }
    if (XPending(mpPlatform->display)) return;
    pollfd connection = {ConnectionNumber(mpPlatform->display), POLLIN, 0};
    poll(&connection, 1, milliseconds);
}

bool EditorWindow::HasChildWindow() const
{
    if (!mpPlatform) return false;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(mpPlatform->display, mpPlatform->window, &root, &parent, &children, &count)) return false;
    if (children) XFree(children);
    return count > 0;
}

bool EditorWindow::Platform::OpenInput(std::string* error)
{
    if (inputDisplay) return true;
    for (int attempt = 0; attempt < OPEN_DISPLAY_ATTEMPTS && !inputDisplay; ++attempt) {
        if (attempt > 0) usleep(OPEN_DISPLAY_PAUSE_US);
        inputDisplay = XOpenDisplay(DisplayString(display));
    }
    if (!inputDisplay) {
        *error = "cannot open a second connection to the X display for input";
        return false;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(inputDisplay, &eventBase, &errorBase, &major, &minor)) {
        *error = "the X server has no XTEST extension, so no input can be delivered";
        return false;
    }
    return true;
}

bool EditorWindow::Platform::MovePointer(int x, int y, EditorLoop* loop, std::string* error)
{
    Window root = DefaultRootWindow(display);
    int rootX = 0, rootY = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, window, root, x, y, &rootX, &rootY, &child)) {
        *error = "cannot place editor point " + std::to_string(x) + "," + std::to_string(y) + " on the screen";
        return false;
    }
    XTestFakeMotionEvent(inputDisplay, DefaultScreen(inputDisplay), rootX, rootY, CurrentTime);
    XSync(inputDisplay, False);
    // A button press must happen where the pointer really is: the server
    // picks the window under it, and toolkits track the pointer from the
    // motion events.
    for (int attempt = 0; attempt < 10; ++attempt) {
        Window rootReturn = 0, childReturn = 0;
        int pointerX = -1, pointerY = -1, windowX = 0, windowY = 0;
        unsigned int mask = 0;
        XQueryPointer(display, root, &rootReturn, &childReturn, &pointerX, &pointerY, &windowX, &windowY, &mask);
        if (pointerX == rootX && pointerY == rootY) {
            loop->RunFor(GESTURE_STEP_MS);
            return true;
        }
        loop->RunFor(GESTURE_STEP_MS);
    }
    *error = "the pointer did not move to editor point " + std::to_string(x) + "," + std::to_string(y) + " (screen " +
             std::to_string(rootX) + "," + std::to_string(rootY) + "; is the screen large enough?)";
    return false;
}

bool EditorWindow::Platform::Button(unsigned int button, bool press, std::string* error)
{
    if (!XTestFakeButtonEvent(inputDisplay, button, press ? True : False, CurrentTime)) {
        *error = "the X server refused a button event";
        return false;
    }
    XSync(inputDisplay, False);
    return true;
}

bool EditorWindow::Platform::Key(KeySym symbol, bool press, std::string* error)
{
    KeyCode code = XKeysymToKeycode(inputDisplay, symbol);
    if (!code) {
        const char* name = XKeysymToString(symbol);
        *error = std::string("the X keyboard map has no key for '") + (name ? name : "?") + "'";
        return false;
    }
    XTestFakeKeyEvent(inputDisplay, code, press ? True : False, CurrentTime);
    XSync(inputDisplay, False);
    return true;
}

bool EditorWindow::Platform::Modifiers(int modifiers, bool press, std::string* error)
{
    const struct {
        int bit;
        KeySym symbol;
    } KEYS[] = {
        {EDITOR_MODIFIER_SHIFT, XK_Shift_L}, {EDITOR_MODIFIER_CTRL, XK_Control_L}, {EDITOR_MODIFIER_ALT, XK_Alt_L}};
    for (const auto& key : KEYS) {
        if ((modifiers & key.bit) && !Key(key.symbol, press, error)) return false;
    }
    return true;
}

bool EditorWindow::Platform::Click(const EditorInputAction& action, EditorLoop* loop, std::string* error)
{
    unsigned int button = action.button == EMouseButton_Right ? 3 : 1;
    if (!MovePointer(action.x, action.y, loop, error)) return false;
    if (!Modifiers(action.modifiers, true, error)) return false;
    int clicks = action.kind == EEditorInput_DoubleClick ? 2 : 1;
    bool ok = true;
    for (int i = 0; i < clicks && ok; ++i) {
        if (i > 0) loop->RunFor(DOUBLE_CLICK_GAP_MS);
        ok = Button(button, true, error);
        loop->RunFor(GESTURE_HOLD_MS);
        if (ok) ok = Button(button, false, error);
    }
    // Modifiers are let go even after a failure, or they would stick.
    std::string ignored;
    Modifiers(action.modifiers, false, ok ? error : &ignored);
    loop->RunFor(GESTURE_STEP_MS);
    return ok;
}

bool EditorWindow::Platform::Drag(const EditorInputAction& action, EditorLoop* loop, std::string* error)
{
    unsigned int button = action.button == EMouseButton_Right ? 3 : 1;
    if (!MovePointer(action.x, action.y, loop, error)) return false;
    if (!Modifiers(action.modifiers, true, error)) return false;
    bool ok = Button(button, true, error);
    loop->RunFor(GESTURE_HOLD_MS);
    std::vector<EditorPoint> path = DragPath(action);
    for (size_t i = 0; i < path.size() && ok; ++i) ok = MovePointer(path[i].x, path[i].y, loop, error);
    loop->RunFor(GESTURE_HOLD_MS);
    std::string ignored;
    if (!Button(button, false, ok ? error : &ignored)) ok = false;
    Modifiers(action.modifiers, false, ok ? error : &ignored);
    loop->RunFor(GESTURE_STEP_MS);
    return ok;
}

bool EditorWindow::Platform::Hold(const EditorInputAction& action, EditorLoop* loop, std::string* error)
{
    unsigned int button = action.button == EMouseButton_Right ? 3 : 1;
    if (!MovePointer(action.x, action.y, loop, error)) return false;
    if (!Button(button, true, error)) return false;
    heldButton = button;
    loop->RunFor(GESTURE_HOLD_MS);
    for (const EditorPoint& point : DragPath(action)) {
        if (!MovePointer(point.x, point.y, loop, error)) return false;
    }
    loop->RunFor(GESTURE_STEP_MS);
    return true;
}

bool EditorWindow::Platform::Wheel(const EditorInputAction& action, EditorLoop* loop, std::string* error)
{
    if (!MovePointer(action.x, action.y, loop, error)) return false;
    // X11 reports each notch as a press and release of buttons 4 (up) and
    // 5 (down).
    unsigned int button = action.notches > 0 ? WHEEL_UP_BUTTON : WHEEL_DOWN_BUTTON;
    int count = action.notches > 0 ? action.notches : -action.notches;
    for (int i = 0; i < count; ++i) {
        if (!Button(button, true, error) || !Button(button, false, error)) return false;
        loop->RunFor(GESTURE_STEP_MS);
    }
    return true;
}

bool EditorWindow::DeliverToWindow(const EditorInputAction& action, EditorLoop* loop, std::string* error)
{
    if (!mpPlatform->OpenInput(error)) return false;
    switch (action.kind) {
    case EEditorInput_Click:
    case EEditorInput_DoubleClick:
        return mpPlatform->Click(action, loop, error);
    case EEditorInput_Drag:
        return mpPlatform->Drag(action, loop, error);
    case EEditorInput_Hold:
        return mpPlatform->Hold(action, loop, error);
    case EEditorInput_Release: {
        if (!mpPlatform->heldButton) return true;
        unsigned int button = mpPlatform->heldButton;
        mpPlatform->heldButton = 0;
        bool ok = mpPlatform->Button(button, false, error);
        loop->RunFor(GESTURE_STEP_MS);
        return ok;
    }
    case EEditorInput_Wheel:
        return mpPlatform->Wheel(action, loop, error);
    case EEditorInput_Key: {
        KeySym symbol = KeySymFor(action.key, action.character);
        if (!mpPlatform->Key(symbol, true, error)) return false;
        loop->RunFor(GESTURE_HOLD_MS);
        bool ok = mpPlatform->Key(symbol, false, error);
        loop->RunFor(GESTURE_STEP_MS);
        return ok;
    }
    case EEditorInput_Wait:
        break;
    case EEditorInput_Answer:
        return Fail(error,
                    "'answer' works on Windows only: on X11 a plug-in's file dialog is a program of its own "
                    "(zenity, kdialog); put a stand-in for it on PATH instead");
    }
    return true;
}

int EditorWindow::AnsweredDialogs() const { return 0; }

bool EditorWindow::CaptureWindow(RasterBitmap* bitmap, std::string* error)
{
    Display* display = mpPlatform->display;
    XSync(display, False);
    // The window's image holds its children of the same depth, which is
    // what the screen shows inside it.
    XImage* image = XGetImage(display, mpPlatform->window, 0, 0, unsigned(mpPlatform->width),
                              unsigned(mpPlatform->height), AllPlanes, ZPixmap);
    if (!image) {
        *error = "XGetImage could not read the editor window";
        return false;
    }
    int redShift, redBits, greenShift, greenBits, blueShift, blueBits;
    MaskShape(image->red_mask, &redShift, &redBits);
    MaskShape(image->green_mask, &greenShift, &greenBits);
    MaskShape(image->blue_mask, &blueShift, &blueBits);
    if (!redBits || !greenBits || !blueBits) {
        XDestroyImage(image);
        *error = "the X display has no TrueColor visual; its pixels cannot be captured";
        return false;
    }
    bool ok = CopyCapture(
        bitmap, image->width, image->height,
        [&](int x, int y) {
            unsigned long pixel = XGetPixel(image, x, y);
            return RasterColor::Pack(255, Channel(pixel, redShift, redBits), Channel(pixel, greenShift, greenBits),
                                     Channel(pixel, blueShift, blueBits));
        },
        error);
    XDestroyImage(image);
    return ok;
}

void EditorWindow::Destroy()
{
    if (!mpPlatform) return;
    if (mpPlatform->window) {
        XDestroyWindow(mpPlatform->display, mpPlatform->window);
        XSync(mpPlatform->display, False);
    }
    if (mpPlatform->inputDisplay) {
        // A button a hold left down would stay down on the server.
        if (mpPlatform->heldButton) {
            XTestFakeButtonEvent(mpPlatform->inputDisplay, mpPlatform->heldButton, False, CurrentTime);
            XSync(mpPlatform->inputDisplay, False);
        }
        XCloseDisplay(mpPlatform->inputDisplay);
    }
    XCloseDisplay(mpPlatform->display);
    delete mpPlatform;
    mpPlatform = nullptr;
}
