// The processor's editor: the 729 x 650 window with the background, every
// knob, switch, contact, slider and text of the layout bound to its
// parameter, and the two panels that share the lower area. It is also the
// processor's view: the processor tells it what to show through
// ITarvoView, from whatever thread the change ran on.
//
// Threading. The view calls arrive with the plug-in lock held, from the
// host's threads, the audio thread (steps, MIDI-mapped parameters) or the
// editor's own thread. None of them touches a control: values go through
// the surface's lock-free inbox (ShowParamValue), other work is left in
// this object's own fields and announced with PostTaskFlags; the surface's
// next tick hands the flags to OnEditorTick, which applies the work on the
// GUI thread under the surface lock and the plug-in lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "GridLayout.h"
#include "GridTypes.h"
#include "PaletteGroup.h"
#include "PaletteLink.h"
#include "ScaleFile.h"
#include "StrikeColourTable.h"
#include "TarvoParams.h"
#include "TarvoView.h"
#include "framework/gui/ControlGroup.h"
#include "framework/gui/GuiTypes.h"
#include "framework/gui/IFileSelectorControl.h"
#include "framework/gui/IGraphicsLice.h"
#include "resources/ImageIds.h"

class CellControl;
class IControl;
class IFileSelectorControl;
class IGrooveMakerCanvas;
class IGrooveMakerStepMarker;
class IMessageLine;
class SceneLoader;
class SceneSaver;
class IGraphicsWindow;
class IKnobMultiControl;
class IPatternThumbnailControl;
class IStrikerCanvas;
class ITextControl;
class Tarvo;

class TarvoGui : public ITarvoView, public IEditorTickHandler, public IFileChosenHandler {
public:
    static constexpr int EDITOR_WIDTH = 729;
    static constexpr int EDITOR_HEIGHT = 650;
    static constexpr int FRAME_RATE = 24;
    static constexpr int SCALE_NAME_LENGTH = 256;

    // Builds the processor's editor and attaches it: its surface becomes the
    // processor's editor (the processor's base owns it) and the editor its
    // view (the processor owns it). Returns the editor.
    static TarvoGui* Attach(Tarvo* pPlug);

    // Builds the surface with every control.
    explicit TarvoGui(Tarvo* pPlug);
    // Closes the window and leaves the surface, which outlives this object,
    // without a tick handler.
    ~TarvoGui() override;

    IGraphicsWindow* Surface() const { return mpGraphics; }

    // ---- ITarvoView
    void ShowParamValue(int paramIdx, double normalized) override;
    bool ShownValue(int paramIdx, double* pNormalized) const override;
    void ResetCellControl(int cellId) override;
    void PublishStep(const Matrix& grid, const StepSimulation& simulation) override;
    void ShowWallMarks(const StepSimulation& simulation) override;
    void UpdateGridLayout(const Matrix& grid) override;
    void SetWallDisplay(int wall, int rotate, int reverse, const int entryIndices[17]) override;
    void MarkStepCanvasChanged() override;
    void MarkSequencerPanelChanged() override;
    void ShowPanels(bool patternPanelShown) override;
    void ShowPatternSlot(int slot, bool occupied, const Matrix* pGrid) override;
    void ShowScaleName(const char* name) override;
    void ShowTimelineLock(bool locked) override;

    // ---- IEditorTickHandler
    void OnEditorTick(uint32_t taskFlags) override;

    // ---- IFileChosenHandler: a scale file, read here (the GUI thread,
    // without the plug-in lock) and then handed to the processor.
    void OnFileDialogUnavailable(const char* problem) override;
    void OnFileChosen(const char* path) override;
    void ApplyChosenFile() override;

    // ---- What the layout built (the grid controls use the size knobs)
    IKnobMultiControl* RowsKnob() const { return mpRowsKnob; }
    IKnobMultiControl* ColumnsKnob() const { return mpColumnsKnob; }
    ITextControl* ScaleNameText() const { return mpScaleName; }
    IFileSelectorControl* FileSelector() const { return mpFileSelector; }
    IFileSelectorControl* LoadSceneButton() const { return mpLoadScene; }
    IFileSelectorControl* SaveSceneButton() const { return mpSaveScene; }
    IMessageLine* MessageLine() const { return mpMessageLine; }
    const ControlGroup& PatternPanel() const { return mPatternPanel; }
    const ControlGroup& SequencerPanel() const { return mSequencerPanel; }
    // Cell pictures by rover display code, obstacle markers by kind.
    const BitmapRef& CellImage(int code) const { return mCellImages[code]; }
    const BitmapRef& MarkImage(int kind) const { return mMarkImages[kind]; }
    IStrikerCanvas* StrikerCanvas() const { return mpStrikerCanvas; }
    CellControl* Cell(int cellId) const { return mpCells[cellId]; }
    const PaletteGroup& RoverPalette() const { return mRoverPalette; }
    const PaletteGroup& ObstaclePalette() const { return mObstaclePalette; }
    IPatternThumbnailControl* Thumbnail(int slot) const { return mpThumbnails[slot]; }
    IGrooveMakerCanvas* StepCanvas() const { return mpStepCanvas; }
    IGrooveMakerStepMarker* StepMarker() const { return mpStepMarker; }
    IControl* TimelineLockSwitch() const { return mpLockSwitch; }
    const GridLayout& Layout() const { return mLayout; }

private:
    TarvoGui(const TarvoGui&) = delete;
    TarvoGui& operator=(const TarvoGui&) = delete;

    // Work posted to the next tick.
    enum ETask : uint32_t {
        ETask_ScaleName = 1u << 0,
        ETask_Panels = 1u << 1,
        ETask_SequencerPanel = 1u << 2,
        ETask_Cells = 1u << 3,
        ETask_WallMarks = 1u << 4,
        ETask_WallEntries = 1u << 5,
        ETask_Layout = 1u << 6,
        ETask_StepMarker = 1u << 7,
        ETask_StepCanvas = 1u << 8,
        ETask_PatternSlots = 1u << 9,
        ETask_TimelineLock = 1u << 10
    };
    // A cell's picture as posted: rover display code, obstacle kind, and a
    // bit that says the tick has not shown it yet.
    static constexpr uint16_t CELL_KIND_SHIFT = 5;
    static constexpr uint16_t CELL_CODE_MASK = 0x1F;
    static constexpr uint16_t CELL_PENDING = 0x8000;

    // The layout, one step per group of controls, in the order they are
    // attached (the order decides drawing and which control takes a click).
    void AddBackground();
    void LoadCellImages();
    void AddStrikerCanvas();
    void AddCells();
    void AddWallScaleSelectors();
    void AddScaleSlotRows();
    void AddWallMuteSwitches();
    void AddClimbSliders();
    void AddKnobs();
    void AddEnabledSwitch();
    void AddGridTransformContacts();
    void AddPatternPanel();
    void AddTimeSwitches();
    void AddRoverCommandContacts();
    void AddScaleFileControls();
    void AddSceneFileControls();
    void AddPalettes();
    void AddSequencerPanel();
    void AddPanelSwitches();
    void AddStepSwitches();
    void AddVersionLabel();
    void AddTimelineLockSwitch();

    BitmapRef Image(int resourceId);
    IControl* AddContact(int paramIdx, int x, int y, int imageId);
    IControl* AddSwitch(int paramIdx, int x, int y, int imageId);
    IKnobMultiControl* AddKnob(int paramIdx, int x, int y, int frames);
    ITextControl* AddLabel(const ControlRect& rect, int alignment, const char* text);

    // What PublishStep and ShowWallMarks post of the walls.
    void StoreWallMarks(const StepSimulation& simulation);

    // Tick work.
    void ApplyScaleName();
    void ApplyPanels();
    void RedrawSequencerPanel();
    void ApplyLayout();
    void ApplyCells(bool all);
    void ApplyWallMarks();
    void ApplyWallEntries();
    void ApplyPatternSlots(bool all);

    Tarvo* mpPlug;
    IGraphicsWindow* mpGraphics;
    BitmapRef mCellImages[NUM_CELL_IMAGES];
    BitmapRef mMarkImages[NUM_MARK_IMAGES];
    IKnobMultiControl* mpRowsKnob = nullptr;
    IKnobMultiControl* mpColumnsKnob = nullptr;
    ITextControl* mpScaleName = nullptr;
    IFileSelectorControl* mpFileSelector = nullptr;
    IFileSelectorControl* mpLoadScene = nullptr;
    IFileSelectorControl* mpSaveScene = nullptr;
    IMessageLine* mpMessageLine = nullptr;
    std::unique_ptr<SceneLoader> mpSceneLoader;
    std::unique_ptr<SceneSaver> mpSceneSaver;
    ControlGroup mPatternPanel;
    ControlGroup mSequencerPanel;
    GridLayout mLayout;
    StrikeColourTable mStrikeColours;
    IStrikerCanvas* mpStrikerCanvas = nullptr;
    CellControl* mpCells[MAX_CELLS] = {};
    PaletteGroup mRoverPalette;
    PaletteGroup mObstaclePalette;
    PaletteLink mPaletteLink;
    IPatternThumbnailControl* mpThumbnails[NUM_PATTERN_SLOTS] = {};
    IGrooveMakerCanvas* mpStepCanvas = nullptr;
    IGrooveMakerStepMarker* mpStepMarker = nullptr;
    IControl* mpLockSwitch = nullptr;

    // The scale name waiting for the next tick. A leaf lock: nothing else is
    // taken while it is held.
    std::mutex mScaleNameLock;
    char mPendingScaleName[SCALE_NAME_LENGTH + 1];
    // The scale file the dialog chose, read on the GUI thread until it is
    // handed to the processor.
    ScaleFile mChosenScale;
    bool mChosenScaleRead = false;
    std::atomic<bool> mPatternPanelShown{true};
    std::atomic<bool> mTimelineLocked{false};

    // What the processor posted for the grid, from any thread (the audio
    // thread on every step): plain atomic stores, no allocation, no lock.
    // The tick shows it.
    std::atomic<uint16_t> mCellPictures[MAX_CELLS];
    std::atomic<uint8_t> mWallMarks[Wall_NumWalls][WALL_POSITIONS];
    std::atomic<uint8_t> mWallEntries[Wall_NumWalls][WALL_POSITIONS];
    std::atomic<int32_t> mWallRotations[Wall_NumWalls];
    std::atomic<int32_t> mWallReverse[Wall_NumWalls];
    // First and last row and column, a byte each.
    std::atomic<uint32_t> mGridWindow;
    // Per pattern slot: occupied, and what its thumbnail shows of each cell.
    std::atomic<uint32_t> mChangedSlots{0};
    std::atomic<bool> mSlotOccupied[NUM_PATTERN_SLOTS];
    std::atomic<uint8_t> mSlotCells[NUM_PATTERN_SLOTS][MAX_CELLS];
};
