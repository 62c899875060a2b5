// Routing of mouse and key input to the controls.
#include "IGraphicsLice.h"

#include "IControl.h"
#include "framework/plugin/IParamHost.h"

int IGraphicsLice::GetMouseControlIdx(int x, int y)
{
    if (mCapture >= 0 && mCapture < NControls()) return mCapture;
    // The later control lies on top, so it takes the click; grayed and hidden
    // controls let it fall through to what lies beneath.
    for (int i = NControls() - 1; i >= 0; --i) {
        IControl* pControl = mControls[i].get();
        if (!pControl->IsHidden() && !pControl->IsGrayed() && pControl->HitTest(x, y)) return i;
    }
    return -1;
}

void IGraphicsLice::OnMouseDown(int x, int y, const MouseMods& mods)
{
    mCapture = -1;
    int index = GetMouseControlIdx(x, y);
    if (index < 0) return;
    mCapture = index;
    mMouseX = x;
    mMouseY = y;
    mRightButtonCapture = mods.mRight;
    IControl* pControl = mControls[index].get();
    pControl->MouseDown(x, y, mods);
    BeginGesture(pControl->ParamIdx());
}

void IGraphicsLice::OnMouseUp(int x, int y, const MouseMods& mods)
{
    int index = GetMouseControlIdx(x, y);
    mCapture = -1;
    mRightButtonCapture = false;
    if (index < 0) return;
    IControl* pControl = mControls[index].get();
    pControl->MouseUp(x, y, mods);
    if (MaySendToPlug()) EndGesture();
}

void IGraphicsLice::BeginGesture(int paramIdx)
{
    // A press while another one holds its control (the other button) ends
    // that gesture first: the host hears every begin answered by its end.
    if (MaySendToPlug()) EndGesture();
    // A modal menu or dialog of the press may have lost the plug-in lock to
    // a host thread that closes the editor: the host hears nothing more.
    if (paramIdx < 0 || !mpParamHost || !MaySendToPlug() || mGestureParam >= 0) return;
    mpParamHost->BeginParamGesture(paramIdx);
    mGestureParam = paramIdx;
}

void IGraphicsLice::EndGesture()
{
    if (mGestureParam < 0) return;
    int paramIdx = mGestureParam;
    mGestureParam = -1;
    if (mpParamHost) mpParamHost->EndParamGesture(paramIdx);
}

void IGraphicsLice::OnMouseDrag(int x, int y, const MouseMods& mods)
{
    if (mCapture < 0 || mCapture >= NControls()) return;
    int dx = x - mMouseX, dy = y - mMouseY;
    if (dx == 0 && dy == 0) return;
    mMouseX = x;
    mMouseY = y;
    mControls[mCapture]->MouseDrag(x, y, dx, dy, mods);
}

bool IGraphicsLice::OnMouseOver(int x, int y, const MouseMods& mods)
{
    if (!mHandleMouseOver) return false;
    mMouseX = x;
    mMouseY = y;
    int index = GetMouseControlIdx(x, y);
    if (index >= 0) mControls[index]->MouseOver(x, y, mods);
    if (mMouseOver >= 0 && mMouseOver != index && mMouseOver < NControls()) mControls[mMouseOver]->MouseOut();
    mMouseOver = index;
    return true;
}

bool IGraphicsLice::OnMouseDoubleClick(int x, int y, const MouseMods& mods)
{
    mCapture = -1;
    int index = GetMouseControlIdx(x, y);
    if (index < 0) return false;
    IControl* pControl = mControls[index].get();
    if (pControl->DoubleClickAsPress()) {
        mCapture = index;
        mMouseX = x;
        mMouseY = y;
        mRightButtonCapture = mods.mRight;
        pControl->MouseDown(x, y, mods);
        return true;
    }
    pControl->MouseDoubleClick(x, y, mods);
    return false;
}

void IGraphicsLice::OnMouseWheel(int x, int y, const MouseMods& mods, int d)
{
    int index = GetMouseControlIdx(x, y);
    if (index >= 0) mControls[index]->MouseWheel(x, y, mods, d);
}

void IGraphicsLice::OnMouseOut()
{
    for (const std::unique_ptr<IControl>& pControl : mControls) pControl->MouseOut();
    mMouseOver = -1;
}

bool IGraphicsLice::OnKeyDown(int x, int y, int key)
{
    int index = GetMouseControlIdx(x, y);
    if (index < 0) return false;
    mControls[index]->KeyDown(x, y, key);
    return true;
}
