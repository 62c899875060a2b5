#pragma once

#include <cstddef>

// The table that the Linux build generates from Tarvo.rc: the bytes of every
// PNG file under the same ids that the Windows build gives its resources.
struct PngResourceEntry {
    int id;
    const unsigned char* data;
    size_t size;
};

extern const PngResourceEntry PNG_RESOURCES[];
extern const size_t NUM_PNG_RESOURCES;
