#include "SystemBitmap.h"

#include <windows.h>

#include "DibSectionWin32.h"

uint32_t* SystemBitmap::AcquirePixels(int width, int height)
{
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        return nullptr;
    }
    void* pBits = nullptr;
    HBITMAP section = CreateTopDownSection(dc, width, height, &pBits);
    if (!section) {
        DeleteDC(dc);
        return nullptr;
    }
    mGdi.pDeviceContext = dc;
    mGdi.pSection = section;
    mGdi.pPreviousObject = SelectObject(dc, section);
    // A fresh DIB section is zeroed by the system already, like the pixels
    // of a MemoryBitmap.
    return static_cast<uint32_t*>(pBits);
}

void SystemBitmap::ReleasePixels(uint32_t* /*pPixels*/)
{
    // The pixels belong to the section.
    HDC dc = static_cast<HDC>(mGdi.pDeviceContext);
    if (dc) {
        if (mGdi.pPreviousObject) {
            SelectObject(dc, static_cast<HGDIOBJ>(mGdi.pPreviousObject));
        }
        DeleteDC(dc);
    }
    if (mGdi.pSection) {
        DeleteObject(static_cast<HGDIOBJ>(mGdi.pSection));
    }
    mGdi = GdiObjects();
}
