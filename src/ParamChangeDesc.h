// The records that bind a parameter index to its name, its initial values
// and the handler that applies a change of it. All of them are static
// tables built into the program.
#pragma once

#include <cstdint>

class Tarvo;
struct ParamChangeDesc;

// Called with the parameter's current plain value.
typedef void (*ParamHandler)(Tarvo* pPlug, const ParamChangeDesc* pDesc, double value);

struct ParamChangeDesc {
    const char* mName;
    const char* mLabel;
    int32_t mParamIdx;
    int32_t mOpcode;  // -1: no action opcode
    ParamHandler mHandler;
};

struct IntParamDesc {
    ParamChangeDesc mDesc;
    int32_t mDefault;
    int32_t mMin;
    int32_t mMax;
};

struct BoolParamDesc {
    ParamChangeDesc mDesc;
    bool mDefault;
};

struct EnumParamDesc {
    ParamChangeDesc mDesc;
    int32_t mDefault;
    int32_t mCount;
    const char* const* mpDisplayTexts;
};

struct DoubleParamDesc {
    ParamChangeDesc mDesc;
    double mDefault;
    double mMin;
    double mMax;
    double mStep;
};

// Buttons: a double parameter from 0 to 1 in steps of 1.
struct ButtonParamDesc {
    ParamChangeDesc mDesc;
};
