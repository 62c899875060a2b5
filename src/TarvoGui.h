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
#include <mutex>

#include "TarvoParams.h"
#include "TarvoView.h"
#include "framework/gui/ControlGroup.h"
#include "framework/gui/GuiTypes.h"
#include "framework/gui/IGraphicsLice.h"
#include "resources/ImageIds.h"

class IControl;
class IFileSelectorControl;
class IGraphicsWindow;
class IKnobMultiControl;
class ITextControl;
class Tarvo;

class TarvoGui : public ITarvoView, public IEditorTickHandler {
public:
    static constexpr int EDITOR_WIDTH = 729;
    static constexpr int EDITOR_HEIGHT = 650;
    static constexpr int FRAME_RATE = 24;
    static constexpr int SCALE_NAME_LENGTH = 256;
    // The longest path the file selector keeps for the processor.

    // Builds the surface with every control. The processor then attaches the
    // surface (AttachEditor), after which the processor's base owns it.
    explicit TarvoGui(Tarvo* pPlug);
    // Closes the window and leaves the surface, which outlives this object,
    // without a tick handler.
    ~TarvoGui() override;

    IGraphicsWindow* Surface() const { return mpGraphics; }

    // ---- ITarvoView
    void ResetCellControl(int cellId) override;
    void PublishStep(const Matrix& grid, const StepSimulation& simulation) override;
    void UpdateGridLayout(const Matrix& grid) override;
    void SetWallDisplay(int wall, int rotate, int reverse, const int entryIndices[17]) override;
    void MarkStepCanvasChanged() override;
    void MarkSequencerPanelChanged() override;
    void ShowPanels(bool patternPanelShown, bool sequencerPanelShown) override;
    void ShowPatternSlot(int slot, bool occupied, const Matrix* pGrid) override;
    bool PushGridSizeKnobs(double rowsNormalized, double colsNormalized) override;
    void ShowScaleName(const char* name) override;
    bool SetBoundControls(int paramIdx, double normalized) override;
    void TakeChosenFile(char* path, int size) override;

    // ---- IEditorTickHandler
    void OnEditorTick(uint32_t taskFlags) override;

    // ---- What the layout built (the grid controls use the size knobs)
    IKnobMultiControl* RowsKnob() const { return mpRowsKnob; }
    IKnobMultiControl* ColumnsKnob() const { return mpColumnsKnob; }
    ITextControl* ScaleNameText() const { return mpScaleName; }
    IFileSelectorControl* FileSelector() const { return mpFileSelector; }
    const ControlGroup& PatternPanel() const { return mPatternPanel; }
    const ControlGroup& SequencerPanel() const { return mSequencerPanel; }
    // Cell pictures by rover display code, obstacle markers by kind.
    const BitmapRef& CellImage(int code) const { return mCellImages[code]; }
    const BitmapRef& MarkImage(int kind) const { return mMarkImages[kind]; }

private:
    TarvoGui(const TarvoGui&) = delete;
    TarvoGui& operator=(const TarvoGui&) = delete;

    // Work posted to the next tick.
    enum ETask : uint32_t {
        ETask_ScaleName = 1u << 0,
        ETask_Panels = 1u << 1,
        ETask_SequencerPanel = 1u << 2
    };

    // The layout, one step per group of controls, in the order they are
    // attached (the order decides drawing and which control takes a click).
    void AddBackground();
    void LoadCellImages();
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
    void AddSequencerPanel();
    void AddPanelSwitches();
    void AddStepSwitches();
    void AddVersionLabel();

    BitmapRef Image(int resourceId);
    IControl* AddContact(int paramIdx, int x, int y, int imageId);
    IControl* AddSwitch(int paramIdx, int x, int y, int imageId);
    IKnobMultiControl* AddKnob(int paramIdx, int x, int y, int frames);
    ITextControl* AddLabel(const ControlRect& rect, int alignment, const char* text);

    // Tick work.
    void ApplyScaleName();
    void ApplyPanels();
    void RedrawSequencerPanel();

    Tarvo* mpPlug;
    IGraphicsWindow* mpGraphics;
    BitmapRef mCellImages[NUM_CELL_IMAGES];
    BitmapRef mMarkImages[NUM_MARK_IMAGES];
    IKnobMultiControl* mpRowsKnob = nullptr;
    IKnobMultiControl* mpColumnsKnob = nullptr;
    ITextControl* mpScaleName = nullptr;
    IFileSelectorControl* mpFileSelector = nullptr;
    ControlGroup mPatternPanel;
    ControlGroup mSequencerPanel;

    // The scale name waiting for the next tick. A leaf lock: nothing else is
    // taken while it is held.
    std::mutex mScaleNameLock;
    char mPendingScaleName[SCALE_NAME_LENGTH + 1];
    std::atomic<bool> mPatternPanelShown{true};
    std::atomic<bool> mSequencerPanelShown{false};
};
