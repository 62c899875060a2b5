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

// The kind each byte of a cell record stands for: the byte itself when it
// is a known kind (as an int8_t, 0..20), otherwise the empty cell. The chunk
// is the user's project and may come from anywhere: a kind this model does
// not know would index past the heading tables and the cell pictures. A
// table, so that decoding a board's 289 cells compares nothing.
struct ObstacleKindTable {
    uint8_t mKinds[256];
    constexpr ObstacleKindTable() : mKinds()
    {
        for (int i = 0; i < 256; ++i) mKinds[i] = static_cast<uint8_t>(i < EObstacle_NumKinds ? i : EObstacle_empty);
    }
};
inline constexpr ObstacleKindTable OBSTACLE_KIND_OF_BYTE{};

class Obstacle {
public:
    Obstacle() : mKind(EObstacle_empty), mState(0) {}

    // Two bytes: kind, then state.
    static constexpr int RECORD_SIZE = 2;
    bool Save(StateChunk* pChunk) const;
    int Load(const StateChunk* pChunk, int position);
    // The same record in memory, for a board's cells written or read as one
    // block: a kind this model does not know becomes an empty cell, and the
    // state (a toggle bit that the wedges and Pause flip) keeps its low bit. Always
    // inlined: the sanitizer builds would otherwise call them per cell.
    __attribute__((always_inline)) void Encode(uint8_t* pRecord) const
    {
        pRecord[0] = static_cast<uint8_t>(mKind);
        pRecord[1] = static_cast<uint8_t>(mState);
    }
    __attribute__((always_inline)) void Decode(const uint8_t* pRecord)
    {
        mKind = OBSTACLE_KIND_OF_BYTE.mKinds[pRecord[0]];
        mState = pRecord[1] & 1;
    }

    int mKind;   // EObstacle
    int mState;  // toggle bit of the wedges and Pause; placing a kind keeps it
};
