#include "CellControl.h"

#include "Obstacle.h"
#include "TarvoParams.h"
#include "framework/gui/IGraphicsLice.h"

namespace {

const int CELL_SIZE = 17;
const int MARKER_OFFSET = 6;
const int MARKER_SIZE = 5;

// Cell edit commands the mouse can give (what they do is the processor's).
enum ECellCommand {
    ECellCommand_Refresh = 0,
    ECellCommand_RoverNorthEast = 5,
    ECellCommand_RoverNorthSlow = 9,
    ECellCommand_RoverNorthEastSlow = 13,
    ECellCommand_RemoveRover = 18,
    ECellCommand_PlaceChosenRover = 19,
    ECellCommand_NextObstacle = 20,
    ECellCommand_ClearObstacle = 22,
    ECellCommand_PlaceChosenObstacle = 23,
    ECellCommand_Paint = 24,
    ECellCommand_ClearCell = 25
};

enum EMouseCode {
    EMouseCode_Left = 1,
    EMouseCode_Right = 2,
    EMouseCode_Ctrl = 4,
    EMouseCode_Shift = 8,
    EMouseCode_Alt = 16
};

}  // namespace

CellControl::CellControl(IParamHost* pPlug, int x, int y, int cellId, bool singleClickMode,
                         const BitmapRef* pRoverPictures, const BitmapRef* pObstaclePictures)
    : IControl(pPlug, ControlRect(x, y, x + CELL_SIZE, y + CELL_SIZE), EParam_FirstCell + cellId), mCellId(cellId),
      mSingleClickMode(singleClickMode), mpRoverPictures(pRoverPictures), mpObstaclePictures(pObstaclePictures),
      mMarkerRect(x + MARKER_OFFSET, y + MARKER_OFFSET, x + MARKER_OFFSET + MARKER_SIZE,
                  y + MARKER_OFFSET + MARKER_SIZE)
{
    // A cell's value is a command, not a setting: no prompt to type it.
    SetNoPrompt(true);
    // A quick second click is one more press: each click turns a rover.
    SetDoubleClickAsPress(true);
}

int CellControl::MouseCode(const MouseMods& mods)
{
    return (mods.mLeft ? EMouseCode_Left : 0) | (mods.mRight ? EMouseCode_Right : 0) |
           (mods.mControl ? EMouseCode_Ctrl : 0) | (mods.mShift ? EMouseCode_Shift : 0) |
           (mods.mAlt ? EMouseCode_Alt : 0);
}

int CellControl::CommandCode(int mouseCode, bool singleClickMode)
{
    if (singleClickMode) return (mouseCode & EMouseCode_Left) ? ECellCommand_Paint : ECellCommand_ClearCell;
    switch (mouseCode) {
    case EMouseCode_Left:
        return ECellCommand_PlaceChosenRover;
    case EMouseCode_Right:
        return ECellCommand_NextObstacle;
    case EMouseCode_Ctrl | EMouseCode_Left:
        return ECellCommand_RoverNorthEast;
    case EMouseCode_Ctrl | EMouseCode_Right:
        return ECellCommand_PlaceChosenObstacle;
    case EMouseCode_Shift | EMouseCode_Left:
        return ECellCommand_RemoveRover;
    case EMouseCode_Shift | EMouseCode_Right:
        return ECellCommand_ClearObstacle;
    case EMouseCode_Alt | EMouseCode_Left:
        return ECellCommand_RoverNorthSlow;
    case EMouseCode_Ctrl | EMouseCode_Alt | EMouseCode_Left:
        return ECellCommand_RoverNorthEastSlow;
    default:
        return ECellCommand_Refresh;
    }
}

void CellControl::MouseDown(int /*x*/, int /*y*/, const MouseMods& mods)
{
    int code = CommandCode(MouseCode(mods), mSingleClickMode);
    // The processor runs the command and shows 0 again on the next tick.
    mValue = static_cast<double>(code) / CELL_CODE_COUNT;
    MarkChanged(true);
}

void CellControl::SetPictures(int roverCode, int obstacleKind)
{
    if (roverCode < 0 || roverCode > DISPLAY_CODE_COLLISION) roverCode = DISPLAY_CODE_EMPTY;
    if (obstacleKind < 0 || obstacleKind >= EObstacle_NumKinds) obstacleKind = EObstacle_empty;
    if (roverCode == mRoverCode && obstacleKind == mObstacleKind) return;
    mRoverCode = roverCode;
    mObstacleKind = obstacleKind;
    MarkChanged(false);
}

bool CellControl::Draw(IGraphicsLice* pGraphics)
{
    bool ok = pGraphics->DrawBitmap(mpRoverPictures[mRoverCode], mRect, 1, &mBlend);
    // An empty cell's marker is fully transparent: nothing to draw.
    if (mObstacleKind == EObstacle_empty) return ok;
    return pGraphics->DrawBitmap(mpObstaclePictures[mObstacleKind], mMarkerRect, 1, &mBlend) && ok;
}
