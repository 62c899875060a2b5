// One cell of the board: the obstacle standing in it and its toggle bit. A
// plain value without a virtual table, so that a board's 289 cells copy as
// one block of memory (a state load or save copies nine boards several
// times); it saves and loads like a Serializeable, without deriving from it.
#pragma once

#include <cstdint>

class StateChunk;

enum EObstacle {
    EObstacle_empty = 0,
    EObstacle_MirHor,
    EObstacle_MirVr,
    EObstacle_MirUp,
    EObstacle_MirDn,
    EObstacle_Pillar,
    EObstacle_WgN,
    EObstacle_WgE,
    EObstacle_WgS,
    EObstacle_WgW,
    EObstacle_Bounce,
    EObstacle_Wormh,
    EObstacle_Spin,
    EObstacle_Pause,
    EObstacle_MirUpT,
    EObstacle_MirDnT,
    EObstacle_MirHT,
    EObstacle_MirVT,
    EObstacle_PSlow,
    EObstacle_PNorm,
    EObstacle_PTogl,
    EObstacle_NumKinds
};

class Obstacle {
public:
    Obstacle() : mKind(EObstacle_empty), mState(0) {}

    // Two bytes: kind, then state.
    static constexpr int RECORD_SIZE = 2;
    bool Save(StateChunk* pChunk) const;
    int Load(const StateChunk* pChunk, int position);
    // The same record in memory, for a board's cells written or read as one
    // block: Decode repairs the bytes as Load does.
    void Encode(uint8_t* pRecord) const;
    void Decode(const uint8_t* pRecord);

    int mKind;   // EObstacle
    int mState;  // toggle bit of the wedges and Pause; placing a kind keeps it
};
