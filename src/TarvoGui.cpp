#include "TarvoGui.h"

#include <cassert>
#include <cstdio>
#include <cstring>
#include <memory>

#include "CellControl.h"
#include "IGrooveMakerCanvas.h"
#include "IGrooveMakerStepMarker.h"
#include "ILockSwitchControl.h"
#include "IMessageLine.h"
#include "IObstacleSelectorControl.h"
#include "IPatternThumbnailControl.h"
#include "IRoverSelectorControl.h"
#include "IStrikerCanvas.h"
#include "SceneLoader.h"
#include "SceneMessages.h"
#include "SceneSaver.h"
#include "Tarvo.h"
#include "framework/gui/IContactControl.h"
#include "framework/gui/IFileSelectorControl.h"
#include "framework/gui/IGraphicsWindow.h"
#include "framework/gui/IKnobMultiControl.h"
#include "framework/gui/IRadioGroupControl.h"
#include "framework/gui/ISliderControl.h"
#include "framework/gui/ISwitchControl.h"
#include "framework/gui/ITextControl.h"
#include "framework/gui/IValueTextControl.h"
#include "framework/gui/ValueReadOut.h"
#include "resources/PngResource.h"

namespace {

const char* const VERSION_TEXT = "Version 0.8";
const char* const DEFAULT_SCALE_NAME = "default";

TextStyle WhiteText(int alignment)
{
    return TextStyle("Arial", 14, Color(255, 255, 255, 255), FontStyle_Normal, alignment, 0);
}

// The knobs: a film strip of as many frames as the parameter has useful
// positions, and a read-out to the right of each.
struct KnobPlace {
    int mParamIdx;
    int mX;
    int mY;
    int mFrames;
};
const KnobPlace KNOBS[] = {
    {EParam_NoteProb, 634, 10, 101},    {EParam_Tilt, 634, 50, 101},      {EParam_ObsProb, 634, 91, 101},
    {EParam_GrpLim, 634, 130, 101},     {EParam_Wobble, 546, 114, 101},   {EParam_RepeatProb, 634, 170, 101},
    {EParam_RptLen, 634, 210, 101},     {EParam_TimeUnits, 634, 266, 16}, {EParam_Slow, 634, 306, 101},
    {EParam_LengthUnits, 634, 346, 16}, {EParam_Velocity, 634, 426, 128}, {EParam_VelJitt, 634, 466, 128},
    {EParam_Channel, 546, 250, 16},     {EParam_NumRows, 79, 356, 17},    {EParam_NumColums, 90, 402, 17},
    {EParam_Swing, 546, 290, 101},      {EParam_DurJitt, 634, 386, 101},  {EParam_Human, 546, 330, 101},
    {EParam_WrapProb, 546, 34, 101},    {EParam_NearProb, 546, 74, 101},  {EParam_Simple, 546, 370, 101},
    {EParam_SeqNStep, 82, 490, 128},
};

int KnobImageForFrames(int frames)
{
    switch (frames) {
    case 16:
        return IMG_KNOB16;
    case 17:
        return IMG_KNOB17;
    case 101:
        return IMG_KNOB101;
    case 128:
        return IMG_KNOB128;
    default:
        break;
    }
    assert(!"a knob strip of 16, 17, 101 or 128 frames");
    return IMG_KNOB101;
}

struct ContactPlace {
    int mParamIdx;
    int mX;
    int mY;
    int mImageId;
};
const ContactPlace GRID_TRANSFORM_CONTACTS[] = {
    {EParam_MFlipH, 124, 228, IMG_FLIP_HORIZONTAL}, {EParam_MFlipV, 144, 228, IMG_FLIP_VERTICAL},
    {EParam_MShiftU, 124, 248, IMG_SHIFT_UP},       {EParam_MShiftD, 144, 248, IMG_SHIFT_DOWN},
    {EParam_MShiftL, 124, 268, IMG_SHIFT_LEFT},     {EParam_MShiftR, 144, 268, IMG_SHIFT_RIGHT},
    {EParam_MRotL, 124, 288, IMG_ROTATE_LEFT},      {EParam_MRotR, 144, 288, IMG_ROTATE_RIGHT},
    {EParam_MStagrD, 124, 308, IMG_STAGGER_DOWN},   {EParam_MStagrU, 144, 308, IMG_STAGGER_UP},
};
const ContactPlace ROVER_COMMAND_CONTACTS[] = {
    {EParam_ClrRov, 18, 275, IMG_RADIO_YELLOW},   {EParam_ClrObs, 18, 291, IMG_RADIO_YELLOW},
    {EParam_ClrAll, 18, 307, IMG_RADIO_YELLOW},   {EParam_RvDelOld, 18, 259, IMG_RADIO_YELLOW},
    {EParam_RvDelNew, 18, 243, IMG_RADIO_YELLOW}, {EParam_NudgeNew, 18, 354, IMG_RADIO_YELLOW},
    {EParam_NudgeOld, 18, 402, IMG_RADIO_YELLOW}, {EParam_DragNew, 18, 370, IMG_RADIO_YELLOW},
    {EParam_DragOld, 18, 418, IMG_RADIO_YELLOW},
};

// The climb sliders frame the grid, each with its read-out.
struct ClimbPlace {
    int mParamIdx;
    int mX;
    int mY;
    int mDirection;
    int mHandleId;
    ControlRect mReadOut;
};
const int CLIMB_LENGTH = 76;
const ClimbPlace CLIMB_SLIDERS[] = {
    {EParam_ClimbN + Wall_N, 331, 6, DragDirection_Horizontal, IMG_HANDLE_CLIMB_NORTH, ControlRect(411, 6, 441, 26)},
    {EParam_ClimbN + Wall_E, 541, 155, DragDirection_Vertical, IMG_HANDLE_CLIMB_EAST, ControlRect(541, 235, 571, 255)},
    {EParam_ClimbN + Wall_S, 331, 366, DragDirection_Horizontal, IMG_HANDLE_CLIMB_SOUTH,
     ControlRect(411, 362, 441, 382)},
    {EParam_ClimbN + Wall_W, 182, 155, DragDirection_Vertical, IMG_HANDLE_CLIMB_WEST, ControlRect(172, 235, 202, 255)},
};

// The palettes sit left of the grid transforms: obstacles three to a row,
// rovers as two compass roses (normal pace above, slow below).
const int OBSTACLE_PALETTE_X = 8;
const int OBSTACLE_PALETTE_Y = 8;
const int PALETTE_PITCH = 24;
const int OBSTACLES_PER_ROW = 3;
const int ROVER_PALETTE_X = 96;
const int ROVER_PALETTE_Y = 8;
const int SLOW_ROSE_OFFSET = 96;
// Box of each heading in a rose, in EHeading order (N, E, S, W, NE, SE,
// SW, NW), in pitches from the rose's corner.
const int ROSE_COLUMN[EHeading_NumHeadings] = {1, 2, 1, 0, 2, 2, 0, 0};
const int ROSE_ROW[EHeading_NumHeadings] = {0, 1, 2, 1, 0, 2, 2, 0};

// Scene files: the buttons' images sit left of their labels (drawn in
// the background), and a click on the label counts as well.
const ControlRect LOAD_SCENE_RECT(640, 538, 654, 552);
const ControlRect LOAD_SCENE_TARGET(640, 537, 716, 553);
const ControlRect SAVE_SCENE_RECT(640, 556, 654, 570);
const ControlRect SAVE_SCENE_TARGET(640, 555, 716, 571);
const char* const SCENE_EXTENSIONS = "fxp";
// Two lines between the wall mutes and "Load scale".
const ControlRect MESSAGE_LINE_RECT(324, 502, 478, 540);

const ControlRect STRIKER_CANVAS_RECT(GridLayout::LEFT, GridLayout::TOP, 535, 535);
const ControlRect STEP_CANVAS_RECT(120, 552, 600, 616);
const ControlRect STEP_MARKER_RECT(120, 618, 600, 620);

uint32_t PackWindow(int firstRow, int lastRow, int firstCol, int lastCol)
{
    auto byte = [](int value) { return static_cast<uint32_t>(ClampToBoard(value)); };
    return byte(firstRow) | byte(lastRow) << 8 | byte(firstCol) << 16 | byte(lastCol) << 24;
}

}  // namespace

TarvoGui::TarvoGui(Tarvo* pPlug)
    : mpPlug(pPlug), mpGraphics(new IGraphicsWindow(pPlug, EDITOR_WIDTH, EDITOR_HEIGHT, FRAME_RATE)),
      mPaletteLink(pPlug->GetConfiguration().SingleClickPalette(), &mRoverPalette, &mObstaclePalette, pPlug),
      mGridWindow(PackWindow(0, 8, 0, 8))
{
    mpGraphics->SetPngResourceLookup(FindPngResource);
    mPendingScaleName[0] = '\0';
    for (auto& picture : mCellPictures) picture.store(0, std::memory_order_relaxed);
    for (int wall = 0; wall < Wall_NumWalls; ++wall) {
        mWallRotations[wall].store(0, std::memory_order_relaxed);
        mWallReverse[wall].store(0, std::memory_order_relaxed);
        for (int position = 0; position < WALL_POSITIONS; ++position) {
            mWallMarks[wall][position].store(0, std::memory_order_relaxed);
            mWallEntries[wall][position].store(static_cast<uint8_t>(position), std::memory_order_relaxed);
        }
    }
    for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) {
        mSlotOccupied[slot].store(false, std::memory_order_relaxed);
        for (auto& cell : mSlotCells[slot])
            cell.store(IPatternThumbnailControl::ECell_Outside, std::memory_order_relaxed);
    }

    AddBackground();
    LoadCellImages();
    AddStrikerCanvas();
    AddCells();
    AddWallScaleSelectors();
    AddScaleSlotRows();
    AddWallMuteSwitches();
    AddClimbSliders();
    AddKnobs();
    AddEnabledSwitch();
    AddGridTransformContacts();
    AddPatternPanel();
    AddTimeSwitches();
    AddRoverCommandContacts();
    AddScaleFileControls();
    AddSceneFileControls();
    AddPalettes();
    AddSequencerPanel();
    AddPanelSwitches();
    AddStepSwitches();
    AddVersionLabel();
    AddTimelineLockSwitch();

    mPatternPanel.Hide(false);
    mSequencerPanel.Hide(true);
    mpGraphics->SetTickHandler(this);
}

TarvoGui* TarvoGui::Attach(Tarvo* pPlug)
{
    std::unique_ptr<TarvoGui> pGui(new TarvoGui(pPlug));
    TarvoGui* pEditor = pGui.get();
    pPlug->AttachEditor(pEditor->Surface());
    pPlug->AttachView(std::move(pGui));
    return pEditor;
}

TarvoGui::~TarvoGui()
{
    // The processor's base deletes the surface after this object. Closing the
    // window first ends its GUI thread, which would otherwise still tick
    // into this object (and closing is the one time a host thread may wait
    // for the surface lock while holding the plug-in lock).
    mpGraphics->CloseWindow();
    ScopedLock plug(mpPlug->Lock());
    ScopedLock surface(mpGraphics->SurfaceLock());
    mpGraphics->SetTickHandler(nullptr);
    mpFileSelector->SetFileChosenHandler(nullptr);
    mpLoadScene->SetFileChosenHandler(nullptr);
    mpSaveScene->SetFileChosenHandler(nullptr);
}

// ---- Building blocks -----------------------------------------------------

BitmapRef TarvoGui::Image(int resourceId)
{
    const ImageInfo* pInfo = FindImageInfo(resourceId);
    assert(pInfo);
    if (!pInfo) return BitmapRef();
    return mpGraphics->LoadImage(resourceId, pInfo->name, pInfo->frames);
}

IControl* TarvoGui::AddContact(int paramIdx, int x, int y, int imageId)
{
    IContactControl* pContact = new IContactControl(mpPlug, x, y, paramIdx, Image(imageId));
    pContact->SetDoubleClickAsPress(true);
    mpGraphics->AddControl(pContact);
    return pContact;
}

IControl* TarvoGui::AddSwitch(int paramIdx, int x, int y, int imageId)
{
    ISwitchControl* pSwitch = new ISwitchControl(mpPlug, x, y, paramIdx, Image(imageId));
    mpGraphics->AddControl(pSwitch);
    return pSwitch;
}

IKnobMultiControl* TarvoGui::AddKnob(int paramIdx, int x, int y, int frames)
{
    IKnobMultiControl* pKnob = new IKnobMultiControl(mpPlug, x, y, paramIdx, Image(KnobImageForFrames(frames)),
                                                     DragDirection_Vertical, IKnobControl::DEFAULT_GEARING);
    mpGraphics->AddControl(pKnob);
    // The read-out adds its text control after the knob and belongs to the
    // surface from then on.
    ControlRect rect(x + 40, y + 17, x + 70, y + 29);
    TextStyle style = WhiteText(TextAlign_Left);
    switch (mpPlug->GetParam(paramIdx)->Kind()) {
    case ParamKind_Bool:
        new ValueReadOutBool(mpPlug, mpGraphics, rect, style, pKnob);
        break;
    case ParamKind_Int:
        new ValueReadOutInt(mpPlug, mpGraphics, rect, style, pKnob);
        break;
    case ParamKind_Enum:
        new ValueReadOutEnum(mpPlug, mpGraphics, rect, style, pKnob);
        break;
    default:
        new ValueReadOut(mpPlug, mpGraphics, rect, style, pKnob);
        break;
    }
    return pKnob;
}

ITextControl* TarvoGui::AddLabel(const ControlRect& rect, int alignment, const char* text)
{
    ITextControl* pText = new ITextControl(mpPlug, rect, WhiteText(alignment), text);
    mpGraphics->AddControl(pText);
    return pText;
}

// ---- The layout ------------------------------------------------------------

void TarvoGui::AddBackground()
{
    const ImageInfo* pInfo = FindImageInfo(IMG_BACKGROUND);
    assert(pInfo);
    mpGraphics->AddBackground(IMG_BACKGROUND, pInfo ? pInfo->name : "");
}

void TarvoGui::LoadCellImages()
{
    for (int code = 0; code < NUM_CELL_IMAGES; ++code) mCellImages[code] = Image(IMG_FIRST_CELL + code);
    for (int kind = 0; kind < NUM_MARK_IMAGES; ++kind) mMarkImages[kind] = Image(IMG_FIRST_MARK + kind);
}

void TarvoGui::AddStrikerCanvas()
{
    mpStrikerCanvas = new IStrikerCanvas(mpPlug, STRIKER_CANVAS_RECT, &mLayout, &mStrikeColours);
    mpGraphics->AddControl(mpStrikerCanvas);
}

void TarvoGui::AddCells()
{
    bool singleClick = mpPlug->GetConfiguration().SingleClickPalette();
    for (int row = 0; row < MAX_ROWS; ++row) {
        for (int col = 0; col < MAX_COLS; ++col) {
            ControlRect rect = mLayout.CellRect(row, col);
            CellControl* pCell =
                new CellControl(mpPlug, rect.mLeft, rect.mTop, CellId(row, col), singleClick, mCellImages, mMarkImages);
            mpCells[CellId(row, col)] = pCell;
            mpGraphics->AddControl(pCell);
        }
    }
}

void TarvoGui::AddWallScaleSelectors()
{
    static const int IMAGES[Wall_NumWalls] = {IMG_RADIO_NORTH, IMG_RADIO_EAST, IMG_RADIO_SOUTH, IMG_RADIO_WEST};
    for (int wall = 0; wall < Wall_NumWalls; ++wall) {
        int left = 198 + 24 * wall;
        mpGraphics->AddControl(new IRadioGroupControl(mpPlug, ControlRect(left, 408, left + 20, 496),
                                                      EParam_ScaleN + wall, NUM_SCALE_SLOTS, Image(IMAGES[wall]),
                                                      DragDirection_Vertical));
    }
}

void TarvoGui::AddScaleSlotRows()
{
    for (int slot = 0; slot < NUM_SCALE_SLOTS; ++slot) {
        int y = 414 + 24 * slot;
        mpGraphics->AddControl(new IValueTextControl(mpPlug, ControlRect(298, y - 6, 322, y + 19),
                                                     EParam_Transp1 + slot, WhiteText(TextAlign_Left), nullptr, true,
                                                     true, DragDirection_Vertical, IValueTextControl::DEFAULT_GEARING));
        AddContact(EParam_Trans1up + slot, 323, y - 10, IMG_CONTACT_UP);
        AddContact(EParam_Trans1dn + slot, 323, y, IMG_CONTACT_DOWN);
        ISliderControl* pRotate = new ISliderControl(mpPlug, 350, y - 8, 99, EParam_Rotate1 + slot,
                                                     Image(IMG_HANDLE_ROTATE), DragDirection_Horizontal);
        mpGraphics->AddControl(pRotate);
        new ValueReadOutInt(mpPlug, mpGraphics, ControlRect(449, y - 6, 461, y + 14), WhiteText(TextAlign_Right),
                            pRotate);
        mpGraphics->AddControl(new IValueTextControl(mpPlug, ControlRect(477, y - 6, 522, y + 19),
                                                     EParam_Mutate1 + slot, WhiteText(TextAlign_Left), nullptr, true,
                                                     true, DragDirection_Vertical, IValueTextControl::DEFAULT_GEARING));
    }
}

void TarvoGui::AddWallMuteSwitches()
{
    for (int wall = 0; wall < Wall_NumWalls; ++wall) {
        AddSwitch(EParam_MuteN + wall, 198 + 24 * wall, 506, IMG_RADIO_RED);
    }
}

void TarvoGui::AddClimbSliders()
{
    for (const ClimbPlace& place : CLIMB_SLIDERS) {
        ISliderControl* pSlider = new ISliderControl(mpPlug, place.mX, place.mY, CLIMB_LENGTH, place.mParamIdx,
                                                     Image(place.mHandleId), place.mDirection);
        mpGraphics->AddControl(pSlider);
        new ValueReadOutInt(mpPlug, mpGraphics, place.mReadOut, WhiteText(TextAlign_Centre), pSlider);
    }
}

void TarvoGui::AddKnobs()
{
    for (const KnobPlace& place : KNOBS) {
        IKnobMultiControl* pKnob = AddKnob(place.mParamIdx, place.mX, place.mY, place.mFrames);
        if (place.mParamIdx == EParam_NumRows) mpRowsKnob = pKnob;
        if (place.mParamIdx == EParam_NumColums) mpColumnsKnob = pKnob;
    }
}

void TarvoGui::AddEnabledSwitch() { AddSwitch(EParam_Enabled, 148, 332, IMG_STOP_GO); }

void TarvoGui::AddGridTransformContacts()
{
    for (const ContactPlace& place : GRID_TRANSFORM_CONTACTS) {
        AddContact(place.mParamIdx, place.mX, place.mY, place.mImageId);
    }
}

void TarvoGui::AddPatternPanel()
{
    for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) {
        int x = 78 + 72 * slot;
        mpThumbnails[slot] = new IPatternThumbnailControl(mpPlug, x - 46, 552, Image(IMG_EMPTY_PATTERN));
        mpGraphics->AddControl(mpThumbnails[slot]);
        mPatternPanel.Add(mpThumbnails[slot]);
        mPatternPanel.Add(AddContact(EParam_Save1 + slot, x - 40, 625, IMG_PATTERN_SAVE));
        mPatternPanel.Add(AddContact(EParam_Restore1 + slot, x, 625, IMG_PATTERN_RESTORE));
        mPatternPanel.Add(AddContact(EParam_Clear1 + slot, x - 20, 625, IMG_PATTERN_CLEAR));
    }
    // Part of the image catalogue, though no control of this layout shows
    // them.
    Image(IMG_RESTORE_BUTTON);
    Image(IMG_PASTE_BUTTON);
}

void TarvoGui::AddTimeSwitches()
{
    AddSwitch(EParam_TimeDbl, 665, 246, IMG_TIMES_TWO);
    AddSwitch(EParam_TimeHlf, 689, 246, IMG_TIMES_HALF);
}

void TarvoGui::AddRoverCommandContacts()
{
    for (const ContactPlace& place : ROVER_COMMAND_CONTACTS) {
        AddContact(place.mParamIdx, place.mX, place.mY, place.mImageId);
    }
}

void TarvoGui::AddScaleFileControls()
{
    mpFileSelector = new IFileSelectorControl(mpPlug, ControlRect(537, 511, 549, 524), EParam_FileSelect,
                                              Image(IMG_RADIO_YELLOW), mpPlug->Folders().ScaleFolder().c_str());
    mpFileSelector->SetFileChosenHandler(this);
    mpGraphics->AddControl(mpFileSelector);
    mpScaleName = AddLabel(ControlRect(554, 511, 754, 531), TextAlign_Left, DEFAULT_SCALE_NAME);
}

void TarvoGui::AddSceneFileControls()
{
    mpMessageLine = new IMessageLine(mpPlug, MESSAGE_LINE_RECT);
    mpGraphics->AddControl(mpMessageLine);
    mpSceneLoader.reset(new SceneLoader(mpPlug, mpMessageLine));
    mpSceneSaver.reset(new SceneSaver(mpPlug, mpMessageLine));
    const FileFolders& folders = mpPlug->Folders();
    mpLoadScene =
        new IFileSelectorControl(mpPlug, LOAD_SCENE_RECT, -1, Image(IMG_RADIO_YELLOW), folders.SceneFolder().c_str(),
                                 IFileSelectorControl::ACTION_OPEN, SCENE_EXTENSIONS);
    mpLoadScene->SetTargetRect(LOAD_SCENE_TARGET);
    mpLoadScene->SetFileChosenHandler(mpSceneLoader.get());
    mpGraphics->AddControl(mpLoadScene);
    mpSaveScene = new IFileSelectorControl(mpPlug, SAVE_SCENE_RECT, -1, Image(IMG_RADIO_YELLOW),
                                           folders.UserSceneFolder().c_str(), IFileSelectorControl::ACTION_SAVE,
                                           SCENE_EXTENSIONS);
    mpSaveScene->SetTargetRect(SAVE_SCENE_TARGET);
    mpSaveScene->SetFileChosenHandler(mpSceneSaver.get());
    mpGraphics->AddControl(mpSaveScene);
}

void TarvoGui::AddPalettes()
{
    BitmapRef box = Image(IMG_PALETTE_BOX);
    for (int kind = 0; kind < NUM_MARK_IMAGES; ++kind) {
        int x = OBSTACLE_PALETTE_X + PALETTE_PITCH * (kind % OBSTACLES_PER_ROW);
        int y = OBSTACLE_PALETTE_Y + PALETTE_PITCH * (kind / OBSTACLES_PER_ROW);
        IControl* pBox = new IObstacleSelectorControl(mpPlug, x, y, box, mCellImages[DISPLAY_CODE_EMPTY],
                                                      mMarkImages[kind], &mObstaclePalette, kind);
        mpGraphics->AddControl(pBox);
        mObstaclePalette.Add(pBox);
    }
    for (int index = 0; index < 2 * EHeading_NumHeadings; ++index) {
        int heading = index % EHeading_NumHeadings;
        int pace = index / EHeading_NumHeadings;
        int x = ROVER_PALETTE_X + PALETTE_PITCH * ROSE_COLUMN[heading];
        int y = ROVER_PALETTE_Y + PALETTE_PITCH * ROSE_ROW[heading] + (pace ? SLOW_ROSE_OFFSET : 0);
        IControl* pBox = new IRoverSelectorControl(mpPlug, x, y, box, mCellImages[RoverDisplayCode(heading, pace)],
                                                   &mRoverPalette, index);
        mpGraphics->AddControl(pBox);
        mRoverPalette.Add(pBox);
    }
    mPaletteLink.Reset();
}

void TarvoGui::AddSequencerPanel()
{
    AddSwitch(EParam_SeqOn, 147, 468, IMG_STOP_GO);
    mpStepCanvas = new IGrooveMakerCanvas(mpPlug, STEP_CANVAS_RECT);
    mpGraphics->AddControl(mpStepCanvas);
    mSequencerPanel.Add(mpStepCanvas);
    mpStepMarker = new IGrooveMakerStepMarker(mpPlug, STEP_MARKER_RECT, &mpPlug->Sequencer());
    mpGraphics->AddControl(mpStepMarker);
    mSequencerPanel.Add(mpStepMarker);
    mSequencerPanel.Add(AddLabel(ControlRect(75, 552, 118, 552), TextAlign_Left, "Velocity"));
    mSequencerPanel.Add(AddLabel(ControlRect(75, 620, 118, 632), TextAlign_Left, "Lock"));
    mSequencerPanel.Add(AddLabel(ControlRect(75, 633, 118, 645), TextAlign_Left, "Mute"));
}

void TarvoGui::AddPanelSwitches()
{
    AddSwitch(EParam_PnlPatt, 8, 475, IMG_PATTERN_TOGGLE);
    AddSwitch(EParam_PnlSeq, 8, 500, IMG_SEQ_TOGGLE);
}

void TarvoGui::AddStepSwitches()
{
    for (int step = 0; step < NUM_SEQ_STEPS; ++step) {
        int x = 120 + 15 * step;
        mSequencerPanel.Add(AddSwitch(EParam_FirstLock + step, x, 622, IMG_STEP_LOCK));
        mSequencerPanel.Add(AddSwitch(EParam_FirstMute + step, x, 635, IMG_STEP_MUTE));
    }
}

void TarvoGui::AddVersionLabel() { AddLabel(ControlRect(644, 575, 684, 591), TextAlign_Right, VERSION_TEXT); }

void TarvoGui::AddTimelineLockSwitch()
{
    // Under the rover commands, in their style; the background draws its
    // heading and label.
    mpLockSwitch = new ILockSwitchControl(mpPlug, 18, 452, Image(IMG_RADIO_YELLOW));
    mpGraphics->AddControl(mpLockSwitch);
}

// ---- The view ----------------------------------------------------------------

void TarvoGui::ResetCellControl(int cellId)
{
    if (cellId < 0 || cellId >= MAX_CELLS) return;
    mpGraphics->ShowParamValue(EParam_FirstCell + cellId, 0.0, true);
}

void TarvoGui::PublishStep(const Matrix& grid, const StepSimulation& simulation)
{
    const CountedItemSet<MAX_CELLS>& touched = simulation.mDirtyCells;
    for (int i = 0; i < touched.ListLength(); ++i) {
        int cellId = touched.Item(i);
        uint16_t picture =
            static_cast<uint16_t>((simulation.mCellDisplay[cellId] & CELL_CODE_MASK) |
                                  (grid.mCells[cellId].mKind & CELL_CODE_MASK) << CELL_KIND_SHIFT | CELL_PENDING);
        mCellPictures[cellId].store(picture, std::memory_order_relaxed);
    }
    StoreWallMarks(simulation);
    // Released after the stores above; the tick takes the flags first.
    mpGraphics->PostTaskFlags(ETask_Cells | ETask_WallMarks | ETask_StepMarker);
}

void TarvoGui::ShowWallMarks(const StepSimulation& simulation)
{
    StoreWallMarks(simulation);
    mpGraphics->PostTaskFlags(ETask_WallMarks);
}

void TarvoGui::StoreWallMarks(const StepSimulation& simulation)
{
    for (int wall = 0; wall < Wall_NumWalls; ++wall) {
        const int* pMarks = simulation.mStrikes[wall].mMarks;
        for (int position = 0; position < WALL_POSITIONS; ++position) {
            mWallMarks[wall][position].store(static_cast<uint8_t>(pMarks[position]), std::memory_order_relaxed);
        }
    }
}

void TarvoGui::UpdateGridLayout(const Matrix& grid)
{
    mGridWindow.store(PackWindow(grid.mFirstRow, grid.mLastRow, grid.mFirstCol, grid.mLastCol),
                      std::memory_order_relaxed);
    mpGraphics->PostTaskFlags(ETask_Layout);
}

void TarvoGui::SetWallDisplay(int wall, int rotate, int reverse, const int* entryIndices)
{
    if (wall < 0 || wall >= Wall_NumWalls || !entryIndices) return;
    for (int position = 0; position < WALL_POSITIONS; ++position) {
        int entry = entryIndices[position];
        mWallEntries[wall][position].store(static_cast<uint8_t>(entry < 0 || entry > 16 ? 0 : entry),
                                           std::memory_order_relaxed);
    }
    mWallRotations[wall].store(rotate, std::memory_order_relaxed);
    mWallReverse[wall].store(reverse, std::memory_order_relaxed);
    mpGraphics->PostTaskFlags(ETask_WallEntries);
}

void TarvoGui::MarkStepCanvasChanged() { mpGraphics->PostTaskFlags(ETask_StepCanvas); }

void TarvoGui::MarkSequencerPanelChanged() { mpGraphics->PostTaskFlags(ETask_SequencerPanel); }

void TarvoGui::ShowPanels(bool patternPanelShown)
{
    mPatternPanelShown.store(patternPanelShown, std::memory_order_relaxed);
    // The flag is posted with release order after the stores above.
    mpGraphics->PostTaskFlags(ETask_Panels);
}

void TarvoGui::ShowPatternSlot(int slot, bool occupied, const Matrix* pGrid)
{
    if (slot < 0 || slot >= NUM_PATTERN_SLOTS) return;
    if (occupied && pGrid) {
        uint8_t cells[MAX_CELLS];
        IPatternThumbnailControl::ClassifyCells(*pGrid, cells);
        for (int cellId = 0; cellId < MAX_CELLS; ++cellId) {
            mSlotCells[slot][cellId].store(cells[cellId], std::memory_order_relaxed);
        }
    }
    mSlotOccupied[slot].store(occupied && pGrid, std::memory_order_relaxed);
    mChangedSlots.fetch_or(1u << slot, std::memory_order_relaxed);
    mpGraphics->PostTaskFlags(ETask_PatternSlots);
}

void TarvoGui::ShowScaleName(const char* name)
{
    {
        std::lock_guard<std::mutex> guard(mScaleNameLock);
        std::snprintf(mPendingScaleName, sizeof mPendingScaleName, "%s", name ? name : "");
    }
    mpGraphics->PostTaskFlags(ETask_ScaleName);
}

void TarvoGui::ShowTimelineLock(bool locked)
{
    mTimelineLocked.store(locked, std::memory_order_relaxed);
    mpGraphics->PostTaskFlags(ETask_TimelineLock);
}

void TarvoGui::ShowParamValue(int paramIdx, double normalized)
{
    mpGraphics->ShowParamValue(paramIdx, normalized, true);
}

bool TarvoGui::ShownValue(int paramIdx, double* pNormalized) const
{
    if (!mpGraphics->HasBoundControl(paramIdx)) return false;
    if (pNormalized) *pNormalized = mpGraphics->BoundValue(paramIdx);
    return true;
}

void TarvoGui::OnFileDialogUnavailable(const char* problem)
{
    mpMessageLine->ShowProblem(SceneMessages::NoFileDialog(problem).c_str());
}

void TarvoGui::OnFileChosen(const char* path)
{
    mChosenScaleRead = false;
    if (!path || !path[0]) return;
    mChosenScale = ScaleFile();
    mChosenScale.Load(path);
    mChosenScaleRead = true;
}

void TarvoGui::ApplyChosenFile()
{
    if (!mChosenScaleRead) return;
    mChosenScaleRead = false;
    mpPlug->LoadScaleFile(mChosenScale);
    mpMessageLine->Clear();
}

// ---- The tick ----------------------------------------------------------------

void TarvoGui::OnEditorTick(uint32_t taskFlags)
{
    bool opened = (taskFlags & IGraphicsLice::TASK_WINDOW_OPENED) != 0;
    mpMessageLine->Tick();
    if (opened || (taskFlags & ETask_ScaleName)) ApplyScaleName();
    if (opened || (taskFlags & ETask_Panels)) ApplyPanels();
    if (taskFlags & ETask_SequencerPanel) RedrawSequencerPanel();
    if (opened || (taskFlags & ETask_Layout)) ApplyLayout();
    if (opened || (taskFlags & ETask_Cells)) ApplyCells(opened);
    if (opened || (taskFlags & ETask_WallMarks)) ApplyWallMarks();
    if (opened || (taskFlags & ETask_WallEntries)) ApplyWallEntries();
    // A hidden panel redraws when it is shown again.
    if (!mSequencerPanel.IsHidden()) {
        if (taskFlags & ETask_StepMarker) mpStepMarker->MarkChanged(false);
        if (taskFlags & ETask_StepCanvas) mpStepCanvas->MarkChanged(false);
    }
    if (opened || (taskFlags & ETask_PatternSlots)) ApplyPatternSlots(opened);
    if (opened || (taskFlags & ETask_TimelineLock)) {
        mpLockSwitch->ShowValue(mTimelineLocked.load(std::memory_order_relaxed) ? 1.0 : 0.0);
    }
}

void TarvoGui::ApplyLayout()
{
    uint32_t window = mGridWindow.load(std::memory_order_relaxed);
    int firstRow = window & 0xFF, lastRow = (window >> 8) & 0xFF;
    int firstCol = (window >> 16) & 0xFF, lastCol = (window >> 24) & 0xFF;
    if (lastRow < firstRow) lastRow = firstRow;
    if (lastCol < firstCol) lastCol = firstCol;
    mLayout.SetWindow(firstRow, lastRow, firstCol, lastCol);
    mpStrikerCanvas->ComputeStripRects();
    mpStrikerCanvas->MarkChanged(false);
    for (int row = 0; row < MAX_ROWS; ++row) {
        for (int col = 0; col < MAX_COLS; ++col) {
            CellControl* pCell = mpCells[CellId(row, col)];
            bool hidden = !mLayout.RowShown(row) || !mLayout.ColumnShown(col);
            if (pCell->IsHidden() != hidden) pCell->SetHidden(hidden);
        }
    }
}

void TarvoGui::ApplyCells(bool all)
{
    for (int cellId = 0; cellId < MAX_CELLS; ++cellId) {
        uint16_t picture = mCellPictures[cellId].load(std::memory_order_relaxed);
        if (!(picture & CELL_PENDING) && !all) continue;
        // A newer picture posted meanwhile keeps its pending bit for the
        // next tick.
        if (picture & CELL_PENDING) {
            mCellPictures[cellId].compare_exchange_strong(picture, static_cast<uint16_t>(picture & ~CELL_PENDING),
                                                          std::memory_order_relaxed);
        }
        mpCells[cellId]->SetPictures(picture & CELL_CODE_MASK, (picture >> CELL_KIND_SHIFT) & CELL_CODE_MASK);
    }
}

void TarvoGui::ApplyWallMarks()
{
    for (int wall = 0; wall < Wall_NumWalls; ++wall) {
        int marks[WALL_POSITIONS];
        for (int position = 0; position < WALL_POSITIONS; ++position) {
            marks[position] = mWallMarks[wall][position].load(std::memory_order_relaxed) & 3;
        }
        mpStrikerCanvas->SetMarks(wall, marks);
    }
    mpStrikerCanvas->MarkChanged(false);
}

void TarvoGui::ApplyWallEntries()
{
    for (int wall = 0; wall < Wall_NumWalls; ++wall) {
        int entries[WALL_POSITIONS];
        for (int position = 0; position < WALL_POSITIONS; ++position) {
            entries[position] = mWallEntries[wall][position].load(std::memory_order_relaxed);
        }
        mpStrikerCanvas->SetWallEntries(wall, mWallRotations[wall].load(std::memory_order_relaxed),
                                        mWallReverse[wall].load(std::memory_order_relaxed), entries);
    }
    mpStrikerCanvas->MarkChanged(false);
}

void TarvoGui::ApplyPatternSlots(bool all)
{
    uint32_t changed = mChangedSlots.exchange(0, std::memory_order_relaxed);
    for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) {
        if (!all && !(changed & (1u << slot))) continue;
        IPatternThumbnailControl* pThumbnail = mpThumbnails[slot];
        bool occupied = mSlotOccupied[slot].load(std::memory_order_relaxed);
        if (occupied) {
            uint8_t cells[MAX_CELLS];
            for (int cellId = 0; cellId < MAX_CELLS; ++cellId) {
                cells[cellId] = mSlotCells[slot][cellId].load(std::memory_order_relaxed);
            }
            pThumbnail->ShowCells(cells);
        }
        pThumbnail->ShowValue(occupied ? 1.0 : 0.0);
    }
}

void TarvoGui::ApplyScaleName()
{
    char name[SCALE_NAME_LENGTH + 1];
    {
        std::lock_guard<std::mutex> guard(mScaleNameLock);
        std::memcpy(name, mPendingScaleName, sizeof name);
    }
    mpScaleName->ShowText(name[0] ? name : DEFAULT_SCALE_NAME);
}

void TarvoGui::ApplyPanels()
{
    bool patternHidden = !mPatternPanelShown.load(std::memory_order_relaxed);
    bool sequencerHidden = !patternHidden;
    if (mPatternPanel.IsHidden() != patternHidden) mPatternPanel.Hide(patternHidden);
    if (mSequencerPanel.IsHidden() != sequencerHidden) mSequencerPanel.Hide(sequencerHidden);
}

void TarvoGui::RedrawSequencerPanel()
{
    // Redraw only: re-sending the step switches' values would reach the
    // host as automation of parameters it was never told about.
    for (int i = 0; i < mSequencerPanel.NControls(); ++i) mSequencerPanel.GetControl(i)->MarkChanged(false);
}
