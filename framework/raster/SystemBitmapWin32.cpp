#include "SystemBitmap.h"

#include <windows.h>

#include <cstring>

SystemBitmap::SystemBitmap(int width, int height) { Resize(width, height); }

SystemBitmap::~SystemBitmap() { Release(); }

void SystemBitmap::Release()
{
    if (mpDeviceContext) {
        HDC dc = static_cast<HDC>(mpDeviceContext);
        if (mpPreviousObject) {
            SelectObject(dc, static_cast<HGDIOBJ>(mpPreviousObject));
        }
        DeleteDC(dc);
    }
    if (mpSection) {
        DeleteObject(static_cast<HGDIOBJ>(mpSection));
    }
    mpDeviceContext = nullptr;
    mpSection = nullptr;
    mpPreviousObject = nullptr;
    mpPixels = nullptr;
    mWidth = 0;
    mHeight = 0;
}

bool SystemBitmap::Resize(int width, int height)
{
    Release();
    if (!IsAcceptableSize(width, height)) {
        return false;
    }
    if (width == 0 || height == 0) {
        return true;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        return false;
    }
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
    if (!section || !pBits) {
        if (section) {
            DeleteObject(section);
        }
        DeleteDC(dc);
        return false;
    }
    mpDeviceContext = dc;
    mpSection = section;
    mpPreviousObject = SelectObject(dc, section);
    mpPixels = static_cast<uint32_t*>(pBits);
    mWidth = width;
    mHeight = height;
    // A fresh DIB section is zeroed by the system already, like a
    // MemoryBitmap.
    return true;
}
