// The editor window on Win32 under a real window system (wine and Xvfb in
// the end-to-end test): the editor of a small test plug-in opens as a child
// of a top-level window of this program, gets its input as posted messages,
// the way a host's message loop hands them on, and is checked through the
// plug-in's parameters, the window's pixels and the window system's own
// records. Modal menus and dialogs are answered by a thread timer, which
// their modal loops keep dispatching. Prints "ALL PASSED" and returns 0 when
// every check held.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef LoadImage

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/gui/IKnobControl.h"
#include "tests/unit/gui/GuiTestSupport.h"

namespace {

int gChecks = 0;
int gFailures = 0;

void Check(bool ok, const char* what, int line)
{
    ++gChecks;
    if (ok) return;
    ++gFailures;
    std::printf("FAIL (line %d): %s\n", line, what);
    std::fflush(stdout);
}

void CheckNear(double actual, double expected, double tolerance, const char* what, int line)
{
    ++gChecks;
    if (std::fabs(actual - expected) <= tolerance) return;
    ++gFailures;
    std::printf("FAIL (line %d): %s: %.6f, expected %.6f\n", line, what, actual, expected);
    std::fflush(stdout);
}

void CheckEqual(long long actual, long long expected, const char* what, int line)
{
    ++gChecks;
    if (actual == expected) return;
    ++gFailures;
    std::printf("FAIL (line %d): %s: %lld, expected %lld\n", line, what, actual, expected);
    std::fflush(stdout);
}

#define CHECK(condition) Check((condition), #condition, __LINE__)
#define CHECK_NEAR(actual, expected, tolerance) CheckNear((actual), (expected), (tolerance), #actual, __LINE__)
#define CHECK_EQUAL(actual, expected) CheckEqual((actual), (expected), #actual, __LINE__)

const int EDITOR_WIDTH = 240;
const int EDITOR_HEIGHT = 120;
const ControlRect GAIN_RECT(10, 10, 50, 50);
const ControlRect MODE_RECT(60, 10, 100, 50);
const ControlRect DEPTH_RECT(110, 10, 150, 50);
const ControlRect POWER_RECT(160, 10, 200, 50);
const ControlRect RECORDER_RECT(10, 60, 50, 100);
const ControlRect COLUMN_MENU_RECT(60, 60, 100, 100);
const uint32_t BACKDROP_RGB = 0x282828;
const char* const CLASS_NAME = "IPlugWndClass";

// ---- Message loop

void PumpOnce()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void Pump(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        PumpOnce();
        Sleep(2);
    } while (GetTickCount() - start < milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpOnce();
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(2);
    }
}

// ---- The test plug-in's editor

class TickCounter : public IEditorTickHandler {
public:
    void OnEditorTick(uint32_t /*taskFlags*/) override { ++mTicks; }
    int mTicks = 0;
};

class Backdrop : public IControl {
public:
    Backdrop(IPlugBase* pPlug, const ControlRect& rect) : IControl(pPlug, rect) {}
    bool Draw(IGraphicsLice* pGraphics) override
    {
        return pGraphics->FillArea(Color::FromPacked(0xFF000000u | BACKDROP_RGB), mRect, nullptr);
    }
};

// Shows its value as the red of its rect; dragged like a knob.
class ValueBox : public IKnobControl {
public:
    ValueBox(IPlugBase* pPlug, const ControlRect& rect, int paramIdx) : IKnobControl(pPlug, rect, paramIdx) {}
    bool Draw(IGraphicsLice* pGraphics) override
    {
        return pGraphics->FillArea(Color(255, Red(mValue), 0, 64), mRect, nullptr);
    }
    static int Red(double value) { return static_cast<int>(value * 255.0 + 0.5); }
};

class Toggle : public ValueBox {
public:
    using ValueBox::ValueBox;
    void MouseDown(int x, int y, const MouseMods& mods) override
    {
        if (mods.mRight) return IControl::MouseDown(x, y, mods);
        mValue = mValue < 0.5 ? 1.0 : 0.0;
        MarkChanged(true);
    }
};

// A left click opens the value menu of its parameter in columns of two.
class ColumnMenuButton : public ValueBox {
public:
    using ValueBox::ValueBox;
    void MouseDown(int /*x*/, int /*y*/, const MouseMods& mods) override
    {
        if (mods.mLeft && GetGraphics()) GetGraphics()->OpenValueMenu(this, GetParam(), 2);
    }
};

class InputRecorder : public IControl {
public:
    InputRecorder(IPlugBase* pPlug, const ControlRect& rect) : IControl(pPlug, rect) {}
    bool Draw(IGraphicsLice* pGraphics) override { return pGraphics->FillArea(Color(255, 0, 0, 255), mRect, nullptr); }
    void KeyDown(int /*x*/, int /*y*/, int key) override { mKeys.push_back(key); }
    void MouseOver(int /*x*/, int /*y*/, const MouseMods& /*mods*/) override { ++mOvers; }
    void MouseOut() override { ++mOuts; }
    std::vector<int> mKeys;
    int mOvers = 0;
    int mOuts = 0;
};

struct Editor {
    TestPlug* mpPlug = nullptr;
    IGraphicsWindow* mpWindow = nullptr;  // owned by the plug-in
    TickCounter mTicks;
    ValueBox* mpGain = nullptr;
    ValueBox* mpDepth = nullptr;
    InputRecorder* mpRecorder = nullptr;

    Editor()
    {
        mpPlug = new TestPlug();
        mpWindow = new IGraphicsWindow(mpPlug, EDITOR_WIDTH, EDITOR_HEIGHT);
        mpWindow->AddControl(new Backdrop(mpPlug, ControlRect(0, 0, EDITOR_WIDTH, EDITOR_HEIGHT)));
        mpGain = new ValueBox(mpPlug, GAIN_RECT, TestParam_Gain);
        mpWindow->AddControl(mpGain);
        mpWindow->AddControl(new ValueBox(mpPlug, MODE_RECT, TestParam_Mode));
        mpDepth = new ValueBox(mpPlug, DEPTH_RECT, TestParam_Depth);
        mpWindow->AddControl(mpDepth);
        mpWindow->AddControl(new Toggle(mpPlug, POWER_RECT, TestParam_Power));
        mpRecorder = new InputRecorder(mpPlug, RECORDER_RECT);
        mpWindow->AddControl(mpRecorder);
        mpWindow->AddControl(new ColumnMenuButton(mpPlug, COLUMN_MENU_RECT, TestParam_Mode));
        mpPlug->AttachEditor(mpWindow);
        mpWindow->SetTickHandler(&mTicks);
    }
    ~Editor() { delete mpPlug; }

    HWND Window() const { return static_cast<HWND>(mpWindow->GetWindow()); }
    double Plain(int paramIdx) const { return mpPlug->GetParam(paramIdx)->Value(); }
    bool WaitTicks(int count)
    {
        int target = mTicks.mTicks + count;
        return PumpUntil([&] { return mTicks.mTicks >= target; });
    }
};

// ---- Window-system helpers

HWND CreateHostWindow()
{
    WNDCLASSA windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "TarvoWin32TestHost";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(0, "TarvoWin32TestHost", "Tarvo3 editor window test", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                        40, 40, 640, 480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetForegroundWindow(window);
    Pump(100);
    return window;
}

bool ClassRegistered()
{
    WNDCLASSEXA info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    return GetClassInfoExA(GetModuleHandleA(nullptr), CLASS_NAME, &info) != 0;
}

void Post(HWND window, UINT message, int x, int y, WPARAM keys)
{
    PostMessageA(window, message, keys, MAKELPARAM(x, y));
}

void ClickAt(HWND window, int x, int y, bool right = false)
{
    Post(window, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, x, y, right ? MK_RBUTTON : MK_LBUTTON);
    Post(window, right ? WM_RBUTTONUP : WM_LBUTTONUP, x, y, 0);
}

POINT ScreenPoint(HWND window, int x, int y)
{
    POINT point = {x, y};
    ClientToScreen(window, &point);
    return point;
}

// 0xRRGGBB of the window's pixel as the screen shows it, read back with
// GetDIBits; 0xFFFFFFFF when it cannot be read.
uint32_t WindowPixel(HWND window, int x, int y)
{
    RECT client;
    if (!GetClientRect(window, &client)) return 0xFFFFFFFFu;
    int width = client.right, height = client.bottom;
    if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFFu;
    HDC windowContext = GetDC(window);
    HDC memory = CreateCompatibleDC(windowContext);
    HBITMAP bitmap = CreateCompatibleBitmap(windowContext, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, windowContext, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    int rows = GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowContext);
    if (rows != height) return 0xFFFFFFFFu;
    return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFFu;
}

uint32_t RedPixel(double value) { return static_cast<uint32_t>(ValueBox::Red(value)) << 16 | 0x40u; }

HWND PromptEdit(HWND editor) { return FindWindowExA(editor, nullptr, "EDIT", nullptr); }

std::string WindowText(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// ---- Answering modal loops

std::function<bool()> gModalStep;

void CALLBACK ModalTimer(HWND /*window*/, UINT /*message*/, UINT_PTR id, DWORD /*time*/)
{
    if (gModalStep && gModalStep()) {
        gModalStep = nullptr;
        KillTimer(nullptr, id);
    }
}

// Runs modal() while step() answers whatever it opens, every 40 ms, until
// step() returns true.
void WithModalAnswers(const std::function<bool()>& step, const std::function<void()>& modal)
{
    gModalStep = step;
    UINT_PTR timer = SetTimer(nullptr, 0, 40, ModalTimer);
    modal();
    if (gModalStep) {
        gModalStep = nullptr;
        KillTimer(nullptr, timer);
    }
}

HWND VisibleTopLevel(const char* className)
{
    HWND window = FindWindowA(className, nullptr);
    return window && IsWindowVisible(window) ? window : nullptr;
}

BOOL CALLBACK CollectChildText(HWND child, LPARAM lParam)
{
    reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(WindowText(child));
    return TRUE;
}

bool DialogShowsText(HWND dialog, const char* text)
{
    std::vector<std::string> texts;
    EnumChildWindows(dialog, CollectChildText, reinterpret_cast<LPARAM>(&texts));
    for (const std::string& shown : texts) {
        if (shown == text) return true;
    }
    return false;
}

// What an open popup menu showed, and the keys that choose an entry.
struct MenuAnswer {
    int mChoose = -1;  // position to choose; -1 dismisses with Escape
    // The editor's tick count, read while the menu stays open for a few
    // steps before it is answered.
    const int* mpTicks = nullptr;
    int mTicksWhenSeen = -1;
    int mTicksWhenAnswered = -1;
    int mHoldSteps = 4;
    bool mSeen = false;
    std::vector<std::string> mTexts;
    std::vector<UINT> mIds;
    std::vector<UINT> mStates;
    HMENU mMenu = nullptr;
    int mWaits = 0;

    bool Step()
    {
        HWND menuWindow = VisibleTopLevel("#32768");
        if (!menuWindow) return ++mWaits > 100;
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
        int count = menu ? GetMenuItemCount(menu) : 0;
        if (!mSeen) {
            mSeen = true;
            if (mpTicks) mTicksWhenSeen = *mpTicks;
            mMenu = menu;
            for (int i = 0; i < count; ++i) {
                char text[128] = "";
                GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
                mTexts.push_back(text);
                mIds.push_back(GetMenuItemID(menu, i));
                mStates.push_back(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION));
            }
        }
        if (mHoldSteps-- > 0) return false;
        if (mpTicks) mTicksWhenAnswered = *mpTicks;
        if (mChoose < 0) {
            PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
            return true;
        }
        int highlighted = -1;
        for (int i = 0; i < count; ++i) {
            if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) highlighted = i;
        }
        PostMessageA(menuWindow, WM_KEYDOWN, highlighted == mChoose ? VK_RETURN : VK_DOWN, 0);
        return highlighted == mChoose || ++mWaits > 100;
    }
};

// ---- The tests

void TestOpening(Editor& editor, HWND host)
{
    HWND window = static_cast<HWND>(editor.mpWindow->OpenWindow(host));
    CHECK(window != nullptr);
    if (!window) return;
    CHECK(editor.mpWindow->HasWindow());
    CHECK(GetParent(window) == host);
    CHECK(IsWindowVisible(window));
    CHECK((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    CHECK(std::strcmp(className, CLASS_NAME) == 0);
    CHECK(WindowText(window) == "IPlug");
    RECT client;
    GetClientRect(window, &client);
    CHECK_EQUAL(client.right, EDITOR_WIDTH);
    CHECK_EQUAL(client.bottom, EDITOR_HEIGHT);
    POINT corner = {0, 0};
    MapWindowPoints(window, host, &corner, 1);
    CHECK_EQUAL(corner.x, 0);
    CHECK_EQUAL(corner.y, 0);
    CHECK(GetFocus() == window);
    // A mouse activation takes the focus back.
    SetFocus(host);
    SendMessageA(window, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(host), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    CHECK(GetFocus() == window);
    CHECK(reinterpret_cast<IGraphicsWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA)) == editor.mpWindow);

    WNDCLASSEXA info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    CHECK(GetClassInfoExA(GetModuleHandleA(nullptr), CLASS_NAME, &info) != 0);
    CHECK((info.style & CS_DBLCLKS) != 0);
    CHECK(info.hCursor == LoadCursor(nullptr, IDC_ARROW));
}

void TestTimerAndDrawing(Editor& editor)
{
    HWND window = editor.Window();
    // 1000 / 24 = 41 ms: 500 ms hold at most 12 ticks, and a running timer
    // gives well over 4 even on a loaded machine.
    editor.WaitTicks(1);
    int start = editor.mTicks.mTicks;
    Pump(500);
    int ticks = editor.mTicks.mTicks - start;
    CHECK(ticks >= 4 && ticks <= 13);
    // The first ticks drew every control and copied them to the window.
    CHECK_EQUAL(WindowPixel(window, 5, 5), BACKDROP_RGB);
    CHECK_EQUAL(WindowPixel(window, GAIN_RECT.MidX(), GAIN_RECT.MidY()), RedPixel(0.5));
    CHECK_EQUAL(WindowPixel(window, RECORDER_RECT.MidX(), RECORDER_RECT.MidY()), 0x0000FFu);
    // Covered and uncovered again, the window repaints from the draw bitmap.
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    CHECK_EQUAL(WindowPixel(window, GAIN_RECT.MidX(), GAIN_RECT.MidY()), RedPixel(0.5));
}

DWORD WINAPI SetGainLikeAHost(LPVOID pArgument)
{
    // What a host's setParameter does on its own thread: under the plug-in
    // lock, the value and the editor's inbox.
    Editor* pEditor = static_cast<Editor*>(pArgument);
    ScopedLock lock(pEditor->mpPlug->Lock());
    pEditor->mpPlug->GetParam(TestParam_Gain)->SetFromNormalized(0.9);
    pEditor->mpWindow->ShowParamValue(TestParam_Gain, 0.9, true);
    return 0;
}

void TestValueFromAnotherThread(Editor& editor)
{
    HANDLE thread = CreateThread(nullptr, 0, SetGainLikeAHost, &editor, 0, nullptr);
    CHECK(thread != nullptr);
    if (!thread) return;
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    // One tick later the window shows it.
    CHECK(editor.WaitTicks(1));
    CHECK_EQUAL(WindowPixel(editor.Window(), GAIN_RECT.MidX(), GAIN_RECT.MidY()), RedPixel(0.9));
    CHECK_EQUAL(WindowPixel(editor.Window(), 5, 5), BACKDROP_RGB);
}

void TestMouse(Editor& editor)
{
    HWND window = editor.Window();
    TestPlug& plug = *editor.mpPlug;

    // A click captures the mouse from press to release.
    plug.mGestures.clear();
    Post(window, WM_LBUTTONDOWN, POWER_RECT.MidX(), POWER_RECT.MidY(), MK_LBUTTON);
    Pump(20);
    CHECK(GetCapture() == window);
    Post(window, WM_LBUTTONUP, POWER_RECT.MidX(), POWER_RECT.MidY(), 0);
    Pump(20);
    CHECK(GetCapture() != window);
    CHECK_NEAR(editor.Plain(TestParam_Power), 1.0, 0.0);
    CHECK(plug.mGestures == std::vector<int>({1000 + TestParam_Power, 2000 + TestParam_Power}));
    editor.WaitTicks(1);
    CHECK_EQUAL(WindowPixel(window, POWER_RECT.MidX(), POWER_RECT.MidY()), RedPixel(1.0));

    // A drag of 20 pixels down a 40-pixel knob geared 8: -20 / 40 / 8.
    plug.mGestures.clear();
    Post(window, WM_LBUTTONDOWN, GAIN_RECT.MidX(), GAIN_RECT.MidY(), MK_LBUTTON);
    Post(window, WM_MOUSEMOVE, GAIN_RECT.MidX(), GAIN_RECT.MidY() + 10, MK_LBUTTON);
    Post(window, WM_MOUSEMOVE, GAIN_RECT.MidX(), GAIN_RECT.MidY() + 20, MK_LBUTTON);
    Post(window, WM_LBUTTONUP, GAIN_RECT.MidX(), GAIN_RECT.MidY() + 20, 0);
    Pump(30);
    CHECK_NEAR(editor.mpGain->Value(), 0.9 - 0.0625, 1e-9);
    CHECK_NEAR(editor.Plain(TestParam_Gain), 0.8375, 0.006);
    CHECK(plug.mGestures == std::vector<int>({1000 + TestParam_Gain, 2000 + TestParam_Gain}));
    // Without a press of this window's the same move only hovers.
    Post(window, WM_MOUSEMOVE, GAIN_RECT.MidX(), GAIN_RECT.MidY() + 30, MK_LBUTTON);
    Pump(20);
    CHECK_NEAR(editor.mpGain->Value(), 0.8375, 1e-9);

    // The wheel reports screen positions: two notches up over the knob, one
    // fine notch down with shift.
    POINT gain = ScreenPoint(window, GAIN_RECT.MidX(), GAIN_RECT.MidY());
    PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), MAKELPARAM(gain.x, gain.y));
    Pump(20);
    CHECK_NEAR(editor.mpGain->Value(), 0.8575, 1e-9);
    PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -WHEEL_DELTA), MAKELPARAM(gain.x, gain.y));
    Pump(20);
    CHECK_NEAR(editor.mpGain->Value(), 0.8565, 1e-9);
    POINT depth = ScreenPoint(window, DEPTH_RECT.MidX(), DEPTH_RECT.MidY());
    PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(depth.x, depth.y));
    Pump(20);
    CHECK_NEAR(editor.mpDepth->Value(), 0.51, 1e-9);
    CHECK_NEAR(editor.mpGain->Value(), 0.8565, 1e-9);

    // A double click (the class asks for them) brings the default back.
    Post(window, WM_LBUTTONDBLCLK, GAIN_RECT.MidX(), GAIN_RECT.MidY(), MK_LBUTTON);
    Post(window, WM_LBUTTONUP, GAIN_RECT.MidX(), GAIN_RECT.MidY(), 0);
    Pump(20);
    CHECK_NEAR(editor.mpGain->Value(), 0.5, 1e-9);
    CHECK_NEAR(editor.Plain(TestParam_Gain), 0.5, 1e-9);
    CHECK(GetCapture() != window);
}

void TestKeysAndMouseLeave(Editor& editor)
{
    HWND window = editor.Window();
    InputRecorder& recorder = *editor.mpRecorder;
    // Keys go to the control under the cursor.
    POINT over = ScreenPoint(window, RECORDER_RECT.MidX(), RECORDER_RECT.MidY());
    SetCursorPos(over.x, over.y);
    const WPARAM keys[] = {'A', VK_UP, '7', 'Z', VK_RETURN, VK_SPACE, VK_LEFT, VK_SHIFT};
    for (WPARAM key : keys) PostMessageA(window, WM_KEYDOWN, key, 1);
    Pump(30);
    CHECK(recorder.mKeys == std::vector<int>({15, EKey_Up, 12, 40, EKey_Space, EKey_Left}));

    // With mouse-over handling on, a move over the window asks to be told
    // when the mouse leaves it; moving the cursor away brings the notice.
    editor.mpWindow->SetHandleMouseOver(true);
    SetCursorPos(over.x, over.y);
    Post(window, WM_MOUSEMOVE, RECORDER_RECT.MidX(), RECORDER_RECT.MidY(), 0);
    Pump(50);
    CHECK(recorder.mOvers >= 1);
    CHECK_EQUAL(editor.mpWindow->MouseOverIdx(), 5);
    int outs = recorder.mOuts;
    SetCursorPos(1200, 1000);
    CHECK(PumpUntil([&] { return recorder.mOuts > outs; }, 3000));
    CHECK_EQUAL(editor.mpWindow->MouseOverIdx(), -1);
    editor.mpWindow->SetHandleMouseOver(false);
}

void TestValuePrompt(Editor& editor, HWND host)
{
    HWND window = editor.Window();
    IPlugParam& depth = *editor.mpPlug->GetParam(TestParam_Depth);
    char display[IPlugParam::MAX_DISPLAY_TEXT_LEN];
    depth.FormatValue(depth.Value(), false, display);

    // A right click opens the edit box: 36 x 16 at the control's centre,
    // centred text, Arial 14, the display text selected, the focus in it.
    ClickAt(window, DEPTH_RECT.MidX(), DEPTH_RECT.MidY(), true);
    HWND edit = nullptr;
    CHECK(PumpUntil([&] { return (edit = PromptEdit(window)) != nullptr; }));
    if (!edit) return;
    RECT place;
    GetWindowRect(edit, &place);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&place), 2);
    CHECK_EQUAL(place.left, DEPTH_RECT.MidX() - 18);
    CHECK_EQUAL(place.top, DEPTH_RECT.MidY() - 8);
    CHECK_EQUAL(place.right - place.left, 36);
    CHECK_EQUAL(place.bottom - place.top, 16);
    CHECK((GetWindowLongA(edit, GWL_STYLE) & ES_CENTER) != 0);
    CHECK(WindowText(edit) == display);
    DWORD selectionStart = 0, selectionEnd = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), reinterpret_cast<LPARAM>(&selectionEnd));
    CHECK_EQUAL(selectionStart, 0);
    CHECK_EQUAL(selectionEnd, std::strlen(display));
    CHECK(GetFocus() == edit);
    CHECK_EQUAL(editor.mpWindow->GetPromptState(), IGraphicsWindow::PromptState_Editing);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0));
    LOGFONTA description;
    std::memset(&description, 0, sizeof description);
    CHECK(font && GetObjectA(font, sizeof description, &description) == sizeof description);
    CHECK_EQUAL(description.lfHeight, 14);
    CHECK(std::strcmp(description.lfFaceName, "Arial") == 0);
    // While the box has the focus the editor leaves everything to it.
    int ticks = editor.mTicks.mTicks;
    Pump(150);
    CHECK_EQUAL(editor.mTicks.mTicks, ticks);

    // "-3" and Enter: the depth's display is negated, so it becomes 3.
    PostMessageA(edit, WM_CHAR, '-', 1);
    PostMessageA(edit, WM_CHAR, '3', 1);
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
    CHECK(PumpUntil([&] { return !IsWindow(edit); }));
    CHECK_NEAR(depth.Value(), 3.0, 1e-9);
    CHECK(GetFocus() == window);
    CHECK(!editor.mpWindow->PromptOpen());
    CHECK(GetObjectType(font) == 0);

    // While editing, a left click on the editor is left to the system; a
    // right click cancels.
    ClickAt(window, DEPTH_RECT.MidX(), DEPTH_RECT.MidY(), true);
    CHECK(PumpUntil([&] { return (edit = PromptEdit(window)) != nullptr; }));
    PostMessageA(edit, WM_CHAR, '7', 1);
    double power = editor.Plain(TestParam_Power);
    ClickAt(window, POWER_RECT.MidX(), POWER_RECT.MidY());
    Pump(50);
    CHECK(IsWindow(edit) && GetFocus() == edit);
    CHECK_NEAR(editor.Plain(TestParam_Power), power, 0.0);
    ClickAt(window, 5, 5, true);
    CHECK(PumpUntil([&] { return !IsWindow(edit); }));
    CHECK_NEAR(depth.Value(), 3.0, 1e-9);

    // Once the box has lost the focus, a left click in the editor commits.
    ClickAt(window, DEPTH_RECT.MidX(), DEPTH_RECT.MidY(), true);
    CHECK(PumpUntil([&] { return (edit = PromptEdit(window)) != nullptr; }));
    PostMessageA(edit, WM_CHAR, '5', 1);
    Pump(20);
    SetFocus(host);
    CHECK_EQUAL(editor.mpWindow->GetPromptState(), IGraphicsWindow::PromptState_Idle);
    ClickAt(window, 5, 5);
    CHECK(PumpUntil([&] { return !IsWindow(edit); }));
    CHECK_NEAR(depth.Value(), -5.0, 1e-9);
}

void TestMenus(Editor& editor)
{
    HWND window = editor.Window();
    TestPlug& plug = *editor.mpPlug;
    plug.mGestures.clear();
    // A right click on an Enum control: its display texts, numbered from 1,
    // the current one checked.
    MenuAnswer answer;
    answer.mChoose = 2;
    WithModalAnswers([&] { return answer.Step(); },
                     [&] {
                         Post(window, WM_RBUTTONDOWN, MODE_RECT.MidX(), MODE_RECT.MidY(), MK_RBUTTON);
                         PumpUntil([&] { return answer.mSeen && !VisibleTopLevel("#32768"); }, 5000);
                     });
    Pump(20);
    // The menu took the button's release: the press ended with it all the
    // same, so the wheel goes to the control under the mouse again.
    CHECK(plug.mGestures == std::vector<int>({1000 + TestParam_Mode, 2000 + TestParam_Mode}));
    CHECK_EQUAL(editor.mpWindow->CaptureIdx(), -1);
    double gain = editor.mpGain->Value();
    POINT over = ScreenPoint(window, GAIN_RECT.MidX(), GAIN_RECT.MidY());
    PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(over.x, over.y));
    Pump(20);
    CHECK_NEAR(editor.mpGain->Value(), gain + 0.01, 1e-9);
    CHECK(answer.mTexts == std::vector<std::string>({"Saw", "Square", "Sine"}));
    CHECK(answer.mIds == std::vector<UINT>({1, 2, 3}));
    CHECK(answer.mStates.size() == 3 && (answer.mStates[0] & MF_CHECKED) && !(answer.mStates[1] & MF_CHECKED));
    CHECK_NEAR(editor.Plain(TestParam_Mode), 2.0, 1e-9);
    // The native menu is gone with its choice.
    CHECK(answer.mMenu && !IsMenu(answer.mMenu));

    // A value menu in columns of two: the third entry starts a column.
    MenuAnswer columns;
    columns.mChoose = 1;
    WithModalAnswers([&] { return columns.Step(); },
                     [&] {
                         Post(window, WM_LBUTTONDOWN, COLUMN_MENU_RECT.MidX(), COLUMN_MENU_RECT.MidY(), MK_LBUTTON);
                         PumpUntil([&] { return columns.mSeen && !VisibleTopLevel("#32768"); }, 5000);
                     });
    Post(window, WM_LBUTTONUP, COLUMN_MENU_RECT.MidX(), COLUMN_MENU_RECT.MidY(), 0);
    Pump(20);
    CHECK(columns.mStates.size() == 3 && !(columns.mStates[1] & MF_MENUBREAK) && (columns.mStates[2] & MF_MENUBREAK) &&
          (columns.mStates[2] & MF_CHECKED));
    CHECK_NEAR(editor.Plain(TestParam_Mode), 1.0, 1e-9);

    // Dismissed: nothing changes. No tick runs while the menu is open.
    MenuAnswer dismissed;
    dismissed.mpTicks = &editor.mTicks.mTicks;
    dismissed.mHoldSteps = 6;
    WithModalAnswers([&] { return dismissed.Step(); },
                     [&] {
                         Post(window, WM_RBUTTONDOWN, MODE_RECT.MidX(), MODE_RECT.MidY(), MK_RBUTTON);
                         PumpUntil([&] { return dismissed.mSeen && !VisibleTopLevel("#32768"); }, 5000);
                     });
    CHECK(dismissed.mTicksWhenSeen >= 0);
    CHECK_EQUAL(dismissed.mTicksWhenAnswered, dismissed.mTicksWhenSeen);
    // A release that comes after all ends nothing twice.
    plug.mGestures.clear();
    Post(window, WM_RBUTTONUP, MODE_RECT.MidX(), MODE_RECT.MidY(), 0);
    Pump(20);
    CHECK(plug.mGestures.empty());
    CHECK(dismissed.mSeen);
    CHECK(dismissed.mStates.size() == 3 && (dismissed.mStates[1] & MF_CHECKED));
    CHECK_NEAR(editor.Plain(TestParam_Mode), 1.0, 1e-9);
}

// Answers the next dialog: types name into a file dialog (none: cancels)
// and presses OK, or presses the button given.
struct DialogAnswer {
    std::string mName;
    int mButton = IDOK;
    std::string mTitle;
    int mWaits = 0;

    bool Step()
    {
        HWND dialog = VisibleTopLevel("#32770");
        if (!dialog) return ++mWaits > 150;
        mTitle = WindowText(dialog);
        if (!mName.empty()) {
            // The file name box: edt1 in old-style templates, cmb13 in explorer ones.
            SetDlgItemTextA(dialog, 0x480, mName.c_str());
            SetDlgItemTextA(dialog, 0x47C, mName.c_str());
        }
        PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(mButton), 0);
        return true;
    }
};

void TestDialogs(Editor& editor)
{
    IGraphicsWindow& window = *editor.mpWindow;
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    std::string folder = temp;
    std::string existing = folder + "tarvo-win32-window-open.txt";
    std::string saved = folder + "tarvo-win32-window-save.txt";
    DeleteFileA(saved.c_str());
    HANDLE file = CreateFileA(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);

    std::string path = "left over";
    DialogAnswer open;
    open.mName = existing;
    int ticks = editor.mTicks.mTicks;
    WithModalAnswers([&] { return open.Step(); }, [&] { window.ChooseFile(&path, 0, folder.c_str(), ""); });
    CHECK(lstrcmpiA(path.c_str(), existing.c_str()) == 0);
    // No tick ran while the dialog was open.
    CHECK_EQUAL(editor.mTicks.mTicks, ticks);

    DialogAnswer save;
    save.mName = folder + "tarvo-win32-window-save";
    WithModalAnswers([&] { return save.Step(); }, [&] { window.ChooseFile(&path, 1, folder.c_str(), "txt"); });
    CHECK(lstrcmpiA(path.c_str(), saved.c_str()) == 0);
    CHECK(!open.mTitle.empty() && open.mTitle != save.mTitle);

    DialogAnswer cancel;
    cancel.mButton = IDCANCEL;
    WithModalAnswers([&] { return cancel.Step(); }, [&] { window.ChooseFile(&path, 0, folder.c_str(), ""); });
    CHECK(!cancel.mTitle.empty());
    CHECK(path.empty());
    DeleteFileA(existing.c_str());

    // The colour chooser starts at the colour and shows the title.
    Color colour(255, 10, 200, 30);
    DialogAnswer pick;
    bool chosen = false;
    WithModalAnswers([&] { return pick.Step(); }, [&] { chosen = window.ChooseColour(&colour, "Wall colour"); });
    CHECK(chosen);
    CHECK(pick.mTitle == "Wall colour");
    CHECK(colour == Color(255, 10, 200, 30));
    DialogAnswer dismiss;
    dismiss.mButton = IDCANCEL;
    WithModalAnswers([&] { return dismiss.Step(); }, [&] { chosen = window.ChooseColour(&colour, nullptr); });
    CHECK(!chosen);
    CHECK(!dismiss.mTitle.empty() && dismiss.mTitle != "Wall colour");

    // A web address the user declines to open: the confirmation, then the
    // error text, both as message boxes.
    bool askedFirst = false, toldError = false;
    HWND answered = nullptr;
    int waits = 0;
    bool opened = true;
    WithModalAnswers(
        [&] {
            HWND box = VisibleTopLevel("#32770");
            if (!box || box == answered) return ++waits > 150;
            answered = box;
            if (DialogShowsText(box, "Open the manual?") && WindowText(box) == "Tarvo3") {
                askedFirst = true;
                PostMessageA(box, WM_COMMAND, IDNO, 0);
                return false;
            }
            toldError = askedFirst && DialogShowsText(box, "The manual could not be opened.");
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        },
        [&] {
            opened = window.OpenWebAddress("http://example.invalid/manual", "Tarvo3", "Open the manual?",
                                           "The manual could not be opened.");
        });
    CHECK(!opened);
    CHECK(askedFirst);
    CHECK(toldError);
}

void TestFolders(Editor& editor)
{
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string expected = program;
    expected.erase(expected.find_last_of('\\') + 1);
    std::string folder;
    editor.mpWindow->HostFolder(&folder);
    CHECK(folder == expected);
    editor.mpWindow->PluginFolder(&folder);
    CHECK(folder == expected);
}

void TestReopening(Editor& editor, HWND host)
{
    // Opened again while open: the old window goes, the new one takes its place.
    HWND first = editor.Window();
    SetWindowPos(first, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND second = static_cast<HWND>(editor.mpWindow->OpenWindow(host));
    CHECK(second != nullptr);
    CHECK(!IsWindow(first));
    POINT corner = {0, 0};
    MapWindowPoints(second, host, &corner, 1);
    CHECK_EQUAL(corner.x, 10);
    CHECK_EQUAL(corner.y, 20);
    CHECK(editor.WaitTicks(2));

    // A close request closes the editor for good: no window, no timer.
    SendMessageA(second, WM_CLOSE, 0, 0);
    CHECK(!IsWindow(second));
    CHECK(!editor.mpWindow->HasWindow());
    CHECK(!ClassRegistered());
    int ticks = editor.mTicks.mTicks;
    Pump(150);
    CHECK_EQUAL(editor.mTicks.mTicks, ticks);
}

void TestTwoEditorsShareTheClass(Editor& first, HWND host)
{
    // The second editor sits in a child frame of the host, as in hosts that
    // wrap editors in windows of their own.
    HWND frame = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 200, 260, 130, host, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    Editor second;
    HWND one = static_cast<HWND>(first.mpWindow->OpenWindow(host));
    HWND two = static_cast<HWND>(second.mpWindow->OpenWindow(frame));
    CHECK(one && two && one != two);
    CHECK(ClassRegistered());
    first.mpWindow->CloseWindow();
    CHECK(ClassRegistered());
    CHECK(IsWindow(two) && !IsWindow(one));
    CHECK(second.WaitTicks(2));
    CHECK_EQUAL(WindowPixel(two, GAIN_RECT.MidX(), GAIN_RECT.MidY()), RedPixel(0.5));

    // Resizing grows the window and its child frame, not the top-level host.
    RECT hostBefore, hostAfter, frameRect, client;
    GetWindowRect(host, &hostBefore);
    second.mpWindow->Resize(EDITOR_WIDTH + 10, EDITOR_HEIGHT + 6);
    GetClientRect(two, &client);
    CHECK_EQUAL(client.right, EDITOR_WIDTH + 10);
    CHECK_EQUAL(client.bottom, EDITOR_HEIGHT + 6);
    GetWindowRect(frame, &frameRect);
    CHECK_EQUAL(frameRect.right - frameRect.left, 270);
    CHECK_EQUAL(frameRect.bottom - frameRect.top, 136);
    GetWindowRect(host, &hostAfter);
    CHECK(EqualRect(&hostBefore, &hostAfter));

    second.mpWindow->CloseWindow();
    CHECK(!ClassRegistered());
    DestroyWindow(frame);
}

void TestHostDestroysItsWindowFirst(Editor& editor, HWND host)
{
    // Some hosts destroy the window they gave the editor before they close
    // the editor: the child goes with it, and closing afterwards must still
    // release the class and let the editor open again.
    HWND frame = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 200, 260, 130, host, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    HWND window = static_cast<HWND>(editor.mpWindow->OpenWindow(frame));
    CHECK(window != nullptr);
    editor.WaitTicks(1);
    ClickAt(window, DEPTH_RECT.MidX(), DEPTH_RECT.MidY(), true);
    HWND edit = nullptr;
    CHECK(PumpUntil([&] { return (edit = PromptEdit(window)) != nullptr; }));
    HFONT font = edit ? reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)) : nullptr;
    DestroyWindow(frame);
    CHECK(!IsWindow(window));
    Pump(100);
    editor.mpWindow->CloseWindow();
    CHECK(!editor.mpWindow->HasWindow());
    CHECK(!ClassRegistered());
    CHECK(font && GetObjectType(font) == 0);
    window = static_cast<HWND>(editor.mpWindow->OpenWindow(host));
    CHECK(window != nullptr);
    CHECK(editor.WaitTicks(1));
    editor.mpWindow->CloseWindow();
}

BOOL CALLBACK CountWindow(HWND /*window*/, LPARAM counter)
{
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

int CountChildWindows(HWND parent)
{
    int count = 0;
    EnumChildWindows(parent, CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

void TestOpenAndClose50Times(Editor& editor, HWND host)
{
    HANDLE process = GetCurrentProcess();
    auto cycle = [&](bool withPrompt) -> HFONT {
        HWND window = static_cast<HWND>(editor.mpWindow->OpenWindow(host));
        if (!window) return nullptr;
        editor.WaitTicks(1);
        HFONT font = nullptr;
        if (withPrompt) {
            ClickAt(window, DEPTH_RECT.MidX(), DEPTH_RECT.MidY(), true);
            HWND edit = nullptr;
            PumpUntil([&] { return (edit = PromptEdit(window)) != nullptr; }, 1000);
            if (edit) font = reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0));
        }
        editor.mpWindow->CloseWindow();
        return font;
    };
    // One round first, so that whatever the system creates once per process
    // (the edit class's data, cached fonts) is there before counting.
    cycle(true);
    Pump(50);
    DWORD gdiBefore = GetGuiResources(process, GR_GDIOBJECTS);
    DWORD userBefore = GetGuiResources(process, GR_USEROBJECTS);
    int childrenBefore = CountChildWindows(host);
    int opened = 0;
    bool fontsFreed = true;
    for (int i = 0; i < 50; ++i) {
        bool withPrompt = i % 5 == 0;
        HFONT font = cycle(withPrompt);
        if (editor.mpWindow->HasWindow()) break;
        ++opened;
        if (withPrompt) fontsFreed = fontsFreed && font && GetObjectType(font) == 0;
    }
    Pump(50);
    CHECK_EQUAL(opened, 50);
    CHECK(fontsFreed);
    CHECK_EQUAL(CountChildWindows(host), childrenBefore);
    CHECK(!ClassRegistered());
    // Windows counts the process's objects; wine's GetGuiResources answers
    // 0, and there the checks above (windows, fonts, class, menus in
    // TestMenus) are what finds a leak.
    if (gdiBefore > 0 || userBefore > 0) {
        CHECK_EQUAL(GetGuiResources(process, GR_GDIOBJECTS), gdiBefore);
        CHECK_EQUAL(GetGuiResources(process, GR_USEROBJECTS), userBefore);
        std::printf(
            "open/close x50: GDI objects %lu -> %lu, USER objects %lu -> %lu\n", static_cast<unsigned long>(gdiBefore),
            static_cast<unsigned long>(GetGuiResources(process, GR_GDIOBJECTS)), static_cast<unsigned long>(userBefore),
            static_cast<unsigned long>(GetGuiResources(process, GR_USEROBJECTS)));
    } else {
        std::printf("open/close x50: GetGuiResources reports nothing here; windows and fonts checked instead\n");
    }
}

void Run(const char* name, const std::function<void()>& test)
{
    int failures = gFailures;
    test();
    std::printf("%s %s\n", gFailures == failures ? "ok  " : "FAIL", name);
    std::fflush(stdout);
}

}  // namespace

int main()
{
    // Editor pixels must be screen pixels, not scaled by the system.
    SetProcessDPIAware();
    HWND host = CreateHostWindow();
    if (!host) {
        std::printf("FAIL: cannot create the host window\n");
        return 1;
    }
    {
        Editor editor;
        Run("opening", [&] { TestOpening(editor, host); });
        if (!editor.Window()) {
            std::printf("FAIL: the editor window did not open; nothing more to test\n");
            return 1;
        }
        Run("timer and drawing", [&] { TestTimerAndDrawing(editor); });
        Run("value from another thread", [&] { TestValueFromAnotherThread(editor); });
        Run("mouse", [&] { TestMouse(editor); });
        Run("keys and mouse leave", [&] { TestKeysAndMouseLeave(editor); });
        Run("value prompt", [&] { TestValuePrompt(editor, host); });
        Run("menus", [&] { TestMenus(editor); });
        Run("dialogs", [&] { TestDialogs(editor); });
        Run("folders", [&] { TestFolders(editor); });
        Run("reopening and closing", [&] { TestReopening(editor, host); });
        Run("two editors", [&] { TestTwoEditorsShareTheClass(editor, host); });
        Run("host destroys its window first", [&] { TestHostDestroysItsWindowFirst(editor, host); });
        Run("open and close 50 times", [&] { TestOpenAndClose50Times(editor, host); });
    }
    CHECK(!ClassRegistered());
    DestroyWindow(host);
    Pump(20);
    std::printf("%d checks, %d failed\n", gChecks, gFailures);
    if (gFailures == 0) std::printf("ALL PASSED\n");
    std::fflush(stdout);
    return gFailures == 0 ? 0 : 1;
}
