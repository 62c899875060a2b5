// The sixteen musical durations shared by the step length, the note length
// and the repeat length, ordered by length. A "t" entry divides the named
// note into three; a "d" entry is the dotted note.
#pragma once

struct TimeUnit {
    const char* mLabel;
    double mBeats;  // quarter notes
};

const int NUM_TIME_UNITS = 16;

const TimeUnit TIME_UNIT_TABLE[NUM_TIME_UNITS] = {
    {"1/1", 4.0},        {"1/2d", 3.0},       {"1/2", 2.0},          {"1/4d", 1.5},
    {"1/4", 1.0},        {"1/8d", 0.75},      {"1/2t", 2.0 / 3.0},   {"1/8", 0.5},
    {"1/16d", 0.375},    {"1/4t", 1.0 / 3.0}, {"1/16", 0.25},        {"1/32d", 0.1875},
    {"1/8t", 1.0 / 6.0}, {"1/32", 0.125},     {"1/16t", 1.0 / 12.0}, {"1/32t", 1.0 / 24.0}};

inline double TimeUnitBeats(int index)
{
    if (index < 0) index = 0;
    if (index >= NUM_TIME_UNITS) index = NUM_TIME_UNITS - 1;
    return TIME_UNIT_TABLE[index].mBeats;
}
