// The two palettes of the grid editor work together: in single-click mode
// choosing from one makes it the palette that clicks paint with and shows
// the other's choice unselected; in modifier mode both stay active (the
// mouse buttons pick which one a click uses). Every choice is handed to
// the processor, which runs the cell commands.
#pragma once

class PaletteGroup;
class Tarvo;

class PaletteLink {
public:
    // pPlug may be null (nothing is handed over then).
    PaletteLink(bool singleClickMode, PaletteGroup* pRovers, PaletteGroup* pObstacles, Tarvo* pPlug);

    // The state a new editor starts in: rovers active with their first
    // entry; in modifier mode the obstacle palette's first entry too.
    void Reset();
    // A palette's box was chosen.
    void Selected(PaletteGroup* pGroup);
    bool SingleClickMode() const { return mSingleClickMode; }

private:
    void HandOver();

    bool mSingleClickMode;
    PaletteGroup* mpRovers;
    PaletteGroup* mpObstacles;
    Tarvo* mpPlug;
};
