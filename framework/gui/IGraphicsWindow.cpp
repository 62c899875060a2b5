// What every implementation of the editor window shares: opening and
// closing, the timer tick, input entry points, the value prompt and its
// states, value menus, and the rules of the dialogs. The window system is
// reached through the Native* functions only.
#include "IGraphicsWindow.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "IControl.h"
#include "ITextControl.h"
#include "PopupMenu.h"
#include "framework/plugin/IParamHost.h"
#include "framework/plugin/IPlugParam.h"
#include "framework/plugin/ModuleFile.h"
#include "framework/raster/SystemBitmap.h"

namespace {

// The folder part of a path, up to and including the last separator; empty
// when there is none.
std::string FolderOf(const std::string& path)
{
    size_t last = path.find_last_of(PATH_SEPARATOR);
    if (last == std::string::npos) return std::string();
    return path.substr(0, last + 1);
}

// The index of the top-level item with the id; -1 when the id belongs to
// no top-level item.
int TopLevelIndexOf(const NativeMenu& menu, int id)
{
    for (size_t i = 0; i < menu.mItems.size(); ++i) {
        if (menu.mItems[i].mId == id) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

IGraphicsWindow::IGraphicsWindow(IParamHost* pParamHost, int width, int height, int frameRate)
    : IGraphicsLice(pParamHost, width, height, frameRate)
{
}

IGraphicsWindow::~IGraphicsWindow()
{
    // The plug-in is being destroyed around its editor: the host hears of a
    // held control from its own effEditClose (or the processor's closing of
    // the window) before that, never from here.
    mGestureParam = -1;
    CloseWindow();
}

// ---- Opening and closing

void* IGraphicsWindow::OpenWindow(void* pParent)
{
    if (HasWindow()) {
        NativePlace(&mPlaceX, &mPlaceY);
        CloseWindow();
    }
    {
        HostSection host(this);
        ResetMouseState();
        mPromptState = PromptState_Idle;
        MarkAllControlsChanged();
    }
    mClosing.store(false, std::memory_order_release);
    // Set before the window exists: the platform's first tick may come at once.
    mWindowOpen.store(true, std::memory_order_release);
    PostTaskFlags(TASK_WINDOW_OPENED);
    if (!NativeOpen(pParent, mPlaceX, mPlaceY)) {
        mWindowOpen.store(false, std::memory_order_release);
        return nullptr;
    }
    return GetWindow();
}

void IGraphicsWindow::CloseWindow()
{
    if (!HasWindow()) return;
    // A GUI thread waiting for the plug-in lock, which the caller may hold,
    // gives up; the platform then ends that thread.
    mClosing.store(true, std::memory_order_release);
    NativeClose();
    mWindowOpen.store(false, std::memory_order_release);

    // A GUI thread without a window system (a test's) may still be
    // finishing an event.
    HostSection host(this);
    // A platform destroyed the edit box with the window and its record; the
    // offscreen window, which keeps its record, drops the box here.
    DestroyEdit();
    mpPromptControl = nullptr;
    mpPromptParam = nullptr;
    mPromptTextMode = false;
    mPromptState = PromptState_Idle;
    // A control held while the window goes (a knob mid-drag) lets go: the
    // host's touch automation must not stay latched.
    EndGesture();
    ResetMouseState();
    mPlugLockLost = false;
}

// ---- The timer

void IGraphicsWindow::Tick()
{
    if (!HasWindow()) return;
    ScopedLock surface(mSurfaceLock);
    // While the edit box has the focus the window leaves everything to it:
    // no redraw until the focus moves away.
    if (mPromptState == PromptState_Editing) return;
    GuiSection section(this);
    if (!section.Entered()) return;
    ApplyShownValues();
    RunTickHandler();
    RunPromptStates();
    ControlRect dirty;
    bool anyDirty = CollectDirty(&dirty);
    if (anyDirty && mPromptEditExists && mPromptState == PromptState_Idle) mPromptState = PromptState_Refresh;
    section.LeavePlugLock();
    if (anyDirty) Draw(dirty);
}

void IGraphicsWindow::HandlePaint(const ControlRect& rect)
{
    ScopedLock surface(mSurfaceLock);
    if (HasWindow()) BlitToWindow(rect);
}

// ---- Input

void IGraphicsWindow::HandleMouseDown(int x, int y, const MouseMods& mods)
{
    GuiSection section(this);
    if (!section.Entered()) return;
    if (mPromptEditExists) {
        if (mods.mRight && mPromptState == PromptState_Editing) {
            mPromptState = PromptState_Cancel;
            return;
        }
        // Clicking the editor while the edit box exists commits what it holds.
        if (mods.mLeft) mPromptState = PromptState_Commit;
    }
    OnMouseDown(x, y, mods);
}

void IGraphicsWindow::HandleMouseUp(int x, int y, const MouseMods& mods)
{
    // Also while the edit box has the focus: the release ends the capture
    // of the press that opened the prompt.
    GuiSection section(this);
    if (!section.Entered()) return;
    OnMouseUp(x, y, mods);
}

bool IGraphicsWindow::HandleMouseMove(int x, int y, const MouseMods& mods)
{
    GuiSection section(this);
    if (!section.Entered() || mPromptState == PromptState_Editing) return false;
    if (mods.mLeft || mods.mRight) {
        OnMouseDrag(x, y, mods);
        return false;
    }
    return OnMouseOver(x, y, mods);
}

bool IGraphicsWindow::HandleMouseDoubleClick(int x, int y, const MouseMods& mods)
{
    GuiSection section(this);
    if (!section.Entered()) return false;
    if (mPromptEditExists) {
        if (mods.mRight && mPromptState == PromptState_Editing) {
            mPromptState = PromptState_Cancel;
            return false;
        }
        if (mods.mLeft) mPromptState = PromptState_Commit;
    }
    return OnMouseDoubleClick(x, y, mods);
}

void IGraphicsWindow::HandleMouseWheel(int x, int y, const MouseMods& mods, int notches)
{
    GuiSection section(this);
    if (!section.Entered() || mPromptState == PromptState_Editing) return;
    OnMouseWheel(x, y, mods, notches);
}

void IGraphicsWindow::HandleMouseLeave()
{
    GuiSection section(this);
    if (!section.Entered()) return;
    OnMouseOut();
}

void IGraphicsWindow::HandleKeyDown(int x, int y, int key)
{
    if (key < 0) return;
    GuiSection section(this);
    if (!section.Entered() || mPromptState == PromptState_Editing) return;
    OnKeyDown(x, y, key);
}

void IGraphicsWindow::PromptFocusChanged(bool gained)
{
    ScopedLock lock(mSurfaceLock);
    if (!mPromptEditExists) return;
    // A cancel or commit already asked for stays asked for.
    if (gained && (mPromptState == PromptState_Idle || mPromptState == PromptState_Refresh)) {
        mPromptState = PromptState_Editing;
    } else if (!gained && mPromptState == PromptState_Editing) {
        mPromptState = PromptState_Idle;
    }
}

void IGraphicsWindow::PromptEnterPressed()
{
    ScopedLock lock(mSurfaceLock);
    if (mPromptEditExists) mPromptState = PromptState_Commit;
}

// ---- The value prompt

void IGraphicsWindow::OpenValuePrompt(IControl* pControl, IPlugParam* pParam, bool textMode)
{
    if (!pControl || (!pParam && !textMode) || mPromptEditExists) return;
    std::string text;
    if (textMode) {
        ITextControl* pText = dynamic_cast<ITextControl*>(pControl);
        if (pText) text.assign(pText->GetText(), std::min<size_t>(std::strlen(pText->GetText()), MAX_PROMPT_TEXT - 1));
    } else {
        char display[IPlugParam::MAX_DISPLAY_TEXT_LEN];
        pParam->FormatValue(pParam->Value(), false, display);
        text = display;
    }
    int centreX = pControl->GetRect().MidX();
    int centreY = pControl->GetRect().MidY();

    std::unique_ptr<PopupMenu> pMenu = pControl->MakeValueMenu();
    if (pMenu) {
        NativeMenu native;
        int nextId = 1;
        FillNativeMenu(&native, &nextId, *pMenu);
        int index = TopLevelIndexOf(native, TrackMenu(native, centreX, centreY));
        if (index >= 0) {
            pMenu->SetChosenItemIndex(index);
            pControl->ApplyMenuChoice(pMenu.get(), index);
        }
        return;
    }

    mpPromptControl = pControl;
    mpPromptParam = pParam;
    mPromptTextMode = textMode;
    ControlRect editRect(centreX - PROMPT_WIDTH / 2, centreY - PROMPT_HEIGHT / 2, centreX + PROMPT_WIDTH / 2,
                         centreY + PROMPT_HEIGHT / 2);
    if (!CreateEdit(editRect, text.c_str())) {
        mpPromptControl = nullptr;
        mpPromptParam = nullptr;
        mPromptTextMode = false;
    }
}

void IGraphicsWindow::RunPromptStates()
{
    switch (mPromptState) {
    case PromptState_Refresh:
        if (mPromptEditExists && mpPromptParam) {
            char display[IPlugParam::MAX_DISPLAY_TEXT_LEN];
            mpPromptParam->FormatValue(mpPromptParam->Value(), false, display);
            std::string current;
            GetEditText(&current);
            if (current != display) SetEditText(display);
        }
        mPromptState = PromptState_Idle;
        break;
    case PromptState_Cancel:
        DestroyPrompt();
        break;
    case PromptState_Commit:
        CommitPrompt();
        DestroyPrompt();
        break;
    default:
        break;
    }
}

void IGraphicsWindow::CommitPrompt()
{
    if (!mpPromptControl || !mPromptEditExists) return;
    std::string text;
    GetEditText(&text);
    if (!mpPromptParam) {
        if (mPromptTextMode) mpPromptControl->SetTextFromPrompt(text.c_str());
        return;
    }
    double plain = 0.0;
    if (mpPromptParam->CountDisplayTexts() > 0) {
        int value = 0;
        if (mpPromptParam->ParseDisplayText(text.c_str(), &value)) plain = value;
    } else {
        plain = std::strtod(text.c_str(), nullptr);
        // The text was shown negated, so it is read back the same way.
        if (mpPromptParam->NegateDisplay()) plain = -plain;
    }
    mpPromptControl->TakeUserValue(mpPromptParam->ToNormalized(plain));
}

void IGraphicsWindow::DestroyPrompt()
{
    if (mPromptEditExists) DestroyEdit();
    mPromptEditExists = false;
    mpPromptControl = nullptr;
    mpPromptParam = nullptr;
    mPromptTextMode = false;
    mPromptState = PromptState_Idle;
}

// ---- Menus

bool IGraphicsWindow::FillNativeMenu(NativeMenu* pNative, int* pNextId, const PopupMenu& menu)
{
    if (!pNative || !pNextId) return false;
    for (int i = 0; i < menu.NItems(); ++i) {
        const PopupMenuItem* pItem = menu.Item(i);
        NativeMenuItem item;
        item.mId = (*pNextId)++;
        item.mText = pItem->Text();
        item.mSeparator = pItem->IsSeparator();
        item.mChecked = pItem->IsChecked() || (pItem->Submenu() && pItem->Submenu()->HoldsCheckedItem());
        if (pItem->Submenu()) {
            NativeMenu submenu;
            FillNativeMenu(&submenu, pNextId, *pItem->Submenu());
            item.mHasSubmenu = true;
            item.mSubmenu = std::move(submenu.mItems);
        }
        pNative->mItems.push_back(std::move(item));
    }
    return true;
}

void IGraphicsWindow::OpenValueMenu(IControl* pControl, IPlugParam* pParam, int rowsPerColumn)
{
    if (!pControl || !pParam) return;
    NativeMenu menu;
    int current = static_cast<int>(pParam->Value());
    for (int i = 0; i < pParam->CountDisplayTexts(); ++i) {
        NativeMenuItem item;
        item.mId = i + 1;
        item.mText = pParam->FindDisplayText(i);
        item.mChecked = i == current;
        item.mColumnBreak = rowsPerColumn > 0 && i > 0 && i % rowsPerColumn == 0;
        menu.mItems.push_back(item);
    }
    int index = TopLevelIndexOf(menu, TrackMenu(menu, mMouseX, mMouseY));
    if (index < 0) return;
    int value = 0;
    if (pParam->ParseDisplayText(menu.mItems[index].mText.c_str(), &value)) {
        pControl->TakeUserValue(pParam->ToNormalized(value));
    }
}

// ---- Dialogs, folders, size

EFileDialog IGraphicsWindow::ChooseFile(std::string* pPath, int action, const char* folder, const char* extensions,
                                        std::string* pProblem)
{
    std::string problem;
    if (!pProblem) pProblem = &problem;
    pProblem->clear();
    if (!pPath) return EFileDialog_Cancelled;
    pPath->clear();
    if (!HasWindow()) return EFileDialog_Cancelled;
    std::string initialFolder;
    if (folder && folder[0]) {
        initialFolder = folder;
    } else {
        PluginFolder(&initialFolder);
    }
    if (!extensions) extensions = "";
    ModalSection modal(this);
    std::string chosen;
    EFileDialog result = NativeChooseFile(&chosen, action, initialFolder.c_str(), extensions, pProblem);
    if (result == EFileDialog_Chosen) *pPath = chosen;
    return result;
}

bool IGraphicsWindow::ChooseColour(Color* pColor, const char* title)
{
    if (!pColor || !HasWindow()) return false;
    if (!mpCustomColours) {
        mpCustomColours.reset(new uint32_t[16]);
        for (int i = 0; i < 16; ++i) mpCustomColours[i] = 0x00FFFFFFu;
    }
    ModalSection modal(this);
    Color chosen = *pColor;
    if (!NativeChooseColour(&chosen, title, mpCustomColours.get())) return false;
    pColor->mRed = chosen.mRed;
    pColor->mGreen = chosen.mGreen;
    pColor->mBlue = chosen.mBlue;
    return true;
}

bool IGraphicsWindow::OpenWebAddress(const char* url, const char* title, const char* confirmText, const char* errorText)
{
    if (!url) return false;
    ModalSection modal(this);
    bool ok = true;
    if (confirmText && confirmText[0]) ok = ShowMessage(confirmText, title, true);
    if (ok) ok = InternetConnected();
    if (ok) ok = OpenUrl(url);
    if (!ok && errorText && errorText[0]) ShowMessage(errorText, title, false);
    return ok;
}

void IGraphicsWindow::HostFolder(std::string* pFolder)
{
    if (!pFolder) return;
    pFolder->clear();
    char program[4096];
    if (GetFileNameOfProgram(program, sizeof program)) *pFolder = FolderOf(program);
}

void IGraphicsWindow::PluginFolder(std::string* pFolder)
{
    if (!pFolder) return;
    pFolder->clear();
    char module[4096];
    if (GetModuleFileNameOfPlugin(module, sizeof module)) *pFolder = FolderOf(module);
}

void IGraphicsWindow::Resize(int width, int height)
{
    ScopedLock lock(mSurfaceLock);
    // The controls go, so must every pointer at them.
    EndGesture();
    DestroyPrompt();
    DeleteControls();
    int dw = width - mWidth, dh = height - mHeight;
    mWidth = width;
    mHeight = height;
    if (mpDrawBitmap) mpDrawBitmap->Resize(width, height);
    if (HasWindow() && (dw != 0 || dh != 0)) NativeResize(dw, dh);
}

// ---- The window system

bool IGraphicsWindow::HasWindow() const { return mWindowOpen.load(std::memory_order_acquire); }

void* IGraphicsWindow::GetWindow() const { return mpNative ? NativeHandle() : nullptr; }

void IGraphicsWindow::BlitToWindow(const ControlRect& rect)
{
    if (mpNative) NativeBlit(rect);
}

void IGraphicsWindow::BlitRectsToWindow(const ControlRect* pRects, int count)
{
    if (mpNative) NativeBlitRects(pRects, count);
}

int IGraphicsWindow::TrackMenu(const NativeMenu& menu, int x, int y)
{
    if (!HasWindow()) return 0;
    ModalSection modal(this);
    return NativeTrackMenu(menu, x, y);
}

bool IGraphicsWindow::CreateEdit(const ControlRect& rect, const char* text)
{
    if (!HasWindow()) return false;
    // Set first: the box reports its focus while being created.
    mPromptEditExists = true;
    if (!NativeCreateEdit(rect, text)) {
        mPromptEditExists = false;
        return false;
    }
    return true;
}

void IGraphicsWindow::DestroyEdit()
{
    if (mpNative) NativeDestroyEdit();
    mPromptEditExists = false;
}

void IGraphicsWindow::GetEditText(std::string* pText)
{
    pText->clear();
    if (mpNative) NativeGetEditText(pText, MAX_PROMPT_TEXT);
}

void IGraphicsWindow::SetEditText(const char* text)
{
    if (mpNative) NativeSetEditText(text);
}

bool IGraphicsWindow::ShowMessage(const char* text, const char* title, bool yesNo)
{
    return NativeMessageBox(text, title ? title : "", yesNo);
}

bool IGraphicsWindow::InternetConnected() { return NativeInternetConnected(); }

bool IGraphicsWindow::OpenUrl(const char* url) { return NativeOpenUrl(url); }
