// One cell of the grid: shows the cell's rover (or the collision picture)
// with the obstacle's marker in its middle, and turns mouse presses into
// cell edit commands, sent as the value of the cell's parameter.
//
// Two ways of editing, chosen by the configuration's "Palette" item:
// single-click mode paints with whichever palette is active (left button)
// and clears the cell (any other press); modifier mode maps buttons and
// modifier keys to commands (see CommandCode).
#pragma once

#include "GridTypes.h"
#include "framework/gui/IControl.h"

class CellControl : public IControl {
public:
    // Pictures by rover display code (0..17) and obstacle markers by kind
    // (0..20); both lists belong to the editor and outlive the control.
    CellControl(IParamHost* pPlug, int x, int y, int cellId, bool singleClickMode, const BitmapRef* pRoverPictures,
                const BitmapRef* pObstaclePictures);

    bool Draw(IGraphicsLice* pGraphics) override;
    void MouseDown(int x, int y, const MouseMods& mods) override;
    // Cells take commands from presses only.
    void MouseWheel(int, int, const MouseMods&, int) override {}

    // Shows what the cell holds; redrawn on the next tick, nothing is sent.
    void SetPictures(int roverCode, int obstacleKind);
    int CellId() const { return mCellId; }
    int RoverCode() const { return mRoverCode; }
    int ObstacleKind() const { return mObstacleKind; }
    const ControlRect& MarkerRect() const { return mMarkerRect; }

    // 1 left button, +2 right button, +4 Ctrl, +8 Shift, +16 Alt.
    static int MouseCode(const MouseMods& mods);
    // The cell edit command of a mouse code; 0 (refresh only) for presses
    // that mean nothing.
    static int CommandCode(int mouseCode, bool singleClickMode);

private:
    int mCellId;
    bool mSingleClickMode;
    const BitmapRef* mpRoverPictures;
    const BitmapRef* mpObstaclePictures;
    int mRoverCode = DISPLAY_CODE_EMPTY;
    int mObstacleKind = 0;
    ControlRect mMarkerRect;
};
