// Where the window either reaches the window system or, offscreen, answers
// from its script: every call of a Native* function goes through here.
#include "IGraphicsWindow.h"

#include "framework/raster/Raster.h"
#include "framework/raster/SystemBitmap.h"

bool IGraphicsWindow::HasWindow() const { return mWindowOpen.load(std::memory_order_acquire); }

void* IGraphicsWindow::GetWindow() const
{
    if (mOffscreen) return mOffscreenOpen ? const_cast<IGraphicsWindow*>(this) : nullptr;
    return mpNative ? NativeHandle() : nullptr;
}

void IGraphicsWindow::SetOffscreen(bool offscreen)
{
    if (HasWindow()) return;
    mOffscreen = offscreen;
}

bool IGraphicsWindow::WriteScreenshot(const char* path)
{
    ScopedLock lock(mSurfaceLock);
    if (!mpDrawBitmap || !path) return false;
    return Raster::WritePngFile(*mpDrawBitmap, path);
}

void IGraphicsWindow::BlitToWindow(const ControlRect& rect)
{
    if (mOffscreen) {
        if (!mOffscreenOpen) return;
        ++mScript.mBlits;
        mScript.mLastBlit = rect;
    } else if (mpNative) {
        NativeBlit(rect);
    }
}

void IGraphicsWindow::BlitRectsToWindow(const ControlRect* pRects, int count)
{
    if (mOffscreen) {
        IGraphicsLice::BlitRectsToWindow(pRects, count);
    } else if (mpNative) {
        NativeBlitRects(pRects, count);
    }
}

int IGraphicsWindow::TrackMenu(const NativeMenu& menu, int x, int y)
{
    if (!HasWindow()) return 0;
    ModalSection modal(this);
    if (mOffscreen) {
        ++mScript.mMenusShown;
        mScript.mLastMenu = menu;
        mScript.mLastMenuX = x;
        mScript.mLastMenuY = y;
        if (mScript.mOnModal) mScript.mOnModal();
        return mScript.mMenuChoice;
    }
    return NativeTrackMenu(menu, x, y);
}

bool IGraphicsWindow::CreateEdit(const ControlRect& rect, const char* text)
{
    if (!HasWindow()) return false;
    if (mOffscreen) {
        mScript.mEditExists = true;
        mScript.mEditText = text;
        mScript.mEditRect = rect;
        mScript.mEditSelectedAll = true;
        mPromptEditExists = true;
        // A new edit box takes the keyboard focus, as a native one does.
        PromptFocusChanged(true);
        return true;
    }
    // Set first: the native box reports its focus while being created.
    mPromptEditExists = true;
    if (!NativeCreateEdit(rect, text)) {
        mPromptEditExists = false;
        return false;
    }
    return true;
}

void IGraphicsWindow::DestroyEdit()
{
    if (mOffscreen) {
        mScript.mEditExists = false;
        mScript.mEditSelectedAll = false;
    } else if (mpNative) {
        NativeDestroyEdit();
    }
    mPromptEditExists = false;
}

void IGraphicsWindow::GetEditText(std::string* pText)
{
    pText->clear();
    if (mOffscreen) {
        *pText = mScript.mEditText.substr(0, MAX_PROMPT_TEXT);
    } else if (mpNative) {
        NativeGetEditText(pText, MAX_PROMPT_TEXT);
    }
}

void IGraphicsWindow::SetEditText(const char* text)
{
    if (mOffscreen) {
        mScript.mEditText = text;
        mScript.mEditSelectedAll = false;
    } else if (mpNative) {
        NativeSetEditText(text);
    }
}

bool IGraphicsWindow::ShowMessage(const char* text, const char* title, bool yesNo)
{
    if (mOffscreen) {
        mScript.mMessages.push_back(text);
        if (mScript.mOnModal) mScript.mOnModal();
        return yesNo ? mScript.mAnswerYes : true;
    }
    return NativeMessageBox(text, title ? title : "", yesNo);
}

bool IGraphicsWindow::InternetConnected() { return mOffscreen ? mScript.mConnected : NativeInternetConnected(); }

bool IGraphicsWindow::OpenUrl(const char* url)
{
    if (mOffscreen) {
        mScript.mOpenedUrls.push_back(url);
        return mScript.mUrlOpens;
    }
    return NativeOpenUrl(url);
}
