// The window system of the offscreen window: no window, a virtual edit box,
// and menus, dialogs and message boxes that answer from the script.
#include "OffscreenWindow.h"

#include <atomic>
#include <mutex>

#include "framework/raster/Raster.h"
#include "framework/raster/RasterBitmap.h"

struct IGraphicsWindow::NativeWindow {
    OffscreenScript mScript;
    // Set by the host's thread, read by a test's GUI thread.
    std::atomic<bool> mOpen{false};

    // The window's record, made on first use; a test may ask for the
    // script before the window opens, from another thread than the one
    // that will run it.
    static NativeWindow& Of(const IGraphicsWindow& window)
    {
        static std::mutex mutex;
        std::lock_guard<std::mutex> lock(mutex);
        IGraphicsWindow& writable = const_cast<IGraphicsWindow&>(window);
        if (!writable.mpNative) writable.mpNative.reset(new NativeWindow());
        return *writable.mpNative;
    }
};

void IGraphicsWindow::NativeWindowDeleter::operator()(NativeWindow* pNative) const { delete pNative; }

OffscreenScript& Offscreen(IGraphicsWindow& window) { return IGraphicsWindow::NativeWindow::Of(window).mScript; }

bool WriteScreenshot(IGraphicsLice& surface, const char* path)
{
    ScopedLock lock(surface.SurfaceLock());
    RasterBitmap* pBitmap = surface.PixelBuffer();
    if (!pBitmap || !path) return false;
    return Raster::WritePngFile(*pBitmap, path);
}

bool IGraphicsWindow::NativeOpen(void* /*pParent*/, int /*x*/, int /*y*/)
{
    NativeWindow::Of(*this).mOpen = true;
    return true;
}

void IGraphicsWindow::NativeClose() { NativeWindow::Of(*this).mOpen = false; }

void* IGraphicsWindow::NativeHandle() const
{
    return NativeWindow::Of(*this).mOpen ? const_cast<IGraphicsWindow*>(this) : nullptr;
}

bool IGraphicsWindow::NativePlace(int* /*pX*/, int* /*pY*/) const { return false; }

void IGraphicsWindow::NativeBlit(const ControlRect& rect)
{
    NativeWindow& native = NativeWindow::Of(*this);
    if (!native.mOpen) return;
    ++native.mScript.mBlits;
    native.mScript.mLastBlit = rect;
}

void IGraphicsWindow::NativeBlitRects(const ControlRect* pRects, int count)
{
    for (int i = 0; i < count; ++i) NativeBlit(pRects[i]);
}

void IGraphicsWindow::NativeResize(int /*dw*/, int /*dh*/) {}

bool IGraphicsWindow::NativeCreateEdit(const ControlRect& rect, const char* text)
{
    OffscreenScript& script = NativeWindow::Of(*this).mScript;
    script.mEditExists = true;
    script.mEditText = text;
    script.mEditRect = rect;
    script.mEditSelectedAll = true;
    // A new edit box takes the keyboard focus, as a native one does.
    PromptFocusChanged(true);
    return true;
}

void IGraphicsWindow::NativeDestroyEdit()
{
    OffscreenScript& script = NativeWindow::Of(*this).mScript;
    script.mEditExists = false;
    script.mEditSelectedAll = false;
}

void IGraphicsWindow::NativeGetEditText(std::string* pText, int maxLength)
{
    *pText = NativeWindow::Of(*this).mScript.mEditText.substr(0, maxLength);
}

void IGraphicsWindow::NativeSetEditText(const char* text)
{
    OffscreenScript& script = NativeWindow::Of(*this).mScript;
    script.mEditText = text;
    script.mEditSelectedAll = false;
}

int IGraphicsWindow::NativeTrackMenu(const NativeMenu& menu, int x, int y)
{
    OffscreenScript& script = NativeWindow::Of(*this).mScript;
    ++script.mMenusShown;
    script.mLastMenu = menu;
    script.mLastMenuX = x;
    script.mLastMenuY = y;
    if (script.mOnModal) script.mOnModal();
    return script.mMenuChoice;
}

EFileDialog IGraphicsWindow::NativeChooseFile(std::string* pPath, int action, const char* folder,
                                              const char* extensions, std::string* pProblem)
{
    OffscreenScript& script = NativeWindow::Of(*this).mScript;
    if (!script.mFileDialogProblem.empty()) {
        *pProblem = script.mFileDialogProblem;
        return EFileDialog_Unavailable;
    }
    ++script.mFileDialogs;
    script.mLastFileAction = action;
    script.mLastFileFolder = folder;
    script.mLastFileExtensions = extensions;
    if (script.mOnModal) script.mOnModal();
    if (!script.mFileChosen) return EFileDialog_Cancelled;
    *pPath = script.mFilePath;
    return EFileDialog_Chosen;
}

bool IGraphicsWindow::NativeChooseColour(Color* pColor, const char* title, uint32_t* /*pCustomColours*/)
{
    OffscreenScript& script = NativeWindow::Of(*this).mScript;
    ++script.mColourDialogs;
    script.mLastColourTitle = title ? title : "";
    if (script.mOnModal) script.mOnModal();
    if (!script.mColourChosen) return false;
    *pColor = script.mColour;
    return true;
}

bool IGraphicsWindow::NativeMessageBox(const char* text, const char* /*title*/, bool yesNo)
{
    OffscreenScript& script = NativeWindow::Of(*this).mScript;
    script.mMessages.push_back(text);
    if (script.mOnModal) script.mOnModal();
    return yesNo ? script.mAnswerYes : true;
}

bool IGraphicsWindow::NativeInternetConnected() { return NativeWindow::Of(*this).mScript.mConnected; }

bool IGraphicsWindow::NativeOpenUrl(const char* url)
{
    OffscreenScript& script = NativeWindow::Of(*this).mScript;
    script.mOpenedUrls.push_back(url);
    return script.mUrlOpens;
}
