// Where every control of the Tarvo3 editor is and what the editor calls it:
// the one table that ties the labels drawn in the editor's background
// (resources/make_images.py) and by its text controls to the host's
// parameter names. tarvo-controls prints it with the ranges and defaults of
// the processor's parameter table; the guide's controls table and its
// check (scripts/controls-table.py) are made from that.
#pragma once

struct ControlEntry {
    // The host's parameter name, or for a control without a host parameter
    // a key of its own (starting with "editor:").
    const char* mKey;
    // The editor area the control sits in, as the musician finds it.
    const char* mSection;
    // The text the editor draws at the control (empty: none, the picture
    // says it), and where the control is when that needs saying.
    const char* mLabel;
    const char* mWhere;
    // knob, slider, switch, button, selector, value, grid, palette, canvas
    const char* mControl;
};

extern const ControlEntry CONTROL_TABLE[];
extern const int CONTROL_TABLE_SIZE;
