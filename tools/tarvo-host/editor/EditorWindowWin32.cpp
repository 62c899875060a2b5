// The editor window on Windows. The plug-in creates its child window in
// ours on this thread, so the host's message loop runs the plug-in's
// window too (its timer, its painting). Input is posted as the mouse and
// key messages the system would send: to the window holding the mouse
// capture, else to the deepest visible child under the point, with the
// thread's key state showing the buttons and modifiers held, so that a
// plug-in that asks GetKeyState sees what the message says.
#include "EditorWindow.h"

#include <windows.h>

#include <cstdint>
#include <string>

#include "EditorGesture.h"
#include "framework/raster/RasterBitmap.h"
#include "framework/raster/SystemBitmap.h"

namespace {
const char* const WINDOW_CLASS = "TarvoHostEditorWindow";
const DWORD WINDOW_STYLE = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// How long the new window is given to show and paint before the plug-in
// gets it.
const int SHOW_MS = 100;
// Window nesting deeper than this is taken for a loop.
const int MAX_CHILD_DEPTH = 64;

LRESULT CALLBACK TopLevelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The host, not the user, decides when the editor closes.
    if (message == WM_CLOSE) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

UINT VirtualKeyFor(EEditorKey key, char character)
{
    switch (key) {
    case EEditorKey_Character:
        if (character >= 'a' && character <= 'z') return UINT('A' + (character - 'a'));
        return UINT(character);  // '0'-'9' are their own virtual keys
    case EEditorKey_Space:
        return VK_SPACE;
    case EEditorKey_Up:
        return VK_UP;
    case EEditorKey_Down:
        return VK_DOWN;
    case EEditorKey_Left:
        return VK_LEFT;
    case EEditorKey_Right:
        return VK_RIGHT;
    case EEditorKey_Return:
        return VK_RETURN;
    case EEditorKey_Escape:
        return VK_ESCAPE;
    case EEditorKey_BackSpace:
        return VK_BACK;
    case EEditorKey_Minus:
        return VK_OEM_MINUS;
    case EEditorKey_Period:
        return VK_OEM_PERIOD;
    }
    return 0;
}

bool IsExtendedKey(UINT virtualKey)
{
    return virtualKey == VK_UP || virtualKey == VK_DOWN || virtualKey == VK_LEFT || virtualKey == VK_RIGHT;
}

// ---- Answering the plug-in's file dialogs
//
// A plug-in's common file dialog runs a modal loop inside the message the
// host delivered (a click), on this thread. A thread timer's procedure is
// called from that loop too: it finds the dialog and answers it as a user
// would, typing the file name and pressing OK (or Cancel). The timer has no
// room for data, so the answer waits in these.
const UINT ANSWER_POLL_MS = 40;
// Given up when no dialog came for this long.
const int ANSWER_POLLS = 250;
const int FILE_NAME_EDIT = 0x480;   // edt1: the name box of old-style dialogs
const int FILE_NAME_COMBO = 0x47C;  // cmb13: the name box of explorer ones
std::string gAnswer;
bool gAnswerCancels = false;
UINT_PTR gAnswerTimer = 0;
int gAnswerPolls = 0;
int gAnsweredDialogs = 0;

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM found)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void StopAnswering()
{
    if (gAnswerTimer) KillTimer(nullptr, gAnswerTimer);
    gAnswerTimer = 0;
}

void CALLBACK AnswerTimer(HWND /*window*/, UINT /*message*/, UINT_PTR /*id*/, DWORD /*time*/)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindVisibleDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) {
        if (++gAnswerPolls >= ANSWER_POLLS) StopAnswering();
        return;
    }
    StopAnswering();
    if (!gAnswerCancels) {
        SetDlgItemTextA(dialog, FILE_NAME_EDIT, gAnswer.c_str());
        SetDlgItemTextA(dialog, FILE_NAME_COMBO, gAnswer.c_str());
    }
    PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(gAnswerCancels ? IDCANCEL : IDOK), 0);
    ++gAnsweredDialogs;
}

void AnswerNextDialog(const std::string& answer)
{
    StopAnswering();
    gAnswer = answer;
    gAnswerCancels = answer.empty();
    gAnswerPolls = 0;
    gAnswerTimer = SetTimer(nullptr, 0, ANSWER_POLL_MS, AnswerTimer);
}
}  // namespace

struct EditorWindow::Platform {
    HWND window = nullptr;
    int width = 0;
    int height = 0;

    bool InOurWindow(HWND candidate) const { return candidate && (candidate == window || IsChild(window, candidate)); }
    HWND TargetAt(int x, int y, POINT* targetPoint) const;
    void SetKeyState(UINT virtualKey, bool down) const;
    void SetModifierState(int modifiers, bool down) const;
    WPARAM MouseKeys(int modifiers, UINT heldButton) const;
    void PostMouse(UINT message, int x, int y, WPARAM keys) const;
    void Click(const EditorInputAction& action, EditorLoop* loop) const;
    void Drag(const EditorInputAction& action, EditorLoop* loop) const;
    void Hold(const EditorInputAction& action, EditorLoop* loop);
    void Release(EditorLoop* loop);
    // The button a hold keeps down (0 for none) and where the pointer is.
    UINT heldButton = 0;
    EditorPoint heldAt = {0, 0};
    void Wheel(const EditorInputAction& action, EditorLoop* loop) const;
    void Key(const EditorInputAction& action, EditorLoop* loop) const;
};

void PrepareWindowSystem()
{
    // Editor pixels must be screen pixels, not scaled by the system.
    SetProcessDPIAware();
}

bool EditorWindow::Create(int width, int height, const std::string& title, std::string* error)
{
    Destroy();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = TopLevelProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = WINDOW_CLASS;
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        *error = "cannot register the editor window's class (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, WINDOW_STYLE, FALSE, 0);
    HWND window = CreateWindowExA(0, WINDOW_CLASS, title.c_str(), WINDOW_STYLE, 0, 0, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!window) {
        *error = "cannot create the editor window (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    mpPlatform = new Platform;
    mpPlatform->window = window;
    mpPlatform->width = width;
    mpPlatform->height = height;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetForegroundWindow(window);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < DWORD(SHOW_MS)) {
        ProcessEvents();
        Sleep(5);
    }
    if (!IsWindowVisible(window)) {
        *error = "the editor window did not become visible";
        Destroy();
        return false;
    }
    return true;
}

void* EditorWindow::ParentHandle() const { return mpPlatform ? static_cast<void*>(mpPlatform->window) : nullptr; }

bool EditorWindow::Resize(int width, int height)
{
    if (!mpPlatform) return false;
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, WINDOW_STYLE, FALSE, 0);
    mpPlatform->width = width;
    mpPlatform->height = height;
    return SetWindowPos(mpPlatform->window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

void EditorWindow::WaitForEvents(int milliseconds)
{
    if (milliseconds <= 0) return;
    // Any message of this thread, the plug-in's timer among them, ends the
    // wait.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds), QS_ALLINPUT);
}

void EditorWindow::ProcessEvents()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        // Keys become WM_CHAR here, as in any host's message loop.
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool EditorWindow::HasChildWindow() const { return mpPlatform && GetWindow(mpPlatform->window, GW_CHILD) != nullptr; }

HWND EditorWindow::Platform::TargetAt(int x, int y, POINT* targetPoint) const
{
    POINT point = {x, y};
    HWND capture = GetCapture();
    if (InOurWindow(capture)) {
        MapWindowPoints(window, capture, &point, 1);
        *targetPoint = point;
        return capture;
    }
    HWND current = window;
    for (int depth = 0; depth < MAX_CHILD_DEPTH; ++depth) {
        HWND child = ChildWindowFromPointEx(current, point, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
        if (!child || child == current) break;
        MapWindowPoints(current, child, &point, 1);
        current = child;
    }
    *targetPoint = point;
    return current;
}

void EditorWindow::Platform::SetKeyState(UINT virtualKey, bool down) const
{
    BYTE state[256];
    if (!GetKeyboardState(state)) return;
    state[virtualKey] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

void EditorWindow::Platform::SetModifierState(int modifiers, bool down) const
{
    BYTE state[256];
    if (!GetKeyboardState(state)) return;
    if (modifiers & EDITOR_MODIFIER_SHIFT) state[VK_SHIFT] = state[VK_LSHIFT] = down ? 0x80 : 0;
    if (modifiers & EDITOR_MODIFIER_CTRL) state[VK_CONTROL] = state[VK_LCONTROL] = down ? 0x80 : 0;
    if (modifiers & EDITOR_MODIFIER_ALT) state[VK_MENU] = state[VK_LMENU] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

WPARAM EditorWindow::Platform::MouseKeys(int modifiers, UINT heldButton) const
{
    WPARAM keys = 0;
    if (modifiers & EDITOR_MODIFIER_SHIFT) keys |= MK_SHIFT;
    if (modifiers & EDITOR_MODIFIER_CTRL) keys |= MK_CONTROL;
    if (heldButton == VK_LBUTTON) keys |= MK_LBUTTON;
    if (heldButton == VK_RBUTTON) keys |= MK_RBUTTON;
    return keys;
}

void EditorWindow::Platform::PostMouse(UINT message, int x, int y, WPARAM keys) const
{
    POINT point;
    HWND target = TargetAt(x, y, &point);
    // The cursor goes along, for plug-ins that ask where it is.
    POINT screen = {x, y};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageA(target, message, keys, MAKELPARAM(WORD(SHORT(point.x)), WORD(SHORT(point.y))));
}

void EditorWindow::Platform::Click(const EditorInputAction& action, EditorLoop* loop) const
{
    bool right = action.button == EMouseButton_Right;
    UINT buttonKey = right ? VK_RBUTTON : VK_LBUTTON;
    UINT down = right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    UINT up = right ? WM_RBUTTONUP : WM_LBUTTONUP;
    UINT doubleClick = right ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK;
    SetModifierState(action.modifiers, true);
    PostMouse(WM_MOUSEMOVE, action.x, action.y, MouseKeys(action.modifiers, 0));
    loop->RunFor(GESTURE_STEP_MS);
    int clicks = action.kind == EEditorInput_DoubleClick ? 2 : 1;
    for (int i = 0; i < clicks; ++i) {
        UINT press = down;
        if (i > 0) {
            loop->RunFor(DOUBLE_CLICK_GAP_MS);
            // The system turns the second press into a double click only
            // for windows whose class asks for it.
            POINT point;
            HWND target = TargetAt(action.x, action.y, &point);
            if (GetClassLongPtrA(target, GCL_STYLE) & CS_DBLCLKS) press = doubleClick;
        }
        SetKeyState(buttonKey, true);
        PostMouse(press, action.x, action.y, MouseKeys(action.modifiers, buttonKey));
        loop->RunFor(GESTURE_HOLD_MS);
        SetKeyState(buttonKey, false);
        PostMouse(up, action.x, action.y, MouseKeys(action.modifiers, 0));
        loop->RunFor(GESTURE_STEP_MS);
    }
    SetModifierState(action.modifiers, false);
}

void EditorWindow::Platform::Drag(const EditorInputAction& action, EditorLoop* loop) const
{
    bool right = action.button == EMouseButton_Right;
    UINT buttonKey = right ? VK_RBUTTON : VK_LBUTTON;
    SetModifierState(action.modifiers, true);
    PostMouse(WM_MOUSEMOVE, action.x, action.y, MouseKeys(action.modifiers, 0));
    loop->RunFor(GESTURE_STEP_MS);
    SetKeyState(buttonKey, true);
    PostMouse(right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, action.x, action.y, MouseKeys(action.modifiers, buttonKey));
    loop->RunFor(GESTURE_HOLD_MS);
    for (const EditorPoint& point : DragPath(action)) {
        PostMouse(WM_MOUSEMOVE, point.x, point.y, MouseKeys(action.modifiers, buttonKey));
        loop->RunFor(GESTURE_STEP_MS);
    }
    loop->RunFor(GESTURE_HOLD_MS);
    SetKeyState(buttonKey, false);
    PostMouse(right ? WM_RBUTTONUP : WM_LBUTTONUP, action.endX, action.endY, MouseKeys(action.modifiers, 0));
    loop->RunFor(GESTURE_STEP_MS);
    SetModifierState(action.modifiers, false);
}

void EditorWindow::Platform::Hold(const EditorInputAction& action, EditorLoop* loop)
{
    bool right = action.button == EMouseButton_Right;
    UINT buttonKey = right ? VK_RBUTTON : VK_LBUTTON;
    PostMouse(WM_MOUSEMOVE, action.x, action.y, 0);
    loop->RunFor(GESTURE_STEP_MS);
    SetKeyState(buttonKey, true);
    PostMouse(right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, action.x, action.y, MouseKeys(0, buttonKey));
    heldButton = buttonKey;
    heldAt = EditorPoint{action.x, action.y};
    loop->RunFor(GESTURE_HOLD_MS);
    for (const EditorPoint& point : DragPath(action)) {
        PostMouse(WM_MOUSEMOVE, point.x, point.y, MouseKeys(0, buttonKey));
        heldAt = point;
        loop->RunFor(GESTURE_STEP_MS);
    }
}

void EditorWindow::Platform::Release(EditorLoop* loop)
{
    if (!heldButton) return;
    UINT buttonKey = heldButton;
    heldButton = 0;
    SetKeyState(buttonKey, false);
    if (IsWindow(window))
        PostMouse(buttonKey == VK_RBUTTON ? WM_RBUTTONUP : WM_LBUTTONUP, heldAt.x, heldAt.y, MouseKeys(0, 0));
    loop->RunFor(GESTURE_STEP_MS);
}

void EditorWindow::Platform::Wheel(const EditorInputAction& action, EditorLoop* loop) const
{
    PostMouse(WM_MOUSEMOVE, action.x, action.y, 0);
    loop->RunFor(GESTURE_STEP_MS);
    // Wheel messages carry screen coordinates and go to the window under
    // the pointer, as on current Windows.
    POINT screen = {action.x, action.y};
    ClientToScreen(window, &screen);
    POINT point;
    int count = action.notches > 0 ? action.notches : -action.notches;
    SHORT delta = SHORT(action.notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA);
    for (int i = 0; i < count; ++i) {
        HWND target = TargetAt(action.x, action.y, &point);
        PostMessageA(target, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(delta)),
                     MAKELPARAM(WORD(SHORT(screen.x)), WORD(SHORT(screen.y))));
        loop->RunFor(GESTURE_STEP_MS);
    }
}

void EditorWindow::Platform::Key(const EditorInputAction& action, EditorLoop* loop) const
{
    UINT virtualKey = VirtualKeyFor(action.key, action.character);
    HWND focus = GetFocus();
    HWND target = InOurWindow(focus) ? focus : GetWindow(window, GW_CHILD);
    if (!target) target = window;
    LPARAM scan = LPARAM(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    if (IsExtendedKey(virtualKey)) scan |= LPARAM(1) << 24;
    SetKeyState(virtualKey, true);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | scan);
    loop->RunFor(GESTURE_HOLD_MS);
    SetKeyState(virtualKey, false);
    // Key-up: previous state down (bit 30) and transition (bit 31).
    PostMessageA(target, WM_KEYUP, virtualKey, LPARAM(1 | scan | (LPARAM(1) << 30) | (LPARAM(1) << 31)));
    loop->RunFor(GESTURE_STEP_MS);
}

bool EditorWindow::DeliverToWindow(const EditorInputAction& action, EditorLoop* loop, std::string* /*error*/)
{
    switch (action.kind) {
    case EEditorInput_Click:
    case EEditorInput_DoubleClick:
        mpPlatform->Click(action, loop);
        break;
    case EEditorInput_Drag:
        mpPlatform->Drag(action, loop);
        break;
    case EEditorInput_Hold:
        mpPlatform->Hold(action, loop);
        break;
    case EEditorInput_Release:
        mpPlatform->Release(loop);
        break;
    case EEditorInput_Wheel:
        mpPlatform->Wheel(action, loop);
        break;
    case EEditorInput_Key:
        mpPlatform->Key(action, loop);
        break;
    case EEditorInput_Wait:
        break;
    case EEditorInput_Answer:
        AnswerNextDialog(action.answer);
        break;
    }
    return true;
}

int EditorWindow::AnsweredDialogs() const { return gAnsweredDialogs; }

bool EditorWindow::CaptureWindow(RasterBitmap* bitmap, std::string* error)
{
    int width = mpPlatform->width;
    int height = mpPlatform->height;
    HDC windowContext = GetDC(mpPlatform->window);
    if (!windowContext) {
        *error = "cannot get the editor window's device context";
        return false;
    }
    // A DIB section of the library's pixel layout to copy the screen into.
    SystemBitmap copy(width, height);
    HDC copyContext = static_cast<HDC>(copy.DeviceContext());
    bool ok = false;
    if (copyContext) {
        // The window's client area as the screen shows it, children
        // included (the top-level window does not clip them).
        ok = BitBlt(copyContext, 0, 0, width, height, windowContext, 0, 0, SRCCOPY | CAPTUREBLT) != 0;
        GdiFlush();
        if (ok) {
            const uint32_t* source = copy.Pixels();
            ptrdiff_t span = copy.RowSpan();
            ok = CopyCapture(
                bitmap, width, height, [&](int x, int y) { return source[ptrdiff_t(y) * span + x]; }, error);
        } else {
            *error = "BitBlt could not read the editor window";
        }
    } else {
        *error = "cannot create a bitmap for the capture";
    }
    ReleaseDC(mpPlatform->window, windowContext);
    return ok;
}

void EditorWindow::Destroy()
{
    if (!mpPlatform) return;
    if (mpPlatform->window) DestroyWindow(mpPlatform->window);
    ProcessEvents();
    delete mpPlatform;
    mpPlatform = nullptr;
}
