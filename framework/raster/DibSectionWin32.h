// Top-down 32-bit DIB sections: GDI surfaces whose pixels have the layout
// of the library's bitmaps (rows top first, BGRA bytes that read as
// 0xAARRGGBB words on a little-endian machine).
#pragma once

#include <windows.h>

// A width x height section compatible with dc; *ppBits receives its pixels,
// which the system has zeroed. Null, with nothing left to free, on failure.
HBITMAP CreateTopDownSection(HDC dc, int width, int height, void** ppBits);
