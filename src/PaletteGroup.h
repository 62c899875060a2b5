// One palette of the grid editor (rovers or obstacles) as a set of radio
// buttons: its boxes by index, the chosen one, and whether the palette is
// the one that single-click painting uses.
#pragma once

#include "framework/gui/ControlGroup.h"

class IControl;
class PaletteLink;

class PaletteGroup {
public:
    PaletteGroup() {}

    // Boxes take their index in the order they are added.
    void Add(IControl* pControl) { mBoxes.Add(pControl); }
    void SetLink(PaletteLink* pLink) { mpLink = pLink; }

    // A press on box i: it becomes (or stays) the chosen one and is shown
    // selected; the link decides what happens to the other palette.
    void Select(int index);
    // Makes the palette active or not, showing its choice selected or not.
    void SetActive(bool active);

    int NControls() const { return mBoxes.NControls(); }
    IControl* GetControl(int index) const { return mBoxes.GetControl(index); }

    int mChoice = 0;
    bool mActive = true;

private:
    void ShowSelected(int index, bool selected);

    ControlGroup mBoxes;
    PaletteLink* mpLink = nullptr;
};
