// What the simulation asks of note generation when a rover strikes a wall:
// the note a wall position sounds and the chance that a strike on it sounds.
#pragma once

class IWallNotes {
public:
    virtual ~IWallNotes() {}
    // The note (0 to 127) of a wall position (0 to 16) of a wall (Wall enum).
    virtual int WallNote(int wall, int position) const = 0;
    // The probability that a strike sounding this note may sound.
    virtual double NoteProbability(int note) const = 0;
};
