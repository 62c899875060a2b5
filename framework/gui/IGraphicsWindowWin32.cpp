// The Win32 part of the editor window.
//
// STILL TO COME: the child window with its class registration, the timer,
// painting, mouse and keys, the edit box, popup menus and the dialogs.
// Until it is written no window opens on Windows: NativeOpen fails, so
// OpenWindow returns null (the host is told the editor did not open) unless
// the surface is offscreen. Only the host program's path is real already,
// since it needs no window.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// The surface has a LoadImage of its own.
#undef LoadImage

#include "IGraphicsWindow.h"

struct IGraphicsWindow::NativeWindow {
};

bool IGraphicsWindow::NativeOpen(void* /*pParent*/, int /*x*/, int /*y*/) { return false; }

void IGraphicsWindow::NativeClose()
{
    delete mpNative;
    mpNative = nullptr;
}

void* IGraphicsWindow::NativeHandle() const { return nullptr; }

bool IGraphicsWindow::NativePlace(int* /*pX*/, int* /*pY*/) const { return false; }

void IGraphicsWindow::NativeBlit(const ControlRect& /*rect*/) {}

void IGraphicsWindow::NativeResize(int /*dw*/, int /*dh*/) {}

bool IGraphicsWindow::NativeCreateEdit(const ControlRect& /*rect*/, const char* /*text*/) { return false; }

void IGraphicsWindow::NativeDestroyEdit() {}

void IGraphicsWindow::NativeGetEditText(std::string* pText, int /*maxLength*/) { pText->clear(); }

void IGraphicsWindow::NativeSetEditText(const char* /*text*/) {}

int IGraphicsWindow::NativeTrackMenu(const NativeMenu& /*menu*/, int /*x*/, int /*y*/) { return 0; }

bool IGraphicsWindow::NativeChooseFile(std::string* /*pPath*/, int /*action*/, const char* /*folder*/,
                                       const char* /*extensions*/)
{
    return false;
}

bool IGraphicsWindow::NativeChooseColour(Color* /*pColor*/, const char* /*title*/, uint32_t* /*pCustomColours*/)
{
    return false;
}

bool IGraphicsWindow::NativeMessageBox(const char* /*text*/, const char* /*title*/, bool /*yesNo*/) { return false; }

bool IGraphicsWindow::NativeInternetConnected() { return false; }

bool IGraphicsWindow::NativeOpenUrl(const char* /*url*/) { return false; }

bool IGraphicsWindow::NativeProgramPath(std::string* pPath)
{
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    pPath->assign(path, length);
    return true;
}
