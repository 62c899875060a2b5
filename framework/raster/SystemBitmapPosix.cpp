#include "SystemBitmap.h"

// Plain memory: an XImage can point at it as it is, and the device context
// stays null.
uint32_t* SystemBitmap::AcquirePixels(int width, int height) { return NewPixels(width, height); }

void SystemBitmap::ReleasePixels(uint32_t* pPixels) { DeletePixels(pPixels); }
