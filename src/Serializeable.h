// Save and load of every class whose state travels in the host's project.
// Save appends the object to a chunk and reports success; Load reads it
// back from a position and returns the position after it, or -1. Each load
// passes its result on as the next start position, so once one read fails,
// every later one fails too.
#pragma once

class StateChunk;

class Serializeable {
public:
    virtual ~Serializeable() {}
    virtual bool Save(StateChunk* pChunk) const = 0;
    virtual int Load(const StateChunk* pChunk, int position) = 0;
};
