// What the screen shows is the grid's truth, also where no step redraws it:
// a deleted rover's cell, a wall muted while the transport stands, a line
// drag on the step canvas that Ctrl let go of.
#include <vector>

#include "EditorTestSupport.h"
#include "IGrooveMakerCanvas.h"

namespace {

const int CELL_LEFT = 207;
const int CELL_TOP = 31;
const int CELL_PITCH = 19;
const int CELL_SIZE = 17;

// The pixels of a cell's picture.
std::vector<uint32_t> CellPixels(EditorHost& host, int row, int col)
{
    std::vector<uint32_t> pixels;
    int left = CELL_LEFT + CELL_PITCH * col, top = CELL_TOP + CELL_PITCH * row;
    for (int y = top; y < top + CELL_SIZE; ++y) {
        for (int x = left; x < left + CELL_SIZE; ++x) pixels.push_back(host.Window().ReadPixel(x, y).Packed());
    }
    return pixels;
}

// The north wall's strip above the first column.
uint32_t NorthStripPixel(EditorHost& host) { return host.Window().ReadPixel(CELL_LEFT + 8, 26).Packed(); }

// Yellow pixels of the step canvas: the line (the bars are orange, grey
// or red).
int LinePixels(EditorHost& host)
{
    int count = 0;
    for (int y = 552; y < 616; ++y) {
        for (int x = 120; x < 600; ++x) {
            Color pixel = host.Window().ReadPixel(x, y);
            count += pixel.mRed > 200 && pixel.mGreen > 200 && pixel.mBlue < 100;
        }
    }
    return count;
}

}  // namespace

namespace {

// Plays until the rovers, all slow, have just rested: the last step did
// not touch their cells.
void PlayUntilTheRoversRest(EditorHost& host)
{
    host.Play();
    int steps = 0;
    while (steps < 2 || host.Plug()->Grid().mRovers.mRovers[0].mResting == 0) {
        int before = host.Plug()->Sequencer().mCurrentStep;
        host.Process(64);
        if (host.Plug()->Sequencer().mCurrentStep != before) ++steps;
        ASSERT_LT(steps, 10);
    }
}

}  // namespace

TEST(EditorDisplayTruth, ADeletedRoversCellIsDrawnEmptyStoppedAndPlaying)
{
    EditorHost host;
    host.Open();
    const std::vector<uint32_t> empty = CellPixels(host, 8, 8);
    // Two slow rovers: the oldest heading east in (2, 2), the newest west
    // in (6, 6).
    host.SetPlain(EParam_FirstCell + 2 * 17 + 2, 10);
    host.SetPlain(EParam_FirstCell + 6 * 17 + 6, 12);
    PlayUntilTheRoversRest(host);
    host.Stop();
    host.Process(64);
    const Rover oldest = host.Plug()->Grid().mRovers.mRovers[0];
    host.Tick();
    ASSERT_NE(CellPixels(host, oldest.mRow, oldest.mCol), empty);
    host.SetParam(EParam_RvDelOld, 1.0);
    host.Tick();
    EXPECT_EQ(CellPixels(host, oldest.mRow, oldest.mCol), empty);

    PlayUntilTheRoversRest(host);
    const Rover newest = host.Plug()->Grid().mRovers.mRovers[0];
    host.Tick();
    ASSERT_NE(CellPixels(host, newest.mRow, newest.mCol), empty);
    host.SetParam(EParam_RvDelNew, 1.0);
    host.Tick();
    EXPECT_EQ(host.Plug()->Grid().mRovers.mCount, 0);
    EXPECT_EQ(CellPixels(host, newest.mRow, newest.mCol), empty);
}

TEST(EditorDisplayTruth, AWallMutedWhileTheTransportStandsShowsInItsStripAtOnce)
{
    EditorHost host;
    host.Open();
    const uint32_t open = NorthStripPixel(host);
    host.SetParam(EParam_MuteN, 1.0);
    host.Tick();
    const uint32_t muted = NorthStripPixel(host);
    EXPECT_NE(muted, open);
    host.SetParam(EParam_MuteN, 0.0);
    host.Tick();
    EXPECT_EQ(NorthStripPixel(host), open);
    // The mute drawn at once is the one a step draws.
    host.SetParam(EParam_MuteN, 1.0);
    host.SetUpStepProbe();
    host.Play();
    host.ProcessBlocks(30, 512);
    host.Tick();
    EXPECT_EQ(NorthStripPixel(host), muted);
}

TEST(EditorDisplayTruth, LettingGoOfCtrlInALineDragTakesTheLineAway)
{
    EditorHost host;
    host.Open();
    host.SetParam(EParam_PnlSeq, 1.0);
    host.Tick();
    const MouseMods ctrl(true, false, false, true, false);
    host.Press(120 + 7, 615, ctrl);
    host.Window().HandleMouseMove(120 + 15 * 8 + 7, 552, ctrl);
    host.Tick();
    EXPECT_GT(LinePixels(host), 0);
    // Ctrl goes up; the pointer moves on where no level changes.
    host.Window().HandleMouseMove(120 + 15 * 8 + 9, 552, Left());
    host.Tick();
    EXPECT_FALSE(host.Gui().StepCanvas()->LineMode());
    EXPECT_EQ(LinePixels(host), 0);
    host.Release(120 + 15 * 8 + 9, 552);
}
