// The surface's control list, its inboxes, the redraw loop and the GUI
// thread's handling of the plug-in lock. Drawing primitives and images are
// in IGraphicsLiceDrawing.cpp, mouse and key routing in IGraphicsLiceInput.cpp.
#include "IGraphicsLice.h"

#include <chrono>
#include <thread>

#include "ClipView.h"
#include "IControl.h"
#include "framework/plugin/IParamHost.h"
#include "framework/plugin/IPlugParam.h"
#include "framework/raster/SystemBitmap.h"
#include "framework/raster/TextRenderer.h"

IGraphicsLice::IGraphicsLice(IParamHost* pParamHost, int width, int height, int frameRate)
    : mpParamHost(pParamHost), mWidth(width), mHeight(height),
      mFrameRate(frameRate > 0 ? frameRate : DEFAULT_FRAME_RATE), mpTextRenderer(new TextRenderer())
{
}

IGraphicsLice::~IGraphicsLice() { DeleteControls(); }

void IGraphicsLice::PrepareSurface()
{
    ScopedLock lock(mSurfaceLock);
    if (!mpDrawBitmap) {
        mpDrawBitmap.reset(new SystemBitmap(mWidth, mHeight));
    } else if (mpDrawBitmap->Width() != mWidth || mpDrawBitmap->Height() != mHeight) {
        mpDrawBitmap->Resize(mWidth, mHeight);
    }
    if (!mpScratch) mpScratch.reset(new MemoryBitmap());
    if (mInboxReady.load(std::memory_order_acquire)) return;
    // Sized once: from here on, posting must never allocate.
    int count = mpParamHost ? mpParamHost->NParams() : 0;
    mShownValues.Resize(count);
    mpBound.reset(count > 0 ? new std::atomic<bool>[count] : nullptr);
    mpBoundValues.reset(count > 0 ? new std::atomic<double>[count] : nullptr);
    mBoundCount = count;
    for (int i = 0; i < count; ++i) {
        mpBound[i].store(false, std::memory_order_relaxed);
        mpBoundValues[i].store(0.0, std::memory_order_relaxed);
    }
    // The first value each control was shown (AttachEditor's) is the one
    // it holds now.
    for (size_t i = mControls.size(); i > 0; --i) {
        const IControl* pControl = mControls[i - 1].get();
        int paramIdx = pControl->ParamIdx();
        if (paramIdx < 0 || paramIdx >= count) continue;
        mpBound[paramIdx].store(true, std::memory_order_relaxed);
        mpBoundValues[paramIdx].store(pControl->Value(), std::memory_order_relaxed);
    }
    mInboxReady.store(true, std::memory_order_release);
}

int IGraphicsLice::AddControl(IControl* pControl)
{
    ScopedLock lock(mSurfaceLock);
    mControls.emplace_back(pControl);
    pControl->SetGraphics(this);
    int paramIdx = pControl->ParamIdx();
    if (paramIdx >= 0 && paramIdx < mBoundCount) mpBound[paramIdx].store(true, std::memory_order_release);
    return NControls() - 1;
}

IControl* IGraphicsLice::GetControl(int index) const
{
    if (index < 0 || index >= NControls()) return nullptr;
    return mControls[index].get();
}

void IGraphicsLice::KeepObserver(IObserverInterface* pObserver)
{
    if (!pObserver) return;
    ScopedLock lock(mSurfaceLock);
    mObservers.emplace_back(pObserver);
}

void IGraphicsLice::DeleteControls()
{
    ScopedLock lock(mSurfaceLock);
    // Controls go last to first, then the observers, first to last.
    while (!mControls.empty()) mControls.pop_back();
    for (std::unique_ptr<IObserverInterface>& pObserver : mObservers) pObserver.reset();
    mObservers.clear();
    for (int i = 0; i < mBoundCount; ++i) mpBound[i].store(false, std::memory_order_release);
    ResetMouseState();
}

void IGraphicsLice::ResetMouseState()
{
    mCapture = -1;
    mMouseOver = -1;
    mMouseX = -1;
    mMouseY = -1;
    mRightButtonCapture = false;
}

void IGraphicsLice::ShowParamValue(int paramIdx, double value, bool normalized)
{
    if (!normalized) {
        IPlugParam* pParam = mpParamHost ? mpParamHost->GetParam(paramIdx) : nullptr;
        if (!pParam) return;
        value = pParam->ToNormalized(value);
    }
    if (mInboxReady.load(std::memory_order_acquire)) {
        if (mShownValues.Post(paramIdx, value)) mpBoundValues[paramIdx].store(value, std::memory_order_relaxed);
        return;
    }
    // Still being set up (AttachEditor's first values): no other thread runs.
    ScopedLock lock(mSurfaceLock);
    for (const std::unique_ptr<IControl>& pControl : mControls) {
        if (pControl->ParamIdx() == paramIdx) pControl->ShowValue(value);
    }
}

bool IGraphicsLice::HasBoundControl(int paramIdx) const
{
    return paramIdx >= 0 && paramIdx < mBoundCount && mpBound[paramIdx].load(std::memory_order_acquire);
}

double IGraphicsLice::BoundValue(int paramIdx) const
{
    if (paramIdx < 0 || paramIdx >= mBoundCount) return 0.0;
    return mpBoundValues[paramIdx].load(std::memory_order_relaxed);
}

void IGraphicsLice::NoteBoundValue(int paramIdx, double normalized)
{
    if (paramIdx >= 0 && paramIdx < mBoundCount) mpBoundValues[paramIdx].store(normalized, std::memory_order_relaxed);
}

void IGraphicsLice::PostTaskFlags(uint32_t flags) { mTaskFlags.fetch_or(flags, std::memory_order_acq_rel); }

void IGraphicsLice::ApplyShownValues()
{
    if (mShownValues.Collect() == 0) return;
    for (const std::unique_ptr<IControl>& pControl : mControls) {
        int paramIdx = pControl->ParamIdx();
        if (mShownValues.Collected(paramIdx)) pControl->ShowValue(mShownValues.CollectedValue(paramIdx));
    }
}

void IGraphicsLice::RunTickHandler()
{
    uint32_t flags = mTaskFlags.exchange(0, std::memory_order_acq_rel);
    if (mpTickHandler) mpTickHandler->OnEditorTick(flags);
}

void IGraphicsLice::MarkAllControlsChanged()
{
    for (const std::unique_ptr<IControl>& pControl : mControls) pControl->MarkChanged(false);
}

bool IGraphicsLice::CollectDirty(ControlRect* pRect)
{
    bool any = false;
    ControlRect dirty;
    mUpdateRectCount = 0;
    mUpdateRectsOverflow = false;
    for (const std::unique_ptr<IControl>& pControl : mControls) {
        pControl->Notify();
        if (!pControl->NeedsDraw()) continue;
        ControlRect rects[MAX_UPDATE_RECTS];
        int count = pControl->UpdateRects(rects, MAX_UPDATE_RECTS);
        for (int i = 0; i < count; ++i) {
            dirty = any ? dirty.Union(rects[i]) : rects[i];
            any = true;
            AddUpdateRect(rects[i]);
        }
        pControl->PrepareDraw();
    }
    mCollectedRect = dirty;
    if (pRect) *pRect = dirty;
    return any;
}

void IGraphicsLice::AddUpdateRect(const ControlRect& rect)
{
    if (rect.Empty()) return;
    // Neighbouring cells a couple of pixels apart are one region.
    const int NEAR = 2;
    ControlRect grown(rect.mLeft - NEAR, rect.mTop - NEAR, rect.mRight + NEAR, rect.mBottom + NEAR);
    for (int i = 0; i < mUpdateRectCount; ++i) {
        if (mUpdateRects[i].Intersects(grown)) {
            mUpdateRects[i] = mUpdateRects[i].Union(rect);
            return;
        }
    }
    if (mUpdateRectCount < MAX_UPDATE_RECTS) {
        mUpdateRects[mUpdateRectCount++] = rect;
    } else {
        mUpdateRectsOverflow = true;
    }
}

void IGraphicsLice::BlitRectsToWindow(const ControlRect* pRects, int count)
{
    for (int i = 0; i < count; ++i) BlitToWindow(pRects[i]);
}

bool IGraphicsLice::DrawControl(int index)
{
    IControl* pControl = mControls[index].get();
    ClipView view(*mpDrawBitmap, RasterRect{mDrawRect.mLeft, mDrawRect.mTop, mDrawRect.mRight, mDrawRect.mBottom});
    mpTarget = &view;
    mTargetX = view.Left();
    mTargetY = view.Top();
    bool ok = pControl->Draw(this);
    mpTarget = nullptr;
    return ok;
}

bool IGraphicsLice::DrawArea(const ControlRect& rect)
{
    bool ok = true;
    mDrawRect = rect;
    int count = NControls();
    for (int i = 0; i < count; ++i) {
        IControl* pControl = mControls[i].get();
        if (!pControl->IsHidden() && pControl->GetRect().Intersects(rect)) ok = DrawControl(i) && ok;
    }
    return ok;
}

bool IGraphicsLice::Draw(const ControlRect& updateRect)
{
    if (mControls.empty()) return true;
    if (!mpDrawBitmap) return false;
    bool ok = true;
    int count = NControls();
    if (mDrawOnlyUpdateArea) {
        // The separate regions pay off when they cover well under half of
        // the rect that holds them all.
        int64_t separate = 0;
        for (int i = 0; i < mUpdateRectCount; ++i) {
            separate += int64_t(mUpdateRects[i].Width()) * mUpdateRects[i].Height();
        }
        int64_t whole = int64_t(updateRect.Width()) * updateRect.Height();
        bool regions =
            updateRect == mCollectedRect && !mUpdateRectsOverflow && mUpdateRectCount > 1 && 2 * separate < whole;
        if (regions) {
            for (int i = 0; i < mUpdateRectCount; ++i) ok = DrawArea(mUpdateRects[i]) && ok;
        } else {
            ok = DrawArea(updateRect);
        }
        for (const std::unique_ptr<IControl>& pControl : mControls) pControl->MarkDrawn();
        mDrawRect = ControlRect();
        if (regions) {
            BlitRectsToWindow(mUpdateRects, mUpdateRectCount);
        } else {
            BlitToWindow(updateRect);
        }
        mUpdateRectCount = 0;
        mCollectedRect = ControlRect();
        return ok;
    } else if (mControls[0]->NeedsDraw()) {
        mDrawRect = mControls[0]->GetRect();
        for (int i = 0; i < count; ++i) {
            if (i == 0 || !mControls[i]->IsHidden()) ok = DrawControl(i) && ok;
            mControls[i]->MarkDrawn();
        }
    } else {
        for (int i = 1; i < count; ++i) {
            IControl* pDirty = mControls[i].get();
            if (!pDirty->NeedsDraw()) continue;
            mDrawRect = pDirty->GetRect();
            for (int j = 0; j < count; ++j) {
                IControl* pControl = mControls[j].get();
                if (j == i || (!pControl->IsHidden() && pControl->GetRect().Intersects(mDrawRect))) {
                    ok = DrawControl(j) && ok;
                }
            }
            pDirty->MarkDrawn();
        }
    }
    mDrawRect = ControlRect();
    BlitToWindow(updateRect);
    return ok;
}

// ---- The GUI thread and the plug-in lock

bool IGraphicsLice::EnterPlugLockFromGui()
{
    if (!mpParamHost) {
        ++mGuiPlugLockDepth;
        return true;
    }
    RecursiveLock& lock = mpParamHost->Lock();
    for (int attempt = 0;; ++attempt) {
        if (lock.TryEnter()) {
            ++mGuiPlugLockDepth;
            return true;
        }
        // A thread that holds the lock while it closes the window waits for
        // this thread: waiting here would never end. (The host adapter closes
        // the window without the lock; this keeps any other caller safe.)
        if (mClosing.load(std::memory_order_acquire)) return false;
        // A processing block holds the lock for a fraction of a millisecond;
        // yield first, then sleep so that a long hold costs no CPU.
        if (attempt < 64) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(250));
        }
    }
}

void IGraphicsLice::LeavePlugLockFromGui()
{
    if (mGuiPlugLockDepth <= 0) return;
    --mGuiPlugLockDepth;
    if (mpParamHost) mpParamHost->Lock().Leave();
}

IGraphicsLice::GuiSection::GuiSection(IGraphicsLice* pGraphics)
    : mpGraphics(pGraphics), mEntered(false), mHoldsPlugLock(false)
{
    mpGraphics->mSurfaceLock.Enter();
    if (mpGraphics->mGuiSectionDepth++ == 0) mpGraphics->mPlugLockLost = false;
    // Without a window there is no GUI thread: an event that arrives after
    // the close (or before the open) is dropped.
    if (!mpGraphics->mWindowOpen.load(std::memory_order_acquire)) return;
    mHoldsPlugLock = mpGraphics->EnterPlugLockFromGui();
    mEntered = mHoldsPlugLock;
}

IGraphicsLice::GuiSection::~GuiSection()
{
    LeavePlugLock();
    --mpGraphics->mGuiSectionDepth;
    mpGraphics->mSurfaceLock.Leave();
}

void IGraphicsLice::GuiSection::LeavePlugLock()
{
    if (!mHoldsPlugLock) return;
    mHoldsPlugLock = false;
    mpGraphics->LeavePlugLockFromGui();
}

IGraphicsLice::HostSection::HostSection(IGraphicsLice* pGraphics) : mpGraphics(pGraphics)
{
    if (mpGraphics->mpParamHost) mpGraphics->mpParamHost->Lock().Enter();
    mpGraphics->mSurfaceLock.Enter();
}

IGraphicsLice::HostSection::~HostSection()
{
    mpGraphics->mSurfaceLock.Leave();
    if (mpGraphics->mpParamHost) mpGraphics->mpParamHost->Lock().Leave();
}

IGraphicsLice::ModalSection::ModalSection(IGraphicsLice* pGraphics)
    : mpGraphics(pGraphics), mReleasedDepth(pGraphics->mGuiPlugLockDepth)
{
    for (int i = 0; i < mReleasedDepth; ++i) mpGraphics->LeavePlugLockFromGui();
}

IGraphicsLice::ModalSection::~ModalSection()
{
    if (mReleasedDepth == 0) return;
    if (!mpGraphics->EnterPlugLockFromGui()) {
        mpGraphics->mPlugLockLost = true;
        return;
    }
    // Held once again: the further levels are recursive and never wait.
    for (int i = 1; i < mReleasedDepth; ++i) {
        if (mpGraphics->mpParamHost) mpGraphics->mpParamHost->Lock().Enter();
        ++mpGraphics->mGuiPlugLockDepth;
    }
}
