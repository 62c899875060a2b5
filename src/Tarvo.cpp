#include "Tarvo.h"

namespace {
int32_t FourCharCode(const char* code)
{
    return (int32_t(code[0]) << 24) | (int32_t(code[1]) << 16) | (int32_t(code[2]) << 8) | int32_t(code[3]);
}
}  // namespace

Tarvo::Tarvo(audioMasterCallback hostCallback)
    : IPlugVST(hostCallback, 101, "1-1 2-2", 6, "Tarvo3", "", "Quillfen", 0x00010000, FourCharCode("Qfta"),
               FourCharCode("Qfvx"), 0, true, true, true)
{
}

Tarvo::~Tarvo() {}

void Tarvo::ProcessBlock(double**, double**, int) {}
