// One cell of the board: the obstacle standing in it and its toggle bit.
#pragma once

#include "Serializeable.h"

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

class Obstacle : public Serializeable {
public:
    Obstacle() : mKind(EObstacle_empty), mState(0) {}

    // Two bytes: kind, then state.
    bool Save(StateChunk* pChunk) const override;
    int Load(const StateChunk* pChunk, int position) override;

    int mKind;   // EObstacle
    int mState;  // toggle bit of the wedges and Pause; placing a kind keeps it
};
