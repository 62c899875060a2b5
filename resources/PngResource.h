#pragma once

#include <cstddef>

// Finds the PNG image built into the plug-in module under a numeric resource
// id (the ids of ImageIds.h). On success *ppData points at the image's bytes,
// which stay valid as long as the module is loaded, *pSize is their count and
// the result is true. An id the module does not hold gives false and leaves
// both outputs untouched.
bool FindPngResource(int id, const unsigned char** ppData, size_t* pSize);
