// The frame around the grid: one strip per wall, a strip cell beside each
// row or column of the grid's window. A strip cell's colour tells which
// scale entry that wall position plays and what the last step did there
// (not struck, sounding, struck but silent, muted).
//
// GUI thread only: the editor hands it the marks and entry indices that
// the processor posted, and the layout when the grid's window changed.
#pragma once

#include "GridLayout.h"
#include "StrikeColourTable.h"
#include "framework/gui/IControl.h"

class IStrikerCanvas : public IControl {
public:
    // Layout and colours belong to the editor and outlive the canvas.
    IStrikerCanvas(IParamHost* pPlug, const ControlRect& rect, const GridLayout* pLayout,
                   const StrikeColourTable* pColours);

    bool Draw(IGraphicsLice* pGraphics) override;
    // The four strips; the rest of the rect stays as it is.
    int UpdateRects(ControlRect* pRects, int maxRects) const override;
    void MarkDrawn() override;
    // The canvas takes no input: clicks reach the cells above it.
    void MouseDown(int, int, const MouseMods&) override {}
    void MouseDoubleClick(int, int, const MouseMods&) override {}
    void MouseWheel(int, int, const MouseMods&, int) override {}

    // The strips' rects from the layout's origins.
    void ComputeStripRects();
    // The last step's marks of one wall (StrikeMark values).
    void SetMarks(int wall, const int marks[WALL_POSITIONS]);
    // Which scale entry each position of the wall plays.
    void SetWallEntries(int wall, int rotation, int reverse, const int entryIndices[WALL_POSITIONS]);

    const ControlRect& StripRect(int wall, int position) const { return mStripRects[wall][position]; }
    int Mark(int wall, int position) const { return mMarks[wall][position]; }
    int EntryIndex(int wall, int position) const { return mEntryIndices[wall][position]; }

private:
    const GridLayout* mpLayout;
    const StrikeColourTable* mpColours;
    // Where the strips were before the window last changed, until drawn.
    ControlRect mStaleFrame;
    ControlRect mStripRects[Wall_NumWalls][WALL_POSITIONS];
    int mMarks[Wall_NumWalls][WALL_POSITIONS];
    int mRotations[Wall_NumWalls];
    int mReverse[Wall_NumWalls];
    int mEntryIndices[Wall_NumWalls][WALL_POSITIONS];
};
