// What the processor asks of its editor: the one way the processor reaches
// it. The editor implements this interface; without one the processor runs
// on its own and keeps every piece of model state (slot occupancy, scale
// name, palette choices, shown panel) itself, so nothing here is needed for
// the music. What a value does is decided in the processor; what a control
// shows of it, in the editor.
//
// Every call arrives with the plug-in lock held, from whichever thread
// caused it (the audio thread among them): an implementation only takes
// note of what to show, without allocating, blocking or waiting for its
// own thread.
#pragma once

class Matrix;
class StepSimulation;

class ITarvoView {
public:
    virtual ~ITarvoView() {}

    // The controls of a parameter show this value (normalised); nothing is
    // sent back.
    virtual void ShowParamValue(int paramIdx, double normalized) = 0;
    // Whether some control shows the parameter, and the value it holds (or
    // shows from its next redraw on).
    virtual bool ShownValue(int paramIdx, double* pNormalized) const = 0;
    // A cell command ran: the cell control shows 0 again.
    virtual void ResetCellControl(int cellId) = 0;
    // A step or an edit: the touched cells, the four walls' strike marks
    // and the step marker.
    virtual void PublishStep(const Matrix& grid, const StepSimulation& simulation) = 0;
    // The four walls' strike marks alone (a wall was muted or unmuted).
    virtual void ShowWallMarks(const StepSimulation& simulation) = 0;
    // The grid window changed: wall strips and cell visibility follow it.
    virtual void UpdateGridLayout(const Matrix& grid) = 0;
    // A wall's scale mapping as the striker canvas shows it.
    virtual void SetWallDisplay(int wall, int rotate, int reverse, const int entryIndices[17]) = 0;
    // The step canvas must redraw (a mute flag changed).
    virtual void MarkStepCanvasChanged() = 0;
    // Every control of the sequencer panel redraws (step count, state load).
    virtual void MarkSequencerPanelChanged() = 0;
    // Shows one of the two panels that share the lower area: the pattern
    // panel, or else the sequencer panel.
    virtual void ShowPanels(bool patternPanelShown) = 0;
    // A pattern slot's thumbnail: the grid it holds when occupied.
    virtual void ShowPatternSlot(int slot, bool occupied, const Matrix* pGrid) = 0;
    virtual void ShowScaleName(const char* name) = 0;
    // The timeline lock's switch.
    virtual void ShowTimelineLock(bool locked) = 0;
};
