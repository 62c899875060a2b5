// Controls shown and hidden together: the pattern panel and the sequencer
// panel. The group points at controls the surface owns.
#pragma once

#include <vector>

class IControl;

class ControlGroup {
public:
    ControlGroup() {}

    void Add(IControl* pControl);
    // Stores the flag and hides (or shows) every control of the group.
    void Hide(bool hidden);
    bool IsHidden() const { return mHidden; }
    int NControls() const { return static_cast<int>(mControls.size()); }
    IControl* GetControl(int index) const;

private:
    bool mHidden = false;
    std::vector<IControl*> mControls;
};
