#include "StepSimulation.h"

#include <cassert>

#include "Obstacle.h"

namespace {

// New heading by old heading (N, E, S, W, NE, SE, SW, NW) for the mirrors.
const int MIRROR_HOR[EHeading_NumHeadings] = {EHeading_N,  EHeading_W,  EHeading_S,  EHeading_E,
                                              EHeading_NW, EHeading_SW, EHeading_SE, EHeading_NE};
const int MIRROR_VERT[EHeading_NumHeadings] = {EHeading_S,  EHeading_E,  EHeading_N,  EHeading_W,
                                               EHeading_SE, EHeading_NE, EHeading_NW, EHeading_SW};
const int MIRROR_UP[EHeading_NumHeadings] = {EHeading_E,  EHeading_N,  EHeading_W,  EHeading_S,
                                             EHeading_NE, EHeading_NW, EHeading_SW, EHeading_SE};
const int MIRROR_DOWN[EHeading_NumHeadings] = {EHeading_W,  EHeading_S,  EHeading_E,  EHeading_N,
                                               EHeading_SW, EHeading_SE, EHeading_NE, EHeading_NW};
const int PILLAR[EHeading_NumHeadings] = {EHeading_S,  EHeading_W,  EHeading_N,  EHeading_E,
                                          EHeading_SW, EHeading_NW, EHeading_NE, EHeading_SE};

bool HeadsNorth(int h) { return h == EHeading_N || h == EHeading_NE || h == EHeading_NW; }
bool HeadsSouth(int h) { return h == EHeading_S || h == EHeading_SE || h == EHeading_SW; }
bool HeadsEast(int h) { return h == EHeading_E || h == EHeading_NE || h == EHeading_SE; }
bool HeadsWest(int h) { return h == EHeading_W || h == EHeading_NW || h == EHeading_SW; }

int Flip(int bit) { return bit != 0 ? 0 : 1; }

}  // namespace

StepSimulation::StepSimulation(Matrix* pGrid, PseudoRandom* pRandom, const IWallNotes* pWallNotes)
    : mObsProb(1.0), mWrapProb(0.0), mNearProb(0.0), mWobble(0.0), mClimb{0, 0, 0, 0}, mGroupLimit(0),
      mSilentStep(false), mCellDisplay{}, mpGrid(pGrid), mpRandom(pRandom), mpWallNotes(pWallNotes), mRoversInCell{}
{
    assert(pGrid && pRandom && pWallNotes);
}

int StepSimulation::ClampRow(int row) const
{
    if (row < mpGrid->mFirstRow) return mpGrid->mFirstRow;
    if (row > mpGrid->mLastRow) return mpGrid->mLastRow;
    return row;
}

int StepSimulation::ClampCol(int col) const
{
    if (col < mpGrid->mFirstCol) return mpGrid->mFirstCol;
    if (col > mpGrid->mLastCol) return mpGrid->mLastCol;
    return col;
}

int StepSimulation::WrapRow(int row) const { return WrapAround(row, mpGrid->mFirstRow, mpGrid->mNumRows); }

int StepSimulation::WrapCol(int col) const { return WrapAround(col, mpGrid->mFirstCol, mpGrid->mNumCols); }

void StepSimulation::ClearStep()
{
    for (StrikeRecord& record : mStrikes) record.ClearStep();
    mDirtyCells.Clear();
}

void StepSimulation::AdvanceRovers()
{
    RoverList& rovers = mpGrid->mRovers;
    if (rovers.mCount == 0) return;
    int chosen = -1;
    if (Draw() <= mWobble) chosen = mpRandom->Choice(rovers.mCount);
    for (int i = 0; i < rovers.mCount; ++i) {
        if (i == chosen) WobbleRover(rovers.mRovers[i]);
        MoveRover(rovers.mRovers[i]);
    }
}

void StepSimulation::WobbleRover(Rover& rover)
{
    rover.mCol = ClampCol(rover.mCol + DrawStep());
    rover.mRow = ClampRow(rover.mRow + DrawStep());
}

void StepSimulation::MoveRover(Rover& rover)
{
    if (rover.mPace == RoverPace_Slow) rover.mResting = Flip(rover.mResting);
    if (rover.mResting != 0) return;

    TouchCell(rover.mCellid);

    const int row = rover.mRow;
    const int col = rover.mCol;
    int h = rover.mHeading;
    assert(h >= 0 && h < EHeading_NumHeadings);
    int r = ClampRow(row + HEADING_ROW_STEP[h]);
    int c = ClampCol(col + HEADING_COL_STEP[h]);

    Obstacle& cell = mpGrid->mCells[CellId(r, c)];
    if (cell.mKind != EObstacle_empty && Draw() <= mObsProb) {
        switch (cell.mKind) {
        case EObstacle_MirHor:
            h = MIRROR_HOR[h];
            break;
        case EObstacle_MirVr:
            h = MIRROR_VERT[h];
            break;
        case EObstacle_MirUp:
            h = MIRROR_UP[h];
            break;
        case EObstacle_MirDn:
            h = MIRROR_DOWN[h];
            break;
        case EObstacle_Pillar:
            h = PILLAR[h];
            break;
        case EObstacle_WgN:
            if (h == EHeading_S) {
                cell.mState = Flip(cell.mState);
                h = cell.mState == 0 ? EHeading_E : EHeading_W;
            } else {
                h = EHeading_N;
            }
            break;
        case EObstacle_WgE:
            if (h == EHeading_W) {
                cell.mState = Flip(cell.mState);
                h = cell.mState == 0 ? EHeading_N : EHeading_S;
            } else {
                h = EHeading_E;
            }
            break;
        case EObstacle_WgS:
            if (h == EHeading_N) {
                cell.mState = Flip(cell.mState);
                h = cell.mState == 0 ? EHeading_E : EHeading_W;
            } else {
                h = EHeading_S;
            }
            break;
        case EObstacle_WgW:
            if (h == EHeading_E) {
                cell.mState = Flip(cell.mState);
                h = cell.mState == 0 ? EHeading_N : EHeading_S;
            } else {
                h = EHeading_W;
            }
            break;
        case EObstacle_Bounce:
            c = ClampCol(c + DrawStep());
            r = ClampRow(r + DrawStep());
            h = mpRandom->RoundedChoice(7);
            break;
        case EObstacle_Wormh:
            // Over the full board whatever the window: a rover landing outside
            // it is brought back to the edge by its next move.
            r = mpRandom->RoundedChoice(MAX_ROWS - 1);
            c = mpRandom->RoundedChoice(MAX_COLS - 1);
            h = mpRandom->RoundedChoice(7);
            break;
        case EObstacle_Spin:
            h = mpRandom->RoundedChoice(7);
            break;
        case EObstacle_Pause:
            cell.mState = Flip(cell.mState);
            if (cell.mState == 0) {
                r = row;
                c = col;
            }
            break;
        case EObstacle_MirUpT:
            h = MIRROR_UP[h];
            cell.mKind = EObstacle_MirDnT;
            break;
        case EObstacle_MirDnT:
            h = MIRROR_DOWN[h];
            cell.mKind = EObstacle_MirUpT;
            break;
        case EObstacle_MirHT:
            h = MIRROR_HOR[h];
            cell.mKind = EObstacle_MirVT;
            break;
        case EObstacle_MirVT:
            h = MIRROR_VERT[h];
            cell.mKind = EObstacle_MirHT;
            break;
        case EObstacle_PSlow:
            rover.mPace = RoverPace_Slow;
            break;
        case EObstacle_PNorm:
            rover.mPace = RoverPace_Norm;
            break;
        case EObstacle_PTogl:
            rover.mPace = Flip(rover.mPace);
            break;
        default:
            break;
        }
    }

    const bool bounce = Draw() >= mWrapProb;
    int offset = 0;
    if (Draw() <= mNearProb) offset = Draw() > 0.5 ? 1 : -1;

    const Matrix& grid = *mpGrid;
    if (r == grid.mFirstRow && HeadsNorth(h)) {
        RegisterStrike(Wall_N, WrapCol(c + offset));
        if (bounce)
            h = MIRROR_VERT[h];
        else
            r = grid.mLastRow;
        c = WrapCol(c + mClimb[Wall_N]);
    }
    if (r == grid.mLastRow && HeadsSouth(h)) {
        RegisterStrike(Wall_S, WrapCol(c + offset));
        if (bounce)
            h = MIRROR_VERT[h];
        else
            r = grid.mFirstRow;
        c = WrapCol(c + mClimb[Wall_S]);
    }
    // Positive climbs run north along the side walls, against the row order.
    if (c == grid.mLastCol && HeadsEast(h)) {
        RegisterStrike(Wall_E, WrapRow(r + offset));
        if (bounce)
            h = MIRROR_HOR[h];
        else
            c = grid.mFirstCol;
        r = WrapRow(r - mClimb[Wall_E]);
    }
    if (c == grid.mFirstCol && HeadsWest(h)) {
        RegisterStrike(Wall_W, WrapRow(r + offset));
        if (bounce)
            h = MIRROR_HOR[h];
        else
            c = grid.mLastCol;
        r = WrapRow(r - mClimb[Wall_W]);
    }

    // Last guard: whatever happened above, the rover stays on the board.
    r = ReenterAtOtherEdge(r, MAX_ROWS);
    c = ReenterAtOtherEdge(c, MAX_COLS);

    rover.mRow = r;
    rover.mCol = c;
    rover.mCellid = CellId(r, c);
    rover.mHeading = h;
    TouchCell(rover.mCellid);
}

void StepSimulation::RegisterStrike(int wall, int position)
{
    assert(wall >= 0 && wall < Wall_NumWalls && position >= 0 && position < WALL_POSITIONS);
    int& mark = mStrikes[wall].mMarks[position];
    const bool muted = mark == StrikeMark_Muted;
    if (!mSilentStep) {
        // A muted position still takes its draw, so muting a wall does not
        // change the random decisions that follow.
        const double u = Draw();
        if (muted) return;
        if (u <= mpWallNotes->NoteProbability(mpWallNotes->WallNote(wall, position))) {
            RecordStrike(wall, position);
            return;
        }
    }
    if (!muted) mark = StrikeMark_Silent;
}

void StepSimulation::RecordStrike(int wall, int position)
{
    assert(wall >= 0 && wall < Wall_NumWalls && position >= 0 && position < WALL_POSITIONS);
    StrikeRecord& record = mStrikes[wall];
    if (record.mMarks[position] != StrikeMark_Muted) record.mMarks[position] = StrikeMark_Sounding;
    record.mStruck.Add(position);
}

void StepSimulation::UpdateCellDisplay()
{
    const RoverList& rovers = mpGrid->mRovers;
    for (int cell = 0; cell < MAX_CELLS; ++cell) {
        mRoversInCell[cell] = 0;
        mCellDisplay[cell] = DISPLAY_CODE_EMPTY;
    }
    for (int i = 0; i < rovers.mCount; ++i) {
        assert(rovers.mRovers[i].mCellid >= 0 && rovers.mRovers[i].mCellid < MAX_CELLS);
        ++mRoversInCell[rovers.mRovers[i].mCellid];
    }
    for (int i = 0; i < rovers.mCount; ++i) {
        const Rover& rover = rovers.mRovers[i];
        mCellDisplay[rover.mCellid] =
            mRoversInCell[rover.mCellid] == 1 ? RoverDisplayCode(rover.mHeading, rover.mPace) : DISPLAY_CODE_COLLISION;
    }
}

void StepSimulation::ResolveCollisions()
{
    // The display shows the headings the rovers met with, before they turn.
    UpdateCellDisplay();
    RoverList& rovers = mpGrid->mRovers;
    for (int i = 0; i < rovers.mCount; ++i) {
        Rover& rover = rovers.mRovers[i];
        if (mRoversInCell[rover.mCellid] == 1) {
            rover.mCollisionCount = 0;
            continue;
        }
        rover.mHeading = HEADING_CLOCKWISE[rover.mHeading];
        if (mGroupLimit != 0) {
            ++rover.mCollisionCount;
            if (rover.mCollisionCount > mGroupLimit) {
                // A random heading of the rover's own kind: straight stays
                // straight, diagonal stays diagonal.
                rover.mHeading = (rover.mHeading & 4) | mpRandom->RoundedChoice(3);
                rover.mCollisionCount = 0;
            }
        }
    }
}

void StepSimulation::TouchCell(int cellId) { mDirtyCells.Add(cellId); }

void StepSimulation::TouchAllCells()
{
    for (int cell = 0; cell < MAX_CELLS; ++cell) mDirtyCells.Add(cell);
}

void StepSimulation::SetWallMuted(int wall, bool muted)
{
    assert(wall >= 0 && wall < Wall_NumWalls);
    for (int& mark : mStrikes[wall].mMarks) mark = muted ? StrikeMark_Muted : StrikeMark_None;
}
