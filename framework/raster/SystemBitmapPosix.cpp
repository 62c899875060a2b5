#include "SystemBitmap.h"

#include <cstring>
#include <new>

SystemBitmap::SystemBitmap(int width, int height) { Resize(width, height); }

SystemBitmap::~SystemBitmap() { Release(); }

void SystemBitmap::Release()
{
    // The device context and DIB handles exist on Windows only.
    mpDeviceContext = nullptr;
    mpSection = nullptr;
    mpPreviousObject = nullptr;
    delete[] mpPixels;
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
    size_t count = size_t(width) * size_t(height);
    mpPixels = new (std::nothrow) uint32_t[count];
    if (!mpPixels) {
        return false;
    }
    std::memset(mpPixels, 0, count * sizeof(uint32_t));
    mWidth = width;
    mHeight = height;
    return true;
}
