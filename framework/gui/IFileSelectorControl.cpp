#include "IFileSelectorControl.h"

#include <cstring>

#include "IGraphicsLice.h"

IFileSelectorControl::IFileSelectorControl(IParamHost* pParamHost, const ControlRect& rect, int paramIdx,
                                           const BitmapRef& bitmap, const char* folder, int action,
                                           const char* extensions)
    : IControl(pParamHost, rect, paramIdx), mBitmap(bitmap), mFolder(folder ? folder : ""),
      mExtensions(extensions ? extensions : ""), mAction(action)
{
}

void IFileSelectorControl::MouseDown(int /*x*/, int /*y*/, const MouseMods& /*mods*/)
{
    IGraphicsLice* pGraphics = GetGraphics();
    if (!pGraphics) return;
    mState = State_DialogOpen;
    MarkChanged(false);
    if (mpFileChosenHandler) {
        IGraphicsLice::ModalSection unlocked(pGraphics);
        mpFileChosenHandler->PrepareDialog();
    }
    std::string problem;
    EFileDialog result = pGraphics->ChooseFile(&mLastFile, mAction, mFolder.c_str(), mExtensions.c_str(), &problem);
    if (mpFileChosenHandler && result == EFileDialog_Unavailable) {
        mpFileChosenHandler->OnFileDialogUnavailable(problem.c_str());
    }
    if (mpFileChosenHandler && !mLastFile.empty()) {
        {
            IGraphicsLice::ModalSection unlocked(pGraphics);
            mpFileChosenHandler->OnFileChosen(mLastFile.c_str());
        }
        // The plug-in lock is taken again the GUI thread's way (the surface
        // first); taking it from inside the handler would reverse the order.
        if (pGraphics->MaySendToPlug()) {
            mpFileChosenHandler->ApplyChosenFile();
            IGraphicsLice::ModalSection unlocked(pGraphics);
            mpFileChosenHandler->FinishChosenFile();
        }
    }
    mValue += 1.0;
    if (mValue > 1.0) mValue = 0.0;
    mState = State_Finished;
    MarkChanged(true);
}

bool IFileSelectorControl::Draw(IGraphicsLice* pGraphics)
{
    if (mState != State_DialogOpen) return true;
    return pGraphics->DrawBitmap(mBitmap, mRect, 1, &mBlend);
}

bool IFileSelectorControl::NeedsDraw()
{
    if (mDirty) return true;
    if (mState == State_Finished) {
        mState = State_Idle;
        return true;
    }
    return false;
}

void IFileSelectorControl::LastChosenFile(char* path, int size) const
{
    if (!path || size <= 0) return;
    size_t length = mLastFile.size();
    if (length > static_cast<size_t>(size - 1)) length = static_cast<size_t>(size - 1);
    std::memcpy(path, mLastFile.data(), length);
    path[length] = '\0';
}
