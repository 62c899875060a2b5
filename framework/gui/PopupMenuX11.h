// Popup menus on X11: override-redirect windows drawn with the raster
// library, one per open level (the menu and its open submenus), shown
// modally inside the editor window's nested event loop with the pointer
// and the keyboard grabbed. Checked items show a check mark, separators a
// line, column breaks start a new column; Up, Down, Left, Right, Enter and
// Escape work as in a native menu, and so does the mouse: a release over an
// item chooses it once the pointer has moved or a button was pressed in the
// menu, a press outside every level dismisses it.
#pragma once

#include <memory>
#include <vector>

#include "DisplayX11.h"
#include "IGraphicsWindow.h"
#include "ImageOutX11.h"

class TextRenderer;

// Where the items of one menu level sit, in pixels of its window.
struct MenuLayout {
    struct Box {
        int mLeft = 0, mTop = 0, mRight = 0, mBottom = 0;
        int mColumn = 0;
    };
    std::vector<Box> mBoxes;        // one per item
    std::vector<int> mColumnRight;  // right edge of each column
    int mWidth = 0;
    int mHeight = 0;
};

class PopupMenuX11 : public ModalEventSinkX11 {
public:
    static constexpr int ITEM_HEIGHT = 22;
    static constexpr int SEPARATOR_HEIGHT = 9;
    static constexpr int BORDER = 3;
    static constexpr int FONT_HEIGHT = 15;

    explicit PopupMenuX11(ModalLoopX11* pLoop);
    ~PopupMenuX11() override;

    // Shows the menu with its top-left corner at (rootX, rootY) of the
    // screen (moved to stay on it) and waits for the choice: the chosen
    // item's id, or 0 when the menu was dismissed or the window closes.
    int Track(const NativeMenu& menu, int rootX, int rootY);

    bool TakeEvent(XEvent& event) override;

    // The item boxes of a menu level; textWidth measures an item's text.
    template <typename Measure>
    static MenuLayout Layout(const std::vector<NativeMenuItem>& items, Measure textWidth);

private:
    PopupMenuX11(const PopupMenuX11&) = delete;
    PopupMenuX11& operator=(const PopupMenuX11&) = delete;

    struct Level;

    bool OpenLevel(const std::vector<NativeMenuItem>* pItems, int rootX, int rootY, int parentItem);
    void CloseLevelsAbove(size_t count);
    void Paint(Level& level);
    void Highlight(size_t levelIndex, int item);
    // The deepest level whose window holds the screen point, and the item
    // there (-1 for none); false when no level holds it.
    bool Find(int rootX, int rootY, size_t* pLevel, int* pItem) const;
    void OpenSubmenu(size_t levelIndex, int item, bool highlightFirst);
    void Choose(size_t levelIndex, int item);
    void MoveVertically(Level& level, int direction);
    bool MoveToColumn(Level& level, int direction);
    void HandleKey(XKeyEvent& event);
    void HandleMotion(int rootX, int rootY);
    void TryGrab();

    ModalLoopX11* mpLoop;
    Display* mpDisplay;
    std::unique_ptr<TextRenderer> mpRenderer;
    ImageOutX11 mImageOut;
    Visual* mpVisual = nullptr;
    int mDepth = 0;
    GC mGc = nullptr;
    std::vector<std::unique_ptr<Level>> mLevels;
    bool mDone = false;
    int mResult = 0;
    // A release chooses only after the pointer moved from where the menu
    // opened or a button was pressed in it: the release of the press that
    // opened the menu must not choose.
    bool mArmed = false;
    int mOpenX = 0;
    int mOpenY = 0;
    bool mPointerGrabbed = false;
    bool mKeyboardGrabbed = false;
    int mGrabAttempts = 0;
};

template <typename Measure>
MenuLayout PopupMenuX11::Layout(const std::vector<NativeMenuItem>& items, Measure textWidth)
{
    // Room for the check mark on the left and the submenu arrow on the right.
    const int LEFT_PAD = 24, RIGHT_PAD = 24, MIN_COLUMN_WIDTH = 60, COLUMN_GAP = 5;
    MenuLayout layout;
    std::vector<int> columnWidth;
    int column = 0, y = BORDER, height = 0;
    columnWidth.push_back(MIN_COLUMN_WIDTH);
    for (size_t i = 0; i < items.size(); ++i) {
        const NativeMenuItem& item = items[i];
        if (item.mColumnBreak && i > 0) {
            ++column;
            columnWidth.push_back(MIN_COLUMN_WIDTH);
            y = BORDER;
        }
        MenuLayout::Box box;
        box.mColumn = column;
        box.mTop = y;
        y += item.mSeparator ? SEPARATOR_HEIGHT : ITEM_HEIGHT;
        box.mBottom = y;
        if (y > height) height = y;
        if (!item.mSeparator) {
            int width = LEFT_PAD + textWidth(item.mText) + RIGHT_PAD;
            if (width > columnWidth[column]) columnWidth[column] = width;
        }
        layout.mBoxes.push_back(box);
    }
    int x = BORDER;
    std::vector<int> columnLeft;
    for (size_t c = 0; c < columnWidth.size(); ++c) {
        if (c > 0) x += COLUMN_GAP;
        columnLeft.push_back(x);
        x += columnWidth[c];
        layout.mColumnRight.push_back(x);
    }
    for (MenuLayout::Box& box : layout.mBoxes) {
        box.mLeft = columnLeft[box.mColumn];
        box.mRight = layout.mColumnRight[box.mColumn];
    }
    layout.mWidth = x + BORDER;
    layout.mHeight = (height > BORDER ? height : BORDER + ITEM_HEIGHT) + BORDER;
    return layout;
}
