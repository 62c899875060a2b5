// Where the grid sits in the editor: the cells and the four wall strips
// that frame them, following the grid's active window of rows and columns.
#pragma once

#include "framework/gui/GuiTypes.h"

struct GridLayout {
    static constexpr int LEFT = 200;
    static constexpr int TOP = 24;
    // From the grid area's corner to the first cell, and between cells.
    static constexpr int MARGIN = 7;
    static constexpr int PITCH = 19;

    int mStripThickness = 5;
    int mStripLength = 17;
    int mCellWidth = 17;
    int mCellHeight = 17;
    int mRowPitch = PITCH;
    int mColumnPitch = PITCH;
    int mFirstRow = 0;
    int mLastRow = 8;
    int mRowCount = 9;
    int mFirstColumn = 0;
    int mLastColumn = 8;
    int mColumnCount = 9;
    int mNorthLeft = 0;
    int mNorthTop = 0;
    int mSouthLeft = 0;
    int mSouthTop = 0;
    int mEastLeft = 0;
    int mEastTop = 0;
    int mWestLeft = 0;
    int mWestTop = 0;
    int mTop = TOP;
    int mLeft = LEFT;

    GridLayout() { SetWindow(0, 8, 0, 8); }

    // Takes the grid's window and moves the strips' origins: the north and
    // south strips run along the columns above and below the window, the
    // west and east strips along the rows left and right of it.
    void SetWindow(int firstRow, int lastRow, int firstColumn, int lastColumn);
    bool RowShown(int row) const { return row >= mFirstRow && row <= mLastRow; }
    bool ColumnShown(int column) const { return column >= mFirstColumn && column <= mLastColumn; }
    // The 17 x 17 pixels of the cell control of (row, column).
    ControlRect CellRect(int row, int column) const;
    // Everything the strips and the shown cells cover.
    ControlRect GridBounds() const;
};
