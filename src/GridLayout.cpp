#include "GridLayout.h"

void GridLayout::SetWindow(int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    mFirstRow = firstRow;
    mLastRow = lastRow;
    mFirstColumn = firstColumn;
    mLastColumn = lastColumn;
    mRowCount = lastRow - firstRow + 1;
    mColumnCount = lastColumn - firstColumn + 1;
    mNorthLeft = mLeft + MARGIN;
    mNorthTop = mTop;
    mSouthLeft = mLeft + MARGIN;
    mSouthTop = mTop + MARGIN + mRowPitch * mRowCount;
    mWestLeft = mLeft;
    mWestTop = mTop + MARGIN;
    mEastLeft = mLeft + MARGIN + mColumnPitch * mColumnCount;
    mEastTop = mTop + MARGIN;
}

ControlRect GridLayout::CellRect(int row, int column) const
{
    int x = mLeft + MARGIN + mColumnPitch * column;
    int y = mTop + MARGIN + mRowPitch * row;
    return ControlRect(x, y, x + mCellWidth, y + mCellHeight);
}

ControlRect GridLayout::GridBounds() const
{
    int right = mEastLeft + mStripThickness;
    int bottom = mSouthTop + mStripThickness;
    return ControlRect(mLeft, mTop, right, bottom);
}
