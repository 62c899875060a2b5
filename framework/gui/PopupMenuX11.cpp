#include "PopupMenuX11.h"

#include "framework/raster/Raster.h"
#include "framework/raster/TextRenderer.h"

namespace {

const uint32_t MENU_BACKGROUND = 0xFFF2F2F2u;
const uint32_t MENU_BORDER = 0xFF8C8C8Cu;
const uint32_t MENU_TEXT = 0xFF000000u;
const uint32_t HIGHLIGHT_BACKGROUND = 0xFF3399FFu;
const uint32_t HIGHLIGHT_TEXT = 0xFFFFFFFFu;
const uint32_t SEPARATOR_LINE = 0xFFC4C4C4u;
// How far the pointer must move from where the menu opened before a
// release chooses.
const int ARM_DISTANCE = 3;
// A grab fails while another client holds one; it is tried again on the
// next rounds of the loop for about a second.
const int MAX_GRAB_ATTEMPTS = 25;

TextFormat MenuFormat(uint32_t color)
{
    return MakeTextFormat("Arial", PopupMenuX11::FONT_HEIGHT, color, TextFontStyle_Normal, TextAlignment_Left);
}

bool Selectable(const NativeMenuItem& item) { return !item.mSeparator; }

}  // namespace

struct PopupMenuX11::Level {
    const std::vector<NativeMenuItem>* mpItems = nullptr;
    MenuLayout mLayout;
    Window mWindow = 0;
    int mX = 0;
    int mY = 0;
    int mHighlighted = -1;
    // The item of the level below that opened this one; -1 for the top.
    int mParentItem = -1;
    MemoryBitmap mBitmap;
};

PopupMenuX11::PopupMenuX11(ModalLoopX11* pLoop)
    : mpLoop(pLoop), mpDisplay(pLoop->GetDisplay()), mpRenderer(new TextRenderer())
{
}

PopupMenuX11::~PopupMenuX11()
{
    CloseLevelsAbove(0);
    mImageOut.Release();
    if (mGc) XFreeGC(mpDisplay, mGc);
    if (mPointerGrabbed) XUngrabPointer(mpDisplay, CurrentTime);
    if (mKeyboardGrabbed) XUngrabKeyboard(mpDisplay, CurrentTime);
    XFlush(mpDisplay);
}

int PopupMenuX11::Track(const NativeMenu& menu, int rootX, int rootY)
{
    if (menu.mItems.empty()) return 0;
    int screen = DefaultScreen(mpDisplay);
    mpVisual = DefaultVisual(mpDisplay, screen);
    mDepth = DefaultDepth(mpDisplay, screen);
    if (!mImageOut.Init(mpDisplay, mpVisual, mDepth)) return 0;
    mOpenX = rootX;
    mOpenY = rootY;
    if (!OpenLevel(&menu.mItems, rootX, rootY, -1)) return 0;
    XSync(mpDisplay, False);
    TryGrab();
    while (!mDone) {
        // The window is closing: the menu goes without a choice.
        if (!mpLoop->RunOnce(this, -1)) {
            mResult = 0;
            break;
        }
        if (!mPointerGrabbed || !mKeyboardGrabbed) TryGrab();
    }
    CloseLevelsAbove(0);
    if (mPointerGrabbed) XUngrabPointer(mpDisplay, CurrentTime);
    if (mKeyboardGrabbed) XUngrabKeyboard(mpDisplay, CurrentTime);
    mPointerGrabbed = mKeyboardGrabbed = false;
    XFlush(mpDisplay);
    return mResult;
}

void PopupMenuX11::TryGrab()
{
    if (mLevels.empty() || mGrabAttempts >= MAX_GRAB_ATTEMPTS) return;
    ++mGrabAttempts;
    Window window = mLevels[0]->mWindow;
    // Every pointer event comes to the first level's window, wherever the
    // pointer is; the screen position tells which level it concerns.
    if (!mPointerGrabbed) {
        mPointerGrabbed =
            XGrabPointer(mpDisplay, window, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                         GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
    }
    if (!mKeyboardGrabbed) {
        mKeyboardGrabbed =
            XGrabKeyboard(mpDisplay, window, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
    }
}

bool PopupMenuX11::OpenLevel(const std::vector<NativeMenuItem>* pItems, int rootX, int rootY, int parentItem)
{
    std::unique_ptr<Level> pLevel(new Level());
    pLevel->mpItems = pItems;
    pLevel->mParentItem = parentItem;
    TextRenderer* pRenderer = mpRenderer.get();
    pLevel->mLayout = Layout(*pItems, [pRenderer](const std::string& text) {
        int width = 0, height = 0;
        if (text.empty() || !pRenderer->MeasureText(MenuFormat(MENU_TEXT), text.c_str(), &width, &height)) return 0;
        return width;
    });
    int width = pLevel->mLayout.mWidth, height = pLevel->mLayout.mHeight;
    if (!pLevel->mBitmap.Resize(width, height)) return false;

    // Kept on the screen: flipped to the other side of the point when it
    // would run over the right or bottom edge.
    int screen = DefaultScreen(mpDisplay);
    int screenWidth = DisplayWidth(mpDisplay, screen), screenHeight = DisplayHeight(mpDisplay, screen);
    if (rootX + width > screenWidth) {
        int flipped = parentItem >= 0 && !mLevels.empty() ? mLevels.back()->mX - width + BORDER : rootX - width;
        rootX = flipped >= 0 ? flipped : (screenWidth - width > 0 ? screenWidth - width : 0);
    }
    if (rootY + height > screenHeight) {
        int flipped = parentItem >= 0 ? screenHeight - height : rootY - height;
        rootY = flipped >= 0 ? flipped : 0;
    }
    pLevel->mX = rootX;
    pLevel->mY = rootY;

    XSetWindowAttributes attributes = {};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
    Window root = RootWindow(mpDisplay, screen);
    pLevel->mWindow = XCreateWindow(mpDisplay, root, rootX, rootY, static_cast<unsigned>(width),
                                    static_cast<unsigned>(height), 0, mDepth, InputOutput, mpVisual,
                                    CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWEventMask, &attributes);
    if (!pLevel->mWindow) return false;
    // Compositors and window managers look for the type.
    Atom type = XInternAtom(mpDisplay, "_NET_WM_WINDOW_TYPE", False);
    Atom popup = XInternAtom(mpDisplay, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
    XChangeProperty(mpDisplay, pLevel->mWindow, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&popup), 1);
    if (!mGc) mGc = XCreateGC(mpDisplay, pLevel->mWindow, 0, nullptr);
    XMapRaised(mpDisplay, pLevel->mWindow);
    Paint(*pLevel);
    mLevels.push_back(std::move(pLevel));
    return true;
}

void PopupMenuX11::CloseLevelsAbove(size_t count)
{
    while (mLevels.size() > count) {
        XDestroyWindow(mpDisplay, mLevels.back()->mWindow);
        mLevels.pop_back();
    }
    if (!mLevels.empty()) {
        Level& top = *mLevels.back();
        // The item that opened a submenu now closed is no longer "open".
        if (top.mHighlighted >= 0) Paint(top);
    }
}

void PopupMenuX11::Paint(Level& level)
{
    MemoryBitmap& bitmap = level.mBitmap;
    int width = bitmap.Width(), height = bitmap.Height();
    Raster::FillRect(bitmap, RasterRect{0, 0, width, height}, MENU_BACKGROUND, RasterBlend_Plain);
    const std::vector<NativeMenuItem>& items = *level.mpItems;
    for (size_t i = 0; i < items.size(); ++i) {
        const NativeMenuItem& item = items[i];
        const MenuLayout::Box& box = level.mLayout.mBoxes[i];
        if (item.mSeparator) {
            int y = (box.mTop + box.mBottom) / 2;
            Raster::FillRect(bitmap, RasterRect{box.mLeft + 2, y, box.mRight - 2, y + 1}, SEPARATOR_LINE,
                             RasterBlend_Plain);
            continue;
        }
        bool highlighted = static_cast<int>(i) == level.mHighlighted;
        uint32_t textColor = highlighted ? HIGHLIGHT_TEXT : MENU_TEXT;
        if (highlighted) {
            Raster::FillRect(bitmap, RasterRect{box.mLeft, box.mTop, box.mRight, box.mBottom}, HIGHLIGHT_BACKGROUND,
                             RasterBlend_Plain);
        }
        int textTop = box.mTop + (ITEM_HEIGHT - FONT_HEIGHT) / 2;
        mpRenderer->DrawTextInRect(bitmap, MenuFormat(textColor), item.mText.c_str(),
                                   RasterRect{box.mLeft + 24, textTop, box.mRight - 8, textTop + FONT_HEIGHT});
        float midY = static_cast<float>(box.mTop + box.mBottom) / 2.0f;
        if (item.mChecked) {
            float left = static_cast<float>(box.mLeft) + 7.0f;
            Raster::DrawLine(bitmap, left, midY, left + 3.0f, midY + 3.0f, textColor);
            Raster::DrawLine(bitmap, left + 3.0f, midY + 3.0f, left + 9.0f, midY - 4.0f, textColor);
            Raster::DrawLine(bitmap, left, midY + 1.0f, left + 3.0f, midY + 4.0f, textColor);
            Raster::DrawLine(bitmap, left + 3.0f, midY + 4.0f, left + 9.0f, midY - 3.0f, textColor);
        }
        if (item.mHasSubmenu) {
            int tipX = box.mRight - 8;
            int middle = (box.mTop + box.mBottom) / 2;
            for (int row = -4; row <= 4; ++row) {
                int length = 4 - (row < 0 ? -row : row);
                Raster::FillRect(bitmap, RasterRect{tipX - 4, middle + row, tipX - 4 + length + 1, middle + row + 1},
                                 textColor, RasterBlend_Plain);
            }
        }
    }
    // A line between columns, as a menu break with a bar shows.
    const std::vector<int>& columnRight = level.mLayout.mColumnRight;
    for (size_t c = 0; c + 1 < columnRight.size(); ++c) {
        int x = columnRight[c] + 2;
        Raster::FillRect(bitmap, RasterRect{x, BORDER, x + 1, height - BORDER}, SEPARATOR_LINE, RasterBlend_Plain);
    }
    Raster::FillRect(bitmap, RasterRect{0, 0, width, 1}, MENU_BORDER, RasterBlend_Plain);
    Raster::FillRect(bitmap, RasterRect{0, height - 1, width, height}, MENU_BORDER, RasterBlend_Plain);
    Raster::FillRect(bitmap, RasterRect{0, 0, 1, height}, MENU_BORDER, RasterBlend_Plain);
    Raster::FillRect(bitmap, RasterRect{width - 1, 0, width, height}, MENU_BORDER, RasterBlend_Plain);
    mImageOut.Put(level.mWindow, mGc, bitmap, 0, 0, width, height);
}

void PopupMenuX11::Highlight(size_t levelIndex, int item)
{
    Level& level = *mLevels[levelIndex];
    if (level.mHighlighted == item) return;
    level.mHighlighted = item;
    Paint(level);
}

bool PopupMenuX11::Find(int rootX, int rootY, size_t* pLevel, int* pItem) const
{
    for (size_t l = mLevels.size(); l > 0; --l) {
        const Level& level = *mLevels[l - 1];
        int x = rootX - level.mX, y = rootY - level.mY;
        if (x < 0 || y < 0 || x >= level.mLayout.mWidth || y >= level.mLayout.mHeight) continue;
        *pLevel = l - 1;
        *pItem = -1;
        const std::vector<MenuLayout::Box>& boxes = level.mLayout.mBoxes;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (x >= boxes[i].mLeft && x < boxes[i].mRight && y >= boxes[i].mTop && y < boxes[i].mBottom) {
                *pItem = static_cast<int>(i);
            }
        }
        return true;
    }
    return false;
}

void PopupMenuX11::OpenSubmenu(size_t levelIndex, int item, bool highlightFirst)
{
    Level& level = *mLevels[levelIndex];
    const NativeMenuItem& entry = (*level.mpItems)[static_cast<size_t>(item)];
    if (!entry.mHasSubmenu || entry.mSubmenu.empty()) return;
    if (mLevels.size() > levelIndex + 1 && mLevels[levelIndex + 1]->mParentItem == item) return;
    CloseLevelsAbove(levelIndex + 1);
    const MenuLayout::Box& box = level.mLayout.mBoxes[static_cast<size_t>(item)];
    if (!OpenLevel(&entry.mSubmenu, level.mX + box.mRight - BORDER + 1, level.mY + box.mTop - BORDER, item)) return;
    if (highlightFirst) MoveVertically(*mLevels.back(), 1);
}

void PopupMenuX11::Choose(size_t levelIndex, int item)
{
    const NativeMenuItem& entry = (*mLevels[levelIndex]->mpItems)[static_cast<size_t>(item)];
    if (!Selectable(entry)) return;
    if (entry.mHasSubmenu) {
        OpenSubmenu(levelIndex, item, true);
        return;
    }
    mResult = entry.mId;
    mDone = true;
}

void PopupMenuX11::MoveVertically(Level& level, int direction)
{
    int count = static_cast<int>(level.mpItems->size());
    int item = level.mHighlighted;
    for (int step = 0; step < count; ++step) {
        if (item < 0) {
            item = direction > 0 ? 0 : count - 1;
        } else {
            item = (item + direction + count) % count;
        }
        if (Selectable((*level.mpItems)[static_cast<size_t>(item)])) {
            level.mHighlighted = item;
            Paint(level);
            return;
        }
    }
}

bool PopupMenuX11::MoveToColumn(Level& level, int direction)
{
    if (level.mHighlighted < 0) return false;
    const std::vector<MenuLayout::Box>& boxes = level.mLayout.mBoxes;
    const MenuLayout::Box& current = boxes[static_cast<size_t>(level.mHighlighted)];
    int column = current.mColumn + direction;
    // The item of the neighbouring column nearest to the current row.
    int best = -1, bestDistance = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i].mColumn != column || !Selectable((*level.mpItems)[i])) continue;
        int distance = boxes[i].mTop > current.mTop ? boxes[i].mTop - current.mTop : current.mTop - boxes[i].mTop;
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    if (best < 0) return false;
    level.mHighlighted = best;
    Paint(level);
    return true;
}

void PopupMenuX11::HandleKey(XKeyEvent& event)
{
    KeySym symbol = XLookupKeysym(&event, 0);
    size_t levelIndex = mLevels.size() - 1;
    Level& level = *mLevels[levelIndex];
    switch (symbol) {
    case XK_Up:
    case XK_KP_Up:
        MoveVertically(level, -1);
        break;
    case XK_Down:
    case XK_KP_Down:
        MoveVertically(level, 1);
        break;
    case XK_Right:
    case XK_KP_Right:
        if (level.mHighlighted >= 0 && (*level.mpItems)[static_cast<size_t>(level.mHighlighted)].mHasSubmenu) {
            OpenSubmenu(levelIndex, level.mHighlighted, true);
        } else {
            MoveToColumn(level, 1);
        }
        break;
    case XK_Left:
    case XK_KP_Left:
        if (!MoveToColumn(level, -1) && levelIndex > 0) CloseLevelsAbove(levelIndex);
        break;
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
        if (level.mHighlighted >= 0) Choose(levelIndex, level.mHighlighted);
        break;
    case XK_Escape:
        if (levelIndex > 0) {
            CloseLevelsAbove(levelIndex);
        } else {
            mResult = 0;
            mDone = true;
        }
        break;
    default:
        break;
    }
}

void PopupMenuX11::HandleMotion(int rootX, int rootY)
{
    int dx = rootX - mOpenX, dy = rootY - mOpenY;
    if (dx > ARM_DISTANCE || dx < -ARM_DISTANCE || dy > ARM_DISTANCE || dy < -ARM_DISTANCE) mArmed = true;
    size_t levelIndex = 0;
    int item = -1;
    if (!Find(rootX, rootY, &levelIndex, &item)) return;
    if (item >= 0 && !Selectable((*mLevels[levelIndex]->mpItems)[static_cast<size_t>(item)])) item = -1;
    // Pointing into a level closes the submenus opened from its other items.
    if (mLevels.size() > levelIndex + 1 && mLevels[levelIndex + 1]->mParentItem != item && item >= 0) {
        CloseLevelsAbove(levelIndex + 1);
    }
    if (item < 0) return;
    Highlight(levelIndex, item);
    OpenSubmenu(levelIndex, item, false);
}

bool PopupMenuX11::TakeEvent(XEvent& event)
{
    switch (event.type) {
    case Expose:
        for (std::unique_ptr<Level>& pLevel : mLevels) {
            if (pLevel->mWindow == event.xexpose.window) {
                if (event.xexpose.count == 0) Paint(*pLevel);
                return true;
            }
        }
        return false;
    case MotionNotify: {
        // Only the newest of the moves queued right behind it matters.
        while (XEventsQueued(mpDisplay, QueuedAlready) > 0) {
            XEvent next;
            XPeekEvent(mpDisplay, &next);
            if (next.type != MotionNotify || next.xmotion.window != event.xmotion.window) break;
            XNextEvent(mpDisplay, &event);
        }
        HandleMotion(event.xmotion.x_root, event.xmotion.y_root);
        return true;
    }
    case ButtonPress: {
        // The wheel scrolls nothing here.
        if (event.xbutton.button > Button3) return true;
        size_t levelIndex = 0;
        int item = -1;
        if (!Find(event.xbutton.x_root, event.xbutton.y_root, &levelIndex, &item)) {
            mResult = 0;
            mDone = true;
            return true;
        }
        mArmed = true;
        if (item >= 0 && Selectable((*mLevels[levelIndex]->mpItems)[static_cast<size_t>(item)])) {
            Highlight(levelIndex, item);
            OpenSubmenu(levelIndex, item, false);
        }
        return true;
    }
    case ButtonRelease: {
        if (event.xbutton.button > Button3) return true;
        size_t levelIndex = 0;
        int item = -1;
        if (!Find(event.xbutton.x_root, event.xbutton.y_root, &levelIndex, &item) || item < 0) return true;
        const NativeMenuItem& entry = (*mLevels[levelIndex]->mpItems)[static_cast<size_t>(item)];
        if (mArmed && Selectable(entry) && !entry.mHasSubmenu) Choose(levelIndex, item);
        return true;
    }
    case KeyPress:
        HandleKey(event.xkey);
        return true;
    case KeyRelease:
        return true;
    default:
        return false;
    }
}
