// The grid editor: what a press on a cell asks for in either palette mode,
// the palettes as radio sets, the cells and wall strips following the
// simulation, the strips following the grid's window, the strike colours,
// pattern thumbnails, and the step canvas with its marker.
#include "CellControl.h"
#include "EditorTestSupport.h"
#include "IGrooveMakerCanvas.h"
#include "IGrooveMakerStepMarker.h"
#include "IPatternThumbnailControl.h"
#include "IRoverSelectorControl.h"
#include "IStrikerCanvas.h"
#include "PaletteGroup.h"
#include "PaletteLink.h"
#include "StrikeColourTable.h"
#include "framework/raster/RasterBitmap.h"

namespace {

MouseMods Mods(bool left, bool right, bool shift, bool ctrl, bool alt)
{
    return MouseMods(left, right, shift, ctrl, alt);
}

// The middle of the cell control of (row, column).
int CellX(int col) { return 207 + 19 * col + 8; }
int CellY(int row) { return 31 + 19 * row + 8; }

// Palette boxes: obstacles three to a row; rovers in two compass roses.
int ObstacleBoxX(int kind) { return 8 + 24 * (kind % 3) + 10; }
int ObstacleBoxY(int kind) { return 8 + 24 * (kind / 3) + 10; }
int RoverBoxX(int heading)
{
    static const int COLUMN[8] = {1, 2, 1, 0, 2, 2, 0, 0};
    return 96 + 24 * COLUMN[heading] + 10;
}
int RoverBoxY(int heading, int pace)
{
    static const int ROW[8] = {0, 1, 2, 1, 0, 2, 2, 0};
    return 8 + 24 * ROW[heading] + 96 * pace + 10;
}

const Rover* RoverAt(Tarvo* pPlug, int row, int col)
{
    const RoverList& rovers = pPlug->Grid().mRovers;
    for (int i = 0; i < rovers.mCount; ++i) {
        if (rovers.mRovers[i].mCellid == CellId(row, col)) return &rovers.mRovers[i];
    }
    return nullptr;
}

std::vector<double> Selection(const PaletteGroup& group)
{
    std::vector<double> values;
    for (int i = 0; i < group.NControls(); ++i) values.push_back(group.GetControl(i)->Value());
    return values;
}
std::vector<double> Selected(int count, int index)
{
    std::vector<double> values(count, 0.0);
    if (index >= 0) values[index] = 1.0;
    return values;
}

}  // namespace

TEST(GridEditor, PressesBecomeCellCommandsInBothPaletteModes)
{
    struct Case {
        MouseMods mMods;
        int mModifierCommand;
        int mSingleClickCommand;
    } cases[] = {
        {Mods(true, false, false, false, false), 19, 24},  // left: chosen rover / paint
        {Mods(false, true, false, false, false), 20, 25},  // right: next obstacle / clear
        {Mods(true, false, false, true, false), 5, 24},    // Ctrl + left: NE rover
        {Mods(false, true, false, true, false), 23, 25},   // Ctrl + right: chosen obstacle
        {Mods(true, false, true, false, false), 18, 24},   // Shift + left: remove rover
        {Mods(false, true, true, false, false), 22, 25},   // Shift + right: no obstacle
        {Mods(true, false, false, false, true), 9, 24},    // Alt + left: N slow rover
        {Mods(true, false, false, true, true), 13, 24},    // Ctrl + Alt + left: NE slow rover
        {Mods(true, false, true, true, false), 0, 24},     // Ctrl + Shift + left: refresh only
        {Mods(false, true, false, false, true), 0, 25},    // Alt + right: refresh only
    };
    for (const Case& c : cases) {
        int mouseCode = CellControl::MouseCode(c.mMods);
        EXPECT_EQ(CellControl::CommandCode(mouseCode, false), c.mModifierCommand) << "mouse code " << mouseCode;
        EXPECT_EQ(CellControl::CommandCode(mouseCode, true), c.mSingleClickCommand) << "mouse code " << mouseCode;
    }
}

TEST(GridEditor, PalettesAreRadioSetsLinkedByTheMode)
{
    for (bool singleClick : {false, true}) {
        SCOPED_TRACE(singleClick ? "single-click mode" : "modifier mode");
        PaletteGroup rovers, obstacles;
        for (int i = 0; i < 16; ++i)
            rovers.Add(new IRoverSelectorControl(nullptr, 0, 0, BitmapRef(), BitmapRef(), &rovers, i));
        for (int i = 0; i < 21; ++i)
            obstacles.Add(new IRoverSelectorControl(nullptr, 0, 0, BitmapRef(), BitmapRef(), &obstacles, i));
        PaletteLink link(singleClick, &rovers, &obstacles, nullptr);
        link.Reset();
        EXPECT_EQ(Selection(rovers), Selected(16, 0));
        EXPECT_EQ(Selection(obstacles), Selected(21, singleClick ? -1 : 0));

        // Choosing an obstacle: in single-click mode the rovers' choice
        // shows unselected until a rover is chosen again.
        obstacles.GetControl(11)->MouseDown(0, 0, Left());
        EXPECT_EQ(obstacles.mChoice, 11);
        EXPECT_EQ(Selection(obstacles), Selected(21, 11));
        EXPECT_EQ(Selection(rovers), Selected(16, singleClick ? -1 : 0));
        EXPECT_EQ(rovers.mActive, !singleClick);
        EXPECT_TRUE(obstacles.mActive);

        // The chosen box of the active palette stays selected when pressed.
        obstacles.GetControl(11)->MouseDown(0, 0, Left());
        EXPECT_EQ(Selection(obstacles), Selected(21, 11));

        rovers.GetControl(9)->MouseDown(0, 0, Left());
        EXPECT_EQ(rovers.mChoice, 9);
        EXPECT_EQ(Selection(rovers), Selected(16, 9));
        EXPECT_EQ(Selection(obstacles), Selected(21, singleClick ? -1 : 11));
        EXPECT_EQ(obstacles.mActive, !singleClick);
        EXPECT_EQ(obstacles.mChoice, 11);

        for (int i = 0; i < 16; ++i) delete rovers.GetControl(i);
        for (int i = 0; i < 21; ++i) delete obstacles.GetControl(i);
    }
}

// Without a configuration file the cells paint with the active palette.
TEST(GridEditor, SingleClickModePaintsWithTheChosenPaletteEntry)
{
    EditorHost host;
    host.Open();
    Tarvo* pPlug = host.Plug();
    ASSERT_TRUE(pPlug->GetConfiguration().SingleClickPalette());

    host.Click(RoverBoxX(EHeading_E), RoverBoxY(EHeading_E, RoverPace_Slow));
    host.Click(CellX(3), CellY(2));
    const Rover* pRover = RoverAt(pPlug, 2, 3);
    ASSERT_NE(pRover, nullptr);
    EXPECT_EQ(pRover->mHeading, EHeading_E);
    EXPECT_EQ(pRover->mPace, RoverPace_Slow);
    // A left click on a rover replaces it with the chosen one.
    host.Click(RoverBoxX(EHeading_SW), RoverBoxY(EHeading_SW, RoverPace_Norm));
    host.Click(CellX(3), CellY(2));
    ASSERT_NE(RoverAt(pPlug, 2, 3), nullptr);
    EXPECT_EQ(RoverAt(pPlug, 2, 3)->mHeading, EHeading_SW);
    EXPECT_EQ(pPlug->Grid().mRovers.mCount, 1);

    // Choosing an obstacle makes left clicks paint it; the rover stays.
    host.Click(ObstacleBoxX(EObstacle_Wormh), ObstacleBoxY(EObstacle_Wormh));
    host.Click(CellX(3), CellY(2));
    EXPECT_EQ(pPlug->Grid().mCells[CellId(2, 3)].mKind, EObstacle_Wormh);
    EXPECT_NE(RoverAt(pPlug, 2, 3), nullptr);
    // The cell shows both after the next tick, and its value is 0 again.
    host.Tick();
    CellControl* pCell = host.Gui().Cell(CellId(2, 3));
    EXPECT_EQ(pCell->RoverCode(), RoverDisplayCode(EHeading_SW, RoverPace_Norm));
    EXPECT_EQ(pCell->ObstacleKind(), EObstacle_Wormh);
    EXPECT_EQ(pCell->Value(), 0.0);

    // A right click empties the cell of both.
    host.Click(CellX(3), CellY(2), Right());
    EXPECT_EQ(RoverAt(pPlug, 2, 3), nullptr);
    EXPECT_EQ(pPlug->Grid().mCells[CellId(2, 3)].mKind, EObstacle_empty);
    host.Tick();
    EXPECT_EQ(pCell->RoverCode(), DISPLAY_CODE_EMPTY);
    EXPECT_EQ(pCell->ObstacleKind(), EObstacle_empty);
}

TEST(GridEditor, CellsAndWallStripsFollowEveryStep)
{
    EditorHost host;
    host.Open();
    host.SetParam(EParam_PnlSeq, 1.0);  // the step marker shows
    host.SetUpHeavyScene(300.0);
    host.Play();
    Tarvo* pPlug = host.Plug();
    const StepSimulation& simulation = pPlug->Simulation();
    int changedTicks = 0;
    std::vector<int> previous;
    for (int tick = 0; tick < 8; ++tick) {
        host.ProcessBlocks(4, 512);
        host.Tick();
        std::vector<int> shown;
        for (int cellId = 0; cellId < MAX_CELLS; ++cellId) {
            CellControl* pCell = host.Gui().Cell(cellId);
            ASSERT_EQ(pCell->RoverCode(), simulation.mCellDisplay[cellId]) << "cell " << cellId;
            ASSERT_EQ(pCell->ObstacleKind(), pPlug->Grid().mCells[cellId].mKind) << "cell " << cellId;
            shown.push_back(pCell->RoverCode());
        }
        for (int wall = 0; wall < Wall_NumWalls; ++wall) {
            for (int position = 0; position < WALL_POSITIONS; ++position) {
                ASSERT_EQ(host.Gui().StrikerCanvas()->Mark(wall, position), simulation.mStrikes[wall].mMarks[position]);
            }
        }
        EXPECT_EQ(host.Gui().StepMarker()->ShownStep(), pPlug->Sequencer().mCurrentStep);
        if (!previous.empty() && shown != previous) ++changedTicks;
        previous = shown;
    }
    EXPECT_GE(changedTicks, 6);
}

TEST(GridEditor, WallStripsAndCellsFollowTheGridWindow)
{
    EditorHost host;
    host.Open();
    IStrikerCanvas* pCanvas = host.Gui().StrikerCanvas();
    ControlRect eastBefore = pCanvas->StripRect(Wall_E, 0);
    host.SetPlain(EParam_NumColums, 5);
    host.Tick();
    EXPECT_EQ(pCanvas->StripRect(Wall_E, 0).mLeft, eastBefore.mLeft - 76);
    EXPECT_EQ(pCanvas->StripRect(Wall_N, 4), ControlRect(207 + 76, 24, 207 + 76 + 17, 29));
    EXPECT_EQ(pCanvas->StripRect(Wall_S, 0), ControlRect(207, 24 + 7 + 19 * 9, 224, 24 + 7 + 19 * 9 + 5));
    EXPECT_FALSE(host.Gui().Cell(CellId(8, 4))->IsHidden());
    EXPECT_TRUE(host.Gui().Cell(CellId(0, 5))->IsHidden());
    EXPECT_TRUE(host.Gui().Cell(CellId(9, 0))->IsHidden());

    // Five north positions are drawn, the sixth no longer.
    const ControlRect& fifth = pCanvas->StripRect(Wall_N, 4);
    const ControlRect& sixth = pCanvas->StripRect(Wall_N, 5);
    StrikeColourTable colours;
    EXPECT_EQ(host.Window().ReadPixel(fifth.mLeft + 2, fifth.mTop + 2), colours.Colour(StrikeMark_None, 4));
    EXPECT_NE(host.Window().ReadPixel(sixth.mLeft + 2, sixth.mTop + 2), colours.Colour(StrikeMark_None, 5));
}

TEST(GridEditor, StrikeColoursAreTheTruncatedHsvTable)
{
    // Worked out independently in single precision: the ordinary rows step
    // the hue from 36 degrees by 4.9411764, the muted row from 245 by
    // 6.7647057 (entries 9 and up lie in the last sector, 300 to 360).
    StrikeColourTable colours;
    EXPECT_EQ(colours.Colour(StrikeMark_None, 0), Color(255, 127, 102, 63));
    EXPECT_EQ(colours.Colour(StrikeMark_Sounding, 5), Color(255, 201, 204, 20));
    EXPECT_EQ(colours.Colour(StrikeMark_Silent, 16), Color(255, 81, 89, 80));
    EXPECT_EQ(colours.Colour(StrikeMark_Muted, 8), Color(255, 63, 31, 63));
    EXPECT_EQ(colours.Colour(StrikeMark_Muted, 9), Color(255, 63, 31, 60));
    EXPECT_EQ(colours.Colour(StrikeMark_Muted, 16), Color(255, 63, 31, 35));
    EXPECT_EQ(HsvToColor(120.0f, 0.0f, 0.5f), Color(255, 127, 127, 127));
}

TEST(GridEditor, ThumbnailMapsTheGridCellByCell)
{
    Matrix grid;  // 9 x 9 window
    grid.mRovers.Add(CellId(1, 2), EHeading_N, RoverPace_Norm);
    grid.mCells[CellId(3, 4)].mKind = EObstacle_Spin;
    IPatternThumbnailControl thumbnail(nullptr, 0, 0, BitmapRef(nullptr, 68, 68, 1));
    thumbnail.RenderThumbnail(grid);
    const MemoryBitmap& map = thumbnail.Map();
    auto pixel = [&](int x, int y) { return map.Pixels()[y * map.RowSpan() + x]; };
    // 4 x 4 pixels a cell; the top row and left column of each are black.
    EXPECT_EQ(pixel(4 * 2 + 1, 4 * 1 + 1), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(4 * 2 + 3, 4 * 1 + 3), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(4 * 2, 4 * 1 + 2), 0xFF000000u);
    EXPECT_EQ(pixel(4 * 2 + 2, 4 * 1), 0xFF000000u);
    EXPECT_EQ(pixel(4 * 4 + 2, 4 * 3 + 2), 0xFFFF8080u);
    EXPECT_EQ(pixel(4 * 8 + 2, 4 * 8 + 2), 0xFF7F7F7Fu);
    EXPECT_EQ(pixel(4 * 9 + 2, 4 * 0 + 2), 0xFF000000u);
    EXPECT_EQ(pixel(4 * 0 + 2, 4 * 16 + 2), 0xFF000000u);
}

TEST(GridEditor, ASavedPatternShowsInItsThumbnail)
{
    EditorHost host;
    host.Open();
    host.SetParam(EParam_FirstCell + CellId(0, 0), 1.0 / 26);  // a rover at the corner
    IPatternThumbnailControl* pThumbnail = host.Gui().Thumbnail(2);
    ControlRect rect = pThumbnail->GetRect();
    Color empty = host.Window().ReadPixel(rect.mLeft + 2, rect.mTop + 2);
    host.SetParam(EParam_Save1 + 2, 1.0);
    host.Tick();
    EXPECT_EQ(pThumbnail->Value(), 1.0);
    EXPECT_EQ(host.Window().ReadPixel(rect.mLeft + 2, rect.mTop + 2), Color::FromPacked(0xFFFFFFFFu));
    EXPECT_EQ(host.Window().ReadPixel(rect.mLeft + 6, rect.mTop + 2), Color::FromPacked(0xFF7F7F7Fu));
    host.SetParam(EParam_Clear1 + 2, 1.0);
    host.Tick();
    EXPECT_EQ(pThumbnail->Value(), 0.0);
    EXPECT_EQ(host.Window().ReadPixel(rect.mLeft + 2, rect.mTop + 2), empty);
}

TEST(GridEditor, StepCanvasSetsLevelsByPointAndByLine)
{
    EditorHost host;
    host.Open();
    host.SetParam(EParam_PnlSeq, 1.0);
    host.Tick();
    const SequencerState& sequencer = host.Plug()->Sequencer();
    const MouseMods ctrl = Mods(true, false, false, true, false);

    // The top edge is 128, the last row 2.
    host.Click(120 + 15 * 3 + 5, 552);
    EXPECT_EQ(sequencer.mLevels[3], 128);
    host.Click(120 + 15 * 4 + 5, 615);
    EXPECT_EQ(sequencer.mLevels[4], 2);

    // Ctrl held from step 0 near the bottom to step 8 at the top draws a
    // line; the locked step 5 keeps its level.
    host.SetParam(EParam_FirstLock + 5, 1.0);
    host.Press(120 + 7, 615, ctrl);
    host.Window().HandleMouseMove(120 + 15 * 8 + 7, 552, ctrl);
    EXPECT_TRUE(host.Gui().StepCanvas()->LineMode());
    host.Release(120 + 15 * 8 + 7, 552, ctrl);
    EXPECT_FALSE(host.Gui().StepCanvas()->LineMode());
    const int expected[9] = {2, 18, 34, 50, 66, 128, 98, 114, 128};
    for (int step = 0; step < 9; ++step) EXPECT_EQ(sequencer.mLevels[step], expected[step]) << "step " << step;

    // Bars beyond the step count are red, a muted step grey.
    host.SetPlain(EParam_SeqNStep, 8);
    host.SetParam(EParam_FirstMute + 1, 1.0);
    host.Tick();
    EXPECT_EQ(host.Window().ReadPixel(120 + 15 * 1 + 3, 614), Color(255, 127, 127, 127));
    EXPECT_EQ(host.Window().ReadPixel(120 + 15 * 2 + 3, 614), Color(255, 235, 101, 20));
    EXPECT_EQ(host.Window().ReadPixel(120 + 15 * 8 + 3, 614), Color(255, 200, 12, 12));

    // While playing, the marker lights the sequencer's current step only.
    host.SetUpStepProbe();
    host.Play();
    host.ProcessBlocks(7, 512);
    host.Tick();
    int current = host.Plug()->Sequencer().mCurrentStep;
    EXPECT_GT(current, 0);
    int lit = 0;
    for (int step = 0; step < 32; ++step) {
        if (host.Window().ReadPixel(120 + 15 * step + 3, 618) == Color(255, 255, 255, 255)) {
            ++lit;
            EXPECT_EQ(step, current);
        }
    }
    EXPECT_EQ(lit, 1);
}
