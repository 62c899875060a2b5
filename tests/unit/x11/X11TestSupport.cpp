#include "X11TestSupport.h"

#include <cstring>

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

// ---- X11Host

X11Host::~X11Host()
{
    if (!mpDisplay) return;
    // Let go of anything a failed test left pressed.
    for (unsigned button = 1; button <= 3; ++button) XTestFakeButtonEvent(mpDisplay, button, False, CurrentTime);
    if (mTopLevel) XDestroyWindow(mpDisplay, mTopLevel);
    XCloseDisplay(mpDisplay);
}

bool X11Host::Open(int width, int height)
{
    // Xvfb now and then drops a connection during its set-up when clients
    // come and go quickly.
    for (int attempt = 0; attempt < 5 && !mpDisplay; ++attempt) {
        if (attempt > 0) Pause(20);
        mpDisplay = XOpenDisplay(nullptr);
    }
    if (!mpDisplay) {
        mProblem = "cannot open the display";
        return false;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(mpDisplay, &eventBase, &errorBase, &major, &minor)) {
        mProblem = "the display has no XTEST";
        return false;
    }
    int screen = DefaultScreen(mpDisplay);
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = BlackPixel(mpDisplay, screen);
    attributes.event_mask = StructureNotifyMask;
    mTopLevel = XCreateWindow(mpDisplay, RootWindow(mpDisplay, screen), 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                              CWBackPixel | CWEventMask, &attributes);
    XMapRaised(mpDisplay, mTopLevel);
    XSync(mpDisplay, False);
    XEvent event;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
        if (XCheckTypedWindowEvent(mpDisplay, mTopLevel, MapNotify, &event)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    mProblem = "the host window was not mapped";
    return false;
}

Window X11Host::MakeInnerWindow(int x, int y, int width, int height)
{
    Window inner = XCreateSimpleWindow(mpDisplay, mTopLevel, x, y, static_cast<unsigned>(width),
                                       static_cast<unsigned>(height), 0, 0, 0);
    XMapWindow(mpDisplay, inner);
    XSync(mpDisplay, False);
    return inner;
}

std::vector<Window> X11Host::Children(Window window)
{
    std::vector<Window> children;
    Window root = 0, parent = 0;
    Window* pChildren = nullptr;
    unsigned count = 0;
    XSync(mpDisplay, False);
    if (XQueryTree(mpDisplay, window, &root, &parent, &pChildren, &count)) {
        children.assign(pChildren, pChildren + count);
        if (pChildren) XFree(pChildren);
    }
    return children;
}

bool X11Host::Size(Window window, int* pWidth, int* pHeight)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(mpDisplay, window, &attributes)) return false;
    *pWidth = attributes.width;
    *pHeight = attributes.height;
    return true;
}

bool X11Host::Geometry(Window window, int* pX, int* pY, int* pWidth, int* pHeight)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(mpDisplay, window, &attributes)) return false;
    *pX = attributes.x;
    *pY = attributes.y;
    *pWidth = attributes.width;
    *pHeight = attributes.height;
    return true;
}

std::vector<Window> X11Host::PopupWindows()
{
    std::vector<Window> popups;
    for (Window window : Children(DefaultRootWindow(mpDisplay))) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(mpDisplay, window, &attributes) && attributes.override_redirect &&
            attributes.map_state == IsViewable) {
            popups.push_back(window);
        }
    }
    return popups;
}

void X11Host::MoveTo(int rootX, int rootY)
{
    XTestFakeMotionEvent(mpDisplay, DefaultScreen(mpDisplay), rootX, rootY, CurrentTime);
    XSync(mpDisplay, False);
    Pause(30);
}

void X11Host::Button(unsigned button, bool press)
{
    XTestFakeButtonEvent(mpDisplay, button, press ? True : False, CurrentTime);
    XSync(mpDisplay, False);
}

void X11Host::Click(int rootX, int rootY, unsigned button)
{
    MoveTo(rootX, rootY);
    Button(button, true);
    Pause(30);
    Button(button, false);
    Pause(30);
}

void X11Host::Key(KeySym symbol, bool press)
{
    unsigned int code = XKeysymToKeycode(mpDisplay, symbol);
    ASSERT_NE(code, 0u) << "no key for keysym " << symbol;
    XTestFakeKeyEvent(mpDisplay, code, press ? True : False, CurrentTime);
    XSync(mpDisplay, False);
}

void X11Host::Type(KeySym symbol)
{
    Key(symbol, true);
    Key(symbol, false);
    Pause(10);
}

void X11Host::TypeText(const char* text)
{
    for (const char* p = text; *p; ++p) {
        KeySym symbol = NoSymbol;
        if (*p >= '0' && *p <= '9')
            symbol = XK_0 + static_cast<KeySym>(*p - '0');
        else if (*p >= 'a' && *p <= 'z')
            symbol = XK_a + static_cast<KeySym>(*p - 'a');
        else if (*p == '.')
            symbol = XK_period;
        else if (*p == '-')
            symbol = XK_minus;
        else if (*p == ' ')
            symbol = XK_space;
        ASSERT_NE(symbol, static_cast<KeySym>(NoSymbol)) << "cannot type " << *p;
        Type(symbol);
    }
}

void X11Host::Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

uint32_t X11Host::Pixel(Window window, int x, int y)
{
    XSync(mpDisplay, False);
    XImage* pImage = XGetImage(mpDisplay, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!pImage) return 0xFFFFFFFFu;
    unsigned long pixel = XGetPixel(pImage, 0, 0);
    auto channel = [pixel](unsigned long mask) -> uint32_t {
        if (!mask) return 0;
        int shift = 0, bits = 0;
        while (!((mask >> shift) & 1ul)) ++shift;
        while ((mask >> (shift + bits)) & 1ul) ++bits;
        unsigned long value = (pixel & mask) >> shift;
        return static_cast<uint32_t>(bits >= 8 ? value >> (bits - 8) : value * 255 / ((1ul << bits) - 1));
    };
    uint32_t rgb = channel(pImage->red_mask) << 16 | channel(pImage->green_mask) << 8 | channel(pImage->blue_mask);
    XDestroyImage(pImage);
    return rgb;
}

// ---- X11Rig

X11Rig::X11Rig() : mpPlug(new ProbePlug())
{
    mpWindow = new IGraphicsWindow(mpPlug.get(), WIDTH, HEIGHT);
    mpGain = new ProbeControl(mpPlug.get(), ControlRect(20, 20, 80, 80), ProbeParam_Gain);
    mpMode = new ProbeControl(mpPlug.get(), ControlRect(100, 20, 160, 80), ProbeParam_Mode);
    mpDepth = new ProbeControl(mpPlug.get(), ControlRect(180, 20, 240, 80), ProbeParam_Depth);
    mpAction = new ActionControl(mpPlug.get(), ControlRect(20, 110, 80, 150), ProbeParam_Note);
    // The background: a plain control under everything.
    class Background : public IControl {
    public:
        explicit Background(IPlugBase* pPlug) : IControl(pPlug, ControlRect(0, 0, WIDTH, HEIGHT), -1) {}
        bool Draw(IGraphicsLice* pGraphics) override
        {
            return pGraphics->FillArea(Color(255, 0xE0, 0xE0, 0xE0), mRect, nullptr);
        }
    };
    mpWindow->AddControl(new Background(mpPlug.get()));
    mpWindow->AddControl(mpGain);
    mpWindow->AddControl(mpMode);
    mpWindow->AddControl(mpDepth);
    mpWindow->AddControl(mpAction);
    mpWindow->SetTickHandler(&mTicks);
    mpPlug->AttachEditor(mpWindow);
    HostRecorder::Instance().Clear();
}

X11Rig::~X11Rig()
{
    Close();
    // The plug-in deletes its editor.
    mpPlug.reset();
}

bool X11Rig::Open(::Window parent)
{
    VstIntPtr opened = IPlugVST::VSTDispatcher(Effect(), effEditOpen, 0, 0,
                                               reinterpret_cast<void*>(static_cast<uintptr_t>(parent)), 0.0f);
    if (!opened) return false;
    // The first tick draws every control.
    int ticks = mTicks.mTicks.load();
    return WaitFor([&]() { return mTicks.mTicks.load() > ticks + 1; });
}

void X11Rig::Close()
{
    if (mpPlug && mpWindow->HasWindow()) IPlugVST::VSTDispatcher(Effect(), effEditClose, 0, 0, nullptr, 0.0f);
}

::Window X11Rig::EditorWindow() const
{
    return static_cast<::Window>(reinterpret_cast<uintptr_t>(mpWindow->GetWindow()));
}

void X11Rig::ClearEvents()
{
    mpGain->ClearEvents();
    mpMode->ClearEvents();
    mpDepth->ClearEvents();
}

double X11Rig::Value(IControl* pControl)
{
    ScopedLock lock(mpWindow->SurfaceLock());
    return pControl->Value();
}
