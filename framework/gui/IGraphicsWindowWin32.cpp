// The Win32 part of the editor window: a child window of the host's editor
// window, driven by the host's own message loop on its user-interface
// thread. Everything here runs on that thread; the locks are taken by the
// shared entry points (Tick, Handle*, Prompt*) that the window procedures
// call.
//
// Drawing: the ticks draw into the draw bitmap, a DIB section with its own
// device context; BlitToWindow invalidates the drawn rect and updates the
// window at once, and WM_PAINT copies the update rect from the DIB with
// BitBlt. The window class has no background brush and WM_ERASEBKGND is
// swallowed: every pixel comes from the bitmap, so erasing would only
// flicker.
//
// Modal loops (popup menus, file and colour dialogs, message boxes) keep
// dispatching this window's messages. Ticks are skipped while one runs, so
// no redraw or tick handler runs in the middle of the control's mouse
// handler that opened it. Should the host close the editor from inside such
// a loop, the native record outlives the loop and is freed by its end.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>
// The surface has a LoadImage of its own.
#undef LoadImage

#include "IGraphicsWindow.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/plugin/RecursiveLock.h"
#include "framework/raster/SystemBitmap.h"

namespace {

const char* const WINDOW_CLASS_NAME = "IPlugWndClass";
const char* const WINDOW_TITLE = "IPlug";
const char* const PROMPT_FONT_NAME = "Arial";
const int PROMPT_FONT_HEIGHT = 14;
// The child id of the prompt's edit box in the editor window.
const int PROMPT_CONTROL_ID = 1;
// File dialogs return at most 255 characters.
const int FILE_PATH_BUFFER = 256;
const int CUSTOM_COLOUR_COUNT = 16;

// The process-wide count of open editor windows of this module; the window
// class is registered while it is above 0. Several plug-in instances in one
// host share the one registration.
int gOpenWindowCount = 0;

RecursiveLock& RegistrationLock()
{
    static RecursiveLock lock;
    return lock;
}

// This module's instance: the plug-in DLL when the framework is linked into
// one, not the host program (GetModuleHandle(NULL) would be the host).
HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&ThisModule), &module)) {
        return nullptr;
    }
    return module;
}

bool AddWindowUse(HINSTANCE instance, WNDPROC windowProc)
{
    ScopedLock lock(RegistrationLock());
    if (gOpenWindowCount == 0) {
        WNDCLASSA windowClass;
        std::memset(&windowClass, 0, sizeof windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = WINDOW_CLASS_NAME;
        // A DLL's classes outlive it when it is unloaded with the class
        // still registered; a copy of this module loaded at the same address
        // then finds its own class and may use it.
        if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    }
    ++gOpenWindowCount;
    return true;
}

void DropWindowUse(HINSTANCE instance)
{
    ScopedLock lock(RegistrationLock());
    if (gOpenWindowCount <= 0) return;
    if (--gOpenWindowCount == 0) UnregisterClassA(WINDOW_CLASS_NAME, instance);
}

int SignedLow(LPARAM value) { return static_cast<short>(LOWORD(value)); }
int SignedHigh(LPARAM value) { return static_cast<short>(HIWORD(value)); }

// Buttons, shift and control as the message reports them; alt is not part
// of a mouse message, so it is read from the key state.
MouseMods ModsFromKeys(WPARAM keys)
{
    return MouseMods((keys & MK_LBUTTON) != 0, (keys & MK_RBUTTON) != 0, (keys & MK_SHIFT) != 0,
                     (keys & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
}

bool IsChildWindow(HWND window) { return window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0; }

void GrowWindow(HWND window, int dw, int dh)
{
    RECT rect;
    if (!GetWindowRect(window, &rect)) return;
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left + dw, rect.bottom - rect.top + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Menu texts are shown as given: a single "&" would otherwise underline the
// next letter and vanish.
std::string MenuText(const std::string& text)
{
    std::string result;
    for (char c : text) {
        if (c == '&') result += '&';
        result += c;
    }
    return result;
}

HMENU BuildMenu(const std::vector<NativeMenuItem>& items)
{
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    for (const NativeMenuItem& item : items) {
        BOOL added;
        if (item.mSeparator) {
            added = AppendMenuA(menu, MF_SEPARATOR | (item.mColumnBreak ? MF_MENUBREAK : 0), 0, nullptr);
        } else {
            UINT flags = MF_STRING;
            if (item.mChecked) flags |= MF_CHECKED;
            if (item.mColumnBreak) flags |= MF_MENUBREAK;
            std::string text = MenuText(item.mText);
            if (item.mHasSubmenu) {
                HMENU submenu = BuildMenu(item.mSubmenu);
                added =
                    submenu && AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), text.c_str());
                if (submenu && !added) DestroyMenu(submenu);
            } else {
                added = AppendMenuA(menu, flags, static_cast<UINT_PTR>(item.mId), text.c_str());
            }
        }
        if (!added) {
            DestroyMenu(menu);
            return nullptr;
        }
    }
    return menu;
}

// A dialog filter of one entry for a list of extensions separated by
// spaces, commas or semicolons ("mid txt", "*.mid;*.txt"); empty when there
// are none, which lets the dialog show every file.
std::string FileFilter(const char* extensions, std::string* pFirstExtension)
{
    std::string patterns;
    const char* p = extensions;
    while (*p) {
        while (*p == ' ' || *p == ',' || *p == ';') ++p;
        const char* start = p;
        while (*p && *p != ' ' && *p != ',' && *p != ';') ++p;
        std::string extension(start, p);
        if (extension.compare(0, 1, "*") == 0) extension.erase(0, 1);
        if (extension.compare(0, 1, ".") == 0) extension.erase(0, 1);
        if (extension.empty()) continue;
        if (pFirstExtension->empty()) *pFirstExtension = extension;
        if (!patterns.empty()) patterns += ';';
        patterns += "*." + extension;
    }
    if (patterns.empty()) return std::string();
    std::string filter = "Files (" + patterns + ")";
    filter += '\0';
    filter += patterns;
    // The list ends with an empty string: c_str() adds the second zero.
    filter += '\0';
    return filter;
}

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM /*wParam*/, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const CHOOSECOLORA* pChoose = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        if (pChoose && pChoose->lCustData) SetWindowTextA(dialog, reinterpret_cast<const char*>(pChoose->lCustData));
        return TRUE;
    }
    return FALSE;
}

int ColourComponent(int32_t value) { return std::clamp<int32_t>(value, 0, 255); }

}  // namespace

struct IGraphicsWindow::NativeWindow {
    IGraphicsWindow* mpGraphics = nullptr;
    HINSTANCE mInstance = nullptr;
    HWND mWindow = nullptr;
    // The device context of the WM_PAINT being handled, null otherwise.
    HDC mPaintDC = nullptr;
    HWND mEdit = nullptr;
    WNDPROC mEditPreviousProc = nullptr;
    HFONT mEditFont = nullptr;
    // Modal loops running on this window; the record must outlive them.
    int mModalDepth = 0;
    bool mClosed = false;
    // Modal loops run so far.
    unsigned mModalLoops = 0;
    // The last press was ended without its release (EndPressWithoutRelease).
    bool mReleaseDelivered = false;

    // Keeps the record alive across a modal loop: NativeClose may run inside
    // it and leaves the freeing to the loop's end.
    class ModalScope {
    public:
        explicit ModalScope(NativeWindow* pNative) : mpNative(pNative)
        {
            if (!mpNative) return;
            ++mpNative->mModalDepth;
            ++mpNative->mModalLoops;
        }
        ~ModalScope()
        {
            if (mpNative && --mpNative->mModalDepth == 0 && mpNative->mClosed) delete mpNative;
        }

    private:
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;
        NativeWindow* mpNative;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PromptProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT HandleMessage(IGraphicsWindow* pGraphics, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // A menu or dialog that a press opened takes the mouse, and with it the
    // button's release. The press ends right after it then, so that its
    // control does not keep the mouse (the wheel and keys would go to it)
    // and the host sees the end of the parameter gesture. modalLoops: the
    // count before the press.
    static void EndPressWithoutRelease(IGraphicsWindow* pGraphics, HWND window, unsigned modalLoops, int x, int y,
                                       MouseMods mods);
    // Restores the edit's procedure, destroys it and its font. refocus: give
    // the keyboard back to the editor window when the edit had it.
    void DestroyPromptEdit(bool refocus);
};

LRESULT CALLBACK IGraphicsWindow::NativeWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const CREATESTRUCTA* pCreate = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        IGraphicsWindow* pGraphics = static_cast<IGraphicsWindow*>(pCreate->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pGraphics));
        if (pGraphics && pGraphics->mpNative) pGraphics->mpNative->mWindow = window;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    IGraphicsWindow* pGraphics = reinterpret_cast<IGraphicsWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!pGraphics || !pGraphics->mpNative || pGraphics->mpNative->mWindow != window) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return HandleMessage(pGraphics, window, message, wParam, lParam);
}

// Whatever the surface is called with may close the window (a host that
// closes the editor from a parameter change): after such a call only
// window, message and the surface are used, never the native record.
LRESULT IGraphicsWindow::NativeWindow::HandleMessage(IGraphicsWindow* pGraphics, HWND window, UINT message,
                                                     WPARAM wParam, LPARAM lParam)
{
    NativeWindow* pNative = pGraphics->mpNative.get();
    // While the prompt's edit box has the focus the editor leaves the mouse
    // and the keyboard to the system; a right-button press cancels the
    // prompt, and releases still end the press that opened it.
    bool editing = pGraphics->GetPromptState() == PromptState_Editing;
    switch (message) {
    case WM_CREATE: {
        UINT interval = static_cast<UINT>(1000 / pGraphics->FrameRate());
        if (!SetTimer(window, TIMER_ID, interval, nullptr)) return -1;
        SetFocus(window);
        return 0;
    }
    case WM_TIMER:
        if (wParam != TIMER_ID) break;
        if (pNative->mModalDepth == 0) pGraphics->Tick();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        RECT update;
        bool any = GetUpdateRect(window, &update, FALSE) != 0;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc && any) {
            pNative->mPaintDC = dc;
            pGraphics->HandlePaint(ControlRect(update.left, update.top, update.right, update.bottom));
            pNative->mPaintDC = nullptr;
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        if (!editing) SetFocus(window);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        if (editing && message == WM_LBUTTONDOWN) break;
        int x = SignedLow(lParam), y = SignedHigh(lParam);
        MouseMods mods = ModsFromKeys(wParam);
        pNative->mReleaseDelivered = false;
        unsigned modalLoops = pNative->mModalLoops;
        // The right-button press that cancels an edit captures nothing.
        if (!editing) SetCapture(window);
        pGraphics->HandleMouseDown(x, y, mods);
        EndPressWithoutRelease(pGraphics, window, modalLoops, x, y, mods);
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (GetCapture() == window) ReleaseCapture();
        // The press was ended already: this is the release the modal loop
        // did not take.
        if (pNative->mReleaseDelivered) {
            pNative->mReleaseDelivered = false;
            return 0;
        }
        pGraphics->HandleMouseUp(SignedLow(lParam), SignedHigh(lParam), ModsFromKeys(wParam));
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        if (editing && message == WM_LBUTTONDBLCLK) break;
        if (pGraphics->HandleMouseDoubleClick(SignedLow(lParam), SignedHigh(lParam), ModsFromKeys(wParam)) &&
            !editing) {
            SetCapture(window);
        }
        return 0;
    case WM_MOUSEMOVE: {
        if (editing) break;
        MouseMods mods = ModsFromKeys(wParam);
        // A drag is a move with a button held of the press this window
        // captured; a button held from elsewhere makes a plain move.
        if (GetCapture() != window) mods.mLeft = mods.mRight = false;
        if (pGraphics->HandleMouseMove(SignedLow(lParam), SignedHigh(lParam), mods)) {
            TRACKMOUSEEVENT track;
            std::memset(&track, 0, sizeof track);
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = window;
            TrackMouseEvent(&track);
        }
        return 0;
    }
    case WM_MOUSELEAVE:
        pGraphics->HandleMouseLeave();
        return 0;
    case WM_MOUSEWHEEL: {
        if (editing) break;
        // The wheel reports screen coordinates.
        RECT place;
        if (!GetWindowRect(window, &place)) break;
        pGraphics->HandleMouseWheel(SignedLow(lParam) - place.left, SignedHigh(lParam) - place.top,
                                    ModsFromKeys(GET_KEYSTATE_WPARAM(wParam)),
                                    GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
        return 0;
    }
    case WM_KEYDOWN: {
        int key = KeyFromVirtualKey(static_cast<int>(wParam));
        if (editing || key == EKey_None) break;
        POINT cursor;
        if (!GetCursorPos(&cursor)) break;
        ScreenToClient(window, &cursor);
        pGraphics->HandleKeyDown(cursor.x, cursor.y, key);
        return 0;
    }
    case WM_GETDLGCODE:
        // Hosts that run the editor inside a dialog would take the arrows
        // for moving between their own controls.
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_CLOSE:
        pGraphics->CloseWindow();
        return 0;
    case WM_NCDESTROY:
        // Destroyed with the host's window before the host closed the
        // editor: the record stays until CloseWindow, with nothing left to
        // reach.
        pNative->mWindow = nullptr;
        pNative->mEdit = nullptr;
        pNative->mEditPreviousProc = nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void IGraphicsWindow::NativeWindow::EndPressWithoutRelease(IGraphicsWindow* pGraphics, HWND window, unsigned modalLoops,
                                                           int x, int y, MouseMods mods)
{
    // The record of a window closed meanwhile may be gone: only the current
    // one, of this window, is asked.
    NativeWindow* pNative = pGraphics->mpNative.get();
    if (!pNative || pNative->mWindow != window || pNative->mModalLoops == modalLoops) return;
    if (pGraphics->CaptureIdx() < 0) return;
    // A late release, should one come, is not delivered a second time.
    pNative->mReleaseDelivered = true;
    if (GetCapture() == window) ReleaseCapture();
    mods.mLeft = mods.mRight = false;
    pGraphics->HandleMouseUp(x, y, mods);
}

LRESULT CALLBACK IGraphicsWindow::NativeWindow::PromptProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND parent = GetParent(edit);
    IGraphicsWindow* pGraphics =
        parent ? reinterpret_cast<IGraphicsWindow*>(GetWindowLongPtrA(parent, GWLP_USERDATA)) : nullptr;
    NativeWindow* pNative = pGraphics ? pGraphics->mpNative.get() : nullptr;
    bool ours = pNative && pNative->mEdit == edit && pNative->mEditPreviousProc;
    // An edit box's own procedure is its class's.
    WNDPROC previous =
        ours ? pNative->mEditPreviousProc : reinterpret_cast<WNDPROC>(GetClassLongPtrA(edit, GCLP_WNDPROC));
    if (ours) {
        switch (message) {
        case WM_SETFOCUS:
            pGraphics->PromptFocusChanged(true);
            break;
        case WM_KILLFOCUS:
            pGraphics->PromptFocusChanged(false);
            break;
        case WM_GETDLGCODE:
            // Enter must reach the box even inside a host's dialog.
            return CallWindowProcA(previous, edit, message, wParam, lParam) | DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                pGraphics->PromptEnterPressed();
                return 0;
            }
            break;
        case WM_CHAR:
            // The Enter key's character would only make a single-line box beep.
            if (wParam == '\r' || wParam == '\n') return 0;
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                pGraphics->PromptEnterPressed();
                return 0;
            }
            break;
        default:
            break;
        }
    }
    return CallWindowProcA(previous, edit, message, wParam, lParam);
}

void IGraphicsWindow::NativeWindow::DestroyPromptEdit(bool refocus)
{
    if (mEdit) {
        HWND edit = mEdit;
        bool hadFocus = GetFocus() == edit;
        if (mEditPreviousProc) SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mEditPreviousProc));
        mEdit = nullptr;
        mEditPreviousProc = nullptr;
        DestroyWindow(edit);
        if (refocus && hadFocus && mWindow) SetFocus(mWindow);
    }
    if (mEditFont) {
        DeleteObject(mEditFont);
        mEditFont = nullptr;
    }
}

bool IGraphicsWindow::NativeOpen(void* pParent, int x, int y)
{
    if (mpNative) NativeClose();
    HWND parent = static_cast<HWND>(pParent);
    HINSTANCE instance = ThisModule();
    if (!parent || !instance) return false;
    if (!AddWindowUse(instance, NativeWindow::WindowProc)) return false;
    NativeWindow* pNative = new NativeWindow();
    pNative->mpGraphics = this;
    pNative->mInstance = instance;
    mpNative.reset(pNative);
    // WS_CLIPCHILDREN keeps the bitmap copies off the prompt's edit box.
    HWND window = CreateWindowExA(0, WINDOW_CLASS_NAME, WINDOW_TITLE, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
                                  Width(), Height(), parent, nullptr, instance, this);
    if (!window) {
        mpNative.reset();
        DropWindowUse(instance);
        return false;
    }
    pNative->mWindow = window;
    return true;
}

void IGraphicsWindow::NativeClose()
{
    NativeWindow* pNative = mpNative.get();
    if (!pNative) return;
    HWND window = pNative->mWindow;
    if (window) KillTimer(window, TIMER_ID);
    pNative->DestroyPromptEdit(false);
    if (window) {
        if (GetCapture() == window) ReleaseCapture();
        // Messages sent while it is destroyed no longer reach the surface.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
    pNative->mWindow = nullptr;
    // From here the record is this function's to free, or the modal loop's
    // that still runs on it.
    mpNative.release();
    DropWindowUse(pNative->mInstance);
    if (pNative->mModalDepth > 0) {
        pNative->mClosed = true;
    } else {
        delete pNative;
    }
}

void IGraphicsWindow::NativeWindowDeleter::operator()(NativeWindow* pNative) const { delete pNative; }

void* IGraphicsWindow::NativeHandle() const { return mpNative ? mpNative->mWindow : nullptr; }

bool IGraphicsWindow::NativePlace(int* pX, int* pY) const
{
    if (!mpNative || !mpNative->mWindow) return false;
    RECT rect;
    if (!GetWindowRect(mpNative->mWindow, &rect)) return false;
    POINT corner = {rect.left, rect.top};
    MapWindowPoints(HWND_DESKTOP, GetParent(mpNative->mWindow), &corner, 1);
    *pX = corner.x;
    *pY = corner.y;
    return true;
}

void IGraphicsWindow::NativeBlit(const ControlRect& rect)
{
    NativeWindow* pNative = mpNative.get();
    if (!pNative || !pNative->mWindow || !mpDrawBitmap) return;
    int left = rect.mLeft < 0 ? 0 : rect.mLeft;
    int top = rect.mTop < 0 ? 0 : rect.mTop;
    int right = rect.mRight > mpDrawBitmap->Width() ? mpDrawBitmap->Width() : rect.mRight;
    int bottom = rect.mBottom > mpDrawBitmap->Height() ? mpDrawBitmap->Height() : rect.mBottom;
    if (left >= right || top >= bottom) return;
    if (pNative->mPaintDC) {
        HDC source = static_cast<HDC>(mpDrawBitmap->DeviceContext());
        if (!source) return;
        BitBlt(pNative->mPaintDC, left, top, right - left, bottom - top, source, left, top, SRCCOPY);
        // The next tick writes the DIB's pixels directly; GDI must be done
        // reading them.
        GdiFlush();
        return;
    }
    RECT update = {left, top, right, bottom};
    InvalidateRect(pNative->mWindow, &update, FALSE);
    UpdateWindow(pNative->mWindow);
}

void IGraphicsWindow::NativeBlitRects(const ControlRect* pRects, int count)
{
    NativeWindow* pNative = mpNative.get();
    if (!pNative || !pNative->mWindow || !mpDrawBitmap) return;
    if (pNative->mPaintDC) {
        for (int i = 0; i < count; ++i) NativeBlit(pRects[i]);
        return;
    }
    // One paint for the whole batch.
    for (int i = 0; i < count; ++i) {
        RECT update = {pRects[i].mLeft, pRects[i].mTop, pRects[i].mRight, pRects[i].mBottom};
        InvalidateRect(pNative->mWindow, &update, FALSE);
    }
    UpdateWindow(pNative->mWindow);
}

void IGraphicsWindow::NativeResize(int dw, int dh)
{
    if (!mpNative || !mpNative->mWindow) return;
    HWND window = mpNative->mWindow;
    GrowWindow(window, dw, dh);
    // Hosts that wrap the editor in windows of their own leave them at the
    // old size otherwise.
    HWND parent = GetParent(window);
    if (!IsChildWindow(parent)) return;
    GrowWindow(parent, dw, dh);
    HWND grandparent = GetParent(parent);
    if (IsChildWindow(grandparent)) GrowWindow(grandparent, dw, dh);
}

bool IGraphicsWindow::NativeCreateEdit(const ControlRect& rect, const char* text)
{
    NativeWindow* pNative = mpNative.get();
    if (!pNative || !pNative->mWindow) return false;
    pNative->DestroyPromptEdit(false);
    HWND edit =
        CreateWindowExA(0, "EDIT", text, WS_CHILD | WS_VISIBLE | ES_CENTER | ES_AUTOHSCROLL, rect.mLeft, rect.mTop,
                        rect.Width(), rect.Height(), pNative->mWindow,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(PROMPT_CONTROL_ID)), pNative->mInstance, nullptr);
    if (!edit) return false;
    pNative->mEdit = edit;
    // Replaced before the box gets the focus, so that the prompt sees it
    // gain the focus and knows it is being edited.
    pNative->mEditPreviousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NativeWindow::PromptProc)));
    pNative->mEditFont =
        CreateFontA(PROMPT_FONT_HEIGHT, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, PROMPT_FONT_NAME);
    if (pNative->mEditFont) SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(pNative->mEditFont), FALSE);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
    return true;
}

void IGraphicsWindow::NativeDestroyEdit()
{
    if (mpNative) mpNative->DestroyPromptEdit(true);
}

void IGraphicsWindow::NativeGetEditText(std::string* pText, int maxLength)
{
    pText->clear();
    if (!mpNative || !mpNative->mEdit || maxLength <= 0) return;
    std::vector<char> buffer(static_cast<size_t>(maxLength) + 1, '\0');
    int length = GetWindowTextA(mpNative->mEdit, buffer.data(), maxLength + 1);
    if (length > 0) pText->assign(buffer.data(), static_cast<size_t>(length));
}

void IGraphicsWindow::NativeSetEditText(const char* text)
{
    if (mpNative && mpNative->mEdit) SetWindowTextA(mpNative->mEdit, text);
}

int IGraphicsWindow::NativeTrackMenu(const NativeMenu& menu, int x, int y)
{
    NativeWindow* pNative = mpNative.get();
    if (!pNative || !pNative->mWindow) return 0;
    HWND window = pNative->mWindow;
    HMENU popup = BuildMenu(menu.mItems);
    if (!popup) return 0;
    POINT point = {x, y};
    ClientToScreen(window, &point);
    int chosen;
    {
        NativeWindow::ModalScope modal(pNative);
        chosen = static_cast<int>(TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                                                 point.x, point.y, 0, window, nullptr));
    }
    DestroyMenu(popup);
    return chosen;
}

EFileDialog IGraphicsWindow::NativeChooseFile(std::string* pPath, int action, const char* folder,
                                              const char* extensions, std::string* pProblem)
{
    NativeWindow* pNative = mpNative.get();
    char path[FILE_PATH_BUFFER];
    std::memset(path, 0, sizeof path);
    std::string defaultExtension;
    std::string filter = FileFilter(extensions ? extensions : "", &defaultExtension);

    OPENFILENAMEA dialog;
    std::memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = pNative ? pNative->mWindow : nullptr;
    dialog.lpstrFile = path;
    dialog.nMaxFile = FILE_PATH_BUFFER;
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.lpstrInitialDir = folder && folder[0] ? folder : nullptr;
    bool save = action == 1;
    if (save) {
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        if (!defaultExtension.empty()) dialog.lpstrDefExt = defaultExtension.c_str();
    } else {
        dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    }
    BOOL chosen;
    {
        NativeWindow::ModalScope modal(pNative);
        chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    }
    if (!chosen) {
        // 0: the user cancelled; anything else: the dialog could not open.
        DWORD failure = CommDlgExtendedError();
        if (failure == 0) return EFileDialog_Cancelled;
        *pProblem = "the file dialog failed (" + std::to_string(failure) + ")";
        return EFileDialog_Unavailable;
    }
    path[FILE_PATH_BUFFER - 1] = '\0';
    pPath->assign(path);
    return EFileDialog_Chosen;
}

bool IGraphicsWindow::NativeChooseColour(Color* pColor, const char* title, uint32_t* pCustomColours)
{
    NativeWindow* pNative = mpNative.get();
    COLORREF custom[CUSTOM_COLOUR_COUNT];
    for (int i = 0; i < CUSTOM_COLOUR_COUNT; ++i) custom[i] = pCustomColours[i];

    CHOOSECOLORA dialog;
    std::memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = pNative ? pNative->mWindow : nullptr;
    dialog.rgbResult =
        RGB(ColourComponent(pColor->mRed), ColourComponent(pColor->mGreen), ColourComponent(pColor->mBlue));
    dialog.lpCustColors = custom;
    dialog.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (title && title[0]) {
        // The chooser has no caption field: a hook sets it once the dialog exists.
        dialog.Flags |= CC_ENABLEHOOK;
        dialog.lpfnHook = ColourDialogHook;
        dialog.lCustData = reinterpret_cast<LPARAM>(title);
    }
    BOOL chosen;
    {
        NativeWindow::ModalScope modal(pNative);
        chosen = ChooseColorA(&dialog);
    }
    // Custom colours the user defined stay, even when the dialog was cancelled.
    for (int i = 0; i < CUSTOM_COLOUR_COUNT; ++i) pCustomColours[i] = static_cast<uint32_t>(custom[i]);
    if (!chosen) return false;
    pColor->mRed = GetRValue(dialog.rgbResult);
    pColor->mGreen = GetGValue(dialog.rgbResult);
    pColor->mBlue = GetBValue(dialog.rgbResult);
    return true;
}

bool IGraphicsWindow::NativeMessageBox(const char* text, const char* title, bool yesNo)
{
    NativeWindow* pNative = mpNative.get();
    HWND owner = pNative ? pNative->mWindow : nullptr;
    int answer;
    {
        NativeWindow::ModalScope modal(pNative);
        answer = MessageBoxA(owner, text, title, yesNo ? MB_YESNO | MB_ICONQUESTION : MB_OK);
    }
    return yesNo ? answer == IDYES : true;
}

bool IGraphicsWindow::NativeInternetConnected()
{
    DWORD flags = 0;
    return InternetGetConnectedState(&flags, 0) != FALSE;
}

bool IGraphicsWindow::NativeOpenUrl(const char* url)
{
    HWND owner = mpNative ? mpNative->mWindow : nullptr;
    HINSTANCE result = ShellExecuteA(owner, "open", url, nullptr, nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}
