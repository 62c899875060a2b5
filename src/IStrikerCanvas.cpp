#include "IStrikerCanvas.h"

#include "framework/gui/IGraphicsLice.h"

IStrikerCanvas::IStrikerCanvas(IParamHost* pPlug, const ControlRect& rect, const GridLayout* pLayout,
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
                                                    mStripRects[Wall_E][0].mRight, mStripRects[Wall_S][0].mBottom));
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
        mStripRects[Wall_E][k] = ControlRect(layout.mEastLeft, layout.mEastTop + down, layout.mEastLeft + thickness,
                                             layout.mEastTop + down + length);
        mStripRects[Wall_W][k] = ControlRect(layout.mWestLeft, layout.mWestTop + down, layout.mWestLeft + thickness,
                                             layout.mWestTop + down + length);
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

int IStrikerCanvas::UpdateRects(ControlRect* pRects, int maxRects) const
{
    int columns = mpLayout->mColumnCount < WALL_POSITIONS ? mpLayout->mColumnCount : WALL_POSITIONS;
    int rows = mpLayout->mRowCount < WALL_POSITIONS ? mpLayout->mRowCount : WALL_POSITIONS;
    bool stale = !mStaleFrame.Empty();
    if (stale || maxRects < Wall_NumWalls || columns < 1 || rows < 1) {
        if (maxRects < 1) return 0;
        // A changed window leaves strips behind: where they were is
        // redrawn once too.
        pRects[0] = mpLayout->GridBounds().Union(mStaleFrame);
        return 1;
    }
    pRects[0] = mStripRects[Wall_N][0].Union(mStripRects[Wall_N][columns - 1]);
    pRects[1] = mStripRects[Wall_S][0].Union(mStripRects[Wall_S][columns - 1]);
    pRects[2] = mStripRects[Wall_E][0].Union(mStripRects[Wall_E][rows - 1]);
    pRects[3] = mStripRects[Wall_W][0].Union(mStripRects[Wall_W][rows - 1]);
    return Wall_NumWalls;
}

void IStrikerCanvas::MarkDrawn()
{
    IControl::MarkDrawn();
    if (!NeedsDraw()) mStaleFrame = ControlRect();
}

bool IStrikerCanvas::Draw(IGraphicsLice* pGraphics)
{
    bool ok = true;
    // Only the strips in the region being redrawn.
    const ControlRect& area = pGraphics->DrawRect();
    auto fill = [&](int wall, int position) {
        if (!area.Empty() && !mStripRects[wall][position].Intersects(area)) return;
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
