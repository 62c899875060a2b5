#include "DibSectionWin32.h"

#include <cstring>

HBITMAP CreateTopDownSection(HDC dc, int width, int height, void** ppBits)
{
    BITMAPINFO info;
    std::memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    // A negative height makes the DIB top-down, the row order of every
    // other bitmap of the library.
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (section && !pBits) {
        DeleteObject(section);
        section = nullptr;
    }
    *ppBits = section ? pBits : nullptr;
    return section;
}
