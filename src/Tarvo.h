// The Tarvo3 processor (work in progress: identity only).
#pragma once

#include "framework/plugin/IPlugVST.h"

class Tarvo : public IPlugVST {
public:
    explicit Tarvo(audioMasterCallback hostCallback);
    ~Tarvo() override;
    void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
};
