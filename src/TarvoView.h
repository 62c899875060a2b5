// What the processor asks of its editor. The editor implements this narrow
// interface; without an editor the processor runs on its own and keeps every
// piece of model state (slot occupancy, scale name, palette choices, shown
// panel) itself, so nothing here is needed for the music.
#pragma once

class Matrix;
class StepSimulation;

class ITarvoView {
public:
    virtual ~ITarvoView() {}

    // A cell command ran: the cell control shows 0 again.
    virtual void ResetCellControl(int cellId) = 0;
    // The editor half of publishing a step or an edit: the touched cells,
    // the four walls' strike marks and the step marker.
    virtual void PublishStep(const Matrix& grid, const StepSimulation& simulation) = 0;
    // The grid window changed: wall strips and cell visibility follow it.
    virtual void UpdateGridLayout(const Matrix& grid) = 0;
    // A wall's scale mapping as the striker canvas shows it.
    virtual void SetWallDisplay(int wall, int rotate, int reverse, const int entryIndices[17]) = 0;
    // The step canvas must redraw (a mute flag changed).
    virtual void MarkStepCanvasChanged() = 0;
    // Every control of the sequencer panel redraws and re-sends its value.
    virtual void MarkSequencerPanelChanged() = 0;
    // Shows one of the two panels that share the lower area.
    virtual void ShowPanels(bool patternPanelShown, bool sequencerPanelShown) = 0;
    // A pattern slot's thumbnail: the grid it holds when occupied.
    virtual void ShowPatternSlot(int slot, bool occupied, const Matrix* pGrid) = 0;
    // A restored pattern brings its size: the row and column knobs take the
    // new values and send them on as a user edit would. Returns false when
    // the editor has no such knobs (the processor then sends them itself).
    virtual bool PushGridSizeKnobs(double rowsNormalized, double colsNormalized) = 0;
    virtual void ShowScaleName(const char* name) = 0;
    // Moves every control bound to the parameter to the value as if the user
    // had moved it, unless they hold that value already. Returns false when
    // no control is bound to it.
    virtual bool SetBoundControls(int paramIdx, double normalized) = 0;
    // The path chosen in the scale file selector's last dialog, handed over
    // once: "" when it was cancelled or has been taken already, so that a
    // state load does not read the file again over the restored scales.
    virtual void TakeChosenFile(char* path, int size) = 0;
};
