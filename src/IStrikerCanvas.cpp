#include "IStrikerCanvas.h"

#include "framework/gui/IGraphicsLice.h"

IStrikerCanvas::IStrikerCanvas(IPlugBase* pPlug, const ControlRect& rect, const GridLayout* pLayout,
                               const StrikeColourTable* pColours)
    : IControl(pPlug, rect), mpLayout(pLayout), mpColours(pColours)
{
    for (int wall = 0; wall < Wall_NumWalls; ++wall) {
        mRotations[wall] = 0;
        mReverse[wall] = 0;
        for (int position = 0; position < WALL_POSITIONS; ++position) {
            mMarks[wall][position] = StrikeMark_None;
            mEntryIndices[wall][position] = position;
        }
    }
    ComputeStripRects();
}

void IStrikerCanvas::ComputeStripRects()
{
    const GridLayout& layout = *mpLayout;
    if (!mStripRects[Wall_N][0].Empty()) {
        mStaleFrame = mStaleFrame.Union(ControlRect(mStripRects[Wall_W][0].mLeft, mStripRects[Wall_N][0].mTop,
                                                    mStripRects[Wall_E][0].mRight,
                                                    mStripRects[Wall_S][0].mBottom));
    }
    int length = layout.mStripLength;
    int thickness = layout.mStripThickness;
    for (int k = 0; k < WALL_POSITIONS; ++k) {
        int across = layout.mColumnPitch * k;
        int down = layout.mRowPitch * k;
        mStripRects[Wall_N][k] = ControlRect(layout.mNorthLeft + across, layout.mNorthTop,
                                             layout.mNorthLeft + across + length, layout.mNorthTop + thickness);
        mStripRects[Wall_S][k] = ControlRect(layout.mSouthLeft + across, layout.mSouthTop,
                                             layout.mSouthLeft + across + length, layout.mSouthTop + thickness);
        mStripRects[Wall_E][k] = ControlRect(layout.mEastLeft, layout.mEastTop + down,
                                             layout.mEastLeft + thickness, layout.mEastTop + down + length);
        mStripRects[Wall_W][k] = ControlRect(layout.mWestLeft, layout.mWestTop + down,
                                             layout.mWestLeft + thickness, layout.mWestTop + down + length);
    }
}

void IStrikerCanvas::SetMarks(int wall, const int marks[WALL_POSITIONS])
{
    if (wall < 0 || wall >= Wall_NumWalls) return;
    for (int position = 0; position < WALL_POSITIONS; ++position) mMarks[wall][position] = marks[position];
}

void IStrikerCanvas::SetWallEntries(int wall, int rotation, int reverse, const int entryIndices[WALL_POSITIONS])
{
    if (wall < 0 || wall >= Wall_NumWalls) return;
    mRotations[wall] = rotation;
    mReverse[wall] = reverse;
    for (int position = 0; position < WALL_POSITIONS; ++position) {
        mEntryIndices[wall][position] = entryIndices[position];
    }
}

ControlRect IStrikerCanvas::UpdateRect() const
{
    // A shrinking window leaves strips behind: where they were is redrawn
    // once too.
    return mpLayout->GridBounds().Union(mStaleFrame);
}

void IStrikerCanvas::MarkDrawn()
{
    IControl::MarkDrawn();
    if (!NeedsDraw()) mStaleFrame = ControlRect();
}

bool IStrikerCanvas::Draw(IGraphicsLice* pGraphics)
{
    bool ok = true;
    auto fill = [&](int wall, int position) {
        const Color& colour = mpColours->Colour(mMarks[wall][position], mEntryIndices[wall][position]);
        ok = pGraphics->FillArea(colour, mStripRects[wall][position], &mBlend) && ok;
    };
    int columns = mpLayout->mColumnCount < WALL_POSITIONS ? mpLayout->mColumnCount : WALL_POSITIONS;
    int rows = mpLayout->mRowCount < WALL_POSITIONS ? mpLayout->mRowCount : WALL_POSITIONS;
    for (int i = 0; i < columns; ++i) {
        fill(Wall_N, i);
        fill(Wall_S, i);
    }
    for (int i = 0; i < rows; ++i) {
        fill(Wall_E, i);
        fill(Wall_W, i);
    }
    return ok;
}
